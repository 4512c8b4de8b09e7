// DaemonLine: the requests of the library's thread to one daemon's control socket, and
// whether that daemon answers. A request that gets no reply in time, or finds no
// daemon, makes it count as not answering, which is logged once; from then on requests
// fail at once without being sent, and Probe's PING finds out when it answers again
// (logged too). So a stopped daemon costs one timeout, not one per request. A socket that
// is not the daemon's (UnixSocket) counts as a daemon that does not answer; why is logged
// once, when it stops answering.
#pragma once

#include "drivers/linuxwlan/ControlClient.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kesto::linuxwlan {

class DaemonLine {
public:
    using Log = std::function<void(const std::string&)>;

    // name: how the log calls the daemon ("wpa_supplicant on wlan0").
    DaemonLine(std::string name, std::string socketPath, std::chrono::milliseconds timeout,
               int cancelFd, Log log);

    // A request with the line's timeout, or with a longer one for the requests that set
    // up the radio before the daemon answers.
    ControlReply Request(std::string_view command);
    ControlReply Request(std::string_view command, std::chrono::milliseconds timeout);
    // The request was answered with a reply starting with "OK".
    bool Ok(std::string_view command);
    bool Ok(std::string_view command, std::chrono::milliseconds timeout);

    // The library closes: from now on no request is broken off by the cancel descriptor
    // (which ends the thread's waits), and none waits beyond deadline.
    void Finish(ControlClient::Clock::time_point deadline);

    bool answering() const { return m_answering; }
    // Asks a daemon that does not answer whether it does again; true when it answers.
    bool Probe();
    const std::string& path() const { return m_path; }

private:
    ControlReply Send(std::string_view command, std::chrono::milliseconds timeout) const;
    void Mark(bool answering);

    std::string m_name;
    std::string m_path;
    std::chrono::milliseconds m_timeout;
    ControlClient m_client;
    ControlClient m_finishing; // not cancelled: for the requests of the close
    std::optional<ControlClient::Clock::time_point> m_finishBy;
    Log m_log;
    bool m_answering = true;
};

} // namespace kesto::linuxwlan
