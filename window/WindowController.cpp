#include "window/WindowController.h"

#include "platform/qt/WindowMessages.h"

#include <QApplication>
#include <QDebug>
#include <QKeyEvent>

#include <utility>

namespace kesto {

WindowController::WindowController(QString resourceDir, CommandChannel& channel)
    : m_resourceDir(std::move(resourceDir)), m_channel(channel), m_main(m_resourceDir)
{
    m_channel.onCommand = [this](const QJsonObject& command) { OnCommand(command); };
    m_main.onWindowEvent = [this](const QString& event) {
        SendEvent("window", {{QStringLiteral("event"), event}});
    };
    m_main.view().onElementEvent = [this](int pageId, const QString& id, const QString& event,
                                          const QJsonArray& values) {
        SendElementEvent(QStringLiteral("main"), pageId, id, event, values);
    };
    for (const auto& [controlId, list] : m_main.lists()) {
        ListOverlay* overlay = list;
        list->onEvent = [this, overlay](const QString& event, int index) {
            SendEvent("list", {{QStringLiteral("list"), overlay->controlId()},
                               {QStringLiteral("event"), event},
                               {QStringLiteral("index"), index},
                               {QStringLiteral("selected"), overlay->SelectedRows()}});
        };
    }
    qApp->installEventFilter(this);
}

WindowController::~WindowController()
{
    qApp->removeEventFilter(this);
    delete m_dialog.data();
}

void WindowController::SendEvent(const char* name, QJsonObject fields)
{
    fields.insert(QStringLiteral("e"), QLatin1String(name));
    fields.insert(QStringLiteral("ack"), m_lastSeq);
    m_channel.Send(fields);
}

void WindowController::SendElementEvent(const QString& surface, int pageId, const QString& id,
                                        const QString& event, const QJsonArray& values)
{
    SendEvent("element", {{QStringLiteral("surface"), surface},
                          {QStringLiteral("page"), pageId},
                          {QStringLiteral("id"), id},
                          {QStringLiteral("event"), event},
                          {QStringLiteral("values"), values}});
}

void WindowController::OnCommand(const QJsonObject& command)
{
    if (const auto seq = wire::SeqField(command, u"seq"); seq && *seq > m_lastSeq)
        m_lastSeq = *seq;
    const QString name = command.value(QStringLiteral("c")).toString();
    if (name == QStringLiteral("page")) {
        OnPageCommand(command);
    } else if (name == QStringLiteral("disable")) {
        OnDisableCommand(command);
    } else if (name == QStringLiteral("set")) {
        OnSetCommand(command);
    } else if (name == QStringLiteral("list")) {
        OnListCommand(command);
    } else if (name == QStringLiteral("chart")) {
        OnChartCommand(command);
    } else if (name == QStringLiteral("window")) {
        m_main.ApplyState(command.value(QStringLiteral("state")).toString());
    } else if (name == QStringLiteral("raise")) {
        m_main.Raise();
    } else if (name == QStringLiteral("size")) {
        m_main.SetOuterSize(wire::IntField(command, u"width").value_or(0),
                            wire::IntField(command, u"height").value_or(0));
    } else if (name == QStringLiteral("icon")) {
        m_main.SetIconResource(wire::IntField(command, u"icon").value_or(0));
    } else if (name == QStringLiteral("block")) {
        // A message box of the tray process is open: no input meanwhile.
        m_blocked = command.value(QStringLiteral("on")).toBool();
        m_main.setEnabled(!m_blocked);
        if (m_dialog)
            m_dialog->setEnabled(!m_blocked);
    } else if (name == QStringLiteral("cursor")) {
        SetWaitCursor(command.value(QStringLiteral("wait")).toBool());
    } else if (name == QStringLiteral("endDialog")) {
        CloseDialog();
    } else if (name == QStringLiteral("quit")) {
        QCoreApplication::exit(0); // the main window would refuse a polite quit()
    } else {
        qWarning().noquote() << "kesto-window: unknown command" << name;
    }
}

PageView* WindowController::ViewOf(const QString& surface)
{
    if (surface == QStringLiteral("main"))
        return &m_main.view();
    if (surface == QStringLiteral("dialog") && m_dialog)
        return &m_dialog->view();
    return nullptr;
}

void WindowController::OnPageCommand(const QJsonObject& command)
{
    const QString surface = command.value(QStringLiteral("surface")).toString();
    const auto pageId = wire::IntField(command, u"page");
    if (!pageId || *pageId <= 0)
        return;
    const QJsonArray values = command.value(QStringLiteral("values")).toArray();
    if (surface == QStringLiteral("dialog")) {
        if (!m_dialog)
            OpenDialog();
        m_dialog->ShowPage(*pageId, values);
        if (!m_dialog->isVisible())
            m_dialog->show();
        return;
    }
    if (surface == QStringLiteral("main"))
        m_main.view().ShowPage(*pageId, values);
}

void WindowController::OnSetCommand(const QJsonObject& command)
{
    PageView* view = ViewOf(command.value(QStringLiteral("surface")).toString());
    const QString id = command.value(QStringLiteral("id")).toString();
    const QJsonValue value = command.value(QStringLiteral("value"));
    if (!view || id.isEmpty() || !wire::ValueFromJson(value))
        return;
    view->SetValue(id, value);
}

void WindowController::OnDisableCommand(const QJsonObject& command)
{
    PageView* view = ViewOf(command.value(QStringLiteral("surface")).toString());
    const QString id = command.value(QStringLiteral("id")).toString();
    const QJsonValue disabled = command.value(QStringLiteral("disabled"));
    if (!view || id.isEmpty() || !disabled.isBool())
        return;
    view->SetDisabled(id, disabled.toBool());
}

void WindowController::OpenDialog()
{
    m_dialog = new DialogWindow(m_resourceDir, &m_main);
    m_dialog->setEnabled(!m_blocked);
    m_dialog->view().onElementEvent = [this](int pageId, const QString& id, const QString& event,
                                             const QJsonArray& values) {
        SendElementEvent(QStringLiteral("dialog"), pageId, id, event, values);
    };
    m_dialog->onClosedByUser = [this] { SendEvent("dialogClosed", {}); };
    m_dialog->styleFor = [this](int chartId) {
        const auto it = m_chartStyles.find(chartId);
        return it == m_chartStyles.end() ? QJsonObject() : it->second;
    };
}

void WindowController::CloseDialog()
{
    if (!m_dialog)
        return;
    m_dialog->hide();
    m_dialog->deleteLater();
    m_dialog = nullptr;
}

void WindowController::OnListCommand(const QJsonObject& command)
{
    ListOverlay* list = m_main.list(wire::IntField(command, u"list").value_or(0));
    if (!list)
        return;
    const QString op = command.value(QStringLiteral("op")).toString();
    const auto number = [&command](QStringView key) {
        return wire::IntField(command, key).value_or(0);
    };
    if (op == QStringLiteral("place")) {
        list->setGeometry(number(u"x"), number(u"y"), std::max(0, number(u"width")),
                          std::max(0, number(u"height")));
    } else if (op == QStringLiteral("show")) {
        list->setVisible(command.value(QStringLiteral("visible")).toBool());
        list->raise();
    } else if (op == QStringLiteral("images")) {
        const auto transparent = wire::SeqField(command, u"transparent").value_or(0);
        list->SetImages(number(u"bitmap"), number(u"width"), number(u"height"),
                        static_cast<unsigned>(transparent & 0xFFFFFF));
    } else if (op == QStringLiteral("columns")) {
        list->SetColumns(command.value(QStringLiteral("columns")).toArray());
    } else if (op == QStringLiteral("rows")) {
        list->SetRows(command.value(QStringLiteral("rows")).toArray());
    } else if (op == QStringLiteral("grid")) {
        list->SetGridLines(command.value(QStringLiteral("on")).toBool());
    } else if (op == QStringLiteral("fullRow")) {
        list->SetFullRowSelect(command.value(QStringLiteral("on")).toBool());
    } else if (op == QStringLiteral("select")) {
        QList<int> rows;
        for (const QJsonValue& row : command.value(QStringLiteral("rows")).toArray())
            rows.append(row.toInt(-1));
        list->SelectRows(rows);
    }
}

void WindowController::OnChartCommand(const QJsonObject& command)
{
    const auto chartId = wire::IntField(command, u"chart");
    if (!chartId)
        return;
    const QString op = command.value(QStringLiteral("op")).toString();
    if (op == QStringLiteral("style")) {
        m_chartStyles[*chartId] = command;
        if (m_dialog)
            m_dialog->ApplyChartStyle(*chartId, command);
    } else if (op == QStringLiteral("value")) {
        const QJsonValue value = command.value(QStringLiteral("value"));
        if (m_dialog && value.isDouble())
            m_dialog->AppendChartValue(*chartId, value.toDouble());
    }
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
        SendEvent("window", {{QStringLiteral("event"),
                              escape ? QStringLiteral("escape") : QStringLiteral("enter")}});
    return false;
}

} // namespace kesto
