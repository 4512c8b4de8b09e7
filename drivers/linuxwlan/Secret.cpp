// Wiping secrets (see Secret.h).
#include "drivers/linuxwlan/Secret.h"

#include <algorithm>
#include <string.h> // explicit_bzero: a plain memset before a free may be optimised away
#include <string>

namespace kesto::linuxwlan {

Secret& Secret::operator=(const Secret& other)
{
    if (this != &other) {
        Wipe();
        Append(other.view());
    }
    return *this;
}

Secret& Secret::operator=(Secret&& other) noexcept
{
    if (this != &other) {
        Wipe();
        m_bytes = std::move(other.m_bytes);
        other.m_bytes.clear();
    }
    return *this;
}

void Secret::Reserve(std::size_t total)
{
    if (total <= m_bytes.capacity())
        return;
    std::vector<char> grown;
    grown.reserve(std::max(total, 2 * m_bytes.capacity()));
    grown.assign(m_bytes.begin(), m_bytes.end());
    Wipe();
    m_bytes.swap(grown);
}

Secret& Secret::Append(std::string_view text)
{
    Reserve(m_bytes.size() + text.size());
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    return *this;
}

Secret& Secret::AppendHex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    Reserve(m_bytes.size() + 2 * bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        m_bytes.push_back(kDigits[b >> 4]);
        m_bytes.push_back(kDigits[b & 0x0F]);
    }
    return *this;
}

void Secret::Wipe() noexcept
{
    if (m_bytes.capacity() > 0)
        explicit_bzero(m_bytes.data(), m_bytes.capacity());
    m_bytes.clear();
}

void WipeString(std::string& text) noexcept
{
    // The buffer holds capacity() characters and the terminating zero.
    explicit_bzero(text.data(), text.capacity());
    text.clear();
}

} // namespace kesto::linuxwlan
