// Reading the scan buffer: records as the driver lays them out, and buffers that lie
// about their count or their records' lengths.
#include "station/SurveyRecords.h"

#include "base/LittleEndian.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kesto {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::size_t at, std::uint32_t v)
{
    WriteLe32(std::span(out).subspan(at), v);
}

// Information elements: fixed fields, name, rates, channel, and for WPA the vendor
// element whose last byte is the key management (1 802.1X, 2 PSK).
Bytes Ies(const std::string& name, int keyManagement = 0)
{
    Bytes ie(12, 0);
    ie.push_back(0);
    ie.push_back(static_cast<std::uint8_t>(name.size()));
    ie.insert(ie.end(), name.begin(), name.end());
    for (std::uint8_t b : {1, 4, 0x82, 0x84, 0x8B, 0x96, 3, 1, 6})
        ie.push_back(b);
    if (keyManagement != 0) {
        ie.push_back(221);
        ie.push_back(22);
        ie.resize(ie.size() + 21, 0x50);
        ie.push_back(static_cast<std::uint8_t>(keyManagement));
    }
    return ie;
}

struct Net {
    std::string name;
    int privacy = 0;
    int keyManagement = 0;
    std::int32_t rssi = -50;
    std::uint32_t frequencyKhz = 2437000;
    std::uint32_t statedNameLength = 0xFFFFFFFF; // the name's own length
};

Bytes Record(const Net& n)
{
    const Bytes ie = Ies(n.name, n.keyManagement);
    Bytes r(116 + ie.size(), 0);
    Put32(r, 0, static_cast<std::uint32_t>(r.size()));
    for (int i = 0; i < 6; ++i)
        r[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0xA0 + i);
    const std::uint32_t stated = n.statedNameLength == 0xFFFFFFFF
                                     ? static_cast<std::uint32_t>(n.name.size())
                                     : n.statedNameLength;
    Put32(r, 12, stated);
    for (std::size_t i = 0; i < n.name.size() && i < 32; ++i)
        r[16 + i] = static_cast<std::uint8_t>(n.name[i]);
    Put32(r, 48, static_cast<std::uint32_t>(n.privacy));
    Put32(r, 52, static_cast<std::uint32_t>(n.rssi));
    Put32(r, 72, n.frequencyKhz);
    Put32(r, 92, 1);
    Put32(r, 112, static_cast<std::uint32_t>(ie.size()));
    std::copy(ie.begin(), ie.end(), r.begin() + 116);
    return r;
}

// A scan buffer of 12004 bytes with the stated count and the records one after another;
// a buffer shorter than the count field holds as much of the count as fits.
Bytes Buffer(std::int32_t count, const std::vector<Bytes>& records,
             std::size_t size = kSurveyBufferSize)
{
    Bytes b(std::max<std::size_t>(size, 4), 0);
    Put32(b, 0, static_cast<std::uint32_t>(count));
    b.resize(size);
    std::size_t at = std::min<std::size_t>(4, size);
    for (const Bytes& r : records) {
        const std::size_t n = std::min(r.size(), b.size() - at);
        std::copy_n(r.begin(), n, b.begin() + static_cast<std::ptrdiff_t>(at));
        at += n;
    }
    return b;
}

std::vector<Bytes> Networks(int n)
{
    std::vector<Bytes> records;
    for (int i = 0; i < n; ++i)
        records.push_back(Record({"N" + std::to_string(i)}));
    return records;
}

struct CountCase {
    const char* name;
    std::int32_t statedCount;
    int recordsInBuffer;
    std::size_t expected;
};

class SurveyCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(SurveyCountTest, ReadsNoMoreThanStatedPresentAndKept)
{
    const CountCase& c = GetParam();
    const auto entries = ReadSurveyRecords(Buffer(c.statedCount, Networks(c.recordsInBuffer)));
    EXPECT_EQ(entries.size(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, SurveyCountTest,
                         ::testing::Values(CountCase{"Empty", 0, 3, 0},
                                           CountCase{"NegativeCount", -1, 3, 0},
                                           CountCase{"Seventy", 70, 70, 64},
                                           CountCase{"SixtyFour", 64, 64, 64},
                                           CountCase{"CountBeyondRecords", 5, 2, 2},
                                           CountCase{"FewerStatedThanPresent", 2, 5, 2}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(SurveyRecordsTest, RecordReachingPastTheBufferEndsTheWalk)
{
    const auto records = Networks(2);
    // The second record's length field says more than the buffer still holds.
    const std::size_t size = 4 + records[0].size() + 130;
    const auto entries = ReadSurveyRecords(Buffer(2, records, size));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].ssid, "N0");
}

TEST(SurveyRecordsTest, RecordLengthBelowTheFixedPartEndsTheWalk)
{
    for (std::uint32_t length : {0u, 4u, 115u}) {
        SCOPED_TRACE(length);
        auto records = Networks(3);
        Put32(records[1], 0, length);
        const auto entries = ReadSurveyRecords(Buffer(3, records));
        ASSERT_EQ(entries.size(), 1u);
    }
}

TEST(SurveyRecordsTest, TinyBuffersGiveNothing)
{
    EXPECT_TRUE(ReadSurveyRecords({}).empty());
    EXPECT_TRUE(ReadSurveyRecords(Buffer(1, {}, 3)).empty());
    EXPECT_TRUE(ReadSurveyRecords(Buffer(1, Networks(1), 100)).empty());
}

TEST(SurveyRecordsTest, FieldsAndNameLengthClampedToThirtyTwo)
{
    Net n{"abcdefghijklmnopqrstuvwxyz012345", 1, 0, -61, 2472000, 200};
    const auto entries = ReadSurveyRecords(Buffer(1, {Record(n)}));
    ASSERT_EQ(entries.size(), 1u);
    const SurveyEntry& e = entries[0];
    EXPECT_EQ(e.ssid, n.name);
    EXPECT_EQ(e.bssid, (std::array<std::uint8_t, 6>{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
    EXPECT_EQ(e.rssi, -61);
    EXPECT_EQ(e.privacy, 1);
    EXPECT_EQ(e.infrastructureMode, 1);
    EXPECT_EQ(ChannelFromFrequency(e.frequencyKhz), 13);

    n.name = "short";
    n.statedNameLength = 3; // the stated length wins over the padding
    EXPECT_EQ(ReadSurveyRecords(Buffer(1, {Record(n)}))[0].ssid, "sho");

    // Zero bytes count as the name's: cut at the first, a hidden network's zeros would be
    // no name ("any network") and "ab\0cd" the network "ab". Shown, both look as before.
    for (const std::string& name : {std::string(8, '\0'), std::string("ab\0cd", 5)}) {
        n.name = name;
        n.statedNameLength = static_cast<std::uint32_t>(name.size());
        const std::string read = ReadSurveyRecords(Buffer(1, {Record(n)}))[0].ssid;
        EXPECT_EQ(read, name);
        EXPECT_EQ(ShowableName(read), name.substr(0, name.find('\0')));
    }
}

struct EncryptionCase {
    const char* name;
    Net net;
    SurveyEncryption expected;
};

class SurveyEncryptionTest : public ::testing::TestWithParam<EncryptionCase> {};

TEST_P(SurveyEncryptionTest, DecidedFromTheWholeRecord)
{
    const auto entries = ReadSurveyRecords(Buffer(1, {Record(GetParam().net)}));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].encryption, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SurveyEncryptionTest,
    ::testing::Values(
        EncryptionCase{"Open", {"Cafe", 0}, SurveyEncryption::Open},
        EncryptionCase{"PrivacyTwoIsOpen", {"Cafe", 2}, SurveyEncryption::Open},
        EncryptionCase{"Wep", {"Praxis", 1}, SurveyEncryption::Wep},
        EncryptionCase{"WpaPsk", {"Villa", 1, 2}, SurveyEncryption::WpaPsk},
        EncryptionCase{"WpaRadius", {"Amt", 1, 1}, SurveyEncryption::WpaRadius},
        EncryptionCase{"WpaSae", {"Drei", 1, 8}, SurveyEncryption::WpaSae},
        EncryptionCase{"UnknownKeyManagementIsWep", {"Vier", 1, 5}, SurveyEncryption::Wep},
        // 47 + 20 bytes of elements: past what a 176-byte copy of the record keeps.
        EncryptionCase{
            "WpaPskWithTwentyByteName", {"Hotel-Seeblick-Gast1", 1, 2}, SurveyEncryption::WpaPsk},
        EncryptionCase{
            "WpaWithLongestName", {std::string(32, 'x'), 1, 1}, SurveyEncryption::WpaRadius}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SurveyRecordsTest, ElementsStatedLongerThanTheRecordAreNotWpa)
{
    Bytes r = Record({"Villa", 1, 2});
    Put32(r, 112, 4000);
    EXPECT_EQ(ReadSurveyRecords(Buffer(1, {r}))[0].encryption, SurveyEncryption::Wep);
}

struct ChannelCase {
    std::string_view name;
    std::uint32_t frequencyKhz;
    int listed;  // in the list and the details
    int adapter; // in a profile or the driver's channel value made from the entry
};
class SurveyChannels : public testing::TestWithParam<ChannelCase> {};
TEST_P(SurveyChannels, FromTheFrequency)
{
    EXPECT_EQ(ChannelFromFrequency(GetParam().frequencyKhz), GetParam().listed);
    EXPECT_EQ(AdapterChannel(GetParam().frequencyKhz), GetParam().adapter);
}
INSTANTIATE_TEST_SUITE_P(Bands, SurveyChannels,
                         testing::Values(ChannelCase{"First", 2412000, 1, 1},
                                         ChannelCase{"Six", 2437000, 6, 6},
                                         ChannelCase{"Thirteen", 2472000, 13, 13},
                                         ChannelCase{"Fourteen", 2484000, 14, 14},
                                         ChannelCase{"Empty", 0, 0, 0},
                                         ChannelCase{"BelowTheBand", 2411999, 0, 0},
                                         ChannelCase{"AboveTheBand", 2485000, 0, 0},
                                         ChannelCase{"FiveGigahertzFirst", 5180000, 36, 0},
                                         ChannelCase{"FiveGigahertzHundred", 5500000, 100, 0},
                                         ChannelCase{"FiveGigahertzLast", 5885000, 177, 0},
                                         ChannelCase{"BelowThirtySix", 5179999, 0, 0},
                                         ChannelCase{"AboveOneSeventySeven", 5890000, 0, 0},
                                         ChannelCase{"SixGigahertz", 5955000, 0, 0},
                                         ChannelCase{"Garbage", 0xFFFFFFFF, 0, 0}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(SurveyDerivedTest, SignalPercentWithinTheCalibration)
{
    const AdapterCalibration calibration; // signal 20..100
    EXPECT_EQ(SignalPercent(-40, calibration), 56);
    EXPECT_EQ(SignalPercent(-100, calibration), 0);
    EXPECT_EQ(SignalPercent(-5, calibration), 100);
    EXPECT_EQ(SignalPercent(INT32_MIN, calibration), 0);
    EXPECT_EQ(SignalPercent(INT32_MAX, calibration), 100);
}

TEST(SurveyDerivedTest, NamesThatAreNotUtf8AreShownWithoutLoss)
{
    EXPECT_EQ(ShowableName("Caf\xC3\xA9"), "Caf\xC3\xA9");
    EXPECT_EQ(ShowableName("Caf\xE9"), "Caf\xC3\xA9"); // Latin-1 byte E9
    EXPECT_EQ(ShowableName("\xFF\xC3"), "\xC3\xBF\xC3\x83");
    EXPECT_EQ(ShowableName("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80"); // a surrogate
    EXPECT_NE(ShowableName("a\xE9"), ShowableName("a\xC3\xA9x"));
}

} // namespace
} // namespace kesto
