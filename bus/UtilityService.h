// UtilityService: the running utility on the session bus (org.kesto.WlanUtility1 at
// /org/kesto/WlanUtility1). Its methods call UtilityCommands, the steps the window's
// handlers take; its properties are the link monitor's values, with PropertiesChanged
// after a reading that changed them. The interface is the built-in introspection
// document (BusInterface): a call whose arguments do not have the document's signature
// is refused before anything else, its texts, dictionaries and lists are bounded by
// length and count before any is converted, and every option is checked (CommandOptions)
// before it reaches a step or the adapter.
//
// Every call is answered, none waits on the thread: a scan, a fresh reading, the access
// point's status, a mode switch and a join (when it has its outcome) answer later. A
// change arriving while the window runs a nested event loop (a message box, the security
// pop-up, the tray menu), while the adapter settles into a mode or a scan runs, or while
// another change of the service waits (a join's outcome included), is refused as Busy
// rather than run inside a half-done step; reads are answered at any time.
#pragma once

#include "app/UtilityCommands.h"
#include "bus/BusInterface.h"
#include "platform/Refusal.h"
#include "qt/EventGate.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace kesto {

class UtilityService : public QDBusVirtualObject {
public:
    // gate: the count of the core's handlers running, which tells a nested event loop.
    // connection: the session bus (or a test's bus).
    UtilityService(EventGate& gate, QDBusConnection connection, QObject* parent = nullptr);
    ~UtilityService() override;

    // The running utility's commands: the name and object are taken on the bus the first
    // time (a bus that cannot be reached, or a name another program holds, is said once
    // on stderr and the utility runs on without the service). nullptr: they go; calls
    // still waiting are answered as cancelled.
    void Attach(UtilityCommands* commands);
    bool registered() const { return m_registered; }

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    using Handler = void (UtilityService::*)(const QDBusMessage&);

    bool Register();
    void Dispatch(const QDBusMessage& message);
    void OnProperties(const QDBusMessage& message);

    void OnScan(const QDBusMessage& message);
    void OnNetworks(const QDBusMessage& message);
    void OnConnect(const QDBusMessage& message);
    void OnListProfiles(const QDBusMessage& message);
    void OnGetProfile(const QDBusMessage& message);
    void OnAddProfile(const QDBusMessage& message);
    void OnDeleteProfile(const QDBusMessage& message);
    void OnApplyProfile(const QDBusMessage& message);
    void OnSetMode(const QDBusMessage& message);
    void OnGetApStatus(const QDBusMessage& message);
    void OnGetApSettings(const QDBusMessage& message);
    void OnSetApSettings(const QDBusMessage& message);
    void OnGetFilter(const QDBusMessage& message);
    void OnSetFilter(const QDBusMessage& message);

    // The profile name a call names first, checked; false after refusing the call.
    bool ProfileName(const QDBusMessage& message, std::string& name);
    // Why a change cannot run now; nothing when it can.
    Refused ChangeBlocked(UtilityCommands::Change change);
    // Runs the join of a network the last survey listed, unless the window got busy
    // meanwhile.
    void FinishConnect(std::uint64_t id, const JoinRequest& request);
    // The join for the held call id, answered when it has an outcome (or at once when the
    // caller does not wait).
    void RunJoin(std::uint64_t id, const JoinRequest& request);

    // Answers.
    void Reply(const QDBusMessage& message, const QVariantList& values = {});
    void Refuse(const QDBusMessage& message, const Refusal& refusal);
    // Answers with refused when there is one, else with values; true when refused.
    bool ReplyOr(const QDBusMessage& message, const Refused& refused,
                 const QVariantList& values = {});
    // A call answered later: Hold keeps it; Answer sends the answer that answer makes,
    // unless the call was answered already (the commands went).
    std::uint64_t Hold(const QDBusMessage& message);
    void Answer(std::uint64_t id, const std::function<void(const QDBusMessage&)>& answer);

    QVariantMap Properties();
    void EmitChanges();

    EventGate& m_gate;
    QDBusConnection m_connection;
    BusInterface m_interface;
    std::map<QString, Handler> m_handlers;
    UtilityCommands* m_commands = nullptr;
    bool m_tried = false;
    bool m_registered = false;
    std::map<std::uint64_t, QDBusMessage> m_held;
    std::uint64_t m_lastId = 0;
    bool m_changeWaiting = false; // a connect waiting for its scan, a mode switch under way
    bool m_nested = false;        // the call being handled came through a nested event loop
    QVariantMap m_shown;          // the properties as last told
};

} // namespace kesto
