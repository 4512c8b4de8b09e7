// What the survey records show of a scenario network.
#include "drivers/qvwlan/SurveyBufferWriter.h"

#include "drivers/common/SurveyRecordWriter.h"
#include "platform/WlanArguments.h"

#include <string_view>

namespace kesto::qvwlan {
namespace {

using namespace survey_record;

bool IsWpa(const ScenarioNetwork& n)
{
    return n.privacy == Privacy::WpaPsk || n.privacy == Privacy::WpaRadius;
}

std::uint8_t KeyManagement(Privacy privacy)
{
    return privacy == Privacy::WpaRadius ? kKeyManagement8021X : kKeyManagementPsk;
}

} // namespace

std::uint32_t SurveyBufferWriter::Write(std::span<std::uint8_t> buffer,
                                        const std::vector<SurveySighting>& sightings,
                                        std::uint64_t timestampUs)
{
    std::vector<Network> networks;
    networks.reserve(sightings.size());
    for (const SurveySighting& s : sightings) {
        const ScenarioNetwork& n = s.network;
        const bool g = n.standard == Standard::G;
        Network& record = networks.emplace_back();
        record.bssid = n.bssid;
        record.ssid = n.hidden ? std::string_view() : std::string_view(n.ssid);
        record.adHoc = n.kind == NetworkKind::AdHoc;
        record.privacy = n.privacy != Privacy::Open;
        if (IsWpa(n))
            record.wpaKeyManagement = KeyManagement(n.privacy);
        record.rssi = s.rssi;
        record.networkTypeInUse = g ? kTypeOfdm24 : kTypeDs;
        record.beaconInterval = static_cast<std::uint16_t>(n.beaconInterval);
        record.atimWindow = static_cast<std::uint16_t>(n.atimWindow);
        record.ibssParameterSet = record.adHoc;
        record.channel = n.channel;
        record.frequencyKhz =
            static_cast<std::uint32_t>(wlan_args::FrequencyOfChannel(n.channel)) * 1000;
        record.ofdmRates = g;
        record.shortPreamble = n.shortPreamble;
        record.shortSlot = g;
        // Each network's time stamp counts from its own start, not ours.
        record.timestampUs =
            timestampUs +
            Noise::Digest(std::string_view(reinterpret_cast<const char*>(n.bssid.data()), 6)) %
                1'000'000'000'000ull;
    }
    return WriteRecords(buffer, networks);
}

} // namespace kesto::qvwlan
