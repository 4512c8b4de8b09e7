// One adapter's link state machine, counters and scans.
#include "drivers/qvwlan/SimulatedAdapter.h"

#include <algorithm>
#include <string_view>

namespace kesto::qvwlan {
namespace {

std::uint64_t AddressCoordinate(const MacAddress& mac)
{
    return Noise::Digest(std::string_view(reinterpret_cast<const char*>(mac.data()), mac.size()));
}

} // namespace

SimulatedAdapter::SimulatedAdapter(const ScenarioAdapter& info, const Scenario& scenario,
                                   Noise noise, std::uint32_t now)
    : m_info(info), m_noise(noise), m_lastTick(now), m_counters(scenario.traffic)
{
    m_settings.serviceStatus = scenario.wirelessService;
    const auto& channels = scenario.regulatoryChannels;
    if (std::find(channels.begin(), channels.end(), m_settings.channel) == channels.end() &&
        !channels.empty())
        m_settings.channel = channels.front();
    // Nothing wanted yet: the first advance() starts the search, so no time passes
    // between the decision and the attempt it starts.
    m_link.since = now;
    m_link.decided = true;
}

void SimulatedAdapter::relink(std::uint32_t now)
{
    m_link = Link{};
    m_link.since = now;
}

void SimulatedAdapter::accumulateTraffic(std::uint32_t now, const RadioEnvironment& env)
{
    std::uint32_t carrying = 0;
    switch (m_link.target) {
    case Target::Network: {
        if (m_link.established) {
            carrying = now - m_lastTick;
        } else {
            // The link may have come up inside this interval: count from then.
            const std::uint32_t from = m_lastTick - m_link.since;
            const std::uint32_t to = now - m_link.since;
            const std::uint32_t up = std::max(from, m_link.delay);
            carrying = to > up ? to - up : 0;
        }
        break;
    }
    case Target::AccessPoint:
        carrying = m_stations.empty() ? 0 : now - m_lastTick;
        break;
    case Target::OwnCell: // nobody else in the cell: nothing to carry
    case Target::None:
        break;
    }
    if (carrying > 0)
        m_counters.add(env.scenario().traffic, carrying);
}

SimulatedAdapter::Link SimulatedAdapter::describe(const JoinDecision& decision,
                                                  const RadioEnvironment& env,
                                                  Standard ownCellStandard) const
{
    Link next;
    switch (decision.action) {
    case JoinDecision::Action::Join: {
        const ScenarioNetwork& n = env.scenario().networks[decision.network];
        next.target = Target::Network;
        next.adHoc = n.kind == NetworkKind::AdHoc;
        next.bssid = n.bssid;
        next.ssid = n.ssid;
        next.channel = n.channel;
        next.rateKbps = RadioEnvironment::BestCommonRateKbps(m_settings.desiredRates, n.standard);
        break;
    }
    case JoinDecision::Action::StartCell: {
        next.rateKbps =
            RadioEnvironment::BestCommonRateKbps(m_settings.desiredRates, ownCellStandard);
        if (next.rateKbps == 0) {
            next.refusal = LinkStatus::Incompatible;
            break;
        }
        next.target = Target::OwnCell;
        next.adHoc = true;
        // A locally administered individual address drawn from our address and the
        // cell's name, so the same cell gets the same address every time.
        const std::uint64_t bits =
            m_noise.draw(AddressCoordinate(m_info.mac), Noise::Digest(m_settings.ssid));
        for (std::size_t i = 0; i < 6; ++i)
            next.bssid[i] = static_cast<std::uint8_t>(bits >> (8 * i));
        next.bssid[0] = static_cast<std::uint8_t>((next.bssid[0] & 0xFC) | 0x02);
        next.ssid = m_settings.ssid;
        next.channel = m_settings.channel;
        break;
    }
    case JoinDecision::Action::None:
        next.refusal = decision.refusal;
        break;
    }
    return next;
}

void SimulatedAdapter::advance(std::uint32_t now, const RadioEnvironment& env,
                               Standard ownCellStandard)
{
    accumulateTraffic(now, env);

    if (m_settings.mode == OperationMode::AccessPoint) {
        if (m_link.target != Target::AccessPoint) {
            m_link = Link{};
            m_link.target = Target::AccessPoint;
            m_link.since = now;
            m_link.established = true;
            m_link.decided = true;
        }
        m_link.bssid = m_info.mac;
        m_link.ssid = m_settings.ssid;
        m_link.channel = m_settings.channel;
        m_link.rateKbps =
            RadioEnvironment::BestCommonRateKbps(m_settings.desiredRates, Standard::G);
        m_stations = env.admittedStations(m_settings);
        m_lastTick = now;
        return;
    }
    m_stations.clear();

    std::optional<MacAddress> current;
    if (m_link.decided && m_link.target == Target::Network)
        current = m_link.bssid;
    Link next = describe(env.decide(m_settings, current), env, ownCellStandard);
    const bool same = m_link.decided && next.target == m_link.target && next.bssid == m_link.bssid;
    if (same) {
        // Still the same network; its name, channel or rates may have changed.
        next.since = m_link.since;
        next.delay = m_link.delay;
        next.established = m_link.established;
    } else {
        next.since = m_link.decided ? now : m_link.since;
        next.delay = next.target == Target::None
                         ? 0
                         : m_noise.between(AddressCoordinate(m_info.mac), ++m_attempts,
                                           kMinAssociationMs, kMaxAssociationMs);
    }
    next.decided = true;
    if (next.target != Target::None && !next.established)
        next.established = now - next.since >= next.delay;
    m_link = std::move(next);
    m_lastTick = now;
}

LinkStatus SimulatedAdapter::linkStatus() const
{
    switch (m_link.target) {
    case Target::AccessPoint:
        return LinkStatus::AccessPointMode;
    case Target::None:
        return m_link.refusal;
    case Target::Network:
    case Target::OwnCell:
        if (!m_link.established)
            return LinkStatus::Associating;
        return m_link.adHoc ? LinkStatus::InCell : LinkStatus::Associated;
    }
    return LinkStatus::Searching;
}

bool SimulatedAdapter::linkUp() const
{
    return (m_link.target == Target::Network || m_link.target == Target::OwnCell) &&
           m_link.established;
}

int SimulatedAdapter::channel() const
{
    return m_link.target == Target::Network ? m_link.channel : m_settings.channel;
}

const std::string& SimulatedAdapter::reportedSsid() const
{
    return linkUp() ? m_link.ssid : m_settings.ssid;
}

LinkSecurity SimulatedAdapter::linkSecurity(const RadioEnvironment& env) const
{
    const ScenarioNetwork* joined =
        m_link.target == Target::Network && linkUp() ? env.findNetwork(m_link.bssid) : nullptr;
    if (joined) {
        switch (joined->privacy) {
        case Privacy::Open:
            return LinkSecurity::Open;
        case Privacy::Wep:
            return LinkSecurity::Wep;
        case Privacy::WpaPsk: // the scenario names no WPA version
            return LinkSecurity::WpaPsk;
        case Privacy::WpaRadius:
            return LinkSecurity::WpaEap;
        case Privacy::WpaSae:
            return LinkSecurity::Wpa3Sae;
        }
    }
    if (m_settings.mode == OperationMode::Station && m_settings.wpa) {
        switch (m_settings.wpa->authenticationMode) {
        case 2:
            return LinkSecurity::WpaPsk;
        case 3:
            return LinkSecurity::WpaEap;
        default:
            return LinkSecurity::Ieee8021x;
        }
    }
    return m_settings.wepEnabled() ? LinkSecurity::Wep : LinkSecurity::Open;
}

std::optional<MacAddress> SimulatedAdapter::bssid() const
{
    if (linkUp() || m_link.target == Target::AccessPoint)
        return m_link.bssid;
    return std::nullopt;
}

int SimulatedAdapter::linkSpeedKbps() const
{
    return linkUp() || m_link.target == Target::AccessPoint ? m_link.rateKbps : 0;
}

int SimulatedAdapter::rssi(std::uint32_t now, const RadioEnvironment& env) const
{
    if (!linkUp() || m_link.target != Target::Network)
        return RadioEnvironment::kNoSignal;
    const ScenarioNetwork* n = env.findNetwork(m_link.bssid);
    return n ? env.signalAt(*n, now) : RadioEnvironment::kNoSignal;
}

int SimulatedAdapter::quality(std::uint32_t now, const RadioEnvironment& env) const
{
    const int signal = rssi(now, env);
    if (signal == RadioEnvironment::kNoSignal)
        return kQualityWorst;
    const int clamped = std::clamp(signal, kRssiWorst, kRssiBest);
    return kQualityBest +
           (kRssiBest - clamped) * (kQualityWorst - kQualityBest) / (kRssiBest - kRssiWorst);
}

void SimulatedAdapter::startScan(std::uint32_t now, const RadioEnvironment& env)
{
    m_scanRunning = true;
    m_scanStarted = now;
    // A scenario changed while the scan runs does not change how long it takes.
    m_scanMs = env.scenario().scanMs;
    m_scanPending = env.survey(++m_scans);
}

int SimulatedAdapter::scanState(std::uint32_t now)
{
    if (m_scans == 0)
        return -1;
    scanResults(now);
    return m_scanRunning ? 0 : 1;
}

const std::vector<SurveySighting>& SimulatedAdapter::scanResults(std::uint32_t now)
{
    if (m_scanRunning && now - m_scanStarted >= m_scanMs) {
        m_scanDone = std::move(m_scanPending);
        m_scanPending.clear();
        m_scanRunning = false;
    }
    return m_scanDone;
}

} // namespace kesto::qvwlan
