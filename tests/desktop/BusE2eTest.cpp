// End-to-end: the running utility's session service and kestoctl on a session bus of the
// test's own, the tray process on the simulated adapter with the default scenario and its
// window offscreen. What kestoctl prints is checked against what the window shows, the
// store holds and the adapter was told.
#include "app/UtilityCommands.h"
#include "apply/ApplyFault.h"
#include "tests/support/UtilityRig.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kesto::test {
namespace {

using Outcome = UtilityRig::Run;

QJsonValue Json(const Outcome& run)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(run.out));
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

std::string Show(const Outcome& run)
{
    return "exit " + std::to_string(run.exit) + "\nout: " + run.out + "\nerr: " + run.err;
}

// Starts the program on the rig's bus and waits until its service answers.
testing::AssertionResult StartWithBus(UtilityRig& rig, int scanMs = 500)
{
    rig.EditScenario([scanMs](QJsonObject& scenario) { scenario["scanMs"] = scanMs; });
    if (!rig.StartBus())
        return testing::AssertionFailure() << "no dbus-daemon";
    if (!rig.Start() || !rig.WaitForMainPage(236))
        return testing::AssertionFailure() << rig.Output().toStdString();
    Outcome run;
    if (!SpinUntil([&] { return (run = rig.Kestoctl({"status"})).exit == 0; }, kStartTimeoutMs))
        return testing::AssertionFailure() << "the service never answered\n" << Show(run);
    return testing::AssertionSuccess();
}

// Waits until kestoctl status --json satisfies test.
bool WaitForStatus(UtilityRig& rig, const std::function<bool(const QJsonObject&)>& test,
                   QJsonObject* last = nullptr)
{
    QJsonObject status;
    const bool ok = SpinUntil(
        [&] {
            status = Json(rig.Kestoctl({"status", "--json"})).toObject();
            return test(status);
        },
        kStepTimeoutMs);
    if (last)
        *last = status;
    return ok;
}

// A method of the service called with busctl, for arguments kestoctl refuses before it
// sends them.
Outcome Busctl(UtilityRig& rig, const QStringList& args)
{
    QProcess busctl;
    busctl.start("busctl",
                 QStringList{"--address=" + rig.busAddress(), "call", "org.kesto.WlanUtility1",
                             "/org/kesto/WlanUtility1", "org.kesto.WlanUtility1"} +
                     args);
    const bool ended = busctl.waitForFinished(kStepTimeoutMs);
    return {ended && busctl.exitStatus() == QProcess::NormalExit ? busctl.exitCode() : -1,
            busctl.readAllStandardOutput().toStdString(),
            busctl.readAllStandardError().toStdString()};
}

std::size_t CallsFrom(UtilityRig& rig, std::size_t from, std::string_view prefix)
{
    const auto calls = rig.Calls();
    return static_cast<std::size_t>(
        std::count_if(calls.begin() + static_cast<std::ptrdiff_t>(std::min(from, calls.size())),
                      calls.end(), [&](const std::string& c) { return c.starts_with(prefix); }));
}

std::size_t SettersFrom(UtilityRig& rig, std::size_t from)
{
    const auto calls = rig.Calls();
    return static_cast<std::size_t>(
        std::count_if(calls.begin() + static_cast<std::ptrdiff_t>(std::min(from, calls.size())),
                      calls.end(), [](const std::string& c) { return c.starts_with("Set"); }));
}

TEST(BusE2e, StatusScanAndJoinsLikeTheWindowAndBadArgumentsChangeNothing)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartWithBus(rig));

    // The start's default profile joins the first network the radio finds.
    QJsonObject status;
    ASSERT_TRUE(WaitForStatus(
        rig, [](const QJsonObject& s) { return s["associated"].toBool(); }, &status))
        << QJsonDocument(status).toJson().toStdString();
    EXPECT_EQ(status["mode"].toString(), "station");
    EXPECT_EQ(status["networkName"].toString(), "Cafe-Lindenhof");
    EXPECT_EQ(status["profile"].toString(), "Default");

    const Outcome scan = rig.Kestoctl({"scan", "--json"});
    ASSERT_EQ(scan.exit, 0) << Show(scan);
    std::set<QString> names;
    for (const QJsonValue& n : Json(scan).toArray())
        names.insert(n["name"].toString());
    EXPECT_EQ(names, (std::set<QString>{"Villa-Sonne", "WG-Kastanienallee", "Cafe-Lindenhof",
                                        "Spielwiese", "Praxis-Dr-Weber", "Hausnetz-Berger", "",
                                        "Buergeramt", "Gaestenetz-Gasthof-Zum-Hirschen",
                                        "Hotel-Seeblick-Gast1", "Bahnhof-Kiosk"}));

    // An open network, then a WEP one with its key read from standard input. A listener
    // on the bus hears the link change from the monitor's readings.
    QProcess listener;
    QByteArray heard;
    const auto hear = [&] {
        heard += listener.readAllStandardOutput();
        return heard;
    };
    listener.start("dbus-monitor",
                   {"--address", rig.busAddress(),
                    "type='signal',path='/org/kesto/WlanUtility1',member='PropertiesChanged'"});
    ASSERT_TRUE(listener.waitForStarted());
    // Its first lines say it listens.
    SpinUntil([&] { return !hear().isEmpty(); }, kStepTimeoutMs);
    Outcome run = rig.Kestoctl({"connect", "Hausnetz-Berger"});
    ASSERT_EQ(run.exit, 0) << Show(run);
    EXPECT_TRUE(WaitForStatus(
        rig, [](const QJsonObject& s) { return s["networkName"] == "Hausnetz-Berger"; }));
    EXPECT_TRUE(SpinUntil(
        [&] {
            const QByteArray text = hear();
            return text.contains("\"NetworkName\"") && text.contains("\"Hausnetz-Berger\"");
        },
        kStepTimeoutMs))
        << heard.toStdString();
    listener.kill();
    listener.waitForFinished();
    run = rig.Kestoctl({"connect", "WG-Kastanienallee", "--wep-key-stdin"}, "1A2B3C4D5E\n");
    ASSERT_EQ(run.exit, 0) << Show(run);
    ASSERT_TRUE(WaitForStatus(rig, [](const QJsonObject& s) {
        return s["networkName"] == "WG-Kastanienallee" && s["security"] == "WEP" &&
               s["profile"] == "";
    }));

    struct Bad {
        std::vector<std::string> args;
        int exit;
        std::string message; // the one line on stderr
    };
    const Bad bad[] = {
        {{"connect", "WG-Kastanienallee", "--wep-key", "1A2B"},
         2,
         "The length of Key should be 5 or 10.Please re-enter Key 1"},
        {{"connect", "WG-Kastanienallee", "--wep-key", "1A2B3C4D5X"},
         2,
         "Shared key should be 10 hexadecimal digits.Please re-enter Key 1"},
        {{"connect", std::string(33, 'x')}, 2, "The SSID cannot be longer than 32 bytes!"},
        {{"connect", "Caf\xE9"}, 2, "Der Netzwerkname ist kein g\u00fcltiger UTF-8-Text."},
        {{"profile", "apply", "Nirgends"}, 2, "This Profile doesn't exist!"},
        {{"profile", "add", "Buero", "--channel", "14"},
         2,
         "Die Option \u201echannel\u201c muss zwischen 1 und 13 liegen."},
        {{"mode", "client"}, 2, "Der Modus ist \u201estation\u201c oder \u201eap\u201c."},
        {{"connect", "Hausnetz-Berger", "--key-index"}, 1, "--key-index needs a value"},
        {{"connect", "Villa-Sonne", "--bssid", "0A:3C"},
         2,
         "Die Option \u201ebssid\u201c erwartet eine MAC-Adresse wie 0A:3C:71:00:00:05."},
        {{"connect", "Villa-Sonne", "--security", "wpa-psk", "--passphrase", "sonne"},
         2,
         "Die Passphrase muss eine L\u00e4nge von 8 bis 63 Zeichen haben. Bitte geben Sie die "
         "Passphrase neu ein."},
    };
    const std::size_t mark = rig.Calls().size();
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.args.front() + " " + b.args.back());
        run = rig.Kestoctl(b.args);
        EXPECT_EQ(run.exit, b.exit) << Show(run);
        EXPECT_TRUE(run.err.starts_with("kestoctl: " + b.message + "\n")) << run.err;
        EXPECT_EQ(run.out, "");
    }
    // Arguments the service refuses before anything else: no adapter call, not even a
    // scan, and dictionaries and texts bounded before they are converted.
    struct Direct {
        QStringList args;
        std::string error; // part of busctl's error output
    };
    QStringList manyOptions{"Connect", "sa{sv}", "Hausnetz-Berger", "40"};
    for (int i = 0; i < 40; ++i)
        manyOptions << QString("option-%1").arg(i) << "s"
                    << "x";
    const Direct direct[] = {
        {{"Connect", "sa{sv}", QString(33, 'x'), "0"}, "The SSID cannot be longer than 32 bytes!"},
        {{"Connect", "sa{sv}", QString(100000, 'x'), "0"}, "Ein Argument von Connect ist zu lang"},
        {manyOptions, "Der Aufruf hat mehr als 32 Optionen."},
        {{"Connect", "sa{sv}", "Hausnetz-Berger", "1", "passphrase", "s", QString(5000, 'p')},
         "Die Option \u201epassphrase\u201c ist zu lang"},
    };
    for (const Direct& d : direct) {
        SCOPED_TRACE(d.args.mid(0, 3).join(' ').left(80).toStdString());
        run = Busctl(rig, d.args);
        EXPECT_NE(run.exit, 0) << Show(run);
        EXPECT_NE(run.err.find(d.error), std::string::npos) << run.err;
    }
    EXPECT_EQ(SettersFrom(rig, mark), 0u) << "nothing reached the adapter";
    EXPECT_EQ(CallsFrom(rig, mark, "WL_SiteSurveyStart"), 0u) << "nor was a survey made";
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "ProfileLinkNumber"), " 1");
    status = Json(rig.Kestoctl({"status", "--json"})).toObject();
    EXPECT_EQ(status["networkName"].toString(), "WG-Kastanienallee");

    // A wrong pass phrase is an answer of its own, once the radio says so; the right one
    // joins, and connect ends when it has.
    run = rig.Kestoctl({"connect", "Villa-Sonne", "--passphrase-stdin"}, "sonnenblume-8\n");
    EXPECT_EQ(run.exit, 2) << Show(run);
    EXPECT_EQ(run.err, "kestoctl: " + std::string(kWrongKeyMessage) + "\n");
    run = rig.Kestoctl({"connect", "Villa-Sonne", "--passphrase-stdin"}, "sonnenblume-7\n");
    ASSERT_EQ(run.exit, 0) << Show(run);
    status = Json(rig.Kestoctl({"status", "--json"})).toObject();
    EXPECT_TRUE(status["associated"].toBool());
    EXPECT_EQ(status["accessPoint"].toString(), "0A:3C:71:00:00:05");
    EXPECT_TRUE(rig.Messages().empty()) << "the window showed no message box";
}

TEST(BusE2e, ProfilesShowInTheWindowAndTheAccessPointAnswers)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartWithBus(rig));
    ASSERT_TRUE(rig.Click("ButtonTab3"));
    const auto profileRows = [&rig](int rows) {
        return rig.WaitForState([rows](const QJsonObject& s) {
            return At(s, "main", "page").toInt() == 238 &&
                   At(s, "lists", "1009", "rows").toInt() == rows;
        });
    };
    ASSERT_TRUE(profileRows(1));

    Outcome run = rig.Kestoctl(
        {"profile", "add", "Buero", "--ssid", "WG-Kastanienallee", "--wep-key", "1A2B3C4D5E"});
    ASSERT_EQ(run.exit, 0) << Show(run);
    EXPECT_TRUE(profileRows(2)) << "the window's list shows it at once";
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "ProfileLink 2"), "Buero");
    EXPECT_EQ(rig.StoredText(kProductKeyPath + std::string("\\Profile\\Buero"), "NetWorkKey1"),
              "1A2B3C4D5E");
    run = rig.Kestoctl({"profile", "add", "buero"});
    EXPECT_EQ(run.err, "kestoctl: This Profile Name has already existed!\n") << Show(run);

    run = rig.Kestoctl({"profile", "apply", "Buero"});
    ASSERT_EQ(run.exit, 0) << Show(run);
    EXPECT_TRUE(WaitForStatus(rig, [](const QJsonObject& s) {
        return s["profile"] == "Buero" && s["networkName"] == "WG-Kastanienallee" &&
               s["associated"].toBool();
    }));
    run = rig.Kestoctl({"profile", "list", "--json"});
    ASSERT_EQ(run.exit, 0) << Show(run);
    EXPECT_EQ(Json(run).toArray().at(1)["default"].toBool(), true) << run.out;
    run = rig.Kestoctl({"profile", "delete", "Buero"});
    EXPECT_EQ(run.err, "kestoctl: The default profile cannot be deleted!\n") << Show(run);
    // The first-run profile names no network: the store's "any network", applied as the
    // window's connect would, and the default moves with it.
    run = rig.Kestoctl({"profile", "apply", "Default"});
    EXPECT_EQ(run.exit, 0) << Show(run);
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "DefaultProfileLink"), "1");
    ASSERT_EQ(rig.Kestoctl({"profile", "add", "Keller", "--ssid", "Hausnetz-Berger"}).exit, 0);
    ASSERT_EQ(rig.Kestoctl({"profile", "apply", "Keller"}).exit, 0);
    run = rig.Kestoctl({"profile", "delete", "Buero"});
    ASSERT_EQ(run.exit, 0) << Show(run);
    EXPECT_TRUE(profileRows(2));
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "ProfileLink 2"), "Keller");
    // Applying waits for the join: a profile whose key the network refuses fails, unless
    // the caller does not wait.
    ASSERT_EQ(
        rig.Kestoctl({"profile", "add", "Falsch", "--ssid", "WG-Kastanienallee", "--wep-key-stdin"},
                     "1111111111\n")
            .exit,
        0);
    run = rig.Kestoctl({"profile", "apply", "Falsch"});
    EXPECT_EQ(run.exit, 2) << Show(run);
    EXPECT_EQ(run.err, "kestoctl: the adapter did not join the network of profile Falsch within "
                       "15 s\n");
    run = rig.Kestoctl({"profile", "apply", "Falsch", "--no-wait"});
    EXPECT_EQ(run.exit, 0) << Show(run);

    // The access point, as the window's radio image switches to it.
    run = rig.Kestoctl({"mode", "ap"});
    ASSERT_EQ(run.exit, 0) << Show(run);
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "Mode"), "AP Mode");
    QJsonObject state;
    ASSERT_TRUE(rig.WaitForState(
        [](const QJsonObject& s) {
            return At(s, "main", "page").toInt() == 261 &&
                   At(s, "lists", "1010", "rows").toInt() == 3;
        },
        &state));
    run = rig.Kestoctl({"ap", "stations", "--json"});
    ASSERT_EQ(run.exit, 0) << Show(run);
    QJsonArray shown;
    for (const QJsonValue& row : At(state, "lists", "1010", "items").toArray())
        shown.append(row.toArray().at(1));
    EXPECT_EQ(Json(run).toArray(), shown);
    run = rig.Kestoctl({"ap", "filter", "set", "deny", "0A:11:22:33:44:01"});
    ASSERT_EQ(run.exit, 0) << Show(run);
    run = rig.Kestoctl({"ap", "stations", "--json"});
    EXPECT_FALSE(Json(run).toArray().contains("0A:11:22:33:44:01")) << run.out;
    run = rig.Kestoctl({"ap", "filter", "set", "deny", "0A:11:22"});
    EXPECT_EQ(run.err, "kestoctl: The MAC Addresses are not valid!\n") << Show(run);
    run = rig.Kestoctl({"scan"});
    EXPECT_EQ(run.err, "kestoctl: Das geht nur im Stationsmodus.\n") << Show(run);
}

TEST(BusE2e, CallsWhileThePopupIsOpenOrAScanRunsAreAnsweredAndNeverHang)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartWithBus(rig, 3000));
    ASSERT_TRUE(rig.Click("ButtonTab2"));
    ASSERT_TRUE(rig.WaitForState([](const QJsonObject& s) {
        return At(s, "main", "page").toInt() == 237 && At(s, "lists", "1009", "rows").toInt() == 11;
    }));

    // A scan under way: a second scan joins it, a change waits for it to end.
    std::size_t mark = rig.Calls().size();
    QProcess* first = rig.StartKestoctl({"scan", "--json"});
    ASSERT_TRUE(rig.WaitForCall("WL_SiteSurveyStart", mark));
    QProcess* second = rig.StartKestoctl({"scan", "--json"});
    Outcome run = rig.Kestoctl({"profile", "apply", "Default"});
    EXPECT_EQ(run.err,
              "kestoctl: Kesto WLAN Utility sucht gerade nach Netzwerken. Bitte sp\u00e4ter "
              "erneut versuchen.\n")
        << Show(run);
    const Outcome one = UtilityRig::Finish(*first);
    const Outcome two = UtilityRig::Finish(*second);
    EXPECT_EQ(one.exit, 0) << Show(one);
    EXPECT_EQ(Json(one), Json(two));
    std::size_t scans = 0;
    const auto calls = rig.Calls();
    for (std::size_t i = mark; i < calls.size(); ++i)
        scans += calls[i].starts_with("WL_SiteSurveyStart") ? 1 : 0;
    EXPECT_EQ(scans, 1u);

    // The security pop-up open: reads are answered, changes refused, nothing hangs.
    const auto row = [&rig](const QString& name) {
        const QJsonArray items = At(rig.State(), "lists", "1009", "items").toArray();
        for (qsizetype i = 0; i < items.size(); ++i)
            if (items[i].toArray().at(1).toString() == name)
                return static_cast<int>(i);
        return -1;
    };
    ASSERT_TRUE(rig.driver().Request({{"op", "listClick"},
                                      {"list", 1009},
                                      {"row", row("WG-Kastanienallee")},
                                      {"double", true}}));
    ASSERT_TRUE(rig.WaitForState([](const QJsonObject& s) {
        return At(s, "dialog", "open").toBool() && At(s, "dialog", "ready").toBool();
    }));
    mark = rig.Calls().size();
    const std::string busy =
        "kestoctl: Im Fenster von Kesto WLAN Utility ist gerade ein Dialog offen. Bitte "
        "sp\u00e4ter erneut versuchen.\n";
    for (const std::vector<std::string>& change :
         {std::vector<std::string>{"connect", "Cafe-Lindenhof"},
          std::vector<std::string>{"profile", "add", "Keller"},
          std::vector<std::string>{"mode", "ap"}}) {
        run = rig.Kestoctl(change);
        EXPECT_EQ(run.exit, 2) << Show(run);
        EXPECT_EQ(run.err, busy);
    }
    EXPECT_EQ(rig.Kestoctl({"status"}).exit, 0);
    EXPECT_EQ(rig.Kestoctl({"profile", "list"}).exit, 0);
    EXPECT_EQ(SettersFrom(rig, mark), 0u);
    ASSERT_TRUE(rig.Key("Escape", "dialog"));
    ASSERT_TRUE(
        rig.WaitForState([](const QJsonObject& s) { return !At(s, "dialog", "open").toBool(); }));
    run = rig.Kestoctl({"connect", "Cafe-Lindenhof"});
    EXPECT_EQ(run.exit, 0) << Show(run);
}

// A signal to end (a logout, "systemctl --user stop", kill) runs the ordered exit of /EXIT
// and the menu's "Beenden": the program ends by itself, the adapter told the same closing
// calls (the exit path closes nothing through the library; the Linux library gives our
// networks back as it is taken down).
TEST(BusE2e, ASignalToEndClosesTheAdapterAsExitDoes)
{
    // The calls from the moment the program is asked to end, readings left out.
    const auto closing = [](const std::function<void(UtilityRig&)>& end) {
        UtilityRig rig(true);
        EXPECT_TRUE(rig.Start());
        EXPECT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
        SpinUntil([] { return false; }, 3000); // the start's steps are done
        const std::size_t mark = rig.Calls().size();
        end(rig);
        EXPECT_TRUE(rig.WaitForEnd()) << rig.Output().toStdString();
        EXPECT_EQ(rig.trayExit(), 0) << "ended by its own exit, not by the signal";
        std::vector<std::string> calls;
        const auto all = rig.Calls();
        for (std::size_t i = mark; i < all.size(); ++i)
            if (!all[i].starts_with("Query") && !all[i].starts_with("QV_Get") &&
                !all[i].starts_with("GetTxRx") && !all[i].starts_with("ReadOid") &&
                !all[i].starts_with("GetNICAdapterMAC"))
                calls.push_back(all[i].substr(0, all[i].find('(')));
        return calls;
    };
    const std::vector<std::string> byExit =
        closing([](UtilityRig& rig) { EXPECT_EQ(rig.RunSecond({"/EXIT"}), 0); });
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        EXPECT_EQ(closing([signal](UtilityRig& rig) {
                      ASSERT_EQ(::kill(static_cast<pid_t>(rig.trayPid()), signal), 0);
                  }),
                  byExit);
    }
}

TEST(BusE2e, ANameAnotherProgramHoldsIsSaidOnceAndTheUtilityRunsOn)
{
    UtilityRig rig(true);
    ASSERT_TRUE(rig.StartBus());
    // A mock service holds the name first.
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", rig.busAddress());
    holder.setProcessEnvironment(env);
    holder.start("/usr/bin/python3", {"-m", "dbusmock", "org.kesto.WlanUtility1",
                                      "/org/kesto/WlanUtility1", "org.kesto.WlanUtility1"});
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(SpinUntil([&] { return rig.Kestoctl({"status"}).exit != 3; }, kStepTimeoutMs));

    ASSERT_TRUE(rig.Start());
    EXPECT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    EXPECT_TRUE(rig.Click("ButtonTab3"));
    EXPECT_TRUE(rig.WaitForMainPage(238));
    const QString output = rig.Output();
    EXPECT_EQ(output.count("another program owns org.kesto.WlanUtility1"), 1)
        << output.toStdString();
    EXPECT_TRUE(rig.TrayRunning());
    holder.kill();
    holder.waitForFinished();
}

} // namespace
} // namespace kesto::test
