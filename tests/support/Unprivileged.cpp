#include "tests/support/Unprivileged.h"

#include <cstdlib>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kesto::test {

namespace {

constexpr uid_t kNobody = kUnprivilegedUid;

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

void GiveToUnprivileged(const std::filesystem::path& dir)
{
    if (::geteuid() != 0)
        return;
    const auto give = [](const std::filesystem::path& path) {
        if (::lchown(path.c_str(), kNobody, kNobody) != 0)
            std::abort(); // a test that cannot hand its files over would test nothing
    };
    give(dir);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        give(entry.path());
}

} // namespace kesto::test
