// The commands on the running utility (see UtilityCommand.h).
#include "tools/kestoctl/UtilityCommand.h"

#include "station/LinkMonitor.h"
#include "tools/kestoctl/BusClient.h"
#include "tools/kestoctl/CommandOutput.h"

#include <chrono>
#include <thread>

namespace kesto {

namespace {

using nlohmann::json;

// How long profile apply waits for the adapter to be on the network, and how often it
// looks.
constexpr auto kJoinWait = std::chrono::seconds(15);
constexpr auto kJoinPoll = std::chrono::milliseconds(250);

// The answer of a call, or nothing after reporting why there is none.
std::optional<json> Call(CommandContext& context, BusClient& bus, std::string_view method,
                         const std::vector<BusArgument>& args, int& status)
{
    BusError error;
    std::optional<json> values = bus.Call(method, args, error);
    if (!values)
        status = ReportBusError(context, error);
    return values;
}

// The service's properties, or nothing after reporting why there are none.
std::optional<json> Properties(CommandContext& context, BusClient& bus, int& status)
{
    BusError error;
    std::optional<json> properties = bus.Properties(error);
    if (!properties)
        status = ReportBusError(context, error);
    return properties;
}

std::optional<CommandArgs> Parse(CommandContext& context, const std::vector<std::string>& args,
                                 std::string_view usage, int& status)
{
    CommandArgs parsed;
    std::string why;
    if (!ParseCommandArgs(args, *context.in, parsed, why)) {
        status = ReportUsage(context, why, usage);
        return std::nullopt;
    }
    return parsed;
}

std::string Number(const json& value, std::string_view unit = {})
{
    return std::to_string(value.get<std::int64_t>()) + std::string(unit);
}

// A number the utility has not read yet (0 or -1 as the interface says) shows empty.
std::string Known(const json& value, std::int64_t below, std::string_view unit = {})
{
    return value.get<std::int64_t>() < below ? std::string() : Number(value, unit);
}

std::string Rate(const json& kbps)
{
    return kbps.get<int>() > 0 ? LinkMonitor::LinkRateText(kbps.get<int>()) : std::string();
}

std::string Text(const json& value)
{
    return value.get<std::string>();
}

std::string ModeText(const json& properties)
{
    const bool ap = properties["Mode"] == "ap";
    return std::string(ap ? "Zugangspunkt (AP)" : "Station") +
           (properties["Settling"].get<bool>() ? " (wird gewechselt)" : "");
}

// The property names as JSON keys: "NetworkName" as "networkName".
json LowerKeys(const json& object)
{
    json out = json::object();
    for (const auto& [key, value] : object.items()) {
        std::string name = key;
        if (!name.empty() && name[0] >= 'A' && name[0] <= 'Z')
            name[0] = static_cast<char>(name[0] - 'A' + 'a');
        out[name] = value;
    }
    return out;
}

} // namespace

int RunStatusCommand(CommandContext& context, const std::vector<std::string>& args)
{
    int status = kExitOk;
    const auto parsed = Parse(context, args, kStatusUsage, status);
    if (!parsed)
        return status;
    if (!parsed->words.empty() || !parsed->options.empty())
        return ReportUsage(context, "status takes no arguments", kStatusUsage);
    BusClient bus;
    const std::optional<json> p = Properties(context, bus, status);
    if (!p)
        return status;
    if (parsed->json) {
        PrintJson(context.out, LowerKeys(*p));
        return kExitOk;
    }
    std::vector<std::pair<std::string, std::string>> rows{{"Modus", ModeText(*p)}};
    if (!(*p)["Adapter"].get<bool>())
        rows.push_back({"Adapter", "keiner gefunden"});
    rows.push_back({"Profil", Text((*p)["Profile"])});
    if ((*p)["Mode"] == "station" && (*p)["Adapter"].get<bool>()) {
        const json& v = *p;
        rows.insert(rows.end(),
                    {{"Verbunden", v["Associated"].get<bool>() ? "ja" : "nein"},
                     {"Netzwerkname", Text(v["NetworkName"])},
                     {"MAC-Adresse", Text(v["AccessPoint"])},
                     {"Netzwerktyp", Text(v["NetworkType"])},
                     {"Kanal", Known(v["Channel"], 1)},
                     {"\u00dcbertragungsrate", Rate(v["RateKbps"])},
                     {"Sicherheit", Text(v["Security"])},
                     {"Authentifizierung", Text(v["Authentication"])},
                     {"Drahtlosmodus", Text(v["WirelessMode"])},
                     {"Qualit\u00e4t", Known(v["LinkPercent"], 0, " %")},
                     {"Signal", Known(v["SignalPercent"], 0, " %")},
                     {"Feldst\u00e4rke",
                      v["SignalPercent"].get<int>() < 0 ? "" : Number(v["SignalDbm"], " dBm")},
                     {"Gesendet (Pakete)", Known(v["TxFrames"], 0)},
                     {"Empfangen (Pakete)", Known(v["RxFrames"], 0)},
                     {"Senden", Known(v["TxKbps"], 0, " kbps")},
                     {"Empfangen", Known(v["RxKbps"], 0, " kbps")}});
    }
    PrintFields(context.out, rows);
    return kExitOk;
}

int RunScanCommand(CommandContext& context, const std::vector<std::string>& args)
{
    int status = kExitOk;
    const auto parsed = Parse(context, args, kScanUsage, status);
    if (!parsed)
        return status;
    if (!parsed->words.empty() || !parsed->options.empty())
        return ReportUsage(context, "scan takes no arguments", kScanUsage);
    BusClient bus;
    const auto values = Call(context, bus, parsed->cached ? "Networks" : "Scan", {}, status);
    if (!values)
        return status;
    json networks = json::array();
    std::vector<std::vector<std::string>> rows;
    for (const json& n : values->at(0)) {
        networks.push_back({{"name", n[0]},
                            {"bssid", n[1]},
                            {"channel", n[2]},
                            {"signalPercent", n[3]},
                            {"signalDbm", n[4]},
                            {"security", n[5]},
                            {"adHoc", n[6]}});
        rows.push_back({n[0] == "" ? "(verborgen)" : Text(n[0]), Text(n[1]), Known(n[2], 1),
                        Number(n[3], "%"), Text(n[5]),
                        n[6].get<bool>() ? "Ad-Hoc" : "Infrastruktur"});
    }
    if (parsed->json)
        PrintJson(context.out, networks);
    else
        PrintTable(
            context.out,
            {"SSID", "MAC-Adresse", "Kanal", "Signal", "Verschl\u00fcsselung", "Netzwerktyp"},
            rows);
    return kExitOk;
}

int RunConnectCommand(CommandContext& context, const std::vector<std::string>& args)
{
    int status = kExitOk;
    const auto parsed = Parse(context, args, kConnectUsage, status);
    if (!parsed)
        return status;
    if (parsed->words.size() != 1)
        return ReportUsage(context, "connect takes one network name", kConnectUsage);
    const std::string& name = parsed->words[0];
    // The service answers once the join has its outcome (on the network, a wrong key, or
    // not joined in time), unless told not to wait.
    CommandOptions options = parsed->options;
    if (parsed->noWait)
        options["wait"] = false;
    // Checked here too, so a name the bus cannot carry is refused with the same words.
    JoinRequest request;
    if (Refused refused = MakeJoinRequest(name, options, request))
        return ReportRefusal(context, *refused);
    BusClient bus;
    return Call(context, bus, "Connect", {name, options}, status) ? kExitOk : status;
}

int WaitForProfile(CommandContext& context, BusClient& bus, const std::string& profile)
{
    int status = kExitOk;
    const auto values = Call(context, bus, "GetProfile", {profile}, status);
    if (!values)
        return status;
    // A profile without a network name joins any network.
    const std::string ssid = values->at(0).value("ssid", std::string());
    const auto until = std::chrono::steady_clock::now() + kJoinWait;
    for (;;) {
        const std::optional<json> p = Properties(context, bus, status);
        if (!p)
            return status;
        if ((*p)["Associated"].get<bool>() && (*p)["Profile"] == profile &&
            (ssid.empty() || (*p)["NetworkName"] == ssid))
            return kExitOk;
        if (std::chrono::steady_clock::now() >= until)
            break;
        std::this_thread::sleep_for(kJoinPoll);
    }
    context.err << "kestoctl: "
                << TerminalSafe("the adapter did not join the network of profile " + profile +
                                " within ")
                << std::chrono::seconds(kJoinWait).count() << " s\n";
    return kExitError;
}

int RunModeCommand(CommandContext& context, const std::vector<std::string>& args)
{
    int status = kExitOk;
    const auto parsed = Parse(context, args, kModeUsage, status);
    if (!parsed)
        return status;
    if (parsed->words.size() > 1 || !parsed->options.empty())
        return ReportUsage(context, "mode takes station or ap", kModeUsage);
    BusClient bus;
    if (parsed->words.empty()) {
        const std::optional<json> p = Properties(context, bus, status);
        if (!p)
            return status;
        if (parsed->json)
            PrintJson(context.out, {{"mode", (*p)["Mode"]}, {"settling", (*p)["Settling"]}});
        else
            context.out << ModeText(*p) << "\n";
        return kExitOk;
    }
    bool toAp = false;
    if (Refused refused = ParseMode(parsed->words[0], toAp))
        return ReportRefusal(context, *refused);
    return Call(context, bus, "SetMode", {parsed->words[0]}, status) ? kExitOk : status;
}

namespace {

int PrintApStatus(CommandContext& context, const json& s, bool asJson)
{
    if (asJson) {
        PrintJson(context.out, s);
        return kExitOk;
    }
    PrintFields(context.out, {{"SSID", Text(s["ssid"])},
                              {"Gegenw\u00e4rtiger Kanal", Known(s["channel"], 0)},
                              {"\u00dcbertragungsrate", Rate(s["rateKbps"])},
                              {"Sicherheit", Text(s["security"])},
                              {"MAC", Text(s["mac"])},
                              {"Ausgabeleistung", Text(s["outputPower"])},
                              {"Stationen", std::to_string(s["stations"].size())}});
    return kExitOk;
}

int PrintApStations(CommandContext& context, const json& stations, bool asJson)
{
    if (asJson) {
        PrintJson(context.out, stations);
        return kExitOk;
    }
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < stations.size(); ++i)
        rows.push_back({std::to_string(i), Text(stations[i])});
    PrintTable(context.out, {"Nr.", "MAC-Adresse"}, rows);
    return kExitOk;
}

int PrintApSettings(CommandContext& context, const json& s, bool asJson)
{
    if (asJson) {
        PrintJson(context.out, s);
        return kExitOk;
    }
    PrintFields(context.out, {{"SSID", Text(s["ssid"])},
                              {"SSID ausblenden", s["hidden"].get<bool>() ? "ja" : "nein"},
                              {"Kanal", Number(s["channel"])},
                              {"Ausgabeleistung", Text(s["outputPower"])},
                              {"WEP", Text(s["wep"])},
                              {"Authentifizierung", Text(s["authentication"])},
                              {"Schl\u00fcssel", "Taste " + Number(s["keyIndex"])}});
    return kExitOk;
}

// The rule and the addresses, the empty slots left out.
int PrintApFilter(CommandContext& context, const json& rule, const json& addresses, bool asJson)
{
    if (asJson) {
        PrintJson(context.out, {{"rule", rule}, {"addresses", addresses}});
        return kExitOk;
    }
    PrintFields(context.out, {{"Filtertyp", Text(rule)}});
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < addresses.size(); ++i)
        if (const std::string address = Text(addresses[i]); !address.empty())
            rows.push_back({std::to_string(i + 1), address});
    PrintTable(context.out, {"Nr.", "MAC-Adresse"}, rows);
    return kExitOk;
}

} // namespace

int RunApCommand(CommandContext& context, const std::vector<std::string>& args)
{
    int status = kExitOk;
    const auto parsed = Parse(context, args, kApUsage, status);
    if (!parsed)
        return status;
    const std::vector<std::string>& words = parsed->words;
    const std::string what = words.empty() ? "" : words[0];
    const bool read = words.size() == 1 && parsed->options.empty();
    const bool set = words.size() >= 2 && words[1] == "set";
    BusClient bus;

    if ((what == "status" || what == "stations") && read) {
        const auto values = Call(context, bus, "GetApStatus", {}, status);
        if (!values)
            return status;
        const json& s = values->at(0);
        return what == "stations" ? PrintApStations(context, s["stations"], parsed->json)
                                  : PrintApStatus(context, s, parsed->json);
    }
    if (what == "settings" && read) {
        const auto values = Call(context, bus, "GetApSettings", {}, status);
        return values ? PrintApSettings(context, values->at(0), parsed->json) : status;
    }
    if (what == "settings" && set && words.size() == 2) {
        ApChange change;
        if (Refused refused = MakeApChange(parsed->options, change))
            return ReportRefusal(context, *refused);
        return Call(context, bus, "SetApSettings", {parsed->options}, status) ? kExitOk : status;
    }
    if (what == "filter" &&
        (read || (words.size() == 2 && words[1] == "show" && parsed->options.empty()))) {
        const auto values = Call(context, bus, "GetFilter", {}, status);
        return values ? PrintApFilter(context, values->at(0), values->at(1), parsed->json) : status;
    }
    if (what == "filter" && set && words.size() >= 3 && parsed->options.empty()) {
        const std::vector<std::string> addresses(words.begin() + 3, words.end());
        std::int32_t type = 0;
        std::array<std::string, kFilterAddressCount> slotted;
        if (Refused refused = MakeFilterChange(words[2], addresses, type, slotted))
            return ReportRefusal(context, *refused);
        return Call(context, bus, "SetFilter", {words[2], addresses}, status) ? kExitOk : status;
    }
    return ReportUsage(context, "unknown or incomplete ap command", kApUsage);
}

} // namespace kesto
