// FakeDaemon: a control socket that answers like wpa_supplicant or hostapd, for tests.
// It binds a UNIX datagram socket at a path, records every command it receives and
// answers each with what its handler returns (nothing when the handler returns
// nullopt), from its own thread, until it is destroyed.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kesto::linuxwlan::test {

class FakeDaemon {
public:
    using Handler = std::function<std::optional<std::string>(const std::string& command)>;

    FakeDaemon(std::filesystem::path socketPath, Handler handler);
    ~FakeDaemon();
    FakeDaemon(const FakeDaemon&) = delete;
    FakeDaemon& operator=(const FakeDaemon&) = delete;

    std::vector<std::string> commands() const;
    void clear();
    // Messages sent before the reply to every request (event messages, say).
    void setPrefix(std::vector<std::string> messages);

private:
    void Serve();

    std::filesystem::path m_path;
    Handler m_handler;
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_commands;
    std::vector<std::string> m_prefix;
    std::thread m_thread;
};

} // namespace kesto::linuxwlan::test
