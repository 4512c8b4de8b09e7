// SqliteRegistry: keys and values in two tables of the store file that StoreFile opened.
#include "registry/SqliteRegistry.h"

#include <sqlite3.h>

#include <array>
#include <string>

namespace kesto {

namespace {

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

} // namespace

SqliteRegistry::SqliteRegistry(std::string path, StoreAccess access)
    : m_file(std::move(path), access)
{
}

SqliteRegistry::~SqliteRegistry()
{
    for (auto& entry : m_statements)
        sqlite3_finalize(entry.second);
}

sqlite3_stmt* SqliteRegistry::Statement(const char* sql)
{
    if (const auto found = m_statements.find(std::string_view(sql)); found != m_statements.end())
        return found->second;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db(), sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
        SQLITE_OK) {
        NoteError(SQLITE_ERROR);
        return nullptr;
    }
    m_statements.emplace(sql, statement);
    return statement;
}

bool SqliteRegistry::NoteError(int rc)
{
    m_lastError = path() + ": " +
                  (readOnly() ? std::string("the store is open for reading only")
                   : db()     ? std::string(sqlite3_errmsg(db()))
                              : std::string(sqlite3_errstr(rc)));
    if (m_depth > 0)
        m_transactionFailed = true;
    return false;
}

std::optional<std::int64_t> SqliteRegistry::FindKey(std::string_view keyPath)
{
    std::int64_t id = StoreFile::kRootKey;
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
    std::int64_t id = StoreFile::kRootKey;
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
        id = sqlite3_last_insert_rowid(db());
    }
    return id;
}

bool SqliteRegistry::Begin()
{
    // A savepoint outside a transaction would start a new one and commit on release:
    // when SQLite has already rolled the outer transaction back, nothing may proceed.
    if (m_depth > 0 && sqlite3_get_autocommit(db())) {
        m_transactionFailed = true;
        return false;
    }
    const char* sql = m_depth == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT nested";
    if (const int rc = sqlite3_exec(db(), sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return NoteError(rc);
    ++m_depth;
    return true;
}

// Ends the level that Begin opened: keeps its writes when ok, drops them otherwise.
bool SqliteRegistry::Finish(bool ok)
{
    --m_depth;
    if (m_depth > 0) {
        if (ok && sqlite3_exec(db(), "RELEASE nested", nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        if (ok)
            NoteError(SQLITE_ERROR);
        sqlite3_exec(db(), "ROLLBACK TO nested", nullptr, nullptr, nullptr);
        sqlite3_exec(db(), "RELEASE nested", nullptr, nullptr, nullptr);
        return false;
    }
    const bool failed = m_transactionFailed;
    m_transactionFailed = false;
    if (ok && !failed) {
        const int rc = sqlite3_exec(db(), "COMMIT", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            return true;
        NoteError(rc);
    }
    if (!sqlite3_get_autocommit(db()))
        sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
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
        return sqlite3_changes(db()) > 0;
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
    const bool own = m_depth == 0 && sqlite3_get_autocommit(db());
    if (own)
        sqlite3_exec(db(), "BEGIN", nullptr, nullptr, nullptr);
    std::vector<std::pair<std::int64_t, std::string>> pending{{*top, std::string(keyPath)}};
    try {
        while (!pending.empty()) {
            auto [id, path] = std::move(pending.back());
            pending.pop_back();
            visit(path, ValuesOf(id));
            auto subKeys = SubKeysOf(id);
            for (std::size_t i = subKeys.size(); i-- > 0;) {
                auto& [subId, name] = subKeys[i];
                pending.emplace_back(subId, path.empty() ? std::move(name) : path + "\\" + name);
            }
        }
    } catch (...) {
        if (own)
            sqlite3_exec(db(), "COMMIT", nullptr, nullptr, nullptr);
        throw;
    }
    if (own)
        sqlite3_exec(db(), "COMMIT", nullptr, nullptr, nullptr);
    return true;
}

} // namespace kesto
