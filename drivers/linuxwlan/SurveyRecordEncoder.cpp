// The BSSID list layout of WL_RetrieveSiteSurveyData from scan results. Little-endian.
#include "drivers/linuxwlan/SurveyRecordEncoder.h"

#include "platform/SurveyRecordLayout.h"

#include <algorithm>
#include <array>

namespace kesto::linuxwlan {
namespace {

using namespace survey_record;

void Put32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool IsAdHoc(const ScanResult& bss)
{
    return bss.flags.find("[IBSS]") != std::string::npos;
}

// The name as far as a record holds it.
std::string_view NameOf(const ScanResult& bss)
{
    return std::string_view(bss.ssid).substr(0, 32);
}

} // namespace

ScanSecurity SecurityOfFlags(std::string_view flags)
{
    const KeyManagements offered = KeyManagementsOfFlags(flags);
    if (offered.eap)
        return ScanSecurity::WpaEap;
    if (offered.wpa)
        return offered.sae && !offered.psk ? ScanSecurity::Sae : ScanSecurity::WpaPsk;
    return flags.find("[WEP]") != std::string_view::npos ? ScanSecurity::Wep : ScanSecurity::Open;
}

std::vector<std::uint8_t> SurveyRecordEncoder::InformationElements(const ScanResult& bss)
{
    const ScanSecurity security = SecurityOfFlags(bss.flags);
    std::vector<std::uint8_t> ie(8, 0); // time stamp: not in the scan results
    ie.push_back(static_cast<std::uint8_t>(kBeaconInterval));
    ie.push_back(static_cast<std::uint8_t>(kBeaconInterval >> 8));
    std::uint16_t cap = IsAdHoc(bss) ? kCapIbss : kCapEss;
    if (security != ScanSecurity::Open)
        cap |= kCapPrivacy;
    ie.push_back(static_cast<std::uint8_t>(cap));
    ie.push_back(static_cast<std::uint8_t>(cap >> 8));

    const std::string_view name = NameOf(bss);
    ie.push_back(kIeSsid);
    ie.push_back(static_cast<std::uint8_t>(name.size()));
    ie.insert(ie.end(), name.begin(), name.end());
    // Exactly four rates: the reader finds the WPA element by its distance from the
    // name element, which this length is part of.
    ie.push_back(kIeRates);
    ie.push_back(static_cast<std::uint8_t>(kBasicRates.size()));
    ie.insert(ie.end(), kBasicRates.begin(), kBasicRates.end());
    ie.push_back(kIeDsParameters);
    ie.push_back(1);
    ie.push_back(static_cast<std::uint8_t>(ChannelOfFrequency(bss.frequencyMhz)));

    if (security == ScanSecurity::WpaPsk || security == ScanSecurity::WpaEap ||
        security == ScanSecurity::Sae) {
        // WPA element: version 1, TKIP group and pairwise suites, one key management
        // suite, whose type is the element's (and the record's) last byte.
        const std::uint8_t akm = security == ScanSecurity::WpaEap ? kKeyManagement8021X
                                 : security == ScanSecurity::Sae  ? kKeyManagementSae
                                                                  : kKeyManagementPsk;
        const auto wpa = WpaElement(akm);
        ie.insert(ie.end(), wpa.begin(), wpa.end());
        return ie;
    }
    ie.push_back(kIeExtendedRates);
    ie.push_back(static_cast<std::uint8_t>(kOfdmRates.size()));
    ie.insert(ie.end(), kOfdmRates.begin(), kOfdmRates.end());
    return ie;
}

std::uint32_t SurveyRecordEncoder::Write(std::span<std::uint8_t> buffer,
                                         const std::vector<ScanResult>& bsses)
{
    if (buffer.size() < 4)
        return 0;
    std::size_t at = 4;
    std::uint32_t count = 0;
    for (const ScanResult& bss : bsses) {
        const int channel = ChannelOfFrequency(bss.frequencyMhz);
        if (channel == 0)
            continue;
        const std::vector<std::uint8_t> ie = InformationElements(bss);
        const std::size_t length = kFixedPart + ie.size();
        if (buffer.size() - at < length)
            break;
        const auto record = buffer.subspan(at, length);
        std::fill(record.begin(), record.end(), std::uint8_t{0});

        const std::string_view name = NameOf(bss);
        const ScanSecurity security = SecurityOfFlags(bss.flags);
        Put32(record, kLength, static_cast<std::uint32_t>(length));
        std::copy(bss.bssid.begin(), bss.bssid.end(), record.begin() + kBssid);
        Put32(record, kSsidLength, static_cast<std::uint32_t>(name.size()));
        std::copy(name.begin(), name.end(), record.begin() + kSsid);
        Put32(record, kPrivacy, security == ScanSecurity::Open ? 0 : 1);
        Put32(record, kRssi, static_cast<std::uint32_t>(bss.signalDbm));
        Put32(record, kNetworkTypeInUse, channel > 14 ? kTypeOfdm5 : kTypeOfdm24);
        Put32(record, kConfiguration, 32);
        Put32(record, kBeaconPeriod, kBeaconInterval);
        Put32(record, kFrequency, static_cast<std::uint32_t>(bss.frequencyMhz) * 1000);
        Put32(record, kHoppingBlock, 16);
        Put32(record, kInfrastructureMode, IsAdHoc(bss) ? 0 : 1);
        std::copy(kBasicRates.begin(), kBasicRates.end(), record.begin() + kSupportedRates);
        std::copy(kOfdmRates.begin(), kOfdmRates.end(),
                  record.begin() + kSupportedRates + kBasicRates.size());
        Put32(record, kIeLength, static_cast<std::uint32_t>(ie.size()));
        std::copy(ie.begin(), ie.end(), record.begin() + kFixedPart);
        at += length;
        ++count;
    }
    Put32(buffer, 0, count);
    return count;
}

} // namespace kesto::linuxwlan
