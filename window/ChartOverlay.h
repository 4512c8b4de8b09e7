// ChartOverlay: one strip chart laid over a dialog's page where the page leaves its place
// (an element marked data-chart="<id>"). It only draws: the values come from the tray
// process, already computed.
#pragma once

#include "window/StripChart.h"

#include "platform/ChartHost.h"

#include <QWidget>

namespace kesto {

class ChartOverlay : public QWidget {
public:
    ChartOverlay(int chartId, QWidget* parent);

    int chartId() const { return m_chartId; }
    // A style with upper not above lower keeps the range it had.
    void ApplyStyle(const ChartStyle& style);
    void Append(double value);
    // Values drawn since the chart was made.
    int points() const { return m_points; }
    const StripChart& chart() const { return m_chart; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_chartId;
    StripChart m_chart;
    int m_points = 0;
};

} // namespace kesto
