#include "windowlink/WindowListControl.h"

#include "windowlink/WindowPageHost.h"

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

void WindowListControl::SendPlace()
{
    m_host.Send(wire::ListPlaceCommand{m_controlId, m_placement->x, m_placement->y,
                                       m_placement->width, m_placement->height});
}

void WindowListControl::SendImages()
{
    m_host.Send(wire::ListImagesCommand{m_controlId, m_images->bitmap, m_images->width,
                                        m_images->height, m_images->transparent});
}

void WindowListControl::SendColumns()
{
    m_stateSeq = m_host.Send(wire::ListColumnsCommand{m_controlId, m_columns});
}

void WindowListControl::SendRows()
{
    m_stateSeq = m_host.Send(wire::ListRowsCommand{m_controlId, m_rows});
}

void WindowListControl::SendGridLines()
{
    m_host.Send(wire::ListGridLinesCommand{m_controlId, m_gridLines});
}

void WindowListControl::SendFullRowSelect()
{
    m_host.Send(wire::ListFullRowSelectCommand{m_controlId, m_fullRowSelect});
}

void WindowListControl::SendSelection()
{
    m_stateSeq = m_host.Send(wire::ListSelectCommand{m_controlId, m_selected});
}

void WindowListControl::SendVisible()
{
    m_host.Send(wire::ListShowCommand{m_controlId, m_visible});
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
    SendGridLines();
}

void WindowListControl::SetFullRowSelect(bool on)
{
    m_fullRowSelect = on;
    SendFullRowSelect();
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
    SendGridLines();
    SendFullRowSelect();
    if (!m_selected.empty())
        SendSelection();
    SendVisible();
}

std::optional<std::pair<ListEvent, int>>
WindowListControl::TakeEvent(const wire::ListEventMessage& message, qint64 ack)
{
    if (ack < m_stateSeq)
        return std::nullopt;
    // A row beyond the list's rows (a window out of step) is no selection.
    std::vector<int> selected;
    for (int row : message.selected) {
        if (row < RowCount())
            selected.push_back(row);
    }
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    m_selected = std::move(selected);

    if (!message.event)
        return std::nullopt;
    const int index = message.index;
    switch (*message.event) {
    case ListEvent::Click:
    case ListEvent::DoubleClick:
        if (index < -1 || index >= RowCount())
            return std::nullopt;
        break;
    case ListEvent::HeaderClick:
        if (index < 0 || index >= ColumnCount())
            return std::nullopt;
        break;
    }
    return std::make_pair(*message.event, index);
}

} // namespace kesto
