// Scan buffers: the reader takes any bytes, keeps at most 64 entries with names of at
// most 32 bytes, and every value the survey derives from an entry stays in its range.
#include "station/SurveyRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

// The first four bytes of the input, when there are that many, pick a calibration, so
// the derived values are checked under odd ranges too.
kesto::AdapterCalibration CalibrationFrom(std::span<const std::uint8_t> data)
{
    kesto::AdapterCalibration calibration;
    if (data.size() >= 2) {
        calibration.SignalMin = static_cast<std::int8_t>(data[0]);
        calibration.SignalMax = static_cast<std::int8_t>(data[1]);
    }
    return calibration;
}

bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t n = lead < 0x80           ? 1
                              : (lead >> 5) == 0x6  ? 2
                              : (lead >> 4) == 0xE  ? 3
                              : (lead >> 3) == 0x1E ? 4
                                                    : 0;
        if (n == 0 || i + n > text.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> buffer(data, size);
    const auto entries = kesto::ReadSurveyRecords(buffer);
    if (entries.size() > kesto::kMaxSurveyEntries)
        std::abort();
    const kesto::AdapterCalibration calibration = CalibrationFrom(buffer);
    for (const kesto::SurveyEntry& entry : entries) {
        if (entry.ssid.size() > kesto::kMaxSsidBytes)
            std::abort();
        const int channel = kesto::ChannelFromFrequency(entry.frequencyKhz);
        const int percent = kesto::SignalPercent(entry.rssi, calibration);
        const bool band24 = channel >= 1 && channel <= 14;
        const bool band5 = channel >= 36 && channel <= 177;
        if ((channel != 0 && !band24 && !band5) || percent < 0 || percent > 100)
            std::abort();
        if (kesto::AdapterChannel(entry.frequencyKhz) != (band24 ? channel : 0))
            std::abort();
        if (kesto::EncryptionLabel(entry.encryption).empty() ||
            !IsUtf8(kesto::ShowableName(entry.ssid)))
            std::abort();
    }
    return 0;
}
