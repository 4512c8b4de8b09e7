// The messages between the tray process and the window process: one JSON object per
// line, UTF-8. Commands (tray to window) carry "c", the command's name, and "seq", a
// number that grows by one with every command the tray sends. Events (window to tray)
// carry "e", the event's name, and "ack": the "seq" of the last command the window had
// carried out when the user acted, so the tray can tell an event that crossed a newer
// command on the way.
//
// Element values travel as JSON strings or integral numbers; page values as an array
// of [id, value] pairs in the order they apply. Everything read from the other side is
// checked: a value of the wrong shape is skipped, never guessed.
#pragma once

#include "platform/ListControl.h"
#include "platform/PageHost.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

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

QJsonValue ValueToJson(const ElementValue& value);
// A string, or a number that is an integer within the range of int.
std::optional<ElementValue> ValueFromJson(const QJsonValue& json);
QJsonArray ValuesToJson(const PageValues& values);
// Pairs with a non-empty string id and a valid value; anything else is skipped.
PageValues ValuesFromJson(const QJsonValue& json);

// A member that is an integer within the range of int (JSON numbers are doubles).
std::optional<int> IntField(const QJsonObject& object, QStringView key);
// A member that is a non-negative integer below 2^53 (sequence numbers).
std::optional<qint64> SeqField(const QJsonObject& object, QStringView key);

QString SurfaceName(HtmlSurface surface);
std::optional<HtmlSurface> SurfaceFromName(const QString& name);
// "click", "keyup", "change", "focus", "blur": the names the pages' bridge script uses.
QString ElementEventName(ElementEvent event);
std::optional<ElementEvent> ElementEventFromName(const QString& name);
QString WindowEventName(WindowEvent event);
std::optional<WindowEvent> WindowEventFromName(const QString& name);
QString ListEventName(ListEvent event);
std::optional<ListEvent> ListEventFromName(const QString& name);

// The window's own report that the user restored the window from the taskbar (where
// hiding minimises instead, see WindowPageHost::SetHideMeansMinimise).
inline constexpr QStringView kRestoreEvent = u"restore";
// The list event that only reports a changed selection (keyboard, programmatic).
inline constexpr QStringView kSelectionEvent = u"selection";

} // namespace kesto::wire
