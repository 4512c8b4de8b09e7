// ListControl port: one report-style list laid over the main window's page (the survey
// and profile list, control 1009; the station list, control 1010). The host keeps what
// the core last set and the user's current selection, so every read is synchronous.
//
// Coordinates are pixels relative to the top-left corner of the main window's page
// area. Row and column indexes are 0-based in display order.
#pragma once

#include <string>
#include <vector>

namespace kesto {

struct ListColumn {
    std::string heading;  // UTF-8; may be empty
    int width = 0;        // pixels
    bool centred = false; // texts of the column centred, else left-aligned
    bool operator==(const ListColumn&) const = default;
};

struct ListRow {
    // One text per column, UTF-8; missing texts show empty, extra texts are ignored.
    std::vector<std::string> texts;
    // Index into the small image list shown in front of column 0; -1 shows none.
    int imageIndex = -1;
    bool operator==(const ListRow&) const = default;
};

enum class ListEvent {
    Click,       // the user clicked a row or empty space; the selection is updated first
    DoubleClick, // the user double-clicked a row
    HeaderClick, // the user clicked a column heading; index is the column
};

class ListEventSink {
public:
    virtual ~ListEventSink() = default;
    // index: the row clicked (-1 for empty space) or, for HeaderClick, the column.
    virtual void OnListEvent(ListEvent event, int index) = 0;
};

class ListControl {
public:
    virtual ~ListControl() = default;

    // Where events go; nullptr stops them. Delivered only from the main window's loop.
    virtual void SetSink(ListEventSink* sink) = 0;

    // Position and size over the page; does not change the visibility.
    virtual void Place(int x, int y, int width, int height) = 0;
    // A list starts hidden; hiding keeps columns, rows and selection.
    virtual void Show(bool visible) = 0;

    // Small images shown in front of each row: cut from bitmap resource bitmapResource
    // into images of imageWidth x imageHeight pixels, left to right, with
    // transparentRgb (0xRRGGBB) drawn transparent. Replaces an earlier image list.
    virtual void SetSmallImages(int bitmapResource, int imageWidth, int imageHeight,
                                unsigned transparentRgb) = 0;
    // Replaces all columns; removes every row and the selection.
    virtual void SetColumns(const std::vector<ListColumn>& columns) = 0;
    virtual int ColumnCount() = 0;
    // Replaces all rows; the selection is cleared.
    virtual void SetRows(const std::vector<ListRow>& rows) = 0;
    virtual int RowCount() = 0;
    // Grid lines between rows and columns; selection of whole rows rather than the
    // first cell. Both off until set.
    virtual void SetGridLines(bool on) = 0;
    virtual void SetFullRowSelect(bool on) = 0;

    // The selected rows in ascending order; empty when none is selected.
    virtual std::vector<int> SelectedRows() = 0;
    // Selects exactly the given row (-1 clears the selection); out-of-range is ignored.
    virtual void SelectRow(int row) = 0;
};

} // namespace kesto
