// RegCommand: "kestoctl reg". Writes from here go through the same store and locking as
// the running utility, so setting "Exit Utility" while it runs is safe.
#include "tools/kestoctl/RegCommand.h"

#include "base/AsciiText.h"
#include "base/LittleEndian.h"
#include "base/Text.h"
#include "registry/RegFile.h"
#include "tools/kestoctl/CommandOutput.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kesto {

namespace {

constexpr std::string_view kHive = "HKEY_LOCAL_MACHINE";

struct FullPath {
    std::string keyPath;   // the whole path below the hive
    std::string parent;    // keyPath without its last component
    std::string last;      // last component (a value name, or the last key name)
    bool namesKey = false; // the hive itself, or written with a trailing backslash
};

std::optional<FullPath> ParseFullPath(std::string_view text)
{
    const auto cut = text.find('\\');
    const auto hive = text.substr(0, cut);
    if (!EqualsNoCase(hive, kHive) && !EqualsNoCase(hive, "HKLM"))
        return std::nullopt;
    FullPath path;
    const auto rest = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
    path.keyPath = std::string(rest);
    path.namesKey = rest.empty() || rest.back() == '\\';
    const auto last = rest.rfind('\\');
    path.parent =
        last == std::string_view::npos ? std::string() : std::string(rest.substr(0, last));
    path.last = std::string(last == std::string_view::npos ? rest : rest.substr(last + 1));
    return path;
}

std::string Display(const FullPath& path)
{
    return std::string(kHive) + (path.keyPath.empty() ? "" : "\\" + path.keyPath);
}

// Decimal (negative numbers as their 32-bit two's complement, the way profile numbers
// are stored) or 0x hexadecimal.
std::optional<std::uint32_t> ParseNumber(std::string_view text)
{
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t n = 0;
        const auto [ptr, ec] = std::from_chars(begin + 2, end, n, 16);
        return ec == std::errc() && ptr == end ? std::optional(n) : std::nullopt;
    }
    std::int64_t n = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, n, 10);
    if (ec != std::errc() || ptr != end || text.empty() || n < INT32_MIN || n > UINT32_MAX)
        return std::nullopt;
    return static_cast<std::uint32_t>(n);
}

std::string HexBytes(const std::vector<std::uint8_t>& data)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = "hex:";
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i)
            out += ',';
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
    }
    return out;
}

bool IsDword(const RegValue& value)
{
    return value.type == RegType::Dword && value.data.size() == 4;
}

// The data alone, for scripts: a text as stored, a number in decimal.
std::string PlainData(const RegValue& value)
{
    if (value.type == RegType::Sz)
        return std::string(value.data.begin(), value.data.end());
    if (IsDword(value))
        return std::to_string(ReadLe32(value.data));
    return HexBytes(value.data);
}

std::string TypeName(const RegValue& value)
{
    switch (value.type) {
    case RegType::Sz:
        return "REG_SZ";
    case RegType::Dword:
        return "REG_DWORD";
    }
    return "type " + std::to_string(static_cast<std::uint32_t>(value.type));
}

std::string ListedData(const RegValue& value)
{
    if (!IsDword(value))
        return PlainData(value);
    char hex[16];
    const auto n = ReadLe32(value.data);
    const auto [end, ec] = std::to_chars(hex, hex + sizeof hex, n, 16);
    (void)ec;
    return "0x" + std::string(hex, end) + " (" + std::to_string(n) + ")";
}

int Usage(CommandContext& context, const std::string& problem)
{
    context.err << "kestoctl: " << TerminalSafe(problem)
                << "\nusage: kestoctl [--registry FILE]\n  " << kRegUsage << "\n";
    return kExitUsage;
}

int Error(CommandContext& context, const std::string& message)
{
    context.err << "kestoctl: " << TerminalSafe(message) << "\n";
    return kExitError;
}

// The store for a command that writes; nullptr (after saying so) when it cannot be
// written at all, before any work is done.
SqliteRegistry* WritableStore(CommandContext& context, const std::string& what)
{
    SqliteRegistry& registry = context.registry();
    if (!registry.readOnly())
        return &registry;
    context.err << "kestoctl: " << TerminalSafe(what + ": " + registry.path())
                << " cannot be written (the store is open for reading only)\n";
    return nullptr;
}

int WriteFailed(CommandContext& context, const std::string& what)
{
    const auto& reason = context.registry().lastError();
    return Error(context, what + (reason.empty() ? std::string() : " (" + reason + ")"));
}

int Query(CommandContext& context, const FullPath& path)
{
    // A read leaves the file exactly as it was.
    auto& registry = context.registry(StoreAccess::ReadOnly);
    if (!path.namesKey) {
        if (const auto value = registry.QueryValue(path.parent, path.last)) {
            context.out << TerminalSafe(PlainData(*value)) << "\n";
            return kExitOk;
        }
    }
    if (!registry.KeyExists(path.keyPath))
        return Error(context, Display(path) + ": no such key or value");
    std::string key = Display(path);
    while (key.size() > kHive.size() && key.back() == '\\')
        key.pop_back();
    context.out << TerminalSafe(key) << "\n";
    for (const auto& [name, value] : registry.Values(path.keyPath))
        context.out << "    " << (name.empty() ? "(Default)" : TerminalSafe(name)) << "    "
                    << TypeName(value) << "    " << TerminalSafe(ListedData(value)) << "\n";
    const auto subKeys = registry.SubKeys(path.keyPath);
    if (!subKeys.empty())
        context.out << "\n";
    for (const auto& sub : subKeys)
        context.out << TerminalSafe(key) << "\\" << TerminalSafe(sub) << "\n";
    return kExitOk;
}

int Set(CommandContext& context, const FullPath& path, const std::vector<std::string>& args)
{
    const bool fromInput = args.size() == 3 && args[2] == "--sz-stdin";
    if (args.size() != 4 && !fromInput)
        return Usage(context, "reg set needs PATH and one of --sz TEXT, --sz-stdin or --dword N");
    if (path.keyPath.empty())
        return Usage(context, "reg set needs a value name after the key");
    RegValue value;
    if (fromInput) {
        // A text that is a secret (a key, a pass phrase) never stands in a process list.
        std::string text;
        if (!std::getline(*context.in, text))
            return Usage(context, "--sz-stdin: nothing to read on standard input");
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        value = RegValue::Text(text);
    } else if (args[2] == "--sz") {
        value = RegValue::Text(args[3]);
    } else if (args[2] == "--dword") {
        const auto n = ParseNumber(args[3]);
        if (!n)
            return Usage(context, "not a 32-bit number: " + args[3]);
        value = RegValue::Number(*n);
    } else {
        return Usage(context, "reg set needs --sz TEXT, --sz-stdin or --dword N, not " + args[2]);
    }
    const std::string key = path.namesKey ? path.keyPath : path.parent;
    const std::string name = path.namesKey ? std::string() : path.last;
    if (!WritableStore(context, Display(path) + ": cannot write the value"))
        return kExitError;
    if (!context.registry().SetValue(key, name, value))
        return WriteFailed(context, Display(path) + ": cannot write the value");
    return kExitOk;
}

int Delete(CommandContext& context, const FullPath& path)
{
    if (!WritableStore(context, Display(path) + ": cannot delete"))
        return kExitError;
    auto& registry = context.registry();
    if (!path.namesKey && registry.QueryValue(path.parent, path.last)) {
        if (!registry.DeleteValue(path.parent, path.last))
            return WriteFailed(context, Display(path) + ": cannot delete the value");
        return kExitOk;
    }
    if (path.keyPath.find_first_not_of('\\') == std::string::npos)
        return Error(context, "the hive itself cannot be deleted");
    if (!registry.KeyExists(path.keyPath))
        return Error(context, Display(path) + ": no such key or value");
    if (!registry.DeleteKey(path.keyPath))
        return WriteFailed(context, Display(path) + ": cannot delete the key");
    return kExitOk;
}

int Export(CommandContext& context, const std::vector<std::string>& args)
{
    RegFileFormat format = RegFileFormat::Unicode;
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--regedit4")
            format = RegFileFormat::Regedit4;
        else
            positional.push_back(args[i]);
    }
    if (positional.empty() || positional.size() > 2)
        return Usage(context, "reg export needs [KEYPATH] FILE");
    std::string keyPath;
    if (positional.size() == 2) {
        const auto path = ParseFullPath(positional[0]);
        if (!path)
            return Usage(context, "a key path begins with HKEY_LOCAL_MACHINE\\: " + positional[0]);
        keyPath = path->keyPath;
    }
    if (positional.back() == "-") {
        // Built whole first, so a refused export writes nothing.
        context.out << ExportRegFile(context.registry(StoreAccess::ReadOnly), keyPath, format)
                    << std::flush;
        return kExitOk;
    }
    WriteRegFile(context.registry(StoreAccess::ReadOnly), keyPath, positional.back(), format);
    return kExitOk;
}

int Import(CommandContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return Usage(context, "reg import needs FILE");
    if (!WritableStore(context, args[1] + ": nothing was imported"))
        return kExitError;
    ImportRegFile(context.registry(), args[1]);
    return kExitOk;
}

} // namespace

int RunRegCommand(CommandContext& context, const std::vector<std::string>& args)
{
    if (args.empty())
        return Usage(context, "reg needs a command");
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h") {
        context.out << "usage: kestoctl [--registry FILE]\n  " << kRegUsage << "\n";
        return kExitOk;
    }
    try {
        if (verb == "export")
            return Export(context, args);
        if (verb == "import")
            return Import(context, args);
        if (verb != "query" && verb != "set" && verb != "delete")
            return Usage(context, "unknown reg command: " + verb);
        if (args.size() < 2)
            return Usage(context, "reg " + verb + " needs PATH");
        const auto path = ParseFullPath(args[1]);
        if (!path)
            return Usage(context, "a path begins with HKEY_LOCAL_MACHINE\\: " + args[1]);
        if (verb == "set")
            return Set(context, *path, args);
        if (args.size() != 2)
            return Usage(context, "reg " + verb + " takes one PATH");
        return verb == "query" ? Query(context, *path) : Delete(context, *path);
    } catch (const RegistryError& error) {
        return Error(context, error.what());
    }
}

} // namespace kesto
