// The longest stall of the tray process's event loop while the user scans, switches the
// operating mode and applies a profile: the real two programs on the simulated adapter
// (offscreen, so the window shows at start), driven through the window's test driver as
// the end-to-end tests drive them, with the tray process's probe (KESTO_STALL_PROBE, see
// tray/EventLoopProbe.h) noting every late tick of its event loop. A step's figure is the
// longest stall that began between its first input and one second after its result
// showed (so the timer ticks the result starts are counted too). Measures, never asserts:
//
//   build/bench/event_loop_stall [RUNS]      (default 3 runs)
//
// Each step is one row of kSteps; a step for another library or situation (a daemon that
// stops answering) is one more row, and the program's arguments after RUNS are passed on
// to kesto-utility (bench/README.md).
#include "tests/support/UtilityRig.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using kesto::test::At;
using kesto::test::SpinUntil;
using kesto::test::UtilityRig;

double SteadyMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool SurveyFilled(const QJsonObject& state)
{
    const QJsonObject list = At(state, "lists", "1009").toObject();
    return At(state, "main", "page").toInt() == 237 && list["visible"].toBool() &&
           list["rows"].toInt() > 0;
}

struct Step {
    const char* name;
    // The step's input and the wait for its result; false when it did not show.
    std::function<bool(UtilityRig&)> run;
};

const std::vector<Step> kSteps = {
    {"idle on the status page",
     [](UtilityRig& rig) {
         return rig.WaitForMainPage(236) && !SpinUntil([] { return false; }, 2000);
     }},
    {"scan: tab 2 to its list",
     [](UtilityRig& rig) { return rig.Click("ButtonTab2") && rig.WaitForState(SurveyFilled); }},
    {"scan: the scan button to its list",
     [](UtilityRig& rig) {
         const std::size_t mark = rig.Calls().size();
         return rig.Click("ButtonSiteScan") && rig.WaitForCall("WL_RetrieveSiteSurveyData", mark) &&
                rig.WaitForState(SurveyFilled);
     }},
    {"mode switch to the access point",
     [](UtilityRig& rig) { return rig.Click("ImageAPRadio") && rig.WaitForMainPage(261); }},
    {"mode switch to the station",
     [](UtilityRig& rig) { return rig.Click("ImageStationRadio") && rig.WaitForMainPage(236); }},
    {"profile apply from the profile page",
     [](UtilityRig& rig) {
         if (!rig.Click("ButtonTab3") || !rig.WaitForMainPage(238))
             return false;
         const auto row = rig.driver().Request(
             {{"op", "listClick"}, {"list", 1009}, {"row", 0}, {"double", false}});
         return row && row->value("ok").toBool() && rig.Click("ButtonConPrf") &&
                rig.WaitForMainPage(236);
     }},
};

struct Window {
    double from = 0;
    double to = 0;
};

// The late ticks the probe wrote: steady ms, late ms.
std::vector<std::pair<double, double>> ReadProbe(const QString& file)
{
    std::vector<std::pair<double, double>> ticks;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return ticks;
    while (!in.atEnd()) {
        const QStringList fields = QString::fromLatin1(in.readLine()).split(' ');
        if (fields.size() == 2)
            ticks.emplace_back(fields[0].toDouble(), fields[1].toDouble());
    }
    return ticks;
}

// One run: every step in order; the longest stall of each (-1 when the step failed).
std::vector<double> Run(const QStringList& extra)
{
    UtilityRig rig(true);
    const QString probe = QString::fromStdString(rig.dir().file("stalls.txt").string());
    qputenv("KESTO_STALL_PROBE", probe.toLocal8Bit());
    std::vector<double> longest(kSteps.size(), -1);
    if (!rig.Start(extra) || !rig.WaitForMainPage(236)) {
        std::fprintf(stderr, "kesto-utility did not start:\n%s\n", qPrintable(rig.Output()));
        return longest;
    }
    // The start's own restore and scan are not measured.
    SpinUntil([] { return false; }, 3000);
    std::vector<Window> windows;
    for (const Step& step : kSteps) {
        Window window{SteadyMs(), 0};
        if (!step.run(rig)) {
            std::fprintf(stderr, "step \"%s\" did not show its result\n", step.name);
            windows.push_back({});
            continue;
        }
        SpinUntil([] { return false; }, 1000);
        window.to = SteadyMs();
        windows.push_back(window);
    }
    rig.RunSecond({"/EXIT"});
    if (!rig.WaitForEnd()) {
        std::fprintf(stderr, "kesto-utility did not end on /EXIT\n");
        return longest;
    }
    const auto ticks = ReadProbe(probe);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].to == 0)
            continue;
        longest[i] = 0;
        for (const auto& [at, late] : ticks) {
            // A tick notes its stall when it finally runs: the stall began late ms earlier.
            const double began = at - late;
            if (began >= windows[i].from && began < windows[i].to)
                longest[i] = std::max(longest[i], late);
        }
    }
    return longest;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QStringList extra;
    for (int i = 2; i < argc; ++i)
        extra << QString::fromLocal8Bit(argv[i]);

    std::vector<std::vector<double>> figures(kSteps.size());
    for (int run = 0; run < runs; ++run) {
        const std::vector<double> longest = Run(extra);
        for (std::size_t i = 0; i < longest.size(); ++i)
            if (longest[i] >= 0)
                figures[i].push_back(longest[i]);
    }
    std::printf("longest event-loop stall of kesto-utility per step, %d runs: median (min-max)\n",
                runs);
    for (std::size_t i = 0; i < kSteps.size(); ++i) {
        std::vector<double>& f = figures[i];
        if (f.empty()) {
            std::printf("%-38s not measured\n", kSteps[i].name);
            continue;
        }
        std::sort(f.begin(), f.end());
        const double median =
            f.size() % 2 ? f[f.size() / 2] : (f[f.size() / 2 - 1] + f[f.size() / 2]) / 2;
        std::printf("%-38s %7.1f ms (%.1f-%.1f)\n", kSteps[i].name, median, f.front(), f.back());
    }
    return 0;
}
