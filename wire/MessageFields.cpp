#include "wire/MessageFields.h"

namespace kesto::wire::fields {

namespace {

std::optional<ElementValue> ValueOf(const QJsonValue& json)
{
    if (json.isString())
        return ElementValue(ToUtf8(json.toString()));
    if (const auto number = IntOf(json, INT_MIN, INT_MAX))
        return ElementValue(*number);
    return std::nullopt;
}

QString ColorName(const ChartColor& color)
{
    return QStringLiteral("#%1%2%3")
        .arg(color.red, 2, 16, QLatin1Char('0'))
        .arg(color.green, 2, 16, QLatin1Char('0'))
        .arg(color.blue, 2, 16, QLatin1Char('0'));
}

// "#rrggbb" exactly.
std::optional<ChartColor> ColorFromName(const QString& name)
{
    if (name.size() != 7 || name[0] != QLatin1Char('#'))
        return std::nullopt;
    uint rgb = 0;
    for (qsizetype i = 1; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        rgb = rgb * 16 + static_cast<uint>(digit);
    }
    return ChartColor{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                      static_cast<std::uint8_t>(rgb)};
}

bool IdTooLong(const std::string& utf8)
{
    return utf8.size() > static_cast<std::size_t>(kMaxElementIdBytes);
}

} // namespace

std::string Id::Read(JsonReader& r, QLatin1StringView key) const
{
    const QString id = r.String(key);
    if (r.ok() && id.isEmpty())
        r.Fail(key, QStringLiteral("empty"));
    std::string utf8 = ToUtf8(id);
    if (r.ok() && IdTooLong(utf8))
        r.Fail(key, QStringLiteral("longer than %1 bytes").arg(kMaxElementIdBytes));
    return utf8;
}

QJsonValue Value::Write(const ElementValue& value) const
{
    if (const auto* text = std::get_if<std::string>(&value))
        return FromUtf8(*text);
    return std::get<int>(value);
}

ElementValue Value::Read(JsonReader& r, QLatin1StringView key) const
{
    const QJsonValue json = r.Member(key);
    if (const auto value = ValueOf(json))
        return *value;
    r.Fail(key, QStringLiteral("neither a string nor an integer"));
    return {};
}

QJsonValue Values::Write(const PageValues& values) const
{
    QJsonArray array;
    for (const ElementState& state : values)
        array.append(QJsonArray{FromUtf8(state.id), Value{}.Write(state.value)});
    return array;
}

PageValues Values::Read(JsonReader& r, QLatin1StringView key) const
{
    const QJsonArray array = r.Array(key, kMaxPageValues);
    PageValues values;
    for (qsizetype i = 0; r.ok() && i < array.size(); ++i) {
        const QJsonArray pair = array[i].toArray();
        const QString index = QStringLiteral("[%1]").arg(i);
        if (!array[i].isArray() || pair.size() != 2)
            r.Fail(key, index + QStringLiteral(" is not an [id, value] pair"));
        else if (!pair[0].isString() || pair[0].toString().isEmpty())
            r.Fail(key, index + QStringLiteral(" has no id"));
        else if (IdTooLong(ToUtf8(pair[0].toString())))
            r.Fail(key,
                   index +
                       QStringLiteral(" has an id longer than %1 bytes").arg(kMaxElementIdBytes));
        else if (const auto value = ValueOf(pair[1]))
            values.push_back({ToUtf8(pair[0].toString()), *value});
        else
            r.Fail(key, index + QStringLiteral(" is neither a string nor an integer"));
    }
    return values;
}

QJsonValue Ints::Write(const std::vector<int>& numbers) const
{
    QJsonArray array;
    for (int number : numbers)
        array.append(number);
    return array;
}

QJsonValue Texts::Write(const std::vector<std::string>& texts) const
{
    QJsonArray array;
    for (const std::string& text : texts)
        array.append(FromUtf8(text));
    return array;
}

std::vector<std::string> Texts::Read(JsonReader& r, QLatin1StringView key) const
{
    const QJsonArray array = r.Array(key, maxItems);
    std::vector<std::string> texts;
    for (qsizetype i = 0; r.ok() && i < array.size(); ++i) {
        if (!array[i].isString())
            r.Fail(key, QStringLiteral("[%1] is not a string").arg(i));
        texts.push_back(ToUtf8(array[i].toString()));
    }
    return texts;
}

QJsonValue Color::Write(const ChartColor& color) const
{
    return ColorName(color);
}

ChartColor Color::Read(JsonReader& r, QLatin1StringView key) const
{
    const QString name = r.String(key);
    if (!r.ok())
        return {};
    const auto color = ColorFromName(name);
    if (!color)
        r.Fail(key, QStringLiteral("not a #rrggbb colour"));
    return color.value_or(ChartColor{});
}

} // namespace kesto::wire::fields
