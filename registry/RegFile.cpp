// RegFile: parser and writer of .reg text. The parser reads untrusted files: every read
// is bounds-checked and every malformed line becomes an error with its line number.
#include "registry/RegFile.h"

#include "base/AsciiText.h"
#include "registry/RegistryError.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kesto {

namespace {

constexpr std::string_view kUnicodeHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kHive = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kHiveShort = "HKLM";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Far beyond any store of the utility; refuses to read a wrong multi-gigabyte file.
constexpr off_t kMaxFileSize = 64 * 1024 * 1024;

[[noreturn]] void Fail(std::string_view fileName, int line, const std::string& what)
{
    throw RegistryError(std::string(fileName) + ":" + std::to_string(line) + ": " + what);
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Decodes one UTF-8 sequence at text[pos], strictly (no overlong forms, no surrogates,
// nothing above U+10FFFF). Advances pos; nullopt on a malformed sequence.
std::optional<std::uint32_t> NextCodePoint(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos < length)
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    pos += length;
    return cp;
}

bool IsUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();)
        if (!NextCodePoint(text, pos))
            return false;
    return true;
}

// UTF-16LE (after its byte-order mark) to UTF-8.
std::string DecodeUtf16(std::string_view bytes, std::string_view fileName)
{
    std::string out;
    out.reserve(bytes.size() / 2);
    int line = 1;
    auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        std::uint32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 3 >= bytes.size() || unit(i + 2) < 0xDC00 || unit(i + 2) > 0xDFFF)
                Fail(fileName, line, "invalid UTF-16 text (unpaired surrogate)");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            Fail(fileName, line, "invalid UTF-16 text (unpaired surrogate)");
        }
        if (cp == '\n')
            ++line;
        AppendUtf8(out, cp);
    }
    if (i != bytes.size())
        Fail(fileName, line, "invalid UTF-16 text (odd number of bytes)");
    return out;
}

std::string EncodeUtf16(std::string_view utf8)
{
    std::string out = "\xFF\xFE";
    out.reserve(2 + utf8.size() * 2);
    auto put = [&](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        // The caller has checked the text; a bad byte cannot reach here.
        const std::uint32_t cp = NextCodePoint(utf8, pos).value_or(0xFFFD);
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

// The key path below the hive of "HKEY_LOCAL_MACHINE\..." (or "HKLM\..."), or nullopt
// when the text names another hive.
std::optional<std::string> StripHive(std::string_view path)
{
    const auto cut = path.find('\\');
    const auto hive = path.substr(0, cut);
    if (!EqualsNoCase(hive, kHive) && !EqualsNoCase(hive, kHiveShort))
        return std::nullopt;
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(cut + 1));
}

bool HasKeyComponent(std::string_view keyPath)
{
    return keyPath.find_first_not_of('\\') != std::string_view::npos;
}

std::size_t KeyDepth(std::string_view keyPath)
{
    std::size_t depth = 0;
    bool inName = false;
    for (const char c : keyPath) {
        if (c != '\\' && !inName)
            ++depth;
        inName = c != '\\';
    }
    return depth;
}

class LineParser {
public:
    LineParser(std::string_view fileName, int line) : m_fileName(fileName), m_line(line) {}

    [[noreturn]] void Fail(const std::string& what) const { kesto::Fail(m_fileName, m_line, what); }

    // A quoted text starting at rest[0] == '"', with the escapes \\ and \". Removes it
    // from rest.
    std::string Quoted(std::string_view& rest) const
    {
        std::string text;
        std::size_t i = 1;
        for (;; ++i) {
            if (i >= rest.size())
                Fail("quoted text has no closing \"");
            const char c = rest[i];
            if (c == '"')
                break;
            if (c == '\\') {
                if (i + 1 >= rest.size())
                    Fail("quoted text has no closing \"");
                const char escaped = rest[++i];
                if (escaped != '\\' && escaped != '"')
                    Fail(std::string("unknown escape \\") + escaped +
                         " in quoted text (write \\\\ for a backslash)");
                text += escaped;
            } else {
                text += c;
            }
        }
        rest.remove_prefix(i + 1);
        return text;
    }

    RegFileOperation Value(std::string_view rest, const std::string& keyPath) const
    {
        RegFileOperation op;
        op.keyPath = keyPath;
        op.line = m_line;
        if (rest.front() == '@')
            rest.remove_prefix(1);
        else
            op.name = Quoted(rest);
        rest = TrimLeft(rest);
        if (rest.empty() || rest.front() != '=')
            Fail("expected = after the value name");
        rest = TrimLeft(rest.substr(1));
        rest = TrimRight(rest);
        constexpr std::string_view kDword = "dword:";
        if (!rest.empty() && rest.front() == '"') {
            op.kind = RegFileOperation::Kind::SetValue;
            op.value = RegValue::Text(Quoted(rest));
            if (!TrimLeft(rest).empty())
                Fail("unexpected text after the closing \"");
        } else if (rest == "-") {
            op.kind = RegFileOperation::Kind::DeleteValue;
        } else if (rest.size() >= kDword.size() && EqualsNoCase(rest.substr(0, 6), kDword)) {
            op.kind = RegFileOperation::Kind::SetValue;
            op.value = RegValue::Number(Dword(rest.substr(kDword.size())));
        } else if (rest.size() >= 3 && EqualsNoCase(rest.substr(0, 3), "hex")) {
            Fail("binary (hex) values are not supported; the store holds text and dword "
                 "values only");
        } else {
            Fail("value must be \"text\", dword:XXXXXXXX or -");
        }
        return op;
    }

private:
    std::uint32_t Dword(std::string_view digits) const
    {
        if (digits.empty() || digits.size() > 8)
            Fail("dword value needs 1 to 8 hexadecimal digits");
        std::uint32_t n = 0;
        for (const char c : digits) {
            const int d = HexDigitValue(c);
            if (d < 0)
                Fail("dword value needs 1 to 8 hexadecimal digits");
            n = (n << 4) | static_cast<std::uint32_t>(d);
        }
        return n;
    }

    std::string_view m_fileName;
    int m_line;
};

std::string Escape(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// keyPath with each component in its stored spelling; nullopt when the key is missing.
std::optional<std::string> StoredSpelling(Registry& registry, std::string_view keyPath)
{
    std::string path;
    while (!keyPath.empty()) {
        const auto cut = keyPath.find('\\');
        const auto part = keyPath.substr(0, cut);
        keyPath = cut == std::string_view::npos ? std::string_view() : keyPath.substr(cut + 1);
        if (part.empty())
            continue;
        std::optional<std::string> found;
        for (auto& sub : registry.SubKeys(path))
            if (EqualsNoCase(sub, part))
                found = std::move(sub);
        if (!found)
            return std::nullopt;
        path += path.empty() ? *found : "\\" + *found;
    }
    return path;
}

std::string ValueLine(const std::string& keyPath, const std::string& name, const RegValue& value)
{
    const auto where = [&] {
        return "value " + (name.empty() ? std::string("@") : Escape(name)) + " of " +
               std::string(kHive) + (keyPath.empty() ? "" : "\\" + keyPath);
    };
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        throw RegistryError(where() + ": a name with a line break or NUL cannot be exported");
    std::string line = (name.empty() ? std::string("@") : Escape(name)) + "=";
    switch (value.type) {
    case RegType::Sz: {
        const std::string_view text(reinterpret_cast<const char*>(value.data.data()),
                                    value.data.size());
        if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
            throw RegistryError(where() + ": a text with a line break or NUL cannot be exported");
        return line + Escape(text);
    }
    case RegType::Dword: {
        if (value.data.size() != 4)
            throw RegistryError(where() + ": a number that is not 4 bytes long cannot be exported");
        static constexpr char kDigits[] = "0123456789abcdef";
        line += "dword:";
        for (int byte = 3; byte >= 0; --byte) {
            line += kDigits[value.data[static_cast<std::size_t>(byte)] >> 4];
            line += kDigits[value.data[static_cast<std::size_t>(byte)] & 0xF];
        }
        return line;
    }
    }
    throw RegistryError(where() + ": type " +
                        std::to_string(static_cast<std::uint32_t>(value.type)) +
                        " cannot be exported");
}

} // namespace

std::vector<RegFileOperation> ParseRegFile(std::string_view bytes, std::string_view fileName)
{
    std::string decoded;
    std::string_view text = bytes;
    bool wasUtf16 = false;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        decoded = DecodeUtf16(bytes.substr(2), fileName);
        text = decoded;
        wasUtf16 = true;
    } else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
        Fail(fileName, 1, "UTF-16 big-endian text is not supported; save it as UTF-16LE");
    } else if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }

    std::vector<RegFileOperation> operations;
    std::optional<std::string> currentKey; // none before the first key and after [-key]
    bool unicode = false;
    int lineNumber = 0;
    while (!text.empty() || lineNumber == 0) {
        const auto end = text.find('\n');
        const auto raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        const LineParser parser(fileName, lineNumber);
        const auto line = TrimRight(TrimLeft(raw));

        if (lineNumber == 1) {
            if (line == kUnicodeHeader)
                unicode = true;
            else if (line != kRegedit4Header)
                parser.Fail("not a registry file: the first line must be \"" +
                            std::string(kUnicodeHeader) + "\" or \"" +
                            std::string(kRegedit4Header) + "\"");
            continue;
        }
        // The store keeps UTF-8; an 8-bit file under the Unicode header would otherwise
        // put bytes of some other code page into it unnoticed.
        if (unicode && !wasUtf16 && !IsUtf8(line))
            parser.Fail("text is not valid UTF-8 (save the file as UTF-8 or UTF-16, or use "
                        "the REGEDIT4 header for 8-bit text)");
        if (line.empty() || line.front() == ';')
            continue;

        if (line.front() == '[') {
            if (line.back() != ']')
                parser.Fail("key line must end with ]");
            auto inner = line.substr(1, line.size() - 2);
            const bool remove = !inner.empty() && inner.front() == '-';
            if (remove)
                inner.remove_prefix(1);
            auto keyPath = StripHive(inner);
            if (!keyPath)
                parser.Fail("key must begin with HKEY_LOCAL_MACHINE: " + std::string(inner));
            if (KeyDepth(*keyPath) > kMaxRegKeyDepth)
                parser.Fail("key is nested deeper than " + std::to_string(kMaxRegKeyDepth) +
                            " levels");
            RegFileOperation op;
            op.line = lineNumber;
            op.keyPath = *keyPath;
            if (remove) {
                if (!HasKeyComponent(*keyPath))
                    parser.Fail("the whole HKEY_LOCAL_MACHINE hive cannot be deleted");
                op.kind = RegFileOperation::Kind::DeleteKey;
                currentKey.reset();
            } else {
                op.kind = RegFileOperation::Kind::CreateKey;
                currentKey = *keyPath;
            }
            operations.push_back(std::move(op));
        } else if (line.front() == '"' || line.front() == '@') {
            if (!currentKey)
                parser.Fail("value line outside a key (a [HKEY_LOCAL_MACHINE\\...] line "
                            "must come first)");
            operations.push_back(parser.Value(line, *currentKey));
        } else {
            parser.Fail("expected a [key] line, a value line or a ;comment");
        }
    }
    return operations;
}

void ApplyRegFile(Registry& registry, const std::vector<RegFileOperation>& operations,
                  std::string_view fileName)
{
    const bool committed = registry.RunInTransaction([&] {
        for (const auto& op : operations) {
            bool ok = true;
            switch (op.kind) {
            case RegFileOperation::Kind::CreateKey:
                ok = registry.CreateKey(op.keyPath);
                break;
            case RegFileOperation::Kind::DeleteKey:
                ok = !registry.KeyExists(op.keyPath) || registry.DeleteKey(op.keyPath);
                break;
            case RegFileOperation::Kind::SetValue:
                ok = registry.SetValue(op.keyPath, op.name, op.value);
                break;
            case RegFileOperation::Kind::DeleteValue:
                ok = !registry.QueryValue(op.keyPath, op.name) ||
                     registry.DeleteValue(op.keyPath, op.name);
                break;
            }
            if (!ok)
                Fail(fileName, op.line,
                     "the registry store refused the write; nothing was imported");
        }
    });
    if (!committed)
        throw RegistryError(
            std::string(fileName) +
            ": the registry store could not commit the import; nothing was imported");
}

std::string ExportRegFile(Registry& registry, std::string_view keyPath, RegFileFormat format)
{
    const auto top = StoredSpelling(registry, keyPath);
    if (!top || !registry.KeyExists(*top))
        throw RegistryError(std::string(kHive) + "\\" + std::string(keyPath) + ": no such key");

    std::string text;
    switch (format) {
    case RegFileFormat::Unicode:
        text = std::string(kUnicodeHeader) + "\r\n\r\n";
        break;
    case RegFileFormat::Regedit4:
        text = std::string(kRegedit4Header) + "\r\n\r\n";
        break;
    }
    // One walk of the tree: the store finds each key once instead of by its path from
    // the root, so a deep tree costs no more than the text it becomes.
    registry.WalkTree(*top, [&](const std::string& key, const auto& values) {
        const std::string keyLine =
            "[" + std::string(kHive) + (key.empty() ? "" : "\\" + key) + "]";
        if (keyLine.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            throw RegistryError(keyLine +
                                ": a key name with a line break or NUL cannot be exported");
        if (format == RegFileFormat::Unicode && !IsUtf8(keyLine))
            throw RegistryError(keyLine + ": the key name is not UTF-8 text; export it with the "
                                          "REGEDIT4 format instead");
        text += keyLine + "\r\n";
        for (const auto& [name, value] : values) {
            const std::string line = ValueLine(key, name, value);
            if (format == RegFileFormat::Unicode && !IsUtf8(line))
                throw RegistryError(keyLine + " " + line +
                                    ": not UTF-8 text; export it with the REGEDIT4 format instead");
            text += line + "\r\n";
        }
        text += "\r\n";
    });

    switch (format) {
    case RegFileFormat::Unicode:
        return EncodeUtf16(text);
    case RegFileFormat::Regedit4:
        return text;
    }
    return text;
}

namespace {

// What a path names when it is not a plain file, in the words of a message.
std::string KindOfFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    return "not a regular file";
}

// The whole file. Opened without waiting (a named pipe would block the open until some
// writer came) and checked by its descriptor, so what is read is what was checked.
std::string ReadRegularFile(const std::string& filePath)
{
    const int fd = ::open(filePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw RegistryError(filePath + ": cannot open the file (" + std::strerror(errno) + ")");
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw RegistryError(filePath + ": cannot read the file (" + std::strerror(errno) + ")");
    if (!S_ISREG(info.st_mode))
        throw RegistryError(filePath + ": is " + KindOfFile(info.st_mode) +
                            ", not a registry file");
    if (info.st_size > kMaxFileSize)
        throw RegistryError(filePath + ": file is too large for a registry file");
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw RegistryError(filePath + ": cannot read the file (" + std::strerror(errno) + ")");
        if (got == 0)
            break;
        // A file that grows while it is read stops at the limit too.
        if (bytes.size() + static_cast<std::size_t>(got) > static_cast<std::size_t>(kMaxFileSize))
            throw RegistryError(filePath + ": file is too large for a registry file");
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

} // namespace

std::size_t ImportRegFile(Registry& registry, const std::string& filePath)
{
    const std::string bytes = ReadRegularFile(filePath);
    const auto operations = ParseRegFile(bytes, filePath);
    ApplyRegFile(registry, operations, filePath);
    return operations.size();
}

void WriteRegFile(Registry& registry, std::string_view keyPath, const std::string& filePath,
                  RegFileFormat format)
{
    // Built completely first: a refused export leaves an existing file untouched.
    const std::string text = ExportRegFile(registry, keyPath, format);
    // The text holds network keys. A link planted where the file goes would send them
    // wherever it points: refused. The text goes into a new private file beside the
    // target, which then takes the target's place whole (a rename replaces the name, never
    // writes through it), so no reader ever sees a half-written or readable file.
    // A rename would put a regular file in the place of a device or a named pipe (as root,
    // /dev/null itself): only a regular file is ever replaced.
    struct stat info {};
    if (::lstat(filePath.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode))
            throw RegistryError(filePath + ": is a symbolic link; an export is never written "
                                           "through one");
        if (!S_ISREG(info.st_mode))
            throw RegistryError(filePath + ": is " + KindOfFile(info.st_mode) +
                                "; an export replaces only a regular file");
    }
    const auto slash = filePath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : filePath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? filePath : filePath.substr(slash + 1);
    std::string temporary = folder + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        throw RegistryError(filePath + ": cannot write the file (" + std::strerror(errno) + ")");
    const auto failed = [&](int error) {
        ::unlink(temporary.c_str());
        return RegistryError(filePath + ": cannot write the file (" + std::strerror(error) + ")");
    };
    // fchmod: exactly 0600 whatever the umask.
    if (::fchmod(fd, 0600) != 0 || !WriteAll(fd, text) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        throw failed(error);
    }
    if (::close(fd) != 0 || ::rename(temporary.c_str(), filePath.c_str()) != 0)
        throw failed(errno);
}

} // namespace kesto
