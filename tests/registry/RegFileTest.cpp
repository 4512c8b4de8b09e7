// .reg export and import: round trips through both headers, the exact text written,
// and malformed files reported by line with nothing written.
#include "registry/RegFile.h"
#include "registry/RegistryError.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/RecordingRegistry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace kesto {
namespace {

std::string Utf16(std::string_view ascii)
{
    std::string out = "\xFF\xFE";
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

void Fill(Registry& r)
{
    r.SetValue("Software\\Corvane", "Path", RegValue::Text("C:\\Programme\\\"Kesto\""));
    r.SetValue("Software\\Corvane", "", RegValue::Text("Standard"));
    r.SetValue("Software\\Corvane", "Grüße", RegValue::Text("Schön; [kein] Schlüssel"));
    r.SetValue("Software\\Corvane\\Profile\\Office", "Channel", RegValue::Number(0xFFFFFFF5));
    r.SetValue("Software\\Corvane\\Profile\\Office", "Authentication Mode", RegValue::Number(1));
    r.SetValue("Software\\Corvane\\Profile\\Office", "SSID", RegValue::Text(""));
    r.SetValue("Software\\Corvane\\Profile\\Office", "ServerName",
               RegValue::Text("radius.corvane.example"));
    r.SetValue("Software\\Corvane\\Profile\\Office", "SaeSeen", RegValue::Number(1));
    r.CreateKey("Software\\Corvane\\Empty");
}

class RegFileFormatTest : public testing::TestWithParam<RegFileFormat> {};

TEST_P(RegFileFormatTest, ExportThenImportReproducesTheStore)
{
    SqliteRegistry source(":memory:");
    Fill(source);
    const std::string text = ExportRegFile(source, "software", GetParam());

    SqliteRegistry target(":memory:");
    ApplyRegFile(target, ParseRegFile(text, "x.reg"), "x.reg");
    EXPECT_EQ(ExportRegFile(target, "Software", GetParam()), text);
    EXPECT_EQ(target.QueryValue("Software\\Corvane", "Grüße"),
              RegValue::Text("Schön; [kein] Schlüssel"));
    EXPECT_EQ(target.QueryValue("Software\\Corvane", "Path"),
              source.QueryValue("Software\\Corvane", "Path"));
}

INSTANTIATE_TEST_SUITE_P(Formats, RegFileFormatTest,
                         testing::Values(RegFileFormat::Unicode, RegFileFormat::Regedit4),
                         [](const auto& param) {
                             return param.param == RegFileFormat::Unicode ? "Unicode" : "Regedit4";
                         });

// The exported text holds network keys: its file is its owner's alone whatever the umask,
// replaces what was there whole, and is never written through a planted link.
TEST(RegFileTest, ExportFileIsPrivateAndNeverWrittenThroughALink)
{
    test::TempDir dir;
    SqliteRegistry source(":memory:");
    Fill(source);
    const mode_t umaskBefore = ::umask(022);
    const auto path = dir.write("out.reg", "old text, readable by all").string();
    ::chmod(path.c_str(), 0644);
    WriteRegFile(source, "Software", path, RegFileFormat::Regedit4);
    struct stat info {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_TRUE(S_ISREG(info.st_mode));

    const auto target = dir.write("elsewhere.txt", "not to be touched").string();
    const auto link = dir.file("link.reg").string();
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    try {
        WriteRegFile(source, "Software", link, RegFileFormat::Regedit4);
        ADD_FAILURE() << "wrote through the link";
    } catch (const RegistryError& e) {
        EXPECT_NE(std::string(e.what()).find("symbolic link"), std::string::npos) << e.what();
    }
    ::umask(umaskBefore);
    EXPECT_EQ(ExportRegFile(source, "Software", RegFileFormat::Regedit4).size(),
              static_cast<std::size_t>(info.st_size));
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 3u) << "no temporary file is left";
    struct stat kept {};
    ASSERT_EQ(::stat(target.c_str(), &kept), 0);
    EXPECT_EQ(kept.st_size, 17);
}

TEST(RegFileTest, WritesTheEditorsTextExactly)
{
    SqliteRegistry registry(":memory:");
    registry.SetValue("A", "q\"b\\", RegValue::Text("x\\\"y"));
    registry.SetValue("A", "", RegValue::Number(10));
    registry.CreateKey("a\\Sub");
    const std::string text = "[HKEY_LOCAL_MACHINE\\A]\r\n"
                             "@=dword:0000000a\r\n"
                             "\"q\\\"b\\\\\"=\"x\\\\\\\"y\"\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\A\\Sub]\r\n"
                             "\r\n";
    EXPECT_EQ(ExportRegFile(registry, "a", RegFileFormat::Regedit4), "REGEDIT4\r\n\r\n" + text);
    EXPECT_EQ(ExportRegFile(registry, "A", RegFileFormat::Unicode),
              Utf16("Windows Registry Editor Version 5.00\r\n\r\n" + text));
}

TEST(RegFileTest, TextEncodingsOfEachHeader)
{
    // "ä" as UTF-16LE, as UTF-8, and as one 8-bit byte kept as it is.
    const std::string key = "[HKEY_LOCAL_MACHINE\\K]\r\n\"v\"=\"";
    const std::pair<std::string, std::string> cases[] = {
        {Utf16("Windows Registry Editor Version 5.00\r\n" + key).append("\xE4\0\"\0", 4),
         "\xC3\xA4"},
        {"Windows Registry Editor Version 5.00\n" + key + "\xC3\xA4\"", "\xC3\xA4"},
        {"\xEF\xBB\xBFWindows Registry Editor Version 5.00\n" + key + "\xC3\xA4\"", "\xC3\xA4"},
        {"REGEDIT4\r\n" + key + "\xE4\"", "\xE4"},
        {Utf16("Windows Registry Editor Version 5.00\r\n" + key).append("\x3D\xD8\x00\xDE\"\0", 6),
         "\xF0\x9F\x98\x80"}, // a surrogate pair
    };
    for (const auto& [file, stored] : cases) {
        SqliteRegistry registry(":memory:");
        ApplyRegFile(registry, ParseRegFile(file, "t.reg"), "t.reg");
        EXPECT_EQ(registry.QueryValue("K", "v"), RegValue::Text(stored));
    }
    // 8-bit text cannot become UTF-16 without knowing its code page: refused, not garbled.
    SqliteRegistry latin(":memory:");
    latin.SetValue("K", "v", RegValue::Text("\xE4"));
    EXPECT_THROW(ExportRegFile(latin, "K", RegFileFormat::Unicode), RegistryError);
    EXPECT_EQ(ExportRegFile(latin, "K", RegFileFormat::Regedit4),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"v\"=\"\xE4\"\r\n\r\n");
}

TEST(RegFileTest, DeletionsAndHiveSpellings)
{
    SqliteRegistry registry(":memory:");
    Fill(registry);
    const std::string file = "REGEDIT4\n"
                             "; comment\n"
                             "[-HKEY_LOCAL_MACHINE\\Software\\Corvane\\Profile]\n"
                             "[-HKEY_LOCAL_MACHINE\\Never\\There]\n"
                             "[hklm\\software\\corvane]\n"
                             "  \"path\"=-\n"
                             "\"absent\"=-\n"
                             "@=-\n"
                             "\"n\" = dword:FFFFFFFF  \n";
    ApplyRegFile(registry, ParseRegFile(file, "d.reg"), "d.reg");
    EXPECT_EQ(registry.SubKeys("Software\\Corvane"), std::vector<std::string>{"Empty"});
    EXPECT_FALSE(registry.QueryValue("Software\\Corvane", "Path"));
    EXPECT_FALSE(registry.QueryValue("Software\\Corvane", ""));
    EXPECT_EQ(registry.QueryValue("Software\\Corvane", "n"), RegValue::Number(0xFFFFFFFF));
}

struct Malformed {
    std::string file;
    int line;
    const char* message;
};

TEST(RegFileTest, MalformedFilesNameTheLineAndWriteNothing)
{
    const std::string head = "Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\K]\r\n";
    const Malformed cases[] = {
        {"", 1, "first line must be"},
        {"REGEDIT5\n", 1, "first line must be"},
        {"REGEDIT4\n\"v\"=\"x\"\n", 2, "outside a key"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n[-HKLM\\K]\n\"v\"=\"x\"\n", 4, "outside a key"},
        {head + "\"v\"=\"x\r\n", 3, "no closing"},
        {head + "\"v\"=\"x\\\r\n", 3, "no closing"},
        {head + "\"v\"=\"a\\nb\"\r\n", 3, "unknown escape"},
        {head + "\"v\"=dword:123456789\r\n", 3, "1 to 8 hexadecimal"},
        {head + "\"v\"=dword:12g4\r\n", 3, "1 to 8 hexadecimal"},
        {head + "\"v\"=dword:\r\n", 3, "1 to 8 hexadecimal"},
        {head + "\"v\"=hex:01,02\r\n", 3, "not supported"},
        {head + "\"v\"=hex(2):41,00\r\n", 3, "not supported"},
        {head + "\"v\"\"x\"\r\n", 3, "expected ="},
        {head + "\"v\"=\"x\" trailing\r\n", 3, "after the closing"},
        {head + "\"v\"=42\r\n", 3, "value must be"},
        {head + "v=\"x\"\r\n", 3, "expected a [key] line"},
        {head + "[HKEY_LOCAL_MACHINE\\K\r\n", 3, "must end with ]"},
        {head + "[HKEY_CURRENT_USER\\K]\r\n", 3, "must begin with HKEY_LOCAL_MACHINE"},
        {head + "[-HKEY_LOCAL_MACHINE]\r\n", 3, "whole HKEY_LOCAL_MACHINE"},
        {head + "\"v\"=\"\xC3\x28\"\r\n", 3, "not valid UTF-8"},
        {Utf16(head + "\"v\"=\"x\"\r\n") + std::string(1, '\0'), 4, "odd number of bytes"},
        {Utf16(head + "\"v\"=\"").append("\x00\xD8\"\0", 4), 3, "unpaired surrogate"},
        {"\xFE\xFF", 1, "big-endian"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SqliteRegistry registry(":memory:");
        registry.SetValue("K", "v", RegValue::Text("kept"));
        try {
            const auto operations = ParseRegFile(c.file, "bad.reg");
            ApplyRegFile(registry, operations, "bad.reg");
            ADD_FAILURE() << "accepted";
        } catch (const RegistryError& e) {
            const std::string prefix = "bad.reg:" + std::to_string(c.line) + ": ";
            EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(registry.Values("K"),
                  (std::vector<std::pair<std::string, RegValue>>{{"v", RegValue::Text("kept")}}));
        EXPECT_EQ(registry.SubKeys("").size(), 1u);
    }
}

// Refuses the write of one value name, as a full disk would.
class RefusingRegistry : public test::RecordingRegistry {
public:
    using RecordingRegistry::RecordingRegistry;
    bool SetValue(std::string_view key, std::string_view name, const RegValue& value) override
    {
        return name != "refused" && RecordingRegistry::SetValue(key, name, value);
    }
};

TEST(RegFileTest, ImportIsAllOrNothingWhenTheStoreRefusesAWrite)
{
    SqliteRegistry registry(":memory:");
    RefusingRegistry refusing(registry);
    const std::string file = "REGEDIT4\n[HKLM\\New]\n\"a\"=\"1\"\n\"refused\"=\"2\"\n\"c\"=\"3\"\n";
    try {
        ApplyRegFile(refusing, ParseRegFile(file, "r.reg"), "r.reg");
        ADD_FAILURE() << "accepted";
    } catch (const RegistryError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 8), "r.reg:4:");
    }
    EXPECT_FALSE(registry.KeyExists("New"));
}

TEST(RegFileTest, ExportRefusesWhatTheFormatCannotCarry)
{
    const std::pair<const char*, RegValue> cases[] = {
        {"line break", RegValue::Text("a\nb")},
        {"nul", RegValue{RegType::Sz, {'a', 0}}},
        {"short number", RegValue{RegType::Dword, {1}}},
        {"other type", RegValue{static_cast<RegType>(3), {1, 2}}},
    };
    for (const auto& [what, value] : cases) {
        SqliteRegistry registry(":memory:");
        registry.SetValue("K", "v", value);
        EXPECT_THROW(ExportRegFile(registry, "K", RegFileFormat::Regedit4), RegistryError) << what;
    }
    SqliteRegistry registry(":memory:");
    EXPECT_THROW(ExportRegFile(registry, "Missing", RegFileFormat::Unicode), RegistryError);
}

// Counts how many key names the store is asked to find: every call naming a path makes
// it walk that path from the root.
class LookupCountingRegistry : public test::RecordingRegistry {
public:
    using RecordingRegistry::RecordingRegistry;
    std::size_t names = 0;

    bool KeyExists(std::string_view keyPath) override
    {
        names += Depth(keyPath);
        return RecordingRegistry::KeyExists(keyPath);
    }
    std::vector<std::string> SubKeys(std::string_view keyPath) override
    {
        names += Depth(keyPath);
        return RecordingRegistry::SubKeys(keyPath);
    }
    std::vector<std::pair<std::string, RegValue>> Values(std::string_view keyPath) override
    {
        names += Depth(keyPath);
        return RecordingRegistry::Values(keyPath);
    }
    bool WalkTree(std::string_view keyPath, const KeyVisitor& visit) override
    {
        names += Depth(keyPath);
        return RecordingRegistry::WalkTree(keyPath, visit);
    }

private:
    static std::size_t Depth(std::string_view path)
    {
        return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) + 1;
    }
};

std::string Chain(std::size_t depth)
{
    std::string path = "Tief";
    for (std::size_t i = 1; i < depth; ++i)
        path += "\\k";
    return path;
}

TEST(RegFileTest, ExportOfADeepTreeFindsEachKeyOnce)
{
    constexpr std::size_t kDepth = kMaxRegKeyDepth;
    SqliteRegistry store(":memory:");
    ASSERT_TRUE(store.SetValue(Chain(kDepth), "Ende", RegValue::Number(7)));
    ASSERT_TRUE(store.SetValue(Chain(kDepth / 2), "Mitte", RegValue::Text("m")));
    LookupCountingRegistry counting(store);
    const std::string text = ExportRegFile(counting, "Tief", RegFileFormat::Regedit4);
    // The top key is spelt out once; then no key is looked up from the root again.
    EXPECT_LE(counting.names, 8u);

    SqliteRegistry copy(":memory:");
    ApplyRegFile(copy, ParseRegFile(text, "tief.reg"), "tief.reg");
    EXPECT_EQ(copy.QueryValue(Chain(kDepth), "Ende"), RegValue::Number(7));
    EXPECT_EQ(copy.QueryValue(Chain(kDepth / 2), "Mitte"), RegValue::Text("m"));
    EXPECT_EQ(ExportRegFile(copy, "Tief", RegFileFormat::Regedit4), text);
}

TEST(RegFileTest, KeysNestedDeeperThanTheLimitAreRefusedWithTheirLine)
{
    const std::string deepest = "REGEDIT4\n[HKLM\\" + Chain(kMaxRegKeyDepth) + "]\n";
    EXPECT_EQ(ParseRegFile(deepest, "ok.reg").size(), 1u);
    const std::string tooDeep = "REGEDIT4\n\n[HKLM\\" + Chain(kMaxRegKeyDepth + 1) + "\\]\n";
    try {
        ParseRegFile(tooDeep, "tief.reg");
        FAIL() << "accepted";
    } catch (const RegistryError& e) {
        EXPECT_NE(std::string(e.what()).find("tief.reg:3: key is nested deeper than 512 levels"),
                  std::string::npos)
            << e.what();
    }
}

struct NotAFile {
    const char* name;
    std::function<std::string(const test::TempDir&)> make; // returns the path
    const char* message;
};

void PrintTo(const NotAFile& n, std::ostream* os)
{
    *os << n.name;
}

class ImportOfNotAFileTest : public testing::TestWithParam<NotAFile> {};

// Refused at once with what it is: a named pipe without a writer used to block the
// import for ever.
TEST_P(ImportOfNotAFileTest, IsRefusedWithWhatItIs)
{
    test::TempDir dir;
    const std::string path = GetParam().make(dir);
    SqliteRegistry registry(":memory:");
    try {
        ImportRegFile(registry, path);
        FAIL() << "imported";
    } catch (const RegistryError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": " + GetParam().message);
    }
    EXPECT_TRUE(registry.SubKeys("").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ImportOfNotAFileTest,
    testing::Values(NotAFile{"Directory", [](const test::TempDir& d) { return d.path().string(); },
                             "is a directory, not a registry file"},
                    NotAFile{"NamedPipe",
                             [](const test::TempDir& d) {
                                 const auto path = d.file("pipe.reg").string();
                                 mkfifo(path.c_str(), 0600);
                                 return path;
                             },
                             "is a named pipe, not a registry file"},
                    NotAFile{"Device",
                             [](const test::TempDir&) { return std::string("/dev/null"); },
                             "is a character device, not a registry file"},
                    NotAFile{"Missing",
                             [](const test::TempDir& d) { return d.file("fehlt.reg").string(); },
                             "cannot open the file (No such file or directory)"}),
    [](const testing::TestParamInfo<NotAFile>& p) { return std::string(p.param.name); });

} // namespace
} // namespace kesto
