// A strict tokenizer for the subset of HTML our page resources are written in: start
// and end tags with attributes, text, comments, a doctype, and the raw contents of
// script and style elements. Anything it cannot read unambiguously is an error with a
// line number, never a guess, so a broken page fails the build instead of the mirror.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesto::pages {

struct HtmlToken {
    enum class Type { StartTag, EndTag, Text };

    Type type = Type::Text;
    // Tag name in lower case (tags only).
    std::string name;
    // Attribute names in lower case, values with character references decoded; a
    // valueless attribute has an empty value. Start tags only.
    std::vector<std::pair<std::string, std::string>> attributes;
    // Text with character references decoded (text tokens only; script and style
    // contents are skipped, not returned).
    std::string text;
    bool selfClosing = false;
    // 1-based line where the token starts.
    int line = 1;

    // The value of attribute name (lower case), or nullptr when the tag lacks it.
    const std::string* Attribute(std::string_view name) const;
};

class HtmlScanner {
public:
    // html must outlive the scanner. Input is read with bounds checks only, so any
    // byte sequence is safe to scan.
    explicit HtmlScanner(std::string_view html);

    // Reads the next token into token; returns false at the end of the input.
    // Throws PageError on malformed input.
    bool Next(HtmlToken& token);

private:
    bool StartsWith(std::string_view prefix) const;
    bool StartsWithNoCase(std::string_view prefix) const;
    void Advance(std::size_t count);
    void SkipSpace();
    void SkipPast(std::string_view terminator, const char* what);
    void ReadTag(HtmlToken& token);
    void ReadText(HtmlToken& token);
    void SkipRawText(const std::string& tagName);

    std::string_view m_html;
    std::size_t m_pos = 0;
    int m_line = 1;
};

// Decodes the character references of text (&amp; &lt; &gt; &quot; &apos; &nbsp;,
// decimal and hexadecimal forms) into UTF-8; unknown references stay as written.
std::string DecodeEntities(std::string_view text);

} // namespace kesto::pages
