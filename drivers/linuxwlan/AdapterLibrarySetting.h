// AdapterLibrarySetting: which adapter library the programs drive - the scenario
// simulator (the default) or the Linux library on a wireless interface - as kept in the
// store beside the product's own key, and as a command line overrides it for one run.
#pragma once

#include "platform/Registry.h"

#include <optional>
#include <string>
#include <string_view>

namespace kesto::linuxwlan {

enum class AdapterLibraryKind { Simulator, Linux };

struct AdapterLibraryChoice {
    AdapterLibraryKind kind = AdapterLibraryKind::Simulator;
    std::string interfaceName; // Linux only; empty: every wireless interface is listed

    bool operator==(const AdapterLibraryChoice&) const = default;
};

// Key path (Registry port, no hive) and value names of the stored choice.
inline constexpr std::string_view kAdapterLibraryKey =
    "Software\\Corvane Corporation\\Kesto USB Utility\\Platform";
inline constexpr std::string_view kAdapterLibraryValue = "AdapterLibrary";
inline constexpr std::string_view kAdapterInterfaceValue = "Interface";

// "sim" and "linux", the names the command lines and the store use.
std::optional<AdapterLibraryKind> AdapterLibraryFromName(std::string_view name);
std::string_view AdapterLibraryName(AdapterLibraryKind kind);

// The stored choice; a missing or unreadable one is the simulator.
AdapterLibraryChoice ReadAdapterLibraryChoice(Registry& registry);
// False when the store cannot write.
bool WriteAdapterLibraryChoice(Registry& registry, const AdapterLibraryChoice& choice);

// The choice for this run: the command line's library when given, else the Linux
// library when the command line names an interface, else the stored one; the command
// line's interface when given, else the stored one if the stored library is chosen.
AdapterLibraryChoice ResolveAdapterLibraryChoice(std::optional<AdapterLibraryKind> library,
                                                 std::string_view interfaceName,
                                                 Registry& registry);

} // namespace kesto::linuxwlan
