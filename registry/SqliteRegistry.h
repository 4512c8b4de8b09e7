// SqliteRegistry: the Registry port over one SQLite database file, the hive that holds
// the utility's profiles and settings. Several processes may open the same file at once
// (the utility, and kestoctl writing an exit request): writers wait for each other
// instead of failing, and readers never block a writer.
#pragma once

#include "platform/Registry.h"
#include "registry/RegistryError.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kesto {

// The store file of this user: $XDG_CONFIG_HOME/kesto/registry.db, or
// ~/.config/kesto/registry.db when XDG_CONFIG_HOME is unset or relative. Creates the
// kesto directory (mode 0700) when missing; throws RegistryError when it cannot.
std::string DefaultRegistryPath();

// How a store is opened: ReadOnly never changes the file (not even its journal mode)
// and does not create an absent one (it then reads as an empty store).
enum class StoreAccess { ReadWrite, ReadOnly };

class SqliteRegistry final : public Registry {
public:
    // Opens the store at path, or a private in-memory store for ":memory:". An absent or
    // empty (0-byte) file becomes a fresh store; a file created here gets mode 0600
    // because the store holds network keys. Throws RegistryError, naming the file, when
    // the file is not a store of ours (not a database, another program's database, a
    // newer layout) or is damaged; such a file is left exactly as it was. A file this
    // process may not write (or whose folder it may not write) is opened for reading:
    // every write then fails and readOnly() says so; it is never called damaged.
    explicit SqliteRegistry(std::string path, StoreAccess access = StoreAccess::ReadWrite);
    ~SqliteRegistry() override;
    SqliteRegistry(const SqliteRegistry&) = delete;
    SqliteRegistry& operator=(const SqliteRegistry&) = delete;

    bool CreateKey(std::string_view keyPath) override;
    bool KeyExists(std::string_view keyPath) override;
    std::optional<RegValue> QueryValue(std::string_view keyPath, std::string_view name) override;
    bool SetValue(std::string_view keyPath, std::string_view name, const RegValue& value) override;
    bool DeleteValue(std::string_view keyPath, std::string_view name) override;
    bool DeleteKey(std::string_view keyPath) override;
    std::vector<std::string> SubKeys(std::string_view keyPath) override;
    std::vector<std::pair<std::string, RegValue>> Values(std::string_view keyPath) override;
    bool RunInTransaction(const std::function<void()>& body) override;
    // By key ids: each key is looked up once, not by its path from the root.
    bool WalkTree(std::string_view keyPath, const KeyVisitor& visit) override;

    const std::string& path() const { return m_path; }
    // Opened for reading only, as asked or because the file cannot be written.
    bool readOnly() const { return m_readOnly; }
    bool IsReadOnly() const override { return m_readOnly; }
    // The reason of the last store failure ("<path>: <what SQLite said>"), for callers
    // that report errors to a person; empty when nothing has failed yet.
    const std::string& lastError() const { return m_lastError; }

private:
    // What CheckExistingFile found.
    enum class FileState { Absent, Empty, Store };

    void Open();
    FileState CheckExistingFile(bool create);
    bool Writable() const;
    void OpenDatabase(const std::string& name, int flags);
    void QuickCheck();
    void OpenEmptyReadOnly();
    bool InitialiseSchema();
    void Exec(const char* sql);
    [[noreturn]] void Fail(std::string_view what);

    sqlite3_stmt* Statement(const char* sql);
    bool NoteError(int rc);

    std::optional<std::int64_t> FindKey(std::string_view keyPath);
    std::optional<std::int64_t> MakeKey(std::string_view keyPath);
    std::vector<std::pair<std::int64_t, std::string>> SubKeysOf(std::int64_t key);
    std::vector<std::pair<std::string, RegValue>> ValuesOf(std::int64_t key);

    // Runs op (a function returning false on failure) as one atomic write: a transaction
    // of its own, or a savepoint inside the caller's transaction.
    template <typename Op> bool AtomicWrite(Op op);
    bool Begin();
    bool Finish(bool ok);

    std::string m_path;
    StoreAccess m_access;
    bool m_readOnly = false;
    bool m_immutable = false;
    sqlite3* m_db = nullptr;
    std::map<std::string, sqlite3_stmt*, std::less<>> m_statements;
    int m_depth = 0;
    // Set when a write inside an open transaction failed: the transaction can no longer
    // keep its all-or-nothing promise, so its outermost level rolls back.
    bool m_transactionFailed = false;
    std::string m_lastError;
};

} // namespace kesto
