// The adapter library's calls over the simulated adapters: argument checks, the call
// log, the byte layouts of the buffers, and what the survey records show of a network.
#include "drivers/qvwlan/SimulatedWlanLibrary.h"

#include "base/LittleEndian.h"
#include "drivers/common/SurveyRecordWriter.h"
#include "platform/WlanArguments.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kesto {
namespace qvwlan {
namespace {

using namespace survey_record;

// The key management that a WPA network's element names; the others have no element.
std::optional<std::uint8_t> WpaKeyManagement(Privacy privacy)
{
    switch (privacy) {
    case Privacy::WpaPsk:
        return kKeyManagementPsk;
    case Privacy::WpaRadius:
        return kKeyManagement8021X;
    case Privacy::WpaSae:
        return kKeyManagementSae;
    case Privacy::Open:
    case Privacy::Wep:
        break;
    }
    return std::nullopt;
}

// What the survey records show of the networks in sight. timestampUs: the adapter's
// time, from which each network's own uptime is told.
std::vector<Network> SurveyRecords(const std::vector<SurveySighting>& sightings,
                                   std::uint64_t timestampUs)
{
    std::vector<Network> networks;
    for (const SurveySighting& s : sightings) {
        const ScenarioNetwork& n = s.network;
        const bool adHoc = n.kind == NetworkKind::AdHoc;
        const bool g = n.standard == Standard::G;
        const auto digest =
            Noise::Digest(std::string_view(reinterpret_cast<const char*>(n.bssid.data()), 6));
        networks.push_back({
            .bssid = n.bssid,
            .ssid = n.hidden ? std::string_view() : std::string_view(n.ssid),
            .adHoc = adHoc,
            .privacy = n.privacy != Privacy::Open,
            .wpaKeyManagement = WpaKeyManagement(n.privacy),
            .rssi = s.rssi,
            .networkTypeInUse = g ? kTypeOfdm24 : kTypeDs,
            .beaconInterval = static_cast<std::uint16_t>(n.beaconInterval),
            .atimWindow = static_cast<std::uint16_t>(n.atimWindow),
            .ibssParameterSet = adHoc,
            .channel = n.channel,
            .frequencyKhz =
                static_cast<std::uint32_t>(wlan_args::FrequencyOfChannel(n.channel)) * 1000,
            .ofdmRates = g,
            .shortPreamble = n.shortPreamble,
            .shortSlot = g,
            // Each network's time stamp counts from its own start, not ours.
            .timestampUs = timestampUs + digest % 1'000'000'000'000ull,
        });
    }
    return networks;
}

} // namespace
} // namespace qvwlan

using qvwlan::CallLog;
using qvwlan::OperationMode;
using qvwlan::ServiceStatus;
using qvwlan::SimulatedAdapter;
using namespace wlan_args; // the argument rules every setter checks

namespace {

std::string Num(long long n)
{
    return std::to_string(n);
}

// Bounded read of a fixed-size text field that the caller may not have terminated.
std::string_view Field(const char* text, std::size_t size)
{
    return {text, strnlen(text, size)};
}

constexpr std::size_t kAddressSize = 6;

} // namespace

SimulatedWlanLibrary::SimulatedWlanLibrary(std::filesystem::path scenarioFile, Registry& registry,
                                           Clock& clock, std::uint64_t seed)
    : m_registry(registry), m_clock(clock), m_noise(seed), m_file(std::move(scenarioFile)),
      m_env(m_file.loadInitial(), m_noise), m_publisher(registry)
{
    apply(m_env.scenario());
}

// --- scenario and adapters ---

void SimulatedWlanLibrary::sync()
{
    if (auto scenario = m_file.poll())
        apply(std::move(*scenario));
}

void SimulatedWlanLibrary::reloadScenario()
{
    if (auto scenario = m_file.reload())
        apply(std::move(*scenario));
}

void SimulatedWlanLibrary::apply(qvwlan::Scenario scenario)
{
    const std::uint32_t tick = now();
    // Whatever happened up to now happened in the old world.
    for (auto& [instance, adapter] : m_adapters)
        advance(adapter, tick);
    const ServiceStatus oldService = m_env.scenario().wirelessService;
    m_env.replace(std::move(scenario));
    const qvwlan::Scenario& s = m_env.scenario();

    std::map<std::string, SimulatedAdapter, std::less<>> plugged;
    for (const qvwlan::ScenarioAdapter& info : s.adapters) {
        if (!info.present || !info.wireless)
            continue;
        auto it = m_adapters.find(info.driverInstance);
        if (it == m_adapters.end()) {
            // Plugged in (or the library starting): the adapter powers up afresh.
            plugged.emplace(info.driverInstance, SimulatedAdapter(info, s, m_noise, tick));
            continue;
        }
        SimulatedAdapter adapter = std::move(it->second);
        adapter.setInfo(info);
        if (s.wirelessService != oldService)
            adapter.editSettings().serviceStatus = s.wirelessService;
        plugged.emplace(info.driverInstance, std::move(adapter));
    }
    m_adapters = std::move(plugged);
    m_publisher.publish(s);
}

qvwlan::Standard SimulatedWlanLibrary::ownCellStandard(const SimulatedAdapter& adapter)
{
    // The driver's ad-hoc 802.11g parameters, as the program records them: both "0"
    // means an 802.11b-only cell.
    const std::string key = qvwlan::DeviceIdPublisher::DriverKeyPath(
        m_env.scenario().olderRegistryLayout, adapter.info().driverInstance);
    const RegValue zero = RegValue::Text("0");
    const bool bOnly = m_registry.QueryValue(key, "IBSS_G_Mode") == zero &&
                       m_registry.QueryValue(key, "IBSS_PureG_Mode") == zero;
    return bOnly ? qvwlan::Standard::B : qvwlan::Standard::G;
}

void SimulatedWlanLibrary::advance(SimulatedAdapter& adapter, std::uint32_t tick)
{
    const auto& s = adapter.settings();
    const bool ownCellPossible = s.mode == OperationMode::Station && s.networkType == 0;
    adapter.advance(tick, m_env, ownCellPossible ? ownCellStandard(adapter) : qvwlan::Standard::G);
}

SimulatedAdapter* SimulatedWlanLibrary::adapterFor(const AdapterContext& ctx)
{
    sync();
    if (ctx.handle == -1)
        return nullptr;
    const auto handle = m_handles.find(ctx.handle);
    if (handle == m_handles.end())
        return nullptr;
    const auto it = m_adapters.find(handle->second);
    if (it == m_adapters.end())
        return nullptr;
    advance(it->second, now());
    return &it->second;
}

const qvwlan::AdapterSettings*
SimulatedWlanLibrary::adapterSettings(std::string_view driverInstance) const
{
    const auto it = m_adapters.find(driverInstance);
    return it == m_adapters.end() ? nullptr : &it->second.settings();
}

std::optional<qvwlan::MacAddress>
SimulatedWlanLibrary::associatedBssid(std::string_view driverInstance)
{
    sync();
    const auto it = m_adapters.find(driverInstance);
    if (it == m_adapters.end())
        return std::nullopt;
    advance(it->second, now());
    if (!it->second.linkUp())
        return std::nullopt;
    return it->second.bssid();
}

template <typename Change>
int SimulatedWlanLibrary::set(std::string_view name, const AdapterContext& ctx,
                              std::vector<std::string> args, bool valid, bool relinks, int result,
                              Change change)
{
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a || !valid)
        return m_log.add(name, std::move(args), -1);
    change(a->editSettings());
    if (relinks) {
        // The adapter acts on the new settings at once: the attempt starts now, and the
        // time until the next call counts for the link it leads to.
        const std::uint32_t tick = now();
        a->relink(tick);
        advance(*a, tick);
    }
    return m_log.add(name, std::move(args), result);
}

template <typename Read>
int SimulatedWlanLibrary::query(std::string_view name, const AdapterContext& ctx, Read read)
{
    SimulatedAdapter* a = adapterFor(ctx);
    return m_log.add(name, {}, a ? read(*a) : -1);
}

// --- system and adapter list ---

int SimulatedWlanLibrary::CreateNICAdapterList(std::span<NicAdapterEntry> list)
{
    sync();
    std::memset(static_cast<void*>(list.data()), 0, list.size_bytes());
    std::size_t filled = 0;
    for (const qvwlan::ScenarioAdapter& a : m_env.scenario().adapters) {
        if (!a.present)
            continue;
        if (filled == list.size())
            break;
        NicAdapterEntry& e = list[filled++];
        // The loader keeps names below the field sizes, so the NUL always fits.
        std::memcpy(e.name, a.name.data(), std::min(a.name.size(), sizeof(e.name) - 1));
        std::memcpy(e.description, a.description.data(),
                    std::min(a.description.size(), sizeof(e.description) - 1));
        std::memcpy(e.driverInstance, a.driverInstance.data(),
                    std::min(a.driverInstance.size(), sizeof(e.driverInstance) - 1));
    }
    return m_log.add("CreateNICAdapterList", {Num(static_cast<long long>(list.size()))},
                     static_cast<int>(filled));
}

int SimulatedWlanLibrary::QueryWL_IsWindows95()
{
    sync();
    return m_log.add("QueryWL_IsWindows95", {}, m_env.scenario().olderRegistryLayout ? 1 : 0);
}

int SimulatedWlanLibrary::QV_GetOSVersion()
{
    sync();
    return m_log.add("QV_GetOSVersion", {}, m_env.scenario().osVersion);
}

// --- open and close ---

int SimulatedWlanLibrary::QvOpenAdapter(AdapterContext& ctx)
{
    sync();
    const std::string_view instance = Field(ctx.driverInstance, sizeof(ctx.driverInstance));
    const std::string_view name = Field(ctx.name, sizeof(ctx.name));
    const auto it = m_adapters.find(instance);
    const bool found = it != m_adapters.end() && (name.empty() || name == it->second.info().name);
    if (!found)
        return m_log.add("QvOpenAdapter", {std::string(instance)}, 0);
    if (m_nextHandle == std::numeric_limits<std::int32_t>::max())
        m_nextHandle = 1;
    const std::int32_t handle = m_nextHandle++;
    m_handles[handle] = std::string(instance);
    ctx.handle = handle;
    return m_log.add("QvOpenAdapter", {std::string(instance)}, 1);
}

int SimulatedWlanLibrary::QvCloseAdapter(AdapterContext& ctx)
{
    sync();
    const bool open = ctx.handle != -1 && m_handles.erase(ctx.handle) > 0;
    ctx.handle = -1;
    return m_log.add("QvCloseAdapter", {}, open ? 1 : 0);
}

// --- system wireless service ---

int SimulatedWlanLibrary::QueryWL_CheckWZCStatus(AdapterContext& ctx)
{
    return query("QueryWL_CheckWZCStatus", ctx, [](const SimulatedAdapter& a) {
        return static_cast<int>(a.settings().serviceStatus);
    });
}

int SimulatedWlanLibrary::SetWL_WZCStatus(AdapterContext& ctx, int status)
{
    // 0 releases the adapter from the service; 1 hands it back, where a service exists.
    sync();
    const bool serviceExists = m_env.scenario().wirelessService != ServiceStatus::NotControlling;
    const bool valid = kServiceStatus.Holds(status) && (status == 0 || serviceExists);
    return set("SetWL_WZCStatus", ctx, {Num(status)}, valid, false, 0,
               [&](qvwlan::AdapterSettings& s) {
                   if (status == 1)
                       s.serviceStatus = ServiceStatus::Controlling;
                   else if (s.serviceStatus == ServiceStatus::Controlling)
                       s.serviceStatus = ServiceStatus::Released;
               });
}

int SimulatedWlanLibrary::SetWL_QVUseQVXOidState(AdapterContext& ctx, int state)
{
    return set("SetWL_QVUseQVXOidState", ctx, {Num(state)}, kPrivateRequests.Holds(state), false, 0,
               [&](qvwlan::AdapterSettings& s) { s.privateRequests = state; });
}

std::int32_t SimulatedWlanLibrary::QueryWL_DriverVersion(AdapterContext& ctx)
{
    return query("QueryWL_DriverVersion", ctx, [](const SimulatedAdapter& a) {
        return static_cast<std::int32_t>(a.info().driverVersion);
    });
}

int SimulatedWlanLibrary::ReadOid(AdapterContext& ctx, std::uint32_t oid,
                                  std::span<std::uint8_t> buffer)
{
    std::vector<std::string> args{CallLog::Oid(oid), Num(static_cast<long long>(buffer.size()))};
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a || !StatisticsRequest(oid, buffer))
        return m_log.add("ReadOid", std::move(args), -1);
    const auto block = a->counters().block();
    for (std::size_t i = 0; i < block.size(); ++i)
        WriteLe32(buffer.subspan(kStatisticsCountersAt + 4 * i), block[i]);
    return m_log.add("ReadOid", std::move(args), 0);
}

// --- station state ---

int SimulatedWlanLibrary::QueryWL_LinkStatus(AdapterContext& ctx)
{
    return query("QueryWL_LinkStatus", ctx,
                 [](const SimulatedAdapter& a) { return static_cast<int>(a.linkStatus()); });
}

int SimulatedWlanLibrary::QueryWL_Channel(AdapterContext& ctx)
{
    return query("QueryWL_Channel", ctx, [](const SimulatedAdapter& a) { return a.channel(); });
}

int SimulatedWlanLibrary::QueryWL_NetworkType(AdapterContext& ctx)
{
    return query("QueryWL_NetworkType", ctx,
                 [](const SimulatedAdapter& a) { return a.settings().networkType; });
}

int SimulatedWlanLibrary::QueryWL_AuthenticationMode(AdapterContext& ctx)
{
    return query("QueryWL_AuthenticationMode", ctx,
                 [](const SimulatedAdapter& a) { return a.settings().authenticationMode; });
}

int SimulatedWlanLibrary::QueryWL_WEPStatus(AdapterContext& ctx)
{
    return query("QueryWL_WEPStatus", ctx,
                 [](const SimulatedAdapter& a) { return a.settings().wepStatus; });
}

int SimulatedWlanLibrary::QueryWL_LinkSecurity(AdapterContext& ctx)
{
    return query("QueryWL_LinkSecurity", ctx, [&](const SimulatedAdapter& a) {
        return static_cast<int>(a.linkSecurity(m_env));
    });
}

int SimulatedWlanLibrary::QueryWL_PSMode(AdapterContext& ctx)
{
    return query("QueryWL_PSMode", ctx,
                 [](const SimulatedAdapter& a) { return a.settings().psMode; });
}

int SimulatedWlanLibrary::QueryWL_WEPbit(AdapterContext& ctx)
{
    return query("QueryWL_WEPbit", ctx, [](const SimulatedAdapter& a) {
        const auto& key =
            a.settings().keys[static_cast<std::size_t>(a.settings().transmitKeyIndex)];
        return key.written ? key.sizeCode : 0;
    });
}

int SimulatedWlanLibrary::QueryWL_CurrentLinkSpeed(AdapterContext& ctx)
{
    return query("QueryWL_CurrentLinkSpeed", ctx,
                 [](const SimulatedAdapter& a) { return a.linkSpeedKbps(); });
}

int SimulatedWlanLibrary::QueryWL_CommQuality(AdapterContext& ctx)
{
    return query("QueryWL_CommQuality", ctx,
                 [&](const SimulatedAdapter& a) { return a.quality(now(), m_env); });
}

int SimulatedWlanLibrary::QueryWL_RSSI(AdapterContext& ctx)
{
    return query("QueryWL_RSSI", ctx,
                 [&](const SimulatedAdapter& a) { return a.rssi(now(), m_env); });
}

int SimulatedWlanLibrary::QueryWL_SSID(AdapterContext& ctx, std::span<char> ssid)
{
    std::vector<std::string> args{Num(static_cast<long long>(ssid.size()))};
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a || ssid.size() < kMaxSsidBytes)
        return m_log.add("QueryWL_SSID", std::move(args), -1);
    const std::string& name = a->reportedSsid();
    std::fill_n(ssid.begin(), kMaxSsidBytes, '\0');
    std::copy(name.begin(), name.end(), ssid.begin());
    // An empty name reads as the full 32 bytes: "any network".
    const int length =
        name.empty() ? static_cast<int>(kMaxSsidBytes) : static_cast<int>(name.size());
    return m_log.add("QueryWL_SSID", std::move(args), length);
}

int SimulatedWlanLibrary::QueryWL_BSSID(AdapterContext& ctx, std::span<std::uint8_t> bssid)
{
    std::vector<std::string> args{Num(static_cast<long long>(bssid.size()))};
    SimulatedAdapter* a = adapterFor(ctx);
    const auto address = a ? a->bssid() : std::nullopt;
    if (!address || bssid.size() < kAddressSize)
        return m_log.add("QueryWL_BSSID", std::move(args), -1);
    std::copy(address->begin(), address->end(), bssid.begin());
    return m_log.add("QueryWL_BSSID", std::move(args), 0);
}

int SimulatedWlanLibrary::GetNICAdapterMAC(AdapterContext& ctx, std::span<std::uint8_t> mac)
{
    std::vector<std::string> args{Num(static_cast<long long>(mac.size()))};
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a || mac.size() < kAddressSize)
        return m_log.add("GetNICAdapterMAC", std::move(args), -1);
    std::copy(a->info().mac.begin(), a->info().mac.end(), mac.begin());
    return m_log.add("GetNICAdapterMAC", std::move(args), 0);
}

int SimulatedWlanLibrary::GetTxRxFrameCount(AdapterContext& ctx, std::span<std::uint32_t, 2> counts)
{
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a)
        return m_log.add("GetTxRxFrameCount", {}, -1);
    counts[0] = a->counters().txFrames();
    counts[1] = a->counters().rxFrames();
    return m_log.add("GetTxRxFrameCount", {}, 0);
}

int SimulatedWlanLibrary::QueryWL_SupportChannel(AdapterContext& ctx,
                                                 std::span<std::uint8_t> channels, int& count)
{
    std::vector<std::string> args{Num(static_cast<long long>(channels.size()))};
    SimulatedAdapter* a = adapterFor(ctx);
    const auto& list = m_env.scenario().regulatoryChannels;
    if (!a || channels.size() < list.size())
        return m_log.add("QueryWL_SupportChannel", std::move(args), -1);
    std::transform(list.begin(), list.end(), channels.begin(),
                   [](int ch) { return static_cast<std::uint8_t>(ch); });
    count = static_cast<int>(list.size());
    return m_log.add("QueryWL_SupportChannel", std::move(args), count);
}

// --- site survey and stations ---

int SimulatedWlanLibrary::WL_SiteSurveyStart(AdapterContext& ctx)
{
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a)
        return m_log.add("WL_SiteSurveyStart", {}, -1);
    a->startScan(now(), m_env);
    return m_log.add("WL_SiteSurveyStart", {}, 0);
}

int SimulatedWlanLibrary::WL_SiteSurveyState(AdapterContext& ctx)
{
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a)
        return m_log.add("WL_SiteSurveyState", {}, -1);
    return m_log.add("WL_SiteSurveyState", {}, a->scanState(now()));
}

int SimulatedWlanLibrary::WL_RetrieveSiteSurveyData(AdapterContext& ctx,
                                                    std::span<std::uint8_t> buffer)
{
    std::vector<std::string> args{Num(static_cast<long long>(buffer.size()))};
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a || buffer.size() < kSiteSurveyBufferSize)
        return m_log.add("WL_RetrieveSiteSurveyData", std::move(args), -1);
    const std::uint32_t tick = now();
    const auto& sightings = a->scanResults(tick);
    survey_record::WriteRecords(
        buffer, qvwlan::SurveyRecords(sightings, static_cast<std::uint64_t>(tick) * 1000));
    return m_log.add("WL_RetrieveSiteSurveyData", std::move(args), 0);
}

int SimulatedWlanLibrary::WL_RetrieveStationList(AdapterContext& ctx,
                                                 std::span<std::uint8_t> buffer)
{
    std::vector<std::string> args{Num(static_cast<long long>(buffer.size()))};
    SimulatedAdapter* a = adapterFor(ctx);
    if (!a || buffer.size() < kStationListSize || a->settings().mode != OperationMode::AccessPoint)
        return m_log.add("WL_RetrieveStationList", std::move(args), -1);
    std::fill_n(buffer.begin(), kStationListSize, std::uint8_t{0});
    std::size_t at = 0;
    for (const qvwlan::MacAddress& mac : a->stations()) {
        buffer[at] = 1;
        std::copy(mac.begin(), mac.end(), buffer.begin() + static_cast<std::ptrdiff_t>(at + 1));
        at += 7;
    }
    return m_log.add("WL_RetrieveStationList", std::move(args), 0);
}

// --- setters ---

int SimulatedWlanLibrary::SetWL_OperationMode_STA_AP(AdapterContext& ctx, int mode)
{
    return set("SetWL_OperationMode_STA_AP", ctx, {Num(mode)}, kOperationMode.Holds(mode), true, 0,
               [&](qvwlan::AdapterSettings& s) { s.mode = static_cast<OperationMode>(mode); });
}

int SimulatedWlanLibrary::SetWL_SSID(AdapterContext& ctx, std::span<const char> ssid)
{
    return set("SetWL_SSID", ctx, {CallLog::Text(ssid)}, ssid.size() <= kMaxSsidBytes, true, 0,
               [&](qvwlan::AdapterSettings& s) { s.ssid.assign(ssid.begin(), ssid.end()); });
}

int SimulatedWlanLibrary::SetWL_NetworkType(AdapterContext& ctx, int type)
{
    return set("SetWL_NetworkType", ctx, {Num(type)}, kNetworkType.Holds(type), true, type,
               [&](qvwlan::AdapterSettings& s) { s.networkType = type; });
}

int SimulatedWlanLibrary::SetWL_PSMode(AdapterContext& ctx, int mode)
{
    return set("SetWL_PSMode", ctx, {Num(mode)}, kPsMode.Holds(mode), true, 0,
               [&](qvwlan::AdapterSettings& s) { s.psMode = mode; });
}

int SimulatedWlanLibrary::SetWL_PreambleMode(AdapterContext& ctx, int mode)
{
    return set("SetWL_PreambleMode", ctx, {Num(mode)}, kPreambleMode.Holds(mode), true, 0,
               [&](qvwlan::AdapterSettings& s) { s.preambleMode = mode; });
}

int SimulatedWlanLibrary::SetWL_AuthenticationMode(AdapterContext& ctx, int mode)
{
    return set("SetWL_AuthenticationMode", ctx, {Num(mode)}, kAuthenticationMode.Holds(mode), true,
               0, [&](qvwlan::AdapterSettings& s) {
                   s.authenticationMode = mode;
                   s.wpa.reset();
               });
}

int SimulatedWlanLibrary::SetWL_WEPStatus(AdapterContext& ctx, int status)
{
    return set("SetWL_WEPStatus", ctx, {Num(status)}, kWepStatus.Holds(status), true, 0,
               [&](qvwlan::AdapterSettings& s) {
                   s.wepStatus = status;
                   s.wpa.reset();
               });
}

int SimulatedWlanLibrary::SetWL_Channel(AdapterContext& ctx, int channel)
{
    sync(); // the regulatory channels are the scenario's
    return set("SetWL_Channel", ctx, {Num(channel)}, m_env.onRegulatoryChannel(channel), true, 0,
               [&](qvwlan::AdapterSettings& s) { s.channel = channel; });
}

int SimulatedWlanLibrary::SetWL_WriteKey(AdapterContext& ctx, int keyIndex, int sizeCode,
                                         int setTransmit, std::span<const std::uint8_t> key)
{
    // An adapter that carries no keys of that size refuses them, as the Linux library
    // does 256-bit ones.
    const SimulatedAdapter* adapter = adapterFor(ctx);
    const bool valid = WriteKeyUsable(keyIndex, sizeCode, setTransmit, key.size()) &&
                       (!adapter || (64 << sizeCode) <= adapter->info().maxWepKeyBits);
    return set(
        "SetWL_WriteKey", ctx, {Num(keyIndex), Num(sizeCode), Num(setTransmit), CallLog::Hex(key)},
        valid, true, 0, [&](qvwlan::AdapterSettings& s) {
            auto& slot = s.keys[static_cast<std::size_t>(keyIndex)];
            slot.written = true;
            slot.sizeCode = sizeCode;
            slot.bytes.assign(key.begin(),
                              key.begin() + static_cast<std::ptrdiff_t>(WepKeyLength(sizeCode)));
            if (setTransmit == 1)
                s.transmitKeyIndex = keyIndex;
        });
}

int SimulatedWlanLibrary::SetWL_DesiredRate(AdapterContext& ctx,
                                            std::span<const std::uint8_t, kRateSetSize> rates)
{
    return set("SetWL_DesiredRate", ctx, {CallLog::Hex(rates)}, BestRate(rates) != 0, true, 0,
               [&](qvwlan::AdapterSettings& s) {
                   std::copy(rates.begin(), rates.end(), s.desiredRates.begin());
               });
}

int SimulatedWlanLibrary::SetWL_BasicRate(AdapterContext& ctx, int value)
{
    return set("SetWL_BasicRate", ctx, {Num(value)}, kBasicRate.Holds(value), false, 0,
               [&](qvwlan::AdapterSettings& s) { s.basicRate = value; });
}

int SimulatedWlanLibrary::SetWL_FragmentationThreshold(AdapterContext& ctx, int bytes)
{
    return set("SetWL_FragmentationThreshold", ctx, {Num(bytes)},
               kFragmentationThreshold.Holds(bytes), false, 0,
               [&](qvwlan::AdapterSettings& s) { s.fragmentationThreshold = bytes; });
}

int SimulatedWlanLibrary::SetWL_RTS_CTS_Threshold(AdapterContext& ctx, int bytes)
{
    return set("SetWL_RTS_CTS_Threshold", ctx, {Num(bytes)}, kRtsThreshold.Holds(bytes), false, 0,
               [&](qvwlan::AdapterSettings& s) { s.rtsThreshold = bytes; });
}

int SimulatedWlanLibrary::SetWL_MultiDomainCapability(AdapterContext& ctx, int value)
{
    return set("SetWL_MultiDomainCapability", ctx, {Num(value)},
               kMultiDomainCapability.Holds(value), false, 0,
               [&](qvwlan::AdapterSettings& s) { s.multiDomainCapability = value; });
}

int SimulatedWlanLibrary::SetWL_WPA(AdapterContext& ctx, const WpaCredentials& credentials)
{
    // The log names the kind of join, never a secret.
    return set(
        "SetWL_WPA", ctx,
        {Num(credentials.authenticationMode), Num(credentials.cipher), Num(credentials.eapMethod)},
        WpaCredentialsUsable(credentials), true, 0,
        [&](qvwlan::AdapterSettings& s) { s.wpa = credentials; });
}

int SimulatedWlanLibrary::SetWLAP_TxPowerLevel(AdapterContext& ctx, int level)
{
    return set("SetWLAP_TxPowerLevel", ctx, {Num(level)}, kTxPowerLevel.Holds(level), false, 0,
               [&](qvwlan::AdapterSettings& s) { s.txPowerLevel = level; });
}

int SimulatedWlanLibrary::SetWLAP_HideSSIDState(AdapterContext& ctx, int hide)
{
    return set("SetWLAP_HideSSIDState", ctx, {Num(hide)}, kHideSsid.Holds(hide), false, 0,
               [&](qvwlan::AdapterSettings& s) { s.hideSsid = hide; });
}

int SimulatedWlanLibrary::SetWLAP_FilterMode(AdapterContext& ctx, int mode)
{
    return set("SetWLAP_FilterMode", ctx, {Num(mode)}, kFilterMode.Holds(mode), false, 0,
               [&](qvwlan::AdapterSettings& s) { s.filterMode = mode; });
}

int SimulatedWlanLibrary::SetWLAP_FilterList(AdapterContext& ctx,
                                             std::span<const std::uint8_t> block)
{
    return set("SetWLAP_FilterList", ctx, {CallLog::Hex(block)}, StationListUsable(block), false, 0,
               [&](qvwlan::AdapterSettings& s) {
                   std::copy_n(block.begin(), kStationListSize, s.filterList.begin());
               });
}

} // namespace kesto
