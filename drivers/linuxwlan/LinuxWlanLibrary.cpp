// The adapter calls over wpa_supplicant, hostapd and sysfs (README.md maps each one).
#include "drivers/linuxwlan/LinuxWlanLibrary.h"

#include "drivers/linuxwlan/SurveyRecordEncoder.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kesto::linuxwlan {
namespace {

constexpr std::string_view kDeviceIdValue = "MatchingDeviceId";
constexpr std::string_view kDriverKeyBase =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\";

// Link status codes, as the simulator documents them.
constexpr int kSearching = 1;
constexpr int kAssociating = 2;
constexpr int kAssociated = 3;
constexpr int kInCell = 4;
constexpr int kRefused = 5;
constexpr int kAccessPoint = 8;

// Signal without a link, and the quality reading's scale (larger is worse).
constexpr int kNoSignalDbm = -105;
constexpr int kBestQuality = 10;
constexpr int kWorstQuality = 80;

constexpr std::size_t kMaxStations = kStationListSize / 7;
constexpr int kMaxStationRequests = 64;

constexpr std::array<std::size_t, 3> kKeyBytes{5, 13, 29};

std::string DriverKey(const std::string& instance)
{
    return std::string(kDriverKeyBase) + instance;
}

void CopyText(char* to, std::size_t size, std::string_view text)
{
    const std::size_t n = std::min(size - 1, text.size());
    std::memset(to, 0, size);
    std::memcpy(to, text.data(), n);
}

void Put32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Read32(std::span<const std::uint8_t> in, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
    return v;
}

int QualityOf(int rssi)
{
    if (rssi >= -35)
        return kBestQuality;
    if (rssi <= -90)
        return kWorstQuality;
    return kBestQuality + (-35 - rssi) * (kWorstQuality - kBestQuality) / 55;
}

bool InProgress(std::string_view state)
{
    return state == "AUTHENTICATING" || state == "ASSOCIATING" || state == "ASSOCIATED" ||
           state == "4WAY_HANDSHAKE" || state == "GROUP_HANDSHAKE";
}

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

LinuxWlanLibrary::LinuxWlanLibrary(LinuxWlanConfig config, Registry& registry)
    : m_config(std::move(config)), m_registry(registry), m_sysfs(m_config.sysfsNet),
      m_client(m_config.replyTimeout), m_service(m_config.systemBus)
{
}

std::string LinuxWlanLibrary::InstanceOf(int interfaceIndex)
{
    std::string digits = std::to_string(interfaceIndex % 10000);
    return std::string(4 - digits.size(), '0') + digits;
}

std::int32_t LinuxWlanLibrary::PackRelease(std::string_view release)
{
    std::array<std::uint32_t, 4> parts{};
    std::size_t part = 0;
    std::size_t at = 0;
    while (part < parts.size() && at < release.size()) {
        const int base = part == 3 ? 16 : 10;
        std::size_t end = at;
        std::uint32_t value = 0;
        while (end < release.size() && std::isxdigit(static_cast<unsigned char>(release[end])) &&
               (base == 16 || std::isdigit(static_cast<unsigned char>(release[end])))) {
            const char c = release[end];
            const std::uint32_t digit =
                std::isdigit(static_cast<unsigned char>(c))
                    ? static_cast<std::uint32_t>(c - '0')
                    : static_cast<std::uint32_t>(std::tolower(static_cast<unsigned char>(c)) - 'a' +
                                                 10);
            value = std::min<std::uint32_t>(value * static_cast<std::uint32_t>(base) + digit, 255);
            ++end;
        }
        if (end == at)
            break;
        parts[part++] = value;
        if (end >= release.size() || (release[end] != '.' && release[end] != '-'))
            break;
        at = end + 1;
    }
    return static_cast<std::int32_t>(parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3]);
}

// --- list, open, close ---

int LinuxWlanLibrary::CreateNICAdapterList(std::span<NicAdapterEntry> list)
{
    std::vector<WirelessInterface> found;
    if (m_config.interfaceName.empty()) {
        found = m_sysfs.List();
    } else if (auto one = m_sysfs.Find(m_config.interfaceName)) {
        found.push_back(std::move(*one));
    }
    std::fill(list.begin(), list.end(), NicAdapterEntry{});
    std::set<std::string> listed;
    int count = 0;
    for (const WirelessInterface& wi : found) {
        const std::string instance = InstanceOf(wi.index);
        // The system's part: the value that the INI matching compares.
        if (!wi.deviceId.empty()) {
            const RegValue value = RegValue::Text(wi.deviceId);
            if (m_registry.QueryValue(DriverKey(instance), kDeviceIdValue) != value)
                m_registry.SetValue(DriverKey(instance), kDeviceIdValue, value);
            listed.insert(instance);
        }
        if (static_cast<std::size_t>(count) >= list.size())
            continue;
        NicAdapterEntry& entry = list[static_cast<std::size_t>(count++)];
        CopyText(entry.name, sizeof entry.name, wi.name);
        const std::string description =
            (wi.driver.empty() ? std::string("wireless") : wi.driver) +
            (wi.deviceId.empty() ? std::string() : " (" + wi.deviceId + ")");
        CopyText(entry.description, sizeof entry.description, description);
        CopyText(entry.driverInstance, sizeof entry.driverInstance, instance);
    }
    for (const std::string& instance : m_published) {
        if (!listed.contains(instance) &&
            m_registry.QueryValue(DriverKey(instance), kDeviceIdValue))
            m_registry.DeleteValue(DriverKey(instance), kDeviceIdValue);
    }
    m_published = std::move(listed);
    return count;
}

int LinuxWlanLibrary::QvOpenAdapter(AdapterContext& ctx)
{
    const std::string_view instance(ctx.driverInstance, strnlen(ctx.driverInstance, 5));
    const std::string_view name(ctx.name, strnlen(ctx.name, sizeof ctx.name));
    std::vector<WirelessInterface> found = m_sysfs.List();
    const auto it = std::find_if(found.begin(), found.end(), [&](const WirelessInterface& wi) {
        return InstanceOf(wi.index) == instance && (name.empty() || wi.name == name) &&
               (m_config.interfaceName.empty() || wi.name == m_config.interfaceName);
    });
    if (it == found.end())
        return 0;
    m_interface = it->name;
    m_openHandle = m_nextHandle++;
    ctx.handle = m_openHandle;
    // The daemon that holds the interface now decides the mode; nothing is changed on
    // the air until the utility sets something.
    const bool station = m_client.Request(WpaSocket(), "PING").ok();
    m_mode = !station && m_client.Request(HostapdSocket(), "PING").ok() ? Mode::AccessPoint
                                                                        : Mode::Station;
    m_settings = Settings{};
    m_changed = false;
    m_filterChanged = false;
    m_apWepPushed = false;
    m_networkId = -1;
    return 1;
}

int LinuxWlanLibrary::QvCloseAdapter(AdapterContext& ctx)
{
    if (ctx.handle == -1 || ctx.handle != m_openHandle)
        return 0;
    m_openHandle = -1;
    ctx.handle = -1;
    return 1;
}

bool LinuxWlanLibrary::Usable(const AdapterContext& ctx) const
{
    return ctx.handle != -1 && ctx.handle == m_openHandle && m_sysfs.Exists(m_interface);
}

ControlReply LinuxWlanLibrary::Wpa(const std::string& command) const
{
    return m_client.Request(WpaSocket(), command);
}

ControlReply LinuxWlanLibrary::Hostapd(const std::string& command) const
{
    return m_client.Request(HostapdSocket(), command);
}

bool LinuxWlanLibrary::WpaOk(const std::string& command) const
{
    const ControlReply reply = Wpa(command);
    return reply.ok() && reply.text.starts_with("OK");
}

bool LinuxWlanLibrary::HostapdOk(const std::string& command) const
{
    const ControlReply reply = Hostapd(command);
    return reply.ok() && reply.text.starts_with("OK");
}

// --- the system's wireless service and versions ---

int LinuxWlanLibrary::QueryWL_CheckWZCStatus(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    const auto state = m_service.Query(m_interface);
    if (!state)
        return -1;
    switch (*state) {
    case ServiceState::NotInCharge:
        return 0;
    case ServiceState::InCharge:
        return 1;
    case ServiceState::Released:
        return 2;
    }
    return -1;
}

int LinuxWlanLibrary::SetWL_WZCStatus(AdapterContext& ctx, int status)
{
    if (!Usable(ctx) || (status != 0 && status != 1))
        return -1;
    // 0 releases the interface from the service, 1 hands it back.
    return m_service.SetManaged(m_interface, status == 1) ? 0 : -1;
}

int LinuxWlanLibrary::SetWL_QVUseQVXOidState(AdapterContext& ctx, int state)
{
    return Usable(ctx) && (state == 0 || state == 1) ? 0 : -1;
}

std::int32_t LinuxWlanLibrary::QueryWL_DriverVersion(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    utsname system{};
    if (::uname(&system) != 0)
        return -1;
    return PackRelease(system.release);
}

int LinuxWlanLibrary::ReadOid(AdapterContext& ctx, std::uint32_t oid,
                              std::span<std::uint8_t> buffer)
{
    if (!Usable(ctx) || oid != kOidStatistics || buffer.size() < kStatisticsBufferSize ||
        Read32(buffer, 0) != kStatisticsBufferSize || Read32(buffer, 4) != 9)
        return -1;
    const auto c = m_sysfs.Counters(m_interface);
    if (!c)
        return -1;
    std::array<std::uint64_t, 20> counters{};
    counters[0] = c->txPackets;
    counters[1] = c->rxPackets;
    counters[2] = c->txBytes;
    counters[5] = c->txErrors;
    counters[15] = c->rxBytes;
    counters[17] = c->rxErrors;
    counters[18] = c->rxDropped;
    counters[19] = c->txErrors;
    for (std::size_t i = 0; i < counters.size(); ++i)
        Put32(buffer, 8 + 4 * i, static_cast<std::uint32_t>(counters[i]));
    return 0;
}

int LinuxWlanLibrary::GetTxRxFrameCount(AdapterContext& ctx, std::span<std::uint32_t, 2> counts)
{
    if (!Usable(ctx))
        return -1;
    const auto c = m_sysfs.Counters(m_interface);
    if (!c)
        return -1;
    counts[0] = static_cast<std::uint32_t>(c->txPackets);
    counts[1] = static_cast<std::uint32_t>(c->rxPackets);
    return 0;
}

int LinuxWlanLibrary::GetNICAdapterMAC(AdapterContext& ctx, std::span<std::uint8_t> mac)
{
    if (!Usable(ctx) || mac.size() < 6)
        return -1;
    const auto wi = m_sysfs.Find(m_interface);
    if (!wi || !wi->mac)
        return -1;
    std::copy(wi->mac->begin(), wi->mac->end(), mac.begin());
    return 0;
}

// --- pushing the settings ---

bool LinuxWlanLibrary::Sync()
{
    if (m_mode == Mode::Station)
        return !m_changed || PushStation();
    if (m_changed && !PushAccessPoint())
        return false;
    return !m_filterChanged || PushFilter();
}

bool LinuxWlanLibrary::PushStation()
{
    if (m_networkId >= 0)
        Wpa("REMOVE_NETWORK " + std::to_string(m_networkId)); // may be gone already
    m_networkId = -1;
    const ControlReply added = Wpa("ADD_NETWORK");
    const auto id = added.ok() ? ParseNetworkId(added.text) : std::nullopt;
    if (!id)
        return false;
    const std::string set = "SET_NETWORK " + std::to_string(*id) + " ";
    const Settings& s = m_settings;
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
        if (!WpaOk(command)) {
            Wpa("REMOVE_NETWORK " + std::to_string(*id));
            return false;
        }
    }
    m_networkId = *id;
    m_changed = false;
    return true;
}

std::vector<std::string> LinuxWlanLibrary::WpaFields(const WpaCredentials& c)
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
        fields.push_back("proto WPA RSN");
        fields.push_back(std::string("pairwise ") + (c.cipher == 1 ? "CCMP" : "TKIP"));
        fields.push_back("group CCMP TKIP");
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
        fields.push_back("ca_cert \"/etc/ssl/certs/ca-certificates.crt\"");
        // Any authority's certificate would do without the name (ServerNameUsable keeps
        // it to letters, digits, '-' and '.', so it quotes safely).
        fields.push_back("domain_suffix_match \"" + c.serverName + "\"");
    }
    return fields;
}

bool LinuxWlanLibrary::PushAccessPoint()
{
    const Settings& s = m_settings;
    // hostapd cannot forget a WEP key it was given: a fresh start from the file can.
    if (s.wepStatus != 0 && m_apWepPushed) {
        if (!MoveToStation() || !MoveToAccessPoint())
            return false;
        m_apWepPushed = false;
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
        commands.push_back("SET auth_algs 1");
    }
    // A reload would keep the radio on its old channel while the beacons name the new
    // one; restarting the interface applies everything.
    commands.push_back("DISABLE");
    commands.push_back("ENABLE");
    for (const std::string& command : commands) {
        if (!HostapdOk(command))
            return false;
    }
    m_apWepPushed = s.wepStatus == 0;
    m_changed = false;
    m_filterChanged = true; // a restart starts from the file's lists
    return true;
}

bool LinuxWlanLibrary::PushFilter()
{
    const Settings& s = m_settings;
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
        if (!HostapdOk(command))
            return false;
    }
    m_filterChanged = false;
    return true;
}

std::string LinuxWlanLibrary::AddToHostapd() const
{
    // hostapd groups the interfaces it runs by radio: it wants the radio's name.
    const auto wi = m_sysfs.Find(m_interface);
    const std::string radio = wi && !wi->phy.empty() ? wi->phy : m_interface;
    return "ADD bss_config=" + radio + ":" + m_config.apConfigFile;
}

bool LinuxWlanLibrary::MoveToAccessPoint()
{
    const ControlReply removed =
        m_client.Request(m_config.wpaSupplicantGlobal, "INTERFACE_REMOVE " + m_interface);
    if (!removed.ok() || !removed.text.starts_with("OK"))
        return false;
    const ControlReply added = m_client.Request(m_config.hostapdGlobal, AddToHostapd());
    if (added.ok() && added.text.starts_with("OK"))
        return true;
    // Give the interface back to the station daemon rather than leave it with none.
    m_client.Request(m_config.wpaSupplicantGlobal,
                     "INTERFACE_ADD " + m_interface + "\t\tnl80211\t" + m_config.wpaSupplicantDir);
    return false;
}

bool LinuxWlanLibrary::MoveToStation()
{
    const ControlReply removed = m_client.Request(m_config.hostapdGlobal, "REMOVE " + m_interface);
    if (!removed.ok() || !removed.text.starts_with("OK"))
        return false;
    const ControlReply added = m_client.Request(m_config.wpaSupplicantGlobal,
                                                "INTERFACE_ADD " + m_interface + "\t\tnl80211\t" +
                                                    m_config.wpaSupplicantDir);
    if (added.ok() && added.text.starts_with("OK"))
        return true;
    m_client.Request(m_config.hostapdGlobal, AddToHostapd());
    return false;
}

// --- station readings ---

std::optional<LinuxWlanLibrary::StationState> LinuxWlanLibrary::ReadStation()
{
    if (!Sync())
        return std::nullopt;
    const ControlReply status = Wpa("STATUS");
    if (!status.ok())
        return std::nullopt;
    StationState state;
    state.values = ParseKeyValues(status.text);
    const auto it = state.values.find("wpa_state");
    if (it == state.values.end())
        return std::nullopt;
    state.completed = it->second == "COMPLETED";
    state.adHoc = state.values["mode"] == "IBSS";
    return state;
}

std::optional<std::map<std::string, std::string>> LinuxWlanLibrary::Signal()
{
    if (!Sync())
        return std::nullopt;
    const ControlReply reply = Wpa("SIGNAL_POLL");
    if (reply.error == ControlError::Refused)
        return std::map<std::string, std::string>{}; // no link
    if (!reply.ok())
        return std::nullopt;
    return ParseKeyValues(reply.text);
}

int LinuxWlanLibrary::QueryWL_LinkStatus(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    if (m_mode == Mode::AccessPoint)
        return Sync() ? kAccessPoint : -1;
    auto state = ReadStation();
    if (!state)
        return -1;
    if (state->completed)
        return state->adHoc ? kInCell : kAssociated;
    if (InProgress(state->values["wpa_state"]))
        return kAssociating;
    if (m_networkId >= 0) {
        const ControlReply list = Wpa("LIST_NETWORKS");
        const auto flags = list.ok() ? NetworkFlags(list.text, m_networkId) : std::nullopt;
        if (flags && flags->find("TEMP-DISABLED") != std::string::npos)
            return kRefused;
    }
    return kSearching;
}

int LinuxWlanLibrary::QueryWL_Channel(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    if (m_mode == Mode::AccessPoint) {
        if (!Sync())
            return -1;
        const ControlReply status = Hostapd("STATUS");
        const auto channel =
            status.ok() ? ParseInt(ParseKeyValues(status.text)["channel"]) : std::nullopt;
        return channel ? *channel : -1;
    }
    auto state = ReadStation();
    if (!state)
        return -1;
    if (state->completed) {
        const auto mhz = ParseInt(state->values["freq"]);
        if (mhz && ChannelOfFrequency(*mhz) != 0)
            return ChannelOfFrequency(*mhz);
    }
    return m_settings.channel;
}

int LinuxWlanLibrary::QueryWL_NetworkType(AdapterContext& ctx)
{
    return Usable(ctx) ? m_settings.networkType : -1;
}

int LinuxWlanLibrary::QueryWL_AuthenticationMode(AdapterContext& ctx)
{
    return Usable(ctx) ? m_settings.authentication : -1;
}

int LinuxWlanLibrary::QueryWL_WEPStatus(AdapterContext& ctx)
{
    return Usable(ctx) ? m_settings.wepStatus : -1;
}

int LinuxWlanLibrary::QueryWL_PSMode(AdapterContext& ctx)
{
    return Usable(ctx) ? m_settings.powerSaving : -1;
}

int LinuxWlanLibrary::QueryWL_WEPbit(AdapterContext& ctx)
{
    return Usable(ctx) ? m_settings.transmitKeySize : -1;
}

int LinuxWlanLibrary::QueryWL_CurrentLinkSpeed(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    if (m_mode == Mode::AccessPoint)
        return Sync() ? m_settings.bestRateKbps : -1;
    const auto signal = Signal();
    if (!signal)
        return -1;
    const auto it = signal->find("LINKSPEED");
    const auto mbits = it == signal->end() ? std::nullopt : ParseInt(it->second);
    return mbits && *mbits > 0 && *mbits < 100000 ? *mbits * 1000 : 0;
}

int LinuxWlanLibrary::QueryWL_RSSI(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    if (m_mode == Mode::AccessPoint)
        return kNoSignalDbm;
    const auto signal = Signal();
    if (!signal)
        return -1;
    const auto it = signal->find("RSSI");
    const auto dbm = it == signal->end() ? std::nullopt : ParseInt(it->second);
    return dbm && *dbm < 0 && *dbm >= -110 ? *dbm : kNoSignalDbm;
}

int LinuxWlanLibrary::QueryWL_CommQuality(AdapterContext& ctx)
{
    const int rssi = QueryWL_RSSI(ctx);
    return rssi == -1 ? -1 : QualityOf(rssi);
}

int LinuxWlanLibrary::QueryWL_SSID(AdapterContext& ctx, std::span<char> ssid)
{
    if (!Usable(ctx) || ssid.size() < 32)
        return -1;
    std::string name = m_settings.ssid;
    if (m_mode == Mode::Station) {
        auto state = ReadStation();
        if (!state)
            return -1;
        if (state->completed) {
            if (const auto shown = UnescapeName(state->values["ssid"]))
                name = *shown;
        }
    } else if (!Sync()) {
        return -1;
    }
    std::fill_n(ssid.begin(), 32, '\0');
    std::copy(name.begin(), name.end(), ssid.begin());
    return name.empty() ? 32 : static_cast<int>(name.size());
}

int LinuxWlanLibrary::QueryWL_BSSID(AdapterContext& ctx, std::span<std::uint8_t> bssid)
{
    if (!Usable(ctx) || bssid.size() < 6)
        return -1;
    std::optional<MacAddress> mac;
    if (m_mode == Mode::AccessPoint) {
        if (!Sync())
            return -1;
        const ControlReply status = Hostapd("STATUS");
        if (status.ok())
            mac = ParseMac(ParseKeyValues(status.text)["bssid[0]"]);
    } else {
        auto state = ReadStation();
        if (state && state->completed)
            mac = ParseMac(state->values["bssid"]);
    }
    if (!mac)
        return -1;
    std::copy(mac->begin(), mac->end(), bssid.begin());
    return 0;
}

int LinuxWlanLibrary::QueryWL_SupportChannel(AdapterContext& ctx, std::span<std::uint8_t> channels,
                                             int& count)
{
    if (!Usable(ctx))
        return -1;
    if (m_mode == Mode::Station) {
        const ControlReply reply = Wpa("GET_CAPABILITY channels");
        if (reply.ok()) {
            if (auto read = ParseChannels(reply.text); !read.empty())
                m_channels = std::move(read);
        }
    }
    // In access-point mode the station daemon is away: the list it gave last stands.
    if (m_channels.empty() || channels.size() < m_channels.size())
        return -1;
    std::copy(m_channels.begin(), m_channels.end(), channels.begin());
    count = static_cast<int>(m_channels.size());
    return count;
}

// --- survey and stations ---

int LinuxWlanLibrary::WL_SiteSurveyStart(AdapterContext& ctx)
{
    if (!Usable(ctx) || m_mode != Mode::Station || !Sync())
        return -1;
    const ControlReply reply = Wpa("SCAN");
    const bool running =
        reply.error == ControlError::Refused && reply.text.starts_with("FAIL-BUSY");
    const bool started = (reply.ok() && reply.text.starts_with("OK")) || running;
    m_scanStarted = started ? std::optional(std::chrono::steady_clock::now()) : std::nullopt;
    return started ? 0 : -1;
}

// A scan counts as done 2 s after it was taken, the time the utility has always given it.
int LinuxWlanLibrary::WL_SiteSurveyState(AdapterContext& ctx)
{
    if (!Usable(ctx) || !m_scanStarted)
        return -1;
    return std::chrono::steady_clock::now() - *m_scanStarted >= std::chrono::seconds(2) ? 1 : 0;
}

int LinuxWlanLibrary::WL_RetrieveSiteSurveyData(AdapterContext& ctx, std::span<std::uint8_t> buffer)
{
    if (!Usable(ctx) || m_mode != Mode::Station || buffer.size() < kSiteSurveyBufferSize)
        return -1;
    const ControlReply reply = Wpa("SCAN_RESULTS");
    const auto results = reply.ok() ? ParseScanResults(reply.text) : std::nullopt;
    if (!results)
        return -1;
    SurveyRecordEncoder::Write(buffer.first(kSiteSurveyBufferSize), *results);
    return 0;
}

int LinuxWlanLibrary::WL_RetrieveStationList(AdapterContext& ctx, std::span<std::uint8_t> buffer)
{
    if (!Usable(ctx) || m_mode != Mode::AccessPoint || buffer.size() < kStationListSize || !Sync())
        return -1;
    std::vector<MacAddress> stations;
    ControlReply reply = Hostapd("STA-FIRST");
    for (int requests = 1; requests <= kMaxStationRequests && stations.size() < kMaxStations;
         ++requests) {
        if (reply.error != ControlError::None && reply.error != ControlError::Refused)
            return -1;
        const auto mac = reply.ok() ? ParseStationAddress(reply.text) : std::nullopt;
        if (!mac)
            break;
        if (std::find(stations.begin(), stations.end(), *mac) == stations.end())
            stations.push_back(*mac);
        reply = Hostapd("STA-NEXT " + MacText(*mac));
    }
    std::fill_n(buffer.begin(), kStationListSize, std::uint8_t{0});
    for (std::size_t n = 0; n < stations.size(); ++n) {
        buffer[7 * n] = 1;
        std::copy(stations[n].begin(), stations[n].end(),
                  buffer.begin() + static_cast<long>(7 * n + 1));
    }
    return 0;
}

// --- setters ---

int LinuxWlanLibrary::Set(const AdapterContext& ctx, bool valid, int& field, int value)
{
    if (!Usable(ctx) || !valid)
        return -1;
    field = value;
    m_changed = true;
    return 0;
}

int LinuxWlanLibrary::SetWL_OperationMode_STA_AP(AdapterContext& ctx, int mode)
{
    if (!Usable(ctx) || (mode != 0 && mode != 1))
        return -1;
    const Mode wanted = mode == 1 ? Mode::AccessPoint : Mode::Station;
    if (wanted == m_mode)
        return 0;
    if (wanted == Mode::AccessPoint ? !MoveToAccessPoint() : !MoveToStation())
        return -1;
    m_mode = wanted;
    // The daemon that took the interface knows nothing of ours yet.
    m_networkId = -1;
    m_apWepPushed = false;
    m_changed = true;
    m_filterChanged = wanted == Mode::AccessPoint;
    return 0;
}

int LinuxWlanLibrary::SetWL_SSID(AdapterContext& ctx, std::span<const char> ssid)
{
    if (!Usable(ctx) || ssid.size() > 32)
        return -1;
    m_settings.ssid.assign(ssid.begin(), ssid.end());
    m_changed = true;
    return 0;
}

int LinuxWlanLibrary::SetWL_NetworkType(AdapterContext& ctx, int type)
{
    return Set(ctx, type == 0 || type == 1, m_settings.networkType, type) == 0 ? type : -1;
}

int LinuxWlanLibrary::SetWL_PSMode(AdapterContext& ctx, int mode)
{
    return Set(ctx, mode == 0 || mode == 1, m_settings.powerSaving, mode);
}

int LinuxWlanLibrary::SetWL_PreambleMode(AdapterContext& ctx, int mode)
{
    return Set(ctx, mode >= 0 && mode <= 3, m_settings.preamble, mode);
}

int LinuxWlanLibrary::SetWL_AuthenticationMode(AdapterContext& ctx, int mode)
{
    const int result = Set(ctx, mode >= 0 && mode <= 2, m_settings.authentication, mode);
    if (result == 0)
        m_settings.wpa.reset();
    return result;
}

int LinuxWlanLibrary::SetWL_WEPStatus(AdapterContext& ctx, int status)
{
    const int result = Set(ctx, status == 0 || status == 1, m_settings.wepStatus, status);
    if (result == 0)
        m_settings.wpa.reset();
    return result;
}

int LinuxWlanLibrary::SetWL_WPA(AdapterContext& ctx, const WpaCredentials& credentials)
{
    if (!Usable(ctx) || !WpaCredentialsUsable(credentials) ||
        credentials.certificate.find('"') != std::string::npos)
        return -1;
    m_settings.wpa = credentials;
    m_changed = true;
    return 0;
}

int LinuxWlanLibrary::SetWL_Channel(AdapterContext& ctx, int channel)
{
    return Set(ctx, FrequencyOfChannel(channel) != 0, m_settings.channel, channel);
}

int LinuxWlanLibrary::SetWL_WriteKey(AdapterContext& ctx, int keyIndex, int sizeCode,
                                     int setTransmit, std::span<const std::uint8_t> key)
{
    if (!Usable(ctx) || keyIndex < 0 || keyIndex > 3 || sizeCode < 0 || sizeCode > 2 ||
        setTransmit < 0 || setTransmit > 1)
        return -1;
    const std::size_t bytes = kKeyBytes[static_cast<std::size_t>(sizeCode)];
    if (key.size() < bytes)
        return -1;
    m_settings.keys[static_cast<std::size_t>(keyIndex)].assign(
        key.begin(), key.begin() + static_cast<long>(bytes));
    if (setTransmit == 1) {
        m_settings.transmitKey = keyIndex;
        m_settings.transmitKeySize = sizeCode;
    }
    m_changed = true;
    return 0;
}

int LinuxWlanLibrary::SetWL_DesiredRate(AdapterContext& ctx,
                                        std::span<const std::uint8_t, kRateSetSize> rates)
{
    if (!Usable(ctx))
        return -1;
    static constexpr std::array<std::uint8_t, 12> kRates{2,  4,  11, 12, 18, 22,
                                                         24, 36, 48, 72, 96, 108};
    int best = 0;
    for (const std::uint8_t rate : rates) {
        const int value = rate & 0x7F; // the top bit marks a basic rate
        if (value == 0)
            continue;
        if (std::find(kRates.begin(), kRates.end(), value) == kRates.end())
            return -1;
        best = std::max(best, value);
    }
    if (best == 0)
        return -1;
    m_settings.bestRateKbps = best * 500;
    return 0;
}

int LinuxWlanLibrary::SetWL_BasicRate(AdapterContext& ctx, int value)
{
    return Usable(ctx) && value >= 0 && value <= 3 ? (m_settings.basicRate = value, 0) : -1;
}

int LinuxWlanLibrary::SetWL_FragmentationThreshold(AdapterContext& ctx, int bytes)
{
    return Usable(ctx) && bytes >= 256 && bytes <= 2346 ? (m_settings.fragmentation = bytes, 0)
                                                        : -1;
}

int LinuxWlanLibrary::SetWL_RTS_CTS_Threshold(AdapterContext& ctx, int bytes)
{
    return Usable(ctx) && bytes >= 0 && bytes <= 2347 ? (m_settings.rtsThreshold = bytes, 0) : -1;
}

int LinuxWlanLibrary::SetWL_MultiDomainCapability(AdapterContext& ctx, int value)
{
    return Usable(ctx) && (value == 0 || value == 1) ? (m_settings.multiDomain = value, 0) : -1;
}

int LinuxWlanLibrary::SetWLAP_TxPowerLevel(AdapterContext& ctx, int level)
{
    return Usable(ctx) && level >= 0 && level <= 3 ? (m_settings.txPower = level, 0) : -1;
}

int LinuxWlanLibrary::SetWLAP_HideSSIDState(AdapterContext& ctx, int hide)
{
    return Set(ctx, hide == 0 || hide == 1, m_settings.hideSsid, hide);
}

int LinuxWlanLibrary::SetWLAP_FilterMode(AdapterContext& ctx, int mode)
{
    if (!Usable(ctx) || mode < 0 || mode > 2)
        return -1;
    m_settings.filterMode = mode;
    m_filterChanged = true;
    if (m_mode == Mode::AccessPoint && !m_changed && !PushFilter())
        return -1;
    return 0;
}

int LinuxWlanLibrary::SetWLAP_FilterList(AdapterContext& ctx, std::span<const std::uint8_t> block)
{
    if (!Usable(ctx) || block.size() < kStationListSize)
        return -1;
    for (std::size_t at = 0; at < kStationListSize; at += 7) {
        if (block[at] > 1)
            return -1;
    }
    std::copy_n(block.begin(), kStationListSize, m_settings.filter.begin());
    m_filterChanged = true;
    if (m_mode == Mode::AccessPoint && !m_changed && !PushFilter())
        return -1;
    return 0;
}

} // namespace kesto::linuxwlan
