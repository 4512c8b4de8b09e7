// Reading QVWlan.INI: the [ADAPTER_INFORMATION] section's keys, limits and malformed
// input, the hexadecimal numbers, and the rule that keeps calibration ranges positive.
#include "adapter/AdapterDiscovery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace kesto {
namespace {

using namespace std::string_literals;

// Fields no test file sets, so untouched fields stay visible.
constexpr AdapterCalibration kUntouched{-1, -2, -3, -4};

std::string Ids(int count, int first = 0)
{
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += "MatchingDeviceId =ID" + std::to_string(i) + "\n";
    return text;
}

std::vector<std::string> IdList(int count, int first = 0)
{
    std::vector<std::string> ids;
    for (int i = first; i < first + count; ++i)
        ids.push_back("ID" + std::to_string(i));
    return ids;
}

struct IniCase {
    const char* name;
    std::string content;
    AdapterCalibration calibration;
    std::vector<std::string> ids;
};

void PrintTo(const IniCase& c, std::ostream* os)
{
    *os << c.name;
}

class AdapterIniParse : public testing::TestWithParam<IniCase> {};

TEST_P(AdapterIniParse, ReadsSection)
{
    const IniCase& c = GetParam();
    std::istringstream in(c.content);
    AdapterCalibration calibration = kUntouched;
    std::vector<std::string> ids;
    ParseAdapterIni(in, calibration, ids);
    EXPECT_EQ(calibration, c.calibration);
    EXPECT_EQ(ids, c.ids);
}

const std::string kLong(120, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, AdapterIniParse,
    testing::Values(
        IniCase{"HexSignalRange",
                "[ADAPTER_INFORMATION]\nSignal_Strength_Max=64\nSignal_Strength_Min=14\n",
                {100, 20, -3, -4},
                {}},
        IniCase{"AllFourAndIds",
                "; comment\n[ADAPTER_INFORMATION]\nCommunication_Quality_Max=50\n"
                "Communication_Quality_Min=0A\nMatchingDeviceId =USB\\VID_2C4E&PID_0450\n"
                "Signal_Strength_Min=14\nSignal_Strength_Max=64\n",
                {100, 20, 80, 10},
                {"USB\\VID_2C4E&PID_0450"}},
        IniCase{"KeysBeforeHeaderIgnored",
                "Signal_Strength_Max=64\nMatchingDeviceId =A\n[ADAPTER_INFORMATION]\n"
                "Signal_Strength_Min=14\n",
                {-1, 20, -3, -4},
                {}},
        IniCase{"NoHeaderReadsNothing",
                "Signal_Strength_Max=64\nMatchingDeviceId =A\n",
                kUntouched,
                {}},
        IniCase{"HeaderIsCaseSensitive",
                "[adapter_information]\nSignal_Strength_Max=64\n",
                kUntouched,
                {}},
        IniCase{"HeaderMustBeWholeLine",
                " [ADAPTER_INFORMATION]\nSignal_Strength_Max=64\n",
                kUntouched,
                {}},
        IniCase{"BracketEndsSectionAtOnce",
                "[ADAPTER_INFORMATION]\n[OTHER]\nSignal_Strength_Max=64\n",
                kUntouched,
                {}},
        IniCase{"NextSectionEndsReading",
                "[ADAPTER_INFORMATION]\nSignal_Strength_Max=64\n[OTHER]\n"
                "Signal_Strength_Min=14\nMatchingDeviceId =B\n",
                {100, -2, -3, -4},
                {}},
        IniCase{"EndOfFileInsideSectionKeepsLastLine",
                "[ADAPTER_INFORMATION]\nSignal_Strength_Max=64",
                {100, -2, -3, -4},
                {}},
        IniCase{"EndOfFileRightAfterHeader", "[ADAPTER_INFORMATION]", kUntouched, {}},
        IniCase{"EmptyFile", "", kUntouched, {}},
        IniCase{"KeysAreCaseSensitive",
                "[ADAPTER_INFORMATION]\nsignal_strength_max=64\nmatchingdeviceid =A\n",
                kUntouched,
                {}},
        IniCase{"UnknownLinesDoNotCount",
                "[ADAPTER_INFORMATION]\n" + std::string(20, '\n') + "; note\n" + Ids(14) +
                    "Signal_Strength_Max=64\n",
                kUntouched, IdList(11)},
        IniCase{"FifteenKeysTakeFourteen",
                "[ADAPTER_INFORMATION]\n" + Ids(11) +
                    "Signal_Strength_Max=64\nSignal_Strength_Min=14\n"
                    "Communication_Quality_Max=50\nCommunication_Quality_Min=0A\n",
                {100, 20, 80, -4},
                IdList(11)},
        IniCase{"IdsBeyondElevenIgnoredButCounted",
                "[ADAPTER_INFORMATION]\n" + Ids(13) +
                    "Signal_Strength_Max=64\n"
                    "Signal_Strength_Min=14\n",
                {100, -2, -3, -4},
                IdList(11)},
        IniCase{"RepeatedNumberOverwritesRepeatedIdAppends",
                "[ADAPTER_INFORMATION]\nSignal_Strength_Max=10\nSignal_Strength_Max=64\n"
                "MatchingDeviceId =A\nMatchingDeviceId =A\n",
                {100, -2, -3, -4},
                {"A", "A"}},
        IniCase{"BadDigitsGiveZero",
                "[ADAPTER_INFORMATION]\nSignal_Strength_Max=zz\nSignal_Strength_Min=1g\n",
                {0, 1, -3, -4},
                {}},
        IniCase{"LinesShorterThanValueOffset",
                "[ADAPTER_INFORMATION]\nSignal_Strength_Max\nMatchingDeviceId\n",
                {0, -2, -3, -4},
                {""}},
        IniCase{"IdWithoutBlankLosesFirstCharacter",
                "[ADAPTER_INFORMATION]\nMatchingDeviceId=USB\\X\n",
                kUntouched,
                {"SB\\X"}},
        IniCase{"CrLfFile",
                "[ADAPTER_INFORMATION]\r\nSignal_Strength_Max=64\r\nMatchingDeviceId =USB\\A\r\n",
                {100, -2, -3, -4},
                {"USB\\A"}},
        IniCase{"TrailingBlanksOfIdDropped",
                "[ADAPTER_INFORMATION]\nMatchingDeviceId =USB\\A \t\n",
                kUntouched,
                {"USB\\A"}},
        IniCase{
            "NulEndsId", "[ADAPTER_INFORMATION]\nMatchingDeviceId =AB\0CD\n"s, kUntouched, {"AB"}},
        IniCase{"LongIdCutAtLineLimit",
                "[ADAPTER_INFORMATION]\nMatchingDeviceId =" + kLong + "\nSignal_Strength_Max=64\n",
                {100, -2, -3, -4},
                {std::string(82, 'x')}},
        IniCase{"RestOfLongLineIsNoLine",
                "[ADAPTER_INFORMATION]\n; " + std::string(98, '-') +
                    "[CUT]\nSignal_Strength_Max=64\n; " + std::string(98, '-') +
                    "MatchingDeviceId =X\n",
                {100, -2, -3, -4},
                {}},
        IniCase{"LongHeaderLineIsNotTheHeader",
                "[ADAPTER_INFORMATION]" + std::string(100, ' ') + "\nSignal_Strength_Max=64\n",
                kUntouched,
                {}}),
    [](const auto& p) { return std::string(p.param.name); });

struct HexCase {
    const char* text;
    std::int32_t value;
};

void PrintTo(const HexCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class HexNumber : public testing::TestWithParam<HexCase> {};

TEST_P(HexNumber, ParsesLikeStrtolBase16)
{
    EXPECT_EQ(ParseHexNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(Cases, HexNumber,
                         testing::Values(HexCase{"64", 100}, HexCase{"0A", 10}, HexCase{"ff", 255},
                                         HexCase{" \t14", 20}, HexCase{"0x1F", 31},
                                         HexCase{"0X1f", 31}, HexCase{"0x", 0}, HexCase{"0xg", 0},
                                         HexCase{"-10", -16}, HexCase{"+10", 16},
                                         HexCase{"- 10", 0}, HexCase{"12g4", 0x12}, HexCase{"", 0},
                                         HexCase{"zz", 0}, HexCase{"7FFFFFFF", kMax},
                                         HexCase{"80000000", kMax}, HexCase{"-80000000", kMin},
                                         HexCase{"-FFFFFFFFFF", kMin},
                                         HexCase{"FFFFFFFFFFFFFFFFFFFFFFFFFFFF1", kMax}));

struct RangeCase {
    const char* name;
    AdapterCalibration read;
    AdapterCalibration kept;
};

void PrintTo(const RangeCase& c, std::ostream* os)
{
    *os << c.name;
}

class RangeRule : public testing::TestWithParam<RangeCase> {};

TEST_P(RangeRule, KeepsBothRangesPositive)
{
    AdapterCalibration c = GetParam().read;
    KeepRangesPositive(c);
    EXPECT_EQ(c, GetParam().kept);
    EXPECT_GT(std::int64_t{c.SignalMax} - c.SignalMin, 0);
    EXPECT_GT(std::int64_t{c.QualityMax} - c.QualityMin, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RangeRule,
    testing::Values(RangeCase{"Valid", {100, 20, 80, 10}, {100, 20, 80, 10}},
                    RangeCase{"SignalEqual", {50, 50, 80, 10}, {100, 20, 80, 10}},
                    RangeCase{"QualityInverted", {90, 30, 10, 80}, {90, 30, 100, 20}},
                    RangeCase{"BothZero", {0, 0, 0, 0}, {100, 20, 100, 20}},
                    RangeCase{"WiderThan32Bits", {kMax, -1, 5, kMin}, {100, 20, 100, 20}},
                    RangeCase{"Widest32Bit", {kMax, 0, -1, kMin}, {kMax, 0, -1, kMin}}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace kesto
