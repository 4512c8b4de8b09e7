// Page assembly from parts (see PageAssembly.h).
#include "PageAssembly.h"

#include "PageError.h"

#include <algorithm>
#include <map>
#include <set>

namespace kesto::pages {

namespace {

constexpr std::string_view kMark = "<!--#";
constexpr std::string_view kIncludeOpen = "<!--#include ";
constexpr std::string_view kClose = "-->";
constexpr std::string_view kSyntax = "<!--#include PART key=\"value\" ...-->";
constexpr std::size_t kMaxDepth = 8;
// As the manifest generator's bound on a page file.
constexpr std::size_t kMaxPageBytes = 4u << 20;

struct Include {
    std::string part;
    std::map<std::string, std::string> values;
};

bool IsWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

std::string_view TrimSpace(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Reads a run of word characters (and '.' when dots is set) off the front of text.
std::string_view TakeWord(std::string_view& text, bool dots)
{
    std::size_t n = 0;
    while (n < text.size() && (IsWordChar(text[n]) || (dots && text[n] == '.')))
        ++n;
    const std::string_view word = text.substr(0, n);
    text.remove_prefix(n);
    return word;
}

// The include a line holds, or nullopt for an ordinary line. A line that mentions the
// include mark in any other way is an error, so a misspelt include never reaches a page.
std::optional<Include> ParseInclude(std::string_view line, const std::string& file, int number)
{
    if (line.find(kMark) == std::string_view::npos)
        return std::nullopt;
    const auto fail = [&](const std::string& what) {
        return PageError(file, number,
                         what + "; an include is " + std::string(kSyntax) + ", alone on its line");
    };
    std::string_view rest = TrimSpace(line);
    if (!rest.starts_with(kIncludeOpen) || !rest.ends_with(kClose) ||
        rest.size() < kIncludeOpen.size() + kClose.size())
        throw fail("malformed include");
    rest = rest.substr(kIncludeOpen.size(), rest.size() - kIncludeOpen.size() - kClose.size());
    Include include;
    include.part = std::string(TakeWord(rest, true));
    if (include.part.empty() || include.part.front() == '.')
        throw fail("the include names no part");
    for (;;) {
        const bool spaced = !rest.empty() && (rest.front() == ' ' || rest.front() == '\t');
        rest = TrimSpace(rest);
        if (rest.empty())
            break;
        if (!spaced)
            throw fail("no space before '" + std::string(rest) + "'");
        const std::string key(TakeWord(rest, false));
        if (key.empty() || !rest.starts_with("=\""))
            throw fail("expected key=\"value\" at '" + std::string(rest) + "'");
        rest.remove_prefix(2);
        const auto quote = rest.find('"');
        if (quote == std::string_view::npos)
            throw fail("the value of " + key + " has no closing quote");
        if (!include.values.emplace(key, std::string(rest.substr(0, quote))).second)
            throw fail(key + " is given twice");
        rest.remove_prefix(quote + 1);
    }
    return include;
}

int LineAt(std::string_view text, std::size_t pos)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + pos, '\n'));
}

// The part's text with each {{key}} replaced by its value (empty when not given); used
// collects the keys that occur.
std::string FillIn(const PagePart& part, const Include& include, std::set<std::string>& used)
{
    const std::string_view text = part.text;
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const auto open = text.find("{{", pos);
        out += text.substr(pos, open - pos);
        if (open == std::string_view::npos)
            return out;
        std::string_view rest = text.substr(open + 2);
        const std::string key(TakeWord(rest, false));
        if (key.empty() || !rest.starts_with("}}"))
            throw PageError(part.file, LineAt(text, open),
                            "'{{' starts a placeholder {{key}} of letters, digits, '-' and '_'");
        used.insert(key);
        if (const auto value = include.values.find(key); value != include.values.end())
            out += value->second;
        pos = open + 2 + key.size() + 2;
    }
}

class Assembler {
public:
    Assembler(const std::string& pageFile, const PartReader& readPart) : m_readPart(readPart)
    {
        m_page.pageFile = pageFile;
    }

    void Add(std::string_view text, const std::string& file)
    {
        int number = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            const auto end = text.find('\n', pos);
            const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
            const std::string_view line = text.substr(pos, next - pos);
            pos = next;
            ++number;
            if (auto include = ParseInclude(line.substr(0, line.find('\n')), file, number)) {
                Expand(*include, file, number);
                continue;
            }
            if (m_page.text.size() + line.size() > kMaxPageBytes)
                throw PageError(file, number, "the assembled page is larger than 4 MiB");
            m_page.text += line;
            m_page.lines.push_back({file, number});
        }
    }

    AssembledPage Take() { return std::move(m_page); }

private:
    void Expand(const Include& include, const std::string& file, int number)
    {
        if (std::find(m_chain.begin(), m_chain.end(), include.part) != m_chain.end())
            throw PageError(file, number, "part '" + include.part + "' includes itself");
        if (m_chain.size() >= kMaxDepth)
            throw PageError(file, number, "parts nest deeper than 8");
        const std::optional<PagePart> part = m_readPart(include.part);
        if (!part)
            throw PageError(file, number, "no part named '" + include.part + "'");
        if (!part->text.empty() && part->text.back() != '\n')
            throw PageError(part->file, LineAt(part->text, part->text.size()),
                            "the part's last line has no line break");
        std::set<std::string> used;
        const std::string filled = FillIn(*part, include, used);
        for (const auto& [key, value] : include.values) {
            if (!used.contains(key))
                throw PageError(file, number, "part '" + include.part + "' has no {{" + key + "}}");
        }
        m_chain.push_back(include.part);
        Add(filled, part->file);
        m_chain.pop_back();
    }

    const PartReader& m_readPart;
    AssembledPage m_page;
    std::vector<std::string> m_chain; // the parts being expanded, outermost first
};

} // namespace

SourceLine AssembledPage::Origin(int line) const
{
    if (line >= 1 && static_cast<std::size_t>(line) <= lines.size())
        return lines[static_cast<std::size_t>(line) - 1];
    return {pageFile, line};
}

AssembledPage AssemblePage(std::string_view source, const std::string& pageFile,
                           const PartReader& readPart)
{
    Assembler assembler(pageFile, readPart);
    assembler.Add(source, pageFile);
    return assembler.Take();
}

} // namespace kesto::pages
