// SqliteRegistry: keys and values in two tables of one SQLite file. The file is checked
// before SQLite may write to it, so a file that is not ours is never touched.
#include "registry/SqliteRegistry.h"

#include <sqlite3.h>

#include <array>
#include <cerrno>
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
constexpr std::int64_t kRootId = 1;

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

// Non-empty components of a key path; empty ones (doubled, leading or trailing
// backslashes) are ignored.
std::vector<std::string_view> SplitKeyPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const auto cut = path.find('\\');
        const auto part = path.substr(0, cut);
        if (!part.empty())
            parts.push_back(part);
        if (cut == std::string_view::npos)
            break;
        path.remove_prefix(cut + 1);
    }
    return parts;
}

// Resets a cached statement when the scope that used it ends.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : m_statement(statement) {}
    ~StatementUse()
    {
        if (m_statement) {
            sqlite3_reset(m_statement);
            sqlite3_clear_bindings(m_statement);
        }
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* m_statement;
};

int BindText(sqlite3_stmt* statement, int index, std::string_view text)
{
    return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT);
}

std::string ColumnText(sqlite3_stmt* statement, int column)
{
    const auto* text = sqlite3_column_text(statement, column);
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
    return text ? std::string(reinterpret_cast<const char*>(text), size) : std::string();
}

RegValue ColumnValue(sqlite3_stmt* statement, int typeColumn, int dataColumn)
{
    RegValue value;
    value.type = static_cast<RegType>(sqlite3_column_int64(statement, typeColumn));
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, dataColumn));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, dataColumn));
    if (data)
        value.data.assign(data, data + size);
    return value;
}

std::string ErrnoText()
{
    return std::strerror(errno);
}

} // namespace

std::string DefaultRegistryPath()
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
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        throw RegistryError(dir.string() + ": cannot create the directory (" + ErrnoText() + ")");
    return (dir / "registry.db").string();
}

SqliteRegistry::SqliteRegistry(std::string path, StoreAccess access)
    : m_path(std::move(path)), m_access(access)
{
    Open();
}

SqliteRegistry::~SqliteRegistry()
{
    for (auto& entry : m_statements)
        sqlite3_finalize(entry.second);
    sqlite3_close_v2(m_db);
}

void SqliteRegistry::Open()
{
    if (m_path == ":memory:") {
        OpenDatabase(m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        InitialiseSchema();
        return;
    }
    const FileState state = CheckExistingFile(m_access == StoreAccess::ReadWrite);
    m_readOnly = m_access == StoreAccess::ReadOnly || !Writable();
    if (m_readOnly && state != FileState::Store) {
        // Nothing to read, and nothing may be created: an empty store.
        OpenEmptyReadOnly();
        return;
    }
    // The file exists now (created 0600 by CheckExistingFile when it was absent), so
    // SQLite is never asked to create it with its own, wider default mode.
    OpenDatabase(m_path, m_readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
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

bool SqliteRegistry::Writable() const
{
    // The folder too: the journal, or the write-ahead log and its index, live beside
    // the file.
    const auto slash = m_path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".")
                            : slash == 0               ? std::string("/")
                                                       : m_path.substr(0, slash);
    return ::access(m_path.c_str(), W_OK) == 0 && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

void SqliteRegistry::OpenDatabase(const std::string& name, int flags)
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    if (sqlite3_open_v2(name.c_str(), &m_db, flags, nullptr) != SQLITE_OK)
        Fail(m_db ? sqlite3_errmsg(m_db) : "cannot open the database");
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

void SqliteRegistry::OpenEmptyReadOnly()
{
    OpenDatabase(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    m_readOnly = false; // the tables of the private copy are made, then nothing more
    InitialiseSchema();
    m_readOnly = true;
    sqlite3_exec(m_db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
}

// A damaged store is reported at once rather than failing some later read; a store
// that merely cannot be read this way is not called damaged.
void SqliteRegistry::QuickCheck()
{
    for (;;) {
        sqlite3_stmt* check = nullptr;
        int rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check(1)", -1, &check, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(check);
        const std::string verdict = rc == SQLITE_ROW ? ColumnText(check, 0) : sqlite3_errmsg(m_db);
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
            for (const char c : m_path) {
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

// Looks at the file with plain reads before SQLite opens it: SQLite would happily
// turn an empty-looking or foreign file into its own. Creates an absent file (0600)
// when create is set.
SqliteRegistry::FileState SqliteRegistry::CheckExistingFile(bool create)
{
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT)
            Fail("cannot open the registry store (" + ErrnoText() + ")");
        if (!create)
            return FileState::Absent;
        const int created = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (created < 0 && errno != EEXIST)
            Fail("cannot create the registry store (" + ErrnoText() + ")");
        if (created >= 0)
            ::close(created);
        // Lost a creation race: another process made it, and it is checked on open.
        return FileState::Empty;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        Fail("not a Kesto registry store (not a regular file)");
    }
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

bool SqliteRegistry::InitialiseSchema()
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

void SqliteRegistry::Exec(const char* sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sqlite3_errmsg(m_db));
}

void SqliteRegistry::Fail(std::string_view what)
{
    const std::string message = m_path + ": " + std::string(what);
    for (auto& entry : m_statements)
        sqlite3_finalize(entry.second);
    m_statements.clear();
    // Closing rolls back anything begun; nothing was written to a file that failed a check.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    throw RegistryError(message);
}

sqlite3_stmt* SqliteRegistry::Statement(const char* sql)
{
    if (const auto found = m_statements.find(std::string_view(sql)); found != m_statements.end())
        return found->second;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
        SQLITE_OK) {
        NoteError(SQLITE_ERROR);
        return nullptr;
    }
    m_statements.emplace(sql, statement);
    return statement;
}

bool SqliteRegistry::NoteError(int rc)
{
    m_lastError = m_path + ": " +
                  (m_readOnly ? std::string("the store is open for reading only")
                   : m_db     ? std::string(sqlite3_errmsg(m_db))
                              : std::string(sqlite3_errstr(rc)));
    if (m_depth > 0)
        m_transactionFailed = true;
    return false;
}

std::optional<std::int64_t> SqliteRegistry::FindKey(std::string_view keyPath)
{
    std::int64_t id = kRootId;
    for (const auto part : SplitKeyPath(keyPath)) {
        auto* find = Statement("SELECT id FROM keys WHERE parent=?1 AND name=?2");
        if (!find)
            return std::nullopt;
        StatementUse use(find);
        sqlite3_bind_int64(find, 1, id);
        BindText(find, 2, part);
        const int rc = sqlite3_step(find);
        if (rc != SQLITE_ROW) {
            if (rc != SQLITE_DONE)
                NoteError(rc);
            return std::nullopt;
        }
        id = sqlite3_column_int64(find, 0);
    }
    return id;
}

std::optional<std::int64_t> SqliteRegistry::MakeKey(std::string_view keyPath)
{
    std::int64_t id = kRootId;
    for (const auto part : SplitKeyPath(keyPath)) {
        auto* find = Statement("SELECT id FROM keys WHERE parent=?1 AND name=?2");
        if (!find)
            return std::nullopt;
        StatementUse findUse(find);
        sqlite3_bind_int64(find, 1, id);
        BindText(find, 2, part);
        const int rc = sqlite3_step(find);
        if (rc == SQLITE_ROW) {
            id = sqlite3_column_int64(find, 0);
            continue;
        }
        if (rc != SQLITE_DONE) {
            NoteError(rc);
            return std::nullopt;
        }
        auto* insert = Statement("INSERT INTO keys(parent, name) VALUES (?1, ?2)");
        if (!insert)
            return std::nullopt;
        StatementUse insertUse(insert);
        sqlite3_bind_int64(insert, 1, id);
        BindText(insert, 2, part);
        if (const int inserted = sqlite3_step(insert); inserted != SQLITE_DONE) {
            NoteError(inserted);
            return std::nullopt;
        }
        id = sqlite3_last_insert_rowid(m_db);
    }
    return id;
}

bool SqliteRegistry::Begin()
{
    // A savepoint outside a transaction would start a new one and commit on release:
    // when SQLite has already rolled the outer transaction back, nothing may proceed.
    if (m_depth > 0 && sqlite3_get_autocommit(m_db)) {
        m_transactionFailed = true;
        return false;
    }
    const char* sql = m_depth == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT nested";
    if (const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return NoteError(rc);
    ++m_depth;
    return true;
}

// Ends the level that Begin opened: keeps its writes when ok, drops them otherwise.
bool SqliteRegistry::Finish(bool ok)
{
    --m_depth;
    if (m_depth > 0) {
        if (ok && sqlite3_exec(m_db, "RELEASE nested", nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        if (ok)
            NoteError(SQLITE_ERROR);
        sqlite3_exec(m_db, "ROLLBACK TO nested", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, "RELEASE nested", nullptr, nullptr, nullptr);
        return false;
    }
    const bool failed = m_transactionFailed;
    m_transactionFailed = false;
    if (ok && !failed) {
        const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            return true;
        NoteError(rc);
    }
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

template <typename Op> bool SqliteRegistry::AtomicWrite(Op op)
{
    if (m_depth > 0 && m_transactionFailed)
        return false;
    if (!Begin())
        return false;
    return Finish(op());
}

bool SqliteRegistry::RunInTransaction(const std::function<void()>& body)
{
    if (!Begin())
        return false;
    try {
        body();
    } catch (...) {
        Finish(false);
        throw;
    }
    return Finish(true);
}

bool SqliteRegistry::CreateKey(std::string_view keyPath)
{
    return AtomicWrite([&] { return MakeKey(keyPath).has_value(); });
}

bool SqliteRegistry::KeyExists(std::string_view keyPath)
{
    return FindKey(keyPath).has_value();
}

std::optional<RegValue> SqliteRegistry::QueryValue(std::string_view keyPath, std::string_view name)
{
    const auto key = FindKey(keyPath);
    if (!key)
        return std::nullopt;
    auto* query = Statement("SELECT type, data FROM vals WHERE key=?1 AND name=?2");
    if (!query)
        return std::nullopt;
    StatementUse use(query);
    sqlite3_bind_int64(query, 1, *key);
    BindText(query, 2, name);
    const int rc = sqlite3_step(query);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            NoteError(rc);
        return std::nullopt;
    }
    return ColumnValue(query, 0, 1);
}

bool SqliteRegistry::SetValue(std::string_view keyPath, std::string_view name,
                              const RegValue& value)
{
    return AtomicWrite([&] {
        const auto key = MakeKey(keyPath);
        if (!key)
            return false;
        // On a name that exists in another letter case the stored spelling is kept.
        auto* upsert = Statement("INSERT INTO vals(key, name, type, data) VALUES (?1, ?2, ?3, ?4) "
                                 "ON CONFLICT(key, name) DO UPDATE SET "
                                 "type=excluded.type, data=excluded.data");
        if (!upsert)
            return false;
        StatementUse use(upsert);
        sqlite3_bind_int64(upsert, 1, *key);
        BindText(upsert, 2, name);
        sqlite3_bind_int64(upsert, 3, static_cast<std::int64_t>(value.type));
        // An empty blob must still be a blob: binding a null pointer would store NULL.
        if (value.data.empty())
            sqlite3_bind_zeroblob(upsert, 4, 0);
        else
            sqlite3_bind_blob(upsert, 4, value.data.data(), static_cast<int>(value.data.size()),
                              SQLITE_TRANSIENT);
        if (const int rc = sqlite3_step(upsert); rc != SQLITE_DONE)
            return NoteError(rc);
        return true;
    });
}

bool SqliteRegistry::DeleteValue(std::string_view keyPath, std::string_view name)
{
    return AtomicWrite([&] {
        const auto key = FindKey(keyPath);
        if (!key)
            return false;
        auto* remove = Statement("DELETE FROM vals WHERE key=?1 AND name=?2");
        if (!remove)
            return false;
        StatementUse use(remove);
        sqlite3_bind_int64(remove, 1, *key);
        BindText(remove, 2, name);
        if (const int rc = sqlite3_step(remove); rc != SQLITE_DONE)
            return NoteError(rc);
        return sqlite3_changes(m_db) > 0;
    });
}

bool SqliteRegistry::DeleteKey(std::string_view keyPath)
{
    if (SplitKeyPath(keyPath).empty())
        return false; // the root stays
    return AtomicWrite([&] {
        const auto key = FindKey(keyPath);
        if (!key)
            return false;
        // The subtree by a recursive query rather than cascading foreign keys, so the
        // depth of a tree is not limited by SQLite's trigger depth.
        static constexpr std::array<const char*, 2> kDeletes = {
            "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL "
            "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
            "DELETE FROM vals WHERE key IN (SELECT id FROM tree)",
            "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL "
            "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
            "DELETE FROM keys WHERE id IN (SELECT id FROM tree)",
        };
        for (const char* sql : kDeletes) {
            auto* remove = Statement(sql);
            if (!remove)
                return false;
            StatementUse use(remove);
            sqlite3_bind_int64(remove, 1, *key);
            if (const int rc = sqlite3_step(remove); rc != SQLITE_DONE)
                return NoteError(rc);
        }
        return true;
    });
}

std::vector<std::pair<std::int64_t, std::string>> SqliteRegistry::SubKeysOf(std::int64_t key)
{
    std::vector<std::pair<std::int64_t, std::string>> keys;
    auto* query = Statement("SELECT id, name FROM keys WHERE parent=?1 ORDER BY name");
    if (!query)
        return keys;
    StatementUse use(query);
    sqlite3_bind_int64(query, 1, key);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW)
        keys.emplace_back(sqlite3_column_int64(query, 0), ColumnText(query, 1));
    if (rc != SQLITE_DONE)
        NoteError(rc);
    return keys;
}

std::vector<std::pair<std::string, RegValue>> SqliteRegistry::ValuesOf(std::int64_t key)
{
    std::vector<std::pair<std::string, RegValue>> values;
    auto* query = Statement("SELECT name, type, data FROM vals WHERE key=?1 ORDER BY name");
    if (!query)
        return values;
    StatementUse use(query);
    sqlite3_bind_int64(query, 1, key);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW)
        values.emplace_back(ColumnText(query, 0), ColumnValue(query, 1, 2));
    if (rc != SQLITE_DONE)
        NoteError(rc);
    return values;
}

std::vector<std::string> SqliteRegistry::SubKeys(std::string_view keyPath)
{
    std::vector<std::string> names;
    const auto key = FindKey(keyPath);
    if (!key)
        return names;
    for (auto& [id, name] : SubKeysOf(*key))
        names.push_back(std::move(name));
    return names;
}

std::vector<std::pair<std::string, RegValue>> SqliteRegistry::Values(std::string_view keyPath)
{
    const auto key = FindKey(keyPath);
    return key ? ValuesOf(*key) : std::vector<std::pair<std::string, RegValue>>();
}

bool SqliteRegistry::WalkTree(std::string_view keyPath, const KeyVisitor& visit)
{
    const auto top = FindKey(keyPath);
    if (!top)
        return false;
    // One read transaction: the walk sees one state of the store even while another
    // process writes.
    const bool own = m_depth == 0 && sqlite3_get_autocommit(m_db);
    if (own)
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
    std::vector<std::pair<std::int64_t, std::string>> pending{{*top, std::string(keyPath)}};
    try {
        while (!pending.empty()) {
            auto [id, path] = std::move(pending.back());
            pending.pop_back();
            visit(path, ValuesOf(id));
            auto subKeys = SubKeysOf(id);
            for (auto sub = subKeys.rbegin(); sub != subKeys.rend(); ++sub)
                pending.emplace_back(sub->first, path.empty() ? std::move(sub->second)
                                                              : path + "\\" + sub->second);
        }
    } catch (...) {
        if (own)
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        throw;
    }
    if (own)
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    return true;
}

} // namespace kesto
