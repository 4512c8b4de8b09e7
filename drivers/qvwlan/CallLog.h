// CallLog: every call the program made into the adapter library, in order, with its
// arguments as text and its result, so tests can assert exact call sequences and a
// person can read what the adapter was told. Argument forms: numbers in decimal,
// object identifiers as 0x and eight hexadecimal digits, byte buffers as upper-case
// hexadecimal pairs without separators, network names as text (bytes outside printable
// ASCII and the backslash as \xNN), output buffers by their size in bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesto::qvwlan {

struct Call {
    std::string name;
    std::vector<std::string> args;
    int result = 0;
    bool operator==(const Call&) const = default;
};

// "SetWL_Channel(6) = 0": one call on one line.
std::string Describe(const Call& call);
// For test failure messages.
void PrintTo(const Call& call, std::ostream* os);

class CallLog {
public:
    // The library may run for days inside the tray process; the log keeps the most
    // recent calls only. When it reaches the limit it drops the older half.
    static constexpr std::size_t kDefaultLimit = 50000;

    explicit CallLog(std::size_t limit = kDefaultLimit) : m_limit(limit < 2 ? 2 : limit) {}

    // Records the call and returns its result, so a call can end with
    // "return log.add(...)".
    int add(std::string_view name, std::vector<std::string> args, int result);

    const std::vector<Call>& calls() const { return m_calls; }
    // Called with each call as it is recorded (a program that writes the log to a file
    // as it grows); an empty function stops it. Dropping old calls does not report.
    using Observer = std::function<void(const Call&)>;
    void setObserver(Observer observer) { m_observer = std::move(observer); }
    void clear() { m_calls.clear(); }

    static std::string Hex(std::span<const std::uint8_t> bytes);
    static std::string Text(std::span<const char> bytes);
    static std::string Oid(std::uint32_t oid);

private:
    std::size_t m_limit;
    std::vector<Call> m_calls;
    Observer m_observer;
};

} // namespace kesto::qvwlan
