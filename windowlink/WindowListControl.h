// WindowListControl: the ListControl port for one list laid over the main window's page
// in the window process (a QTreeWidget there). Everything the core set is kept here, so
// reads are answered at once and a new window process gets the list back as it was;
// the user's selection comes back with the window's events.
#pragma once

#include "platform/ListControl.h"

#include "wire/Messages.h"

#include <optional>
#include <utility>
#include <vector>

namespace kesto {

class WindowPageHost;

class WindowListControl final : public ListControl {
public:
    WindowListControl(WindowPageHost& host, int controlId);
    ~WindowListControl() override;
    WindowListControl(const WindowListControl&) = delete;
    WindowListControl& operator=(const WindowListControl&) = delete;

    void SetSink(ListEventSink* sink) override { m_sink = sink; }
    void Place(int x, int y, int width, int height) override;
    void Show(bool visible) override;
    void SetSmallImages(int bitmapResource, int imageWidth, int imageHeight,
                        unsigned transparentRgb) override;
    void SetColumns(const std::vector<ListColumn>& columns) override;
    int ColumnCount() override { return static_cast<int>(m_columns.size()); }
    void SetRows(const std::vector<ListRow>& rows) override;
    int RowCount() override { return static_cast<int>(m_rows.size()); }
    void SetGridLines(bool on) override;
    void SetFullRowSelect(bool on) override;
    std::vector<int> SelectedRows() override { return m_selected; }
    void SelectRow(int row) override;

    // --- for the page host ---
    int controlId() const { return m_controlId; }
    ListEventSink* sink() const { return m_sink; }
    // Sends the whole list to a new window process.
    void Replay();
    // Takes a list event the window raised after carrying out command ack: its selection
    // into the mirror, and the event to hand to the sink (none for a selection report,
    // an event about rows or columns that are gone, or one that crossed a newer command
    // that changed the rows, columns or selection).
    std::optional<std::pair<ListEvent, int>> TakeEvent(const wire::ListEventMessage& message,
                                                       qint64 ack);

    bool visible() const { return m_visible; }

private:
    struct Placement {
        int x, y, width, height;
    };
    struct Images {
        int bitmap, width, height;
        unsigned transparent;
    };
    void SendPlace();
    void SendImages();
    void SendColumns();
    void SendRows();
    void SendGridLines();
    void SendFullRowSelect();
    void SendSelection();
    void SendVisible();

    WindowPageHost& m_host;
    int m_controlId;
    ListEventSink* m_sink = nullptr;
    std::optional<Placement> m_placement;
    std::optional<Images> m_images;
    std::vector<ListColumn> m_columns;
    std::vector<ListRow> m_rows;
    std::vector<int> m_selected;
    bool m_visible = false;
    bool m_gridLines = false;
    bool m_fullRowSelect = false;
    // The last command that changed columns, rows or selection: events from before it
    // describe a list that is gone.
    qint64 m_stateSeq = 0;
};

} // namespace kesto
