// The framing and the names shared by the messages between the tray process and the
// window process (MessageCodec builds on them) and by the window's test driver: one
// compact JSON object per line, UTF-8, and the names the pages' bridge script and the
// messages use for surfaces and events.
#pragma once

#include "platform/ListControl.h"
#include "platform/PageHost.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace kesto::wire {

// "\n"-terminated compact JSON.
QByteArray EncodeLine(const QJsonObject& message);
// The object a line holds; nullopt for anything else (broken JSON, an array, a scalar).
std::optional<QJsonObject> DecodeLine(QByteArrayView line);

QString FromUtf8(std::string_view text);
std::string ToUtf8(const QString& text);

// The one of values whose nameOf is name.
template <typename E>
std::optional<E> FromName(const QString& name, QString (*nameOf)(E),
                          std::initializer_list<E> values)
{
    for (E value : values) {
        if (nameOf(value) == name)
            return value;
    }
    return std::nullopt;
}

// "main", "dialog".
QString SurfaceName(HtmlSurface surface);
std::optional<HtmlSurface> SurfaceFromName(const QString& name);
// "click", "keyup", "change", "focus", "blur": the names the pages' bridge script uses.
QString ElementEventName(ElementEvent event);
std::optional<ElementEvent> ElementEventFromName(const QString& name);
// "close", "minimise", "escape", "enter".
QString WindowEventName(WindowEvent event);
std::optional<WindowEvent> WindowEventFromName(const QString& name);
// "click", "doubleClick", "header".
QString ListEventName(ListEvent event);
std::optional<ListEvent> ListEventFromName(const QString& name);

} // namespace kesto::wire
