// Daemon replies: every parser takes any text and gives either nothing or values in
// their ranges; scan results that parse survive the trip through the survey records
// (encoded as the library hands them to the survey, read back by the survey's reader)
// with their address, name, frequency, signal, mode and security intact.
#include "drivers/linuxwlan/ControlReplies.h"
#include "drivers/linuxwlan/SurveyRecordEncoder.h"
#include "station/SurveyRecords.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

namespace {

using namespace kesto;
using namespace kesto::linuxwlan;

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

SurveyEncryption Expected(ScanSecurity security)
{
    switch (security) {
    case ScanSecurity::Open:
        return SurveyEncryption::Open;
    case ScanSecurity::Wep:
        return SurveyEncryption::Wep;
    case ScanSecurity::WpaPsk:
        return SurveyEncryption::WpaPsk;
    case ScanSecurity::WpaEap:
        return SurveyEncryption::WpaRadius;
    case ScanSecurity::Sae:
        return SurveyEncryption::WpaSae;
    }
    return SurveyEncryption::Open;
}

// The results encoded into a buffer of the given size and read back.
void RoundTrip(const std::vector<ScanResult>& results, std::size_t bufferSize)
{
    std::vector<std::uint8_t> buffer(bufferSize, 0xEE);
    const std::uint32_t written = SurveyRecordEncoder::Write(buffer, results);
    if (bufferSize < 4) {
        Check(written == 0 &&
              std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0xEE; }));
        return;
    }
    std::vector<const ScanResult*> kept;
    for (const ScanResult& r : results)
        if (ChannelOfFrequency(r.frequencyMhz) != 0)
            kept.push_back(&r);
    Check(written <= kept.size());
    const std::vector<SurveyEntry> entries = ReadSurveyRecords(buffer);
    Check(entries.size() == std::min<std::size_t>(written, kMaxSurveyEntries));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ScanResult& r = *kept[i];
        const SurveyEntry& e = entries[i];
        // A record holds 32 bytes of the name, zero bytes included (read by its length).
        const std::string_view name = std::string_view(r.ssid).substr(0, kMaxSsidBytes);
        Check(e.bssid == r.bssid);
        Check(e.ssid == name);
        Check(e.frequencyKhz == static_cast<std::uint32_t>(r.frequencyMhz) * 1000);
        Check(ChannelFromFrequency(e.frequencyKhz) == ChannelOfFrequency(r.frequencyMhz));
        Check(e.rssi == r.signalDbm);
        Check(e.infrastructureMode == (r.flags.find("[IBSS]") == std::string::npos ? 1 : 0));
        Check(e.encryption == Expected(SecurityOfFlags(r.flags)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    for (const auto& [key, value] : ParseKeyValues(text))
        Check(key.find('\n') == std::string::npos && value.find('\n') == std::string::npos);
    if (const auto mac = ParseMac(text))
        Check(ParseMac(MacText(*mac)) == mac);
    if (const auto name = UnescapeName(text))
        Check(name->size() <= kMaxSsidBytes);
    if (const auto id = ParseNetworkId(text))
        Check(NetworkFlags("network id / ssid / bssid / flags\n" + std::to_string(*id) +
                               "\tx\tany\t[CURRENT]",
                           *id) == "[CURRENT]");
    for (const int channel : ParseChannels(text))
        Check(channel >= 1 && channel <= 14);
    if (const auto entry = ParseBss(text)) {
        Check(entry->id >= 0);
        if (entry->bss)
            Check(entry->bss->ssid.size() <= kMaxSsidBytes);
    }
    ParseStationAddress(text);
    NetworkFlags(text, size > 0 ? data[0] % 8 : 0);
    if (const auto number = ParseInt(text)) {
        const int channel = ChannelOfFrequency(*number);
        Check(channel == 0 || (channel >= 1 && channel <= 14) || (channel >= 36 && channel <= 177));
        Check(channel == 0 ||
              (channel <= 14 ? FrequencyOfChannel(channel) : 5000 + 5 * channel) == *number);
    }

    const auto results = ParseScanResults(text);
    if (!results)
        return 0;
    for (const ScanResult& r : *results)
        Check(r.ssid.size() <= kMaxSsidBytes);
    RoundTrip(*results, kSurveyBufferSize);
    // A short buffer, sized by the input, takes only the records that fit whole.
    RoundTrip(*results, size % 700);
    return 0;
}
