// ControlClient: one request over a daemon's control socket (wpa_supplicant, hostapd:
// a UNIX datagram socket per interface, plus a global one). Each request uses a fresh
// socket bound to a kernel-chosen abstract address, so a late reply to an earlier
// request that timed out is never taken for the answer to a later one. Nothing blocks:
// a daemon whose queue is full (it stopped reading) costs the deadline, as a daemon
// that does not answer does, and a cancel descriptor ends the wait at once.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace kesto::linuxwlan {

enum class ControlError {
    None,
    NoSocket,  // the daemon's socket is missing or refuses us (not running, no access)
    Untrusted, // the socket there is not the daemon's: owned by neither root nor its folder's owner
    Timeout,   // no reply in time (or the request could not even be queued in time)
    Truncated, // the reply did not fit the receive buffer
    Refused,   // the daemon answered FAIL... or UNKNOWN COMMAND
    Cancelled, // the cancel descriptor became readable while waiting
    System,    // a socket call failed for another reason
};

struct ControlReply {
    ControlError error = ControlError::None;
    std::string text; // the reply as sent (also for Refused), empty on other errors

    bool ok() const { return error == ControlError::None; }
};

// Waits until fd is ready for events (POLLIN or POLLOUT) or the deadline passes;
// cancelFd (-1: none) readable ends the wait too.
enum class WaitResult { Ready, Timeout, Cancelled, Failed };
WaitResult WaitReady(int fd, short events, std::chrono::steady_clock::time_point deadline,
                     int cancelFd);

// Whether a datagram is an unsolicited event message ("<3>CTRL-EVENT-...").
bool IsEventMessage(std::string_view datagram);

class ControlClient {
public:
    using Clock = std::chrono::steady_clock;
    // The largest reply taken whole; a longer one is Truncated.
    static constexpr std::size_t kMaxReply = std::size_t{64} * 1024;

    // timeout: per request; cancelFd: a descriptor that, once readable, ends every wait
    // (-1: none).
    explicit ControlClient(std::chrono::milliseconds timeout, int cancelFd = -1)
        : m_timeout(timeout), m_cancelFd(cancelFd)
    {
    }

    // Sends command (no line end) to the socket at socketPath and returns the first
    // reply that is not an event message ("<digit>..."). A reply beginning with "FAIL"
    // or "UNKNOWN COMMAND" is Refused.
    ControlReply Request(const std::string& socketPath, std::string_view command) const
    {
        return Request(socketPath, command, Clock::now() + m_timeout);
    }
    ControlReply Request(const std::string& socketPath, std::string_view command,
                         Clock::time_point deadline) const;

private:
    std::chrono::milliseconds m_timeout;
    int m_cancelFd;
};

} // namespace kesto::linuxwlan
