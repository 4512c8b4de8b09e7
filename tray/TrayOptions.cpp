#include "tray/TrayOptions.h"

#include <array>

namespace kesto {

namespace {

struct ValueOption {
    std::string_view name;
    std::string TrayOptions::*field;
};

constexpr std::array kValueOptions = {
    ValueOption{"--registry", &TrayOptions::registryFile},
    ValueOption{"--scenario", &TrayOptions::scenarioFile},
    ValueOption{"--call-log", &TrayOptions::callLogFile},
    ValueOption{"--answer-messages", &TrayOptions::messagesFile},
    ValueOption{"--window-program", &TrayOptions::windowProgram},
    ValueOption{"--screenshots", &TrayOptions::screenshotDir},
};

} // namespace

TrayOptionsResult ParseTrayOptions(std::span<const std::string> args)
{
    TrayOptionsResult result;
    TrayOptions& options = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            options.appArguments.push_back(arg);
            continue;
        }
        if (arg == "--help") {
            options.help = true;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string_view name = std::string_view(arg).substr(0, equals);
        bool known = false;
        for (const ValueOption& option : kValueOptions) {
            if (name != option.name)
                continue;
            known = true;
            std::string value;
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            }
            if (value.empty()) {
                result.error = std::string(option.name) + " needs a value";
                return result;
            }
            options.*option.field = value;
        }
        if (!known) {
            result.error = "unknown option " + std::string(name);
            return result;
        }
    }
    return result;
}

} // namespace kesto
