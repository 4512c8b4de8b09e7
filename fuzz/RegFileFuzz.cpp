// .reg files: parse, apply to a fresh store, export, and read the export back. Whatever
// the parser accepts must survive the round trip unchanged: the export of the copy is
// the export of the original, byte for byte, in both formats.
#include "registry/RegFile.h"
#include "registry/RegistryError.h"
#include "registry/SqliteRegistry.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace kesto;

void RoundTrip(SqliteRegistry& original, RegFileFormat format)
{
    std::string text;
    try {
        text = ExportRegFile(original, "", format);
    } catch (const RegistryError&) {
        return; // a name or value the format cannot carry: refused, as documented
    }
    SqliteRegistry copy(":memory:");
    // What was exported must parse and apply; a throw here is a finding.
    ApplyRegFile(copy, ParseRegFile(text, "export.reg"), "export.reg");
    if (ExportRegFile(copy, "", format) != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<RegFileOperation> operations;
    try {
        operations = ParseRegFile(bytes, "fuzz.reg");
    } catch (const RegistryError&) {
        return 0;
    }
    SqliteRegistry store(":memory:");
    try {
        ApplyRegFile(store, operations, "fuzz.reg");
    } catch (const RegistryError&) {
        return 0;
    }
    RoundTrip(store, RegFileFormat::Regedit4);
    RoundTrip(store, RegFileFormat::Unicode);
    return 0;
}
