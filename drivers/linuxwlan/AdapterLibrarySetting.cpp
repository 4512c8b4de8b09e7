// The stored adapter library choice (see AdapterLibrarySetting.h).
#include "drivers/linuxwlan/AdapterLibrarySetting.h"

namespace kesto::linuxwlan {
namespace {

std::string TextValue(Registry& registry, std::string_view name)
{
    const auto value = registry.QueryValue(kAdapterLibraryKey, name);
    if (!value || value->type != RegType::Sz)
        return {};
    return std::string(value->data.begin(), value->data.end());
}

} // namespace

std::optional<AdapterLibraryKind> AdapterLibraryFromName(std::string_view name)
{
    if (name == "sim")
        return AdapterLibraryKind::Simulator;
    if (name == "linux")
        return AdapterLibraryKind::Linux;
    return std::nullopt;
}

std::string_view AdapterLibraryName(AdapterLibraryKind kind)
{
    switch (kind) {
    case AdapterLibraryKind::Simulator:
        return "sim";
    case AdapterLibraryKind::Linux:
        return "linux";
    }
    return "sim";
}

AdapterLibraryChoice ReadAdapterLibraryChoice(Registry& registry)
{
    AdapterLibraryChoice choice;
    const auto kind = AdapterLibraryFromName(TextValue(registry, kAdapterLibraryValue));
    if (kind == AdapterLibraryKind::Linux) {
        choice.kind = *kind;
        choice.interfaceName = TextValue(registry, kAdapterInterfaceValue);
    }
    return choice;
}

bool WriteAdapterLibraryChoice(Registry& registry, const AdapterLibraryChoice& choice)
{
    return registry.RunInTransaction([&] {
        registry.SetValue(kAdapterLibraryKey, kAdapterLibraryValue,
                          RegValue::Text(AdapterLibraryName(choice.kind)));
        registry.SetValue(kAdapterLibraryKey, kAdapterInterfaceValue,
                          RegValue::Text(choice.interfaceName));
    });
}

AdapterLibraryChoice ResolveAdapterLibraryChoice(std::optional<AdapterLibraryKind> library,
                                                 std::string_view interfaceName, Registry& registry)
{
    const AdapterLibraryChoice stored = ReadAdapterLibraryChoice(registry);
    AdapterLibraryChoice choice;
    // An interface names a real radio, so it asks for the Linux library by itself.
    choice.kind = library.value_or(interfaceName.empty() ? stored.kind : AdapterLibraryKind::Linux);
    if (choice.kind == AdapterLibraryKind::Linux) {
        choice.interfaceName = !interfaceName.empty() ? std::string(interfaceName)
                               : stored.kind == AdapterLibraryKind::Linux ? stored.interfaceName
                                                                          : std::string();
    }
    return choice;
}

} // namespace kesto::linuxwlan
