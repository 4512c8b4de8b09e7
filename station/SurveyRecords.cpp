// Reading the scan buffer (see SurveyRecords.h).
#include "station/SurveyRecords.h"

#include "base/AsciiText.h"
#include "base/LittleEndian.h"
#include "base/Text.h"
#include "platform/SurveyRecordLayout.h"

#include <algorithm>

namespace kesto {

namespace {

using namespace survey_record;

std::int32_t ReadI32(std::span<const std::uint8_t> record, std::size_t at)
{
    return static_cast<std::int32_t>(ReadLe32(record.subspan(at, 4)));
}

SurveyEncryption EncryptionOf(std::span<const std::uint8_t> record)
{
    SurveyEncryption type =
        ReadI32(record, kPrivacy) == 1 ? SurveyEncryption::Wep : SurveyEncryption::Open;
    // Bytes beyond the stated length, or beyond the record, are absent: a record whose
    // tested bytes are absent is not WPA.
    const std::uint32_t stated = ReadLe32(record.subspan(kIeLength, 4));
    if (stated > record.size() - kIes)
        return type;
    const auto ies = record.subspan(kIes, stated);
    if (ies.size() <= kIeSsidLength)
        return type;
    const std::size_t vendorAt = (ies[kIeSsidLength] + kWpaElementFromName) % 256;
    if (vendorAt >= ies.size() || ies[vendorAt] != kIeVendor)
        return type;
    switch (ies.back()) {
    case kKeyManagement8021X:
        return SurveyEncryption::WpaRadius;
    case kKeyManagementPsk:
        return SurveyEncryption::WpaPsk;
    case kKeyManagementSae:
        return SurveyEncryption::WpaSae;
    default:
        return type;
    }
}

SurveyEntry EntryOf(std::span<const std::uint8_t> record)
{
    SurveyEntry entry;
    std::copy_n(record.begin() + kBssid, entry.bssid.size(), entry.bssid.begin());
    const std::size_t length =
        std::min<std::size_t>(ReadLe32(record.subspan(kSsidLength, 4)), kMaxSsidBytes);
    // By the stated length, zero bytes included: a name cut at its first zero byte would
    // be another network's name, or none (which the adapter takes as "any network").
    entry.ssid.assign(reinterpret_cast<const char*>(record.data() + kSsid), length);
    entry.privacy = ReadI32(record, kPrivacy);
    entry.rssi = ReadI32(record, kRssi);
    entry.frequencyKhz = ReadLe32(record.subspan(kFrequency, 4));
    entry.infrastructureMode = ReadI32(record, kInfrastructureMode);
    entry.encryption = EncryptionOf(record);
    return entry;
}

} // namespace

std::vector<SurveyEntry> ReadSurveyRecords(std::span<const std::uint8_t> buffer)
{
    std::vector<SurveyEntry> entries;
    if (buffer.size() < 4)
        return entries;
    const std::int32_t stated = static_cast<std::int32_t>(ReadLe32(buffer.first(4)));
    const std::size_t count =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(stated, 0)), kMaxSurveyEntries);
    std::size_t at = 4;
    while (entries.size() < count && buffer.size() - at >= kFixedPart) {
        const std::uint32_t length = ReadLe32(buffer.subspan(at + kLength, 4));
        if (length < kFixedPart || length > buffer.size() - at)
            break;
        entries.push_back(EntryOf(buffer.subspan(at, length)));
        at += length;
    }
    return entries;
}

int ChannelFromFrequency(std::uint32_t frequencyKhz)
{
    const std::uint32_t mhz = frequencyKhz / 1000;
    // Outside the two bands the formulas give no channel any radio has: a value the
    // driver got wrong (or another band) would become a channel number in the list.
    if (mhz >= 2412 && mhz <= 2484) {
        const std::uint32_t k = (mhz - 2412) / 5;
        return k == 14 ? 14 : static_cast<int>(k + 1);
    }
    if (mhz >= 5180 && mhz < 5890)
        return static_cast<int>((mhz - 5000) / 5);
    return 0;
}

int AdapterChannel(std::uint32_t frequencyKhz)
{
    const int channel = ChannelFromFrequency(frequencyKhz);
    return channel <= 14 ? channel : 0;
}

int SignalPercent(std::int32_t rssi, const AdapterCalibration& calibration)
{
    const std::int64_t low = calibration.SignalMin;
    const std::int64_t high = std::max<std::int64_t>(calibration.SignalMax, low + 1);
    const std::int64_t v =
        std::clamp<std::int64_t>(static_cast<std::int64_t>(rssi) + 105, low, high);
    return static_cast<int>((v - low) * 100 / (high - low));
}

std::string_view EncryptionLabel(SurveyEncryption encryption)
{
    switch (encryption) {
    case SurveyEncryption::Open:
        return "Deaktiviert";
    case SurveyEncryption::Wep:
        return "WEP";
    case SurveyEncryption::WpaPsk:
        return "WPA-PSK";
    case SurveyEncryption::WpaRadius:
        return "WPA-RADIUS";
    case SurveyEncryption::WpaSae:
        return "WPA3-SAE";
    }
    return "";
}

std::string ShowableName(std::string_view ssid)
{
    ssid = ssid.substr(0, ssid.find('\0'));
    std::string shown;
    for (std::size_t at = 0; at < ssid.size();) {
        if (const std::size_t size = Utf8SequenceAt(ssid, at)) {
            shown.append(ssid.substr(at, size));
            at += size;
        } else {
            AppendUtf8(shown, static_cast<unsigned char>(ssid[at]));
            ++at;
        }
    }
    return shown;
}

} // namespace kesto
