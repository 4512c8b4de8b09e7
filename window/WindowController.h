// WindowController: carries out the tray process's commands on the main window, its
// lists and the modal dialog, and sends back what the user does, stamped with the last
// command carried out. It holds no behaviour of the system.
#pragma once

#include "window/CommandChannel.h"
#include "window/DialogWindow.h"
#include "window/MainWindow.h"

#include "wire/Messages.h"

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

    void OnCommand(const wire::Command& command);

protected:
    // Escape and Enter reach the window before the page: the page engine keeps Escape
    // to itself, and both are the window's keys.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One per command; the compiler names any command left without one.
    void Do(const wire::ShowPageCommand& command);
    void Do(const wire::SetElementCommand& command);
    void Do(const wire::SetDisabledCommand& command);
    void Do(const wire::WindowStateCommand& command);
    void Do(const wire::RaiseCommand& command);
    void Do(const wire::WindowSizeCommand& command);
    void Do(const wire::WindowIconCommand& command);
    void Do(const wire::WaitCursorCommand& command);
    void Do(const wire::BlockInputCommand& command);
    void Do(const wire::EndDialogCommand& command);
    void Do(const wire::QuitCommand& command);
    void Do(const wire::ListPlaceCommand& command);
    void Do(const wire::ListShowCommand& command);
    void Do(const wire::ListImagesCommand& command);
    void Do(const wire::ListColumnsCommand& command);
    void Do(const wire::ListRowsCommand& command);
    void Do(const wire::ListGridLinesCommand& command);
    void Do(const wire::ListFullRowSelectCommand& command);
    void Do(const wire::ListSelectCommand& command);
    void Do(const wire::ChartStyleCommand& command);
    void Do(const wire::ChartValueCommand& command);

    void OpenDialog();
    PageView* ViewOf(HtmlSurface surface);
    void SendEvent(wire::EventBody event);
    void SendElementEvent(HtmlSurface surface, int pageId, const QString& id, const QString& event,
                          const PageValues& values, qint64 seen);
    void SetWaitCursor(bool waiting);

    QString m_resourceDir;
    CommandChannel& m_channel;
    MainWindow m_main;
    QPointer<DialogWindow> m_dialog;
    qint64 m_lastSeq = 0;
    bool m_waitCursor = false;
    bool m_blocked = false;                  // a message box of the tray process is open
    std::map<int, ChartStyle> m_chartStyles; // by chart id, for charts still to come
};

} // namespace kesto
