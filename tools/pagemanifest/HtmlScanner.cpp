// Tokenizer for the page resources (see HtmlScanner.h).
#include "HtmlScanner.h"

#include "PageError.h"

#include "base/AsciiText.h"

#include <cstdint>

namespace kesto::pages {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Parses a numeric reference body ("#233", "#xE9") into a code point; false when it is
// not a valid Unicode scalar value.
bool NumericReference(std::string_view body, std::uint32_t& cp)
{
    if (body.size() < 2 || body[0] != '#')
        return false;
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8)
        return false;
    std::uint32_t value = 0;
    for (char c : digits) {
        std::uint32_t d = 0;
        if (IsDigit(c))
            d = static_cast<std::uint32_t>(c - '0');
        else if (hex && AsciiToLower(c) >= 'a' && AsciiToLower(c) <= 'f')
            d = static_cast<std::uint32_t>(AsciiToLower(c) - 'a' + 10);
        else
            return false;
        value = value * (hex ? 16u : 10u) + d;
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    cp = value;
    return true;
}

} // namespace

const std::string* HtmlToken::Attribute(std::string_view attrName) const
{
    for (const auto& [key, value] : attributes)
        if (key == attrName)
            return &value;
    return nullptr;
}

std::string DecodeEntities(std::string_view text)
{
    static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", "\xC2\xA0"},
    };
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        // A reference is at most a dozen characters up to its ';'.
        const std::size_t semi = text.find(';', i + 1);
        if (semi == std::string_view::npos || semi - i > 12) {
            out += text[i++];
            continue;
        }
        const std::string_view body = text.substr(i + 1, semi - i - 1);
        bool decoded = false;
        for (const auto& [name, value] : kNamed) {
            if (body == name) {
                out += value;
                decoded = true;
                break;
            }
        }
        std::uint32_t cp = 0;
        if (!decoded && NumericReference(body, cp)) {
            AppendUtf8(out, cp);
            decoded = true;
        }
        if (decoded) {
            i = semi + 1;
        } else {
            out += text[i++];
        }
    }
    return out;
}

HtmlScanner::HtmlScanner(std::string_view html) : m_html(html) {}

bool HtmlScanner::StartsWith(std::string_view prefix) const
{
    return m_html.substr(m_pos).starts_with(prefix);
}

bool HtmlScanner::StartsWithNoCase(std::string_view prefix) const
{
    if (m_html.size() - m_pos < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiToLower(m_html[m_pos + i]) != AsciiToLower(prefix[i]))
            return false;
    return true;
}

void HtmlScanner::Advance(std::size_t count)
{
    for (std::size_t i = 0; i < count && m_pos < m_html.size(); ++i, ++m_pos)
        if (m_html[m_pos] == '\n')
            ++m_line;
}

void HtmlScanner::SkipSpace()
{
    while (m_pos < m_html.size() && IsSpace(m_html[m_pos]))
        Advance(1);
}

void HtmlScanner::SkipPast(std::string_view terminator, const char* what)
{
    const int startLine = m_line;
    const std::size_t end = m_html.find(terminator, m_pos);
    if (end == std::string_view::npos)
        throw PageError(startLine, std::string("unterminated ") + what);
    Advance(end + terminator.size() - m_pos);
}

bool HtmlScanner::Next(HtmlToken& token)
{
    for (;;) {
        if (m_pos >= m_html.size())
            return false;
        token = HtmlToken{};
        token.line = m_line;
        if (m_html[m_pos] != '<') {
            ReadText(token);
            return true;
        }
        if (StartsWith("<!--")) {
            Advance(4);
            SkipPast("-->", "comment");
            continue;
        }
        if (StartsWith("<!")) {
            SkipPast(">", "declaration");
            continue;
        }
        ReadTag(token);
        if (token.type == HtmlToken::Type::StartTag && !token.selfClosing &&
            (token.name == "script" || token.name == "style"))
            SkipRawText(token.name);
        return true;
    }
}

void HtmlScanner::ReadText(HtmlToken& token)
{
    const std::size_t end = m_html.find('<', m_pos);
    const std::size_t stop = end == std::string_view::npos ? m_html.size() : end;
    token.type = HtmlToken::Type::Text;
    token.text = DecodeEntities(m_html.substr(m_pos, stop - m_pos));
    Advance(stop - m_pos);
}

void HtmlScanner::SkipRawText(const std::string& tagName)
{
    const int startLine = m_line;
    const std::string closing = "</" + tagName;
    while (m_pos < m_html.size()) {
        if (StartsWithNoCase(closing)) {
            const std::size_t after = m_pos + closing.size();
            if (after < m_html.size() && (IsSpace(m_html[after]) || m_html[after] == '>'))
                return; // the end tag itself is read as the next token
        }
        Advance(1);
    }
    throw PageError(startLine, "unterminated <" + tagName + "> element");
}

void HtmlScanner::ReadTag(HtmlToken& token)
{
    const int startLine = m_line;
    Advance(1); // '<'
    token.type = HtmlToken::Type::StartTag;
    if (m_pos < m_html.size() && m_html[m_pos] == '/') {
        token.type = HtmlToken::Type::EndTag;
        Advance(1);
    }
    const std::size_t nameStart = m_pos;
    if (m_pos >= m_html.size() || !IsAsciiLetter(m_html[m_pos]))
        throw PageError(startLine, "'<' that does not start a tag (write &lt; in text)");
    while (m_pos < m_html.size() &&
           (IsAsciiLetter(m_html[m_pos]) || IsDigit(m_html[m_pos]) || m_html[m_pos] == '-'))
        Advance(1);
    token.name = AsciiLower(m_html.substr(nameStart, m_pos - nameStart));

    for (;;) {
        SkipSpace();
        if (m_pos >= m_html.size())
            throw PageError(startLine, "unterminated tag <" + token.name + ">");
        const char c = m_html[m_pos];
        if (c == '>') {
            Advance(1);
            return;
        }
        if (c == '/') {
            Advance(1);
            if (m_pos >= m_html.size() || m_html[m_pos] != '>')
                throw PageError(m_line, "stray '/' in tag <" + token.name + ">");
            token.selfClosing = true;
            Advance(1);
            return;
        }
        if (token.type == HtmlToken::Type::EndTag)
            throw PageError(startLine, "end tag </" + token.name + "> with attributes");

        const std::size_t attrStart = m_pos;
        while (m_pos < m_html.size() && !IsSpace(m_html[m_pos]) && m_html[m_pos] != '=' &&
               m_html[m_pos] != '>' && m_html[m_pos] != '/') {
            if (m_html[m_pos] == '"' || m_html[m_pos] == '\'' || m_html[m_pos] == '<')
                throw PageError(m_line,
                                "bad character in an attribute name of <" + token.name + ">");
            Advance(1);
        }
        std::string attrName = AsciiLower(m_html.substr(attrStart, m_pos - attrStart));
        if (attrName.empty())
            throw PageError(m_line, "attribute without a name in <" + token.name + ">");
        if (token.Attribute(attrName) != nullptr)
            throw PageError(m_line,
                            "attribute '" + attrName + "' given twice in <" + token.name + ">");

        std::string value;
        SkipSpace();
        if (m_pos < m_html.size() && m_html[m_pos] == '=') {
            Advance(1);
            SkipSpace();
            if (m_pos >= m_html.size())
                throw PageError(startLine, "unterminated tag <" + token.name + ">");
            const char quote = m_html[m_pos];
            if (quote == '"' || quote == '\'') {
                const int valueLine = m_line;
                const std::size_t close = m_html.find(quote, m_pos + 1);
                if (close == std::string_view::npos)
                    throw PageError(valueLine,
                                    "unterminated value of attribute '" + attrName + "'");
                value = DecodeEntities(m_html.substr(m_pos + 1, close - m_pos - 1));
                Advance(close + 1 - m_pos);
            } else {
                const std::size_t valueStart = m_pos;
                while (m_pos < m_html.size() && !IsSpace(m_html[m_pos]) && m_html[m_pos] != '>') {
                    if (m_html[m_pos] == '"' || m_html[m_pos] == '\'' || m_html[m_pos] == '<' ||
                        m_html[m_pos] == '=' || m_html[m_pos] == '`')
                        throw PageError(m_line, "bad character in the unquoted value of '" +
                                                    attrName + "'");
                    Advance(1);
                }
                value = DecodeEntities(m_html.substr(valueStart, m_pos - valueStart));
            }
        }
        token.attributes.emplace_back(std::move(attrName), std::move(value));
    }
}

} // namespace kesto::pages
