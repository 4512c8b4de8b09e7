#include "windowlink/WindowListControl.h"

#include "windowlink/WindowPageHost.h"
#include "wire/WindowMessages.h"

#include <QJsonArray>

#include <algorithm>

namespace kesto {

WindowListControl::WindowListControl(WindowPageHost& host, int controlId)
    : m_host(host), m_controlId(controlId)
{
    m_host.AttachList(controlId, *this);
}

WindowListControl::~WindowListControl()
{
    m_host.DetachList(m_controlId);
}

QJsonObject WindowListControl::Command(const char* op) const
{
    return QJsonObject{{QStringLiteral("c"), QStringLiteral("list")},
                       {QStringLiteral("list"), m_controlId},
                       {QStringLiteral("op"), QLatin1String(op)}};
}

void WindowListControl::SendPlace()
{
    QJsonObject command = Command("place");
    command.insert(QStringLiteral("x"), m_placement->x);
    command.insert(QStringLiteral("y"), m_placement->y);
    command.insert(QStringLiteral("width"), m_placement->width);
    command.insert(QStringLiteral("height"), m_placement->height);
    m_host.Send(command);
}

void WindowListControl::SendImages()
{
    QJsonObject command = Command("images");
    command.insert(QStringLiteral("bitmap"), m_images->bitmap);
    command.insert(QStringLiteral("width"), m_images->width);
    command.insert(QStringLiteral("height"), m_images->height);
    command.insert(QStringLiteral("transparent"), static_cast<qint64>(m_images->transparent));
    m_host.Send(command);
}

void WindowListControl::SendColumns()
{
    QJsonArray columns;
    for (const ListColumn& column : m_columns) {
        columns.append(QJsonObject{{QStringLiteral("heading"), wire::FromUtf8(column.heading)},
                                   {QStringLiteral("width"), column.width},
                                   {QStringLiteral("centred"), column.centred}});
    }
    QJsonObject command = Command("columns");
    command.insert(QStringLiteral("columns"), columns);
    m_stateSeq = m_host.Send(command);
}

void WindowListControl::SendRows()
{
    QJsonArray rows;
    for (const ListRow& row : m_rows) {
        QJsonArray texts;
        for (const std::string& text : row.texts)
            texts.append(wire::FromUtf8(text));
        rows.append(QJsonObject{{QStringLiteral("texts"), texts},
                                {QStringLiteral("image"), row.imageIndex}});
    }
    QJsonObject command = Command("rows");
    command.insert(QStringLiteral("rows"), rows);
    m_stateSeq = m_host.Send(command);
}

void WindowListControl::SendFlag(const char* op, bool on)
{
    QJsonObject command = Command(op);
    command.insert(QStringLiteral("on"), on);
    m_host.Send(command);
}

void WindowListControl::SendSelection()
{
    QJsonArray rows;
    for (int row : m_selected)
        rows.append(row);
    QJsonObject command = Command("select");
    command.insert(QStringLiteral("rows"), rows);
    m_stateSeq = m_host.Send(command);
}

void WindowListControl::SendVisible()
{
    QJsonObject command = Command("show");
    command.insert(QStringLiteral("visible"), m_visible);
    m_host.Send(command);
}

void WindowListControl::Place(int x, int y, int width, int height)
{
    m_placement = Placement{x, y, std::max(width, 0), std::max(height, 0)};
    SendPlace();
}

void WindowListControl::Show(bool visible)
{
    m_visible = visible;
    SendVisible();
}

void WindowListControl::SetSmallImages(int bitmapResource, int imageWidth, int imageHeight,
                                       unsigned transparentRgb)
{
    m_images = Images{bitmapResource, imageWidth, imageHeight, transparentRgb & 0xFFFFFFu};
    SendImages();
}

void WindowListControl::SetColumns(const std::vector<ListColumn>& columns)
{
    m_columns = columns;
    m_rows.clear();
    m_selected.clear();
    SendColumns();
}

void WindowListControl::SetRows(const std::vector<ListRow>& rows)
{
    m_rows = rows;
    m_selected.clear();
    SendRows();
}

void WindowListControl::SetGridLines(bool on)
{
    m_gridLines = on;
    SendFlag("grid", on);
}

void WindowListControl::SetFullRowSelect(bool on)
{
    m_fullRowSelect = on;
    SendFlag("fullRow", on);
}

void WindowListControl::SelectRow(int row)
{
    if (row < -1 || row >= RowCount())
        return;
    m_selected.clear();
    if (row >= 0)
        m_selected.push_back(row);
    SendSelection();
}

void WindowListControl::Replay()
{
    if (m_placement)
        SendPlace();
    if (m_images)
        SendImages();
    SendColumns();
    SendRows();
    SendFlag("grid", m_gridLines);
    SendFlag("fullRow", m_fullRowSelect);
    if (!m_selected.empty())
        SendSelection();
    SendVisible();
}

std::optional<std::pair<ListEvent, int>> WindowListControl::TakeEvent(const QJsonObject& message,
                                                                      qint64 ack)
{
    if (ack < m_stateSeq)
        return std::nullopt;
    std::vector<int> selected;
    for (const QJsonValue& value : message.value(QStringLiteral("selected")).toArray()) {
        const int row = value.toInt(-1);
        if (value.isDouble() && row >= 0 && row < RowCount())
            selected.push_back(row);
    }
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    m_selected = std::move(selected);

    const QString name = message.value(QStringLiteral("event")).toString();
    const auto event = wire::ListEventFromName(name);
    const auto index = wire::IntField(message, u"index");
    if (!event || !index)
        return std::nullopt;
    switch (*event) {
    case ListEvent::Click:
    case ListEvent::DoubleClick:
        if (*index < -1 || *index >= RowCount())
            return std::nullopt;
        break;
    case ListEvent::HeaderClick:
        if (*index < 0 || *index >= ColumnCount())
            return std::nullopt;
        break;
    }
    return std::make_pair(*event, *index);
}

} // namespace kesto
