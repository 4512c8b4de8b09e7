// A writer process that dies in the middle of a whole-profile write must leave the old
// profile whole: a real child process on a real store file, killed mid-transaction.
#include "profiles/ProfileStore.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/KillLoop.h"
#include "tests/support/RecordingRegistry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace kesto {
namespace {

enum class Death { Killed, Exited };

ProfileRecord Office(const std::string& ssid, std::int32_t channel)
{
    ProfileRecord r;
    r.ProfileName = "Office";
    r.SSID = ssid;
    r.Channel = channel;
    r.NetWorkKey1 = ssid + "-key";
    r.LoginName = ssid + "-login";
    return r;
}

void PrintTo(Death death, std::ostream* os)
{
    *os << (death == Death::Killed ? "Killed" : "Exited");
}

class ProfileStoreCrashTest : public testing::TestWithParam<Death> {};

TEST_P(ProfileStoreCrashTest, WriterDyingMidProfileLeavesTheOldProfileWhole)
{
    test::TempDir dir;
    const std::string path = dir.file("registry.db").string();
    const ProfileRecord before = Office("old-net", 3);
    {
        SqliteRegistry registry(path);
        ProfileStore(registry).WriteProfile(before);
    }

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Child: only async-safe exits from here on, never back into the test runner.
        close(ready[0]);
        try {
            SqliteRegistry registry(path);
            test::RecordingRegistry recorder(registry);
            recorder.afterSet = [&](std::size_t count) {
                if (count != 13) // about half of the 27 values
                    return;
                const char byte = 'x';
                (void)!write(ready[1], &byte, 1);
                if (GetParam() == Death::Exited)
                    _exit(0);
                pause(); // until the parent's SIGKILL
            };
            ProfileStore(recorder).WriteProfile(Office("new-net", 9));
        } catch (...) {
        }
        _exit(3); // the hook never ran
    }
    close(ready[1]);
    char byte = 0;
    const auto got = read(ready[0], &byte, 1);
    close(ready[0]);
    if (GetParam() == Death::Killed)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(got, 1) << "the child died before it was halfway through the profile";

    SqliteRegistry registry(path);
    ProfileStore store(registry);
    ProfileRecord read = store.ReadProfile("Office");
    read.Spare1 = before.Spare1;
    read.WepSwitch = before.WepSwitch;
    read.Spare2 = before.Spare2;
    EXPECT_EQ(read, before);

    // The dead writer's lock is gone: a new whole write lands.
    store.WriteProfile(Office("later-net", 11));
    EXPECT_EQ(store.ReadProfile("Office").SSID, "later-net");
}

INSTANTIATE_TEST_SUITE_P(Deaths, ProfileStoreCrashTest,
                         testing::Values(Death::Killed, Death::Exited), [](const auto& param) {
                             return param.param == Death::Killed ? "Killed" : "Exited";
                         });

// Killed from outside at any moment of a stream of whole-profile writes (not at a point
// the writer chose): every time, the store opens and holds one version whole.
TEST(ProfileStoreKillTest, KilledAnywhereInRepeatedWritesLeavesOneWholeVersion)
{
    test::TempDir dir;
    const std::string path = dir.file("registry.db").string();
    const ProfileRecord versions[2] = {Office("net-a", 3), Office("net-b", 11)};
    {
        SqliteRegistry registry(path);
        ProfileStore(registry).WriteProfile(versions[0]);
    }
    int kills = 0;
    for (unsigned round = 0; round < 40; ++round) {
        const bool killed = test::RunAndKill(
            [&](int step) {
                try {
                    SqliteRegistry registry(path);
                    ProfileStore(registry).WriteProfile(versions[(step + round) % 2]);
                } catch (...) {
                    _exit(3);
                }
            },
            round, 30000);
        kills += killed ? 1 : 0;
        SqliteRegistry registry(path);
        ProfileRecord read = ProfileStore(registry).ReadProfile("Office");
        read.Spare1 = versions[0].Spare1;
        read.WepSwitch = versions[0].WepSwitch;
        read.Spare2 = versions[0].Spare2;
        EXPECT_TRUE(read == versions[0] || read == versions[1])
            << "round " << round << ": SSID " << read.SSID << ", key " << read.NetWorkKey1;
    }
    EXPECT_EQ(kills, 40);
}

} // namespace
} // namespace kesto
