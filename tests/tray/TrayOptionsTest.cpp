// The tray program's command line: our options, and everything else for the
// application object (the EXIT flag in its spellings).
#include "tray/TrayOptions.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    std::string error; // a part of the expected error, empty for none
    std::string registry;
    std::string scenario;
    std::vector<std::string> appArguments;
};

class TrayOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(TrayOptionsTest, Parses)
{
    const OptionsCase& c = GetParam();
    const TrayOptionsResult result = ParseTrayOptions(c.args);
    if (!c.error.empty()) {
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
        return;
    }
    EXPECT_EQ(result.error, "");
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
        OptionsCase{"single_dash_words_pass_in_order",
                    {"-EXIT", "--scenario", "s.json", "-x", "/EXIT"},
                    "",
                    "",
                    "s.json",
                    {"-EXIT", "-x", "/EXIT"}},
        OptionsCase{"value_starting_with_a_dash",
                    {"--registry", "-r.db", "-EXIT"},
                    "",
                    "-r.db",
                    "",
                    {"-EXIT"}},
        OptionsCase{"last_of_a_repeated_option",
                    {"--registry=a.db", "--registry", "b.db"},
                    "",
                    "b.db",
                    "",
                    {}},
        OptionsCase{"utf8_values",
                    {"--registry", "Einstellungen-\xc3\xa4.db"},
                    "",
                    "Einstellungen-\xc3\xa4.db",
                    "",
                    {}},
        OptionsCase{"missing_value", {"--registry"}, "--registry", "", "", {}},
        OptionsCase{"empty_value", {"--scenario="}, "--scenario needs a value", "", "", {}},
        OptionsCase{"unknown", {"--registy", "r.db"}, "unknown option --registy", "", "", {}},
        OptionsCase{
            "unknown_after_values", {"/EXIT", "--exit"}, "unknown option --exit", "", "", {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

struct LibraryCase {
    const char* name;
    std::vector<std::string> args;
    std::string error; // a part of the expected error, empty for none
    std::string library;
    std::string interfaceName;
};

class TrayLibraryOptions : public testing::TestWithParam<LibraryCase> {};

TEST_P(TrayLibraryOptions, ChoosesTheAdapterLibrary)
{
    const LibraryCase& c = GetParam();
    const TrayOptionsResult result = ParseTrayOptions(c.args);
    if (!c.error.empty()) {
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
        return;
    }
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.options.adapterLibrary, c.library);
    EXPECT_EQ(result.options.interfaceName, c.interfaceName);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrayLibraryOptions,
    testing::Values(
        LibraryCase{"none", {}, "", "", ""},
        LibraryCase{"linux_on_an_interface",
                    {"--adapter-library", "linux", "--interface=wlan0"},
                    "",
                    "linux",
                    "wlan0"},
        LibraryCase{"interface_alone", {"--interface", "wlan1"}, "", "", "wlan1"},
        LibraryCase{
            "sim_with_scenario", {"--adapter-library=sim", "--scenario", "s.json"}, "", "sim", ""},
        LibraryCase{
            "unknown_library", {"--adapter-library", "Linux"}, "sim or linux, not Linux", "", ""},
        LibraryCase{"interface_with_sim",
                    {"--adapter-library", "sim", "--interface", "wlan0"},
                    "--interface needs --adapter-library linux",
                    "",
                    ""},
        LibraryCase{"scenario_with_linux",
                    {"--adapter-library", "linux", "--scenario", "s.json"},
                    "--scenario belongs to the simulated adapter",
                    "",
                    ""},
        LibraryCase{"call_log_with_linux",
                    {"--call-log", "c.log", "--adapter-library", "linux"},
                    "--call-log belongs to the simulated adapter",
                    "",
                    ""}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(TrayOptions, HelpVersionAndTheRest)
{
    const std::vector<std::string> args{
        "--help",          "--call-log",    "c.log", "--window-program",
        "/x/kesto-window", "--screenshots", "shots", "--version"};
    const TrayOptionsResult result = ParseTrayOptions(args);
    ASSERT_TRUE(result.error.empty());
    EXPECT_TRUE(result.options.help);
    EXPECT_TRUE(result.options.version);
    EXPECT_EQ(result.options.callLogFile, "c.log");
    EXPECT_EQ(result.options.windowProgram, "/x/kesto-window");
    EXPECT_EQ(result.options.screenshotDir, "shots");
}

} // namespace
} // namespace kesto
