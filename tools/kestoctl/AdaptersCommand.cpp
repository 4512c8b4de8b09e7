// "kestoctl adapters" and "kestoctl adapter-library" (see AdaptersCommand.h).
#include "tools/kestoctl/AdaptersCommand.h"

#include "drivers/linuxwlan/AdapterLibrarySetting.h"
#include "drivers/linuxwlan/SysfsDevices.h"
#include "tools/kestoctl/CommandOutput.h"

#include <exception>

namespace kesto {
namespace {

int UsageError(CommandContext& context, std::string_view command, std::string_view why,
               std::string_view usage)
{
    context.err << "kestoctl " << command << ": " << why << "\n"
                << "usage: kestoctl " << usage << "\n";
    return kExitUsage;
}

} // namespace

int RunAdaptersCommand(CommandContext& context, const std::vector<std::string>& args)
{
    std::string sysfs = "/sys/class/net";
    if (args.size() == 2 && args[0] == "--sysfs") {
        sysfs = args[1];
    } else if (!args.empty()) {
        return UsageError(context, "adapters", "unexpected arguments", kAdaptersUsage);
    }
    const linuxwlan::SysfsDevices devices(sysfs);
    const auto found = devices.List();
    if (found.empty()) {
        context.err << "kestoctl adapters: no wireless interface in " << sysfs << "\n";
        return kExitOk;
    }
    for (const linuxwlan::WirelessInterface& wi : found) {
        context.out << TerminalSafe(wi.name) << "\t"
                    << (wi.driver.empty() ? "-" : TerminalSafe(wi.driver)) << "\t";
        if (wi.deviceId.empty())
            context.out << "(the device names no identifier)\n";
        else
            context.out << "MatchingDeviceId =" << TerminalSafe(wi.deviceId) << "\n";
    }
    return kExitOk;
}

int RunAdapterLibraryCommand(CommandContext& context, const std::vector<std::string>& args)
{
    try {
        Registry& registry = context.registry();
        if (args.empty()) {
            const auto choice = linuxwlan::ReadAdapterLibraryChoice(registry);
            context.out << linuxwlan::AdapterLibraryName(choice.kind);
            if (!choice.interfaceName.empty())
                context.out << " " << TerminalSafe(choice.interfaceName);
            context.out << "\n";
            return kExitOk;
        }
        const auto kind = linuxwlan::AdapterLibraryFromName(args[0]);
        if (!kind)
            return UsageError(context, "adapter-library",
                              "the library is sim or linux, not " + args[0], kAdapterLibraryUsage);
        if (args.size() > (*kind == linuxwlan::AdapterLibraryKind::Linux ? 2u : 1u))
            return UsageError(context, "adapter-library", "too many arguments",
                              kAdapterLibraryUsage);
        linuxwlan::AdapterLibraryChoice choice{*kind, args.size() == 2 ? args[1] : std::string()};
        if (!linuxwlan::WriteAdapterLibraryChoice(registry, choice)) {
            context.err << "kestoctl adapter-library: the store refused the write\n";
            return kExitError;
        }
        return kExitOk;
    } catch (const std::exception& error) {
        context.err << "kestoctl adapter-library: " << TerminalSafe(error.what()) << "\n";
        return kExitError;
    }
}

} // namespace kesto
