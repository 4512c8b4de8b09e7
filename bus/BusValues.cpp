// The commands' values on the session bus (see BusValues.h).
#include "bus/BusValues.h"

#include "station/ProfileTexts.h"
#include "station/SurveyRecords.h"
#include "wire/WindowMessages.h"

#include <QDBusMetaType>
#include <QDBusVariant>

#include <limits>

namespace kesto {

QDBusArgument& operator<<(QDBusArgument& out, const BusNetwork& n)
{
    out.beginStructure();
    out << n.name << n.bssid << n.channel << n.signalPercent << n.rssi << n.security << n.adHoc;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, BusNetwork& n)
{
    in.beginStructure();
    in >> n.name >> n.bssid >> n.channel >> n.signalPercent >> n.rssi >> n.security >> n.adHoc;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const BusProfile& p)
{
    out.beginStructure();
    out << p.name << p.ssid << p.security << p.adHoc << p.channel << p.isDefault;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, BusProfile& p)
{
    in.beginStructure();
    in >> p.name >> p.ssid >> p.security >> p.adHoc >> p.channel >> p.isDefault;
    in.endStructure();
    return in;
}

void RegisterBusTypes()
{
    qDBusRegisterMetaType<BusNetwork>();
    qDBusRegisterMetaType<QList<BusNetwork>>();
    qDBusRegisterMetaType<BusProfile>();
    qDBusRegisterMetaType<QList<BusProfile>>();
}

QVariantList NetworksAnswer(const std::vector<ListedNetwork>& networks)
{
    QList<BusNetwork> list;
    for (const ListedNetwork& n : networks)
        list.push_back({wire::FromUtf8(n.name), wire::FromUtf8(n.bssid), n.channel, n.signalPercent,
                        n.rssi, wire::FromUtf8(n.security), n.adHoc});
    return {QVariant::fromValue(list)};
}

QVariantList ProfilesAnswer(const std::vector<ProfileEntry>& profiles)
{
    QList<BusProfile> list;
    for (const ProfileEntry& entry : profiles) {
        const ProfileRecord& r = entry.record;
        list.push_back({wire::FromUtf8(r.ProfileName), wire::FromUtf8(ShowableName(r.SSID)),
                        wire::FromUtf8(SecurityText(r.AuthenticationMode)), r.NetworkType == 0,
                        r.Channel, entry.isDefault});
    }
    return {QVariant::fromValue(list)};
}

QVariant ToVariant(const FieldValue& value, const QString& type)
{
    return std::visit(
        [&type](const auto& v) -> QVariant {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return v;
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                if (type == QLatin1String("i"))
                    return static_cast<int>(v);
                return static_cast<qlonglong>(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return wire::FromUtf8(v);
            } else {
                QStringList list;
                for (const std::string& text : v)
                    list << wire::FromUtf8(text);
                return list;
            }
        },
        value);
}

QVariantMap ToMap(const std::vector<Field>& fields)
{
    QVariantMap map;
    for (const Field& field : fields)
        map.insert(wire::FromUtf8(field.name), ToVariant(field.value));
    return map;
}

bool TextFits(const QString& text)
{
    // A UTF-16 unit is at least one UTF-8 byte: a longer text cannot fit in the bytes.
    return static_cast<std::size_t>(text.size()) <= kMaxOptionText;
}

bool ToOptions(const QVariant& argument, CommandOptions& options, Refused& refused)
{
    // Taken entry by entry from the message, so a dictionary of a million entries or a
    // text of megabytes is refused by its count or length before it is converted.
    const auto tooMany = [&refused] {
        refused = Refusal{"InvalidArgument", "Der Aufruf hat mehr als " +
                                                 std::to_string(kMaxBusOptions) + " Optionen."};
        return false;
    };
    QVariantMap map;
    if (argument.canConvert<QDBusArgument>()) {
        const QDBusArgument entries = argument.value<QDBusArgument>();
        entries.beginMap();
        while (!entries.atEnd()) {
            if (map.size() >= kMaxBusOptions)
                return tooMany();
            QString key;
            QDBusVariant value;
            entries.beginMapEntry();
            entries >> key >> value;
            entries.endMapEntry();
            map.insert(key, value.variant());
        }
        entries.endMap();
    } else {
        map = argument.toMap();
        if (map.size() > kMaxBusOptions)
            return tooMany();
    }
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QVariant& value = it.value();
        if (!TextFits(it.key()) ||
            (value.metaType().id() == QMetaType::QString && !TextFits(value.toString()))) {
            refused =
                Refusal{"InvalidArgument", "Die Option \u201e" + wire::ToUtf8(it.key().left(32)) +
                                               "\u201c ist zu lang (h\u00f6chstens " +
                                               std::to_string(kMaxOptionText) + " Bytes)."};
            return false;
        }
        const std::string name = wire::ToUtf8(it.key());
        switch (value.metaType().id()) {
        case QMetaType::Bool:
            options[name] = value.toBool();
            break;
        case QMetaType::QString:
            options[name] = wire::ToUtf8(value.toString());
            break;
        case QMetaType::UChar:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
            options[name] = static_cast<std::int64_t>(value.toLongLong());
            break;
        case QMetaType::ULongLong: {
            const qulonglong n = value.toULongLong();
            options[name] = n > static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max())
                                ? std::numeric_limits<std::int64_t>::max()
                                : static_cast<std::int64_t>(n);
            break;
        }
        default:
            refused = Refusal{"InvalidArgument", "Die Option \u201e" + name +
                                                     "\u201c hat einen Typ, den sie nicht nimmt."};
            return false;
        }
    }
    return true;
}

} // namespace kesto
