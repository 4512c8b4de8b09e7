// CommandContext: what every kestoctl subcommand gets from the dispatcher: the store
// file to use, the output streams, and the shared exit codes.
#pragma once

#include "registry/SqliteRegistry.h"

#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kesto {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;      // wrong arguments; the usage text was printed
inline constexpr int kExitError = 2;      // the command could not do its work; stderr says why
inline constexpr int kExitNotRunning = 3; // no Kesto WLAN Utility answers on the session bus

class CommandContext {
public:
    // registryPath empty: the user's default store (DefaultRegistryPath()).
    CommandContext(std::string registryPath, std::ostream& out, std::ostream& err);

    // The store, opened on first use so commands that need none never create one.
    // A command that only reads asks for ReadOnly: the file is then never changed. Throws
    // RegistryError naming the file when it cannot be opened.
    SqliteRegistry& registry(StoreAccess access = StoreAccess::ReadWrite);

    std::ostream& out;
    std::ostream& err;
    // Where secrets are read with --passphrase-stdin and --wep-key-stdin.
    std::istream* in = &std::cin;

private:
    std::string m_registryPath;
    std::unique_ptr<SqliteRegistry> m_registry;
    StoreAccess m_access = StoreAccess::ReadOnly;
};

// A subcommand: args are the words after its name. Returns one of the exit codes.
using CommandFunction = int (*)(CommandContext& context, const std::vector<std::string>& args);

} // namespace kesto
