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
    bool shared = false;
    std::size_t at = 0;
    while ((at = flags.find('[', at)) != std::string_view::npos) {
        const std::size_t end = flags.find(']', at);
        const std::string_view group = flags.substr(
            at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1);
        at = end == std::string_view::npos ? flags.size() : end;
        if (group.starts_with("WPA") || group.starts_with("RSN") || group.starts_with("SAE")) {
            if (group.find("-EAP") != std::string_view::npos)
                return ScanSecurity::WpaEap;
            shared = true;
        }
    }
    if (shared)
        return ScanSecurity::WpaPsk;
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
        if (security == ScanSecurity::WpaPsk || security == ScanSecurity::WpaEap) {
            record.wpaKeyManagement =
                security == ScanSecurity::WpaEap ? kKeyManagement8021X : kKeyManagementPsk;
        }
        record.rssi = bss.signalDbm;
        record.networkTypeInUse = channel > 14 ? kTypeOfdm5 : kTypeOfdm24;
        record.channel = channel;
        record.frequencyKhz = static_cast<std::uint32_t>(bss.frequencyMhz) * 1000;
    }
    return WriteRecords(buffer, networks);
}

} // namespace kesto::linuxwlan
