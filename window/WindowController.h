// WindowController: carries out the tray process's commands on the main window, its
// lists and the modal dialog, and sends back what the user does, stamped with the last
// command carried out. It holds no behaviour of the system.
#pragma once

#include "window/CommandChannel.h"
#include "window/DialogWindow.h"
#include "window/MainWindow.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include <map>

namespace kesto {

class WindowController : public QObject {
public:
    WindowController(QString resourceDir, CommandChannel& channel);
    ~WindowController() override;

    MainWindow& mainWindow() { return m_main; }
    // The open dialog, or nullptr.
    DialogWindow* dialog() { return m_dialog.data(); }
    qint64 lastSeq() const { return m_lastSeq; }

    void OnCommand(const QJsonObject& command);

protected:
    // Escape and Enter reach the window before the page: the page engine keeps Escape
    // to itself, and both are the window's keys.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnListCommand(const QJsonObject& command);
    void OnChartCommand(const QJsonObject& command);
    void OnPageCommand(const QJsonObject& command);
    void OnSetCommand(const QJsonObject& command);
    void OnDisableCommand(const QJsonObject& command);
    void OpenDialog();
    void CloseDialog();
    PageView* ViewOf(const QString& surface);
    void SendEvent(const char* name, QJsonObject fields);
    void SendElementEvent(const QString& surface, int pageId, const QString& id,
                          const QString& event, const QJsonArray& values);
    void SetWaitCursor(bool waiting);

    QString m_resourceDir;
    CommandChannel& m_channel;
    MainWindow m_main;
    QPointer<DialogWindow> m_dialog;
    qint64 m_lastSeq = 0;
    bool m_waitCursor = false;
    bool m_blocked = false;                   // a message box of the tray process is open
    std::map<int, QJsonObject> m_chartStyles; // by chart id, for charts still to come
};

} // namespace kesto
