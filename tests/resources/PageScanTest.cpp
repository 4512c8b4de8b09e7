// The page scanner behind the element manifest: what it reads from a page, and that
// every malformed page is refused with the line of the fault instead of producing a
// manifest the mirror would trust.
#include "tools/pagemanifest/PageScan.h"
#include "tests/support/TempDir.h"
#include "tools/pagemanifest/ManifestWriter.h"
#include "tools/pagemanifest/PageError.h"

#include <gtest/gtest.h>

#include <fstream>
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
    std::ifstream in(test::SourceDir() / "resources" / "pages" / "262.html", std::ios::binary);
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
