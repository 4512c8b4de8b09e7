// StationDaemonArgs: how wpa_supplicant was started for an interface, as its command
// line says: the configuration file (-c), the control folder (-C) and the driver (-D).
// Moving the interface to hostapd takes it out of wpa_supplicant, and with it the user's
// own networks; handed back with the same file, they come back as the file has them.
// Read from /proc, which shows every process's command line to everyone.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::linuxwlan {

struct StationDaemonArgs {
    std::string configFile;       // empty: none was given
    std::string controlInterface; // -C, empty: the file's own
    std::string driver;           // -D, empty: not given

    bool operator==(const StationDaemonArgs&) const = default;

    // The block of argv (a whole command line, the program first) that names
    // interfaceName with -i: wpa_supplicant's options, where -N begins the next
    // interface's block. nullopt when no block names it.
    static std::optional<StationDaemonArgs> OfCommandLine(const std::vector<std::string>& argv,
                                                          std::string_view interfaceName);
    // The first process under procDir named wpa_supplicant whose command line names
    // interfaceName. nullopt when there is none (or the process table is hidden).
    static std::optional<StationDaemonArgs> Find(const std::filesystem::path& procDir,
                                                 std::string_view interfaceName);
};

} // namespace kesto::linuxwlan
