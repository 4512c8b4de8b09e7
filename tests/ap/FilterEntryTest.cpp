// The filter page's address check and the adapter's 7-byte entries built from it, for
// the texts users type and the texts a store may hold.
#include "ap/FilterEntry.h"

#include "tests/support/ParamName.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

struct AddressCase {
    const char* name;
    std::string text;
    bool valid;
    FilterEntry entry;
};

constexpr FilterEntry kNoEntry{};
constexpr FilterEntry kStation{1, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F};

class FilterAddress : public testing::TestWithParam<AddressCase> {};

TEST_P(FilterAddress, IsCheckedAndConvertedAlike)
{
    const AddressCase& c = GetParam();
    EXPECT_EQ(ValidateFilterAddress(c.text), c.valid);
    EXPECT_EQ(MakeFilterEntry(c.text), c.entry);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FilterAddress,
    testing::Values(AddressCase{"Empty", "", true, kNoEntry},
                    AddressCase{"OnlyBlanks", " \t ", true, kNoEntry},
                    AddressCase{"Capitals", "0A:1B:2C:3D:4E:5F", true, kStation},
                    AddressCase{"SmallLetters", "0a:1b:2c:3d:4e:5f", true, kStation},
                    AddressCase{"BlankAround", " 0A:1b:2C:3d:4E:5F\t", true, kStation},
                    AddressCase{"AllOnes", "FF:FF:FF:FF:FF:FF", true,
                                FilterEntry{1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
                    AddressCase{"TwelveDigitsNoColons", "0A1B2C3D4E5F", false, kNoEntry},
                    AddressCase{"ColonShiftedByOne", "0A1:B2:C3:D4:E5:F", false, kNoEntry},
                    AddressCase{"DashesForColons", "0A-1B-2C-3D-4E-5F", false, kNoEntry},
                    AddressCase{"NotHex", "0A:1B:2C:3D:4E:5G", false, kNoEntry},
                    AddressCase{"InnerBlank", "0A:1B:2C 3D:4E:5F", false, kNoEntry},
                    AddressCase{"ColonsOnly", ":::::::::::::::::", false, kNoEntry},
                    AddressCase{"TrailingColon", "0A:1B:2C:3D:4E:5F:", false, kNoEntry},
                    // Short texts: nothing is read beyond their end.
                    AddressCase{"OneDigit", "0", false, kNoEntry},
                    AddressCase{"TwoGroups", "0A:1B", false, kNoEntry},
                    AddressCase{"OneColon", ":", false, kNoEntry}),
    test::ParamName());

TEST(FilterBlock, KeepsEverySlotInItsPlace)
{
    FilterList list;
    list.FilterAddress[0] = "00:00:00:00:00:01";
    list.FilterAddress[1] = "00:00:00:00:00:02";
    list.FilterAddress[3] = "00:00:00:00:00:04"; // slot 3 stays empty between them
    list.FilterAddress[15] = "00:00:00:00:00";   // malformed in the last slot
    const FilterBlock block = BuildFilterBlock(list);

    FilterBlock expected{};
    for (const auto& [slot, last] : {std::pair{0, 1}, {1, 2}, {3, 4}}) {
        expected[static_cast<std::size_t>(slot) * 7] = 1;
        expected[static_cast<std::size_t>(slot) * 7 + 6] = static_cast<std::uint8_t>(last);
    }
    EXPECT_EQ(block, expected);
}

TEST(MacAddressText, TwoCapitalDigitsPerByte)
{
    const std::array<std::uint8_t, 6> mac{0x02, 0x4B, 0x00, 0x0F, 0xA0, 0xFF};
    EXPECT_EQ(MacAddressText(mac), "02:4B:00:0F:A0:FF");
}

} // namespace
} // namespace kesto
