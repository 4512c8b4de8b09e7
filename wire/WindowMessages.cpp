#include "wire/WindowMessages.h"

#include <QJsonDocument>
#include <QJsonParseError>

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
    return FromName(name, &SurfaceName, {HtmlSurface::MainWindow, HtmlSurface::Dialog});
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
    return FromName(name, &ElementEventName,
                    {ElementEvent::Click, ElementEvent::KeyUp, ElementEvent::Change,
                     ElementEvent::Focus, ElementEvent::Blur});
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
    return FromName(
        name, &WindowEventName,
        {WindowEvent::Close, WindowEvent::Minimise, WindowEvent::Escape, WindowEvent::Enter});
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
    return FromName(name, &ListEventName,
                    {ListEvent::Click, ListEvent::DoubleClick, ListEvent::HeaderClick});
}

} // namespace kesto::wire
