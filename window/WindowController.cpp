#include "window/WindowController.h"

#include "wire/WindowMessages.h"

#include <QApplication>
#include <QDebug>
#include <QKeyEvent>

#include <algorithm>
#include <utility>
#include <variant>

namespace kesto {

WindowController::WindowController(QString resourceDir, CommandChannel& channel)
    : m_resourceDir(std::move(resourceDir)), m_channel(channel), m_main(m_resourceDir)
{
    m_channel.onCommand = [this](const wire::Command& command) { OnCommand(command); };
    m_main.onWindowEvent = [this](WindowEvent event) {
        SendEvent(wire::WindowEventMessage{event});
    };
    m_main.onRestored = [this] { SendEvent(wire::WindowRestoredMessage{}); };
    m_main.view().onElementEvent = [this](int pageId, const QString& id, const QString& event,
                                          const PageValues& values, qint64 seen) {
        SendElementEvent(HtmlSurface::MainWindow, pageId, id, event, values, seen);
    };
    for (const auto& [controlId, list] : m_main.lists()) {
        ListOverlay* overlay = list;
        list->onEvent = [this, overlay](std::optional<ListEvent> event, int index) {
            SendEvent(wire::ListEventMessage{overlay->controlId(), event, index,
                                             overlay->SelectedRows()});
        };
    }
    qApp->installEventFilter(this);
}

WindowController::~WindowController()
{
    qApp->removeEventFilter(this);
    delete m_dialog.data();
}

void WindowController::SendEvent(wire::EventBody event)
{
    m_channel.Send(wire::Event{m_lastSeq, std::move(event)});
}

void WindowController::SendElementEvent(HtmlSurface surface, int pageId, const QString& id,
                                        const QString& event, const PageValues& values, qint64 seen)
{
    // The bridge script names the events as the messages do.
    const auto known = wire::ElementEventFromName(event);
    if (!known || id.isEmpty() || pageId <= 0) {
        qWarning().noquote() << "kesto-window: ignoring the page's event" << event << "on" << id;
        return;
    }
    // Stamped with what the page had seen, not with the last command carried out: a
    // value the tray set after that is newer than what the event reports.
    m_channel.Send(
        wire::Event{std::min(seen, m_lastSeq),
                    wire::ElementEventMessage{surface, pageId, wire::ToUtf8(id), *known, values}});
}

void WindowController::OnCommand(const wire::Command& command)
{
    m_lastSeq = std::max(m_lastSeq, command.seq);
    std::visit([this](const auto& body) { Do(body); }, command.body);
}

PageView* WindowController::ViewOf(HtmlSurface surface)
{
    switch (surface) {
    case HtmlSurface::MainWindow:
        return &m_main.view();
    case HtmlSurface::Dialog:
        return m_dialog ? &m_dialog->view() : nullptr;
    }
    return nullptr;
}

void WindowController::Do(const wire::ShowPageCommand& command)
{
    switch (command.surface) {
    case HtmlSurface::Dialog:
        if (!m_dialog)
            OpenDialog();
        m_dialog->ShowPage(command.pageId, command.values, m_lastSeq);
        if (!m_dialog->isVisible())
            m_dialog->show();
        break;
    case HtmlSurface::MainWindow:
        m_main.view().ShowPage(command.pageId, command.values, m_lastSeq);
        break;
    }
}

void WindowController::Do(const wire::SetElementCommand& command)
{
    if (PageView* view = ViewOf(command.surface))
        view->SetValue(command.elementId, command.value, m_lastSeq);
}

void WindowController::Do(const wire::SetDisabledCommand& command)
{
    if (PageView* view = ViewOf(command.surface))
        view->SetDisabled(wire::FromUtf8(command.elementId), command.disabled);
}

void WindowController::Do(const wire::WindowStateCommand& command)
{
    m_main.ApplyState(command.state);
}

void WindowController::Do(const wire::RaiseCommand&)
{
    m_main.Raise();
}

void WindowController::Do(const wire::WindowSizeCommand& command)
{
    m_main.SetOuterSize(command.width, command.height);
}

void WindowController::Do(const wire::WindowIconCommand& command)
{
    m_main.SetIconResource(command.icon);
}

void WindowController::Do(const wire::WaitCursorCommand& command)
{
    SetWaitCursor(command.wait);
}

void WindowController::Do(const wire::BlockInputCommand& command)
{
    // A message box of the tray process is open: no input meanwhile.
    m_blocked = command.on;
    m_main.setEnabled(!m_blocked);
    if (m_dialog)
        m_dialog->setEnabled(!m_blocked);
}

void WindowController::Do(const wire::EndDialogCommand&)
{
    if (!m_dialog)
        return;
    m_dialog->hide();
    m_dialog->deleteLater();
    m_dialog = nullptr;
}

void WindowController::Do(const wire::QuitCommand&)
{
    QCoreApplication::exit(0); // the main window would refuse a polite quit()
}

void WindowController::OpenDialog()
{
    m_dialog = new DialogWindow(m_resourceDir, &m_main);
    m_dialog->setEnabled(!m_blocked);
    m_dialog->view().onElementEvent = [this](int pageId, const QString& id, const QString& event,
                                             const PageValues& values, qint64 seen) {
        SendElementEvent(HtmlSurface::Dialog, pageId, id, event, values, seen);
    };
    m_dialog->onClosedByUser = [this] { SendEvent(wire::DialogClosedMessage{}); };
    m_dialog->styleFor = [this](int chartId) -> std::optional<ChartStyle> {
        const auto it = m_chartStyles.find(chartId);
        if (it == m_chartStyles.end())
            return std::nullopt;
        return it->second;
    };
}

void WindowController::Do(const wire::ListPlaceCommand& command)
{
    if (ListOverlay* list = m_main.list(command.list))
        list->setGeometry(command.x, command.y, command.width, command.height);
}

void WindowController::Do(const wire::ListShowCommand& command)
{
    if (ListOverlay* list = m_main.list(command.list)) {
        list->setVisible(command.visible);
        list->raise();
    }
}

void WindowController::Do(const wire::ListImagesCommand& command)
{
    if (ListOverlay* list = m_main.list(command.list))
        list->SetImages(command.bitmap, command.width, command.height, command.transparent);
}

void WindowController::Do(const wire::ListColumnsCommand& command)
{
    if (ListOverlay* list = m_main.list(command.list))
        list->SetColumns(command.columns);
}

void WindowController::Do(const wire::ListRowsCommand& command)
{
    if (ListOverlay* list = m_main.list(command.list))
        list->SetRows(command.rows);
}

void WindowController::Do(const wire::ListGridLinesCommand& command)
{
    if (ListOverlay* list = m_main.list(command.list))
        list->SetGridLines(command.on);
}

void WindowController::Do(const wire::ListFullRowSelectCommand& command)
{
    if (ListOverlay* list = m_main.list(command.list))
        list->SetFullRowSelect(command.on);
}

void WindowController::Do(const wire::ListSelectCommand& command)
{
    if (ListOverlay* list = m_main.list(command.list))
        list->SelectRows(command.rows);
}

void WindowController::Do(const wire::ChartStyleCommand& command)
{
    m_chartStyles[command.chart] = command.style;
    if (m_dialog)
        m_dialog->ApplyChartStyle(command.chart, command.style);
}

void WindowController::Do(const wire::ChartValueCommand& command)
{
    if (m_dialog)
        m_dialog->AppendChartValue(command.chart, command.value);
}

void WindowController::SetWaitCursor(bool waiting)
{
    if (waiting == m_waitCursor)
        return;
    m_waitCursor = waiting;
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool WindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool escape = key->key() == Qt::Key_Escape;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!escape && !enter)
        return false;
    // A key event travels up from the focus widget; act on its first stop only.
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (watched != target || !target)
        return false;
    QWidget* window = target->window();
    if (m_dialog && window == m_dialog.data()) {
        if (escape)
            m_dialog->reject();
        return escape;
    }
    if (window == &m_main)
        SendEvent(wire::WindowEventMessage{escape ? WindowEvent::Escape : WindowEvent::Enter});
    return false;
}

} // namespace kesto
