// What the daemons are sent for the kept settings (README.md lists it).
#include "drivers/linuxwlan/SettingsPush.h"

#include "drivers/linuxwlan/ControlReplies.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <utility>

namespace kesto::linuxwlan {
namespace {

// The most networks the daemon is asked about when leftovers of ours are looked for.
constexpr std::size_t kMaxNetworksAsked = 64;

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

// A request carrying a secret: the command, the secret as hexadecimal digits.
Secret WithHexSecret(const std::string& command, const Secret& secret)
{
    Secret request(command);
    request.AppendHex(secret.view());
    return request;
}

bool Has(std::string_view flags, std::string_view flag)
{
    return flags.find(flag) != std::string_view::npos;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

} // namespace

SettingsPush::SettingsPush(DaemonLines lines, std::string interfaceName, std::string radio,
                           std::string wpaDir, std::string apConfigFile,
                           std::filesystem::path procDir, std::chrono::milliseconds slowTimeout,
                           DaemonLine::Log log)
    : m_lines(lines), m_interface(std::move(interfaceName)), m_radio(std::move(radio)),
      m_wpaDir(std::move(wpaDir)), m_apConfigFile(std::move(apConfigFile)),
      m_procDir(std::move(procDir)), m_slow(slowTimeout), m_log(std::move(log))
{
}

bool SettingsPush::Forget(int id)
{
    const ControlReply reply = m_lines.wpa.Request("REMOVE_NETWORK " + std::to_string(id));
    return reply.ok() || reply.error == ControlError::Refused; // FAIL: it is not there
}

bool SettingsPush::RemoveStale()
{
    if (m_orphanAbove) {
        // A network that an ADD_NETWORK made after all: above the ids there were, with no
        // name and still disabled, as ADD_NETWORK leaves it.
        const ControlReply listed = m_lines.wpa.Request("LIST_NETWORKS");
        const auto networks = listed.ok() ? ParseNetworkList(listed.text) : std::nullopt;
        if (!networks)
            return false;
        for (const NetworkEntry& network : *networks) {
            if (network.id > *m_orphanAbove && network.id != m_networkId && network.ssid.empty() &&
                Has(network.flags, "[DISABLED]"))
                m_stale.push_back(network.id);
        }
        m_orphanAbove.reset();
    }
    while (!m_stale.empty()) {
        if (!Forget(m_stale.front()))
            return false;
        m_stale.erase(m_stale.begin());
    }
    return true;
}

bool SettingsPush::RemoveLeftovers()
{
    const ControlReply listed = m_lines.wpa.Request("LIST_NETWORKS");
    const auto networks = listed.ok() ? ParseNetworkList(listed.text) : std::nullopt;
    if (!networks)
        return false;
    const std::string mark = "\"" + std::string(kMark) + "\"";
    std::size_t asked = 0;
    for (const NetworkEntry& network : *networks) {
        if (network.id == m_networkId)
            continue;
        if (++asked > kMaxNetworksAsked)
            break;
        const ControlReply idString =
            m_lines.wpa.Request("GET_NETWORK " + std::to_string(network.id) + " id_str");
        if (!idString.ok() && idString.error != ControlError::Refused) // FAIL: none set
            return false;
        if (idString.ok() && Trimmed(idString.text) == mark)
            m_stale.push_back(network.id);
    }
    return RemoveStale();
}

void SettingsPush::Withdraw()
{
    if (m_networkId >= 0)
        m_stale.insert(m_stale.begin(), m_networkId);
    m_networkId = -1;
    RemoveStale();
    for (const int id : m_disabled)
        m_lines.wpa.Request("ENABLE_NETWORK " + std::to_string(id));
    m_disabled.clear();
}

void SettingsPush::ForgetAll()
{
    m_networkId = -1;
    m_stale.clear();
    m_orphanAbove.reset();
    m_disabled.clear();
}

bool SettingsPush::PushStation(const AdapterSettings& s, const AdapterSecrets& secrets,
                               const NetworkOffer& offer)
{
    DaemonLine& wpa = m_lines.wpa;
    if (!RemoveStale())
        return false;
    if (m_networkId >= 0) {
        const int previous = std::exchange(m_networkId, -1);
        if (!Forget(previous)) {
            m_stale.push_back(previous);
            return false;
        }
    }
    // No name was ever set: no network of ours. An empty name is any network, with the
    // WEP or open settings: a WPA network without a name would hand the pass phrase to any
    // network that asks for one, and an ad-hoc cell is found and made by its name.
    if (!s.ssid || (s.ssid->empty() && (s.wpa || s.networkType == 0)))
        return true;
    // Selecting ours disables the others that are enabled now: they are enabled again
    // when the library closes.
    const ControlReply listed = wpa.Request("LIST_NETWORKS");
    const auto others = listed.ok() ? ParseNetworkList(listed.text) : std::nullopt;
    if (!others)
        return false;
    const ControlReply added = wpa.Request("ADD_NETWORK");
    if (!added.ok() && added.error != ControlError::Refused &&
        added.error != ControlError::NoSocket && added.error != ControlError::Untrusted) {
        // Sent, but no answer: the daemon may have made the network all the same.
        int highest = -1;
        for (const NetworkEntry& other : *others)
            highest = std::max(highest, other.id);
        m_orphanAbove = highest;
        return false;
    }
    const auto id = added.ok() ? ParseNetworkId(added.text) : std::nullopt;
    if (!id)
        return false;
    const std::string set = "SET_NETWORK " + std::to_string(*id) + " ";
    // Every request is wiped once sent: some carry a key, a pass phrase or a password.
    std::vector<Secret> commands;
    // Marked first: a network of ours is found again whatever happens next.
    commands.emplace_back(set + "id_str \"" + std::string(kMark) + "\"");
    if (!s.ssid->empty()) {
        commands.emplace_back(set + "ssid " + HexText(*s.ssid));
        commands.emplace_back(set + "scan_ssid 1");
    }
    if (s.wpa) {
        for (const std::string& field : WpaFields(*s.wpa, offer))
            commands.emplace_back(set + field);
        // The pass phrase must be quoted (unquoted it would be read as a 256-bit key) and
        // holds printable characters only; the daemon takes everything up to the last
        // quote. The password goes as hexadecimal digits, which no byte can break.
        if (s.wpa->authenticationMode == 2)
            commands.push_back(
                Secret(set + "psk \"").Append(secrets.passphrase.view()).Append("\""));
        else if (s.wpa->eapMethod != 1)
            commands.push_back(WithHexSecret(set + "password ", secrets.password));
    } else {
        commands.emplace_back(set + "key_mgmt NONE");
    }
    if (s.networkType == 0) {
        commands.emplace_back(set + "mode 1");
        commands.emplace_back(set + "frequency " + std::to_string(FrequencyOfChannel(s.channel)));
    }
    if (!s.wpa)
        commands.emplace_back(set + "auth_alg " + AuthAlg(s.authentication));
    if (!s.wpa && s.wepStatus == 0) {
        for (std::size_t slot = 0; slot < secrets.keys.size(); ++slot) {
            if (!secrets.keys[slot].empty())
                commands.push_back(WithHexSecret(set + "wep_key" + std::to_string(slot) + " ",
                                                 secrets.keys[slot]));
        }
        if (s.transmitKey >= 0)
            commands.emplace_back(set + "wep_tx_keyidx " + std::to_string(s.transmitKey));
    }
    commands.emplace_back("SELECT_NETWORK " + std::to_string(*id));
    for (const NetworkEntry& other : *others) {
        if (!Has(other.flags, "[DISABLED]") && !Has(other.flags, "[P2P-PERSISTENT]"))
            m_disabled.insert(other.id);
    }
    for (const Secret& command : commands) {
        if (!wpa.Ok(command.view())) {
            if (!Forget(*id))
                m_stale.push_back(*id);
            return false;
        }
    }
    m_networkId = *id;
    return true;
}

NetworkOffer SettingsPush::OfferOf(const std::vector<ScanResult>& table, std::string_view ssid)
{
    NetworkOffer offer;
    for (const ScanResult& bss : table) {
        if (bss.ssid != ssid)
            continue;
        const KeyManagements offered = KeyManagementsOfFlags(bss.flags);
        if (offered.sae)
            offer.keys =
                std::max(offer.keys, offered.psk ? KeyOffer::PskAndSae : KeyOffer::SaeOnly);
        offer.wpa1 = offer.wpa1 || offered.wpa1;
        offer.rsn = offer.rsn || offered.rsn;
        offer.tkip = offer.tkip || offered.tkip;
        offer.ccmp = offer.ccmp || offered.ccmp;
    }
    return offer;
}

std::vector<std::string> SettingsPush::WpaFields(const WpaCredentials& c, const NetworkOffer& offer)
{
    // Texts that come from the user go as hexadecimal digits, which the daemon reads
    // as the bytes they spell and no byte can break.
    std::vector<std::string> fields;
    if (c.authenticationMode == 2) {
        switch (offer.keys) {
        case KeyOffer::Psk:
            fields.emplace_back("key_mgmt WPA-PSK");
            break;
        case KeyOffer::PskAndSae:
            fields.emplace_back("key_mgmt WPA-PSK SAE");
            fields.emplace_back("ieee80211w 1");
            break;
        case KeyOffer::SaeOnly:
            // SAE runs over RSN with CCMP only, whatever cipher the profile names.
            fields.emplace_back("key_mgmt SAE");
            fields.emplace_back("ieee80211w 2");
            fields.emplace_back("proto RSN");
            fields.emplace_back("pairwise CCMP");
            fields.emplace_back("group CCMP");
            // Should anyone save the daemon's configuration, the pass phrase stays out.
            fields.emplace_back("mem_only_psk 1");
            return fields;
        }
    } else {
        fields.emplace_back(c.authenticationMode == 3 ? "key_mgmt WPA-EAP" : "key_mgmt IEEE8021X");
    }
    if (c.authenticationMode != 4) {
        const bool bothProtocols = offer.wpa1 == offer.rsn; // both, or none seen
        fields.emplace_back(bothProtocols ? "proto WPA RSN"
                            : offer.rsn   ? "proto RSN"
                                          : "proto WPA");
        const char* pairwise = "CCMP TKIP"; // none seen
        if (offer.tkip && offer.ccmp)
            pairwise = c.cipher == 1 ? "CCMP" : "TKIP";
        else if (offer.tkip || offer.ccmp)
            pairwise = offer.ccmp ? "CCMP" : "TKIP";
        fields.push_back(std::string("pairwise ") + pairwise);
        fields.emplace_back("group CCMP TKIP");
    }
    if (c.authenticationMode == 2) {
        fields.emplace_back("mem_only_psk 1");
        return fields;
    }
    static constexpr std::array<const char*, 5> kMethods{"TLS", "TTLS", "MD5", "PEAP", "LEAP"};
    fields.push_back(std::string("eap ") + kMethods[static_cast<std::size_t>(c.eapMethod - 1)]);
    fields.push_back("identity " + HexText(c.identity));
    if (c.eapMethod == 1) {
        fields.push_back("client_cert \"" + c.certificate + "\"");
        fields.push_back("private_key \"" + c.certificate + "\"");
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

bool SettingsPush::PushAccessPoint(const AdapterSettings& s, const AdapterSecrets& secrets)
{
    // hostapd cannot forget a WEP key it was given: a fresh start from the file can.
    if (s.wepStatus != 0 && m_apWepPushed) {
        if (!MoveToStation() || !MoveToAccessPoint())
            return false;
    }
    std::vector<Secret> commands;
    if (s.ssid && !s.ssid->empty())
        commands.emplace_back("SET ssid2 " + HexText(*s.ssid));
    commands.emplace_back("SET channel " + std::to_string(s.channel));
    commands.emplace_back("SET ignore_broadcast_ssid " + std::to_string(s.hideSsid));
    if (s.wepStatus == 0) {
        for (std::size_t slot = 0; slot < secrets.keys.size(); ++slot) {
            if (!secrets.keys[slot].empty())
                commands.push_back(
                    WithHexSecret("SET wep_key" + std::to_string(slot) + " ", secrets.keys[slot]));
        }
        if (s.transmitKey >= 0)
            commands.emplace_back("SET wep_default_key " + std::to_string(s.transmitKey));
        commands.emplace_back("SET auth_algs " + std::to_string(s.authentication + 1));
    } else {
        commands.emplace_back("SET auth_algs 1");
    }
    for (const Secret& command : commands) {
        if (!m_lines.hostapd.Ok(command.view()))
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
    // INTERFACE_ADD <interface> TAB <configuration file> TAB <driver> TAB <control folder>
    const StationDaemonArgs args = m_stationArgs.value_or(StationDaemonArgs{});
    std::string control = args.controlInterface;
    if (control.empty() && args.configFile.empty()) {
        // Without a file, the folder alone would leave the new socket to root: the
        // folder's group keeps it open to the users it was open to.
        control = "DIR=" + m_wpaDir;
        struct stat folder {};
        if (::stat(m_wpaDir.c_str(), &folder) == 0)
            control += " GROUP=" + std::to_string(folder.st_gid);
    }
    return "INTERFACE_ADD " + m_interface + "\t" + args.configFile + "\t" +
           (args.driver.empty() ? std::string("nl80211") : args.driver) + "\t" + control;
}

bool SettingsPush::MoveToAccessPoint()
{
    // Global sockets are asked only for moves: each move finds out afresh whether
    // they answer.
    m_lines.wpaGlobal.Probe();
    m_lines.hostapdGlobal.Probe();
    m_apWepPushed = false;
    // What wpa_supplicant was started with for the interface: it gets the interface back
    // with the same, and the user's networks with it.
    if (auto args = StationDaemonArgs::Find(m_procDir, m_interface))
        m_stationArgs = std::move(args);
    else if (!m_stationArgs && !std::exchange(m_argsMissingLogged, true))
        m_log("wpa_supplicant's command line for " + m_interface +
              " not found: its own networks will not come back after the access point");
    if (!m_lines.wpaGlobal.Ok("INTERFACE_REMOVE " + m_interface, m_slow))
        return false;
    ForgetAll(); // the interface took our network with it, and the state of the others
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
        ForgetAll(); // the new interface has none of ours, and the others as its file says
        m_lines.wpa.Probe();
        return true;
    }
    m_lines.hostapdGlobal.Request(AddToHostapd(), m_slow);
    return false;
}

} // namespace kesto::linuxwlan
