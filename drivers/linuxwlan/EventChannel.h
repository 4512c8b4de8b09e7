// EventChannel: a daemon's event messages ("<3>CTRL-EVENT-SCAN-RESULTS "). One socket
// stays connected to the daemon's control socket and is attached to it (ATTACH), so the
// daemon sends it every event; the library's thread reads them as they come and never
// waits on them.
#pragma once

#include "drivers/linuxwlan/UnixSocket.h"

#include <chrono>
#include <string>
#include <vector>

namespace kesto::linuxwlan {

class EventChannel {
public:
    EventChannel() = default;
    ~EventChannel() { Close(); }
    EventChannel(const EventChannel&) = delete;
    EventChannel& operator=(const EventChannel&) = delete;

    // Connects to the daemon's socket and attaches; false (and closed) when the daemon
    // is not there or does not confirm before the deadline. cancelFd as ControlClient's.
    bool Open(const std::string& socketPath, std::chrono::steady_clock::time_point deadline,
              int cancelFd);
    // Detaches (without waiting for the confirmation) and closes.
    void Close();
    bool open() const { return m_socket.open(); }
    // Readable when events have come; -1 when closed.
    int fd() const { return m_socket.fd(); }

    // The events that have come, in order, without their "<level>" prefix; other
    // datagrams (replies to our PING) are dropped.
    std::vector<std::string> Take();
    // Sends a PING without waiting for its reply. False when the daemon's socket is
    // gone (the daemon ended or started again, and attached clients with it): the
    // channel must be opened again. A full queue (a daemon that stopped reading) is
    // not gone.
    bool StillConnected();

private:
    UnixSocket m_socket;
};

} // namespace kesto::linuxwlan
