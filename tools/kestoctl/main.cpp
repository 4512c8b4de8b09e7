// kestoctl: the command line over the running utility (through its session service) and
// over its store and core. main() handles the global options and hands the rest to one
// subcommand from the table below.
#include "tools/kestoctl/AdaptersCommand.h"
#include "tools/kestoctl/CommandContext.h"
#include "tools/kestoctl/CommandOutput.h"
#include "tools/kestoctl/ProfileCommand.h"
#include "tools/kestoctl/RegCommand.h"
#include "tools/kestoctl/UtilityCommand.h"
#include "tools/kestoctl/WepKeysCommand.h"

#include <array>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Subcommand {
    std::string_view name;
    kesto::CommandFunction run;
    std::string_view usage; // starts with the subcommand's name
};

// One line per subcommand.
const std::array kSubcommands = {
    Subcommand{"status", kesto::RunStatusCommand, kesto::kStatusUsage},
    Subcommand{"scan", kesto::RunScanCommand, kesto::kScanUsage},
    Subcommand{"connect", kesto::RunConnectCommand, kesto::kConnectUsage},
    Subcommand{"profile", kesto::RunProfileCommand, kesto::kProfileUsage},
    Subcommand{"mode", kesto::RunModeCommand, kesto::kModeUsage},
    Subcommand{"ap", kesto::RunApCommand, kesto::kApUsage},
    Subcommand{"reg", kesto::RunRegCommand, kesto::kRegUsage},
    Subcommand{"wep-keys", kesto::RunWepKeysCommand, kesto::kWepKeysUsage},
    Subcommand{"adapters", kesto::RunAdaptersCommand, kesto::kAdaptersUsage},
    Subcommand{"adapter-library", kesto::RunAdapterLibraryCommand, kesto::kAdapterLibraryUsage},
};

void PrintUsage(std::ostream& out)
{
    out << "usage: kestoctl [--registry FILE] COMMAND ARGS...\n"
           "       kestoctl --help | --version\n"
           "  --registry FILE  the store to use (default: the user's store under\n"
           "                   $XDG_CONFIG_HOME/kesto)\n"
           "commands:\n";
    for (const auto& command : kSubcommands)
        out << "  " << command.usage << "\n";
    out << "Secrets given as arguments (--wep-key, --passphrase, reg set --sz, the phrase of\n"
           "wep-keys) are visible to other local users while the command runs: give them on\n"
           "standard input with --wep-key-stdin, --passphrase-stdin or --sz-stdin instead.\n";
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string registryPath;
    std::size_t next = 0;
    for (; next < words.size() && words[next].starts_with("-"); ++next) {
        const std::string& option = words[next];
        if (option == "--help" || option == "-h") {
            PrintUsage(std::cout);
            return kesto::kExitOk;
        }
        if (option == "--version") {
            std::cout << "kestoctl " << KESTO_VERSION << "\n";
            return kesto::kExitOk;
        }
        if (option == "--registry" && next + 1 < words.size()) {
            registryPath = words[++next];
        } else if (option.starts_with("--registry=")) {
            registryPath = option.substr(std::string_view("--registry=").size());
        } else {
            std::cerr << "kestoctl: unknown or incomplete option: " << option << "\n";
            PrintUsage(std::cerr);
            return kesto::kExitUsage;
        }
        if (registryPath.empty()) {
            std::cerr << "kestoctl: --registry needs a file name\n";
            return kesto::kExitUsage;
        }
    }
    if (next == words.size()) {
        PrintUsage(std::cerr);
        return kesto::kExitUsage;
    }
    for (const auto& command : kSubcommands) {
        if (command.name == words[next]) {
            kesto::CommandContext context(registryPath, std::cout, std::cerr);
            const std::vector<std::string> args(words.begin() + static_cast<long>(next) + 1,
                                                words.end());
            try {
                return command.run(context, args);
            } catch (const std::exception& error) {
                // An answer of a form no command expects (another program holding the
                // utility's name, a service of another version) ends the command, not
                // the program.
                std::cerr << "kestoctl: " << command.name << ": "
                          << kesto::TerminalSafe(error.what()) << "\n";
                return kesto::kExitError;
            }
        }
    }
    std::cerr << "kestoctl: unknown command: " << words[next] << "\n";
    PrintUsage(std::cerr);
    return kesto::kExitUsage;
}
