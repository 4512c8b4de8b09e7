// JsonReader: reads the members of one JSON object with their types and bounds checked.
// The first problem is kept, with the member's name and where the object sits in the
// message ("rows[1].texts: ..."), and everything read after it is a default value, so a
// decoder reads all it needs and checks once at the end.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <climits>
#include <optional>
#include <utility>
#include <vector>

namespace kesto::wire {

// json as an int in min..max: a finite number without a fraction; nullopt otherwise.
std::optional<int> IntOf(const QJsonValue& json, int min, int max);

class JsonReader {
public:
    // where: the place of the object in the message, prefixed to the problem's key.
    explicit JsonReader(QJsonObject object, QString where = {})
        : m_object(std::move(object)), m_where(std::move(where))
    {
    }

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    // Keeps "<where><key>: <problem>" unless a problem is kept already.
    void Fail(QLatin1StringView key, const QString& problem);
    // Keeps error (a nested reader's) unless a problem is kept already.
    void Take(const QString& error);

    // The member (undefined when missing, which is a problem).
    QJsonValue Member(QLatin1StringView key);
    int Int(QLatin1StringView key, int min = INT_MIN, int max = INT_MAX);
    // A sequence number: an integer in 0..2^53-1, exact in a double.
    qint64 Counter(QLatin1StringView key);
    double Finite(QLatin1StringView key);
    bool Bool(QLatin1StringView key);
    QString String(QLatin1StringView key);
    // An array of at most maxItems entries (checked before any entry is read).
    QJsonArray Array(QLatin1StringView key, qsizetype maxItems);
    // An array of at most maxItems integers, each >= min.
    std::vector<int> Ints(QLatin1StringView key, int min, qsizetype maxItems);

    // A name that from turns into a value of E.
    template <typename E>
    E Named(QLatin1StringView key, std::optional<E> (*from)(const QString&), E fallback)
    {
        const QString name = String(key);
        if (!ok())
            return fallback;
        const std::optional<E> value = from(name);
        if (!value)
            Fail(key, QStringLiteral("unknown name \"%1\"").arg(name));
        return value.value_or(fallback);
    }

    // An array of at most maxItems objects, each read by read(JsonReader&) into a T.
    template <typename T, typename Read>
    std::vector<T> Objects(QLatin1StringView key, qsizetype maxItems, Read read)
    {
        const QJsonArray array = Array(key, maxItems);
        std::vector<T> items;
        for (qsizetype i = 0; ok() && i < array.size(); ++i) {
            if (!array[i].isObject()) {
                Fail(key, QStringLiteral("[%1] is not an object").arg(i));
                break;
            }
            JsonReader item(array[i].toObject(), m_where + key + QStringLiteral("[%1].").arg(i));
            T value = read(item);
            Take(item.error());
            items.push_back(std::move(value));
        }
        return items;
    }

private:
    QJsonObject m_object;
    QString m_where;
    QString m_error;
};

} // namespace kesto::wire
