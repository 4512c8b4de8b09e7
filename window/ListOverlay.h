// ListOverlay: one report-style list laid over the main window's page (the survey and
// profile list, the station list). It shows what the tray process sends and reports the
// user's clicks, double clicks, header clicks and selection changes; it decides nothing.
#pragma once

#include "platform/ListControl.h"
#include <QIcon>

#include <QList>
#include <QString>
#include <QTreeWidget>

#include <functional>
#include <optional>
#include <vector>

namespace kesto {

class ListOverlay : public QTreeWidget {
public:
    ListOverlay(int controlId, QString resourceDir, QWidget* parent);

    int controlId() const { return m_controlId; }

    // Row images: cut from the strip bitmap <bitmap> (images/<bitmap>.png, width x
    // height pixels each, transparentRgb see-through) or, where the strip is shipped as
    // single pictures, images/<bitmap>_<n>.png.
    void SetImages(int bitmap, int width, int height, unsigned transparentRgb);
    // Replaces columns and rows.
    void SetColumns(const std::vector<ListColumn>& columns);
    // Replaces the rows.
    void SetRows(const std::vector<ListRow>& rows);
    void SetGridLines(bool on);
    void SetFullRowSelect(bool on);
    void SelectRows(const std::vector<int>& rows);
    // In ascending order.
    std::vector<int> SelectedRows() const;

    // Click (index: row, -1 for empty space), DoubleClick, HeaderClick (index: column);
    // none when the selection changed some other way (index -1).
    std::function<void(std::optional<ListEvent> event, int index)> onEvent;

    bool gridLines() const { return m_gridLines; }
    bool fullRowSelect() const { return m_fullRowSelect; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Report(std::optional<ListEvent> event, int index);

    int m_controlId;
    QString m_resourceDir;
    std::vector<QIcon> m_images;
    std::vector<bool> m_centred;
    bool m_gridLines = false;
    bool m_fullRowSelect = false;
    bool m_applying = false; // changes made for the tray are not reported back
};

} // namespace kesto
