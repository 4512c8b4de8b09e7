// Reading the daemons' replies (see ControlReplies.h).
#include "drivers/linuxwlan/ControlReplies.h"

#include "base/AsciiText.h"

#include <algorithm>
#include <charconv>

namespace kesto::linuxwlan {
namespace {

// The lines of text without their line ends ("\n", or "\r\n").
std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

constexpr std::size_t kMaxNameBytes = 32;

} // namespace

std::map<std::string, std::string> ParseKeyValues(std::string_view text)
{
    std::map<std::string, std::string> values;
    for (std::string_view line : Lines(text)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0)
            continue;
        values[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 1));
    }
    return values;
}

std::optional<int> ParseInt(std::string_view text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<MacAddress> ParseMac(std::string_view text)
{
    if (text.size() != 17)
        return std::nullopt;
    MacAddress mac{};
    for (std::size_t i = 0; i < 6; ++i) {
        const int hi = HexDigitValue(text[3 * i]);
        const int lo = HexDigitValue(text[3 * i + 1]);
        if (hi < 0 || lo < 0 || (i < 5 && text[3 * i + 2] != ':'))
            return std::nullopt;
        mac[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return mac;
}

std::string MacText(const MacAddress& mac)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i > 0)
            text += ':';
        text += kDigits[mac[i] >> 4];
        text += kDigits[mac[i] & 0xF];
    }
    return text;
}

std::optional<std::string> UnescapeName(std::string_view text)
{
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            name += text[i];
        } else if (++i >= text.size()) {
            return std::nullopt;
        } else {
            switch (text[i]) {
            case '\\':
                name += '\\';
                break;
            case '"':
                name += '"';
                break;
            case 'n':
                name += '\n';
                break;
            case 'r':
                name += '\r';
                break;
            case 't':
                name += '\t';
                break;
            case 'e':
                name += '\033';
                break;
            case 'x': {
                if (i + 2 >= text.size())
                    return std::nullopt;
                const int hi = HexDigitValue(text[i + 1]);
                const int lo = HexDigitValue(text[i + 2]);
                if (hi < 0 || lo < 0)
                    return std::nullopt;
                name += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
            }
        }
        if (name.size() > kMaxNameBytes)
            return std::nullopt;
    }
    return name;
}

std::string HexText(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text;
}

std::optional<std::vector<ScanResult>> ParseScanResults(std::string_view text)
{
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.empty() || !lines.front().starts_with("bssid /"))
        return std::nullopt;
    std::vector<ScanResult> results;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        std::string_view rest = lines[n];
        std::array<std::string_view, 4> fields;
        bool whole = true;
        for (auto& field : fields) {
            const std::size_t tab = rest.find('\t');
            if (tab == std::string_view::npos) {
                whole = false;
                break;
            }
            field = rest.substr(0, tab);
            rest.remove_prefix(tab + 1);
        }
        if (!whole)
            continue;
        const auto bssid = ParseMac(fields[0]);
        const auto frequency = ParseInt(fields[1]);
        const auto signal = ParseInt(fields[2]);
        const auto ssid = UnescapeName(rest);
        if (!bssid || !frequency || !signal || !ssid)
            continue;
        results.push_back({*bssid, *frequency, *signal, std::string(fields[3]), *ssid});
    }
    return results;
}

std::optional<BssEntry> ParseBss(std::string_view text)
{
    auto values = ParseKeyValues(text);
    const auto id = ParseInt(values["id"]);
    if (!id || *id < 0)
        return std::nullopt;
    BssEntry entry{*id, std::nullopt};
    const auto bssid = ParseMac(values["bssid"]);
    const auto frequency = ParseInt(values["freq"]);
    const auto level = ParseInt(values["level"]);
    const auto flags = values.find("flags");
    const auto ssid = values.contains("ssid") ? UnescapeName(values["ssid"]) : std::nullopt;
    if (bssid && frequency && level && flags != values.end() && ssid)
        entry.bss = ScanResult{*bssid, *frequency, *level, flags->second, *ssid};
    return entry;
}

std::optional<int> ParseNetworkId(std::string_view text)
{
    if (text.ends_with('\n'))
        text.remove_suffix(1);
    const auto id = ParseInt(text);
    if (!id || *id < 0)
        return std::nullopt;
    return id;
}

std::vector<int> ParseChannels(std::string_view text)
{
    const std::vector<std::string_view> lines = Lines(text);
    for (const std::string_view mode : {"Mode[G] Channels:", "Mode[B] Channels:"}) {
        for (std::string_view line : lines) {
            if (!line.starts_with(mode))
                continue;
            line.remove_prefix(mode.size());
            std::vector<int> channels;
            while (!line.empty()) {
                const std::size_t start = line.find_first_not_of(' ');
                if (start == std::string_view::npos)
                    break;
                line.remove_prefix(start);
                const std::size_t end = line.find(' ');
                const auto channel = ParseInt(line.substr(0, end));
                if (channel && *channel >= 1 && *channel <= 14)
                    channels.push_back(*channel);
                line.remove_prefix(end == std::string_view::npos ? line.size() : end);
            }
            return channels;
        }
    }
    return {};
}

std::optional<MacAddress> ParseStationAddress(std::string_view text)
{
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.empty())
        return std::nullopt;
    return ParseMac(lines.front());
}

std::optional<std::vector<NetworkEntry>> ParseNetworkList(std::string_view text)
{
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.empty() || !lines.front().starts_with("network id"))
        return std::nullopt;
    std::vector<NetworkEntry> networks;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        // id, name, bssid, flags: exactly three tabs (the name's own are escaped).
        if (std::count(line.begin(), line.end(), '\t') != 3)
            continue;
        const std::size_t first = line.find('\t');
        const std::size_t second = line.find('\t', first + 1);
        const auto id = ParseInt(line.substr(0, first));
        if (!id || *id < 0)
            continue;
        networks.push_back({*id, std::string(line.substr(first + 1, second - first - 1)),
                            std::string(line.substr(line.rfind('\t') + 1))});
    }
    return networks;
}

std::optional<std::string> NetworkFlags(std::string_view text, int id)
{
    const auto networks = ParseNetworkList(text);
    if (!networks)
        return std::nullopt;
    for (const NetworkEntry& network : *networks) {
        if (network.id == id)
            return network.flags;
    }
    return std::nullopt;
}

KeyManagements KeyManagementsOfFlags(std::string_view flags)
{
    KeyManagements offered;
    std::size_t at = 0;
    while ((at = flags.find('[', at)) != std::string_view::npos) {
        const std::size_t end = flags.find(']', at);
        std::string_view group = flags.substr(
            at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1);
        at = end == std::string_view::npos ? flags.size() : end;
        const std::size_t dash = group.find('-');
        const std::string_view protocol = group.substr(0, dash);
        if (dash == std::string_view::npos ||
            (protocol != "WPA" && protocol != "WPA2" && protocol != "RSN"))
            continue;
        offered.wpa = true;
        (protocol == "WPA" ? offered.wpa1 : offered.rsn) = true;
        // "PSK+SAE-CCMP", "FT/PSK+PSK-SHA256-CCMP+TKIP-preauth", "EAP-SUITE-B-192-GCMP-256":
        // the key managements' and the ciphers' names and their parts are split by '+',
        // '-' and '/'.
        group.remove_prefix(dash + 1);
        while (!group.empty()) {
            const std::size_t cut = group.find_first_of("+-/");
            const std::string_view word = group.substr(0, cut);
            offered.psk = offered.psk || word == "PSK";
            offered.sae = offered.sae || word == "SAE";
            offered.eap = offered.eap || word == "EAP";
            offered.tkip = offered.tkip || word == "TKIP";
            offered.ccmp = offered.ccmp || word == "CCMP";
            group.remove_prefix(cut == std::string_view::npos ? group.size() : cut + 1);
        }
    }
    return offered;
}

std::optional<LinkSecurity> SecurityOfStatus(const std::map<std::string, std::string>& status)
{
    const auto keys = status.find("key_mgmt");
    if (keys == status.end())
        return std::nullopt;
    const std::string_view used = keys->second;
    const auto names = [&](std::string_view part) {
        return used.find(part) != std::string_view::npos;
    };
    if (used == "NONE") {
        const auto cipher = status.find("pairwise_cipher");
        return cipher != status.end() && cipher->second.starts_with("WEP") ? LinkSecurity::Wep
                                                                           : LinkSecurity::Open;
    }
    if (used == "IEEE 802.1X (no WPA)")
        return LinkSecurity::Ieee8021x;
    if (names("SAE"))
        return LinkSecurity::Wpa3Sae;
    if (names("EAP") || names("802.1X"))
        return LinkSecurity::WpaEap;
    if (used == "WPA-PSK")
        return LinkSecurity::WpaPsk;
    if (names("PSK")) // WPA2-PSK, WPA2-PSK-SHA256, FT-PSK: over RSN
        return LinkSecurity::Wpa2Psk;
    return std::nullopt;
}

int ChannelOfFrequency(int mhz)
{
    if (mhz == 2484)
        return 14;
    if (mhz >= 2412 && mhz <= 2472 && (mhz - 2412) % 5 == 0)
        return (mhz - 2412) / 5 + 1;
    if (mhz >= 5180 && mhz <= 5885 && mhz % 5 == 0)
        return (mhz - 5000) / 5;
    return 0;
}

} // namespace kesto::linuxwlan
