// The stored profiles from the command line (see ProfileCommand.h).
#include "tools/kestoctl/ProfileCommand.h"

#include "drivers/passapp/PassphraseKeyLibrary.h"
#include "profiles/ProfileList.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "security/PassphraseKeys.h"
#include "station/ProfileCommands.h"
#include "station/ProfileTexts.h"
#include "station/SurveyRecords.h"
#include "tools/kestoctl/BusClient.h"
#include "tools/kestoctl/CommandOutput.h"
#include "tools/kestoctl/UtilityCommand.h"

#include <exception>

namespace kesto {

namespace {

using nlohmann::json;

// The profile code on the store itself, for a run without the utility. It shows no
// message box: what the list would say goes to standard error.
class StoreProfiles : private Dialogs {
public:
    explicit StoreProfiles(CommandContext& context, StoreAccess access)
        : m_context(context), m_store(context.registry(access)),
          m_list(m_store, m_work, *this, "kestoctl"), m_keys(m_library),
          m_commands(m_store, m_list, m_keys)
    {
    }
    ProfileCommands& commands() { return m_commands; }

private:
    void MessageBox(std::string_view text, std::string_view) override
    {
        m_context.err << "kestoctl: " << TerminalSafe(text) << "\n";
    }
    void Beep(int, int) override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

    CommandContext& m_context;
    ProfileStore m_store;
    WorkingRecords m_work;
    ProfileList m_list;
    PassphraseKeyLibrary m_library;
    PassphraseKeys m_keys;
    ProfileCommands m_commands;
};

json ToJson(const FieldValue& value)
{
    return std::visit([](const auto& v) { return json(v); }, value);
}

json FieldsJson(const std::vector<Field>& fields)
{
    json out = json::object();
    for (const Field& field : fields)
        out[field.name] = ToJson(field.value);
    return out;
}

// The rows of the list, from the service's answer or from the store.
json ProfileRow(const std::string& name, const std::string& ssid, const std::string& security,
                bool adHoc, int channel, bool isDefault)
{
    return {{"name", name},   {"ssid", ssid},       {"security", security},
            {"adHoc", adHoc}, {"channel", channel}, {"default", isDefault}};
}

void PrintList(CommandContext& context, const json& rows, bool asJson)
{
    if (asJson) {
        PrintJson(context.out, rows);
        return;
    }
    std::vector<std::vector<std::string>> table;
    for (const json& r : rows)
        table.push_back({r["name"], r["ssid"], r["adHoc"].get<bool>() ? "Ad-Hoc" : "Infrastruktur",
                         r["adHoc"].get<bool>() ? std::to_string(r["channel"].get<int>()) : "",
                         r["security"], r["default"].get<bool>() ? "ja" : ""});
    PrintTable(context.out,
               {"Profilname", "SSID", "Netzwerktyp", "Kanal", "Sicherheit", "Standard"}, table);
}

// The German labels of a profile's fields, as the profile pages name them.
void PrintProfile(CommandContext& context, const json& fields, bool asJson)
{
    if (asJson) {
        PrintJson(context.out, fields);
        return;
    }
    static const std::pair<const char*, const char*> kLabels[] = {
        {"name", "Profilname"},
        {"ssid", "SSID"},
        {"adHoc", "Ad-Hoc"},
        {"channel", "Kanal"},
        {"wirelessMode", "Drahtlosmodus"},
        {"security", "Sicherheit"},
        {"txRate", "\u00dcbertragungsrate"},
        {"default", "Standard"},
        {"keyIndex", "Schl\u00fcssel"},
        {"keySize", "Schl\u00fcssell\u00e4nge"},
        {"authentication", "Authentifizierung"},
        {"cipher", "Verschl\u00fcsselung"},
        {"eapMethod", "EAP-Methode"},
        {"login", "Anmeldename"},
        {"serverName", "Servername"}};
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& [key, label] : kLabels) {
        if (!fields.contains(key))
            continue;
        const json& value = fields[key];
        rows.push_back({label, value.is_boolean()  ? (value.get<bool>() ? "ja" : "nein")
                               : value.is_string() ? value.get<std::string>()
                                                   : value.dump()});
    }
    PrintFields(context.out, rows);
}

} // namespace

int RunProfileCommand(CommandContext& context, const std::vector<std::string>& args)
{
    CommandArgs parsed;
    std::string why;
    if (!ParseCommandArgs(args, *context.in, parsed, why))
        return ReportUsage(context, why, kProfileUsage);
    const std::vector<std::string>& words = parsed.words;
    const std::string what = words.empty() ? "" : words[0];
    const bool list = what == "list" && words.size() == 1;
    const bool named = (what == "show" || what == "add" || what == "delete" || what == "apply") &&
                       words.size() == 2;
    if ((!list && !named) || (what != "add" && !parsed.options.empty()))
        return ReportUsage(context, "unknown or incomplete profile command", kProfileUsage);
    const std::string name = named ? words[1] : "";

    // The same checks as the service's, before anything is asked or written.
    ProfileRequest request;
    if (what == "add") {
        if (Refused refused = MakeProfileRequest(name, parsed.options, request))
            return ReportRefusal(context, *refused);
    } else if (named) {
        if (Refused refused = CheckText(name, "Der Profilname", true))
            return ReportRefusal(context, *refused);
    }

    BusClient bus;
    BusError error;
    std::optional<json> answer;
    if (list) {
        answer = bus.Call("ListProfiles", {}, error);
        if (answer) {
            json rows = json::array();
            for (const json& p : answer->at(0))
                rows.push_back(ProfileRow(p[0], p[1], p[2], p[3], p[4], p[5]));
            PrintList(context, rows, parsed.json);
        }
    } else if (what == "show") {
        if ((answer = bus.Call("GetProfile", {name}, error)))
            PrintProfile(context, answer->at(0), parsed.json);
    } else if (what == "add") {
        answer = bus.Call("AddProfile", {name, parsed.options}, error);
    } else if (what == "delete") {
        answer = bus.Call("DeleteProfile", {name}, error);
    } else {
        answer = bus.Call("ApplyProfile", {name}, error);
        if (answer && !parsed.noWait)
            return WaitForProfile(context, bus, name);
    }
    if (answer)
        return kExitOk;
    if (!error.notRunning || what == "apply")
        return ReportBusError(context, error);

    // No utility runs: the store itself, with the profile list's own locking.
    try {
        const bool writes = what == "add" || what == "delete";
        StoreProfiles store(context, writes ? StoreAccess::ReadWrite : StoreAccess::ReadOnly);
        ProfileCommands& profiles = store.commands();
        if (list) {
            json rows = json::array();
            for (const ProfileEntry& e : profiles.List())
                rows.push_back(ProfileRow(e.record.ProfileName, ShowableName(e.record.SSID),
                                          SecurityText(e.record.AuthenticationMode),
                                          e.record.NetworkType == 0, e.record.Channel,
                                          e.isDefault));
            PrintList(context, rows, parsed.json);
            return kExitOk;
        }
        if (what == "show") {
            const std::optional<ProfileEntry> entry = profiles.Find(name);
            if (!entry)
                return ReportRefusal(context,
                                     {"UnknownProfile", std::string(kProfileMissingMessage)});
            PrintProfile(context, FieldsJson(DescribeProfile(*entry)), parsed.json);
            return kExitOk;
        }
        const Refused refused = what == "add" ? profiles.Add(request) : profiles.Delete(name);
        return refused ? ReportRefusal(context, *refused) : kExitOk;
    } catch (const std::exception& e) {
        context.err << "kestoctl: " << TerminalSafe(e.what()) << "\n";
        return kExitError;
    }
}

} // namespace kesto
