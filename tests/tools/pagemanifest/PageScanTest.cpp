// The page tools behind the pages and their element manifest: how a page is assembled
// from its parts, what the scanner reads from a page, and that every malformed page or
// part is refused with the file and line of the fault instead of producing a page or a
// manifest the mirror would trust.
#include "tools/pagemanifest/PageScan.h"
#include "tests/support/TempDir.h"
#include "tools/pagemanifest/ManifestWriter.h"
#include "tools/pagemanifest/PageAssembly.h"
#include "tools/pagemanifest/PageError.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

namespace kesto::pages {
namespace {

std::string Page(std::string_view body)
{
    return "<!DOCTYPE html>\n<html><body data-page=\"300\">\n" + std::string(body) +
           "\n</body></html>\n";
}

TEST(PageScan, ReadsKindsOptionsAndRadioGroups)
{
    const PageDocument doc = ScanPage(Page(R"(<!-- a <select> in a comment is no select -->
<input id="Name" type="text"> <input id="Secret" type="password"> <input id="Plain">
<input id="Hide" type="checkbox"> <img id="Bar" src="./images/#143"> <img src="deco.svg">
<button id="Go" type="button">Go</button> <textarea id="Notes"></textarea>
<label><input id="A" type="radio" name="Group" checked>A</label>
<select id="Mode"><option>Gemischt&shy;modus</option><option value="2">Nur   G</option>
<option>Schl&#252;ssel &amp; Co</option></select>
<input type="radio" name="Group">
<script>if (a < b && "</select>") {}</script>)"),
                                      300);
    struct Want {
        std::string_view id;
        ElementKind kind;
        std::size_t options;
    };
    const Want want[] = {
        {"Name", ElementKind::Text, 0},   {"Secret", ElementKind::Text, 0},
        {"Plain", ElementKind::Text, 0},  {"Hide", ElementKind::Check, 0},
        {"Bar", ElementKind::Image, 0},   {"Go", ElementKind::Button, 0},
        {"Notes", ElementKind::Text, 0},  {"A", ElementKind::Other, 0},
        {"Group", ElementKind::Radio, 2}, {"Mode", ElementKind::Select, 3},
    };
    ASSERT_EQ(doc.elements.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(doc.elements[i].id, want[i].id);
        EXPECT_EQ(doc.elements[i].kind, want[i].kind) << want[i].id;
        EXPECT_EQ(doc.elements[i].options.size(), want[i].options) << want[i].id;
    }
    // Unknown references stay as written; known ones decode to UTF-8.
    EXPECT_EQ(doc.elements[9].options[0], "Gemischt&shy;modus");
    EXPECT_EQ(doc.elements[9].options[1], "Nur G");
    EXPECT_EQ(doc.elements[9].options[2], "Schlüssel & Co");
    EXPECT_EQ(doc.elements[8].options, (std::vector<std::string>{"A", ""}));
}

struct MalformedCase {
    const char* name;
    std::string html; // the whole page text
    int line;
    std::string_view message;
};

std::ostream& operator<<(std::ostream& os, const MalformedCase& c)
{
    return os << c.name;
}

class MalformedPage : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedPage, IsRefusedWithItsLine)
{
    const MalformedCase& c = GetParam();
    try {
        ScanPage(c.html, 300);
        FAIL() << "accepted";
    } catch (const PageError& e) {
        EXPECT_EQ(e.line(), c.line) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
}

std::string CaseName(const ::testing::TestParamInfo<MalformedCase>& param)
{
    return param.param.name;
}

// Page() puts the body on line 3.
INSTANTIATE_TEST_SUITE_P(
    Pages, MalformedPage,
    ::testing::Values(
        MalformedCase{"DuplicateId", Page("<input id=\"A\">\n<img id=\"A\">"), 4,
                      "duplicate id 'A' (first used on line 3)"},
        MalformedCase{"IdsDifferingInCase",
                      Page("<input id=\"RadioGroupWEP\">\n<input id=\"RadioGroupWep\">"), 4,
                      "duplicate id"},
        MalformedCase{"GroupNameClashesWithId",
                      Page("<input id=\"G\">\n<input type=\"radio\" name=\"G\">"), 4,
                      "duplicate id 'G'"},
        MalformedCase{"RadioWithoutName", Page("<input id=\"R\" type=\"radio\">"), 3,
                      "radio button without a group name"},
        MalformedCase{"RadioGroupOfOne", Page("<input type=\"radio\" name=\"G\">"), 3,
                      "only one member"},
        MalformedCase{"SelectWithoutId", Page("<select><option>x</option></select>"), 3,
                      "<select> without an id"},
        MalformedCase{"SelectWithoutOptions", Page("<select id=\"S\"></select>"), 3,
                      "has no options"},
        MalformedCase{"SelectNeverClosed", Page("<select id=\"S\"><option>x"), 3, "never closed"},
        MalformedCase{"NestedSelect", Page("<select id=\"S\"><option>x\n<select id=\"T\">"), 4,
                      "inside another"},
        MalformedCase{"OptionOutsideSelect", Page("<option>x</option>"), 3, "outside a <select>"},
        MalformedCase{"StrayEndSelect", Page("</select>"), 3, "without an open"},
        MalformedCase{"IdNotAnIdentifier", Page("<input id=\"a-b\">"), 3, "not an identifier"},
        MalformedCase{"IdWithQuote", Page("<input id='x\"y'>"), 3, "not an identifier"},
        MalformedCase{"EmptyId", Page("<input id=\"\">"), 3, "not an identifier"},
        MalformedCase{"DuplicateAttribute", Page("<input id=\"A\" id=\"B\">"), 3, "given twice"},
        MalformedCase{"UnterminatedValue", Page("<input id=\"A>\n<b>x</b>"), 3,
                      "unterminated value"},
        MalformedCase{"UnterminatedTag", "<html><body data-page=\"300\">\n<input id=\"A\"", 2,
                      "unterminated tag"},
        MalformedCase{"UnterminatedComment", Page("<!-- open\n"), 3, "unterminated comment"},
        MalformedCase{"UnterminatedScript", "<body data-page=\"300\">\n<script>var a;\n", 2,
                      "unterminated <script>"},
        MalformedCase{"StrayLessThan", Page("a < b"), 3, "does not start a tag"},
        MalformedCase{"NoBody", "<html>\n<input id=\"A\">\n</html>", 3, "has no <body"},
        MalformedCase{"WrongPageNumber", "<html>\n<body data-page=\"236\"></body>", 2,
                      "data-page=\"300\""}),
    CaseName);

TEST(PageScan, NeverCrashesOnTruncatedPages)
{
    // Every prefix of a real page: either scanned or refused, never undefined.
    std::ifstream in(test::DataDir() / "pages" / "262.html", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string html = text.str();
    ASSERT_FALSE(html.empty());
    int refused = 0;
    for (std::size_t n = 0; n <= html.size(); ++n) {
        try {
            ScanPage(std::string_view(html).substr(0, n), 262);
        } catch (const PageError& e) {
            EXPECT_GE(e.line(), 1);
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_NO_THROW(ScanPage(html, 262));
}

// --- assembly ---

using Parts = std::map<std::string, std::string>;

struct AssemblyCase {
    const char* name;
    std::string page; // the source of "page.html"
    Parts parts;
    std::string want;      // the assembled page; empty when the page is refused
    std::string where;     // the fault's "file:line" when refused
    std::string_view says; // and a part of its message
};

void PrintTo(const AssemblyCase& c, std::ostream* os)
{
    *os << c.name;
}

// Parts p0 ... p<count-1>, each including the next; the last one is plain text.
Parts Chain(int count)
{
    Parts parts;
    for (int i = 0; i + 1 < count; ++i)
        parts["p" + std::to_string(i)] = "<!--#include p" + std::to_string(i + 1) + "-->\n";
    parts["p" + std::to_string(count - 1)] = "end\n";
    return parts;
}

class PageAssembly : public ::testing::TestWithParam<AssemblyCase> {};

TEST_P(PageAssembly, BuildsThePageOrNamesTheFault)
{
    const AssemblyCase& c = GetParam();
    const PartReader read = [&](const std::string& name) -> std::optional<PagePart> {
        const auto part = c.parts.find(name);
        if (part == c.parts.end())
            return std::nullopt;
        return PagePart{part->first, part->second};
    };
    try {
        const AssembledPage page = AssemblePage(c.page, "page.html", read);
        EXPECT_TRUE(c.where.empty()) << "accepted";
        EXPECT_EQ(page.text, c.want);
    } catch (const PageError& e) {
        EXPECT_EQ(e.file() + ":" + std::to_string(e.line()), c.where) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageAssembly,
    ::testing::Values(
        AssemblyCase{"ValuesFilledInAndMissingKeysEmpty",
                     "a\n  <!--#include f.html x=\"1\" y=\" selected\"-->  \nb",
                     {{"f.html", "<{{x}}{{y}}{{z}}>\n"}},
                     "a\n<1 selected>\nb",
                     "",
                     ""},
        AssemblyCase{
            "NestedPartsForwardValues",
            "<!--#include f.html prefix=\"Pop\"-->\n",
            {{"f.html", "<div>\n  <!--#include g.html id=\"Text{{prefix}}Name\"-->\n</div>\n"},
             {"g.html", "<input id=\"{{id}}\">\n"}},
            "<div>\n<input id=\"TextPopName\">\n</div>\n",
            "",
            ""},
        AssemblyCase{"PartNamedByAValue",
                     "<!--#include f.html list=\"g.html\"-->\n",
                     {{"f.html", "<!--#include {{list}}-->\n"}, {"g.html", "CH 1\n"}},
                     "CH 1\n",
                     "",
                     ""},
        AssemblyCase{"PageTextAsWritten",
                     "{{x}} <!-- a comment -->\n",
                     {},
                     "{{x}} <!-- a comment -->\n",
                     "",
                     ""},
        AssemblyCase{"EightLevelsDeep", "<!--#include p0-->\n", Chain(8), "end\n", "", ""},
        AssemblyCase{"NineLevelsDeep", "<!--#include p0-->\n", Chain(9), "", "p7:1",
                     "deeper than 8"},
        AssemblyCase{"UnknownPart",
                     "x\n<!--#include f.html-->\n",
                     {},
                     "",
                     "page.html:2",
                     "no part named 'f.html'"},
        AssemblyCase{"ValueThePartDoesNotUse",
                     "<!--#include f.html prefx=\"Pop\"-->\n",
                     {{"f.html", "{{prefix}}\n"}},
                     "",
                     "page.html:1",
                     "has no {{prefx}}"},
        AssemblyCase{"MisspeltInclude",
                     "<!--#incude f.html-->\n",
                     {{"f.html", "\n"}},
                     "",
                     "page.html:1",
                     "malformed include"},
        AssemblyCase{"IncludeNotAlone",
                     "<p><!--#include f.html--></p>\n",
                     {{"f.html", "\n"}},
                     "",
                     "page.html:1",
                     "malformed include"},
        AssemblyCase{"NoPartNamed", "<!--#include -->\n", {}, "", "page.html:1", "names no part"},
        AssemblyCase{"PartOutsideTheFolder",
                     "<!--#include ../f.html-->\n",
                     {},
                     "",
                     "page.html:1",
                     "names no part"},
        AssemblyCase{"ValuesWithoutSpace",
                     "<!--#include f.html a=\"1\"b=\"2\"-->\n",
                     {{"f.html", "{{a}}{{b}}\n"}},
                     "",
                     "page.html:1",
                     "no space before"},
        AssemblyCase{"ValueWithoutQuotes",
                     "<!--#include f.html a=1-->\n",
                     {{"f.html", "{{a}}\n"}},
                     "",
                     "page.html:1",
                     "expected key=\"value\""},
        AssemblyCase{"ValueNotClosed",
                     "<!--#include f.html a=\"1-->\n",
                     {{"f.html", "{{a}}\n"}},
                     "",
                     "page.html:1",
                     "no closing quote"},
        AssemblyCase{"KeyTwice",
                     "<!--#include f.html a=\"1\" a=\"2\"-->\n",
                     {{"f.html", "{{a}}\n"}},
                     "",
                     "page.html:1",
                     "given twice"},
        AssemblyCase{"MalformedPlaceholder",
                     "<!--#include f.html-->\n",
                     {{"f.html", "ok\n{{a b}}\n"}},
                     "",
                     "f.html:2",
                     "placeholder"},
        AssemblyCase{
            "PartIncludesItself",
            "<!--#include f.html-->\n",
            {{"f.html", "x\n<!--#include g.html-->\n"}, {"g.html", "<!--#include f.html-->\n"}},
            "",
            "g.html:1",
            "part 'f.html' includes itself"},
        AssemblyCase{"PartWithoutFinalLineBreak",
                     "<!--#include f.html-->\n",
                     {{"f.html", "a\nb"}},
                     "",
                     "f.html:2",
                     "no line break"}),
    [](const ::testing::TestParamInfo<AssemblyCase>& p) { return std::string(p.param.name); });

// A fault the scanner finds in an assembled page is reported where it was written.
TEST(PageAssembly, LinesKnowWhereTheyWereWritten)
{
    const PartReader read = [](const std::string& name) -> std::optional<PagePart> {
        return PagePart{"parts/" + name, "x\ny\n"};
    };
    const AssembledPage page = AssemblePage("a\n<!--#include f.html-->\nb\n", "236.html", read);
    const std::pair<int, std::string> want[] = {
        {1, "236.html:1"}, {2, "parts/f.html:1"}, {3, "parts/f.html:2"},
        {4, "236.html:3"}, {0, "236.html:0"},     {9, "236.html:9"},
    };
    for (const auto& [line, where] : want) {
        const SourceLine origin = page.Origin(line);
        EXPECT_EQ(origin.file + ":" + std::to_string(origin.line), where) << line;
    }
}

TEST(PageScan, PageIdsComeFromPlainFileNames)
{
    const std::pair<std::string_view, int> cases[] = {
        {"236.html", 236}, {"107.html", 107},   {"0236.html", 0},
        {"236.htm", 0},    {"236.html.bak", 0}, {"abc.html", 0},
        {".html", 0},      {"123456.html", 0},  {"23a.html", 0},
    };
    for (const auto& [name, id] : cases)
        EXPECT_EQ(PageIdFromFileName(name), id) << name;
}

TEST(ManifestWriter, RefusesTwoPagesWithOneId)
{
    PageDocument a;
    a.pageId = 236;
    PageDocument b = a;
    EXPECT_THROW(WriteManifestSource({a, b}), PageError);
}

TEST(ManifestWriter, WritesPagesInIdOrderWithTheirElements)
{
    PageDocument later;
    later.pageId = 262;
    later.elements.push_back({"SelectAPKey", ElementKind::Select, {"a", "b", "c", "d"}, 1});
    PageDocument earlier;
    earlier.pageId = 236;
    earlier.elements.push_back({"ButtonChart", ElementKind::Button, {}, 1});
    const std::string source = WriteManifestSource({later, earlier});
    const std::size_t first = source.find("kPage236[]");
    const std::size_t second = source.find("kPage262[]");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_NE(source.find("{\"SelectAPKey\", ElementKind::Select, 4}"), std::string::npos);
    EXPECT_NE(source.find("{\"ButtonChart\", ElementKind::Button, 0}"), std::string::npos);
}

} // namespace
} // namespace kesto::pages
