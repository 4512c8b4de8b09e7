// kestoctl's human output: what a stranger's network name may hold reaches the terminal
// as text, never as a control.
#include "tools/kestoctl/CommandOutput.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kesto {
namespace {

struct Escape {
    const char* label;
    std::string text;
    std::string shown;
};

TEST(CommandOutput, TerminalSafeShowsControlsAsEscapes)
{
    const Escape cases[] = {
        {"plain UTF-8 stays", "Caf\u00e9 \u201eHof\u201c \u4e2d",
         "Caf\u00e9 \u201eHof\u201c \u4e2d"},
        {"erase line, return, title, bell", "\x1b[2K\rFake\x1b]0;owned\x07",
         "\\x1b[2K\\x0dFake\\x1b]0;owned\\x07"},
        {"newline, tab and NUL", std::string("a\nb\tc\0d", 7), "a\\x0ab\\x09c\\x00d"},
        {"DEL", "a\x7f", "a\\x7f"},
        {"C1 control (CSI)",
         "a\xc2\x9b"
         "2J",
         "a\\u009b2J"},
        {"right-to-left override", "abc\u202etxt.exe", "abc\\u202etxt.exe"},
        {"isolates and marks", "\u2066x\u2069\u200f\u061c", "\\u2066x\\u2069\\u200f\\u061c"},
        {"a byte that is not UTF-8", "Caf\xe9", "Caf\\xe9"},
        {"a backslash stays, as in the store's paths", "HKLM\\Software", "HKLM\\Software"},
    };
    for (const Escape& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(TerminalSafe(c.text), c.shown);
    }
}

TEST(CommandOutput, TablesFieldsJsonAndRefusalsPrintEscaped)
{
    std::ostringstream out;
    PrintTable(out, {"SSID", "Kanal"}, {{"\x1b[2KFake", "6"}, {"Hof", "11"}});
    EXPECT_EQ(out.str(), "SSID         Kanal\n"
                         "\\x1b[2KFake  6\n"
                         "Hof          11\n");
    out.str("");
    PrintFields(out, {{"Netzwerkname", "a\u202eb"}});
    EXPECT_EQ(out.str(), "Netzwerkname:  a\\u202eb\n");
    out.str("");
    PrintJson(out, {{"name", "\x1b]0;x\x07 a\u202eb \xc2\x9b"
                             "2J B\u00fcro"}});
    EXPECT_EQ(out.str(),
              "{\n  \"name\": \"\\u001b]0;x\\u0007 a\\u202eb \\u009b2J B\u00fcro\"\n}\n");
    std::ostringstream err;
    CommandContext context("unused.db", out, err);
    ReportRefusal(context, {"UnknownNetwork", "Das Netzwerk \u201e\x1b]0;x\x07\u201c fehlt."});
    EXPECT_EQ(err.str(), "kestoctl: Das Netzwerk \u201e\\x1b]0;x\\x07\u201c fehlt.\n");
}

} // namespace
} // namespace kesto
