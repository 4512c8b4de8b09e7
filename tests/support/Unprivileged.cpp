#include "tests/support/Unprivileged.h"

#include <cstdlib>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kesto::test {

namespace {

constexpr uid_t kNobody = 65534;

} // namespace

int RunUnprivileged(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(254);
        }
        // _exit: the child must not run the parent's test framework teardown.
        ::_exit(body() & 0xFF);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void OpenForReading(const std::filesystem::path& dir)
{
    namespace fs = std::filesystem;
    const auto readable = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const auto reachable = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    fs::permissions(dir, readable | reachable, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        fs::permissions(entry.path(), entry.is_directory() ? readable | reachable : readable,
                        fs::perm_options::add);
}

} // namespace kesto::test
