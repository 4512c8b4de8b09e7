// The tray program's command line: our options, and everything else for the
// application object (the EXIT flag in its spellings).
#include "tray/TrayOptions.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    std::string error; // expected error, empty for none
    std::string registry;
    std::string scenario;
    std::vector<std::string> appArguments;
};

class TrayOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(TrayOptionsTest, Parses)
{
    const OptionsCase& c = GetParam();
    const TrayOptionsResult result = ParseTrayOptions(c.args);
    EXPECT_EQ(result.error, c.error);
    if (!c.error.empty())
        return;
    EXPECT_EQ(result.options.registryFile, c.registry);
    EXPECT_EQ(result.options.scenarioFile, c.scenario);
    EXPECT_EQ(result.options.appArguments, c.appArguments);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrayOptionsTest,
    testing::Values(
        OptionsCase{"none", {}, "", "", "", {}},
        OptionsCase{"separate_values",
                    {"--registry", "r.db", "--scenario", "s.json"},
                    "",
                    "r.db",
                    "s.json",
                    {}},
        OptionsCase{"joined_values",
                    {"--registry=r.db", "--scenario=a=b.json"},
                    "",
                    "r.db",
                    "a=b.json",
                    {}},
        OptionsCase{"exit_flags_pass",
                    {"/EXIT", "--registry", "r.db", "-exit", "EXIT"},
                    "",
                    "r.db",
                    "",
                    {"/EXIT", "-exit", "EXIT"}},
        OptionsCase{"missing_value", {"--registry"}, "--registry needs a value", "", "", {}},
        OptionsCase{"empty_value", {"--scenario="}, "--scenario needs a value", "", "", {}},
        OptionsCase{"unknown", {"--registy", "r.db"}, "unknown option --registy", "", "", {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(TrayOptions, HelpAndTheRest)
{
    const std::vector<std::string> args{
        "--help",          "--call-log",    "c.log", "--window-program",
        "/x/kesto-window", "--screenshots", "shots"};
    const TrayOptionsResult result = ParseTrayOptions(args);
    ASSERT_TRUE(result.error.empty());
    EXPECT_TRUE(result.options.help);
    EXPECT_EQ(result.options.callLogFile, "c.log");
    EXPECT_EQ(result.options.windowProgram, "/x/kesto-window");
    EXPECT_EQ(result.options.screenshotDir, "shots");
}

} // namespace
} // namespace kesto
