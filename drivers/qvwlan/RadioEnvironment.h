// RadioEnvironment: the air around the adapter. It knows the networks in range and the
// stations that want to join our access point, decides which network a station
// configuration can join and why it cannot, reports signal strengths with seeded jitter,
// and takes the snapshots a site survey returns.
#pragma once

#include "drivers/qvwlan/AdapterSettings.h"
#include "drivers/qvwlan/LinkStatus.h"
#include "drivers/qvwlan/Noise.h"
#include "drivers/qvwlan/Scenario.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kesto::qvwlan {

// What a station configuration leads to.
struct JoinDecision {
    enum class Action { Join, StartCell, None };
    Action action = Action::None;
    std::size_t network = 0;                    // Join: index into the scenario's networks
    LinkStatus refusal = LinkStatus::Searching; // None: why nothing can be joined
};

// One network as a scan saw it.
struct SurveySighting {
    ScenarioNetwork network;
    int rssi = 0; // dBm, with this scan's jitter
};

class RadioEnvironment {
public:
    // Signals are reported within [-110, -1] dBm; -105 is "nothing heard".
    static constexpr int kNoSignal = -105;
    // The window in which a jittered reading stays the same.
    static constexpr std::uint32_t kSignalWindowMs = 1000;

    RadioEnvironment(Scenario scenario, Noise noise);

    const Scenario& scenario() const { return m_scenario; }
    void replace(Scenario scenario) { m_scenario = std::move(scenario); }

    bool onRegulatoryChannel(int channel) const;
    const ScenarioNetwork* findNetwork(const MacAddress& bssid) const;

    // Where the settings (station mode) lead: the network already joined (current) as long
    // as it stays joinable, else the strongest joinable one with the wanted name and
    // type (any visible name when the wanted name is empty); an ad-hoc name nobody uses
    // starts a cell of our own.
    JoinDecision decide(const AdapterSettings& settings,
                        const std::optional<MacAddress>& current) const;
    // Why the settings cannot join the network, or nullopt when they can.
    std::optional<LinkStatus> refusal(const ScenarioNetwork& network,
                                      const AdapterSettings& settings) const;

    // The network's signal at the tick, jittered per window of kSignalWindowMs.
    int signalAt(const ScenarioNetwork& network, std::uint32_t tick) const;

    // The networks a scan sees (regulatory channels only), with the scan's own jitter.
    std::vector<SurveySighting> survey(std::uint64_t scanNumber) const;

    // The stations that join an access point with these settings: admitted by the MAC
    // filter and holding the right WEP key (or none when WEP is off), in scenario order,
    // at most 16.
    std::vector<MacAddress> admittedStations(const AdapterSettings& settings) const;

    // The best rate both sets share in kbit/s (5500 for 5.5 Mbit/s); 0 when none.
    static int BestCommonRateKbps(std::span<const std::uint8_t> desired, Standard standard);
    static std::span<const std::uint8_t> RatesOf(Standard standard);

private:
    Scenario m_scenario;
    Noise m_noise;
};

} // namespace kesto::qvwlan
