// What the daemons are sent for the kept settings (README.md lists it).
#include "drivers/linuxwlan/SettingsPush.h"

#include "drivers/linuxwlan/ControlReplies.h"

#include <array>

namespace kesto::linuxwlan {
namespace {

const char* AuthAlg(int authentication)
{
    switch (authentication) {
    case 1:
        return "SHARED";
    case 2:
        return "OPEN SHARED";
    default:
        return "OPEN";
    }
}

std::string KeyHex(const std::vector<std::uint8_t>& key)
{
    return HexText(std::string_view(reinterpret_cast<const char*>(key.data()), key.size()));
}

} // namespace

SettingsPush::SettingsPush(DaemonLines lines, std::string interfaceName, std::string radio,
                           std::string wpaDir, std::string apConfigFile,
                           std::chrono::milliseconds slowTimeout)
    : m_lines(lines), m_interface(std::move(interfaceName)), m_radio(std::move(radio)),
      m_wpaDir(std::move(wpaDir)), m_apConfigFile(std::move(apConfigFile)), m_slow(slowTimeout)
{
}

bool SettingsPush::PushStation(const AdapterSettings& s)
{
    DaemonLine& wpa = m_lines.wpa;
    if (m_networkId >= 0)
        wpa.Request("REMOVE_NETWORK " + std::to_string(m_networkId)); // may be gone already
    m_networkId = -1;
    const ControlReply added = wpa.Request("ADD_NETWORK");
    const auto id = added.ok() ? ParseNetworkId(added.text) : std::nullopt;
    if (!id)
        return false;
    const std::string set = "SET_NETWORK " + std::to_string(*id) + " ";
    std::vector<std::string> commands;
    if (!s.ssid.empty())
        commands.push_back(set + "ssid " + HexText(s.ssid));
    commands.push_back(set + "scan_ssid 1");
    if (s.wpa) {
        for (const std::string& field : WpaFields(*s.wpa))
            commands.push_back(set + field);
    } else {
        commands.push_back(set + "key_mgmt NONE");
    }
    if (s.networkType == 0) {
        commands.push_back(set + "mode 1");
        commands.push_back(set + "frequency " + std::to_string(FrequencyOfChannel(s.channel)));
    }
    if (!s.wpa)
        commands.push_back(set + "auth_alg " + AuthAlg(s.authentication));
    if (!s.wpa && s.wepStatus == 0) {
        for (std::size_t slot = 0; slot < s.keys.size(); ++slot) {
            if (!s.keys[slot].empty())
                commands.push_back(set + "wep_key" + std::to_string(slot) + " " +
                                   KeyHex(s.keys[slot]));
        }
        if (s.transmitKey >= 0)
            commands.push_back(set + "wep_tx_keyidx " + std::to_string(s.transmitKey));
    }
    commands.push_back("SELECT_NETWORK " + std::to_string(*id));
    for (const std::string& command : commands) {
        if (!wpa.Ok(command)) {
            wpa.Request("REMOVE_NETWORK " + std::to_string(*id));
            return false;
        }
    }
    m_networkId = *id;
    return true;
}

std::vector<std::string> SettingsPush::WpaFields(const WpaCredentials& c)
{
    // Texts that come from the user go as hexadecimal digits, which the daemon reads
    // as the bytes they spell and no byte can break; the pass phrase must be quoted
    // (unquoted it would be read as a 256-bit key) and holds printable characters
    // only, and the daemon takes everything up to the last quote.
    std::vector<std::string> fields;
    const char* keyManagement = c.authenticationMode == 2   ? "WPA-PSK"
                                : c.authenticationMode == 3 ? "WPA-EAP"
                                                            : "IEEE8021X";
    fields.push_back(std::string("key_mgmt ") + keyManagement);
    if (c.authenticationMode != 4) {
        fields.emplace_back("proto WPA RSN");
        fields.push_back(std::string("pairwise ") + (c.cipher == 1 ? "CCMP" : "TKIP"));
        fields.emplace_back("group CCMP TKIP");
    }
    if (c.authenticationMode == 2) {
        fields.push_back("psk \"" + c.passphrase + "\"");
        return fields;
    }
    static constexpr std::array<const char*, 5> kMethods{"TLS", "TTLS", "MD5", "PEAP", "LEAP"};
    fields.push_back(std::string("eap ") + kMethods[static_cast<std::size_t>(c.eapMethod - 1)]);
    fields.push_back("identity " + HexText(c.identity));
    if (c.eapMethod == 1) {
        fields.push_back("client_cert \"" + c.certificate + "\"");
        fields.push_back("private_key \"" + c.certificate + "\"");
    } else {
        fields.push_back("password " + HexText(c.password));
    }
    if (c.eapMethod == 2) {
        static constexpr std::array<const char*, 4> kInner{"PAP", "CHAP", "MSCHAP", "MSCHAPV2"};
        fields.push_back(std::string("phase2 \"auth=") +
                         kInner[static_cast<std::size_t>(c.innerMethod)] + "\"");
    } else if (c.eapMethod == 4) {
        static constexpr std::array<const char*, 3> kInner{"MD5", "GTC", "MSCHAPV2"};
        fields.push_back(std::string("phase2 \"auth=") +
                         kInner[static_cast<std::size_t>(c.innerMethod)] + "\"");
    }
    if (c.validateServer && EapMethodChecksServer(c.eapMethod)) {
        fields.emplace_back("ca_cert \"/etc/ssl/certs/ca-certificates.crt\"");
        // Any authority's certificate would do without the name (ServerNameUsable keeps
        // it to letters, digits, '-' and '.', so it quotes safely).
        fields.push_back("domain_suffix_match \"" + c.serverName + "\"");
    }
    return fields;
}

bool SettingsPush::PushAccessPoint(const AdapterSettings& s)
{
    // hostapd cannot forget a WEP key it was given: a fresh start from the file can.
    if (s.wepStatus != 0 && m_apWepPushed) {
        if (!MoveToStation() || !MoveToAccessPoint())
            return false;
    }
    std::vector<std::string> commands;
    if (!s.ssid.empty())
        commands.push_back("SET ssid2 " + HexText(s.ssid));
    commands.push_back("SET channel " + std::to_string(s.channel));
    commands.push_back("SET ignore_broadcast_ssid " + std::to_string(s.hideSsid));
    if (s.wepStatus == 0) {
        for (std::size_t slot = 0; slot < s.keys.size(); ++slot) {
            if (!s.keys[slot].empty())
                commands.push_back("SET wep_key" + std::to_string(slot) + " " +
                                   KeyHex(s.keys[slot]));
        }
        if (s.transmitKey >= 0)
            commands.push_back("SET wep_default_key " + std::to_string(s.transmitKey));
        commands.push_back("SET auth_algs " + std::to_string(s.authentication + 1));
    } else {
        commands.emplace_back("SET auth_algs 1");
    }
    for (const std::string& command : commands) {
        if (!m_lines.hostapd.Ok(command))
            return false;
    }
    // A reload would keep the radio on its old channel while the beacons name the new
    // one; restarting the interface applies everything.
    if (!m_lines.hostapd.Ok("DISABLE", m_slow) || !m_lines.hostapd.Ok("ENABLE", m_slow))
        return false;
    m_apWepPushed = s.wepStatus == 0;
    return true;
}

bool SettingsPush::PushFilter(const AdapterSettings& s)
{
    std::vector<std::string> commands{"ACCEPT_ACL CLEAR", "DENY_ACL CLEAR",
                                      std::string("SET macaddr_acl ") +
                                          (s.filterMode == 1 ? "1" : "0")};
    if (s.filterMode != 0) {
        const std::string list = s.filterMode == 1 ? "ACCEPT_ACL" : "DENY_ACL";
        for (std::size_t at = 0; at + 7 <= s.filter.size(); at += 7) {
            if (s.filter[at] != 1)
                continue;
            MacAddress mac{};
            std::copy_n(s.filter.begin() + static_cast<long>(at) + 1, 6, mac.begin());
            commands.push_back(list + " ADD_MAC " + MacText(mac));
        }
    }
    for (const std::string& command : commands) {
        if (!m_lines.hostapd.Ok(command))
            return false;
    }
    return true;
}

std::string SettingsPush::AddToHostapd() const
{
    // hostapd groups the interfaces it runs by radio: it wants the radio's name.
    return "ADD bss_config=" + (m_radio.empty() ? m_interface : m_radio) + ":" + m_apConfigFile;
}

std::string SettingsPush::AddToStation() const
{
    return "INTERFACE_ADD " + m_interface + "\t\tnl80211\t" + m_wpaDir;
}

bool SettingsPush::MoveToAccessPoint()
{
    // Global sockets are asked only for moves: each move finds out afresh whether
    // they answer.
    m_lines.wpaGlobal.Probe();
    m_lines.hostapdGlobal.Probe();
    m_apWepPushed = false;
    if (!m_lines.wpaGlobal.Ok("INTERFACE_REMOVE " + m_interface, m_slow))
        return false;
    m_networkId = -1; // the interface took our network with it
    if (m_lines.hostapdGlobal.Ok(AddToHostapd(), m_slow)) {
        m_lines.hostapd.Probe();
        return true;
    }
    // Give the interface back to the station daemon rather than leave it with none.
    m_lines.wpaGlobal.Request(AddToStation(), m_slow);
    return false;
}

bool SettingsPush::MoveToStation()
{
    m_lines.wpaGlobal.Probe();
    m_lines.hostapdGlobal.Probe();
    m_apWepPushed = false;
    if (!m_lines.hostapdGlobal.Ok("REMOVE " + m_interface, m_slow))
        return false;
    if (m_lines.wpaGlobal.Ok(AddToStation(), m_slow)) {
        m_networkId = -1; // the new interface has none of ours
        m_lines.wpa.Probe();
        return true;
    }
    m_lines.hostapdGlobal.Request(AddToHostapd(), m_slow);
    return false;
}

} // namespace kesto::linuxwlan
