// The SingleInstance guard as an advisory lock (flock) on a lock file in the user's
// runtime directory. The kernel drops the lock when the last descriptor of the file
// closes, which is at the latest when the process ends.
#pragma once

#include "platform/SingleInstance.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kesto {

class FlockSingleInstance : public SingleInstance {
public:
    // Lock files go into directory; an empty path picks DefaultDirectory() on the first
    // TryAcquire.
    explicit FlockSingleInstance(std::filesystem::path directory = {});
    ~FlockSingleInstance() override;
    FlockSingleInstance(const FlockSingleInstance&) = delete;
    FlockSingleInstance& operator=(const FlockSingleInstance&) = delete;

    GuardResult TryAcquire(std::string_view name) override;

    // A line of text written into every lock file this object takes, after the process
    // id: the utility puts its store's path there, so that an exit request finds the
    // store of the instance that runs. Must not hold a newline; set before TryAcquire.
    void SetHolderNote(std::string note) { m_note = std::move(note); }

    struct Holder {
        pid_t pid = 0;
        std::string note; // empty when the holder wrote none
    };
    // The process that holds the guard called name in directory (empty: DefaultDirectory())
    // right now, or nothing when none does. Creates no file or directory; a lock file that
    // is a link, or one nobody holds, counts as no holder.
    static std::optional<Holder> HolderOf(std::string_view name,
                                          const std::filesystem::path& directory = {});

    // $XDG_RUNTIME_DIR when set and absolute; otherwise a directory of this user below
    // the temporary directory ("kesto-<uid>", mode 0700), created when missing.
    static std::filesystem::path DefaultDirectory();
    // The lock file's name for a guard name: letters, digits, '.', '_' and '-' kept,
    // every other byte '_', at most 100 bytes, never "" or starting with '.', then
    // ".lock". Different names may share a file; that only makes the guards coarser.
    static std::string LockFileName(std::string_view name);

private:
    std::filesystem::path m_directory;
    std::string m_note;
    std::map<std::string, int, std::less<>> m_held; // lock file name -> descriptor
};

} // namespace kesto
