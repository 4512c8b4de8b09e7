// WindowPageHost: the PageHost port in the tray process. The main window, its pages, the
// two lists over them and the modal HTML dialogs live in a separate window process
// (kesto-window) that is started the first time something has to be seen and may end
// while the window is hidden; the web engine's memory is then given back.
//
// Every command's effect is kept here (the page and element values of each surface,
// window size, icon and visibility, and through WindowListControl each list), so that:
// - reads are answered at once, from the mirror, which events from the window keep
//   current;
// - a window process that ended, or died, is started again on the next show and given
//   the whole mirror, so it comes back as it was.
//
// Events reach the core only from the loop they belong to: main window events while no
// handler runs (not from inside a message box, menu or dialog a handler opened), dialog
// events while no handler runs above the dialog. Values they carry are taken into the
// mirror in any case.
#pragma once

#include "platform/PageHost.h"
#include "qt/EventGate.h"
#include "windowlink/SurfaceMirror.h"
#include "windowlink/WindowLink.h"
#include "wire/Messages.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <map>
#include <vector>

class QEventLoop;

namespace kesto {

class WindowListControl;

class WindowPageHost final : public PageHost {
public:
    WindowPageHost(WindowLink& link, EventGate& gate);
    ~WindowPageHost() override;
    WindowPageHost(const WindowPageHost&) = delete;
    WindowPageHost& operator=(const WindowPageHost&) = delete;

    void SetListener(PageHostListener* listener) override { m_listener = listener; }
    int RunModal() override;
    void EndModal(int result) override;
    void ShowWindow(bool visible) override;
    void BringToForeground() override;
    void SetWindowSize(int width, int height) override;
    void SetWindowIcon(int iconResource) override;
    void ShowPage(HtmlSurface surface, int pageId, const PageValues& values) override;
    void SetElement(HtmlSurface surface, std::string_view elementId,
                    const ElementValue& value) override;
    void SetDisabled(HtmlSurface surface, std::string_view elementId, bool disabled) override;
    int RunDialog(int pageId, const PageValues& values, PageEventSink& sink) override;
    void EndDialog(int result) override;

    // --- the platform's side ---
    // Without a notification area a hidden window could not be brought back: hiding
    // then minimises the window, and the user restoring it from the taskbar calls the
    // restore handler (which plays the tray icon's double click). A window process that
    // dies while the window is meant to be seen is started again at once (a few times).
    void SetHideMeansMinimise(bool on) { m_hideMeansMinimise = on; }
    void SetRestoreHandler(std::function<void()> handler) { m_restoreHandler = std::move(handler); }
    // How long the window process outlives a hidden window; negative keeps it.
    void SetLingerMs(int ms) { m_lingerMs = ms; }
    // A window process that has stayed up this long has proven it can run: when it dies
    // later, the relaunch budget is full again.
    void SetSteadyMs(int ms) { m_steadyMs = ms; }
    // Forwards the wait cursor to the window.
    void SetWaitCursor(bool waiting);
    // While blocked (a message box of the tray process is open) the window takes no
    // input.
    void SetBlocked(bool blocked);
    // Starts the window process, hidden, ahead of a show that is coming: the tray icon's
    // double click shows the window only after the core's own steps (in station mode a
    // site survey that waits on the adapter), and the web engine comes up meanwhile. The
    // process ends after the linger time if no show follows.
    void Prestart();
    // Ends the window process (at the program's end).
    void Shutdown();

    // Lists register to be replayed and to receive their events.
    void AttachList(int controlId, WindowListControl& list) { m_lists[controlId] = &list; }
    void DetachList(int controlId) { m_lists.erase(controlId); }
    // Other parts of the window (the dialog's charts) give their state to a new window
    // process from replay, after the lists and before an open dialog's page.
    void AttachReplay(std::function<void()> replay) { m_replays.push_back(std::move(replay)); }
    // Sends command to the window process if one runs; returns the sequence number the
    // command got (numbered whether or not it could be sent).
    qint64 Send(wire::CommandBody command);

    // --- for tests and diagnostics ---
    bool windowVisible() const { return m_visible; }
    bool dialogRunning() const { return m_dialogRunning; }
    const SurfaceMirror& mirror(HtmlSurface surface) const;
    // Whether main window and list events would reach the core now.
    bool MainEventsDeliverable() const;

    // Relaunches of a window process that dies soon after each start before giving up:
    // one that cannot run at all must not be started forever.
    static constexpr int kMaxRelaunches = 3;
    static constexpr int kDefaultSteadyMs = 10000;
    static constexpr int kDefaultLingerMs = 30000;

private:
    SurfaceMirror& Surface(HtmlSurface surface);
    void EnsureWindow();
    void Replay();
    void SendPage(HtmlSurface surface);
    void SendWindowState();
    void OnMessage(const wire::Event& event);
    void OnLost();
    void OnElementEvent(const wire::ElementEventMessage& message, qint64 ack);
    void OnWindowEvent(WindowEvent event);
    void OnRestored();
    void OnListEvent(const wire::ListEventMessage& message, qint64 ack);
    void FinishDialog(int result);
    void StartLinger();

    WindowLink& m_link;
    EventGate& m_gate;
    PageHostListener* m_listener = nullptr;
    qint64 m_seq = 0;

    bool m_visible = false;
    int m_width = 0;
    int m_height = 0;
    int m_icon = 0;
    bool m_waitCursor = false;
    bool m_blocked = false;
    bool m_hideMeansMinimise = false;
    std::function<void()> m_restoreHandler;
    int m_relaunches = 0;
    QElapsedTimer m_upSince; // since the window process was last started
    int m_steadyMs = kDefaultSteadyMs;

    SurfaceMirror m_main;
    SurfaceMirror m_dialog;
    bool m_dialogRunning = false;
    PageEventSink* m_dialogSink = nullptr;
    QEventLoop* m_dialogLoop = nullptr;
    int m_dialogDepth = 0;
    int m_dialogResult = kDialogCancel;
    bool m_dialogEnded = false;

    QEventLoop* m_mainLoop = nullptr;
    bool m_ending = false;
    int m_endResult = 0;

    std::map<int, WindowListControl*> m_lists;
    std::vector<std::function<void()>> m_replays;
    QTimer m_linger;
    int m_lingerMs = kDefaultLingerMs;
};

} // namespace kesto
