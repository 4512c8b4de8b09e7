// A chart host that records what the window process would draw.
#pragma once

#include "platform/ChartHost.h"

#include <map>
#include <vector>

namespace kesto::test {

class FakeChartHost : public ChartHost {
public:
    void ConfigureChart(int chartId, const ChartStyle& style) override { styles[chartId] = style; }
    void AppendChartValue(int chartId, double value) override { values[chartId].push_back(value); }

    std::map<int, ChartStyle> styles;
    std::map<int, std::vector<double>> values;
};

} // namespace kesto::test
