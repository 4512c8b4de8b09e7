// ChartHost port: the strip charts the window process lays over a modal dialog's page
// (the chart window's transmit and receive charts). The core computes every value; the
// host only draws. Charts are named by the dialog item that holds their place on the
// page (the page marks the placeholder with data-chart="<id>").
//
// Conventions of every call:
// - Commands are fire-and-forget and keep their order with the PageHost's commands, as
//   if sent down the same channel.
// - A chart exists while a dialog showing a page with its placeholder runs. Each time
//   such a dialog opens, its charts start empty (background and grid only).
// - Styles given before the dialog opens (the dialog configures its charts while it
//   initialises, before RunDialog) are kept by id and take effect when the chart is
//   made; a style given while it runs applies at once and clears the chart's plot.
// - A value for a chart that does not exist (no dialog, or a page without that
//   placeholder) is dropped.
#pragma once

#include <cstdint>

namespace kesto {

struct ChartColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const ChartColor&) const = default;
};

// How one chart draws. lower and upper are the values at the bottom and top edges
// (upper > lower); decimals is the precision of the limit captions. The host keeps its
// own defaults for a chart that was never configured.
struct ChartStyle {
    double lower = -10.0;
    double upper = 10.0;
    int decimals = 3;
    ChartColor background{0, 0, 0};
    ChartColor grid{0, 255, 255};
    ChartColor plot{255, 255, 255};
    bool operator==(const ChartStyle&) const = default;
};

class ChartHost {
public:
    virtual ~ChartHost() = default;

    // Sets range, captions' precision and colours of chart chartId.
    virtual void ConfigureChart(int chartId, const ChartStyle& style) = 0;
    // Scrolls chart chartId by one step and draws the segment from its previous value
    // to value. Values outside the range are drawn clipped at the edge.
    virtual void AppendChartValue(int chartId, double value) = 0;
};

} // namespace kesto
