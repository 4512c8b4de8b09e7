// Pixel tests of the strip chart on its off-screen images: grid, scroll, the new
// segment, clipping at the edges, and how grid and plot are combined.
#include "window/StripChart.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <limits>
#include <vector>

namespace kesto {
namespace {

const QColor kBackground(0, 64, 0);
const QColor kGrid(192, 255, 192);
const QColor kPlot(255, 255, 255);

// The chart window's configuration on a 60 x 40 chart: one pixel per value unit.
StripChart MakeChart(int width = 60, int height = 40)
{
    StripChart chart;
    chart.Resize(width, height);
    EXPECT_TRUE(chart.SetRange(0.0, 40.0, 1));
    chart.SetBackgroundColor(kBackground);
    chart.SetGridColor(kGrid);
    chart.SetPlotColor(kPlot);
    return chart;
}

QColor PlotAt(const StripChart& chart, int x, int y)
{
    return chart.plotImage().pixelColor(x, y);
}

std::vector<int> WhiteRowsInColumn(const QImage& image, int x)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) == kPlot)
            rows.push_back(y);
    return rows;
}

TEST(StripChart, DefaultsBeforeConfiguration)
{
    StripChart chart;
    EXPECT_EQ(chart.lowerLimit(), -10.0);
    EXPECT_EQ(chart.upperLimit(), 10.0);
    EXPECT_EQ(chart.range(), 20.0);
    EXPECT_EQ(chart.decimals(), 3);
    EXPECT_EQ(chart.backgroundColor(), QColor(0, 0, 0));
    EXPECT_EQ(chart.gridColor(), QColor(0, 255, 255));
    EXPECT_EQ(chart.plotColor(), QColor(255, 255, 255));
    EXPECT_EQ(chart.xAxisText(), "Samples");
    EXPECT_EQ(chart.yAxisText(), "Y units");
    EXPECT_TRUE(chart.Compose().isNull());
    // Appending before the control has a size keeps the values and draws nothing.
    EXPECT_EQ(chart.AppendPoint(3.0), 0.0);
    EXPECT_EQ(chart.AppendPoint(5.0), 3.0);
    EXPECT_EQ(chart.currentValue(), 5.0);
}

TEST(StripChart, ResizeMakesThePlotTheWholeClientArea)
{
    StripChart chart = MakeChart(80, 50);
    EXPECT_EQ(chart.plotRect().left, 0);
    EXPECT_EQ(chart.plotRect().top, 0);
    EXPECT_EQ(chart.plotRect().right, 80);
    EXPECT_EQ(chart.plotRect().bottom, 50);
    EXPECT_DOUBLE_EQ(chart.verticalFactor(), 50.0 / 40.0);
    EXPECT_EQ(chart.gridImage().size(), QSize(80, 50));
    EXPECT_EQ(chart.plotImage().size(), QSize(80, 50));
    EXPECT_EQ(chart.UpperLimitText(), "40.0");

    chart.Resize(30, 20);
    EXPECT_EQ(chart.gridImage().size(), QSize(30, 20));
    EXPECT_EQ(chart.plotImage().size(), QSize(30, 20));
    EXPECT_DOUBLE_EQ(chart.verticalFactor(), 20.0 / 40.0);
}

TEST(StripChart, RefusesAnEmptyOrInvertedRange)
{
    StripChart chart = MakeChart();
    EXPECT_FALSE(chart.SetRange(5.0, 5.0, 1));
    EXPECT_FALSE(chart.SetRange(5.0, 1.0, 1));
    EXPECT_FALSE(chart.SetRange(0.0, std::numeric_limits<double>::quiet_NaN(), 1));
    EXPECT_EQ(chart.lowerLimit(), 0.0);
    EXPECT_EQ(chart.upperLimit(), 40.0);
}

// Dotted lines at the middle and a quarter of the height above and below it, one pixel
// every two; nothing else on the grid.
TEST(StripChart, GridDotsAtMiddleAndQuarterHeights)
{
    const StripChart chart = MakeChart(60, 40);
    const QImage grid = chart.gridImage();
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            const bool dot = (y == 10 || y == 20 || y == 30) && x % 2 == 0;
            ASSERT_EQ(grid.pixelColor(x, y), dot ? kGrid : kBackground) << x << "," << y;
        }
    }
    // The plot starts as background only.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(PlotAt(chart, x, y), kBackground);
}

TEST(StripChart, OddHeightsUseIntegerQuarters)
{
    const StripChart chart = MakeChart(10, 37); // middle 18, quarter 9
    for (int y : {9, 18, 27})
        EXPECT_EQ(chart.gridImage().pixelColor(0, y), kGrid) << y;
    EXPECT_EQ(chart.gridImage().pixelColor(0, 28), kBackground);
}

// The segment runs from right - 6 at the previous value's row to right - 2 at the new
// one; the rightmost columns stay background.
TEST(StripChart, NewSegmentFromRightMinusSixToRightMinusTwo)
{
    StripChart chart = MakeChart(60, 40);
    chart.AppendPoint(10.0); // from 0 (row 40, outside) to row 30
    chart.AppendPoint(20.0); // row 30 to row 20
    EXPECT_EQ(PlotAt(chart, 54, 30), kPlot);
    EXPECT_EQ(PlotAt(chart, 58, 20), kPlot);
    // A steep segment lights every row between its ends, and only those, in its columns.
    // (Rows below 30 also hold the scrolled first segment.)
    for (int y = 0; y < 30; ++y) {
        int lit = 0;
        for (int x = 54; x <= 58; ++x)
            lit += PlotAt(chart, x, y) == kPlot ? 1 : 0;
        EXPECT_EQ(lit > 0, y >= 20) << y;
    }
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(PlotAt(chart, 59, y), kBackground) << y;
    EXPECT_EQ(chart.previousValue(), 20.0);
}

// Each value moves everything left by four pixels, except the top row.
TEST(StripChart, AppendScrollsThePlotLeftByFourPixels)
{
    StripChart chart = MakeChart(60, 40);
    for (double v : {5.0, 25.0, 12.0, 33.0, 18.0})
        chart.AppendPoint(v);
    const QImage before = chart.plotImage().copy();
    chart.AppendPoint(7.0);
    const QImage after = chart.plotImage();
    int moved = 0;
    for (int y = 1; y < 40; ++y) {
        for (int x = 0; x < 54; ++x) {
            ASSERT_EQ(after.pixelColor(x, y), before.pixelColor(x + 4, y)) << x << "," << y;
            moved += before.pixelColor(x + 4, y) == kPlot ? 1 : 0;
        }
    }
    EXPECT_GT(moved, 20); // the history really was there to move
}

struct ClipCase {
    const char* name;
    double previous;
    double value;
    bool lineInside; // some of the segment lies inside the plot
};

class StripChartClip : public ::testing::TestWithParam<ClipCase> {};

// A value above the top is drawn as a line leaving the plot; the top row of its columns
// is painted over with the background.
TEST_P(StripChartClip, PartAtOrAboveTheTopIsBackground)
{
    const ClipCase& c = GetParam();
    StripChart chart = MakeChart(60, 40);
    chart.AppendPoint(c.previous);
    chart.AppendPoint(c.value);
    for (int x = 54; x <= 58; ++x)
        EXPECT_EQ(PlotAt(chart, x, 0), kBackground) << x;
    int inside = 0;
    for (int x = 54; x <= 58; ++x)
        inside += static_cast<int>(WhiteRowsInColumn(chart.plotImage(), x).size());
    EXPECT_EQ(inside > 0, c.lineInside);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StripChartClip,
    ::testing::Values(ClipCase{"RisingAboveTop", 20.0, 45.0, true},
                      ClipCase{"FallingFromAboveTop", 45.0, 20.0, true},
                      ClipCase{"ExactlyAtTop", 20.0, 40.0, true},
                      ClipCase{"BothAboveTop", 50.0, 60.0, false},
                      ClipCase{"HugeValue", 20.0, 1.0e300, true},
                      ClipCase{"Infinity", 20.0, std::numeric_limits<double>::infinity(), true}),
    [](const ::testing::TestParamInfo<ClipCase>& test) { return std::string(test.param.name); });

// The clipping fill covers the top row only: the line just below it stays.
TEST(StripChart, ClippingKeepsTheRowBelowTheTop)
{
    StripChart chart = MakeChart(60, 40);
    chart.AppendPoint(39.0);
    chart.AppendPoint(39.0); // a flat line in row 1
    chart.AppendPoint(45.0);
    EXPECT_EQ(PlotAt(chart, 50, 1), kPlot); // the flat line, scrolled
    EXPECT_EQ(PlotAt(chart, 54, 1), kPlot); // the new segment's start
    for (int x = 54; x <= 58; ++x)
        EXPECT_EQ(PlotAt(chart, x, 0), kBackground) << x;
}

TEST(StripChart, ValuesBelowTheBottomAndNotANumberDrawNothingOutside)
{
    StripChart chart = MakeChart(60, 40);
    chart.AppendPoint(-5.0);
    chart.AppendPoint(std::numeric_limits<double>::quiet_NaN());
    chart.AppendPoint(-1.0e300);
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 40; ++y)
            ASSERT_EQ(PlotAt(chart, x, y), kBackground) << x << "," << y;
}

TEST(StripChart, ComposeOrsThePlotOverTheGrid)
{
    StripChart chart = MakeChart(60, 40);
    chart.AppendPoint(20.0);
    chart.AppendPoint(20.0); // flat line in row 20, which also holds grid dots
    const QImage picture = chart.Compose();
    ASSERT_EQ(picture.size(), QSize(60, 40));
    EXPECT_EQ(picture.pixelColor(56, 20), kPlot);       // plot over a grid dot
    EXPECT_EQ(picture.pixelColor(57, 20), kPlot);       // plot over background
    EXPECT_EQ(picture.pixelColor(10, 20), kGrid);       // grid dot, no plot
    EXPECT_EQ(picture.pixelColor(11, 21), kBackground); // background | background

    QImage screen(60, 40, QImage::Format_RGB32);
    screen.fill(Qt::red);
    QPainter painter(&screen);
    chart.Paint(painter);
    painter.end();
    EXPECT_EQ(screen, picture);
}

TEST(StripChart, ColourOrRangeChangeRedrawsGridAndClearsPlot)
{
    StripChart chart = MakeChart(60, 40);
    int invalidated = 0;
    chart.SetInvalidateHandler([&] { ++invalidated; });
    chart.AppendPoint(20.0);
    EXPECT_EQ(invalidated, 1);
    chart.SetGridColor(QColor(255, 0, 0));
    EXPECT_EQ(invalidated, 2);
    EXPECT_EQ(chart.gridImage().pixelColor(0, 20), QColor(255, 0, 0));
    EXPECT_TRUE(WhiteRowsInColumn(chart.plotImage(), 58).empty());
}

} // namespace
} // namespace kesto
