#include "station/LinkMonitor.h"

#include "base/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace kesto {

namespace {

// Status texts emptied by ClearStatus, in the page's table order.
constexpr std::array<std::string_view, 13> kClearedTexts = {
    "TextNetworkName",    "TextstationAPMac", "TextNetworkType",  "TextTransRate",
    "TextSecurity",       "TextChannel",      "TextTransmitRate", "TextReceiveRate",
    "TextAuthentication", "TextNetworkMode",  "TextTotalTrans",   "TextTotalReceive",
    "TextLinkQual"};

constexpr std::string_view kSignalBarPrefix = "ImageSignStr";
constexpr std::string_view kLinkBarPrefix = "ImageLinkQual";

// Link status codes that mean a link is up.
constexpr int kLinkAssociated = 3;
constexpr int kLinkInCell = 4;
// QueryWL_SSID's length for "any network".
constexpr int kAnySsidLength = 32;
constexpr std::size_t kSsidBufferSize = 32;
// RSSI in dBm plus this offset gives the signal reading; -105 dBm is "nothing heard".
constexpr std::int64_t kSignalOffset = 105;
// Percent per lit bar.
constexpr int kPercentPerBar = 7;
constexpr std::size_t kNameLimit = 20;
constexpr std::size_t kNameCut = 17;
constexpr int kPauseMs = 30;

std::string BarId(std::string_view prefix, int number)
{
    std::string id(prefix);
    id += static_cast<char>('0' + number / 10);
    id += static_cast<char>('0' + number % 10);
    return id;
}

std::string FormatMac(const std::array<std::uint8_t, 6>& bytes)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", bytes[0], bytes[1], bytes[2],
                  bytes[3], bytes[4], bytes[5]);
    return text;
}

std::int32_t ClampTo(std::int64_t value, std::int32_t low, std::int32_t high)
{
    if (value < low)
        return low;
    if (value > high)
        return high;
    return static_cast<std::int32_t>(value);
}

// (numerator * 100) / range with the range's sign checked; 0 for an empty range.
int Percent(std::int64_t numerator, std::int64_t range)
{
    if (range <= 0)
        return 0;
    return static_cast<int>(numerator * 100 / range);
}

} // namespace

// --- LinkSample ---

bool LinkSample::Offer(std::int64_t q, std::int64_t s)
{
    if (q <= 0 || s <= 0)
        return false;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    quality[static_cast<std::size_t>(nextSlot - 1)] = ClampTo(q, 0, kMax);
    signal[static_cast<std::size_t>(nextSlot - 1)] = ClampTo(s, 0, kMax);
    if (count < kSlots)
        ++count;
    nextSlot = nextSlot == kSlots ? 1 : nextSlot + 1;
    return true;
}

std::int32_t LinkSample::AverageQuality() const
{
    if (count == 0)
        return 0;
    std::int64_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum += quality[static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(sum / count);
}

std::int32_t LinkSample::AverageSignal() const
{
    if (count == 0)
        return 0;
    std::int64_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum += signal[static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(sum / count);
}

// --- LinkMonitor ---

LinkMonitor::LinkMonitor(WlanApi& api, AdapterDiscovery& discovery, ProfileStore& store,
                         WorkingRecords& work, ElementBinding& fields,
                         std::function<void()> pushFields, Timers& timers, Clock& clock,
                         OneShotTimers& oneShots)
    : m_api(api), m_discovery(discovery), m_store(store), m_work(work), m_fields(fields),
      m_pushFields(std::move(pushFields)), m_timers(timers), m_clock(clock), m_meter(api, clock),
      m_pause(oneShots)
{
    // The bars are images: until the first reading they show dark rather than no source.
    SetBars(kSignalBarPrefix, 0);
    SetBars(kLinkBarPrefix, 0);
}

void LinkMonitor::SetText(std::string_view id, std::string_view text)
{
    m_fields.SetText(id, text);
}

void LinkMonitor::SetBars(std::string_view prefix, int lit)
{
    for (int i = 1; i <= kSignalBarCount; ++i)
        SetText(BarId(prefix, i), i <= lit ? kBarLit : kBarDark);
}

void LinkMonitor::StartMonitor()
{
    m_meter.TakeBaseline();
}

void LinkMonitor::ClearStatus()
{
    for (std::string_view id : kClearedTexts)
        SetText(id, "");
    SetBars(kSignalBarPrefix, 0);
    SetBars(kLinkBarPrefix, 0);
}

// --- timer 1 ---

std::string_view LinkMonitor::SecurityText(int linkSecurity)
{
    // The words the survey and the profile pages use for the same securities.
    switch (static_cast<LinkSecurity>(linkSecurity)) {
    case LinkSecurity::Open:
        return "Deaktiviert";
    case LinkSecurity::Wep:
        return "WEP";
    case LinkSecurity::WpaPsk:
        return "WPA-PSK";
    case LinkSecurity::Wpa2Psk:
        return "WPA2-PSK";
    case LinkSecurity::Wpa3Sae:
        return "WPA3-SAE";
    case LinkSecurity::WpaEap:
        return "WPA-RADIUS";
    case LinkSecurity::Ieee8021x:
        return "RADIUS";
    }
    return "Deaktiviert"; // the reading failed
}

void LinkMonitor::RefreshLinkInfo()
{
    m_rearmLinkStatus = true;
    if (m_pause.pending())
        return;
    m_readsAll = false;
    StartLinkInfo();
}

void LinkMonitor::ReadNow(std::function<void()> done)
{
    m_reads.push_back(std::move(done));
    if (m_pause.pending())
        return;
    m_rearmLinkStatus = false;
    m_readsAll = true;
    StartLinkInfo();
}

void LinkMonitor::DropPendingTick()
{
    m_pause.Cancel();
    m_rearmLinkStatus = false;
    m_readsAll = false;
    for (const auto& done : std::exchange(m_reads, {}))
        done();
}

void LinkMonitor::StartLinkInfo()
{
    const std::string driverKey = m_discovery.SelectedAdapterKey();

    switch (m_api.QueryWL_AuthenticationMode()) {
    case 0:
        m_values.authentication = "Offenes System";
        break;
    case 1:
        m_values.authentication = "Gemeins. Schl\xC3\xBCssel";
        break;
    default:
        m_values.authentication = "Auto";
        break;
    }
    SetText("TextAuthentication", m_values.authentication);

    m_values.security = SecurityText(m_api.QueryWL_LinkSecurity());
    SetText("TextSecurity", m_values.security);

    const int networkType = m_api.QueryWL_NetworkType();
    // A failed query says nothing about the network: the current profile keeps its
    // type, so a later save of that profile cannot store the failure code.
    if (networkType != -1)
        m_work.CurrentProfile.NetworkType = networkType;
    m_values.networkType = networkType == 0 ? "Ad-Hoc(IBSS)" : "Infrastruktur(BSS)";
    SetText("TextNetworkType", m_values.networkType);

    m_pause.Start(kPauseMs,
                  [this, networkType, driverKey] { RefreshRate(networkType, driverKey); });
}

void LinkMonitor::RefreshRate(int networkType, const std::string& driverKey)
{
    const int channel = m_api.QueryWL_Channel();
    if (channel != -1) {
        m_values.channel = channel;
        SetText("TextChannel", std::to_string(channel));
    }

    const int speed = m_api.QueryWL_CurrentLinkSpeed();
    if (speed > 0) {
        m_values.rateKbps = speed;
        SetText("TextTransRate", LinkRateText(speed));
    }

    RefreshWirelessMode(networkType, speed, driverKey);

    m_pause.Start(kPauseMs, [this] {
        RefreshAssociation();
        LinkInfoRead();
    });
}

void LinkMonitor::LinkInfoRead()
{
    m_readAt = m_clock.TickCount();
    if (std::exchange(m_rearmLinkStatus, false))
        m_timers.SetTimer(kLinkStatusTimer, kLinkStatusPeriod);
    // A read while the page's ticks are stopped takes the rest of the readings too.
    if (std::exchange(m_readsAll, false)) {
        RefreshSignal();
        MeasureThroughput();
    }
    ValuesChanged();
    for (const auto& done : std::exchange(m_reads, {}))
        done();
}

void LinkMonitor::ValuesChanged()
{
    if (m_observer)
        m_observer();
}

void LinkMonitor::RefreshWirelessMode(int networkType, int speed, const std::string& driverKey)
{
    const auto set = [this](std::string_view mode) {
        m_values.wirelessMode = mode;
        SetText("TextNetworkMode", mode);
    };
    if (networkType != 0) {
        const int mbps = speed / 1000;
        if (mbps <= 0)
            set("");
        else if (mbps > 11)
            set("802.11g");
        else
            set("802.11b");
        return;
    }
    // An ad-hoc cell's mode is what the driver was told when the profile was applied.
    if (driverKey.empty())
        return;
    const std::string g = m_store.ReadText(driverKey + "\\IBSS_G_Mode");
    const std::string pureG = m_store.ReadText(driverKey + "\\IBSS_PureG_Mode");
    if (g == "0" && pureG == "0")
        set("802.11b");
    else if (g == "1" && pureG == "1")
        set("Gemischtmodus");
    else if (g == "0" && pureG == "1")
        set("802.11g");
}

void LinkMonitor::RefreshAssociation()
{
    const int status = m_api.QueryWL_LinkStatus();
    const bool associated = status == kLinkAssociated || status == kLinkInCell;
    m_values.associated = associated;
    const auto setName = [this](std::string name) {
        SetText("TextNetworkName", name);
        m_values.networkName = std::move(name);
    };
    const auto setAccessPoint = [this](std::string address) {
        SetText("TextstationAPMac", address);
        m_values.accessPoint = std::move(address);
    };

    std::array<char, kSsidBufferSize> ssid{};
    const int result = m_api.QueryWL_SSID(ssid);
    if (result < 0) {
        setName("");
        return;
    }
    // The library promises at most the buffer's size; a longer claim is cut to it.
    const auto length = std::min(static_cast<std::size_t>(result), ssid.size());

    if (!associated)
        setAccessPoint("");
    std::array<std::uint8_t, 6> bssid{};
    if (m_api.QueryWL_BSSID(bssid) != -1)
        setAccessPoint(FormatMac(bssid));

    // 32 with no name is the library's "any network"; a real name may be 32 bytes.
    if (result == kAnySsidLength &&
        std::all_of(ssid.begin(), ssid.begin() + static_cast<std::ptrdiff_t>(length),
                    [](char c) { return c == '\0'; })) {
        setName("Any");
        return;
    }
    const std::string_view name(ssid.data(), length);
    setName(associated ? std::string(name) : CutName(name));
}

// --- timer 2 ---

SignalLevels LinkMonitor::Levels(std::int32_t avgQuality, std::int32_t avgSignal,
                                 const AdapterCalibration& calibration)
{
    SignalLevels levels;
    const std::int32_t q = ClampTo(avgQuality, calibration.QualityMin,
                                   std::max(calibration.QualityMin, calibration.QualityMax));
    const std::int32_t s = ClampTo(avgSignal, calibration.SignalMin,
                                   std::max(calibration.SignalMin, calibration.SignalMax));
    const std::int64_t qualityRange =
        static_cast<std::int64_t>(calibration.QualityMax) - calibration.QualityMin;
    const std::int64_t signalRange =
        static_cast<std::int64_t>(calibration.SignalMax) - calibration.SignalMin;
    levels.qualityPercent =
        Percent(static_cast<std::int64_t>(calibration.QualityMax) - q, qualityRange);
    levels.signalPercent =
        Percent(static_cast<std::int64_t>(s) - calibration.SignalMin, signalRange);
    levels.linkPercent = (levels.qualityPercent + 2 * levels.signalPercent) / 3;
    levels.linkBars = std::min(kSignalBarCount, levels.linkPercent / kPercentPerBar);
    levels.signalBars = std::min(kSignalBarCount, levels.signalPercent / kPercentPerBar);
    levels.shownSignal = s;
    return levels;
}

void LinkMonitor::RefreshSignal()
{
    m_api.ResetRequestState();
    const int status = m_api.QueryWL_LinkStatus();
    if (status == kLinkAssociated || status == kLinkInCell) {
        const int q = m_api.QueryWL_CommQuality();
        const std::int64_t s = static_cast<std::int64_t>(m_api.QueryWL_RSSI()) + kSignalOffset;
        if (m_sample.Offer(q, s)) {
            const SignalLevels levels = Levels(m_sample.AverageQuality(), m_sample.AverageSignal(),
                                               m_discovery.Calibration());
            SetBars(kLinkBarPrefix, levels.linkBars);
            SetBars(kSignalBarPrefix, levels.signalBars);
            m_values.qualityPercent = levels.qualityPercent;
            m_values.signalPercent = levels.signalPercent;
            m_values.linkPercent = levels.linkPercent;
            m_values.signalDbm = static_cast<std::int32_t>(levels.shownSignal - kSignalOffset);
            SetText("TextLinkQual", std::to_string(m_values.signalDbm) + " dBm");
        }
        std::array<std::uint32_t, 2> frames{};
        if (m_api.GetTxRxFrameCount(frames) == 0) {
            m_values.txFrames = frames[0];
            m_values.rxFrames = frames[1];
            SetText("TextTotalTrans", std::to_string(static_cast<std::int32_t>(frames[0])));
            SetText("TextTotalReceive", std::to_string(static_cast<std::int32_t>(frames[1])));
        }
    }
    SetText("TextProfileName", CutName(m_work.ActiveProfileName));
    if (m_pushFields)
        m_pushFields();
    ValuesChanged();
}

// --- timer 7 ---

std::string LinkMonitor::LinkRateText(int kbps)
{
    const int mbps = kbps / 1000;
    if (mbps == 5)
        return "5.5 Mbps";
    return std::to_string(mbps) + " Mbps";
}

std::int32_t LinkMonitor::ThroughputKbps(std::uint32_t bytes, std::uint32_t elapsedMs)
{
    // Single precision, as the rate has always been computed: bytes * 8 / 1000 per ms.
    const float rate = static_cast<float>(bytes) * 0.008f / static_cast<float>(elapsedMs);
    // No elapsed time (or a rate that is not a number) measures nothing.
    if (elapsedMs == 0 || std::isnan(rate) || rate > 100.0f || rate < 0.0f)
        return 0;
    return static_cast<std::int32_t>(rate * 1024.0f);
}

std::string LinkMonitor::ThroughputText(std::uint32_t bytes, std::uint32_t elapsedMs)
{
    return std::to_string(ThroughputKbps(bytes, elapsedMs)) + " kbps";
}

void LinkMonitor::RefreshThroughput()
{
    MeasureThroughput();
    ValuesChanged();
    m_timers.SetTimer(kThroughputTimer, kThroughputPeriod);
}

void LinkMonitor::MeasureThroughput()
{
    const ThroughputSample sample = m_meter.Measure();
    if (!sample.readOk) {
        m_values.txKbps = m_values.rxKbps = -1;
        SetText("TextTransmitRate", "");
        SetText("TextReceiveRate", "");
    } else {
        m_values.txKbps = ThroughputKbps(sample.txBytes, sample.elapsedMs);
        m_values.rxKbps = ThroughputKbps(sample.rxBytes, sample.elapsedMs);
        SetText("TextTransmitRate", ThroughputText(sample.txBytes, sample.elapsedMs));
        SetText("TextReceiveRate", ThroughputText(sample.rxBytes, sample.elapsedMs));
    }
}

// --- texts ---

std::string LinkMonitor::CutName(std::string_view text)
{
    if (Utf8Length(text) <= kNameLimit)
        return std::string(text);
    return std::string(Utf8PrefixChars(text, kNameCut)) + "...";
}

} // namespace kesto
