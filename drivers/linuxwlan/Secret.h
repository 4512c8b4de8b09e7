// Secret: bytes the library must not leave behind in freed memory - a WEP key, a pass
// phrase, an 802.1X password, and every request text that carries one. The bytes are
// wiped when they are replaced, moved away or destroyed, and when the buffer grows its
// old copy is wiped before it is given back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::linuxwlan {

class Secret {
public:
    Secret() = default;
    explicit Secret(std::string_view bytes) { Append(bytes); }
    Secret(const Secret& other) { Append(other.view()); }
    Secret(Secret&& other) noexcept : m_bytes(std::move(other.m_bytes)) { other.m_bytes.clear(); }
    Secret& operator=(const Secret& other);
    Secret& operator=(Secret&& other) noexcept;
    ~Secret() { Wipe(); }

    // Appends text; growing moves the bytes into a larger buffer and wipes the old one.
    Secret& Append(std::string_view text);
    // Appends bytes as lower-case hexadecimal digits, as the daemons take keys.
    Secret& AppendHex(std::string_view bytes);
    // Zeroes every byte the buffer holds, then empties it.
    void Wipe() noexcept;

    std::string_view view() const { return {m_bytes.data(), m_bytes.size()}; }
    bool empty() const { return m_bytes.empty(); }
    std::size_t size() const { return m_bytes.size(); }

    bool operator==(const Secret& other) const { return view() == other.view(); }

private:
    void Reserve(std::size_t total);

    std::vector<char> m_bytes;
};

// Zeroes a string's whole buffer (its unused part too) and empties it: for the copies
// of a secret that come in as std::string.
void WipeString(std::string& text) noexcept;

} // namespace kesto::linuxwlan
