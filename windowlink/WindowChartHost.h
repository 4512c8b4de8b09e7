// WindowChartHost: the ChartHost port in the tray process. The strip charts are drawn by
// the window process over the running dialog's page; this side sends each chart's style
// and values there. Styles are kept by chart id and given again to a new window process;
// values are not, so a window that comes back shows its charts from then on.
#pragma once

#include "platform/ChartHost.h"

#include <map>

namespace kesto {

class WindowPageHost;

class WindowChartHost final : public ChartHost {
public:
    explicit WindowChartHost(WindowPageHost& host);

    void ConfigureChart(int chartId, const ChartStyle& style) override;
    void AppendChartValue(int chartId, double value) override;

    const std::map<int, ChartStyle>& styles() const { return m_styles; }

private:
    void Replay();

    WindowPageHost& m_host;
    std::map<int, ChartStyle> m_styles;
};

} // namespace kesto
