// The single-instance guard across real processes: a forked child takes the guard,
// the parent sees it held, and the kernel hands it back when the child ends, however
// it ends.
#include "posix/FlockSingleInstance.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace kesto {
namespace {

// A child process that takes the guard, reports the result through a pipe and then
// waits until told to end (or is killed).
class GuardChild {
public:
    GuardChild(const std::filesystem::path& dir, const char* name, std::string note = {})
    {
        if (::pipe(m_toParent) != 0 || ::pipe(m_toChild) != 0)
            std::abort();
        m_pid = ::fork();
        if (m_pid == 0) {
            FlockSingleInstance guard(dir);
            guard.SetHolderNote(note);
            const char result = static_cast<char>(guard.TryAcquire(name));
            [[maybe_unused]] auto w = ::write(m_toParent[1], &result, 1);
            char go;
            [[maybe_unused]] auto r = ::read(m_toChild[0], &go, 1);
            ::_exit(0);
        }
        char result = -1;
        EXPECT_EQ(::read(m_toParent[0], &result, 1), 1);
        m_result = static_cast<GuardResult>(result);
    }
    ~GuardChild() { End(); }

    GuardResult result() const { return m_result; }
    pid_t pid() const { return m_pid; }
    // Lets the child return normally, or kills it; waits until it is gone.
    void End(bool kill = false)
    {
        if (m_pid <= 0)
            return;
        if (kill)
            ::kill(m_pid, SIGKILL);
        else [[maybe_unused]]
            auto w = ::write(m_toChild[1], "x", 1);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        for (int fd : {m_toParent[0], m_toParent[1], m_toChild[0], m_toChild[1]})
            ::close(fd);
    }

private:
    pid_t m_pid = -1;
    int m_toParent[2] = {-1, -1};
    int m_toChild[2] = {-1, -1};
    GuardResult m_result = GuardResult::Failed;
};

TEST(FlockSingleInstance, SecondProcessSeesTheGuardHeldUntilTheFirstEnds)
{
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "first instance killed" : "first instance returned");
        test::TempDir dir;
        EXPECT_FALSE(FlockSingleInstance::HolderOf("kesto-utility", dir.path()));
        GuardChild first(dir.path(), "kesto-utility", "/home/u/.config/kesto/registry.db");
        ASSERT_EQ(first.result(), GuardResult::Acquired);
        // Who holds it, as an exit request asks before it writes anything.
        const auto holder = FlockSingleInstance::HolderOf("kesto-utility", dir.path());
        ASSERT_TRUE(holder);
        EXPECT_EQ(holder->pid, first.pid());
        EXPECT_EQ(holder->note, "/home/u/.config/kesto/registry.db");
        EXPECT_FALSE(FlockSingleInstance::HolderOf("other-program", dir.path()));

        FlockSingleInstance second(dir.path());
        EXPECT_EQ(second.TryAcquire("kesto-utility"), GuardResult::AlreadyHeld);
        EXPECT_EQ(second.TryAcquire("other-program"), GuardResult::Acquired);
        // Asking did not take it: the holder still holds it.
        EXPECT_EQ(second.TryAcquire("kesto-utility"), GuardResult::AlreadyHeld);

        first.End(killed);
        EXPECT_FALSE(FlockSingleInstance::HolderOf("kesto-utility", dir.path()));
        EXPECT_EQ(second.TryAcquire("kesto-utility"), GuardResult::Acquired);
    }
}

TEST(FlockSingleInstance, GuardIsHeldPerObjectAndReleasedWithIt)
{
    test::TempDir dir;
    {
        FlockSingleInstance first(dir.path());
        ASSERT_EQ(first.TryAcquire("app"), GuardResult::Acquired);
        EXPECT_EQ(first.TryAcquire("app"), GuardResult::Acquired); // already its own
        FlockSingleInstance other(dir.path());
        EXPECT_EQ(other.TryAcquire("app"), GuardResult::AlreadyHeld);

        GuardChild child(dir.path(), "app");
        EXPECT_EQ(child.result(), GuardResult::AlreadyHeld);
    }
    FlockSingleInstance later(dir.path());
    EXPECT_EQ(later.TryAcquire("app"), GuardResult::Acquired);
}

TEST(FlockSingleInstance, UnusableDirectoryFailsRatherThanClaimingASecondInstance)
{
    test::TempDir dir;
    FlockSingleInstance guard(dir.file("missing/below"));
    EXPECT_EQ(guard.TryAcquire("app"), GuardResult::Failed);
    EXPECT_FALSE(FlockSingleInstance::HolderOf("app", dir.file("missing/below")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

TEST(FlockSingleInstance, LockFileNamesStayInsideTheDirectory)
{
    struct Case {
        std::string name;
        std::string file;
    };
    const Case cases[] = {
        {"kesto-utility", "kesto-utility.lock"},
        {"Kesto_Utility.2", "Kesto_Utility.2.lock"},
        {"../../etc/passwd", "_.._.._etc_passwd.lock"},
        {"..", "_...lock"},
        {"", "_.lock"},
        {"a b\\c", "a_b_c.lock"},
        {std::string("x\0y", 3), "x_y.lock"},
        {"Grüße", "Gr____e.lock"},
        {std::string(150, 'n'), std::string(100, 'n') + ".lock"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FlockSingleInstance::LockFileName(c.name), c.file);
    }

    test::TempDir dir;
    FlockSingleInstance guard(dir.path());
    ASSERT_EQ(guard.TryAcquire("../escape"), GuardResult::Acquired);
    EXPECT_TRUE(std::filesystem::exists(dir.file("_.._escape.lock")));
}

} // namespace
} // namespace kesto
