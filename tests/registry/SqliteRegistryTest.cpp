// The Registry contract of the SQLite store, the files it refuses, and two connections
// writing one store.
#include "registry/SqliteRegistry.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kesto {
namespace {

using Names = std::vector<std::string>;

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

unsigned Mode(const std::filesystem::path& path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

Names ValueNames(Registry& r, std::string_view key)
{
    Names names;
    for (const auto& [name, value] : r.Values(key))
        names.push_back(name);
    return names;
}

class SqliteRegistryTest : public testing::Test {
protected:
    SqliteRegistry registry{":memory:"};
};

TEST_F(SqliteRegistryTest, NamesCompareCaseInsensitivelyAndKeepTheirFirstSpelling)
{
    ASSERT_TRUE(registry.CreateKey("Software\\Corvane"));
    EXPECT_TRUE(registry.KeyExists("SOFTWARE\\corvane"));
    ASSERT_TRUE(registry.SetValue("software\\CORVANE", "Mode", RegValue::Text("a")));
    ASSERT_TRUE(registry.SetValue("Software\\Corvane", "MODE", RegValue::Text("b")));
    EXPECT_EQ(registry.SubKeys(""), Names{"Software"});
    EXPECT_EQ(registry.SubKeys("software"), Names{"Corvane"});
    EXPECT_EQ(ValueNames(registry, "Software\\Corvane"), Names{"Mode"});
    EXPECT_EQ(registry.QueryValue("Software\\Corvane", "mode"), RegValue::Text("b"));
    // Only ASCII letters fold; other UTF-8 names are compared byte for byte.
    registry.CreateKey("Ä");
    registry.CreateKey("ä");
    EXPECT_EQ(registry.SubKeys("").size(), 3u);
}

TEST_F(SqliteRegistryTest, EmptyPathComponentsAreIgnored)
{
    registry.SetValue("A\\B", "v", RegValue::Number(1));
    for (const char* path : {"A\\B", "A\\B\\", "\\A\\\\B", "a\\\\b\\\\"})
        EXPECT_EQ(registry.QueryValue(path, "v"), RegValue::Number(1)) << path;
    EXPECT_EQ(registry.SubKeys("\\"), Names{"A"});
}

TEST_F(SqliteRegistryTest, ValuesKeepTypeAndBytesExactly)
{
    const std::pair<const char*, RegValue> cases[] = {
        {"", RegValue::Text("default value")},
        {"empty", RegValue::Text("")},
        {"dword", RegValue::Number(0xA1B2C3D4)},
        {"nul inside", RegValue{RegType::Sz, {'a', 0, 'b'}}},
        {"umlaut", RegValue::Text("Grüße")},
        {"odd type", RegValue{static_cast<RegType>(3), {0, 255}}},
    };
    for (const auto& [name, value] : cases)
        ASSERT_TRUE(registry.SetValue("K", name, value)) << name;
    for (const auto& [name, value] : cases)
        EXPECT_EQ(registry.QueryValue("K", name), value) << name;
    EXPECT_EQ(ValueNames(registry, "K"),
              (Names{"", "dword", "empty", "nul inside", "odd type", "umlaut"}));
}

TEST_F(SqliteRegistryTest, SubKeysAreSortedIgnoringCase)
{
    for (const char* name : {"b", "A", "c", "B2"})
        registry.CreateKey(std::string("P\\") + name);
    EXPECT_EQ(registry.SubKeys("P"), (Names{"A", "b", "B2", "c"}));
    EXPECT_TRUE(registry.SubKeys("Missing").empty());
    EXPECT_TRUE(registry.Values("Missing").empty());
}

TEST_F(SqliteRegistryTest, DeleteKeyTakesEverythingBelowAndNothingElse)
{
    registry.SetValue("A\\B\\C", "deep", RegValue::Number(1));
    registry.SetValue("A\\B", "mid", RegValue::Number(2));
    registry.SetValue("A\\Bx", "sibling", RegValue::Number(3));
    registry.SetValue("A", "top", RegValue::Number(4));

    EXPECT_TRUE(registry.DeleteKey("a\\b"));
    EXPECT_FALSE(registry.KeyExists("A\\B"));
    EXPECT_FALSE(registry.KeyExists("A\\B\\C"));
    EXPECT_EQ(registry.SubKeys("A"), Names{"Bx"});
    EXPECT_EQ(registry.QueryValue("A", "top"), RegValue::Number(4));
    // A key made again under the same name starts empty.
    registry.CreateKey("A\\B\\C");
    EXPECT_TRUE(registry.Values("A\\B").empty());
    EXPECT_TRUE(registry.Values("A\\B\\C").empty());

    EXPECT_FALSE(registry.DeleteKey("Missing"));
    EXPECT_FALSE(registry.DeleteKey(""));
    EXPECT_FALSE(registry.DeleteKey("\\\\"));
    EXPECT_FALSE(registry.DeleteValue("A", "absent"));
    EXPECT_FALSE(registry.DeleteValue("Missing", "top"));
    EXPECT_TRUE(registry.DeleteValue("A", "TOP"));
    EXPECT_FALSE(registry.QueryValue("A", "top"));
}

TEST_F(SqliteRegistryTest, TransactionsAreAllOrNothingAndNestedOnesJoin)
{
    // An exception rolls everything back, including a nested call's writes.
    EXPECT_THROW(registry.RunInTransaction([&] {
        registry.SetValue("T", "a", RegValue::Number(1));
        registry.RunInTransaction([&] { registry.SetValue("T", "b", RegValue::Number(2)); });
        throw std::runtime_error("abandon");
    }),
                 std::runtime_error);
    EXPECT_FALSE(registry.KeyExists("T"));

    // An inner failure that the outer body handles drops only the inner writes.
    EXPECT_TRUE(registry.RunInTransaction([&] {
        registry.SetValue("T", "a", RegValue::Number(1));
        try {
            registry.RunInTransaction([&] {
                registry.SetValue("T", "b", RegValue::Number(2));
                throw std::runtime_error("inner");
            });
        } catch (const std::runtime_error&) {
        }
        registry.SetValue("T", "c", RegValue::Number(3));
    }));
    EXPECT_EQ(ValueNames(registry, "T"), (Names{"a", "c"}));
}

TEST(SqliteRegistryFileTest, FreshFileIsPrivateAndKeepsItsContent)
{
    test::TempDir dir;
    const auto path = dir.file("new.db").string();
    {
        SqliteRegistry registry(path);
        registry.SetValue("K", "v", RegValue::Text("secret key"));
    }
    EXPECT_EQ(Mode(path), 0600u);
    SqliteRegistry again(path);
    EXPECT_EQ(again.QueryValue("K", "v"), RegValue::Text("secret key"));

    const auto empty = dir.write("empty.db", "").string();
    SqliteRegistry fromEmpty(empty);
    EXPECT_TRUE(fromEmpty.SetValue("K", "v", RegValue::Number(1)));
}

// The process's umask for the life of the object.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_before(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_before); }

private:
    mode_t m_before;
};

// XDG_CONFIG_HOME for the life of the object.
class ScopedConfigHome {
public:
    explicit ScopedConfigHome(const std::filesystem::path& dir)
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_saved = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    ~ScopedConfigHome()
    {
        if (m_saved)
            setenv("XDG_CONFIG_HOME", m_saved->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

private:
    std::optional<std::string> m_saved;
};

// A first start under the usual umask 022, and under one that would take the owner's
// own bits: the folder and every file of the store are the user's alone, the
// write-ahead log and its index included.
TEST(SqliteRegistryFileTest, FirstStartMakesAPrivateFolderAndPrivateFiles)
{
    test::TempDir dir;
    const auto folder = dir.path() / "config" / "kesto";
    std::string path;
    for (const mode_t mask : {mode_t{022}, mode_t{0277}}) {
        SCOPED_TRACE(mask);
        std::filesystem::remove_all(dir.path() / "config");
        std::filesystem::create_directory(dir.path() / "config");
        ScopedUmask umask(mask);
        ScopedConfigHome home(dir.path() / "config");
        std::vector<std::string> notices;
        path = DefaultRegistryPath(&notices);
        EXPECT_EQ(path, (folder / "registry.db").string());
        SqliteRegistry registry(path);
        ASSERT_TRUE(registry.SetValue("Product", "Key", RegValue::Text("geheim")));
        EXPECT_EQ(Mode(folder), 0700u);
        for (const char* suffix : {"", "-wal", "-shm"}) {
            ASSERT_TRUE(std::filesystem::exists(path + suffix)) << suffix;
            EXPECT_EQ(Mode(path + suffix), 0600u) << suffix;
        }
        EXPECT_TRUE(notices.empty());
        EXPECT_TRUE(registry.notices().empty());
    }

    // A folder opened up meanwhile is closed again, and the user hears so once.
    ScopedConfigHome home(dir.path() / "config");
    std::vector<std::string> notices;
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(DefaultRegistryPath(&notices), path);
    EXPECT_EQ(Mode(folder), 0700u);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("0755"), std::string::npos) << notices[0];
    EXPECT_EQ(DefaultRegistryPath(&notices), path);
    EXPECT_EQ(notices.size(), 1u);
}

TEST(SqliteRegistryFileTest, FolderOfAnotherUserIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the folder away";
    test::TempDir dir;
    ScopedConfigHome home(dir.path());
    std::filesystem::create_directory(dir.path() / "kesto");
    ASSERT_EQ(
        ::chown((dir.path() / "kesto").c_str(), test::kUnprivilegedUid, test::kUnprivilegedUid), 0);
    try {
        DefaultRegistryPath();
        FAIL() << "took another user's folder";
    } catch (const RegistryError& e) {
        EXPECT_NE(std::string(e.what()).find("belongs to another user"), std::string::npos)
            << e.what();
    }
}

// A store of ours that others could read loses their bits (its side files too), read-only
// opens included, and the user hears it once; an empty file is no exception.
TEST(SqliteRegistryFileTest, LooserStoreOfOursIsTightenedOnceAndSaysSo)
{
    test::TempDir dir;
    const auto path = dir.file("loose.db").string();
    SqliteRegistry running(path); // keeps the write-ahead log and its index beside the file
    running.SetValue("Product", "Key", RegValue::Text("geheim"));
    for (const auto& [suffix, mode] : {std::pair{"", 0644}, {"-wal", 0664}, {"-shm", 0604}})
        ASSERT_EQ(::chmod((path + suffix).c_str(), static_cast<mode_t>(mode)), 0) << suffix;
    {
        SqliteRegistry registry(path, StoreAccess::ReadOnly);
        EXPECT_EQ(registry.QueryValue("Product", "Key"), RegValue::Text("geheim"));
        const auto& notices = registry.notices();
        EXPECT_EQ(notices.size(), 3u);
        for (const char* suffix : {"", "-wal", "-shm"})
            EXPECT_TRUE(std::any_of(notices.begin(), notices.end(), [&](const std::string& n) {
                return n.starts_with(path + suffix + ": ");
            })) << suffix;
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        EXPECT_EQ(Mode(path + suffix), 0600u) << suffix;
    SqliteRegistry again(path);
    EXPECT_TRUE(again.notices().empty());

    const auto empty = dir.write("empty.db", "").string();
    ::chmod(empty.c_str(), 0666);
    SqliteRegistry fresh(empty);
    EXPECT_EQ(fresh.notices().size(), 1u);
    EXPECT_EQ(Mode(empty), 0600u);
    EXPECT_TRUE(fresh.SetValue("K", "v", RegValue::Number(1)));
}

// A linked ~/.config (or /home): the folder is followed to where it is, the store opens
// there and stays private; only the file itself may not be a link.
TEST(SqliteRegistryFileTest, OpensUnderALinkedFolder)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.file("real/config"));
    ASSERT_EQ(::symlink("real", dir.file("home").c_str()), 0);
    ScopedConfigHome home(dir.file("home/config"));
    const std::string path = DefaultRegistryPath();
    EXPECT_EQ(path, dir.file("home/config/kesto/registry.db").string());
    {
        SqliteRegistry registry(path);
        EXPECT_TRUE(registry.SetValue("K", "v", RegValue::Text("geheim")));
    }
    EXPECT_EQ(Mode(dir.file("real/config/kesto/registry.db").string()), 0600u);
    SqliteRegistry again(path, StoreAccess::ReadOnly);
    EXPECT_EQ(again.QueryValue("K", "v"), RegValue::Text("geheim"));
}

// Things planted where the store is looked for: a symbolic link (to a store, to nothing,
// or for a side file) or a file of another user is refused by name, nothing is followed,
// created or changed.
struct Planted {
    const char* name;
    const char* reason;
    bool needsRoot;
    // Plants at path; elsewhere is a file the plant may point to.
    void (*plant)(const std::string& path, const std::string& elsewhere);
};

void MakeStore(const std::string& path)
{
    SqliteRegistry(path).SetValue("Product", "Key", RegValue::Text("geheim"));
}

void Link(const std::string& target, const std::string& link)
{
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
}

void GiveAway(const std::string& path)
{
    ASSERT_EQ(::chown(path.c_str(), test::kUnprivilegedUid, test::kUnprivilegedUid), 0);
}

const Planted kPlanted[] = {
    {"LinkToAStore", "symbolic link", false,
     [](const std::string& p, const std::string& e) {
         MakeStore(e);
         Link(e, p);
     }},
    {"LinkToNothing", "symbolic link", false,
     [](const std::string& p, const std::string& e) { Link(e, p); }},
    {"LinkedWriteAheadLog", "-wal is a symbolic link (to ", false,
     [](const std::string& p, const std::string& e) {
         MakeStore(p);
         std::ofstream(e) << "elsewhere";
         Link(e, p + "-wal");
     }},
    // Before the first start: the store file made for the open goes again.
    {"LinkedJournalBeforeTheFirstStart", "-journal is a symbolic link (to ", false,
     [](const std::string& p, const std::string& e) { Link(e, p + "-journal"); }},
    {"FolderOthersMayChange", "other users may change the folder", false,
     [](const std::string& p, const std::string&) {
         ASSERT_EQ(::chmod(std::filesystem::path(p).parent_path().c_str(), 0777), 0);
     }},
    {"StoreOfAnotherUser", "belongs to another user", true,
     [](const std::string& p, const std::string&) {
         MakeStore(p);
         GiveAway(p);
     }},
    {"IndexOfAnotherUser", "belongs to another user", true,
     [](const std::string& p, const std::string& e) {
         MakeStore(p);
         std::ofstream(p + "-shm") << "";
         GiveAway(p + "-shm");
         (void)e;
     }},
};

void PrintTo(const Planted& p, std::ostream* os)
{
    *os << p.name;
}

class PlantedFileTest : public testing::TestWithParam<Planted> {};

TEST_P(PlantedFileTest, IsRefusedAndLeftAlone)
{
    if (GetParam().needsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a file away";
    test::TempDir dir;
    const auto path = dir.file("registry.db").string();
    const auto elsewhere = dir.file("elsewhere.db").string();
    GetParam().plant(path, elsewhere);
    const auto listing = [&] {
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            files.emplace_back(entry.path().filename().string(),
                               entry.is_symlink() ? "link" : ReadBytes(entry.path().string()));
        std::sort(files.begin(), files.end());
        return files;
    };
    const auto before = listing();
    for (const StoreAccess access : {StoreAccess::ReadWrite, StoreAccess::ReadOnly}) {
        try {
            SqliteRegistry registry(path, access);
            ADD_FAILURE() << "opened";
        } catch (const RegistryError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(listing(), before);
}

INSTANTIATE_TEST_SUITE_P(Plants, PlantedFileTest, testing::ValuesIn(kPlanted),
                         [](const auto& p) { return std::string(p.param.name); });

struct BadFile {
    const char* what;
    const char* reason; // part of the message
    // Makes the file at path; ourStore is a valid store file of several pages.
    void (*make)(const std::string& path, const std::string& ourStore);
};

void Sql(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

const BadFile kBadFiles[] = {
    {"text file", "file is not a database",
     [](const std::string& p, const std::string&) { Write(p, "ProfileLinkNumber= 3\n"); }},
    {"short header", "truncated database header",
     [](const std::string& p, const std::string& ours) { Write(p, ours.substr(0, 60)); }},
    {"other program's database", "database of another program",
     [](const std::string& p, const std::string&) {
         Sql(p, "CREATE TABLE t(x); INSERT INTO t VALUES (1);");
     }},
    {"truncated store", "damaged registry store",
     [](const std::string& p, const std::string& ours) {
         Write(p, ours.substr(0, 3 * 4096 + 100));
     }},
    {"overwritten pages", "damaged registry store",
     [](const std::string& p, const std::string& ours) {
         std::string bytes = ours;
         for (std::size_t i = 4096; i < bytes.size(); ++i)
             bytes[i] = static_cast<char>(i * 7);
         Write(p, bytes);
     }},
    {"newer layout", "newer than this program",
     [](const std::string& p, const std::string& ours) {
         Write(p, ours);
         Sql(p, "PRAGMA user_version=9");
     }},
};

void PrintTo(const BadFile& file, std::ostream* os)
{
    *os << file.what;
}

class SqliteRegistryBadFileTest : public testing::TestWithParam<BadFile> {};

TEST_P(SqliteRegistryBadFileTest, IsRefusedByNameAndLeftUntouched)
{
    test::TempDir dir;
    const auto storePath = dir.file("ours.db").string();
    {
        SqliteRegistry registry(storePath);
        for (int i = 0; i < 400; ++i)
            registry.SetValue("Profile\\P" + std::to_string(i), "SSID",
                              RegValue::Text(std::string(40, 'x')));
    } // the last close folds the journal into the file
    const std::string ours = ReadBytes(storePath);
    ASSERT_GT(ours.size(), 8 * 4096u);

    const auto path = dir.file("bad.db").string();
    GetParam().make(path, ours);
    const std::string before = ReadBytes(path);
    try {
        SqliteRegistry registry(path);
        FAIL() << "opened " << GetParam().what;
    } catch (const RegistryError& e) {
        EXPECT_NE(std::string(e.what()).find(path + ": "), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(Files, SqliteRegistryBadFileTest, testing::ValuesIn(kBadFiles),
                         [](const auto& param) {
                             std::string name = param.param.what;
                             for (auto& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(SqliteRegistryFileTest, SecondConnectionWaitsForTheFirstWriterAndLosesNothing)
{
    test::TempDir dir;
    const auto path = dir.file("shared.db").string();
    SqliteRegistry utility(path);
    SqliteRegistry tool(path);
    utility.SetValue("Product", "Exit Utility", RegValue::Text("0"));

    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::thread writer([&] {
        utility.RunInTransaction([&] {
            utility.SetValue("Product", "Mode", RegValue::Text("AP Mode"));
            holding = true;
            while (!release)
                std::this_thread::yield();
        });
    });
    while (!holding)
        std::this_thread::yield();
    // A reader is not blocked by the open write and sees the committed state only.
    EXPECT_EQ(tool.QueryValue("Product", "Exit Utility"), RegValue::Text("0"));
    EXPECT_FALSE(tool.QueryValue("Product", "Mode"));
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        release = true;
    });
    // This write has to wait for the writer's commit, then lands.
    EXPECT_TRUE(tool.SetValue("Product", "Exit Utility", RegValue::Text("1")));
    writer.join();
    releaser.join();
    EXPECT_EQ(utility.QueryValue("Product", "Exit Utility"), RegValue::Text("1"));
    EXPECT_EQ(utility.QueryValue("Product", "Mode"), RegValue::Text("AP Mode"));
}

// A store in the rollback-journal mode (as an older program or another tool may leave
// it): a read-only open must not switch it to the write-ahead log.
std::string MakeRollbackJournalStore(const test::TempDir& dir)
{
    const auto path = dir.file("journal.db").string();
    {
        SqliteRegistry registry(path);
        registry.SetValue("Product", "Exit Utility", RegValue::Text("0"));
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

TEST(SqliteRegistryReadOnlyTest, ReadingChangesNothingInTheFolder)
{
    test::TempDir dir;
    const auto path = MakeRollbackJournalStore(dir);
    const std::string before = ReadBytes(path);
    {
        SqliteRegistry registry(path, StoreAccess::ReadOnly);
        EXPECT_TRUE(registry.readOnly());
        EXPECT_EQ(registry.QueryValue("Product", "Exit Utility"), RegValue::Text("0"));
        EXPECT_FALSE(registry.SetValue("Product", "Exit Utility", RegValue::Text("1")));
        EXPECT_NE(registry.lastError().find("open for reading only"), std::string::npos);
    }
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no side file is left";

    const auto absent = dir.file("absent.db").string();
    SqliteRegistry empty(absent, StoreAccess::ReadOnly);
    EXPECT_FALSE(empty.KeyExists("Product"));
    EXPECT_FALSE(std::filesystem::exists(absent)) << "a read creates no store";
}

// What an unprivileged child found, as its exit code.
enum Outcome : int {
    kReadOnlyAndReadable = 0,
    kOpenedWritable = 1,
    kValueMissing = 2,
    kWriteLanded = 3,
    kRefused = 4,
};

struct ReadOnlyCase {
    const char* name;
    bool rollbackJournal;
    bool folderWritable;
};

void PrintTo(const ReadOnlyCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReadOnlyFileTest : public testing::TestWithParam<ReadOnlyCase> {};

// A store the user may only read opens for reading, says it is read-only and is never
// called damaged, whatever its journal mode and whether its folder takes side files.
TEST_P(ReadOnlyFileTest, OpensForReadingAndRefusesWrites)
{
    test::TempDir dir;
    std::string path;
    if (GetParam().rollbackJournal) {
        path = MakeRollbackJournalStore(dir);
    } else {
        path = dir.file("wal.db").string();
        SqliteRegistry registry(path);
        registry.SetValue("Product", "Exit Utility", RegValue::Text("0"));
    }
    test::GiveToUnprivileged(dir.path());
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    if (!GetParam().folderWritable)
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
    const std::string before = ReadBytes(path);
    std::string error;
    const int outcome = test::RunUnprivileged([&] {
        try {
            SqliteRegistry registry(path);
            if (!registry.readOnly())
                return kOpenedWritable;
            if (registry.QueryValue("Product", "Exit Utility") != RegValue::Text("0"))
                return kValueMissing;
            if (registry.SetValue("Product", "Exit Utility", RegValue::Text("1")))
                return kWriteLanded;
            return kReadOnlyAndReadable;
        } catch (const RegistryError& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return kRefused;
        }
    });
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(outcome, kReadOnlyAndReadable);
    EXPECT_EQ(ReadBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, ReadOnlyFileTest,
    testing::Values(ReadOnlyCase{"WriteAheadLog", false, true},
                    ReadOnlyCase{"WriteAheadLogInAClosedFolder", false, false},
                    ReadOnlyCase{"RollbackJournal", true, true},
                    ReadOnlyCase{"RollbackJournalInAClosedFolder", true, false}),
    [](const testing::TestParamInfo<ReadOnlyCase>& p) { return std::string(p.param.name); });

} // namespace
} // namespace kesto
