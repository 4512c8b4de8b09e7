// kestoctl wep-keys: the subcommand in-process over its argument forms, and the built
// program printing the published key vectors.
#include "tools/kestoctl/WepKeysCommand.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace kesto {
namespace {

const std::string kBadpw64 = "02CB778981\nC27236DFB1\nC90C104FA2\nA804571CC0\n";
const std::string kFoobar128 = "49D68437B1FFB0DB3FDF2D4A93\n";
const std::string kUsageLine = "usage: kestoctl wep-keys --64|--128 PHRASE | --passphrase-stdin\n";

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string input = {}; // standard input
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class WepKeysCommandTest : public testing::TestWithParam<Case> {};

// The command needs no store: the context points at a file that is never created.
TEST_P(WepKeysCommandTest, PrintsKeysOrUsage)
{
    const Case& c = GetParam();
    test::TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
    CommandContext context(dir.file("unused.db").string(), out, err);
    std::istringstream in(c.input);
    context.in = &in;
    EXPECT_EQ(RunWepKeysCommand(context, c.args), c.code);
    EXPECT_EQ(out.str(), c.out);
    if (c.code == kExitOk) {
        EXPECT_EQ(err.str(), "");
    } else {
        EXPECT_TRUE(err.str().ends_with(kUsageLine)) << err.str();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("unused.db")));
}

INSTANTIATE_TEST_SUITE_P(
    Args, WepKeysCommandTest,
    testing::Values(Case{"SixtyFour", {"--64", "badpw"}, kExitOk, kBadpw64},
                    Case{"OneTwentyEight", {"--128", "foobar"}, kExitOk, kFoobar128},
                    Case{"TrimmedLikeThePages", {"--64", "  badpw\t"}, kExitOk, kBadpw64},
                    Case{"NoArguments", {}, kExitUsage, ""},
                    Case{"NoPhrase", {"--64"}, kExitUsage, ""},
                    Case{"TwoPhrases", {"--64", "bad", "pw"}, kExitUsage, ""},
                    Case{"PhraseFirst", {"badpw", "--64"}, kExitUsage, ""},
                    Case{"TwoFiftySix", {"--256", "badpw"}, kExitUsage, ""},
                    Case{"EmptyPhrase", {"--128", ""}, kExitUsage, ""},
                    Case{"OnlySpaces", {"--64", "   "}, kExitUsage, ""},
                    Case{"PhraseFromStandardInput",
                         {"--128", "--passphrase-stdin"},
                         kExitOk,
                         kFoobar128,
                         "foobar\r\nsecond line\n"},
                    Case{"NothingOnStandardInput", {"--64", "--passphrase-stdin"}, kExitUsage, ""}),
    [](const testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the built program with stdout and stderr in files.
Result RunKestoctl(const test::TempDir& dir, const std::vector<std::string>& args)
{
    const std::string outPath = dir.file("stdout").string();
    const std::string errPath = dir.file("stderr").string();
    std::vector<std::string> words{KESTOCTL_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) {
            _exit(127);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    Result result;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.code = WEXITSTATUS(status);
    }
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

TEST(KestoctlWepKeysTest, BuiltProgramPrintsPublishedVectors)
{
    test::TempDir dir;
    const Result r64 = RunKestoctl(dir, {"wep-keys", "--64", "badpw"});
    EXPECT_EQ(r64.code, 0) << r64.err;
    EXPECT_EQ(r64.out, kBadpw64);
    const Result r128 = RunKestoctl(dir, {"wep-keys", "--128", "foobar"});
    EXPECT_EQ(r128.code, 0) << r128.err;
    EXPECT_EQ(r128.out, kFoobar128);
    const Result usage = RunKestoctl(dir, {"wep-keys", "--64"});
    EXPECT_EQ(usage.code, 1);
    EXPECT_EQ(usage.out, "");
    EXPECT_TRUE(usage.err.ends_with(kUsageLine)) << usage.err;
}

} // namespace
} // namespace kesto
