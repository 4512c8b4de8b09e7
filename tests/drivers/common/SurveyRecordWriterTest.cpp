// The survey records both adapter libraries write, read back by the survey's own reader.
#include "drivers/common/SurveyRecordWriter.h"

#include "base/LittleEndian.h"
#include "station/SurveyRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kesto::survey_record {
namespace {

Network Wpa2(std::size_t last, std::string_view ssid)
{
    return {.bssid = {2, 0, 0, 0, static_cast<std::uint8_t>(last), 0},
            .ssid = ssid,
            .privacy = true,
            .wpaKeyManagement = kKeyManagementPsk,
            .channel = 1,
            .frequencyKhz = 2412000};
}

TEST(SurveyRecordWriter, OnlyWholeRecordsAreWrittenAndCounted)
{
    std::vector<std::string> names{"M\xfcller \t\"1\""}; // any bytes come back whole
    names.reserve(100);                                  // the records name the texts in place
    std::vector<Network> many{Wpa2(0, names[0])};
    for (std::size_t i = 1; i < 100; ++i)
        many.push_back(Wpa2(i, names.emplace_back("Network number " + std::to_string(i))));
    std::vector<std::uint8_t> buffer(kSurveyBufferSize, 0xEE);
    const std::uint32_t written = WriteRecords(buffer, many);
    EXPECT_GT(written, 10u);
    EXPECT_LT(written, 100u);
    const auto entries = ReadSurveyRecords(buffer);
    ASSERT_EQ(entries.size(), std::min<std::size_t>(written, kMaxSurveyEntries));
    EXPECT_EQ(entries.front().ssid, names.front());
    EXPECT_EQ(entries.back().ssid, names[entries.size() - 1]);
    EXPECT_EQ(entries.back().encryption, SurveyEncryption::WpaPsk);
    // By their own lengths: the next record would not have fitted, nothing is behind.
    std::size_t used = 4;
    for (std::uint32_t i = 0; i < written; ++i)
        used += ReadLe32(std::span(buffer).subspan(used));
    EXPECT_GT(used + kFixedPart + InformationElements(many[written]).size(), buffer.size());
    EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(used), buffer.end(),
                            [](std::uint8_t b) { return b == 0xEE; }));
}

TEST(SurveyRecordWriter, TinyBuffersAreSafe)
{
    const std::vector<Network> one{Wpa2(1, "A")};
    std::vector<std::uint8_t> three(3, 0xEE);
    EXPECT_EQ(WriteRecords(three, one), 0u);
    EXPECT_EQ(three, std::vector<std::uint8_t>(3, 0xEE));
    // Room for the count but no record: an empty list, not a cut record.
    std::vector<std::uint8_t> small(120, 0xEE);
    EXPECT_EQ(WriteRecords(small, one), 0u);
    EXPECT_TRUE(ReadSurveyRecords(small).empty());
}

} // namespace
} // namespace kesto::survey_record
