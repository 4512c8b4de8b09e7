// What the survey records show of wpa_supplicant's scan results.
#include "drivers/linuxwlan/SurveyRecordEncoder.h"

#include "drivers/common/SurveyRecordWriter.h"

namespace kesto::linuxwlan {
namespace {

using namespace survey_record;

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

std::uint32_t SurveyRecordEncoder::Write(std::span<std::uint8_t> buffer,
                                         const std::vector<ScanResult>& bsses)
{
    std::vector<Network> networks;
    networks.reserve(bsses.size());
    for (const ScanResult& bss : bsses) {
        const int channel = ChannelOfFrequency(bss.frequencyMhz);
        if (channel == 0)
            continue;
        const ScanSecurity security = SecurityOfFlags(bss.flags);
        Network& record = networks.emplace_back();
        record.bssid = bss.bssid;
        record.ssid = NameOf(bss);
        record.adHoc = IsAdHoc(bss);
        record.privacy = security != ScanSecurity::Open;
        if (security == ScanSecurity::WpaPsk || security == ScanSecurity::WpaEap ||
            security == ScanSecurity::Sae) {
            record.wpaKeyManagement = security == ScanSecurity::WpaEap ? kKeyManagement8021X
                                      : security == ScanSecurity::Sae  ? kKeyManagementSae
                                                                       : kKeyManagementPsk;
        }
        record.rssi = bss.signalDbm;
        record.networkTypeInUse = channel > 14 ? kTypeOfdm5 : kTypeOfdm24;
        record.channel = channel;
        record.frequencyKhz = static_cast<std::uint32_t>(bss.frequencyMhz) * 1000;
    }
    return WriteRecords(buffer, networks);
}

} // namespace kesto::linuxwlan
