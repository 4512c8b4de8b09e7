// ListOverlay: one report-style list laid over the main window's page (the survey and
// profile list, the station list). It shows what the tray process sends and reports the
// user's clicks, double clicks, header clicks and selection changes; it decides nothing.
#pragma once

#include <QIcon>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QTreeWidget>

#include <functional>
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
    // [{heading, width, centred}]: replaces columns and rows.
    void SetColumns(const QJsonArray& columns);
    // [{texts: [...], image}]: replaces the rows.
    void SetRows(const QJsonArray& rows);
    void SetGridLines(bool on);
    void SetFullRowSelect(bool on);
    void SelectRows(const QList<int>& rows);
    QJsonArray SelectedRows() const;

    // "click" (index: row, -1 for empty space), "doubleClick", "header" (index: column),
    // "selection" (the selection changed some other way).
    std::function<void(const QString& event, int index)> onEvent;

    bool gridLines() const { return m_gridLines; }
    bool fullRowSelect() const { return m_fullRowSelect; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Report(const QString& event, int index);

    int m_controlId;
    QString m_resourceDir;
    std::vector<QIcon> m_images;
    std::vector<bool> m_centred;
    bool m_gridLines = false;
    bool m_fullRowSelect = false;
    bool m_applying = false; // changes made for the tray are not reported back
};

} // namespace kesto
