// SqliteRegistry: the Registry port over one SQLite database file, the hive that holds
// the utility's profiles and settings: the key tree in the file that StoreFile opens and
// checks. Several processes may open the same file at once (the utility, and kestoctl
// writing an exit request): writers wait for each other instead of failing, and readers
// never block a writer.
#pragma once

#include "platform/Registry.h"
#include "registry/RegistryError.h"
#include "registry/StoreFile.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kesto {

class SqliteRegistry final : public Registry {
public:
    // Opens the store at path, or a private in-memory store for ":memory:", as StoreFile
    // says (throws RegistryError for a file that is not a store of ours or is damaged).
    // On a store opened for reading every write fails and readOnly() says so.
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

    const std::string& path() const { return m_file.path(); }
    // Opened for reading only, as asked or because the file cannot be written.
    bool readOnly() const { return m_file.readOnly(); }
    bool IsReadOnly() const override { return readOnly(); }
    // What opening the file changed that the user should hear about (StoreFile).
    const std::vector<std::string>& notices() const { return m_file.notices(); }
    // The reason of the last store failure ("<path>: <what SQLite said>"), for callers
    // that report errors to a person; empty when nothing has failed yet.
    const std::string& lastError() const { return m_lastError; }

private:
    sqlite3* db() const { return m_file.db(); }
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

    StoreFile m_file;
    std::map<std::string, sqlite3_stmt*, std::less<>> m_statements;
    int m_depth = 0;
    // Set when a write inside an open transaction failed: the transaction can no longer
    // keep its all-or-nothing promise, so its outermost level rolls back.
    bool m_transactionFailed = false;
    std::string m_lastError;
};

} // namespace kesto
