// ControlReplies: the daemons' reply texts read into values. Every parser takes any
// text: a malformed or truncated reply gives no value (std::nullopt, an empty list, or
// the offending line left out), never a half-read one that looks valid.
#pragma once

#include "platform/WlanArguments.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::linuxwlan {

using MacAddress = std::array<std::uint8_t, 6>;

// "key=value" lines (STATUS, SIGNAL_POLL, hostapd STATUS, station entries): the value
// is everything after the first "="; lines without one are skipped; a later key wins.
std::map<std::string, std::string> ParseKeyValues(std::string_view text);

// A whole decimal number (optional "-"), nothing else; nullopt when out of int range.
std::optional<int> ParseInt(std::string_view text);

// "02:00:00:00:01:00", case-insensitive, exactly six two-digit groups.
std::optional<MacAddress> ParseMac(std::string_view text);
// Lower-case "02:00:00:00:01:00", as the daemons write and expect it.
std::string MacText(const MacAddress& mac);

// A network name as the daemons print it: printable bytes as they are, and the escapes
// \\ \" \n \r \t \e \xNN. nullopt for an unknown or cut escape and for a name longer
// than 32 bytes.
std::optional<std::string> UnescapeName(std::string_view text);

// Bytes as lower-case hexadecimal digits (names and keys are sent this way, which no
// byte of a name can break).
std::string HexText(std::string_view bytes);

struct ScanResult {
    MacAddress bssid{};
    int frequencyMhz = 0;
    int signalDbm = 0;
    std::string flags; // "[WPA2-PSK-CCMP][ESS]"
    std::string ssid;  // raw bytes, escapes undone

    bool operator==(const ScanResult&) const = default;
};

// SCAN_RESULTS: a header line "bssid / frequency / ...", then one tab-separated line
// per BSS. nullopt without the header; a line that does not read whole is left out.
std::optional<std::vector<ScanResult>> ParseScanResults(std::string_view text);

// One entry of the daemon's BSS table: "BSS FIRST MASK=..." or "BSS NEXT-<id> MASK=...",
// read with the mask kBssMask (id, bssid, freq, level, flags, ssid as "key=value" lines).
// The id leads to the next entry; the network is there only when every field reads.
// nullopt without an id: after the last entry (an empty reply) and for anything else.
inline constexpr std::string_view kBssMask = "0x1887";
struct BssEntry {
    int id = 0;
    std::optional<ScanResult> bss;
};
std::optional<BssEntry> ParseBss(std::string_view text);

// ADD_NETWORK: the new network's id.
std::optional<int> ParseNetworkId(std::string_view text);

// GET_CAPABILITY channels: the channels 1..14 of the "Mode[G]" line, else of the
// "Mode[B]" line, in the order given. Empty when neither line is there.
std::vector<int> ParseChannels(std::string_view text);

// hostapd STA-FIRST / STA-NEXT: the station's address on the first line; nullopt after
// the last station (an empty reply) and for anything that does not start with one.
std::optional<MacAddress> ParseStationAddress(std::string_view text);

// LIST_NETWORKS: a header line, then one line per network: id, name (escaped: it holds
// no tab), bssid, flags ("[CURRENT]", "[DISABLED]", "[TEMP-DISABLED]",
// "[P2P-PERSISTENT]"), split by tabs. nullopt without the header; a line that does not
// read whole is left out.
struct NetworkEntry {
    int id = 0;
    std::string ssid; // as printed: empty for a network that has no name yet
    std::string flags;

    bool operator==(const NetworkEntry&) const = default;
};
std::optional<std::vector<NetworkEntry>> ParseNetworkList(std::string_view text);
// The flags column of network id; nullopt when the reply has no line for it.
std::optional<std::string> NetworkFlags(std::string_view text, int id);

// The key managements, protocols and pairwise ciphers that the WPA, WPA2 or RSN groups
// of a scan entry's flags offer ("[WPA2-PSK+SAE-CCMP][ESS]": a pre-shared key and SAE
// over RSN with CCMP). Other groups ("[WEP]", "[ESS]", "[SAE-H2E]") name none.
struct KeyManagements {
    bool wpa = false;  // a WPA, WPA2 or RSN group is there
    bool psk = false;  // PSK, PSK-SHA256, FT/PSK
    bool sae = false;  // SAE, FT/SAE, SAE-EXT-KEY
    bool eap = false;  // EAP and its variants
    bool wpa1 = false; // the first WPA's element (a "WPA" group)
    bool rsn = false;  // the RSN element (a "WPA2" or "RSN" group)
    bool tkip = false; // pairwise ciphers of any group
    bool ccmp = false;
};
KeyManagements KeyManagementsOfFlags(std::string_view flags);

// The security an associated link's STATUS tells of: its key_mgmt ("WPA2-PSK", "SAE",
// "WPA2/IEEE 802.1X/EAP", "IEEE 802.1X (no WPA)" ...) and, where that is NONE, whether
// its pairwise cipher is WEP. nullopt without key_mgmt and for one it does not know
// (OWE, DPP ...).
std::optional<LinkSecurity> SecurityOfStatus(const std::map<std::string, std::string>& status);

// The channel of a frequency: 2412..2472 MHz in 5 MHz steps give 1..13, 2484 gives 14;
// 5180..5885 MHz in 5 MHz steps give the 5 GHz band's 36..177; anything else 0.
int ChannelOfFrequency(int mhz);
// The frequency of a channel the adapter's settings take: the port's rule.
using wlan_args::FrequencyOfChannel;

} // namespace kesto::linuxwlan
