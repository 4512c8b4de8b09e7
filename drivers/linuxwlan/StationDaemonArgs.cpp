// wpa_supplicant's command line read for the interface's block (see StationDaemonArgs.h).
#include "drivers/linuxwlan/StationDaemonArgs.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace kesto::linuxwlan {
namespace {

// wpa_supplicant's options that take a value (the rest are flags).
constexpr std::string_view kWithValue = "bcCDefgGiImoOpP";
// The most processes looked at: a process table is far smaller.
constexpr int kMaxProcesses = 100000;

std::string ReadAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

std::optional<StationDaemonArgs>
StationDaemonArgs::OfCommandLine(const std::vector<std::string>& argv,
                                 std::string_view interfaceName)
{
    StationDaemonArgs block;
    std::string name;
    const auto named = [&] { return !name.empty() && name == interfaceName; };
    for (std::size_t at = 1; at < argv.size(); ++at) {
        const std::string& word = argv[at];
        if (word.size() < 2 || word[0] != '-')
            continue; // not an option: getopt leaves it for later
        // A cluster of flags, the last of them perhaps with its value joined ("-Bc/etc/w").
        for (std::size_t letter = 1; letter < word.size(); ++letter) {
            const char option = word[letter];
            if (option == 'N') {
                if (named())
                    return block;
                block = {};
                name.clear();
                continue;
            }
            if (kWithValue.find(option) == std::string_view::npos)
                continue;
            std::string value = word.substr(letter + 1);
            if (value.empty() && at + 1 < argv.size())
                value = argv[++at];
            switch (option) {
            case 'c':
                block.configFile = value;
                break;
            case 'C':
                block.controlInterface = value;
                break;
            case 'D':
                block.driver = value;
                break;
            case 'i':
                name = value;
                break;
            default:
                break;
            }
            break; // the value ends the cluster
        }
    }
    return named() ? std::optional(block) : std::nullopt;
}

std::optional<StationDaemonArgs> StationDaemonArgs::Find(const std::filesystem::path& procDir,
                                                         std::string_view interfaceName)
{
    std::error_code ec;
    std::filesystem::directory_iterator it(procDir, ec);
    int looked = 0;
    for (; !ec && it != std::filesystem::directory_iterator() && looked < kMaxProcesses;
         it.increment(ec), ++looked) {
        const std::string pid = it->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (ReadAll(it->path() / "comm") != "wpa_supplicant\n")
            continue;
        const std::string line = ReadAll(it->path() / "cmdline");
        std::vector<std::string> argv;
        for (std::size_t from = 0; from < line.size();) {
            const std::size_t end = line.find('\0', from);
            argv.push_back(line.substr(from, end - from));
            from = end == std::string::npos ? line.size() : end + 1;
        }
        if (auto args = OfCommandLine(argv, interfaceName))
            return args;
    }
    return std::nullopt;
}

} // namespace kesto::linuxwlan
