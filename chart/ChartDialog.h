// ChartDialog: the chart window (page 107), run modally from the status page's
// ButtonChart. Every 5000 ms (first after 300 ms) it measures the transmit and receive
// throughput, shows both as numbers and appends each, on a four-decade scale, to its
// strip chart. The charts are drawn by the window process through the ChartHost; the
// main window's timers keep running while the dialog is open.
#pragma once

#include "adapter/ThroughputMeter.h"
#include "adapter/WlanApi.h"
#include "pages/HtmlDialog.h"
#include "platform/ChartHost.h"
#include "platform/Clock.h"
#include "platform/Timers.h"

#include <cstdint>
#include <string>

namespace kesto {

inline constexpr int kChartPageId = 107;
// The dialog items whose places the two charts take.
inline constexpr int kTransmitChartId = 1004;
inline constexpr int kReceiveChartId = 1007;

// Both charts: 0 to 40 (four decades of 10 units) with one decimal place, white on
// dark green with a light green grid.
inline constexpr ChartStyle kThroughputChartStyle{
    0.0, 40.0, 1, ChartColor{0, 64, 0}, ChartColor{192, 255, 192}, ChartColor{255, 255, 255}};

class ChartDialog : public HtmlDialog, public TimerSink {
public:
    static constexpr int kRefreshTimer = 1;
    static constexpr std::uint32_t kFirstRefreshMs = 300;
    static constexpr std::uint32_t kRefreshMs = 5000;

    // timers: the dialog's own timers (its own id space), not the main window's.
    ChartDialog(PageHost& host, WlanApi& api, Clock& clock, Timers& timers, ChartHost& charts,
                ManifestLookup manifest = PageElements);
    ~ChartDialog() override;

    // Runs the dialog until the user closes it; its timer stops with it.
    int DoModal();

    void OnTimer(int id) override;
    // One measurement: texts, chart values, page; re-arms the timer with 5000 ms.
    void RefreshChart();

    // Throughput in kbit/s of bytes over elapsedMs: bytes * 8 in unsigned 32-bit
    // arithmetic, divided in floating point. No elapsed time measures 0.
    static double RateKbps(std::uint32_t bytes, std::uint32_t elapsedMs);
    // The number shown: the rate truncated, or "0" above 100000 (a restarted counter).
    static std::string RateText(double kbps);
    // The chart value: one decade per 10 units (0-10 linear, then 10, 100, 1000 and
    // 10000 kbit/s at 10, 20, 30 and 40), 40 from 10000 on.
    static double ChartValue(double kbps);

    const std::string& transmitText() const { return m_transmitText; }
    const std::string& receiveText() const { return m_receiveText; }

protected:
    void OnInitDialog() override;
    void Push(PageMirror& page) override;

private:
    void StopTimer();

    Timers& m_timers;
    ChartHost& m_charts;
    ThroughputMeter m_meter;
    std::string m_transmitText;
    std::string m_receiveText;
    bool m_timerRunning = false;
};

} // namespace kesto
