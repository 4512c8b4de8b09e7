// LinkMonitor: keeps the station status page (236) current while the adapter runs in
// station mode. It owns no timer: the main window arms its timers 1, 2 and 7 and calls
// one tick operation per tick. The monitor writes the main window's bound fields;
// only RefreshSignal pushes them to the page, so texts set by the other two ticks
// reach the screen with the next signal tick. The link status tick pauses twice between
// its readings; each pause is a one-shot, and the thread serves other events meanwhile.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/ThroughputMeter.h"
#include "adapter/WlanApi.h"
#include "pages/ElementBinding.h"
#include "platform/Clock.h"
#include "platform/OneShotTimers.h"
#include "platform/Timers.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

inline constexpr std::string_view kBarLit = "./images/#155";
inline constexpr std::string_view kBarDark = "./images/#143";
inline constexpr int kSignalBarCount = 10;

// The last four quality and signal readings taken while associated. It lives as long
// as the process's monitor and is never cleared: after a reconnection the first
// averages still include older readings.
struct LinkSample {
    static constexpr int kSlots = 4;
    std::array<std::int32_t, kSlots> quality{};
    std::array<std::int32_t, kSlots> signal{}; // RSSI in dBm plus 105
    int count = 0;                             // readings stored, 0..4
    int nextSlot = 1;                          // 1..4; after slot 4 comes slot 1

    // Stores a reading in the next slot when both q and s are above 0 (a quality of 0
    // or nothing heard would drag the averages down); false when it was not stored.
    bool Offer(std::int64_t q, std::int64_t s);
    // Integer averages of the stored readings; 0 while none is stored.
    std::int32_t AverageQuality() const;
    std::int32_t AverageSignal() const;
};

// What one signal tick shows of the averages: percentages and lit bar counts.
struct SignalLevels {
    int qualityPercent = 0;
    int signalPercent = 0;
    int linkPercent = 0;
    int linkBars = 0;
    int signalBars = 0;
    std::int32_t shownSignal = 0; // the clamped average signal, RSSI plus 105
};

// What the monitor last read of the link, the values behind the status page's texts
// (the texts as the page shows them, the numbers behind the numeric ones). A reading
// that fails leaves its value as it was, as it leaves the page's text.
struct LinkValues {
    bool associated = false;
    std::string networkName;    // "Any" for any network; cut while not associated
    std::string accessPoint;    // "0A:3C:71:00:00:01"; "" when none
    std::string networkType;    // "Infrastruktur(BSS)" or "Ad-Hoc(IBSS)"
    std::int32_t channel = 0;   // 0: none read
    std::int32_t rateKbps = 0;  // link rate; 0: none read
    std::string security;       // SecurityText of the link's security
    std::string authentication; // "Offenes System", "Gemeins. Schlüssel" or "Auto"
    std::string wirelessMode;   // "802.11b", "802.11g", "Gemischtmodus" or ""
    // Percentages of the averaged readings; -1 before the first reading while associated.
    std::int32_t qualityPercent = -1;
    std::int32_t signalPercent = -1;
    std::int32_t linkPercent = -1; // the link quality bars' percentage
    std::int32_t signalDbm = 0;    // the averaged signal, as "Feldstärke" shows it
    std::int64_t txFrames = -1;    // frame totals; -1 before the first reading
    std::int64_t rxFrames = -1;
    std::int32_t txKbps = -1; // throughput; -1 when the statistics could not be read
    std::int32_t rxKbps = -1;

    bool operator==(const LinkValues&) const = default;
};

class LinkMonitor {
public:
    // The main window's timers that the ticks re-arm.
    static constexpr int kLinkStatusTimer = 1;
    static constexpr int kThroughputTimer = 7;
    static constexpr std::uint32_t kLinkStatusPeriod = 1500;
    static constexpr std::uint32_t kThroughputPeriod = 5000;

    // fields: the main window's bound members; pushFields sends them to the page.
    // timers: the main window's timers; oneShots run the link status tick's pauses. The
    // profile store supplies ActiveProfileName and CurrentProfile, the discovery the
    // driver key and calibration ranges.
    LinkMonitor(WlanApi& api, AdapterDiscovery& discovery, ProfileStore& store,
                WorkingRecords& work, ElementBinding& fields, std::function<void()> pushFields,
                Timers& timers, Clock& clock, OneShotTimers& oneShots);

    // The throughput baseline; the main window calls it whenever it shows page 236.
    void StartMonitor();
    // The thirteen status texts after TextProfileName emptied, all twenty bars dark.
    // Nothing is pushed: the window shows the page next.
    void ClearStatus();
    // Timer 1: association texts, read in three parts 30 ms apart; the last part re-arms
    // timer 1 with 1500 ms. A tick while the parts run is not taken: the parts under way
    // finish the refresh.
    void RefreshLinkInfo();
    // Drops the parts of a link status tick still to run (the timers were set anew); the
    // reads waiting for them are answered with the values as they are.
    void DropPendingTick();
    bool tickPending() const { return m_pause.pending(); }
    // Timer 2: bars, link quality text, frame totals, profile name; pushes the fields.
    void RefreshSignal();
    // Timer 7: transmit and receive rates; re-arms timer 7 with 5000 ms.
    void RefreshThroughput();

    // A reading for someone who is not the page (the session service): the link status
    // parts (those under way, or new ones that re-arm no timer), then, unless the page's
    // own ticks run them, the signal and throughput readings; done runs at the end.
    void ReadNow(std::function<void()> done);
    // The values of the readings so far, and the tick count when the link status parts
    // last ended (nothing before the first).
    const LinkValues& values() const { return m_values; }
    std::optional<std::uint32_t> readAt() const { return m_readAt; }
    // Told after every reading that may have changed values(), and by ValuesChanged.
    void SetValuesObserver(std::function<void()> observer) { m_observer = std::move(observer); }
    // What the values belong to changed (the mode, the adapter): the observer is told.
    void ValuesChanged();

    const LinkSample& sample() const { return m_sample; }

    // The averages turned into percentages and bars with the calibration ranges; all
    // integer arithmetic. An empty range (maximum not above minimum) gives 0 percent.
    static SignalLevels Levels(std::int32_t avgQuality, std::int32_t avgSignal,
                               const AdapterCalibration& calibration);
    // "5.5 Mbps" for 5500..5999 kbit/s, else whole Mbit/s and " Mbps". Only for rates
    // above 0.
    static std::string LinkRateText(int kbps);
    // One throughput over elapsedMs in kbit/s as the page counts them (1024 to the
    // unit), 0 for a rate above 100 (a wrapped counter) and for an interval with no
    // elapsed time; and its text, "<kbps> kbps".
    static std::int32_t ThroughputKbps(std::uint32_t bytes, std::uint32_t elapsedMs);
    static std::string ThroughputText(std::uint32_t bytes, std::uint32_t elapsedMs);
    // The status page's word for a QueryWL_LinkSecurity answer: "Deaktiviert", "WEP",
    // "WPA-PSK", "WPA2-PSK", "WPA3-SAE", "WPA-RADIUS" (802.1X with WPA) or "RADIUS"
    // (802.1X alone); "Deaktiviert" when the reading failed.
    static std::string_view SecurityText(int linkSecurity);
    // text cut for the status page: more than 20 characters become the first 17 and
    // "..." (characters of UTF-8 text, so a cut never splits one).
    static std::string CutName(std::string_view text);

private:
    void SetText(std::string_view id, std::string_view text);
    void SetBars(std::string_view prefix, int lit);
    void RefreshWirelessMode(int networkType, int speed, const std::string& driverKey);
    void RefreshRate(int networkType, const std::string& driverKey);
    void RefreshAssociation();
    void StartLinkInfo();
    void LinkInfoRead();
    void MeasureThroughput();

    WlanApi& m_api;
    AdapterDiscovery& m_discovery;
    ProfileStore& m_store;
    WorkingRecords& m_work;
    ElementBinding& m_fields;
    std::function<void()> m_pushFields;
    Timers& m_timers;

    Clock& m_clock;

    LinkSample m_sample;
    ThroughputMeter m_meter;
    PendingStep m_pause;
    LinkValues m_values;
    std::optional<std::uint32_t> m_readAt;
    std::function<void()> m_observer;
    // The parts under way re-arm timer 1 (a tick started or joined them); they run the
    // signal and throughput readings too (a read started them).
    bool m_rearmLinkStatus = false;
    bool m_readsAll = false;
    std::vector<std::function<void()>> m_reads;
};

} // namespace kesto
