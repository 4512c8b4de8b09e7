// Text helpers shared by the store, the parsers and the core: full registry paths,
// white space, and cutting UTF-8 text without splitting a character, checking it is
// UTF-8 at all. Header-only and free of any other layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kesto {

// A full registry path "HKEY_LOCAL_MACHINE\<key>\<value name>". The first component
// names the hive and is ignored (there is only the local machine); the value name is
// the text after the last backslash and the key what lies between.
struct HivePath {
    std::string_view key;
    std::string_view name;
};

inline HivePath SplitHivePath(std::string_view path)
{
    const auto first = path.find('\\');
    if (first == std::string_view::npos)
        return {{}, path};
    const auto last = path.rfind('\\');
    if (last == first)
        return {{}, path.substr(last + 1)};
    return {path.substr(first + 1, last - first - 1), path.substr(last + 1)};
}

// The key below the hive of a full path whose last component is a key ("" for a path
// without a backslash, which names the hive itself).
inline std::string_view HiveKeyPath(std::string_view path)
{
    const auto first = path.find('\\');
    return first == std::string_view::npos ? std::string_view() : path.substr(first + 1);
}

// The C library's white space: blank, tab, line feed, vertical tab, form feed, return.
inline bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline std::string_view TrimWhiteSpace(std::string_view text)
{
    while (!text.empty() && IsWhiteSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

inline bool IsUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Characters of UTF-8 text, counted by their first bytes (a malformed sequence counts
// one character per byte that is not a continuation byte).
inline std::size_t Utf8Length(std::string_view text)
{
    std::size_t characters = 0;
    for (const char c : text)
        characters += IsUtf8Continuation(c) ? 0 : 1;
    return characters;
}

// The longest prefix of at most maxChars characters.
inline std::string_view Utf8PrefixChars(std::string_view text, std::size_t maxChars)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsUtf8Continuation(text[i]))
            continue;
        if (characters == maxChars)
            return text.substr(0, i);
        ++characters;
    }
    return text;
}

// The longest prefix of at most maxBytes bytes that does not split a character.
inline std::string_view Utf8PrefixBytes(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    while (end > 0 && IsUtf8Continuation(text[end]))
        --end;
    return text.substr(0, end);
}

// Length of the valid UTF-8 sequence at text[at], or 0 when none starts there.
inline std::size_t Utf8SequenceAt(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t size = 0;
    std::uint32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (at + size > text.size())
        return 0;
    for (std::size_t i = 1; i < size; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(at + i) & 0x3F);
    }
    const bool overlong = (size == 3 && cp < 0x800) || (size == 4 && cp < 0x10000);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    if (overlong || surrogate || cp > 0x10FFFF)
        return 0;
    return size;
}

// True when text is well-formed UTF-8 (no overlong forms, surrogates or code points
// beyond U+10FFFF).
inline bool IsValidUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = Utf8SequenceAt(text, at);
        if (size == 0)
            return false;
        at += size;
    }
    return true;
}

} // namespace kesto
