// DialogWindow: a modal HTML dialog of the window process (the about box, the chart
// window, the security pop-up): its own page view in a fixed-size dialog above the main
// window, with the strip charts its page leaves room for. The frame's close button and Escape close
// it as the user's cancel; the tray process is told and ends the dialog's run.
#pragma once

#include "window/ChartOverlay.h"
#include "window/PageView.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <map>
#include <optional>

namespace kesto {

class DialogWindow : public QDialog {
public:
    DialogWindow(QString resourceDir, QWidget* parent);

    PageView& view() { return *m_view; }
    // Shows page pageId (shown by command seq); the dialog takes the size the page asks
    // for (data-width and data-height on its body) and the page's title.
    void ShowPage(int pageId, const PageValues& values, qint64 seq);

    std::function<void()> onClosedByUser;
    // The style the tray gave chart chartId, for a chart the page brings.
    std::function<std::optional<ChartStyle>(int chartId)> styleFor;

    // The page's charts, made anew each time a page with chart places has loaded.
    const std::map<int, ChartOverlay*>& charts() const { return m_charts; }
    // Draws value on chart chartId; dropped when the page has no such chart.
    void AppendChartValue(int chartId, double value);
    void ApplyChartStyle(int chartId, const ChartStyle& style);

    // The size page pageId asks for, read from its file; a default when it says none.
    static QSize PageSize(const QString& resourceDir, int pageId);

    void reject() override;

private:
    void PlaceCharts();

    QString m_resourceDir;
    PageView* m_view;
    std::map<int, ChartOverlay*> m_charts;
    bool m_closedReported = false;
};

} // namespace kesto
