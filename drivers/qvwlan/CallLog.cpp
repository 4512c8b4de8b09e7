// The call log and its argument forms.
#include "drivers/qvwlan/CallLog.h"

#include <ostream>

namespace kesto::qvwlan {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

} // namespace

std::string Describe(const Call& call)
{
    std::string out = call.name + "(";
    for (std::size_t i = 0; i < call.args.size(); ++i)
        out += (i ? ", " : "") + call.args[i];
    return out + ") = " + std::to_string(call.result);
}

void PrintTo(const Call& call, std::ostream* os)
{
    *os << Describe(call);
}

int CallLog::add(std::string_view name, std::vector<std::string> args, int result)
{
    if (m_calls.size() >= m_limit)
        m_calls.erase(m_calls.begin(), m_calls.begin() + static_cast<std::ptrdiff_t>(m_limit / 2));
    m_calls.push_back({std::string(name), std::move(args), result});
    if (m_observer)
        m_observer(m_calls.back());
    return result;
}

std::string CallLog::Hex(std::span<const std::uint8_t> bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

std::string CallLog::Text(std::span<const char> bytes)
{
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kDigits[u >> 4];
            out += kDigits[u & 0x0F];
        }
    }
    return out;
}

std::string CallLog::Oid(std::uint32_t oid)
{
    std::string out = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        out += kDigits[(oid >> shift) & 0x0F];
    return out;
}

} // namespace kesto::qvwlan
