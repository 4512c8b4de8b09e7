// A list control that keeps what it was told, for assertions.
#pragma once

#include "platform/ListControl.h"

#include <array>
#include <vector>

namespace kesto::test {

class FakeListControl : public ListControl {
public:
    void SetSink(ListEventSink* s) override { sink = s; }
    void Place(int x, int y, int width, int height) override
    {
        placement = {x, y, width, height};
        ++placeCalls;
    }
    void Show(bool v) override { visible = v; }
    void SetSmallImages(int bitmap, int width, int height, unsigned transparent) override
    {
        images = {bitmap, width, height, static_cast<int>(transparent)};
    }
    void SetColumns(const std::vector<ListColumn>& c) override
    {
        columns = c;
        rows.clear();
        selected.clear();
    }
    int ColumnCount() override { return static_cast<int>(columns.size()); }
    void SetRows(const std::vector<ListRow>& r) override
    {
        rows = r;
        selected.clear();
    }
    int RowCount() override { return static_cast<int>(rows.size()); }
    void SetGridLines(bool on) override { gridLines = on; }
    void SetFullRowSelect(bool on) override { fullRowSelect = on; }
    std::vector<int> SelectedRows() override { return selected; }
    void SelectRow(int row) override
    {
        selected.clear();
        if (row >= 0 && row < RowCount())
            selected.push_back(row);
    }

    ListEventSink* sink = nullptr;
    std::array<int, 4> placement{};
    int placeCalls = 0;
    bool visible = false;
    std::array<int, 4> images{};
    std::vector<ListColumn> columns;
    std::vector<ListRow> rows;
    bool gridLines = false;
    bool fullRowSelect = false;
    std::vector<int> selected;
};

} // namespace kesto::test
