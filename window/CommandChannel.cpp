#include "window/CommandChannel.h"

#include "wire/MessageCodec.h"

#include <QDebug>

#include <cerrno>
#include <unistd.h>

namespace kesto {

CommandChannel::CommandChannel(int inputFd, int outputFd)
    : m_inputFd(inputFd), m_outputFd(outputFd), m_notifier(inputFd, QSocketNotifier::Read)
{
    QObject::connect(&m_notifier, &QSocketNotifier::activated, [this] { OnReadable(); });
}

void CommandChannel::OnReadable()
{
    char buffer[65536];
    const ssize_t count = ::read(m_inputFd, buffer, sizeof buffer);
    if (count < 0) {
        if (errno != EINTR && errno != EAGAIN)
            Close();
        return;
    }
    if (count == 0) {
        Close();
        return;
    }
    for (const QByteArray& line : m_reader.Append(QByteArrayView(buffer, count))) {
        const auto command = wire::DecodeCommand(line);
        if (!command) {
            qWarning().noquote() << "kesto-window: ignoring a command:" << command.reason();
            continue;
        }
        if (onCommand)
            onCommand(*command);
        if (m_closed)
            return;
    }
}

void CommandChannel::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_notifier.setEnabled(false);
    if (onClosed)
        onClosed();
}

void CommandChannel::Send(const wire::Event& event)
{
    if (m_closed)
        return;
    const QByteArray line = wire::EncodeEvent(event);
    const char* data = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(m_outputFd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Close(); // the tray process is gone
            return;
        }
        data += written;
        left -= written;
    }
}

} // namespace kesto
