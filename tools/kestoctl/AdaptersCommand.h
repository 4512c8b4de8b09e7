// AdaptersCommand: "kestoctl adapters", the wireless interfaces present with the device
// identifier to put into QVWlan.INI, and "kestoctl adapter-library", the stored choice
// between the simulated adapter and the Linux library.
#pragma once

#include "tools/kestoctl/CommandContext.h"

#include <string>
#include <vector>

namespace kesto {

inline constexpr const char* kAdaptersUsage =
    "adapters [--sysfs DIR]              list the wireless interfaces with the line that\n"
    "                                      matches each in QVWlan.INI";
inline constexpr const char* kAdapterLibraryUsage =
    "adapter-library [sim | linux [IF]]  show or store which adapter library the utility\n"
    "                                      drives (linux: on interface IF, or on every\n"
    "                                      wireless interface)";

// Needs no store. One line per interface: name, driver, "MatchingDeviceId =<id>" (the
// INI's own spelling), tab-separated; an interface whose device names no identifier
// says so instead. No interfaces: a note on stderr, exit 0.
int RunAdaptersCommand(CommandContext& context, const std::vector<std::string>& args);

// No arguments: prints the stored choice ("sim", or "linux" and the interface).
int RunAdapterLibraryCommand(CommandContext& context, const std::vector<std::string>& args);

} // namespace kesto
