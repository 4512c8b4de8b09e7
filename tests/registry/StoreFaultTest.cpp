// The store under faults from outside: an import killed at any moment, and two
// processes writing at once. Real child processes on a real store file.
#include "registry/RegFile.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/KillLoop.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace kesto {
namespace {

constexpr int kKeys = 300;

// An import of kKeys keys whose every value carries the version's mark.
std::string ImportText(char mark)
{
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < kKeys; ++i) {
        text += "[HKLM\\Import\\K" + std::to_string(i) + "]\n";
        text += "\"v\"=\"" + std::string(1, mark) + "\"\n";
        text += "\"n\"=dword:" + std::string(8, mark == 'a' ? '1' : '2') + "\n";
    }
    return text;
}

// Which whole version the store holds: 'a', 'b', 0 for none, '?' for a mixture.
char HeldVersion(Registry& registry)
{
    char seen = 0;
    int keys = 0;
    for (const auto& key : registry.SubKeys("Import")) {
        ++keys;
        const auto v = registry.QueryValue("Import\\" + key, "v");
        const auto n = registry.QueryValue("Import\\" + key, "n");
        if (!v || !n || v->data.size() != 1)
            return '?';
        const char mark = static_cast<char>(v->data[0]);
        if (*n != RegValue::Number(mark == 'a' ? 0x11111111 : 0x22222222))
            return '?';
        if (seen != 0 && seen != mark)
            return '?';
        seen = mark;
    }
    return keys == 0 ? 0 : keys == kKeys ? seen : '?';
}

TEST(StoreFaultTest, ImportKilledAnywhereLeavesAllOrNothing)
{
    test::TempDir dir;
    const std::string path = dir.file("registry.db").string();
    const std::string files[2] = {dir.write("a.reg", ImportText('a')).string(),
                                  dir.write("b.reg", ImportText('b')).string()};
    int kills = 0;
    for (unsigned round = 0; round < 40; ++round) {
        kills += test::RunAndKill(
                     [&](int step) {
                         try {
                             SqliteRegistry registry(path);
                             ImportRegFile(registry, files[(step + round) % 2]);
                         } catch (...) {
                             _exit(3);
                         }
                     },
                     round, 60000)
                     ? 1
                     : 0;
        SqliteRegistry registry(path);
        const char held = HeldVersion(registry);
        EXPECT_NE(held, '?') << "round " << round << ": a partial import";
    }
    EXPECT_EQ(kills, 40);
}

TEST(StoreFaultTest, TwoWriterProcessesLoseNothing)
{
    test::TempDir dir;
    const std::string path = dir.file("registry.db").string();
    {
        SqliteRegistry create(path);
    }
    constexpr int kWrites = 400;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            int failed = 0;
            try {
                SqliteRegistry registry(path);
                for (int i = 0; i < kWrites; ++i) {
                    const std::string key =
                        "W" + std::to_string(w) + "\\K" + std::to_string(i % 20);
                    failed += registry.SetValue(key, "v" + std::to_string(i), RegValue::Number(i))
                                  ? 0
                                  : 1;
                    // Both also rewrite one shared value: the last write of either wins whole.
                    failed +=
                        registry.SetValue("Shared", "v", RegValue::Text(std::string(64, 'a' + w)))
                            ? 0
                            : 1;
                }
            } catch (...) {
                _exit(100);
            }
            _exit(failed > 99 ? 99 : failed);
        }
    }
    for (const pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failed writes: " << status;
    }
    SqliteRegistry registry(path);
    for (int w = 0; w < 2; ++w) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string key = "W" + std::to_string(w) + "\\K" + std::to_string(i % 20);
            EXPECT_EQ(registry.QueryValue(key, "v" + std::to_string(i)), RegValue::Number(i))
                << key << " v" << i;
        }
    }
    const auto shared = registry.QueryValue("Shared", "v");
    ASSERT_TRUE(shared);
    EXPECT_TRUE(*shared == RegValue::Text(std::string(64, 'a')) ||
                *shared == RegValue::Text(std::string(64, 'b')));
}

} // namespace
} // namespace kesto
