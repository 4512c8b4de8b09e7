// Scenario files: any text yields a scenario or the loader's own error; every other
// exception escaping (and so ending a running tray process) is a finding.
#include "drivers/qvwlan/ScenarioLoader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        kesto::qvwlan::ScenarioLoader::Parse(
            std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const kesto::qvwlan::ScenarioError&) {
    }
    return 0;
}
