// The SingleInstance guard as an advisory lock (flock) on a lock file in the user's
// runtime directory. The kernel drops the lock when the last descriptor of the file
// closes, which is at the latest when the process ends.
#pragma once

#include "platform/SingleInstance.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

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

    // $XDG_RUNTIME_DIR when set and absolute; otherwise a directory of this user below
    // the temporary directory ("kesto-<uid>", mode 0700), created when missing.
    static std::filesystem::path DefaultDirectory();
    // The lock file's name for a guard name: letters, digits, '.', '_' and '-' kept,
    // every other byte '_', at most 100 bytes, never "" or starting with '.', then
    // ".lock". Different names may share a file; that only makes the guards coarser.
    static std::string LockFileName(std::string_view name);

private:
    std::filesystem::path m_directory;
    std::map<std::string, int, std::less<>> m_held; // lock file name -> descriptor
};

} // namespace kesto
