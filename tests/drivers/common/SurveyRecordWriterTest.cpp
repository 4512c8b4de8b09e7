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

Network Wpa2(std::uint8_t last, std::string_view ssid)
{
    Network n;
    n.bssid = {2, 0, 0, 0, last, 0};
    n.ssid = ssid;
    n.privacy = true;
    n.wpaKeyManagement = kKeyManagementPsk;
    n.rssi = -40;
    n.channel = 1;
    n.frequencyKhz = 2412000;
    return n;
}

TEST(SurveyRecordWriter, NamesWithAnyBytesComeBackWhole)
{
    const std::string latin1 = "M\xfc"
                               "ller \t\"1\"";
    std::vector<std::uint8_t> buffer(kSurveyBufferSize, 0xEE);
    const std::vector<Network> one{Wpa2(1, latin1)};
    ASSERT_EQ(WriteRecords(buffer, one), 1u);
    const auto entries = ReadSurveyRecords(buffer);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].ssid, latin1);
}

TEST(SurveyRecordWriter, OnlyWholeRecordsAreWrittenAndCounted)
{
    std::vector<std::string> names;
    for (int i = 0; i < 100; ++i)
        names.push_back("Network number " + std::to_string(i));
    std::vector<Network> many;
    for (int i = 0; i < 100; ++i)
        many.push_back(Wpa2(static_cast<std::uint8_t>(i), names[static_cast<std::size_t>(i)]));
    std::vector<std::uint8_t> buffer(kSurveyBufferSize, 0xEE);
    const std::uint32_t written = WriteRecords(buffer, many);
    EXPECT_GT(written, 10u);
    EXPECT_LT(written, 100u);
    const auto entries = ReadSurveyRecords(buffer);
    ASSERT_EQ(entries.size(), std::min<std::size_t>(written, kMaxSurveyEntries));
    EXPECT_EQ(entries.back().ssid, "Network number " + std::to_string(entries.size() - 1));
    EXPECT_EQ(entries.back().encryption, SurveyEncryption::WpaPsk);

    // Walked by their own lengths: the next record would not have fitted, and nothing
    // is written behind the last one.
    std::size_t used = 4;
    for (std::uint32_t i = 0; i < written; ++i)
        used += ReadLe32(std::span(buffer).subspan(used));
    EXPECT_LE(used, buffer.size());
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
