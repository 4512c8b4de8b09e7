// The BSSID list layout of WL_RetrieveSiteSurveyData. All numbers are little-endian.
#include "drivers/qvwlan/SurveyBufferWriter.h"

#include "platform/SurveyRecordLayout.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kesto::qvwlan {
namespace {

using namespace survey_record;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool IsWpa(const ScenarioNetwork& n)
{
    return n.privacy == Privacy::WpaPsk || n.privacy == Privacy::WpaRadius ||
           n.privacy == Privacy::WpaSae;
}

std::uint8_t KeyManagement(Privacy privacy)
{
    switch (privacy) {
    case Privacy::WpaRadius:
        return kKeyManagement8021X;
    case Privacy::WpaSae:
        return kKeyManagementSae;
    case Privacy::Open:
    case Privacy::Wep:
    case Privacy::WpaPsk:
        break;
    }
    return kKeyManagementPsk;
}

} // namespace

std::uint32_t SurveyBufferWriter::FrequencyKhz(int channel)
{
    if (channel == 14)
        return 2484000;
    return 2412000 + 5000 * static_cast<std::uint32_t>(channel - 1);
}

std::vector<std::uint8_t> SurveyBufferWriter::InformationElements(const ScenarioNetwork& n,
                                                                  std::uint64_t timestampUs)
{
    std::vector<std::uint8_t> ie;
    for (std::size_t i = 0; i < 8; ++i)
        ie.push_back(static_cast<std::uint8_t>(timestampUs >> (8 * i)));
    Put16(ie, static_cast<std::uint32_t>(n.beaconInterval));
    std::uint32_t cap = n.kind == NetworkKind::Infrastructure ? kCapEss : kCapIbss;
    if (n.privacy != Privacy::Open)
        cap |= kCapPrivacy;
    if (n.shortPreamble)
        cap |= kCapShortPreamble;
    if (n.standard == Standard::G)
        cap |= kCapShortSlot;
    Put16(ie, cap);

    const std::string_view name = n.hidden ? std::string_view() : std::string_view(n.ssid);
    ie.push_back(kIeSsid);
    ie.push_back(static_cast<std::uint8_t>(name.size()));
    ie.insert(ie.end(), name.begin(), name.end());

    ie.push_back(kIeRates);
    ie.push_back(static_cast<std::uint8_t>(kBasicRates.size()));
    ie.insert(ie.end(), kBasicRates.begin(), kBasicRates.end());

    ie.push_back(kIeDsParameters);
    ie.push_back(1);
    ie.push_back(static_cast<std::uint8_t>(n.channel));

    if (IsWpa(n)) {
        // Directly behind the DS parameter set and last of all: readers find it by its
        // place (name length + 23) and its key management by the last byte.
        const auto wpa = WpaElement(KeyManagement(n.privacy));
        ie.insert(ie.end(), wpa.begin(), wpa.end());
        return ie;
    }
    if (n.kind == NetworkKind::AdHoc) {
        ie.push_back(kIeIbssParameters);
        ie.push_back(2);
        Put16(ie, static_cast<std::uint32_t>(n.atimWindow));
    }
    if (n.standard == Standard::G) {
        ie.push_back(kIeExtendedRates);
        ie.push_back(static_cast<std::uint8_t>(kOfdmRates.size()));
        ie.insert(ie.end(), kOfdmRates.begin(), kOfdmRates.end());
    }
    return ie;
}

std::uint32_t SurveyBufferWriter::Write(std::span<std::uint8_t> buffer,
                                        const std::vector<SurveySighting>& sightings,
                                        std::uint64_t timestampUs)
{
    std::size_t at = 4;
    std::uint32_t count = 0;
    for (const SurveySighting& s : sightings) {
        const ScenarioNetwork& n = s.network;
        // Each network's time stamp counts from its own start, not ours.
        const std::uint64_t uptime =
            timestampUs +
            Noise::Digest(std::string_view(reinterpret_cast<const char*>(n.bssid.data()), 6)) %
                1'000'000'000'000ull;
        const std::vector<std::uint8_t> ie = InformationElements(n, uptime);
        const std::size_t length = kIes + ie.size();
        if (buffer.size() - at < length)
            break;
        const auto record = buffer.subspan(at, length);
        std::fill(record.begin(), record.end(), std::uint8_t{0});

        Put32(record, kLength, static_cast<std::uint32_t>(length));
        std::copy(n.bssid.begin(), n.bssid.end(), record.begin() + kBssid);
        const std::string_view name = n.hidden ? std::string_view() : std::string_view(n.ssid);
        Put32(record, kSsidLength, static_cast<std::uint32_t>(name.size()));
        std::copy(name.begin(), name.end(), record.begin() + kSsid);
        Put32(record, kPrivacy, n.privacy == Privacy::Open ? 0 : 1);
        Put32(record, kRssi, static_cast<std::uint32_t>(s.rssi));
        Put32(record, kNetworkTypeInUse, n.standard == Standard::G ? kTypeOfdm24 : kTypeDs);
        Put32(record, kConfiguration, 32); // the configuration block's own length
        Put32(record, kBeaconPeriod, static_cast<std::uint32_t>(n.beaconInterval));
        Put32(record, kAtimWindow, static_cast<std::uint32_t>(n.atimWindow));
        Put32(record, kFrequency, FrequencyKhz(n.channel));
        Put32(record, kFrequency + 4, 16); // frequency-hopping block: its length, rest 0
        Put32(record, kInfrastructureMode, n.kind == NetworkKind::Infrastructure ? 1 : 0);
        std::copy(kBasicRates.begin(), kBasicRates.end(), record.begin() + kSupportedRates);
        if (n.standard == Standard::G)
            std::copy(kOfdmRates.begin(), kOfdmRates.end(),
                      record.begin() + kSupportedRates + kBasicRates.size());
        Put32(record, kIeLength, static_cast<std::uint32_t>(ie.size()));
        std::copy(ie.begin(), ie.end(), record.begin() + kIes);

        at += length;
        ++count;
    }
    Put32(buffer, 0, count);
    return count;
}

} // namespace kesto::qvwlan
