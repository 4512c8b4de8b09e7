// The options of the service's methods and kestoctl's commands (see CommandOptions.h).
#include "app/CommandOptions.h"

#include "base/Text.h"
#include "station/ProfileTexts.h"
#include "station/SurveyRecords.h"

#include <algorithm>

namespace kesto {

namespace {

constexpr std::string_view kKeySizes[] = {"64", "128", "256"};
constexpr std::string_view kAuthentications[] = {"open", "shared", "auto"};
constexpr std::string_view kCiphers[] = {"tkip", "aes"};
constexpr std::string_view kWirelessModes[] = {"mixed", "g", "b"};
// A profile takes the first three; a join names any security the survey tells apart.
constexpr std::string_view kSecurities[] = {"none", "wep", "wpa-psk", "wpa3-sae", "wpa-radius"};
constexpr std::int64_t kProfileSecurities = 3;
constexpr std::string_view kOutputPowers[] = {"high", "medium-high", "medium-low", "low"};
constexpr std::string_view kWepSettings[] = {"off", "64", "128", "256"};
constexpr std::string_view kModes[] = {"station", "ap"};
// Stored settings no option sets: the 802.1X methods and their security.
constexpr std::string_view kStoredSecurities[] = {"none", "wep", "wpa-psk", "wpa-radius", "radius"};
constexpr std::string_view kEapMethods[] = {"tls", "ttls", "md5", "peap", "leap"};

constexpr OptionRule kOptions[] = {
    {"wep-key", OptionKind::Text},
    {"passphrase", OptionKind::Text},
    {"key-index", OptionKind::Number, 1, 4},
    {"key-size", OptionKind::Keyword, 1, 0, kKeySizes},
    {"authentication", OptionKind::Keyword, 0, 0, kAuthentications},
    {"cipher", OptionKind::Keyword, 0, 0, kCiphers},
    {"ssid", OptionKind::Text},
    {"ad-hoc", OptionKind::Flag},
    {"channel", OptionKind::Number, 1, 13},
    {"wireless-mode", OptionKind::Keyword, 0, 0, kWirelessModes},
    {"security", OptionKind::Keyword, 0, 0, kSecurities},
    {"hidden", OptionKind::Flag},
    {"output-power", OptionKind::Keyword, 0, 0, kOutputPowers},
    {"wep", OptionKind::Keyword, 0, 0, kWepSettings},
    {"bssid", OptionKind::Text},
    {"wait", OptionKind::Flag},
};

constexpr std::string_view kJoinOptions[] = {"wep-key",  "passphrase",     "key-index",
                                             "key-size", "authentication", "cipher",
                                             "security", "bssid",          "wait"};
constexpr std::string_view kProfileOptions[] = {
    "ssid",       "ad-hoc",    "channel",  "wireless-mode",  "security", "wep-key",
    "passphrase", "key-index", "key-size", "authentication", "cipher"};
constexpr std::string_view kApOptions[] = {"ssid",         "hidden",  "channel",
                                           "output-power", "wep",     "authentication",
                                           "key-index",    "wep-key", "passphrase"};

Refusal Invalid(std::string message)
{
    return Refusal{"InvalidArgument", std::move(message)};
}

// "0A:3C:71:00:00:05": six pairs of hexadecimal digits, either case, with colons.
bool IsMacAddressText(std::string_view text)
{
    if (text.size() != 17)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (i % 3 == 2 ? c != ':' : !hex)
            return false;
    }
    return true;
}

std::string Quoted(std::string_view text)
{
    return "\u201e" + std::string(text) + "\u201c";
}

std::string Joined(std::span<const std::string_view> words)
{
    std::string text;
    for (std::string_view word : words)
        text += (text.empty() ? "" : ", ") + std::string(word);
    return text;
}

// Checks every option given against the table, its kind and its bounds.
Refused CheckOptions(const CommandOptions& options, std::span<const std::string_view> allowed)
{
    for (const auto& [name, value] : options) {
        const OptionRule* rule = FindOption(name);
        if (!rule || std::find(allowed.begin(), allowed.end(), name) == allowed.end())
            return Invalid("Unbekannte Option " + Quoted(name) + ".");
        switch (rule->kind) {
        case OptionKind::Text:
        case OptionKind::Keyword: {
            const std::string* text = std::get_if<std::string>(&value);
            if (!text)
                return Invalid("Die Option " + Quoted(name) + " erwartet einen Text.");
            if (Refused refused = CheckText(*text, "Die Option " + Quoted(name), false))
                return refused;
            if (rule->kind == OptionKind::Keyword &&
                std::find(rule->words.begin(), rule->words.end(), *text) == rule->words.end())
                return Invalid("Die Option " + Quoted(name) +
                               " erwartet eines von: " + Joined(rule->words) + ".");
            break;
        }
        case OptionKind::Number: {
            const std::int64_t* number = std::get_if<std::int64_t>(&value);
            if (!number)
                return Invalid("Die Option " + Quoted(name) + " erwartet eine Zahl.");
            if (*number < rule->low || *number > rule->high)
                return Invalid("Die Option " + Quoted(name) + " muss zwischen " +
                               std::to_string(rule->low) + " und " + std::to_string(rule->high) +
                               " liegen.");
            break;
        }
        case OptionKind::Flag:
            if (!std::holds_alternative<bool>(value))
                return Invalid("Die Option " + Quoted(name) + " erwartet ja oder nein.");
            break;
        }
    }
    if (options.contains("wep-key") && options.contains("passphrase"))
        return Invalid("Nur eine der Optionen " + Quoted("wep-key") + " und " +
                       Quoted("passphrase") + " angeben.");
    return std::nullopt;
}

// The value of a checked option, or "" when it was not given.
std::string Text(const CommandOptions& options, std::string_view name)
{
    const auto it = options.find(name);
    return it == options.end() ? std::string() : std::get<std::string>(it->second);
}

std::optional<std::int64_t> Number(const CommandOptions& options, std::string_view name)
{
    const auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    if (const auto* flag = std::get_if<bool>(&it->second))
        return *flag ? 1 : 0;
    if (const auto* number = std::get_if<std::int64_t>(&it->second))
        return *number;
    const OptionRule* rule = FindOption(name);
    const std::string& word = std::get<std::string>(it->second);
    const auto at = std::find(rule->words.begin(), rule->words.end(), word);
    return rule->low + (at - rule->words.begin());
}

template <typename T>
void Take(const CommandOptions& options, std::string_view name, T& field, std::int64_t offset = 0)
{
    if (const auto n = Number(options, name))
        field = static_cast<T>(*n + offset);
}

// The word of value among words, "" for a value that has none.
std::string Word(std::span<const std::string_view> words, std::int64_t value)
{
    return value >= 0 && static_cast<std::size_t>(value) < words.size()
               ? std::string(words[static_cast<std::size_t>(value)])
               : std::string();
}

// The secrets of a join or a profile and how the WEP entry or the WPA-PSK page takes them.
template <typename Request> void TakeSecrets(const CommandOptions& options, Request& out)
{
    out.key = Text(options, "wep-key");
    out.passPhrase = Text(options, "passphrase");
    Take(options, "key-index", out.keyIndex, -1);
    Take(options, "key-size", out.keySize);
    Take(options, "authentication", out.authentication);
    Take(options, "cipher", out.cipher);
}

} // namespace

std::vector<Field> DescribeProfile(const ProfileEntry& entry)
{
    const ProfileRecord& r = entry.record;
    std::vector<Field> fields{
        {"name", r.ProfileName},
        {"ssid", ShowableName(r.SSID)},
        {"adHoc", r.NetworkType == 0},
        {"channel", std::int64_t{r.Channel}},
        {"wirelessMode", Word(kWirelessModes, r.WirelessMode)},
        {"security", Word(kStoredSecurities, r.AuthenticationMode)},
        {"txRate", RateText(r.TxRate)},
        {"default", entry.isDefault},
    };
    switch (r.AuthenticationMode) {
    case 1:
        fields.push_back({"keyIndex", std::int64_t{r.KeyInUse}});
        fields.push_back({"keySize", Word(kKeySizes, r.KeyLength - 1)});
        fields.push_back({"authentication", Word(kAuthentications, r.DataEncryption)});
        break;
    case 2:
        fields.push_back({"cipher", Word(kCiphers, r.EncryptionType)});
        break;
    case 3:
    case 4:
        fields.push_back({"eapMethod", Word(kEapMethods, r.RadiusType - 1)});
        fields.push_back({"login", r.LoginName});
        // The name the server's certificate must carry; empty when it is not checked.
        fields.push_back({"serverName", r.ValidatesServer() ? r.ServerName : std::string()});
        break;
    default:
        break;
    }
    return fields;
}

std::vector<Field> DescribeApSettings(const ApSettings& settings)
{
    return {{"ssid", ShowableName(settings.SSID)},
            {"hidden", settings.HideSSID != 0},
            {"channel", std::int64_t{settings.Channel}},
            {"outputPower", Word(kOutputPowers, settings.OutputPower)},
            {"wep", Word(kWepSettings, settings.WEP)},
            {"authentication", Word(kAuthentications, settings.AuthenType)},
            {"keyIndex", std::int64_t{settings.KeyInUse}}};
}

std::vector<Field> DescribeApStatus(const ApStatus& status)
{
    return {{"ssid", ShowableName(status.ssid)},
            {"channel", std::int64_t{status.channel}},
            {"rateKbps", std::int64_t{status.rateKbps}},
            {"security", status.security},
            {"mac", status.mac},
            {"outputPower", status.outputPower},
            {"stations", status.stations}};
}

std::vector<Field> DescribeStatus(const UtilityStatus& status)
{
    const LinkValues& link = status.link;
    return {{"Mode", std::string(status.apMode ? "ap" : "station")},
            {"Settling", status.settling},
            {"Adapter", status.adapter},
            {"Profile", status.profile},
            {"Associated", link.associated},
            {"NetworkName", ShowableName(link.networkName)},
            {"AccessPoint", link.accessPoint},
            {"NetworkType", link.networkType},
            {"Channel", std::int64_t{link.channel}},
            {"RateKbps", std::int64_t{link.rateKbps}},
            {"Security", link.security},
            {"Authentication", link.authentication},
            {"WirelessMode", link.wirelessMode},
            {"QualityPercent", std::int64_t{link.qualityPercent}},
            {"SignalPercent", std::int64_t{link.signalPercent}},
            {"LinkPercent", std::int64_t{link.linkPercent}},
            {"SignalDbm", std::int64_t{link.signalDbm}},
            {"TxFrames", link.txFrames},
            {"RxFrames", link.rxFrames},
            {"TxKbps", std::int64_t{link.txKbps}},
            {"RxKbps", std::int64_t{link.rxKbps}}};
}

const OptionRule* FindOption(std::string_view name)
{
    for (const OptionRule& rule : kOptions)
        if (rule.name == name)
            return &rule;
    return nullptr;
}

std::span<const std::string_view> OptionWords(std::string_view name)
{
    const OptionRule* rule = FindOption(name);
    return rule ? rule->words : std::span<const std::string_view>();
}

Refused CheckText(std::string_view text, std::string_view what, bool required, std::size_t maxBytes)
{
    if (required && text.empty())
        return Invalid(std::string(what) + " fehlt.");
    if (!IsValidUtf8(text))
        return Invalid(std::string(what) + " ist kein g\u00fcltiger UTF-8-Text.");
    if (text.size() > maxBytes)
        return Invalid(std::string(what) + " ist zu lang (h\u00f6chstens " +
                       std::to_string(maxBytes) + " Bytes).");
    const bool control = std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    if (control)
        return Invalid(std::string(what) + " enth\u00e4lt Steuerzeichen.");
    return std::nullopt;
}

Refused MakeJoinRequest(std::string_view name, const CommandOptions& options, JoinRequest& out)
{
    if (Refused refused = CheckText(name, "Der Netzwerkname", true))
        return refused;
    // No network of the survey has a longer name: refused before anything is scanned.
    if (name.size() > kMaxSsidBytes)
        return Refusal{"SsidTooLong", std::string(kSsidTooLongMessage)};
    if (Refused refused = CheckOptions(options, kJoinOptions))
        return refused;
    out = {};
    out.name = name;
    TakeSecrets(options, out);
    if (const auto security = Number(options, "security"))
        out.security = static_cast<JoinSecurity>(*security);
    if (options.contains("bssid")) {
        out.bssid = Text(options, "bssid");
        if (!IsMacAddressText(out.bssid))
            return Invalid("Die Option " + Quoted("bssid") +
                           " erwartet eine MAC-Adresse wie 0A:3C:71:00:00:05.");
        std::transform(out.bssid.begin(), out.bssid.end(), out.bssid.begin(),
                       [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : c; });
    }
    out.wait = Number(options, "wait").value_or(1) != 0;
    return std::nullopt;
}

Refused MakeProfileRequest(std::string_view name, const CommandOptions& options,
                           ProfileRequest& out)
{
    if (Refused refused = CheckText(name, "Der Profilname", true))
        return refused;
    if (Refused refused = CheckOptions(options, kProfileOptions))
        return refused;
    out = {};
    out.name = name;
    out.ssid = Text(options, "ssid");
    out.adHoc = Number(options, "ad-hoc").value_or(0) != 0;
    Take(options, "channel", out.channel);
    Take(options, "wireless-mode", out.wirelessMode);
    TakeSecrets(options, out);
    // Without a word on it, the secret given says the security: a key is WEP, a pass
    // phrase WPA-PSK (WEP keys from a pass phrase need "security wep").
    if (Number(options, "security").value_or(0) >= kProfileSecurities)
        return Invalid("Die Option " + Quoted("security") +
                       " erwartet f\u00fcr ein Profil eines von: none, wep, wpa-psk.");
    out.security = !out.key.empty()          ? ProfileSecurity::Wep
                   : !out.passPhrase.empty() ? ProfileSecurity::WpaPsk
                                             : ProfileSecurity::None;
    Take(options, "security", out.security);
    if (out.security == ProfileSecurity::None && (!out.key.empty() || !out.passPhrase.empty()))
        return Invalid("Ein Profil ohne Sicherheit braucht keinen Schl\u00fcssel.");
    if (out.security == ProfileSecurity::WpaPsk && !out.key.empty())
        return Invalid("WPA-PSK nimmt eine Passphrase, keinen WEP-Schl\u00fcssel.");
    return std::nullopt;
}

Refused MakeApChange(const CommandOptions& options, ApChange& out)
{
    if (Refused refused = CheckOptions(options, kApOptions))
        return refused;
    out = {};
    if (options.contains("ssid"))
        out.ssid = Text(options, "ssid");
    if (options.contains("wep-key"))
        out.key = Text(options, "wep-key");
    if (options.contains("passphrase"))
        out.passPhrase = Text(options, "passphrase");
    const auto take = [&](std::string_view name, std::optional<std::int32_t>& field) {
        if (const auto n = Number(options, name))
            field = static_cast<std::int32_t>(*n);
    };
    take("hidden", out.hideSsid);
    take("channel", out.channel);
    take("output-power", out.outputPower);
    take("wep", out.wep);
    take("authentication", out.authentication);
    if (const auto n = Number(options, "key-index"))
        out.keyIndex = static_cast<int>(*n - 1);
    return std::nullopt;
}

Refused MakeFilterChange(std::string_view rule, const std::vector<std::string>& addresses,
                         std::int32_t& type, std::array<std::string, kFilterAddressCount>& out)
{
    const auto at = std::find(kFilterRuleWords.begin(), kFilterRuleWords.end(), rule);
    if (at == kFilterRuleWords.end())
        return Invalid("Die Filterregel ist eines von: " + Joined(kFilterRuleWords) + ".");
    if (addresses.size() > out.size())
        return Invalid("Die Filterliste nimmt h\u00f6chstens " + std::to_string(out.size()) +
                       " Adressen.");
    out = {};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (Refused refused = CheckText(addresses[i], "Die MAC-Adresse", false))
            return refused;
        out[i] = addresses[i];
    }
    type = static_cast<std::int32_t>(at - kFilterRuleWords.begin());
    return std::nullopt;
}

Refused ParseMode(std::string_view word, bool& toAp)
{
    const auto at = std::find(std::begin(kModes), std::end(kModes), word);
    if (at == std::end(kModes))
        return Invalid("Der Modus ist " + Quoted("station") + " oder " + Quoted("ap") + ".");
    toAp = at != std::begin(kModes);
    return std::nullopt;
}

} // namespace kesto
