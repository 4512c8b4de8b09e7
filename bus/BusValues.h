// BusValues: the commands' values as the session bus carries them and back: the
// structures of the answers' arrays (a network of the survey, a stored profile), the
// described records as dictionaries, and a call's option dictionary as the commands'
// options, a value of a type no option takes refused.
#pragma once

#include "app/CommandOptions.h"
#include "app/UtilityCommands.h"
#include "platform/Refusal.h"
#include "station/ProfileCommands.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <vector>

namespace kesto {

// One network, one profile: the structures of the answers' arrays (ssiiisb, sssbib).
struct BusNetwork {
    QString name;
    QString bssid;
    int channel = 0;
    int signalPercent = 0;
    int rssi = 0;
    QString security;
    bool adHoc = false;
};

struct BusProfile {
    QString name;
    QString ssid;
    QString security;
    bool adHoc = false;
    int channel = 0;
    bool isDefault = false;
};

QDBusArgument& operator<<(QDBusArgument& out, const BusNetwork& n);
const QDBusArgument& operator>>(const QDBusArgument& in, BusNetwork& n);
QDBusArgument& operator<<(QDBusArgument& out, const BusProfile& p);
const QDBusArgument& operator>>(const QDBusArgument& in, BusProfile& p);

// Makes the two structures known to the bus library; once before the first answer.
void RegisterBusTypes();

// The answers of Scan and Networks, and of ListProfiles.
QVariantList NetworksAnswer(const std::vector<ListedNetwork>& networks);
QVariantList ProfilesAnswer(const std::vector<ProfileEntry>& profiles);

// A described value as the bus carries it; type: the signature the interface gives it
// ("i" numbers go as 32-bit ones).
QVariant ToVariant(const FieldValue& value, const QString& type = {});
QVariantMap ToMap(const std::vector<Field>& fields);
// The most options a call's dictionary may hold (more than any method takes).
inline constexpr qsizetype kMaxBusOptions = 32;
// Whether a text argument is short enough to convert (at most kMaxOptionText bytes
// could come of it); checked before converting, so a huge argument costs no copy.
bool TextFits(const QString& text);
// The option dictionary of a call as the commands take it; false (with why) for more
// than kMaxBusOptions entries, a text longer than kMaxOptionText, or a value of a type no
// option takes. Counts and lengths are checked before anything is converted.
bool ToOptions(const QVariant& argument, CommandOptions& options, Refused& refused);

} // namespace kesto

Q_DECLARE_METATYPE(kesto::BusNetwork)
Q_DECLARE_METATYPE(kesto::BusProfile)
