// How long "kestoctl status" takes against a running utility: the real tray process on
// the simulated adapter (offscreen), its session service on a bus of the benchmark's own,
// and kestoctl started anew for each call, as a script or a status bar would run it.
// Beside it the bus round trip alone (Properties.GetAll from an open connection), so the
// cost of starting the program shows apart. Measures, never asserts:
//
//   build/bench/kestoctl_status [CALLS]      (default 200 calls)
//
// The window stays on its status page, whose monitor keeps the readings current; a call
// that finds them older than a monitor period (the window elsewhere or hidden) waits for
// a reading, which pauses twice for 30 ms, and shows in the slowest figures.
#include "tests/support/UtilityRig.h"
#include "tools/kestoctl/BusClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using kesto::test::UtilityRig;

void Report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&ms](double q) { return ms[static_cast<std::size_t>(q * (ms.size() - 1))]; };
    std::printf("%-34s min %6.2f  median %6.2f  p95 %6.2f  max %6.2f ms  (%zu calls)\n", what,
                ms.front(), at(0.5), at(0.95), ms.back(), ms.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    UtilityRig rig(true);
    if (!rig.StartBus() || !rig.Start() || !rig.WaitForMainPage(236)) {
        std::fprintf(stderr, "kestoctl_status: the utility did not start\n%s\n",
                     rig.Output().toStdString().c_str());
        return 1;
    }
    if (!kesto::test::SpinUntil([&] { return rig.Kestoctl({"status"}).exit == 0; },
                                kesto::test::kStartTimeoutMs)) {
        std::fprintf(stderr, "kestoctl_status: the service never answered\n");
        return 1;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", rig.busAddress());
    for (const QStringList& args : {QStringList{"status"}, QStringList{"status", "--json"}}) {
        std::vector<double> ms;
        for (int i = 0; i < calls; ++i) {
            QProcess kestoctl;
            kestoctl.setProcessEnvironment(env);
            QElapsedTimer timer;
            timer.start();
            kestoctl.start(QStringLiteral(KESTO_KESTOCTL_PROGRAM), args);
            if (!kestoctl.waitForFinished(30000) || kestoctl.exitCode() != 0) {
                std::fprintf(stderr, "kestoctl_status: kestoctl %s failed\n",
                             args.join(' ').toStdString().c_str());
                return 1;
            }
            ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        Report(("kestoctl " + args.join(' ')).toStdString().c_str(), ms);
    }

    qputenv("DBUS_SESSION_BUS_ADDRESS", rig.busAddress().toLocal8Bit());
    kesto::BusClient bus;
    std::vector<double> ms;
    for (int i = 0; i < calls; ++i) {
        QElapsedTimer timer;
        timer.start();
        kesto::BusError error;
        if (!bus.Properties(error)) {
            std::fprintf(stderr, "kestoctl_status: %s\n", error.message.c_str());
            return 1;
        }
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    Report("Properties.GetAll on the bus alone", ms);
    return 0;
}
