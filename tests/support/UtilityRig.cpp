#include "tests/support/UtilityRig.h"

#include "registry/SqliteRegistry.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcessEnvironment>

#include <csignal>
#include <fstream>
#include <sys/types.h>

namespace kesto::test {

namespace {

QString Str(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

QString SourceResources()
{
    return Str(SourceDir() / "resources");
}

} // namespace

QJsonValue At(const QJsonObject& object, const char* a, const char* b, const char* c)
{
    const QJsonValue inner = object.value(QLatin1String(a)).toObject().value(QLatin1String(b));
    return c ? inner.toObject().value(QLatin1String(c)) : inner;
}

UtilityRig::UtilityRig(bool offscreen)
    : m_offscreen(offscreen), m_registry(Str(m_dir.file("registry.db"))),
      m_scenario(Str(m_dir.file("scenario.json"))), m_callLog(Str(m_dir.file("calls.log"))),
      m_messageLog(Str(m_dir.file("messages.log"))), m_driver(Str(m_dir.file("driver.sock")))
{
    QFile::copy(SourceResources() + "/QVWlan.INI", Str(m_dir.file("QVWlan.INI")));
    QFile::copy(SourceResources() + "/scenarios/default.json", m_scenario);
    QFile(m_scenario).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QDir().mkpath(Str(m_dir.file("run")));
    QFile(Str(m_dir.file("run")))
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

UtilityRig::~UtilityRig()
{
    for (auto& client : m_clients)
        if (client->state() != QProcess::NotRunning) {
            client->kill();
            client->waitForFinished(5000);
        }
    if (m_tray.state() != QProcess::NotRunning) {
        m_tray.terminate();
        if (!m_tray.waitForFinished(10000)) {
            m_tray.kill();
            m_tray.waitForFinished(5000);
        }
    }
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.terminate();
        if (!m_bus.waitForFinished(5000)) {
            m_bus.kill();
            m_bus.waitForFinished(5000);
        }
    }
}

bool UtilityRig::StartBus()
{
    m_bus.start(QStringLiteral("dbus-daemon"),
                {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    if (!m_bus.waitForStarted(10000))
        return false;
    SpinUntil([this] { return m_bus.canReadLine() || m_bus.state() == QProcess::NotRunning; },
              kStepTimeoutMs);
    m_busAddress = QString::fromLocal8Bit(m_bus.readLine()).trimmed();
    return !m_busAddress.isEmpty();
}

QProcess* UtilityRig::StartKestoctl(const std::vector<std::string>& args)
{
    // Through the shell, each argument read from a file of its own: its bytes arrive as a
    // terminal would hand them over, whatever their encoding.
    QString script = "exec \"$KESTOCTL\" --registry \"$REGISTRY\"";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::filesystem::path file =
            m_dir.file("arg" + std::to_string(m_clients.size()) + "_" + std::to_string(i));
        std::ofstream(file, std::ios::binary) << args[i];
        script += " \"$(cat '" + Str(file) + "')\"";
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS",
               m_busAddress.isEmpty() ? "unix:path=" + Str(m_dir.file("no-bus")) : m_busAddress);
    env.insert("KESTOCTL", QStringLiteral(KESTO_KESTOCTL_PROGRAM));
    env.insert("REGISTRY", m_registry);
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->start(QStringLiteral("/bin/sh"), {"-c", script});
    m_clients.push_back(std::move(process));
    return m_clients.back().get();
}

UtilityRig::Run UtilityRig::Finish(QProcess& process)
{
    Run run;
    if (!process.waitForFinished(kStepTimeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

UtilityRig::Run UtilityRig::Kestoctl(const std::vector<std::string>& args, const std::string& input)
{
    QProcess* process = StartKestoctl(args);
    if (!process->waitForStarted(10000))
        return {};
    process->write(input.data(), static_cast<qint64>(input.size()));
    process->closeWriteChannel();
    return Finish(*process);
}

void UtilityRig::EditScenario(const std::function<void(QJsonObject&)>& edit)
{
    QFile file(m_scenario);
    file.open(QIODevice::ReadOnly);
    QJsonObject scenario = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    edit(scenario);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(QJsonDocument(scenario).toJson());
}

bool UtilityRig::Start(const QStringList& extra)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (m_offscreen)
        env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    env.insert("KESTO_TEST_DRIVER", m_driver.path());
    env.insert("KESTO_RESOURCES_DIR", Str(DataDir()));
    env.insert("XDG_RUNTIME_DIR", Str(m_dir.file("run")));
    env.insert("XDG_CONFIG_HOME", Str(m_dir.file("config")));
    env.insert("XDG_DATA_HOME", Str(m_dir.file("data")));
    env.insert("XDG_CACHE_HOME", Str(m_dir.file("cache")));
    // The rig's own bus, or none: never the desktop's, nor one started on the side.
    env.insert("DBUS_SESSION_BUS_ADDRESS",
               m_busAddress.isEmpty() ? "unix:path=" + Str(m_dir.file("no-bus")) : m_busAddress);
    m_tray.setProcessEnvironment(env);
    m_tray.setWorkingDirectory(Str(m_dir.path()));
    m_tray.setProcessChannelMode(QProcess::MergedChannels);
    m_tray.start(QStringLiteral(KESTO_UTILITY_PROGRAM),
                 QStringList{"--registry", m_registry, "--scenario", m_scenario, "--call-log",
                             m_callLog, "--message-log", m_messageLog, "--window-program",
                             QStringLiteral(KESTO_WINDOW_PROGRAM)} +
                     extra);
    if (!m_tray.waitForStarted(10000))
        return false;
    // Seeding the store and the first adapter calls take a moment; the call log shows
    // the program got past its start.
    return static_cast<bool>(WaitForCall("CreateNICAdapterList", 0, kStartTimeoutMs)) &&
           TrayRunning();
}

bool UtilityRig::TrayRunning() const
{
    return m_tray.state() == QProcess::Running;
}

int UtilityRig::RunSecond(const QStringList& extra, bool sameStore)
{
    QProcessEnvironment env = m_tray.processEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    QProcess second;
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(Str(m_dir.path()));
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(QStringLiteral(KESTO_UTILITY_PROGRAM),
                 (sameStore ? QStringList{"--registry", m_registry, "--scenario", m_scenario}
                            : QStringList{}) +
                     extra);
    if (!second.waitForFinished(kStepTimeoutMs)) {
        second.kill();
        second.waitForFinished(5000);
        return -1;
    }
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

bool UtilityRig::WaitForEnd(int timeoutMs)
{
    return SpinUntil([this] { return m_tray.state() == QProcess::NotRunning; }, timeoutMs);
}

qint64 UtilityRig::trayPid() const
{
    return m_tray.processId();
}

int UtilityRig::trayExit() const
{
    return m_tray.exitStatus() == QProcess::NormalExit ? m_tray.exitCode() : -1;
}

QString UtilityRig::Output()
{
    m_output += QString::fromLocal8Bit(m_tray.readAll());
    return m_output;
}

QJsonObject UtilityRig::State()
{
    Output(); // keep the pipe drained
    return m_driver.Request({{"op", "state"}}).value_or(QJsonObject());
}

bool UtilityRig::WaitForState(const std::function<bool(const QJsonObject&)>& test,
                              QJsonObject* last, int timeoutMs)
{
    QJsonObject state;
    const bool ok = SpinUntil(
        [&] {
            state = State();
            return !state.isEmpty() && test(state);
        },
        timeoutMs);
    if (last)
        *last = state;
    return ok;
}

bool UtilityRig::WaitForMainPage(int pageId, QJsonObject* last)
{
    return WaitForState(
        [pageId](const QJsonObject& state) {
            const QJsonObject main = state["main"].toObject();
            return main["page"].toInt() == pageId && main["ready"].toBool() &&
                   main["visible"].toBool();
        },
        last);
}

bool UtilityRig::Click(const QString& id, const QString& surface)
{
    const auto answer = m_driver.Request({{"op", "click"}, {"element", id}, {"surface", surface}});
    return answer && answer->value("ok").toBool();
}

bool UtilityRig::Key(const QString& key, const QString& surface)
{
    const auto answer = m_driver.Request({{"op", "key"}, {"key", key}, {"surface", surface}});
    return answer && answer->value("ok").toBool();
}

std::optional<QJsonValue> UtilityRig::Value(const QString& id, const QString& surface)
{
    const auto answer = m_driver.Request({{"op", "value"}, {"element", id}, {"surface", surface}});
    if (!answer || answer->contains("error"))
        return std::nullopt;
    return answer->value("value");
}

QJsonObject UtilityRig::Values(const QString& surface)
{
    Output(); // keep the pipe drained
    const auto answer = m_driver.Request({{"op", "values"}, {"surface", surface}});
    if (!answer || answer->contains("error"))
        return {};
    return answer->value("values").toObject();
}

bool UtilityRig::WaitForValues(const std::function<bool(const QJsonObject&)>& test,
                               QJsonObject* last, const QString& surface, int timeoutMs)
{
    QJsonObject values;
    const bool ok = SpinUntil(
        [&] {
            values = Values(surface);
            return !values.isEmpty() && test(values);
        },
        timeoutMs);
    if (last)
        *last = values;
    return ok;
}

std::vector<std::string> UtilityRig::Messages() const
{
    std::vector<std::string> messages;
    std::ifstream in(m_messageLog.toStdString());
    for (std::string line; std::getline(in, line);)
        messages.push_back(line);
    return messages;
}

bool UtilityRig::WaitForMessages(std::size_t count, int timeoutMs)
{
    return SpinUntil([&] { return Messages().size() >= count; }, timeoutMs);
}

std::vector<std::string> UtilityRig::Calls() const
{
    std::vector<std::string> calls;
    std::ifstream in(m_callLog.toStdString());
    for (std::string line; std::getline(in, line);)
        calls.push_back(line);
    return calls;
}

std::optional<std::size_t> UtilityRig::WaitForCall(const std::string& prefix, std::size_t from,
                                                   int timeoutMs)
{
    std::optional<std::size_t> found;
    SpinUntil(
        [&] {
            const std::vector<std::string> calls = Calls();
            for (std::size_t i = from; i < calls.size(); ++i) {
                if (calls[i].starts_with(prefix)) {
                    found = i;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::string UtilityRig::StoredText(const std::string& key, const std::string& name) const
{
    SqliteRegistry registry(m_registry.toStdString());
    const auto value = registry.QueryValue(key, name);
    if (!value)
        return {};
    const auto& bytes = value->data;
    return std::string(bytes.begin(), bytes.end());
}

} // namespace kesto::test
