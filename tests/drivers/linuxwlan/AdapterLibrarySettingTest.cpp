// Which adapter library a run uses: the command line over the stored choice.
#include "drivers/linuxwlan/AdapterLibrarySetting.h"

#include "registry/SqliteRegistry.h"
#include "tests/support/ParamName.h"

#include <gtest/gtest.h>

namespace kesto::linuxwlan {
namespace {

using Kind = AdapterLibraryKind;

struct ChoiceCase {
    std::string_view name;
    std::optional<AdapterLibraryChoice> stored;
    std::optional<Kind> library;
    std::string interfaceName;
    AdapterLibraryChoice expected;
};

class Choice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(Choice, CommandLineOverTheStore)
{
    SqliteRegistry registry(":memory:");
    if (GetParam().stored) {
        ASSERT_TRUE(WriteAdapterLibraryChoice(registry, *GetParam().stored));
    }
    EXPECT_EQ(ResolveAdapterLibraryChoice(GetParam().library, GetParam().interfaceName, registry),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Choice,
    testing::Values(
        ChoiceCase{"NothingAnywhere", std::nullopt, std::nullopt, "", {Kind::Simulator, ""}},
        ChoiceCase{"StoredLinux",
                   AdapterLibraryChoice{Kind::Linux, "wlan0"},
                   std::nullopt,
                   "",
                   {Kind::Linux, "wlan0"}},
        ChoiceCase{"CommandLineSimOverStoredLinux",
                   AdapterLibraryChoice{Kind::Linux, "wlan0"},
                   Kind::Simulator,
                   "",
                   {Kind::Simulator, ""}},
        ChoiceCase{"InterfaceOverStoredOne",
                   AdapterLibraryChoice{Kind::Linux, "wlan0"},
                   std::nullopt,
                   "wlan1",
                   {Kind::Linux, "wlan1"}},
        ChoiceCase{"InterfaceAloneAsksForLinux",
                   std::nullopt,
                   std::nullopt,
                   "wlan1",
                   {Kind::Linux, "wlan1"}},
        ChoiceCase{"LinuxOverStoredSim",
                   AdapterLibraryChoice{Kind::Simulator, ""},
                   Kind::Linux,
                   "",
                   {Kind::Linux, ""}}),
    test::ParamName{});

TEST(ChoiceStore, UnknownStoredNameIsTheSimulator)
{
    SqliteRegistry registry(":memory:");
    registry.SetValue(kAdapterLibraryKey, kAdapterLibraryValue, RegValue::Text("radio"));
    registry.SetValue(kAdapterLibraryKey, kAdapterInterfaceValue, RegValue::Text("wlan0"));
    EXPECT_EQ(ReadAdapterLibraryChoice(registry), (AdapterLibraryChoice{Kind::Simulator, ""}));
    registry.SetValue(kAdapterLibraryKey, kAdapterLibraryValue, RegValue::Number(1));
    EXPECT_EQ(ReadAdapterLibraryChoice(registry).kind, Kind::Simulator);
}

} // namespace
} // namespace kesto::linuxwlan
