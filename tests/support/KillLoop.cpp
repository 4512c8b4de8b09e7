#include "tests/support/KillLoop.h"

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace kesto::test {

bool RunAndKill(const std::function<void(int step)>& step, unsigned seed, int maxDelayUs)
{
    int started[2];
    if (::pipe(started) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::close(started[0]);
        const char byte = 's';
        (void)!::write(started[1], &byte, 1);
        for (int i = 0;; ++i)
            step(i);
    }
    ::close(started[1]);
    char byte = 0;
    (void)!::read(started[0], &byte, 1);
    ::close(started[0]);
    std::mt19937 random(seed);
    ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(0, maxDelayUs)(random)));
    const bool alive = ::kill(child, SIGKILL) == 0;
    int status = 0;
    ::waitpid(child, &status, 0);
    return alive && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

} // namespace kesto::test
