#include "tests/support/DriverServer.h"

#include "wire/WindowMessages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace kesto::test {

bool SpinUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

DriverServer::DriverServer(const QString& socketPath) : m_path(socketPath)
{
    QLocalServer::removeServer(m_path);
    m_server.listen(m_path);
    QObject::connect(&m_server, &QLocalServer::newConnection, [this] { OnConnection(); });
}

DriverServer::~DriverServer()
{
    m_server.close();
}

void DriverServer::OnConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        m_current = socket;
        m_reader = LineReader();
        QObject::connect(socket, &QLocalSocket::readyRead, [this, socket] { OnReadable(socket); });
    }
}

void DriverServer::OnReadable(QLocalSocket* socket)
{
    if (socket != m_current)
        return; // a window process that has been replaced
    for (const QByteArray& line : m_reader.Append(socket->readAll())) {
        const auto answer = wire::DecodeLine(line);
        if (answer && answer->value(QStringLiteral("id")).isDouble())
            m_answers[answer->value(QStringLiteral("id")).toInteger()] = *answer;
    }
}

bool DriverServer::WaitForConnections(int count, int timeoutMs)
{
    return SpinUntil([&] { return m_connections >= count; }, timeoutMs);
}

std::optional<QJsonObject> DriverServer::Request(QJsonObject request, int timeoutMs)
{
    if (!m_current || m_current->state() != QLocalSocket::ConnectedState)
        return std::nullopt;
    const qint64 id = m_nextId++;
    request.insert(QStringLiteral("id"), id);
    m_current->write(wire::EncodeLine(request));
    m_current->flush();
    if (!SpinUntil([&] { return m_answers.count(id) > 0; }, timeoutMs))
        return std::nullopt;
    QJsonObject answer = m_answers[id];
    m_answers.erase(id);
    return answer;
}

} // namespace kesto::test
