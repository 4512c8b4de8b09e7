// kestoctl reg: the subcommand in-process step by step over one store file, and the
// built program end to end beside an open store connection.
#include "registry/SqliteRegistry.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"
#include "tools/kestoctl/ProfileCommand.h"
#include "tools/kestoctl/RegCommand.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kesto {
namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

Result Reg(const std::string& store, const std::vector<std::string>& args,
           CommandFunction command = RunRegCommand, const std::string& input = {})
{
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    CommandContext context(store, out, err);
    context.in = &in;
    const int code = command(context, args);
    return {code, out.str(), err.str()};
}

struct Step {
    std::vector<std::string> args;
    int code;
    std::string out;     // exact stdout, or with '*' at the end: its beginning
    std::string err;     // part of stderr ("" = stderr empty)
    std::string in = {}; // standard input
};

void RunSteps(const std::string& store, const std::vector<Step>& steps,
              CommandFunction command = RunRegCommand)
{
    for (const auto& step : steps) {
        std::string line;
        for (const auto& a : step.args)
            line += a + " ";
        SCOPED_TRACE(line);
        const auto r = Reg(store, step.args, command, step.in);
        EXPECT_EQ(r.code, step.code);
        if (!step.out.empty() && step.out.back() == '*')
            EXPECT_EQ(r.out.substr(0, step.out.size() - 1),
                      step.out.substr(0, step.out.size() - 1));
        else
            EXPECT_EQ(r.out, step.out);
        if (step.err.empty())
            EXPECT_EQ(r.err, "");
        else
            EXPECT_NE(r.err.find(step.err), std::string::npos) << r.err;
    }
}

const std::string kKey = "HKLM\\Software\\Corvane";

// Without a running utility (no session bus at all) the profile commands work on the
// store through the profile list's own code; applying needs the utility.
TEST(ProfileCommandTest, WithoutAUtilityTheStoreItselfIsListedAndChanged)
{
    test::TempDir dir;
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir.file("no-bus").string()).c_str(), 1);
    RunSteps(dir.file("r.db").string(),
             {
                 {{"add", "Buero", "--ssid", "WG-Kastanienallee", "--wep-key", "12345"}, 0, "", ""},
                 {{"list"},
                  0,
                  "Profilname  SSID               Netzwerktyp    Kanal  Sicherheit   Standard\n"
                  "Default                        Infrastruktur         Deaktiviert  ja\n"
                  "Buero       WG-Kastanienallee  Infrastruktur         WEP          \n",
                  ""},
                 {{"show", "Buero", "--json"}, 0, "{\n  \"adHoc\": false,*", ""},
                 {{"add", "buero"}, 2, "", "This Profile Name has already existed!"},
                 {{"add", "Keller", "--wep-key", "123"},
                  2,
                  "",
                  "Der Schl\u00fcssel muss eine L?nge von 5 oder 10 Zeichen haben."},
                 {{"add", "Villa", "--passphrase", "sonne"},
                  2,
                  "",
                  "Die Passphrase muss eine L\u00e4nge von 8 bis 63 Zeichen haben."},
                 {{"delete", "Default"}, 2, "", "The default profile cannot be deleted!"},
                 {{"delete", "Buero"}, 0, "", ""},
                 {{"show", "Buero"}, 2, "", "This Profile doesn't exist!"},
                 {{"apply", "Default"}, 3, "", "Kesto WLAN Utility is not running"},
                 {{"frobnicate"}, 1, "", "unknown or incomplete profile command"},
             },
             RunProfileCommand);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

TEST(RegCommandTest, QuerySetDelete)
{
    test::TempDir dir;
    RunSteps(
        dir.file("r.db").string(),
        {
            {{"set", kKey + "\\Mode", "--sz", "Station Mode"}, 0, "", ""},
            {{"set", "HKEY_LOCAL_MACHINE\\software\\CORVANE\\Channel", "--dword", "0x0b"},
             0,
             "",
             ""},
            {{"set", kKey + "\\Neg", "--dword", "-1"}, 0, "", ""},
            {{"set", kKey + "\\Sub\\", "--sz", "default"}, 0, "", ""},
            {{"query", kKey + "\\mode"}, 0, "Station Mode\n", ""},
            {{"query", kKey + "\\Neg"}, 0, "4294967295\n", ""},
            {{"query", kKey},
             0,
             "HKEY_LOCAL_MACHINE\\Software\\Corvane\n"
             "    Channel    REG_DWORD    0xb (11)\n"
             "    Mode    REG_SZ    Station Mode\n"
             "    Neg    REG_DWORD    0xffffffff (4294967295)\n"
             "\n"
             "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Sub\n",
             ""},
            {{"query", kKey + "\\Sub\\"},
             0,
             "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Sub\n"
             "    (Default)    REG_SZ    default\n",
             ""},
            // A secret from standard input; outside text shown escaped.
            {{"set", kKey + "\\Key", "--sz-stdin"}, 0, "", "", "geheim 1\r\nnext\n"},
            {{"query", kKey + "\\Key"}, 0, "geheim 1\n", ""},
            {{"set", kKey + "\\Key", "--sz-stdin"}, 1, "", "nothing to read"},
            {{"set", kKey + "\\Title", "--sz", "\x1b]0;owned\x07"}, 0, "", ""},
            {{"query", kKey + "\\Title"}, 0, "\\x1b]0;owned\\x07\n", ""},
            {{"query", "HKLM\\Software\\Missing"}, 2, "", "no such key or value"},
            {{"set", kKey + "\\X", "--dword", "12x"}, 1, "", "not a 32-bit number"},
            {{"set", kKey + "\\X", "--dword", "4294967296"}, 1, "", "not a 32-bit number"},
            {{"set", kKey + "\\X", "--sz"}, 1, "", "usage:"},
            {{"set", kKey + "\\X", "--text", "a"}, 1, "", "--sz TEXT, --sz-stdin or --dword N"},
            {{"set", "HKCU\\X", "--sz", "a"}, 1, "", "begins with HKEY_LOCAL_MACHINE"},
            {{"frob"}, 1, "", "unknown reg command"},
            {{"delete", kKey + "\\Mode"}, 0, "", ""},
            {{"query", kKey + "\\Mode"}, 2, "", "no such key or value"},
            {{"delete", "HKLM\\"}, 2, "", "hive itself"},
            {{"delete", "HKLM\\software"}, 0, "", ""},
            {{"query", kKey + "\\Channel"}, 2, "", "no such key or value"},
        });
}

TEST(RegCommandTest, ExportAndImportRoundTripAndBadFilesChangeNothing)
{
    test::TempDir dir;
    const auto store = dir.file("r.db").string();
    const auto unicode = dir.file("u.reg").string();
    const auto regedit4 = dir.file("4.reg").string();
    const auto bad =
        dir.write("bad.reg", "REGEDIT4\n[HKLM\\Software\\Corvane]\n\"Mode\"=hex:00\n").string();
    const auto fifo = dir.file("pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    RunSteps(store, {
                        {{"set", kKey + "\\Mode", "--sz", "Büro"}, 0, "", ""},
                        {{"export", kKey, unicode}, 0, "", ""},
                        {{"export", regedit4, "--regedit4"}, 0, "", ""},
                        {{"delete", kKey}, 0, "", ""},
                        {{"import", unicode}, 0, "", ""},
                        {{"query", kKey + "\\Mode"}, 0, "Büro\n", ""},
                        {{"set", kKey + "\\Mode", "--sz", "other"}, 0, "", ""},
                        {{"import", regedit4}, 0, "", ""},
                        {{"query", kKey + "\\Mode"}, 0, "Büro\n", ""},
                        {{"import", bad}, 2, "", bad + ":3: "},
                        {{"query", kKey + "\\Mode"}, 0, "Büro\n", ""},
                        {{"import", dir.file("none.reg").string()}, 2, "", "none.reg"},
                        {{"export", "HKLM\\Missing", unicode}, 2, "", "no such key"},
                        {{"export"}, 1, "", "usage:"},
                        // Only a regular file is replaced; "-" is standard output.
                        {{"export", fifo}, 2, "", fifo + ": is a named pipe"},
                        {{"export", kKey, "-", "--regedit4"}, 0, "REGEDIT4\r\n*", ""},
                    });
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe is left as it was";
    std::ifstream in(unicode, std::ios::binary);
    std::string head(2, '\0');
    in.read(head.data(), 2);
    EXPECT_EQ(head, "\xFF\xFE");
}

Result RunProgram(const test::TempDir& dir, const std::vector<std::string>& args)
{
    const auto outPath = dir.file("stdout").string();
    const auto errPath = dir.file("stderr").string();
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(KESTOCTL_PATH)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(KESTOCTL_PATH, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(outPath), slurp(errPath)};
}

TEST(RegCommandTest, ReadsLeaveTheStoreAsItWas)
{
    test::TempDir dir;
    const auto absent = dir.file("absent.db").string();
    RunSteps(absent, {{{"query", kKey}, 2, "", "no such key or value"},
                      {{"export", dir.file("out.reg").string()}, 0, "", ""}});
    EXPECT_FALSE(std::filesystem::exists(absent)) << "a read creates no store";
    // Nor a folder: where there is none, the store reads as empty.
    RunSteps(dir.file("missing/absent.db").string(),
             {{{"query", kKey}, 2, "", "no such key or value"}});
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

// A store others could read is made private at the first command, which says so; the
// next one has nothing to say.
TEST(RegCommandTest, LooserStoreIsTightenedAndSaidOnce)
{
    test::TempDir dir;
    const auto store = dir.file("registry.db").string();
    SqliteRegistry(store).SetValue("Software\\Corvane", "Path", RegValue::Text("alt"));
    ASSERT_EQ(::chmod(store.c_str(), 0644), 0);
    RunSteps(store, {{{"query", kKey + "\\Path"}, 0, "alt\n", "kestoctl: " + store + ": "},
                     {{"query", kKey + "\\Path"}, 0, "alt\n", ""}});
    struct stat info {};
    ASSERT_EQ(::stat(store.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(RegCommandTest, WritesIntoAStoreThatCannotBeWrittenSaySo)
{
    test::TempDir dir;
    const auto store = dir.file("registry.db").string();
    {
        SqliteRegistry registry(store);
        registry.SetValue("Software\\Corvane", "Path", RegValue::Text("alt"));
    }
    const auto file =
        dir.write("neu.reg", "REGEDIT4\n[HKLM\\Software\\Corvane]\n\"Path\"=\"neu\"\n").string();
    test::GiveToUnprivileged(dir.path());
    std::filesystem::permissions(store, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const int outcome = test::RunUnprivileged([&] {
        int failures = 0;
        for (const auto& args : std::vector<std::vector<std::string>>{
                 {"import", file}, {"set", kKey + "\\Path", "--sz", "x"}, {"delete", kKey}}) {
            const auto r = Reg(store, args);
            if (r.code != 2 || r.err.find("cannot be written") == std::string::npos)
                ++failures;
        }
        const auto r = Reg(store, {"query", kKey + "\\Path"});
        return failures + (r.code == 0 && r.out == "alt\n" ? 0 : 10);
    });
    EXPECT_EQ(outcome, 0);
}

TEST(KestoctlProgramTest, WritesBesideARunningUtilityAndReportsErrorsByFile)
{
    test::TempDir dir;
    const auto store = dir.file("registry.db").string();
    const std::string exitValue =
        "HKEY_LOCAL_MACHINE\\Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00\\"
        "Exit Utility";
    SqliteRegistry utility(store); // the running utility's connection stays open
    utility.SetValue("Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00",
                     "Exit Utility", RegValue::Text("0"));

    auto r = RunProgram(dir, {"--registry", store, "reg", "set", exitValue, "--sz", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(utility.QueryValue("Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00",
                                 "Exit Utility"),
              RegValue::Text("1"));
    r = RunProgram(dir, {"--registry=" + store, "reg", "query", exitValue});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "1\n");

    const auto text = dir.write("notes.txt", "not a store\n").string();
    r = RunProgram(dir, {"--registry", text, "reg", "query", exitValue});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find(text + ": not a Kesto registry store"), std::string::npos) << r.err;

    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"--registry"}, {"--bogus", "reg"}, {"nosuch"}, {"reg"}}) {
        r = RunProgram(dir, args);
        EXPECT_EQ(r.code, 1) << args.size();
        EXPECT_NE(r.err.find("usage"), std::string::npos) << r.err;
    }
    r = RunProgram(dir, {"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("reg query PATH"), std::string::npos);
    r = RunProgram(dir, {"--version"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, std::string("kestoctl ") + KESTO_VERSION + "\n");
}

} // namespace
} // namespace kesto
