// Joining rules, signal jitter, survey snapshots and station admission.
#include "drivers/qvwlan/RadioEnvironment.h"

#include "base/AsciiText.h"

#include <algorithm>
#include <string_view>

namespace kesto::qvwlan {
namespace {

constexpr std::array<std::uint8_t, 4> kRatesB{2, 4, 11, 22};

std::uint64_t AddressCoordinate(const MacAddress& mac)
{
    return Noise::Digest(std::string_view(reinterpret_cast<const char*>(mac.data()), mac.size()));
}

// Survey jitter draws from other coordinates than link readings.
constexpr std::uint64_t kSurveyStream = 0x5355525645590000ull;

bool Listed(const std::array<std::uint8_t, 112>& filter, const MacAddress& mac)
{
    for (std::size_t slot = 0; slot < 16; ++slot) {
        const std::uint8_t* entry = filter.data() + slot * 7;
        if (entry[0] == 1 && std::equal(mac.begin(), mac.end(), entry + 1))
            return true;
    }
    return false;
}

// A certificate naming certified passes a check for wanted when it is wanted itself or a
// name below it, letter case ignored (the station's suffix match).
bool ServerNameMatches(std::string_view certified, std::string_view wanted)
{
    if (wanted.empty() || certified.size() < wanted.size())
        return false;
    if (certified.size() == wanted.size())
        return EqualsNoCase(certified, wanted);
    const std::size_t cut = certified.size() - wanted.size();
    return certified[cut - 1] == '.' && EqualsNoCase(certified.substr(cut), wanted);
}

} // namespace

RadioEnvironment::RadioEnvironment(Scenario scenario, Noise noise)
    : m_scenario(std::move(scenario)), m_noise(noise)
{
}

bool RadioEnvironment::onRegulatoryChannel(int channel) const
{
    const auto& list = m_scenario.regulatoryChannels;
    return std::find(list.begin(), list.end(), channel) != list.end();
}

const ScenarioNetwork* RadioEnvironment::findNetwork(const MacAddress& bssid) const
{
    for (const ScenarioNetwork& n : m_scenario.networks)
        if (n.bssid == bssid)
            return &n;
    return nullptr;
}

std::span<const std::uint8_t> RadioEnvironment::RatesOf(Standard standard)
{
    switch (standard) {
    case Standard::B:
        return kRatesB;
    case Standard::G:
        return wlan_args::kRates;
    }
    return kRatesB;
}

int RadioEnvironment::BestCommonRateKbps(std::span<const std::uint8_t> desired, Standard standard)
{
    int best = 0;
    for (const std::uint8_t raw : desired) {
        const std::uint8_t rate = raw & 0x7F; // the top bit marks a basic rate
        const auto offered = RatesOf(standard);
        if (rate != 0 && std::find(offered.begin(), offered.end(), rate) != offered.end())
            best = std::max(best, rate * 500);
    }
    return best;
}

std::optional<LinkStatus> RadioEnvironment::refusal(const ScenarioNetwork& network,
                                                    const AdapterSettings& s) const
{
    if (s.wpa) {
        // Credentials that do not fit the network make its authentication fail.
        const WpaCredentials& c = *s.wpa;
        switch (network.privacy) {
        case Privacy::WpaPsk:
        case Privacy::WpaSae: // the same pass phrase page and call
            if (c.authenticationMode != 2 || network.passphrase.empty() ||
                c.passphrase != network.passphrase)
                return LinkStatus::AuthRefused;
            // Offered SAE alone, a station makes no pre-shared key handshake.
            if (c.saeOnly && network.privacy == Privacy::WpaPsk)
                return LinkStatus::AuthRefused;
            break;
        case Privacy::WpaRadius:
            if (c.authenticationMode != 3 || network.eapIdentity.empty() ||
                c.identity != network.eapIdentity || c.password != network.eapPassword)
                return LinkStatus::AuthRefused;
            // The station checks the server before it sends the login.
            if (c.validateServer && !network.radiusServerName.empty() &&
                !ServerNameMatches(network.radiusServerName, c.serverName))
                return LinkStatus::AuthRefused;
            break;
        case Privacy::Wep:
        case Privacy::Open:
            return LinkStatus::AuthRefused;
        }
    } else
        switch (network.privacy) {
        case Privacy::WpaPsk:
        case Privacy::WpaRadius:
        case Privacy::WpaSae:
            return LinkStatus::NeedsWpa;
        case Privacy::Wep: {
            if (!s.wepEnabled())
                return LinkStatus::AuthRefused;
            const KeySlot& mine = s.keys[static_cast<std::size_t>(s.transmitKeyIndex)];
            const auto theirs =
                std::find_if(network.wepKeys.begin(), network.wepKeys.end(),
                             [&](const WepKey& k) { return k.index == s.transmitKeyIndex; });
            if (!mine.written || theirs == network.wepKeys.end() || theirs->bytes != mine.bytes)
                return LinkStatus::AuthRefused;
            break;
        }
        case Privacy::Open:
            // An open network neither decrypts our frames nor answers a shared-key challenge.
            if (s.wepEnabled() || s.authenticationMode == 1)
                return LinkStatus::AuthRefused;
            break;
        }
    if (BestCommonRateKbps(s.desiredRates, network.standard) == 0)
        return LinkStatus::Incompatible;
    if (s.preambleMode == 1 && !network.shortPreamble)
        return LinkStatus::Incompatible;
    if (network.kind == NetworkKind::AdHoc && s.psMode == 1 && network.atimWindow == 0)
        return LinkStatus::Incompatible;
    return std::nullopt;
}

JoinDecision RadioEnvironment::decide(const AdapterSettings& s,
                                      const std::optional<MacAddress>& current) const
{
    const NetworkKind kind = s.networkType == 0 ? NetworkKind::AdHoc : NetworkKind::Infrastructure;
    const bool anyName = s.ssid.empty();
    // Any network is joined with the WEP or open settings only: WPA credentials would be
    // offered to whichever network asks for them.
    if (anyName && s.wpa)
        return {JoinDecision::Action::None, 0, LinkStatus::Searching};

    std::optional<std::size_t> best;
    std::optional<std::size_t> strongestRefused;
    for (std::size_t i = 0; i < m_scenario.networks.size(); ++i) {
        const ScenarioNetwork& n = m_scenario.networks[i];
        if (n.kind != kind || !onRegulatoryChannel(n.channel))
            continue;
        if (anyName ? n.hidden : n.ssid != s.ssid)
            continue;
        if (refusal(n, s)) {
            if (!strongestRefused || n.rssi > m_scenario.networks[*strongestRefused].rssi)
                strongestRefused = i;
            continue;
        }
        if (current && n.bssid == *current)
            return {JoinDecision::Action::Join, i, LinkStatus::Searching};
        if (!best || n.rssi > m_scenario.networks[*best].rssi)
            best = i;
    }
    if (best)
        return {JoinDecision::Action::Join, *best, LinkStatus::Searching};
    if (anyName)
        return {JoinDecision::Action::None, 0, LinkStatus::Searching};
    if (strongestRefused)
        return {JoinDecision::Action::None, 0, *refusal(m_scenario.networks[*strongestRefused], s)};
    if (kind == NetworkKind::AdHoc)
        return {JoinDecision::Action::StartCell, 0, LinkStatus::Searching};
    return {JoinDecision::Action::None, 0, LinkStatus::Searching};
}

int RadioEnvironment::signalAt(const ScenarioNetwork& network, std::uint32_t tick) const
{
    const int jitter = m_noise.jitter(AddressCoordinate(network.bssid), tick / kSignalWindowMs,
                                      m_scenario.rssiJitter);
    return std::clamp(network.rssi + jitter, -110, -1);
}

std::vector<SurveySighting> RadioEnvironment::survey(std::uint64_t scanNumber) const
{
    std::vector<SurveySighting> seen;
    for (const ScenarioNetwork& n : m_scenario.networks) {
        if (!onRegulatoryChannel(n.channel))
            continue;
        const int jitter = m_noise.jitter(AddressCoordinate(n.bssid) ^ kSurveyStream, scanNumber,
                                          m_scenario.rssiJitter);
        seen.push_back({n, std::clamp(n.rssi + jitter, -110, -1)});
    }
    return seen;
}

std::vector<MacAddress> RadioEnvironment::admittedStations(const AdapterSettings& s) const
{
    std::vector<MacAddress> admitted;
    for (const ScenarioStation& st : m_scenario.stations) {
        if (admitted.size() == 16)
            break;
        if (s.filterMode == 1 && !Listed(s.filterList, st.mac))
            continue;
        if (s.filterMode == 2 && Listed(s.filterList, st.mac))
            continue;
        if (s.wepEnabled()) {
            if (!st.wepKey)
                continue;
            const KeySlot& ours = s.keys[static_cast<std::size_t>(st.wepKey->index)];
            if (!ours.written || ours.bytes != st.wepKey->bytes)
                continue;
        } else if (st.wepKey) {
            continue; // the station encrypts; an open access point cannot read it
        }
        admitted.push_back(st.mac);
    }
    return admitted;
}

} // namespace kesto::qvwlan
