// The running utility on the session bus (see UtilityService.h).
#include "bus/UtilityService.h"

#include "app/CommandOptions.h"
#include "bus/BusValues.h"
#include "wire/WindowMessages.h"

#include <QDBusVariant>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <iostream>
#include <malloc.h>
#include <utility>

namespace kesto {

namespace {

constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";

// Said when a change finds the window waiting for the user.
constexpr std::string_view kModalBusyMessage =
    "Im Fenster von Kesto WLAN Utility ist gerade ein Dialog offen. Bitte sp\u00e4ter erneut "
    "versuchen.";
constexpr std::string_view kServiceBusyMessage =
    "Kesto WLAN Utility f\u00fchrt gerade einen anderen Befehl aus. Bitte sp\u00e4ter erneut "
    "versuchen.";

Refusal BusyRefusal(std::string_view message)
{
    return Refusal{"Busy", std::string(message)};
}

Refusal Cancelled()
{
    return Refusal{"Cancelled", std::string(kCancelledMessage)};
}

std::string Utf8(const QVariant& value)
{
    return wire::ToUtf8(value.toString());
}

} // namespace

UtilityService::UtilityService(EventGate& gate, QDBusConnection connection, QObject* parent)
    : QDBusVirtualObject(parent), m_gate(gate), m_connection(std::move(connection)),
      m_handlers{{QStringLiteral("Scan"), &UtilityService::OnScan},
                 {QStringLiteral("Networks"), &UtilityService::OnNetworks},
                 {QStringLiteral("Connect"), &UtilityService::OnConnect},
                 {QStringLiteral("ListProfiles"), &UtilityService::OnListProfiles},
                 {QStringLiteral("GetProfile"), &UtilityService::OnGetProfile},
                 {QStringLiteral("AddProfile"), &UtilityService::OnAddProfile},
                 {QStringLiteral("DeleteProfile"), &UtilityService::OnDeleteProfile},
                 {QStringLiteral("ApplyProfile"), &UtilityService::OnApplyProfile},
                 {QStringLiteral("SetMode"), &UtilityService::OnSetMode},
                 {QStringLiteral("GetApStatus"), &UtilityService::OnGetApStatus},
                 {QStringLiteral("GetApSettings"), &UtilityService::OnGetApSettings},
                 {QStringLiteral("SetApSettings"), &UtilityService::OnSetApSettings},
                 {QStringLiteral("GetFilter"), &UtilityService::OnGetFilter},
                 {QStringLiteral("SetFilter"), &UtilityService::OnSetFilter}}
{
    RegisterBusTypes();
}

UtilityService::~UtilityService()
{
    Attach(nullptr);
}

// --- the bus ---

bool UtilityService::Register()
{
    if (!m_connection.isConnected()) {
        std::cerr << "kesto-utility: no session bus ("
                  << wire::ToUtf8(m_connection.lastError().message())
                  << "); running without the D-Bus service\n";
        return false;
    }
    if (!m_connection.registerVirtualObject(QLatin1String(kBusPath), this,
                                            QDBusConnection::SingleNode)) {
        std::cerr << "kesto-utility: the object " << kBusPath
                  << " is taken on the session bus; running without the D-Bus service\n";
        return false;
    }
    if (!m_connection.registerService(QLatin1String(kBusName))) {
        std::cerr << "kesto-utility: another program owns " << kBusName
                  << " on the session bus; running without the D-Bus service\n";
        m_connection.unregisterObject(QLatin1String(kBusPath));
        return false;
    }
    return true;
}

void UtilityService::Attach(UtilityCommands* commands)
{
    if (!commands) {
        for (auto& [id, message] : std::exchange(m_held, {}))
            Refuse(message, Cancelled());
        if (m_commands)
            m_commands->SetStatusObserver({});
        m_commands = nullptr;
        m_changeWaiting = false;
        if (m_registered) {
            m_connection.unregisterService(QLatin1String(kBusName));
            m_connection.unregisterObject(QLatin1String(kBusPath));
            m_registered = false;
        }
        return;
    }
    m_commands = commands;
    m_shown = Properties();
    m_commands->SetStatusObserver([this] { EmitChanges(); });
    // Once: a name that was not to be had stays so for this run.
    if (!std::exchange(m_tried, true))
        m_registered = Register();
}

QString UtilityService::introspect(const QString& /*path*/) const
{
    return m_interface.element();
}

bool UtilityService::handleMessage(const QDBusMessage& message,
                                   const QDBusConnection& /*connection*/)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    const QString interface = message.interface();
    if (interface == QLatin1String(kPropertiesInterface)) {
        OnProperties(message);
        return true;
    }
    // Introspection and the peer interface are the bus library's own.
    if (!interface.isEmpty() && interface != QLatin1String(kBusInterface))
        return false;
    if (!m_interface.FindMethod(message.member()) && interface.isEmpty())
        return false;
    Dispatch(message);
    return true;
}

void UtilityService::Dispatch(const QDBusMessage& message)
{
    const BusInterface::Method* method = m_interface.FindMethod(message.member());
    const auto handler = m_handlers.find(message.member());
    if (!method || handler == m_handlers.end()) {
        m_connection.send(message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
            QStringLiteral("Die Methode \u201e%1\u201c gibt es nicht.").arg(message.member())));
        return;
    }
    if (message.signature() != method->in) {
        Refuse(message,
               Refusal{"InvalidArgument", "Die Argumente von " + wire::ToUtf8(message.member()) +
                                              " haben die Form \u201e" + wire::ToUtf8(method->in) +
                                              "\u201c, nicht \u201e" +
                                              wire::ToUtf8(message.signature()) + "\u201c."});
        return;
    }
    // Text arguments are bounded before any is converted; lists and dictionaries by
    // their handlers, before their entries are.
    for (const QVariant& argument : message.arguments()) {
        if (argument.metaType().id() == QMetaType::QString && !TextFits(argument.toString())) {
            Refuse(message,
                   Refusal{"InvalidArgument", "Ein Argument von " + wire::ToUtf8(message.member()) +
                                                  " ist zu lang (h\u00f6chstens " +
                                                  std::to_string(kMaxOptionText) + " Bytes)."});
            return;
        }
    }
    if (!m_commands) {
        Refuse(message, Cancelled());
        return;
    }
    // A handler running below this call means the call came through a nested event loop:
    // the window waits for the user inside a step.
    const bool nested = m_gate.depth() > 0;
    EventGate::Scope scope(m_gate);
    m_nested = nested;
    try {
        (this->*handler->second)(message);
    } catch (const std::exception& error) {
        // No step should throw; if one does, the caller still gets an answer and the
        // program runs on rather than ending inside the event loop.
        std::cerr << "kesto-utility: " << wire::ToUtf8(message.member())
                  << " failed: " << error.what() << "\n";
        Refuse(message,
               Refusal{"Failed", "Der Befehl ist fehlgeschlagen: " + std::string(error.what())});
    }
    m_nested = false;
}

// --- answers ---

void UtilityService::Reply(const QDBusMessage& message, const QVariantList& values)
{
    m_connection.send(message.createReply(values));
}

void UtilityService::Refuse(const QDBusMessage& message, const Refusal& refusal)
{
    m_connection.send(
        message.createErrorReply(QLatin1String(kBusErrorPrefix) + wire::FromUtf8(refusal.name),
                                 wire::FromUtf8(refusal.message)));
}

bool UtilityService::ReplyOr(const QDBusMessage& message, const Refused& refused,
                             const QVariantList& values)
{
    if (refused) {
        Refuse(message, *refused);
        return true;
    }
    Reply(message, values);
    return false;
}

std::uint64_t UtilityService::Hold(const QDBusMessage& message)
{
    const std::uint64_t id = ++m_lastId;
    m_held.emplace(id, message);
    return id;
}

void UtilityService::Answer(std::uint64_t id,
                            const std::function<void(const QDBusMessage&)>& answer)
{
    const auto it = m_held.find(id);
    if (it == m_held.end())
        return;
    const QDBusMessage message = it->second;
    m_held.erase(it);
    answer(message);
}

Refused UtilityService::ChangeBlocked(UtilityCommands::Change change)
{
    if (m_nested)
        return BusyRefusal(kModalBusyMessage);
    if (m_changeWaiting)
        return BusyRefusal(kServiceBusyMessage);
    return m_commands->Busy(change);
}

// --- properties ---

QVariantMap UtilityService::Properties()
{
    QVariantMap map;
    for (const Field& field : DescribeStatus(m_commands->Status())) {
        const QString name = wire::FromUtf8(field.name);
        map.insert(name, ToVariant(field.value, m_interface.PropertyType(name)));
    }
    return map;
}

void UtilityService::EmitChanges()
{
    if (!m_commands)
        return;
    const QVariantMap now = Properties();
    QVariantMap changed;
    for (auto it = now.constBegin(); it != now.constEnd(); ++it)
        if (m_shown.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    m_shown = now;
    if (changed.isEmpty() || !m_registered)
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(QLatin1String(kBusPath), QLatin1String(kPropertiesInterface),
                                   QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(kBusInterface) << changed << QStringList();
    m_connection.send(signal);
}

void UtilityService::OnProperties(const QDBusMessage& message)
{
    const QString member = message.member();
    const QVariantList args = message.arguments();
    const QString expected = member == QLatin1String("Get")      ? QStringLiteral("ss")
                             : member == QLatin1String("GetAll") ? QStringLiteral("s")
                             : member == QLatin1String("Set")    ? QStringLiteral("ssv")
                                                                 : QString();
    if (expected.isEmpty() || message.signature() != expected) {
        m_connection.send(message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
            QStringLiteral("Properties.%1 nimmt \u201e%2\u201c.").arg(member, expected)));
        return;
    }
    const QString interface = args.value(0).toString();
    if (!interface.isEmpty() && interface != QLatin1String(kBusInterface)) {
        m_connection.send(message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
            QStringLiteral("Die Schnittstelle \u201e%1\u201c gibt es hier nicht.").arg(interface)));
        return;
    }
    const QString property = args.value(1).toString();
    if (member != QLatin1String("GetAll") && m_interface.PropertyType(property).isEmpty()) {
        m_connection.send(message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"),
            QStringLiteral("Die Eigenschaft \u201e%1\u201c gibt es nicht.").arg(property)));
        return;
    }
    if (member == QLatin1String("Set")) {
        m_connection.send(message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"),
            QStringLiteral("Die Eigenschaft \u201e%1\u201c ist nur lesbar.").arg(property)));
        return;
    }
    if (!m_commands) {
        Refuse(message, Cancelled());
        return;
    }
    const auto answer = [this, member, property](const QDBusMessage& call) {
        const QVariantMap properties = Properties();
        if (member == QLatin1String("GetAll"))
            Reply(call, {properties});
        else
            Reply(call, {QVariant::fromValue(QDBusVariant(properties.value(property)))});
    };
    EventGate::Scope scope(m_gate);
    if (m_commands->StatusFresh()) {
        answer(message);
        return;
    }
    const std::uint64_t id = Hold(message);
    m_commands->ReadStatus([this, id, answer] { Answer(id, answer); });
}

// --- survey and join ---

void UtilityService::OnScan(const QDBusMessage& message)
{
    if (Refused refused = m_commands->Busy(UtilityCommands::Change::Scan))
        return Refuse(message, *refused);
    // With the window waiting for the user, a scan under way is joined, none started.
    if (m_nested && !m_commands->ScanPending())
        return Refuse(message, BusyRefusal(kModalBusyMessage));
    const std::uint64_t id = Hold(message);
    const Refused refused = m_commands->Scan(
        [this, id] {
            Answer(id, [this](const QDBusMessage& call) {
                Reply(call, NetworksAnswer(m_commands->Networks()));
            });
        },
        [this, id] {
            Answer(id, [this](const QDBusMessage& call) { Refuse(call, Cancelled()); });
        });
    if (refused)
        Answer(id, [&](const QDBusMessage& call) { Refuse(call, *refused); });
}

void UtilityService::OnNetworks(const QDBusMessage& message)
{
    Reply(message, NetworksAnswer(m_commands->Networks()));
}

void UtilityService::OnConnect(const QDBusMessage& message)
{
    const QVariantList args = message.arguments();
    CommandOptions options;
    Refused refused;
    JoinRequest request;
    if (!ToOptions(args.value(1), options, refused) ||
        (refused = MakeJoinRequest(Utf8(args.value(0)), options, request)) ||
        (refused = m_commands->CheckJoin(request)))
        return Refuse(message, *refused);
    // A scan under way is waited for rather than refused: its records may name the network.
    if (Refused blocked = ChangeBlocked(UtilityCommands::Change::Scan))
        return Refuse(message, *blocked);
    const std::uint64_t id = Hold(message);
    if (m_commands->Knows(request.name) && !m_commands->ScanPending()) {
        RunJoin(id, request);
        return;
    }
    m_changeWaiting = true;
    const Refused scan = m_commands->Scan(
        [this, id, request] {
            // The join runs from the event loop, not inside the scan's own step, and only
            // while the window waits for nobody.
            QTimer::singleShot(0, this, [this, id, request] {
                m_changeWaiting = false;
                FinishConnect(id, request);
            });
        },
        [this, id] {
            m_changeWaiting = false;
            Answer(id, [this](const QDBusMessage& call) { Refuse(call, Cancelled()); });
        });
    if (scan) {
        m_changeWaiting = false;
        Answer(id, [&](const QDBusMessage& call) { Refuse(call, *scan); });
    }
}

void UtilityService::FinishConnect(std::uint64_t id, const JoinRequest& request)
{
    if (!m_held.contains(id))
        return;
    if (m_gate.depth() > 0)
        return Answer(
            id, [this](const QDBusMessage& call) { Refuse(call, BusyRefusal(kModalBusyMessage)); });
    EventGate::Scope scope(m_gate);
    if (Refused busy = m_commands->Busy(UtilityCommands::Change::Scan))
        return Answer(id, [&](const QDBusMessage& call) { Refuse(call, *busy); });
    RunJoin(id, request);
}

void UtilityService::RunJoin(std::uint64_t id, const JoinRequest& request)
{
    // The answer waits for the join's outcome, and other changes wait with it.
    JoinDone done;
    if (request.wait)
        done = [this, id](const Refused& outcome) {
            m_changeWaiting = false;
            Answer(id, [&](const QDBusMessage& call) { ReplyOr(call, outcome); });
            EmitChanges();
        };
    const Refused refused = m_commands->Join(request, done);
    if (refused || !request.wait)
        Answer(id, [&](const QDBusMessage& call) { ReplyOr(call, refused); });
    else
        m_changeWaiting = true;
    EmitChanges();
}

// --- profiles ---

void UtilityService::OnListProfiles(const QDBusMessage& message)
{
    Reply(message, ProfilesAnswer(m_commands->profiles().List()));
}

bool UtilityService::ProfileName(const QDBusMessage& message, std::string& name)
{
    name = Utf8(message.arguments().value(0));
    if (Refused refused = CheckText(name, "Der Profilname", true)) {
        Refuse(message, *refused);
        return false;
    }
    return true;
}

void UtilityService::OnGetProfile(const QDBusMessage& message)
{
    std::string name;
    if (!ProfileName(message, name))
        return;
    const std::optional<ProfileEntry> entry = m_commands->profiles().Find(name);
    if (!entry)
        return Refuse(message, Refusal{"UnknownProfile", std::string(kProfileMissingMessage)});
    Reply(message, {ToMap(DescribeProfile(*entry))});
}

void UtilityService::OnAddProfile(const QDBusMessage& message)
{
    const QVariantList args = message.arguments();
    CommandOptions options;
    Refused refused;
    ProfileRequest request;
    if (!ToOptions(args.value(1), options, refused) ||
        (refused = MakeProfileRequest(Utf8(args.value(0)), options, request)))
        return Refuse(message, *refused);
    if (Refused blocked = ChangeBlocked(UtilityCommands::Change::Profiles))
        return Refuse(message, *blocked);
    ReplyOr(message, m_commands->AddProfile(request));
}

void UtilityService::OnDeleteProfile(const QDBusMessage& message)
{
    std::string name;
    if (!ProfileName(message, name))
        return;
    if (Refused blocked = ChangeBlocked(UtilityCommands::Change::Profiles))
        return Refuse(message, *blocked);
    ReplyOr(message, m_commands->DeleteProfile(name));
}

void UtilityService::OnApplyProfile(const QDBusMessage& message)
{
    std::string name;
    if (!ProfileName(message, name))
        return;
    if (Refused blocked = ChangeBlocked(UtilityCommands::Change::Adapter))
        return Refuse(message, *blocked);
    ReplyOr(message, m_commands->ApplyProfile(name));
    EmitChanges();
}

// --- mode ---

void UtilityService::OnSetMode(const QDBusMessage& message)
{
    bool toAp = false;
    if (Refused refused = ParseMode(Utf8(message.arguments().value(0)), toAp))
        return Refuse(message, *refused);
    if (Refused blocked = ChangeBlocked(UtilityCommands::Change::Adapter))
        return Refuse(message, *blocked);
    const std::uint64_t id = Hold(message);
    m_changeWaiting = true;
    const Refused refused = m_commands->SwitchMode(toAp, [this, id](bool in) {
        m_changeWaiting = false;
        Answer(id, [this, in](const QDBusMessage& call) {
            if (in)
                Reply(call);
            else
                Refuse(call, Cancelled());
        });
        EmitChanges();
    });
    if (refused) {
        m_changeWaiting = false;
        Answer(id, [&](const QDBusMessage& call) { Refuse(call, *refused); });
    }
}

// --- access point ---

void UtilityService::OnGetApStatus(const QDBusMessage& message)
{
    if (Refused busy = m_commands->Busy(UtilityCommands::Change::Scan))
        return Refuse(message, *busy);
    const std::uint64_t id = Hold(message);
    const Refused refused = m_commands->ReadApStatus([this, id](const ApStatus& status) {
        Answer(id,
               [&](const QDBusMessage& call) { Reply(call, {ToMap(DescribeApStatus(status))}); });
    });
    if (refused)
        Answer(id, [&](const QDBusMessage& call) { Refuse(call, *refused); });
}

void UtilityService::OnGetApSettings(const QDBusMessage& message)
{
    Reply(message, {ToMap(DescribeApSettings(m_commands->StoredApSettings()))});
}

void UtilityService::OnSetApSettings(const QDBusMessage& message)
{
    CommandOptions options;
    Refused refused;
    ApChange change;
    if (!ToOptions(message.arguments().value(0), options, refused) ||
        (refused = MakeApChange(options, change)))
        return Refuse(message, *refused);
    if (Refused blocked = ChangeBlocked(UtilityCommands::Change::Adapter))
        return Refuse(message, *blocked);
    ReplyOr(message, m_commands->ChangeApSettings(change));
}

void UtilityService::OnGetFilter(const QDBusMessage& message)
{
    const FilterList filter = m_commands->StoredFilterList();
    QStringList addresses;
    for (const std::string& address : filter.FilterAddress)
        addresses << wire::FromUtf8(address);
    const auto rule = static_cast<std::size_t>(filter.FilterType);
    Reply(message, {wire::FromUtf8(rule < kFilterRuleWords.size() ? kFilterRuleWords[rule] : ""),
                    addresses});
}

void UtilityService::OnSetFilter(const QDBusMessage& message)
{
    const QVariantList args = message.arguments();
    const QStringList given = args.value(1).toStringList();
    std::int32_t type = 0;
    std::array<std::string, kFilterAddressCount> listed;
    // Counted and measured before a single address is converted: a list of millions is
    // refused as a list of seventeen is, by the count alone.
    std::vector<std::string> addresses;
    if (given.size() > static_cast<qsizetype>(kFilterAddressCount)) {
        addresses.resize(kFilterAddressCount + 1);
        // The bus library decoded the whole list before this call: once the message is
        // gone, what it took goes back to the system rather than staying with the tray.
        QTimer::singleShot(0, this, [] { ::malloc_trim(0); });
    } else if (!std::all_of(given.begin(), given.end(), TextFits))
        return Refuse(message,
                      Refusal{"InvalidArgument", "Eine MAC-Adresse ist zu lang (h\u00f6chstens " +
                                                     std::to_string(kMaxOptionText) + " Bytes)."});
    else
        for (const QString& address : given)
            addresses.push_back(wire::ToUtf8(address));
    if (Refused refused = MakeFilterChange(Utf8(args.value(0)), addresses, type, listed))
        return Refuse(message, *refused);
    if (Refused blocked = ChangeBlocked(UtilityCommands::Change::Adapter))
        return Refuse(message, *blocked);
    ReplyOr(message, m_commands->ChangeFilterList(type, listed));
}

} // namespace kesto
