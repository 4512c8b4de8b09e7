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
    std::string registryFile;   // --registry FILE; empty: the user's store
    std::string scenarioFile;   // --scenario FILE; empty: the shipped default scenario
    std::string callLogFile;    // --call-log FILE: the adapter calls, one per line
    std::string messageLogFile; // --message-log FILE: message boxes answered unattended
    std::string windowProgram;  // --window-program FILE; empty: ../libexec/kesto/kesto-window
    std::string screenshotDir;  // --screenshots DIR: pictures of the main pages
    std::string adapterLibrary; // --adapter-library sim|linux; empty: the stored choice
    std::string interfaceName;  // --interface NAME: the Linux library's interface
    bool help = false;          // --help
    bool version = false;       // --version
    // The arguments that are not options of ours, in their order.
    std::vector<std::string> appArguments;
};

struct TrayOptionsResult {
    TrayOptions options;
    std::string error; // empty when the command line was understood
};

// Options are "--name VALUE" or "--name=VALUE". An argument starting with "--" that is
// no option of ours, or an option without its value (or with an empty one), is an error;
// other arguments (including "/EXIT" and "-EXIT") pass to the application in their order.
// --adapter-library takes "sim" or "linux"; --interface does not go with "sim", nor do
// --scenario and --call-log (the simulator's) with "linux".
// Needs no application object.
TrayOptionsResult ParseTrayOptions(std::span<const std::string> args);

inline constexpr std::string_view kTrayUsage =
    "usage: kesto-utility [--registry FILE] [--scenario FILE] [--call-log FILE]\n"
    "                     [--message-log FILE] [--window-program FILE]\n"
    "                     [--screenshots DIR] [--adapter-library sim|linux]\n"
    "                     [--interface NAME] [--help] [--version] [/EXIT]\n"
    "Reads the adapter's QVWlan.INI from the folder it is started in (the menu entry\n"
    "starts it in the data folder, /usr/share/kesto; a build keeps one in\n"
    "build/share/kesto).\n"
    "  --registry FILE        the settings store (default: the user's store under\n"
    "                         $XDG_CONFIG_HOME/kesto)\n"
    "  --scenario FILE        the simulated adapter's scenario (default: the shipped one)\n"
    "  --call-log FILE        write every adapter call to FILE as it happens\n"
    "  --message-log FILE     write each message box's text to FILE and answer it at\n"
    "                         once instead of showing it (unattended runs)\n"
    "  --window-program FILE  the window process (default: ../libexec/kesto/kesto-window\n"
    "                         from this program's folder)\n"
    "  --screenshots DIR      once the window is up, save the status, survey and profile\n"
    "                         pages to DIR as PNG files\n"
    "  --adapter-library sim|linux\n"
    "                         drive the simulated adapter (sim) or a real wireless\n"
    "                         interface through wpa_supplicant and hostapd (linux);\n"
    "                         default: the stored choice (kestoctl adapter-library),\n"
    "                         else sim\n"
    "  --interface NAME       the wireless interface for linux (default: every wireless\n"
    "                         interface is offered to the adapter matching)\n"
    "  --version              print the version and end\n"
    "  /EXIT                  ask the running instance to end (its own store is used\n"
    "                         unless --registry names one); says so and fails when\n"
    "                         none runs\n";

} // namespace kesto
