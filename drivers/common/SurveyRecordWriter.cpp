// The survey buffer's records. All numbers little-endian.
#include "drivers/common/SurveyRecordWriter.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace kesto::survey_record {

std::vector<std::uint8_t> InformationElements(const Network& n)
{
    std::vector<std::uint8_t> ie;
    AppendLe(ie, n.timestampUs, 8);
    AppendLe(ie, n.beaconInterval, 2);
    std::uint16_t cap = n.adHoc ? kCapIbss : kCapEss;
    if (n.privacy)
        cap |= kCapPrivacy;
    if (n.shortPreamble)
        cap |= kCapShortPreamble;
    if (n.shortSlot)
        cap |= kCapShortSlot;
    AppendLe(ie, cap, 2);

    ie.insert(ie.end(), {kIeSsid, static_cast<std::uint8_t>(n.ssid.size())});
    ie.insert(ie.end(), n.ssid.begin(), n.ssid.end());
    // Exactly four rates: readers find the WPA element by its distance from the name
    // element, which this length is part of.
    ie.insert(ie.end(), {kIeRates, static_cast<std::uint8_t>(kBasicRates.size())});
    ie.insert(ie.end(), kBasicRates.begin(), kBasicRates.end());
    ie.insert(ie.end(), {kIeDsParameters, 1, static_cast<std::uint8_t>(n.channel)});

    if (n.wpaKeyManagement) {
        // Directly behind the DS parameter set and last of all: readers find it by its
        // place (name length + 23) and its key management by the last byte.
        const auto wpa = WpaElement(*n.wpaKeyManagement);
        ie.insert(ie.end(), wpa.begin(), wpa.end());
        return ie;
    }
    if (n.ibssParameterSet) {
        ie.insert(ie.end(), {kIeIbssParameters, 2});
        AppendLe(ie, n.atimWindow, 2);
    }
    if (n.ofdmRates) {
        ie.insert(ie.end(), {kIeExtendedRates, static_cast<std::uint8_t>(kOfdmRates.size())});
        ie.insert(ie.end(), kOfdmRates.begin(), kOfdmRates.end());
    }
    return ie;
}

std::uint32_t WriteRecords(std::span<std::uint8_t> buffer, std::span<const Network> networks)
{
    if (buffer.size() < 4)
        return 0;
    std::size_t at = 4;
    std::uint32_t count = 0;
    for (const Network& n : networks) {
        const std::vector<std::uint8_t> ie = InformationElements(n);
        const std::size_t length = kFixedPart + ie.size();
        if (buffer.size() - at < length)
            break;
        const auto record = buffer.subspan(at, length);
        std::fill(record.begin(), record.end(), std::uint8_t{0});

        WriteLe32(record.subspan(kLength), static_cast<std::uint32_t>(length));
        std::copy(n.bssid.begin(), n.bssid.end(), record.begin() + kBssid);
        WriteLe32(record.subspan(kSsidLength), static_cast<std::uint32_t>(n.ssid.size()));
        std::copy(n.ssid.begin(), n.ssid.end(), record.begin() + kSsid);
        WriteLe32(record.subspan(kPrivacy), n.privacy ? 1 : 0);
        WriteLe32(record.subspan(kRssi), static_cast<std::uint32_t>(n.rssi));
        WriteLe32(record.subspan(kNetworkTypeInUse), n.networkTypeInUse);
        WriteLe32(record.subspan(kConfiguration), 32); // the configuration block's own length
        WriteLe32(record.subspan(kBeaconPeriod), n.beaconInterval);
        WriteLe32(record.subspan(kAtimWindow), n.atimWindow);
        WriteLe32(record.subspan(kFrequency), n.frequencyKhz);
        WriteLe32(record.subspan(kHoppingBlock), 16); // the hopping block: its length, rest 0
        WriteLe32(record.subspan(kInfrastructureMode), n.adHoc ? 0 : 1);
        std::copy(kBasicRates.begin(), kBasicRates.end(), record.begin() + kSupportedRates);
        if (n.ofdmRates)
            std::copy(kOfdmRates.begin(), kOfdmRates.end(),
                      record.begin() + kSupportedRates + kBasicRates.size());
        WriteLe32(record.subspan(kIeLength), static_cast<std::uint32_t>(ie.size()));
        std::copy(ie.begin(), ie.end(), record.begin() + kIes);
        at += length;
        ++count;
    }
    WriteLe32(buffer, count);
    return count;
}

} // namespace kesto::survey_record
