// DriverServer: the test's end of the window process's test driver. The test listens on
// a local socket; each window process the utility starts connects to it, and requests
// go to the newest one. Every wait is bounded: a test fails, it never hangs.
#pragma once

#include "wire/LineReader.h"

#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <optional>

namespace kesto::test {

class DriverServer {
public:
    explicit DriverServer(const QString& socketPath);
    ~DriverServer();

    const QString& path() const { return m_path; }
    // Window processes that have connected so far.
    int connections() const { return m_connections; }
    // Waits until at least count window processes have connected.
    bool WaitForConnections(int count, int timeoutMs);
    // Sends request to the newest window process and waits for its answer; nullopt when
    // none is connected or it does not answer in time.
    std::optional<QJsonObject> Request(QJsonObject request, int timeoutMs = 15000);

private:
    void OnConnection();
    void OnReadable(QLocalSocket* socket);

    QString m_path;
    QLocalServer m_server;
    QPointer<QLocalSocket> m_current;
    LineReader m_reader;
    int m_connections = 0;
    qint64 m_nextId = 1;
    std::map<qint64, QJsonObject> m_answers;
};

// Processes events until done() holds or timeoutMs has passed; returns done().
bool SpinUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace kesto::test
