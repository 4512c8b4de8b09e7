// StoreFile: the store's file is checked before SQLite may write to it, so a file that is
// not ours is never touched.
#include "registry/StoreFile.h"

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kesto {

namespace {

// Stored in the database header (PRAGMA application_id): "KSTR". A file with another
// identifier belongs to another program.
constexpr std::int32_t kApplicationId = 0x4B535452;
// Layout of the tables (PRAGMA user_version); a store with a higher number was written
// by a newer program and is refused rather than misread.
constexpr int kLayoutVersion = 1;
// A writer in another process holds the store for milliseconds; waiting this long for
// it means a concurrent write is never lost to a lock.
constexpr int kBusyTimeoutMs = 5000;

constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
constexpr std::size_t kHeaderSize = 100;
constexpr std::size_t kApplicationIdOffset = 68;

constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER,
    name TEXT NOT NULL COLLATE NOCASE,
    UNIQUE(parent, name));
CREATE TABLE vals(
    key INTEGER NOT NULL,
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key, name)) WITHOUT ROWID;
INSERT INTO keys(id, parent, name) VALUES (1, NULL, '');
)sql";
static_assert(StoreFile::kRootKey == 1, "the schema makes the root key with id 1");

// Beside the store, SQLite keeps its write-ahead log and its index, or a rollback
// journal; each holds pages of the store.
constexpr std::array<const char*, 3> kSideFiles{"-wal", "-shm", "-journal"};

std::string ErrnoText()
{
    return std::strerror(errno);
}

std::string ModeText(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

bool OthersLetIn(mode_t mode)
{
    return (mode & 077) != 0;
}

// "is a symbolic link (to target)": the link at path said with where it points.
std::string LinkText(const std::string& path)
{
    std::array<char, 4096> target{};
    const auto n = ::readlink(path.c_str(), target.data(), target.size() - 1);
    return "is a symbolic link" +
           (n > 0 ? " (to " + std::string(target.data(), static_cast<std::size_t>(n)) + ")"
                  : std::string());
}

} // namespace

std::string DefaultRegistryPath(std::vector<std::string>* notices)
{
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] == '\0') {
            const passwd* entry = getpwuid(getuid());
            home = entry ? entry->pw_dir : nullptr;
        }
        if (!home || home[0] == '\0')
            throw RegistryError("cannot find the home directory for the registry store");
        base = std::filesystem::path(home) / ".config";
    }
    const auto dir = base / "kesto";
    const std::string name = dir.string();
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    if (::mkdir(dir.c_str(), 0700) == 0) {
        // The umask may have taken bits: exactly the owner's.
        if (::chmod(dir.c_str(), 0700) != 0)
            throw RegistryError(name + ": cannot set the directory's mode (" + ErrnoText() + ")");
    } else if (errno != EEXIST) {
        throw RegistryError(name + ": cannot create the directory (" + ErrnoText() + ")");
    }
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0)
        throw RegistryError(name + ": cannot read the directory (" + ErrnoText() + ")");
    if (!S_ISDIR(info.st_mode))
        throw RegistryError(name + ": not a directory");
    if (info.st_uid != ::geteuid())
        throw RegistryError(name + ": belongs to another user (uid " + std::to_string(info.st_uid) +
                            "); the registry store is kept only in its own user's folder");
    if (OthersLetIn(info.st_mode)) {
        const mode_t tight = info.st_mode & 0700;
        const bool changed = ::chmod(dir.c_str(), tight) == 0;
        if (notices)
            notices->push_back(name +
                               ": other users could look into this folder of network keys (mode " +
                               ModeText(info.st_mode) + "); " +
                               (changed ? "it is now " + ModeText(tight)
                                        : "it could not be changed (" + ErrnoText() + ")"));
    }
    return (dir / "registry.db").string();
}

StoreFile::StoreFile(std::string path, StoreAccess access) : m_path(std::move(path))
{
    Open(access);
    m_created = false; // the store is open: the file is kept from now on
}

StoreFile::~StoreFile()
{
    sqlite3_close_v2(m_db);
}

void StoreFile::Open(StoreAccess access)
{
    if (m_path == ":memory:") {
        OpenDatabase(m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        InitialiseSchema();
        return;
    }
    ResolveFolder(access == StoreAccess::ReadWrite);
    const FileState state = CheckExistingFile(access == StoreAccess::ReadWrite);
    CheckSideFiles();
    m_readOnly = access == StoreAccess::ReadOnly || !Writable();
    if (m_readOnly && state != FileState::Store) {
        // Nothing to read, and nothing may be created: an empty store.
        OpenEmptyReadOnly();
        return;
    }
    // The file exists now (created 0600 by CheckExistingFile when it was absent), so
    // SQLite is never asked to create it with its own, wider default mode.
    OpenDatabase(m_openPath, m_readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    QuickCheck();
    if (!InitialiseSchema()) {
        OpenEmptyReadOnly();
        return;
    }
    if (m_readOnly) {
        // Belt and braces: SQLite itself refuses every write on this connection.
        sqlite3_exec(m_db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
        return;
    }
    // Readers then never block the writer, and a writer killed mid-transaction leaves
    // only uncommitted frames that the next opener ignores. Failing to switch (another
    // process holds the file) keeps the rollback journal, which is just as safe.
    sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
}

// Links in the folder's path are followed once, here, to the folder itself; from then on
// every open goes to the resolved path, which SQLite (refusing any link on its way) can
// take. The file and its side files stay checked with links refused.
void StoreFile::ResolveFolder(bool create)
{
    const auto slash = m_path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : m_path.substr(0, slash);
    const std::string name = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        Fail("not a file name");
    char* resolved = ::realpath(folder.c_str(), nullptr);
    if (!resolved && errno == ENOENT && !create) {
        // Nothing to read where there is no folder: the store reads as empty, as an
        // absent file does.
        m_openPath = m_path;
        return;
    }
    if (!resolved)
        Fail("cannot open the registry store's folder " + folder + " (" + ErrnoText() + ")");
    const std::string real = resolved;
    std::free(resolved);
    // Where the path went through a link, a refusal says where the folder really is.
    const std::string shown = real == folder ? folder : folder + " (that is, " + real + ")";
    struct stat info {};
    if (::stat(real.c_str(), &info) != 0)
        Fail("cannot open the registry store's folder " + shown + " (" + ErrnoText() + ")");
    if (!S_ISDIR(info.st_mode))
        Fail(shown + " is not a folder");
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        Fail("the folder " + shown + " belongs to another user (uid " +
             std::to_string(info.st_uid) +
             "); whoever owns it could put another file in the store's place");
    if ((info.st_mode & 022) != 0 && (info.st_mode & S_ISVTX) == 0)
        Fail("other users may change the folder " + shown + " (mode " + ModeText(info.st_mode) +
             "); they could put another file in the store's place");
    m_openPath = (real == "/" ? std::string() : real) + "/" + name;
}

bool StoreFile::Writable() const
{
    // The folder too: the journal, or the write-ahead log and its index, live beside
    // the file.
    const auto slash = m_openPath.rfind('/');
    const std::string dir = slash == 0 ? std::string("/") : m_openPath.substr(0, slash);
    return ::access(m_openPath.c_str(), W_OK) == 0 && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

void StoreFile::OpenDatabase(const std::string& name, int flags)
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    // Never through a symbolic link: whoever could plant one would choose where the
    // network keys are written.
    if (name != ":memory:")
        flags |= SQLITE_OPEN_NOFOLLOW;
    if (sqlite3_open_v2(name.c_str(), &m_db, flags, nullptr) != SQLITE_OK)
        Fail(m_db ? sqlite3_errmsg(m_db) : "cannot open the database");
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

void StoreFile::OpenEmptyReadOnly()
{
    OpenDatabase(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    m_readOnly = false; // the tables of the private copy are made, then nothing more
    InitialiseSchema();
    m_readOnly = true;
    sqlite3_exec(m_db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
}

// A damaged store is reported at once rather than failing some later read; a store
// that merely cannot be read this way is not called damaged.
void StoreFile::QuickCheck()
{
    for (;;) {
        sqlite3_stmt* check = nullptr;
        int rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check(1)", -1, &check, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(check);
        const auto* text = rc == SQLITE_ROW ? sqlite3_column_text(check, 0) : nullptr;
        const std::string verdict = rc != SQLITE_ROW ? sqlite3_errmsg(m_db)
                                    : text           ? reinterpret_cast<const char*>(text)
                                                     : "";
        sqlite3_finalize(check);
        if (rc == SQLITE_ROW && verdict == "ok")
            return;
        const int primary = rc & 0xFF;
        if (rc == SQLITE_ROW || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
            Fail("damaged registry store (" + verdict + ")");
        if (m_readOnly && !m_immutable &&
            (primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN)) {
            // A store in write-ahead-log mode needs an index file beside it, which a
            // folder we may not write cannot take. Nobody can write such a store through
            // that folder either, so it is read as it lies.
            m_immutable = true;
            std::string uri = "file:";
            for (const char c : m_openPath) {
                if (c == '%' || c == '?' || c == '#') {
                    static constexpr char kHex[] = "0123456789ABCDEF";
                    uri += '%';
                    uri += kHex[static_cast<unsigned char>(c) >> 4];
                    uri += kHex[static_cast<unsigned char>(c) & 0xF];
                } else {
                    uri += c;
                }
            }
            uri += "?immutable=1";
            OpenDatabase(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
            continue;
        }
        Fail("cannot read the registry store (" + verdict + ")");
    }
}

void StoreFile::MakePrivate(int fd, const struct stat& info, const std::string& path)
{
    if (info.st_uid != ::geteuid()) {
        ::close(fd);
        Fail(path + " belongs to another user (uid " + std::to_string(info.st_uid) +
             "); a store of network keys is used only by its owner");
    }
    if (!OthersLetIn(info.st_mode))
        return;
    const mode_t tight = info.st_mode & 0700;
    const bool changed = ::fchmod(fd, tight) == 0;
    m_notices.push_back(path + ": other users could read the network keys in this file (mode " +
                        ModeText(info.st_mode) + "); " +
                        (changed ? "it is now " + ModeText(tight)
                                 : "it could not be changed (" + ErrnoText() + ")"));
}

// Looks at the file with plain reads before SQLite opens it: SQLite would happily
// turn an empty-looking or foreign file into its own. Creates an absent file (0600)
// when create is set.
StoreFile::FileState StoreFile::CheckExistingFile(bool create)
{
    const auto open = [this] {
        return ::open(m_openPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    };
    int fd = open();
    if (fd < 0 && errno == ENOENT) {
        if (!create)
            return FileState::Absent;
        const int created =
            ::open(m_openPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (created < 0 && errno != EEXIST)
            Fail("cannot create the registry store (" + ErrnoText() + ")");
        if (created >= 0) {
            struct stat made {};
            if (::fstat(created, &made) == 0) {
                m_created = true;
                m_createdDevice = made.st_dev;
                m_createdInode = made.st_ino;
            }
            // The umask may have taken the owner's bits: exactly 0600.
            const bool set = ::fchmod(created, 0600) == 0;
            ::close(created);
            if (!set)
                Fail("cannot set the registry store's mode (" + ErrnoText() + ")");
        }
        // Made here or by a process that won the race: checked like any file found.
        fd = open();
    }
    if (fd < 0) {
        if (errno == ELOOP)
            Fail(LinkText(m_openPath) + "; the registry store is never opened through one");
        Fail("cannot open the registry store (" + ErrnoText() + ")");
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        Fail("not a Kesto registry store (not a regular file)");
    }
    // An empty file of ours is a fresh store, but only once it is private.
    MakePrivate(fd, info, m_path);
    std::array<char, kHeaderSize> header{};
    std::size_t got = 0;
    while (got < header.size()) {
        const auto n = ::read(fd, header.data() + got, header.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got == 0)
        return FileState::Empty; // a fresh store
    const std::string_view head(header.data(), got);
    if (got < kSqliteMagic.size() || head.substr(0, kSqliteMagic.size()) != kSqliteMagic)
        Fail("not a Kesto registry store (file is not a database)");
    if (got < kHeaderSize)
        Fail("damaged registry store (truncated database header)");
    std::uint32_t id = 0;
    for (std::size_t i = 0; i < 4; ++i)
        id = (id << 8) | static_cast<unsigned char>(header[kApplicationIdOffset + i]);
    if (static_cast<std::int32_t>(id) != kApplicationId)
        Fail("not a Kesto registry store (database of another program)");
    return FileState::Store;
}

// The side files SQLite would open beside the store follow the store's rules: not a
// link, ours, private.
void StoreFile::CheckSideFiles()
{
    for (const char* suffix : kSideFiles) {
        const std::string path = m_path + suffix;
        const std::string openPath = m_openPath + suffix;
        const int fd = ::open(openPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
        if (fd < 0) {
            if (errno == ELOOP)
                Fail(path + " " + LinkText(openPath) +
                     "; the registry store's files are never opened through one");
            continue; // absent, or not ours to read: SQLite says so if it needs it
        }
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
            MakePrivate(fd, info, path);
        ::close(fd);
    }
}

bool StoreFile::InitialiseSchema()
{
    auto single = [&](const char* sql) {
        sqlite3_stmt* query = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &query, nullptr) != SQLITE_OK ||
            sqlite3_step(query) != SQLITE_ROW) {
            sqlite3_finalize(query);
            Fail(sqlite3_errmsg(m_db));
        }
        const auto result = sqlite3_column_int64(query, 0);
        sqlite3_finalize(query);
        return result;
    };
    // An existing store needs no write lock, so a store the user may only read still
    // opens for queries.
    bool locked = false;
    for (;;) {
        const auto applicationId = single("PRAGMA application_id");
        if (applicationId == kApplicationId) {
            const auto version = single("PRAGMA user_version");
            if (version > kLayoutVersion)
                Fail("registry store layout " + std::to_string(version) +
                     " is newer than this program supports");
            if (locked)
                Exec("COMMIT");
            return true;
        }
        if (applicationId != 0 || single("SELECT count(*) FROM sqlite_master") != 0)
            Fail("not a Kesto registry store (database of another program)");
        if (locked)
            break;
        if (m_readOnly)
            return false; // an empty database: nothing to read, and no tables may be made
        // Look again under the write lock: another process may be creating the same
        // fresh store, and the tables must be made once.
        Exec("BEGIN IMMEDIATE");
        locked = true;
    }
    Exec(kSchema);
    // Set while the file still uses the rollback journal, so the identifier is in the
    // file's own header before any other process can look at it.
    Exec(("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str());
    Exec(("PRAGMA user_version=" + std::to_string(kLayoutVersion)).c_str());
    Exec("COMMIT");
    return true;
}

void StoreFile::Exec(const char* sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sqlite3_errmsg(m_db));
}

void StoreFile::Fail(std::string_view what)
{
    const std::string message = m_path + ": " + std::string(what);
    // Closing rolls back anything begun; nothing was written to a file that failed a check.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    // An empty file made for this open would read as a store that exists: it goes, unless
    // something has been written into it or another file has taken its name meanwhile.
    struct stat info {};
    if (m_created && ::lstat(m_openPath.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        info.st_size == 0 && info.st_dev == m_createdDevice && info.st_ino == m_createdInode)
        ::unlink(m_openPath.c_str());
    m_created = false;
    throw RegistryError(message);
}

} // namespace kesto
