#include "wire/JsonReader.h"

#include <cmath>

namespace kesto::wire {

namespace {

constexpr double kCounterLimit = 9007199254740992.0; // 2^53: exact in a double

} // namespace

std::optional<int> IntOf(const QJsonValue& json, int min, int max)
{
    if (!json.isDouble())
        return std::nullopt;
    const double number = json.toDouble();
    if (!std::isfinite(number) || number != std::trunc(number) || number < min || number > max)
        return std::nullopt;
    return static_cast<int>(number);
}

void JsonReader::Fail(QLatin1StringView key, const QString& problem)
{
    if (m_error.isEmpty())
        m_error = m_where + key + QStringLiteral(": ") + problem;
}

void JsonReader::Take(const QString& error)
{
    if (m_error.isEmpty() && !error.isEmpty())
        m_error = error;
}

QJsonValue JsonReader::Member(QLatin1StringView key)
{
    const QJsonValue value = m_object.value(key);
    if (value.isUndefined())
        Fail(key, QStringLiteral("missing"));
    return value;
}

int JsonReader::Int(QLatin1StringView key, int min, int max)
{
    const QJsonValue value = Member(key);
    if (!ok())
        return 0;
    const auto number = IntOf(value, min, max);
    if (!number)
        Fail(key, QStringLiteral("not an integer in %1..%2").arg(min).arg(max));
    return number.value_or(0);
}

qint64 JsonReader::Counter(QLatin1StringView key)
{
    const QJsonValue value = Member(key);
    if (!ok())
        return 0;
    const double number = value.toDouble(-1);
    if (!value.isDouble() || !std::isfinite(number) || number != std::trunc(number) || number < 0 ||
        number >= kCounterLimit) {
        Fail(key, QStringLiteral("not an integer in 0..2^53-1"));
        return 0;
    }
    return static_cast<qint64>(number);
}

double JsonReader::Finite(QLatin1StringView key)
{
    const QJsonValue value = Member(key);
    if (!ok())
        return 0;
    if (!value.isDouble() || !std::isfinite(value.toDouble())) {
        Fail(key, QStringLiteral("not a finite number"));
        return 0;
    }
    return value.toDouble();
}

bool JsonReader::Bool(QLatin1StringView key)
{
    const QJsonValue value = Member(key);
    if (ok() && !value.isBool())
        Fail(key, QStringLiteral("not true or false"));
    return value.toBool();
}

QString JsonReader::String(QLatin1StringView key)
{
    const QJsonValue value = Member(key);
    if (ok() && !value.isString())
        Fail(key, QStringLiteral("not a string"));
    return value.toString();
}

QJsonArray JsonReader::Array(QLatin1StringView key, qsizetype maxItems)
{
    const QJsonValue value = Member(key);
    if (ok() && !value.isArray())
        Fail(key, QStringLiteral("not an array"));
    QJsonArray array = value.toArray();
    if (ok() && array.size() > maxItems) {
        Fail(key, QStringLiteral("%1 entries, more than %2").arg(array.size()).arg(maxItems));
        return {};
    }
    return array;
}

std::vector<int> JsonReader::Ints(QLatin1StringView key, int min, qsizetype maxItems)
{
    const QJsonArray array = Array(key, maxItems);
    std::vector<int> numbers;
    for (qsizetype i = 0; ok() && i < array.size(); ++i) {
        if (const auto number = IntOf(array[i], min, INT_MAX))
            numbers.push_back(*number);
        else
            Fail(key, QStringLiteral("[%1] is not an integer >= %2").arg(i).arg(min));
    }
    return numbers;
}

} // namespace kesto::wire
