// The command line of kesto-utility: the options of this platform (where the store, the
// scenario and the window program are) and everything else, which goes to the
// application object unchanged (the EXIT flag).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

struct TrayOptions {
    std::string registryFile;  // --registry FILE; empty: the user's store
    std::string scenarioFile;  // --scenario FILE; empty: the shipped default scenario
    std::string callLogFile;   // --call-log FILE: the adapter calls, one per line
    std::string messagesFile;  // --answer-messages FILE: message boxes logged and answered
    std::string windowProgram; // --window-program FILE; empty: kesto-window beside us
    std::string screenshotDir; // --screenshots DIR: pictures of the main pages
    bool help = false;         // --help
    // The arguments that are not options of ours, in their order.
    std::vector<std::string> appArguments;
};

struct TrayOptionsResult {
    TrayOptions options;
    std::string error; // empty when the command line was understood
};

// Options are "--name VALUE" or "--name=VALUE". An argument starting with "--" that is
// no option of ours, or an option without its value, is an error; other arguments
// (including "/EXIT" and "-EXIT") pass to the application.
TrayOptionsResult ParseTrayOptions(std::span<const std::string> args);

inline constexpr std::string_view kTrayUsage =
    "usage: kesto-utility [--registry FILE] [--scenario FILE] [--call-log FILE]\n"
    "                     [--answer-messages FILE] [--window-program FILE]\n"
    "                     [--screenshots DIR] [/EXIT]\n"
    "  --registry FILE        the settings store (default: the user's store under\n"
    "                         $XDG_CONFIG_HOME/kesto)\n"
    "  --scenario FILE        the simulated adapter's scenario (default: the shipped one)\n"
    "  --call-log FILE        write every adapter call to FILE as it happens\n"
    "  --answer-messages FILE write every message box to FILE and answer it at once,\n"
    "                         for unattended runs\n"
    "  --window-program FILE  the window process (default: kesto-window beside this one)\n"
    "  --screenshots DIR      once the window is up, save the status, survey and profile\n"
    "                         pages to DIR as PNG files\n"
    "  /EXIT                  ask the running instance to end\n";

} // namespace kesto
