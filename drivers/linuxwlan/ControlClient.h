// ControlClient: one request over a daemon's control socket (wpa_supplicant, hostapd:
// a UNIX datagram socket per interface, plus a global one). Each request uses a fresh
// socket bound to a kernel-chosen abstract address, so a late reply to an earlier
// request that timed out is never taken for the answer to a later one.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace kesto::linuxwlan {

enum class ControlError {
    None,
    NoSocket,  // the daemon's socket is missing or refuses us (not running, no access)
    Timeout,   // no reply in time
    Truncated, // the reply did not fit the receive buffer
    Refused,   // the daemon answered FAIL... or UNKNOWN COMMAND
    System,    // a socket call failed for another reason
};

struct ControlReply {
    ControlError error = ControlError::None;
    std::string text; // the reply as sent (also for Refused), empty on other errors

    bool ok() const { return error == ControlError::None; }
};

class ControlClient {
public:
    // The largest reply taken whole; a longer one is Truncated.
    static constexpr std::size_t kMaxReply = 64 * 1024;

    explicit ControlClient(std::chrono::milliseconds timeout) : m_timeout(timeout) {}

    // Sends command (no line end) to the socket at socketPath and returns the first
    // reply that is not an event message ("<digit>..."). A reply beginning with "FAIL"
    // or "UNKNOWN COMMAND" is Refused.
    ControlReply Request(const std::string& socketPath, std::string_view command) const;

private:
    std::chrono::milliseconds m_timeout;
};

} // namespace kesto::linuxwlan
