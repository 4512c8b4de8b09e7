// TestDriver: lets an end-to-end test drive the real window from outside. Opened only
// when the environment names a local socket (KESTO_TEST_DRIVER=<path>, where the test
// listens); requests and replies are JSON lines carrying the request's "id". Input goes
// in as real mouse and key events (PageRobot); answers describe what the window shows.
//
// Requests: {"op":"state"}; {"op":"click","surface":"main","element":"ButtonTab2",
// "double":false}; {"op":"key","surface":"main","key":"Escape"}; {"op":"type",
// "surface":"main","text":"abc"}; {"op":"value","surface":"dialog","element":"X"};
// {"op":"values","surface":"main"} (every element's value at one moment);
// {"op":"listClick","list":1009,"row":0,"double":false}; {"op":"headerClick","list":1009,
// "column":1}; {"op":"grab","surface":"main",
// "file":"/tmp/x.png"}; {"op":"js","surface":"main","code":"..."} (the script's result, for
// diagnosing a page).
#pragma once

#include "window/WindowController.h"
#include "wire/LineReader.h"

#include <QJsonObject>
#include <QLocalSocket>
#include <QObject>
#include <QString>

namespace kesto {

class TestDriver : public QObject {
public:
    TestDriver(WindowController& controller, const QString& socketPath);

    // The state answer: pages, readiness, window state, dialog and lists.
    static QJsonObject State(WindowController& controller);

private:
    void OnReadable();
    void Handle(const QJsonObject& request);
    void Reply(const QJsonValue& id, QJsonObject answer);
    PageView* ViewOf(const QString& surface);

    WindowController& m_controller;
    QLocalSocket m_socket;
    LineReader m_reader;
};

} // namespace kesto
