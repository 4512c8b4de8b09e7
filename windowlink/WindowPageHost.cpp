#include "windowlink/WindowPageHost.h"

#include "windowlink/WindowListControl.h"

#include <QApplication>
#include <QDebug>
#include <QEventLoop>
#include <QWidget>

#include <type_traits>
#include <variant>

namespace kesto {

namespace {

// Closes the menus and message boxes a handler has open, so their nested loops return.
void CloseOpenPopups()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup)
            popup = QApplication::activeModalWidget();
        if (!popup || !popup->isVisible())
            return;
        popup->close();
    }
}

} // namespace

WindowPageHost::WindowPageHost(WindowLink& link, EventGate& gate) : m_link(link), m_gate(gate)
{
    m_link.SetHandlers(
        {[this](const wire::Event& event) { OnMessage(event); }, [this] { OnLost(); }});
    m_linger.setSingleShot(true);
    QObject::connect(&m_linger, &QTimer::timeout, [this] {
        if (!m_visible && !m_dialogRunning)
            m_link.Stop();
    });
}

WindowPageHost::~WindowPageHost()
{
    m_link.SetHandlers({});
}

qint64 WindowPageHost::Send(wire::CommandBody command)
{
    const qint64 seq = ++m_seq;
    if (m_link.IsRunning())
        m_link.Send(wire::Command{seq, std::move(command)});
    return seq;
}

SurfaceMirror& WindowPageHost::Surface(HtmlSurface surface)
{
    switch (surface) {
    case HtmlSurface::MainWindow:
        return m_main;
    case HtmlSurface::Dialog:
        return m_dialog;
    }
    return m_main;
}

const SurfaceMirror& WindowPageHost::mirror(HtmlSurface surface) const
{
    return surface == HtmlSurface::Dialog ? m_dialog : m_main;
}

// --- the modal run ---

int WindowPageHost::RunModal()
{
    if (m_ending)
        return m_endResult;
    QEventLoop loop;
    m_mainLoop = &loop;
    loop.exec();
    m_mainLoop = nullptr;
    return m_endResult;
}

void WindowPageHost::EndModal(int result)
{
    if (m_ending)
        return;
    m_ending = true;
    m_endResult = result;
    if (m_dialogRunning)
        FinishDialog(kDialogCancel);
    CloseOpenPopups();
    if (m_mainLoop)
        m_mainLoop->exit();
}

// --- the window ---

void WindowPageHost::EnsureWindow()
{
    if (m_link.IsRunning())
        return;
    m_link.Start();
    m_upSince.start();
    Replay();
}

void WindowPageHost::Replay()
{
    if (m_width > 0 && m_height > 0)
        Send(wire::WindowSizeCommand{m_width, m_height});
    if (m_icon > 0)
        Send(wire::WindowIconCommand{m_icon});
    if (m_waitCursor)
        SetWaitCursor(true);
    if (m_blocked)
        SetBlocked(true);
    if (m_main.pageId() != 0)
        SendPage(HtmlSurface::MainWindow);
    for (auto& [id, list] : m_lists)
        list->Replay();
    for (const auto& replay : m_replays)
        replay();
    if (m_dialogRunning && m_dialog.pageId() != 0)
        SendPage(HtmlSurface::Dialog);
    SendWindowState();
    if (m_visible)
        Send(wire::RaiseCommand{});
}

void WindowPageHost::SendPage(HtmlSurface surface)
{
    SurfaceMirror& mirror = Surface(surface);
    // The dialog's page opens the dialog when none is open in the window.
    mirror.Resent(Send(wire::ShowPageCommand{surface, mirror.pageId(), mirror.Values()}));
    // A fresh page starts with its HTML's state; what the core disabled goes again.
    for (const auto& [id, disabled] : mirror.Disabled())
        Send(wire::SetDisabledCommand{surface, id, disabled});
}

void WindowPageHost::SendWindowState()
{
    using wire::WindowState;
    Send(wire::WindowStateCommand{m_visible             ? WindowState::Normal
                                  : m_hideMeansMinimise ? WindowState::Minimised
                                                        : WindowState::Hidden});
}

void WindowPageHost::StartLinger()
{
    if (m_lingerMs < 0 || m_hideMeansMinimise || m_visible || m_dialogRunning)
        return;
    m_linger.start(m_lingerMs);
}

void WindowPageHost::ShowWindow(bool visible)
{
    m_visible = visible;
    if (visible) {
        m_linger.stop();
        m_relaunches = 0;
        if (!m_link.IsRunning()) {
            EnsureWindow(); // the replay ends with the window's state
            return;
        }
    }
    SendWindowState();
    if (!visible)
        StartLinger();
}

void WindowPageHost::Prestart()
{
    if (m_visible || m_ending || m_link.IsRunning())
        return;
    EnsureWindow();
    StartLinger();
}

void WindowPageHost::BringToForeground()
{
    if (m_visible)
        Send(wire::RaiseCommand{});
}

void WindowPageHost::SetWindowSize(int width, int height)
{
    m_width = width;
    m_height = height;
    Send(wire::WindowSizeCommand{width, height});
}

void WindowPageHost::SetWindowIcon(int iconResource)
{
    m_icon = iconResource;
    Send(wire::WindowIconCommand{iconResource});
}

void WindowPageHost::SetWaitCursor(bool waiting)
{
    m_waitCursor = waiting;
    Send(wire::WaitCursorCommand{waiting});
}

void WindowPageHost::SetBlocked(bool blocked)
{
    m_blocked = blocked;
    Send(wire::BlockInputCommand{blocked});
}

void WindowPageHost::Shutdown()
{
    m_linger.stop();
    m_link.Stop();
}

// --- pages ---

void WindowPageHost::ShowPage(HtmlSurface surface, int pageId, const PageValues& values)
{
    if (surface == HtmlSurface::Dialog && !m_dialogRunning)
        return;
    Surface(surface).ShowPage(pageId, values, m_seq + 1);
    SendPage(surface);
}

void WindowPageHost::SetElement(HtmlSurface surface, std::string_view elementId,
                                const ElementValue& value)
{
    SurfaceMirror& mirror = Surface(surface);
    if (mirror.pageId() == 0 || elementId.empty())
        return;
    const qint64 seq = Send(wire::SetElementCommand{surface, std::string(elementId), value});
    mirror.Set(elementId, value, seq);
}

void WindowPageHost::SetDisabled(HtmlSurface surface, std::string_view elementId, bool disabled)
{
    SurfaceMirror& mirror = Surface(surface);
    if (mirror.pageId() == 0 || elementId.empty())
        return;
    mirror.SetDisabled(elementId, disabled);
    Send(wire::SetDisabledCommand{surface, std::string(elementId), disabled});
}

// --- the modal dialog ---

int WindowPageHost::RunDialog(int pageId, const PageValues& values, PageEventSink& sink)
{
    if (m_dialogRunning || m_ending)
        return kDialogCancel;
    m_dialogRunning = true;
    m_dialogSink = &sink;
    m_dialogDepth = m_gate.depth();
    m_dialogResult = kDialogCancel;
    m_dialogEnded = false;
    m_linger.stop();
    m_dialog.ShowPage(pageId, values, m_seq + 1);
    if (m_link.IsRunning())
        SendPage(HtmlSurface::Dialog);
    else
        EnsureWindow(); // the replay opens the dialog

    if (!m_dialogEnded) {
        QEventLoop loop;
        m_dialogLoop = &loop;
        loop.exec();
        m_dialogLoop = nullptr;
    }

    const int result = m_dialogResult;
    m_dialogRunning = false;
    m_dialogSink = nullptr;
    m_dialog.Clear();
    Send(wire::EndDialogCommand{});
    if (!m_visible)
        StartLinger();
    return result;
}

void WindowPageHost::EndDialog(int result)
{
    if (!m_dialogRunning || m_ending)
        return;
    FinishDialog(result);
}

void WindowPageHost::FinishDialog(int result)
{
    m_dialogResult = result;
    m_dialogEnded = true;
    if (m_dialogLoop)
        m_dialogLoop->exit();
}

// --- events ---

bool WindowPageHost::MainEventsDeliverable() const
{
    return !m_ending && !m_dialogRunning && m_gate.depth() == 0;
}

void WindowPageHost::OnMessage(const wire::Event& event)
{
    if (m_ending)
        return;
    const qint64 ack = event.ack;
    std::visit(
        [this, ack](const auto& message) {
            using T = std::decay_t<decltype(message)>;
            if constexpr (std::is_same_v<T, wire::ElementEventMessage>) {
                OnElementEvent(message, ack);
            } else if constexpr (std::is_same_v<T, wire::WindowEventMessage>) {
                OnWindowEvent(message.event);
            } else if constexpr (std::is_same_v<T, wire::WindowRestoredMessage>) {
                OnRestored();
            } else if constexpr (std::is_same_v<T, wire::ListEventMessage>) {
                OnListEvent(message, ack);
            } else {
                static_assert(std::is_same_v<T, wire::DialogClosedMessage>);
                if (m_dialogRunning && m_dialog.IsCurrent(ack))
                    FinishDialog(kDialogCancel);
            }
        },
        event.body);
}

void WindowPageHost::OnElementEvent(const wire::ElementEventMessage& message, qint64 ack)
{
    const HtmlSurface surface = message.surface;
    if (surface == HtmlSurface::Dialog && !m_dialogRunning)
        return;
    SurfaceMirror& mirror = Surface(surface);
    if (message.pageId != mirror.pageId() || !mirror.TakeReported(message.values, ack))
        return;

    const PageValues values = mirror.Values();
    switch (surface) {
    case HtmlSurface::MainWindow:
        if (m_listener && MainEventsDeliverable()) {
            EventGate::Scope scope(m_gate);
            m_listener->OnElementEvent(message.pageId, message.elementId, message.event, values);
        }
        break;
    case HtmlSurface::Dialog:
        if (m_dialogSink && m_gate.depth() == m_dialogDepth) {
            EventGate::Scope scope(m_gate);
            m_dialogSink->OnElementEvent(message.pageId, message.elementId, message.event, values);
        }
        break;
    }
}

void WindowPageHost::OnRestored()
{
    // The user brought the minimised window back from the taskbar.
    if (!m_hideMeansMinimise)
        return;
    m_visible = true;
    if (m_restoreHandler && MainEventsDeliverable())
        m_restoreHandler();
}

void WindowPageHost::OnWindowEvent(WindowEvent event)
{
    if (!m_listener || !MainEventsDeliverable())
        return;
    EventGate::Scope scope(m_gate);
    m_listener->OnWindowEvent(event);
}

void WindowPageHost::OnListEvent(const wire::ListEventMessage& message, qint64 ack)
{
    const auto it = m_lists.find(message.list);
    if (it == m_lists.end())
        return;
    WindowListControl& list = *it->second;
    const auto event = list.TakeEvent(message, ack);
    if (!event || !list.sink() || !MainEventsDeliverable())
        return;
    EventGate::Scope scope(m_gate);
    list.sink()->OnListEvent(event->first, event->second);
}

void WindowPageHost::OnLost()
{
    qWarning().noquote() << "the window process has ended; it starts again when the window is "
                            "next shown";
    // The dialog went with it; nobody can answer it any more.
    if (m_dialogRunning)
        FinishDialog(kDialogCancel);
    // Deaths far apart are not a window that cannot run: without a notification area
    // the relaunch is the user's only way back to the window.
    if (m_upSince.isValid() && m_upSince.elapsed() >= m_steadyMs)
        m_relaunches = 0;
    if (m_visible && m_hideMeansMinimise && m_relaunches < kMaxRelaunches) {
        ++m_relaunches;
        // Not from inside the dead process's own signal.
        QTimer::singleShot(500, &m_linger, [this] {
            if (m_visible && !m_ending)
                EnsureWindow();
        });
    }
}

} // namespace kesto
