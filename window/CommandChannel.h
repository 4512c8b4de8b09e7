// CommandChannel: the window process's end of the connection to the tray process. The
// tray's commands arrive on standard input; events go out on a private copy of the
// original standard output (standard output itself is pointed at standard error, so
// nothing a library prints can corrupt the message stream).
#pragma once

#include "wire/LineReader.h"
#include "wire/Messages.h"

#include <QSocketNotifier>

#include <functional>

namespace kesto {

class CommandChannel {
public:
    // inputFd: where commands arrive; outputFd: where events go.
    CommandChannel(int inputFd, int outputFd);
    CommandChannel(const CommandChannel&) = delete;
    CommandChannel& operator=(const CommandChannel&) = delete;

    std::function<void(const wire::Command& command)> onCommand;
    // The tray process closed the connection (it ended): the window has no reason to live.
    std::function<void()> onClosed;

    void Send(const wire::Event& event);

private:
    void OnReadable();
    void Close();

    int m_inputFd;
    int m_outputFd;
    QSocketNotifier m_notifier;
    LineReader m_reader;
    bool m_closed = false;
};

} // namespace kesto
