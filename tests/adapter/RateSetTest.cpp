// The rate sets SetWL_DesiredRate receives for each transmit-rate index.
#include "adapter/WlanApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <ostream>
#include <vector>

namespace kesto {
namespace {

struct RateCase {
    int index;
    std::vector<std::uint8_t> rates; // leading bytes; the rest of the 16 must be 0
};

void PrintTo(const RateCase& c, std::ostream* os)
{
    *os << "index " << c.index;
}

class RateSet : public testing::TestWithParam<RateCase> {};

TEST_P(RateSet, MatchesTable)
{
    const auto set = RateSetForIndex(GetParam().index);
    std::array<std::uint8_t, kRateSetSize> expected{};
    std::copy(GetParam().rates.begin(), GetParam().rates.end(), expected.begin());
    EXPECT_EQ(set, expected) << "index " << GetParam().index;
}

INSTANTIATE_TEST_SUITE_P(
    Indices, RateSet,
    testing::Values(RateCase{0, {2, 4, 11, 12, 18, 22, 24, 36, 48, 72, 96, 108}},
                    RateCase{1, {108}}, RateCase{2, {96}}, RateCase{3, {72}}, RateCase{4, {48}},
                    RateCase{5, {36}}, RateCase{6, {24}}, RateCase{7, {22}}, RateCase{8, {18}},
                    RateCase{9, {12}}, RateCase{10, {11}}, RateCase{11, {4}}, RateCase{12, {2}},
                    RateCase{13, {2}}, RateCase{-1, {2}}, RateCase{255, {2}},
                    RateCase{INT_MIN, {2}}, RateCase{INT_MAX, {2}}));

} // namespace
} // namespace kesto
