#include "window/testing/TestDriver.h"

#include "window/testing/PageRobot.h"
#include "wire/WindowMessages.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTreeWidgetItem>
#include <QWebEnginePage>

namespace kesto {

namespace {

const std::map<QString, int>& KeyNames()
{
    static const std::map<QString, int> names = {{QStringLiteral("Escape"), Qt::Key_Escape},
                                                 {QStringLiteral("Return"), Qt::Key_Return},
                                                 {QStringLiteral("Tab"), Qt::Key_Tab},
                                                 {QStringLiteral("Space"), Qt::Key_Space},
                                                 {QStringLiteral("Down"), Qt::Key_Down},
                                                 {QStringLiteral("Up"), Qt::Key_Up},
                                                 {QStringLiteral("Backspace"), Qt::Key_Backspace},
                                                 {QStringLiteral("End"), Qt::Key_End}};
    return names;
}

QJsonObject PageState(PageView& view)
{
    return {{QStringLiteral("page"), view.pageId()}, {QStringLiteral("ready"), view.ready()}};
}

} // namespace

TestDriver::TestDriver(WindowController& controller, const QString& socketPath)
    : m_controller(controller)
{
    connect(&m_socket, &QLocalSocket::readyRead, this, [this] { OnReadable(); });
    m_socket.connectToServer(socketPath);
    if (!m_socket.waitForConnected(5000))
        qWarning().noquote() << "kesto-window: no test driver at" << socketPath;
}

QJsonObject TestDriver::State(WindowController& controller)
{
    MainWindow& main = controller.mainWindow();
    QJsonObject mainState = PageState(main.view());
    mainState.insert(QStringLiteral("visible"), main.isVisible());
    mainState.insert(QStringLiteral("minimised"), main.isMinimized());
    mainState.insert(QStringLiteral("title"), main.windowTitle());
    mainState.insert(QStringLiteral("width"), main.width());
    mainState.insert(QStringLiteral("height"), main.height());

    QJsonObject dialogState{{QStringLiteral("open"), false}};
    if (DialogWindow* dialog = controller.dialog()) {
        dialogState = PageState(dialog->view());
        dialogState.insert(QStringLiteral("open"), dialog->isVisible());
        dialogState.insert(QStringLiteral("title"), dialog->windowTitle());
        QJsonObject charts;
        for (const auto& [id, chart] : dialog->charts()) {
            const QRect box = chart->geometry();
            charts.insert(QString::number(id),
                          QJsonObject{{QStringLiteral("points"), chart->points()},
                                      {QStringLiteral("x"), box.x()},
                                      {QStringLiteral("y"), box.y()},
                                      {QStringLiteral("width"), box.width()},
                                      {QStringLiteral("height"), box.height()},
                                      {QStringLiteral("upper"), chart->chart().upperLimit()}});
        }
        dialogState.insert(QStringLiteral("charts"), charts);
    }

    QJsonObject lists;
    for (const auto& [id, list] : main.lists()) {
        const QRect box = list->geometry();
        QJsonArray selected;
        for (int row : list->SelectedRows())
            selected.append(row);
        // Each row's column texts, so a test finds a row by what it shows.
        QJsonArray items;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            QJsonArray texts;
            for (int column = 0; column < list->columnCount(); ++column)
                texts.append(list->topLevelItem(row)->text(column));
            items.append(texts);
        }
        QStringList headings;
        for (int column = 0; column < list->columnCount(); ++column)
            headings.append(list->headerItem()->text(column));
        lists.insert(
            QString::number(id),
            QJsonObject{{QStringLiteral("visible"), list->isVisible()},
                        {QStringLiteral("rows"), list->topLevelItemCount()},
                        {QStringLiteral("columns"), list->columnCount()},
                        {QStringLiteral("x"), box.x()},
                        {QStringLiteral("y"), box.y()},
                        {QStringLiteral("width"), box.width()},
                        {QStringLiteral("height"), box.height()},
                        {QStringLiteral("selected"), selected},
                        {QStringLiteral("items"), items},
                        {QStringLiteral("headings"), QJsonArray::fromStringList(headings)}});
    }
    return {{QStringLiteral("pid"), QCoreApplication::applicationPid()},
            {QStringLiteral("main"), mainState},
            {QStringLiteral("dialog"), dialogState},
            {QStringLiteral("lists"), lists},
            {QStringLiteral("ack"), controller.lastSeq()}};
}

void TestDriver::OnReadable()
{
    for (const QByteArray& line : m_reader.Append(m_socket.readAll())) {
        if (const auto request = wire::DecodeLine(line))
            Handle(*request);
    }
}

void TestDriver::Reply(const QJsonValue& id, QJsonObject answer)
{
    answer.insert(QStringLiteral("id"), id);
    m_socket.write(wire::EncodeLine(answer));
    m_socket.flush();
}

PageView* TestDriver::ViewOf(const QString& surface)
{
    if (surface == QStringLiteral("dialog"))
        return m_controller.dialog() ? &m_controller.dialog()->view() : nullptr;
    return &m_controller.mainWindow().view();
}

void TestDriver::Handle(const QJsonObject& request)
{
    const QJsonValue id = request.value(QStringLiteral("id"));
    const QString op = request.value(QStringLiteral("op")).toString();
    const auto error = [this, &id](const QString& text) {
        Reply(id, {{QStringLiteral("error"), text}});
    };
    if (op == QStringLiteral("state")) {
        Reply(id, State(m_controller));
        return;
    }
    if (op == QStringLiteral("headerClick")) {
        ListOverlay* list =
            m_controller.mainWindow().list(request.value(QStringLiteral("list")).toInt());
        const int column = request.value(QStringLiteral("column")).toInt(-1);
        if (!list || !list->isVisible() || column < 0 || column >= list->columnCount()) {
            error(QStringLiteral("no such column"));
            return;
        }
        QHeaderView* header = list->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        PageRobot::MouseClick(header->viewport(), at, false);
        Reply(id, {{QStringLiteral("ok"), true}});
        return;
    }
    if (op == QStringLiteral("listClick")) {
        ListOverlay* list =
            m_controller.mainWindow().list(request.value(QStringLiteral("list")).toInt());
        if (!list || !list->isVisible()) {
            error(QStringLiteral("no such list"));
            return;
        }
        // Row -1: the empty space below the last row.
        const int row = request.value(QStringLiteral("row")).toInt(-2);
        QPoint at;
        if (row == -1) {
            const int rows = list->topLevelItemCount();
            const int below =
                rows > 0 ? list->visualItemRect(list->topLevelItem(rows - 1)).bottom() + 1 : 0;
            if (below >= list->viewport()->height()) {
                error(QStringLiteral("no empty space below the rows"));
                return;
            }
            at = QPoint(list->viewport()->width() / 2, (below + list->viewport()->height()) / 2);
        } else {
            QTreeWidgetItem* item = list->topLevelItem(row);
            if (!item) {
                error(QStringLiteral("no such row"));
                return;
            }
            // A row below the list's visible part is scrolled to first, as a user would.
            list->scrollToItem(item);
            at = list->visualItemRect(item).center();
        }
        PageRobot::MouseClick(list->viewport(), at,
                              request.value(QStringLiteral("double")).toBool());
        Reply(id, {{QStringLiteral("ok"), true}});
        return;
    }

    const QString surface =
        request.value(QStringLiteral("surface")).toString(QStringLiteral("main"));
    PageView* view = ViewOf(surface);
    if (!view || !view->ready()) {
        error(QStringLiteral("no page ready on ") + surface);
        return;
    }
    if (op == QStringLiteral("click")) {
        const bool doubleClick = request.value(QStringLiteral("double")).toBool();
        QPointer<PageView> target(view);
        PageRobot::ElementCentre(
            *view, request.value(QStringLiteral("element")).toString(),
            [this, id, target, doubleClick](std::optional<QPoint> centre) {
                if (!centre || !target) {
                    Reply(id, {{QStringLiteral("error"), QStringLiteral("no such element")}});
                    return;
                }
                const bool ok = PageRobot::Click(*target, *centre, doubleClick);
                Reply(id, {{QStringLiteral("ok"), ok}});
            });
    } else if (op == QStringLiteral("key")) {
        const auto key = KeyNames().find(request.value(QStringLiteral("key")).toString());
        if (key == KeyNames().end()) {
            error(QStringLiteral("unknown key"));
            return;
        }
        Reply(id, {{QStringLiteral("ok"), PageRobot::Key(*view, key->second)}});
    } else if (op == QStringLiteral("type")) {
        Reply(id, {{QStringLiteral("ok"),
                    PageRobot::Key(*view, 0, request.value(QStringLiteral("text")).toString())}});
    } else if (op == QStringLiteral("value") || op == QStringLiteral("values")) {
        // One element's value, or the page's whole set read in one go so a test sees
        // the values of a single moment.
        const QString element = request.value(QStringLiteral("element")).toString();
        const bool all = op == QStringLiteral("values");
        view->page()->runJavaScript(
            QStringLiteral("JSON.stringify(window.kestoBridge ? window.kestoBridge.values() : {})"),
            [this, id, element, all](const QVariant& result) {
                const QJsonObject values =
                    QJsonDocument::fromJson(result.toString().toUtf8()).object();
                if (all)
                    Reply(id, {{QStringLiteral("values"), values}});
                else
                    Reply(id, {{QStringLiteral("value"), values.value(element)}});
            });
    } else if (op == QStringLiteral("js")) {
        view->page()->runJavaScript(
            request.value(QStringLiteral("code")).toString(), [this, id](const QVariant& result) {
                Reply(id, {{QStringLiteral("value"), QJsonValue::fromVariant(result)}});
            });
    } else if (op == QStringLiteral("grab")) {
        QWidget& widget = surface == QStringLiteral("dialog")
                              ? static_cast<QWidget&>(*m_controller.dialog())
                              : static_cast<QWidget&>(m_controller.mainWindow());
        Reply(id, {{QStringLiteral("ok"),
                    PageRobot::Grab(widget, request.value(QStringLiteral("file")).toString())}});
    } else {
        error(QStringLiteral("unknown op"));
    }
}

} // namespace kesto
