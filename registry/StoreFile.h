// StoreFile: the registry store's database file, from where it lies to an open connection
// the key tree (SqliteRegistry) can work on. Everything that looks at or decides about the
// file itself is here: its default place, the checks made with plain reads before SQLite
// may touch it, the open modes with the read-only fallback, the integrity and layout
// checks, the creation of the tables in a fresh store, and the journal mode.
#pragma once

#include "registry/RegistryError.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

struct sqlite3;
struct stat;

namespace kesto {

// The store file of this user: $XDG_CONFIG_HOME/kesto/registry.db, or
// ~/.config/kesto/registry.db when XDG_CONFIG_HOME is unset or relative. Creates the
// kesto directory with mode 0700 (whatever the umask) when missing; an existing one
// whose mode lets others in is tightened to its owner's bits, and notices (when given)
// gets one line saying so. Throws RegistryError when the directory cannot be made, is
// not a directory, or belongs to another user.
std::string DefaultRegistryPath(std::vector<std::string>* notices = nullptr);

// How a store is opened: ReadOnly never changes the file (not even its journal mode)
// and does not create an absent one (it then reads as an empty store).
enum class StoreAccess { ReadWrite, ReadOnly };

class StoreFile {
public:
    // The key every store has, made with its tables: the root of the key tree.
    static constexpr std::int64_t kRootKey = 1;

    // Opens the store at path, or a private in-memory store for ":memory:". An absent or
    // empty (0-byte) file becomes a fresh store. The store holds network keys, so its
    // files are its owner's alone: a file created here gets mode 0600 whatever the umask
    // (SQLite gives its -wal and -shm files the same), and an existing file of ours
    // (the store, an empty file, a -wal, -shm or -journal beside it) whose mode lets
    // others in loses those bits, once, with a line in notices(). Throws RegistryError,
    // naming the file, when the file is not a store of ours (not a database, another
    // program's database, a newer layout), is damaged, is a symbolic link (the store is
    // never opened through one, nor are its side files), or belongs to another user (for
    // reading too: another user's file could be swapped under us, and a side file we
    // made beside it would lock its owner out); such a file is left exactly as it was.
    // The folder may be reached through symbolic links (a linked ~/.config or /home): it
    // is resolved first, must be a folder of this user or of root that no other user may
    // change (writable by others only with the sticky bit), and SQLite is handed the
    // store's path inside the resolved folder. A refused link is named with where it
    // points. A file created here for a store that then fails to open is removed again.
    // A file this process may not write (or whose folder it may not write) is opened for
    // reading: readOnly() then says so, and SQLite refuses every write; it is never
    // called damaged.
    StoreFile(std::string path, StoreAccess access);
    ~StoreFile();
    StoreFile(const StoreFile&) = delete;
    StoreFile& operator=(const StoreFile&) = delete;

    // The open connection, for the lifetime of this object.
    sqlite3* db() const { return m_db; }
    const std::string& path() const { return m_path; }
    bool readOnly() const { return m_readOnly; }
    // What opening changed that the user should hear about once (a mode tightened), one
    // line each, naming the file.
    const std::vector<std::string>& notices() const { return m_notices; }

private:
    // What CheckExistingFile found.
    enum class FileState { Absent, Empty, Store };

    void Open(StoreAccess access);
    // create: a missing folder is an error (for reading, the store is then empty).
    void ResolveFolder(bool create);
    FileState CheckExistingFile(bool create);
    void CheckSideFiles();
    // Refuses a file that is not ours; takes group and other bits off a looser one.
    void MakePrivate(int fd, const struct stat& info, const std::string& path);
    bool Writable() const;
    void OpenDatabase(const std::string& name, int flags);
    void QuickCheck();
    void OpenEmptyReadOnly();
    bool InitialiseSchema();
    void Exec(const char* sql);
    [[noreturn]] void Fail(std::string_view what);

    std::string m_path;     // as given: what messages name
    std::string m_openPath; // the same file in the resolved folder: what is opened
    bool m_readOnly = false;
    // The empty file CheckExistingFile created (device and inode), removed on failure.
    bool m_created = false;
    dev_t m_createdDevice = 0;
    ino_t m_createdInode = 0;
    bool m_immutable = false;
    sqlite3* m_db = nullptr;
    std::vector<std::string> m_notices;
};

} // namespace kesto
