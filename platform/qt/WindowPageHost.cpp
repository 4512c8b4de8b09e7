#include "platform/qt/WindowPageHost.h"

#include "platform/qt/WindowListControl.h"
#include "platform/qt/WindowMessages.h"

#include <QApplication>
#include <QDebug>
#include <QEventLoop>
#include <QWidget>

namespace kesto {

namespace {

QJsonObject Command(const char* name)
{
    return QJsonObject{{QStringLiteral("c"), QLatin1String(name)}};
}

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
        {[this](const QJsonObject& message) { OnMessage(message); }, [this] { OnLost(); }});
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

qint64 WindowPageHost::Send(QJsonObject command)
{
    const qint64 seq = ++m_seq;
    command.insert(QStringLiteral("seq"), seq);
    if (m_link.IsRunning())
        m_link.Send(command);
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
    Replay();
}

void WindowPageHost::Replay()
{
    if (m_width > 0 && m_height > 0) {
        QJsonObject size = Command("size");
        size.insert(QStringLiteral("width"), m_width);
        size.insert(QStringLiteral("height"), m_height);
        Send(size);
    }
    if (m_icon > 0) {
        QJsonObject icon = Command("icon");
        icon.insert(QStringLiteral("icon"), m_icon);
        Send(icon);
    }
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
        Send(Command("raise"));
}

void WindowPageHost::SendPage(HtmlSurface surface)
{
    SurfaceMirror& mirror = Surface(surface);
    // The dialog's page opens the dialog when none is open in the window.
    QJsonObject command = Command("page");
    command.insert(QStringLiteral("surface"), wire::SurfaceName(surface));
    command.insert(QStringLiteral("page"), mirror.pageId());
    command.insert(QStringLiteral("values"), wire::ValuesToJson(mirror.Values()));
    mirror.Resent(Send(command));
    // A fresh page starts with its HTML's state; what the core disabled goes again.
    for (const auto& [id, disabled] : mirror.Disabled())
        SendDisabled(surface, id, disabled);
}

qint64 WindowPageHost::SendDisabled(HtmlSurface surface, std::string_view elementId, bool disabled)
{
    QJsonObject command = Command("disable");
    command.insert(QStringLiteral("surface"), wire::SurfaceName(surface));
    command.insert(QStringLiteral("id"), wire::FromUtf8(elementId));
    command.insert(QStringLiteral("disabled"), disabled);
    return Send(command);
}

void WindowPageHost::SendWindowState()
{
    QJsonObject command = Command("window");
    const char* state = m_visible ? "normal" : (m_hideMeansMinimise ? "minimised" : "hidden");
    command.insert(QStringLiteral("state"), QLatin1String(state));
    Send(command);
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

void WindowPageHost::BringToForeground()
{
    if (m_visible)
        Send(Command("raise"));
}

void WindowPageHost::SetWindowSize(int width, int height)
{
    m_width = width;
    m_height = height;
    QJsonObject command = Command("size");
    command.insert(QStringLiteral("width"), width);
    command.insert(QStringLiteral("height"), height);
    Send(command);
}

void WindowPageHost::SetWindowIcon(int iconResource)
{
    m_icon = iconResource;
    QJsonObject command = Command("icon");
    command.insert(QStringLiteral("icon"), iconResource);
    Send(command);
}

void WindowPageHost::SetWaitCursor(bool waiting)
{
    m_waitCursor = waiting;
    QJsonObject command = Command("cursor");
    command.insert(QStringLiteral("wait"), waiting);
    Send(command);
}

void WindowPageHost::SetBlocked(bool blocked)
{
    m_blocked = blocked;
    QJsonObject command = Command("block");
    command.insert(QStringLiteral("on"), blocked);
    Send(command);
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
    QJsonObject command = Command("set");
    command.insert(QStringLiteral("surface"), wire::SurfaceName(surface));
    command.insert(QStringLiteral("id"), wire::FromUtf8(elementId));
    command.insert(QStringLiteral("value"), wire::ValueToJson(value));
    mirror.Set(elementId, value, Send(command));
}

void WindowPageHost::SetDisabled(HtmlSurface surface, std::string_view elementId, bool disabled)
{
    SurfaceMirror& mirror = Surface(surface);
    if (mirror.pageId() == 0 || elementId.empty())
        return;
    mirror.SetDisabled(elementId, disabled);
    SendDisabled(surface, elementId, disabled);
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
    Send(Command("endDialog"));
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

void WindowPageHost::OnMessage(const QJsonObject& message)
{
    if (m_ending)
        return;
    const auto ack = wire::SeqField(message, u"ack");
    if (!ack)
        return;
    const QString name = message.value(QStringLiteral("e")).toString();
    if (name == QStringLiteral("element")) {
        OnElementEvent(message, *ack);
    } else if (name == QStringLiteral("window")) {
        OnWindowEvent(message);
    } else if (name == QStringLiteral("list")) {
        OnListEvent(message, *ack);
    } else if (name == QStringLiteral("dialogClosed")) {
        if (m_dialogRunning && m_dialog.IsCurrent(*ack))
            FinishDialog(kDialogCancel);
    }
}

void WindowPageHost::OnElementEvent(const QJsonObject& message, qint64 ack)
{
    const auto surface = wire::SurfaceFromName(message.value(QStringLiteral("surface")).toString());
    const auto event =
        wire::ElementEventFromName(message.value(QStringLiteral("event")).toString());
    const auto pageId = wire::IntField(message, u"page");
    const QString id = message.value(QStringLiteral("id")).toString();
    if (!surface || !event || !pageId || id.isEmpty())
        return;
    if (*surface == HtmlSurface::Dialog && !m_dialogRunning)
        return;
    SurfaceMirror& mirror = Surface(*surface);
    if (*pageId != mirror.pageId() ||
        !mirror.TakeReported(wire::ValuesFromJson(message.value(QStringLiteral("values"))), ack))
        return;

    const std::string elementId = wire::ToUtf8(id);
    const PageValues values = mirror.Values();
    switch (*surface) {
    case HtmlSurface::MainWindow:
        if (m_listener && MainEventsDeliverable()) {
            EventGate::Scope scope(m_gate);
            m_listener->OnElementEvent(*pageId, elementId, *event, values);
        }
        break;
    case HtmlSurface::Dialog:
        if (m_dialogSink && m_gate.depth() == m_dialogDepth) {
            EventGate::Scope scope(m_gate);
            m_dialogSink->OnElementEvent(*pageId, elementId, *event, values);
        }
        break;
    }
}

void WindowPageHost::OnWindowEvent(const QJsonObject& message)
{
    const QString name = message.value(QStringLiteral("event")).toString();
    if (name == wire::kRestoreEvent) {
        // The user brought the minimised window back from the taskbar.
        if (!m_hideMeansMinimise)
            return;
        m_visible = true;
        if (m_restoreHandler && MainEventsDeliverable())
            m_restoreHandler();
        return;
    }
    const auto event = wire::WindowEventFromName(name);
    if (!event || !m_listener || !MainEventsDeliverable())
        return;
    EventGate::Scope scope(m_gate);
    m_listener->OnWindowEvent(*event);
}

void WindowPageHost::OnListEvent(const QJsonObject& message, qint64 ack)
{
    const auto controlId = wire::IntField(message, u"list");
    if (!controlId)
        return;
    const auto it = m_lists.find(*controlId);
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
