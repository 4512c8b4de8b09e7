// SimulatedAdapter: one plugged-in wireless adapter: the settings it was given, the link
// those settings lead to in the radio environment, its traffic counters and its scans.
// Time moves only through advance(): the library calls it with the clock's tick count
// before it reads or changes anything, so the adapter's state is always "as of now".
#pragma once

#include "drivers/qvwlan/AdapterSettings.h"
#include "drivers/qvwlan/LinkStatus.h"
#include "drivers/qvwlan/Noise.h"
#include "drivers/qvwlan/RadioEnvironment.h"
#include "drivers/qvwlan/Scenario.h"
#include "drivers/qvwlan/TrafficCounters.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kesto::qvwlan {

class SimulatedAdapter {
public:
    // Associating (or starting a cell) takes this long after the last setter that
    // decides where the adapter associates, or after the network it had went away.
    static constexpr std::uint32_t kMinAssociationMs = 600;
    static constexpr std::uint32_t kMaxAssociationMs = 1500;
    // QueryWL_CommQuality grows as the link gets worse: kQualityBest at kRssiBest dBm and
    // above, kQualityWorst at kRssiWorst and below (and while no link is up), linear in
    // between.
    static constexpr int kQualityBest = 10;
    static constexpr int kQualityWorst = 80;
    static constexpr int kRssiBest = -35;
    static constexpr int kRssiWorst = -90;

    // Powers the adapter up at tick now: power-on settings, counters at the scenario's
    // start values, no link. It starts looking for a network at the first advance().
    SimulatedAdapter(const ScenarioAdapter& info, const Scenario& scenario, Noise noise,
                     std::uint32_t now);

    const ScenarioAdapter& info() const { return m_info; }
    void setInfo(const ScenarioAdapter& info) { m_info = info; }
    const AdapterSettings& settings() const { return m_settings; }
    // For the setters; call relink() after a change that decides where to associate.
    AdapterSettings& editSettings() { return m_settings; }

    // Brings the link, the counters and the admitted stations up to tick now.
    // ownCellStandard: the rates a cell of our own offers (the driver's ad-hoc 802.11g
    // parameters).
    void advance(std::uint32_t now, const RadioEnvironment& env, Standard ownCellStandard);
    // Drops the link; a new association attempt starts from now.
    void relink(std::uint32_t now);

    LinkStatus linkStatus() const;
    // A station link is up (associated, or in an ad-hoc cell).
    bool linkUp() const;
    int channel() const;
    // The name QueryWL_SSID reports: the joined network's while a link is up, the
    // access point's in access-point mode, else the wanted one (empty = any).
    const std::string& reportedSsid() const;
    // The security of the link: the joined network's (its privacy, with the credentials
    // that joined it), else what the settings ask for.
    LinkSecurity linkSecurity(const RadioEnvironment& env) const;
    // The access point or cell address; the adapter's own in access-point mode.
    std::optional<MacAddress> bssid() const;
    int linkSpeedKbps() const;
    int rssi(std::uint32_t now, const RadioEnvironment& env) const;
    int quality(std::uint32_t now, const RadioEnvironment& env) const;
    const TrafficCounters& counters() const { return m_counters; }
    // Access-point mode: the stations associated with us, as of the last advance().
    const std::vector<MacAddress>& stations() const { return m_stations; }

    // A scan whose results are in the scenario's scan time from now.
    void startScan(std::uint32_t now, const RadioEnvironment& env);
    // 1 when the last scan started has finished by now, 0 while it runs, -1 before the
    // first.
    int scanState(std::uint32_t now);
    // The results of the last scan that has finished by now (none before the first).
    const std::vector<SurveySighting>& scanResults(std::uint32_t now);

private:
    enum class Target { None, Network, OwnCell, AccessPoint };

    struct Link {
        Target target = Target::None;
        LinkStatus refusal = LinkStatus::Searching; // Target::None: why
        bool adHoc = false;
        MacAddress bssid{};
        std::string ssid;
        int channel = 0;
        int rateKbps = 0;
        std::uint32_t since = 0; // start of the attempt
        std::uint32_t delay = 0; // the attempt succeeds at since + delay
        bool established = false;
        bool decided = false; // false after relink(): since holds the setter's tick
    };

    void accumulateTraffic(std::uint32_t now, const RadioEnvironment& env);
    Link describe(const JoinDecision& decision, const RadioEnvironment& env,
                  Standard ownCellStandard) const;

    ScenarioAdapter m_info;
    Noise m_noise;
    AdapterSettings m_settings;
    Link m_link;
    std::uint64_t m_attempts = 0;
    std::uint32_t m_lastTick;
    TrafficCounters m_counters;
    std::vector<MacAddress> m_stations;

    std::uint64_t m_scans = 0;
    bool m_scanRunning = false;
    std::uint32_t m_scanStarted = 0;
    std::uint32_t m_scanMs = 0; // the running scan's duration
    std::vector<SurveySighting> m_scanPending;
    std::vector<SurveySighting> m_scanDone;
};

} // namespace kesto::qvwlan
