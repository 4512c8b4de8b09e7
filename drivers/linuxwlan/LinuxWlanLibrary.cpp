// The adapter calls over wpa_supplicant, hostapd and sysfs (README.md maps each one).
#include "drivers/linuxwlan/LinuxWlanLibrary.h"

#include "base/LittleEndian.h"
#include "drivers/linuxwlan/ApConfigFile.h"
#include "drivers/linuxwlan/ControlReplies.h"
#include "drivers/linuxwlan/SurveyRecordEncoder.h"
#include "platform/WlanArguments.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kesto::linuxwlan {

using namespace wlan_args; // the argument rules every setter checks

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

const std::string* Value(const std::map<std::string, std::string>& values, const char* key)
{
    const auto it = values.find(key);
    return it == values.end() ? nullptr : &it->second;
}

// What wpa_supplicant says of the link; nullptr while it has no link it can tell of.
// settled: it has been read since it took the settings last handed over (until then the
// link it tells of is the one those settings replace).
const std::map<std::string, std::string>* Completed(const LinkSnapshot& s, bool settled)
{
    if (!s.answering || !settled || !s.status)
        return nullptr;
    const std::string* state = Value(*s.status, "wpa_state");
    return state && *state == "COMPLETED" ? &*s.status : nullptr;
}

} // namespace

LinuxWlanLibrary::LinuxWlanLibrary(LinuxWlanConfig config, Registry& registry)
    : m_config(std::move(config)), m_registry(registry), m_sysfs(m_config.sysfsNet),
      m_service(m_config.systemBus, m_config.replyTimeout), m_log(LogOf(m_config))
{
}

LinuxWlanLibrary::~LinuxWlanLibrary() = default;

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
    m_worker.reset();
    m_interface = it->name;
    m_openHandle = m_nextHandle++;
    ctx.handle = m_openHandle;
    m_settings = AdapterSettings{};
    m_changed = false;
    m_committed = 0;
    LinuxWlanConfig config = m_config;
    if (config.apConfigFile.empty()) {
        const std::filesystem::path folder = config.runtimeDir.empty()
                                                 ? ApConfigFile::DefaultFolder()
                                                 : std::filesystem::path(config.runtimeDir);
        m_ownApFile = ApConfigFile::PathIn(folder, it->name);
        config.apConfigFile = m_ownApFile.string();
    }
    // The thread finds out which daemon holds the interface; nothing is changed on the
    // air until the utility sets something.
    m_worker = std::make_unique<DaemonWorker>(config, it->name, it->phy);
    return 1;
}

int LinuxWlanLibrary::QvCloseAdapter(AdapterContext& ctx)
{
    if (ctx.handle == -1 || ctx.handle != m_openHandle)
        return 0;
    m_worker.reset();
    m_openHandle = -1;
    ctx.handle = -1;
    return 1;
}

bool LinuxWlanLibrary::Usable(const AdapterContext& ctx) const
{
    return ctx.handle != -1 && ctx.handle == m_openHandle && m_worker &&
           m_sysfs.Exists(m_interface);
}

DaemonMode LinuxWlanLibrary::Mode() const
{
    return m_worker->Read([](const LinkSnapshot& s) { return s.movingTo.value_or(s.mode); });
}

void LinuxWlanLibrary::Commit()
{
    if (!m_changed)
        return;
    m_committed = m_worker->Commit(m_settings);
    m_changed = false;
}

bool LinuxWlanLibrary::Settled(const LinkSnapshot& s) const
{
    return s.settingsRead >= m_committed;
}

// --- the system's wireless service and versions ---

int LinuxWlanLibrary::QueryWL_CheckWZCStatus(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    const auto state = m_service.Query(m_interface);
    // A check that failed cannot tell that NetworkManager leaves the interface alone: it
    // counts as in charge, so the utility refuses to configure (with its message) rather
    // than fight a service it could not ask.
    if (!state)
        return 1;
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
    if (!Usable(ctx) || !kServiceStatus.Holds(status))
        return -1;
    // 0 releases the interface from the service, 1 hands it back.
    return m_service.SetManaged(m_interface, status == 1) ? 0 : -1;
}

int LinuxWlanLibrary::SetWL_QVUseQVXOidState(AdapterContext& ctx, int state)
{
    return Usable(ctx) && kPrivateRequests.Holds(state) ? 0 : -1;
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
    if (!Usable(ctx) || !StatisticsRequest(oid, buffer))
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
        WriteLe32(buffer.subspan(kStatisticsCountersAt + 4 * i),
                  static_cast<std::uint32_t>(counters[i]));
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

// --- station readings: from what the library's thread last read ---

int LinuxWlanLibrary::QueryWL_LinkStatus(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    Commit();
    return m_worker->Read([&](const LinkSnapshot& s) {
        if (s.movingTo.value_or(s.mode) == DaemonMode::AccessPoint)
            return s.pushRefused ? -1 : kAccessPoint;
        if (!s.answering)
            return kSearching; // the link is lost with the daemon
        if (s.pushRefused)
            return -1;
        if (!Settled(s))
            return kSearching; // the new settings' link is not there yet
        const std::string* state = s.status ? Value(*s.status, "wpa_state") : nullptr;
        if (!state)
            return -1;
        if (*state == "COMPLETED") {
            const std::string* mode = Value(*s.status, "mode");
            return mode && *mode == "IBSS" ? kInCell : kAssociated;
        }
        if (InProgress(*state))
            return kAssociating;
        if (s.ourNetworkFlags.find("TEMP-DISABLED") != std::string::npos)
            return kRefused;
        return kSearching;
    });
}

int LinuxWlanLibrary::QueryWL_Channel(AdapterContext& ctx)
{
    // -1 means the adapter is gone: a daemon that does not answer leaves the channel
    // that was set.
    if (!Usable(ctx))
        return -1;
    Commit();
    return m_worker->Read([&](const LinkSnapshot& s) {
        std::optional<int> channel;
        if (s.movingTo.value_or(s.mode) == DaemonMode::AccessPoint) {
            if (const std::string* text = Value(s.apStatus, "channel"))
                channel = ParseInt(*text);
        } else if (const auto* link = Completed(s, Settled(s))) {
            if (const std::string* mhz = Value(*link, "freq"))
                channel = ChannelOfFrequency(ParseInt(*mhz).value_or(0));
        }
        return channel && *channel > 0 ? *channel : m_settings.channel;
    });
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

int LinuxWlanLibrary::QueryWL_LinkSecurity(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    Commit();
    const bool wep = m_settings.wepStatus == 0;
    LinkSecurity kept = wep ? LinkSecurity::Wep : LinkSecurity::Open;
    if (Mode() == DaemonMode::AccessPoint)
        return static_cast<int>(kept); // the access point offers WEP or nothing
    if (const auto& wpa = m_settings.wpa) {
        kept = wpa->authenticationMode == 2   ? LinkSecurity::WpaPsk
               : wpa->authenticationMode == 3 ? LinkSecurity::WpaEap
                                              : LinkSecurity::Ieee8021x;
    }
    return static_cast<int>(m_worker->Read([&](const LinkSnapshot& s) {
        const auto* link = Completed(s, Settled(s));
        return (link ? SecurityOfStatus(*link) : std::nullopt).value_or(kept);
    }));
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
    Commit();
    if (Mode() == DaemonMode::AccessPoint)
        return m_settings.bestRateKbps;
    return m_worker->Read([&](const LinkSnapshot& s) {
        const std::string* text =
            s.answering && Settled(s) ? Value(s.signal, "LINKSPEED") : nullptr;
        const auto mbits = text ? ParseInt(*text) : std::nullopt;
        return mbits && *mbits > 0 && *mbits < 100000 ? *mbits * 1000 : 0;
    });
}

int LinuxWlanLibrary::QueryWL_RSSI(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    Commit();
    if (Mode() == DaemonMode::AccessPoint)
        return kNoSignalDbm;
    return m_worker->Read([&](const LinkSnapshot& s) {
        const std::string* text = s.answering && Settled(s) ? Value(s.signal, "RSSI") : nullptr;
        const auto dbm = text ? ParseInt(*text) : std::nullopt;
        return dbm && *dbm < 0 && *dbm >= -110 ? *dbm : kNoSignalDbm;
    });
}

int LinuxWlanLibrary::QueryWL_CommQuality(AdapterContext& ctx)
{
    const int rssi = QueryWL_RSSI(ctx);
    return rssi == -1 ? -1 : QualityOf(rssi);
}

int LinuxWlanLibrary::QueryWL_SSID(AdapterContext& ctx, std::span<char> ssid)
{
    if (!Usable(ctx) || ssid.size() < kMaxSsidBytes)
        return -1;
    Commit();
    std::string name = m_settings.ssid.value_or("");
    m_worker->Read([&](const LinkSnapshot& s) {
        const auto* link =
            s.movingTo.value_or(s.mode) == DaemonMode::Station ? Completed(s, Settled(s)) : nullptr;
        const std::string* shown = link ? Value(*link, "ssid") : nullptr;
        if (const auto unescaped = shown ? UnescapeName(*shown) : std::nullopt)
            name = *unescaped;
        return 0;
    });
    std::fill_n(ssid.begin(), kMaxSsidBytes, '\0');
    std::copy(name.begin(), name.end(), ssid.begin());
    return name.empty() ? static_cast<int>(kMaxSsidBytes) : static_cast<int>(name.size());
}

int LinuxWlanLibrary::QueryWL_BSSID(AdapterContext& ctx, std::span<std::uint8_t> bssid)
{
    if (!Usable(ctx) || bssid.size() < 6)
        return -1;
    Commit();
    const auto mac = m_worker->Read([&](const LinkSnapshot& s) -> std::optional<MacAddress> {
        if (s.movingTo.value_or(s.mode) == DaemonMode::AccessPoint) {
            const std::string* text = s.answering ? Value(s.apStatus, "bssid[0]") : nullptr;
            return text ? ParseMac(*text) : std::nullopt;
        }
        const auto* link = Completed(s, Settled(s));
        const std::string* text = link ? Value(*link, "bssid") : nullptr;
        return text ? ParseMac(*text) : std::nullopt;
    });
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
    // In access-point mode the station daemon is away: the list it gave last stands.
    const std::vector<int> known = m_worker->Read([](const LinkSnapshot& s) { return s.channels; });
    if (known.empty() || channels.size() < known.size())
        return -1;
    std::copy(known.begin(), known.end(), channels.begin());
    count = static_cast<int>(known.size());
    return count;
}

// --- survey and stations ---

int LinuxWlanLibrary::WL_SiteSurveyStart(AdapterContext& ctx)
{
    if (!Usable(ctx) || Mode() != DaemonMode::Station)
        return -1;
    Commit();
    return m_worker->StartSurvey() ? 0 : -1;
}

int LinuxWlanLibrary::WL_SiteSurveyState(AdapterContext& ctx)
{
    if (!Usable(ctx))
        return -1;
    return m_worker->Read([](const LinkSnapshot& s) { return s.surveyState; });
}

int LinuxWlanLibrary::WL_RetrieveSiteSurveyData(AdapterContext& ctx, std::span<std::uint8_t> buffer)
{
    if (!Usable(ctx) || Mode() != DaemonMode::Station || buffer.size() < kSiteSurveyBufferSize)
        return -1;
    m_worker->Read([&](const LinkSnapshot& s) {
        return SurveyRecordEncoder::Write(buffer.first(kSiteSurveyBufferSize), s.survey);
    });
    return 0;
}

int LinuxWlanLibrary::WL_RetrieveStationList(AdapterContext& ctx, std::span<std::uint8_t> buffer)
{
    if (!Usable(ctx) || Mode() != DaemonMode::AccessPoint || buffer.size() < kStationListSize)
        return -1;
    Commit();
    const auto stations = m_worker->Read([](const LinkSnapshot& s) {
        return s.answering ? std::optional(s.stations) : std::nullopt;
    });
    if (!stations)
        return -1;
    std::fill_n(buffer.begin(), kStationListSize, std::uint8_t{0});
    for (std::size_t n = 0; n < stations->size() && 7 * n + 7 <= kStationListSize; ++n) {
        buffer[7 * n] = 1;
        std::copy((*stations)[n].begin(), (*stations)[n].end(),
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
    if (!Usable(ctx) || !kOperationMode.Holds(mode))
        return -1;
    const DaemonMode wanted = mode == 1 ? DaemonMode::AccessPoint : DaemonMode::Station;
    if (wanted == Mode())
        return 0;
    if (wanted == DaemonMode::AccessPoint && !m_ownApFile.empty()) {
        // hostapd starts the access point from this file; it needs nothing installed.
        const std::string failed = ApConfigFile::Write(
            m_ownApFile, ApConfigFile::Text(m_interface, m_config.hostapdDir, m_settings));
        if (!failed.empty()) {
            m_log(m_interface + ": the access point's file could not be written: " + failed);
            return -1;
        }
    }
    if (wanted == DaemonMode::Station) {
        // What was set since is the access point's: its name, keys and authentication
        // must not become a network of the station's. The station joins nothing of ours
        // until it is told a network again; the daemon's own networks come back.
        const AdapterSettings fresh;
        m_settings.ssid.reset();
        m_settings.wpa.reset();
        m_settings.authentication = fresh.authentication;
        m_settings.wepStatus = fresh.wepStatus;
        m_settings.transmitKey = fresh.transmitKey;
        m_settings.transmitKeySize = fresh.transmitKeySize;
        m_worker->StageSecrets([](AdapterSecrets& secrets) { secrets = AdapterSecrets{}; });
    }
    m_worker->RequestMode(wanted);
    // The daemon that takes the interface knows nothing of ours yet.
    m_changed = true;
    return 0;
}

int LinuxWlanLibrary::SetWL_SSID(AdapterContext& ctx, std::span<const char> ssid)
{
    if (!Usable(ctx) || ssid.size() > kMaxSsidBytes)
        return -1;
    // A zero byte cuts the name somewhere along the way to the daemon: refused, and the
    // name kept before stays (as every refused setting leaves the one before). An empty
    // name is any network (see SettingsPush::PushStation).
    const std::string_view name(ssid.data(), ssid.size());
    if (name.find('\0') != std::string_view::npos) {
        m_log(m_interface + ": network name refused: it holds a zero byte");
        return -1;
    }
    m_settings.ssid = std::string(name);
    m_changed = true;
    return 0;
}

int LinuxWlanLibrary::SetWL_NetworkType(AdapterContext& ctx, int type)
{
    return Set(ctx, kNetworkType.Holds(type), m_settings.networkType, type) == 0 ? type : -1;
}

int LinuxWlanLibrary::SetWL_PSMode(AdapterContext& ctx, int mode)
{
    return Set(ctx, kPsMode.Holds(mode), m_settings.powerSaving, mode);
}

int LinuxWlanLibrary::SetWL_PreambleMode(AdapterContext& ctx, int mode)
{
    return Set(ctx, kPreambleMode.Holds(mode), m_settings.preamble, mode);
}

int LinuxWlanLibrary::SetWL_AuthenticationMode(AdapterContext& ctx, int mode)
{
    const int result = Set(ctx, kAuthenticationMode.Holds(mode), m_settings.authentication, mode);
    if (result == 0)
        m_settings.wpa.reset();
    return result;
}

int LinuxWlanLibrary::SetWL_WEPStatus(AdapterContext& ctx, int status)
{
    const int result = Set(ctx, kWepStatus.Holds(status), m_settings.wepStatus, status);
    if (result == 0)
        m_settings.wpa.reset();
    return result;
}

int LinuxWlanLibrary::SetWL_WPA(AdapterContext& ctx, const WpaCredentials& credentials)
{
    if (!Usable(ctx) || !WpaCredentialsUsable(credentials) ||
        credentials.certificate.find('"') != std::string::npos)
        return -1;
    // Any network that asks for WPA would be given the pass phrase or the login.
    if (m_settings.ssid && m_settings.ssid->empty()) {
        m_log(m_interface + ": WPA refused: it needs the network's name");
        return -1;
    }
    // The pass phrase and the password go to the library's thread; the settings kept here
    // hold none.
    m_worker->StageSecrets([&](AdapterSecrets& secrets) {
        secrets.passphrase = Secret(credentials.passphrase);
        secrets.password = Secret(credentials.password);
    });
    WpaCredentials kept = credentials;
    WipeString(kept.passphrase);
    WipeString(kept.password);
    m_settings.wpa = std::move(kept);
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
    if (!Usable(ctx) || !WriteKeyUsable(keyIndex, sizeCode, setTransmit, key.size()))
        return -1;
    const std::size_t bytes = WepKeyLength(sizeCode);
    // wpa_supplicant and hostapd take WEP keys of 5 and 13 bytes (and 16), not 29: the
    // network would be refused part-way on every push, the link reading -1 for good.
    if (sizeCode == 2) {
        m_log(m_interface +
              ": WEP key refused: wpa_supplicant and hostapd cannot carry a 152-bit key");
        return -1;
    }
    m_worker->StageSecrets([&](AdapterSecrets& secrets) {
        secrets.keys[static_cast<std::size_t>(keyIndex)] =
            Secret(std::string_view(reinterpret_cast<const char*>(key.data()), bytes));
    });
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
    const int best = BestRate(rates);
    if (best == 0)
        return -1;
    m_settings.bestRateKbps = best * 500;
    return 0;
}

int LinuxWlanLibrary::SetWL_BasicRate(AdapterContext& ctx, int value)
{
    return Usable(ctx) && kBasicRate.Holds(value) ? (m_settings.basicRate = value, 0) : -1;
}

int LinuxWlanLibrary::SetWL_FragmentationThreshold(AdapterContext& ctx, int bytes)
{
    return Usable(ctx) && kFragmentationThreshold.Holds(bytes)
               ? (m_settings.fragmentation = bytes, 0)
               : -1;
}

int LinuxWlanLibrary::SetWL_RTS_CTS_Threshold(AdapterContext& ctx, int bytes)
{
    return Usable(ctx) && kRtsThreshold.Holds(bytes) ? (m_settings.rtsThreshold = bytes, 0) : -1;
}

int LinuxWlanLibrary::SetWL_MultiDomainCapability(AdapterContext& ctx, int value)
{
    return Usable(ctx) && kMultiDomainCapability.Holds(value) ? (m_settings.multiDomain = value, 0)
                                                              : -1;
}

int LinuxWlanLibrary::SetWLAP_TxPowerLevel(AdapterContext& ctx, int level)
{
    return Usable(ctx) && kTxPowerLevel.Holds(level) ? (m_settings.txPower = level, 0) : -1;
}

int LinuxWlanLibrary::SetWLAP_HideSSIDState(AdapterContext& ctx, int hide)
{
    return Set(ctx, kHideSsid.Holds(hide), m_settings.hideSsid, hide);
}

int LinuxWlanLibrary::SetWLAP_FilterMode(AdapterContext& ctx, int mode)
{
    if (!Usable(ctx) || !kFilterMode.Holds(mode))
        return -1;
    m_settings.filterMode = mode;
    // hostapd takes the lists without a restart: they go out at once.
    m_worker->CommitFilter(m_settings);
    return 0;
}

int LinuxWlanLibrary::SetWLAP_FilterList(AdapterContext& ctx, std::span<const std::uint8_t> block)
{
    if (!Usable(ctx) || !StationListUsable(block))
        return -1;
    std::copy_n(block.begin(), kStationListSize, m_settings.filter.begin());
    m_worker->CommitFilter(m_settings);
    return 0;
}

} // namespace kesto::linuxwlan
