#include "wire/WindowMessages.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <climits>
#include <cmath>

namespace kesto::wire {

QByteArray EncodeLine(const QJsonObject& message)
{
    QByteArray line = QJsonDocument(message).toJson(QJsonDocument::Compact);
    line.append('\n');
    return line;
}

std::optional<QJsonObject> DecodeLine(QByteArrayView line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QJsonValue ValueToJson(const ElementValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return FromUtf8(*text);
    return std::get<int>(value);
}

namespace {

std::optional<int> IntOf(const QJsonValue& json)
{
    if (!json.isDouble())
        return std::nullopt;
    const double number = json.toDouble();
    if (!std::isfinite(number) || number != std::trunc(number) || number < INT_MIN ||
        number > INT_MAX)
        return std::nullopt;
    return static_cast<int>(number);
}

} // namespace

std::optional<ElementValue> ValueFromJson(const QJsonValue& json)
{
    if (json.isString())
        return ElementValue(ToUtf8(json.toString()));
    if (const auto number = IntOf(json))
        return ElementValue(*number);
    return std::nullopt;
}

QJsonArray ValuesToJson(const PageValues& values)
{
    QJsonArray array;
    for (const ElementState& state : values)
        array.append(QJsonArray{FromUtf8(state.id), ValueToJson(state.value)});
    return array;
}

PageValues ValuesFromJson(const QJsonValue& json)
{
    PageValues values;
    for (const QJsonValue& entry : json.toArray()) {
        const QJsonArray pair = entry.toArray();
        if (pair.size() != 2 || !pair[0].isString() || pair[0].toString().isEmpty())
            continue;
        if (auto value = ValueFromJson(pair[1]))
            values.push_back({ToUtf8(pair[0].toString()), std::move(*value)});
    }
    return values;
}

std::optional<int> IntField(const QJsonObject& object, QStringView key)
{
    return IntOf(object.value(key));
}

std::optional<qint64> SeqField(const QJsonObject& object, QStringView key)
{
    const QJsonValue json = object.value(key);
    if (!json.isDouble())
        return std::nullopt;
    const double number = json.toDouble();
    constexpr double kLimit = 9007199254740992.0; // 2^53: exact in a double
    if (!std::isfinite(number) || number != std::trunc(number) || number < 0 || number >= kLimit)
        return std::nullopt;
    return static_cast<qint64>(number);
}

QString SurfaceName(HtmlSurface surface)
{
    switch (surface) {
    case HtmlSurface::MainWindow:
        return QStringLiteral("main");
    case HtmlSurface::Dialog:
        return QStringLiteral("dialog");
    }
    return {};
}

std::optional<HtmlSurface> SurfaceFromName(const QString& name)
{
    for (HtmlSurface surface : {HtmlSurface::MainWindow, HtmlSurface::Dialog}) {
        if (SurfaceName(surface) == name)
            return surface;
    }
    return std::nullopt;
}

QString ElementEventName(ElementEvent event)
{
    switch (event) {
    case ElementEvent::Click:
        return QStringLiteral("click");
    case ElementEvent::KeyUp:
        return QStringLiteral("keyup");
    case ElementEvent::Change:
        return QStringLiteral("change");
    case ElementEvent::Focus:
        return QStringLiteral("focus");
    case ElementEvent::Blur:
        return QStringLiteral("blur");
    }
    return {};
}

std::optional<ElementEvent> ElementEventFromName(const QString& name)
{
    for (ElementEvent event : {ElementEvent::Click, ElementEvent::KeyUp, ElementEvent::Change,
                               ElementEvent::Focus, ElementEvent::Blur}) {
        if (ElementEventName(event) == name)
            return event;
    }
    return std::nullopt;
}

QString WindowEventName(WindowEvent event)
{
    switch (event) {
    case WindowEvent::Close:
        return QStringLiteral("close");
    case WindowEvent::Minimise:
        return QStringLiteral("minimise");
    case WindowEvent::Escape:
        return QStringLiteral("escape");
    case WindowEvent::Enter:
        return QStringLiteral("enter");
    }
    return {};
}

std::optional<WindowEvent> WindowEventFromName(const QString& name)
{
    for (WindowEvent event :
         {WindowEvent::Close, WindowEvent::Minimise, WindowEvent::Escape, WindowEvent::Enter}) {
        if (WindowEventName(event) == name)
            return event;
    }
    return std::nullopt;
}

QString ListEventName(ListEvent event)
{
    switch (event) {
    case ListEvent::Click:
        return QStringLiteral("click");
    case ListEvent::DoubleClick:
        return QStringLiteral("doubleClick");
    case ListEvent::HeaderClick:
        return QStringLiteral("header");
    }
    return {};
}

std::optional<ListEvent> ListEventFromName(const QString& name)
{
    for (ListEvent event : {ListEvent::Click, ListEvent::DoubleClick, ListEvent::HeaderClick}) {
        if (ListEventName(event) == name)
            return event;
    }
    return std::nullopt;
}

} // namespace kesto::wire
