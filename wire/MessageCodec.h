// MessageCodec: the one encoder and decoder of the messages between the tray process and
// the window process (wire/Messages.h). On the line a message is one compact JSON object
// ending in "\n": a command names itself in "c" and carries "seq", an event names itself
// in "e" and carries "ack"; list and chart commands name their operation in "op".
//
// Decoding checks everything the other side sent: a line that is not an object, a
// missing or unknown name, a field of the wrong type or out of its range rejects the
// whole message with a reason, never a guess. Members the decoder does not know are
// ignored, so a newer peer can add some.
#pragma once

#include "wire/Messages.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>

#include <optional>
#include <utility>

namespace kesto::wire {

// A decoded message, or the reason it was rejected.
template <typename T> class Decoded {
public:
    static Decoded Accepted(T value) { return Decoded(std::move(value), {}); }
    static Decoded Rejected(QString reason) { return Decoded(std::nullopt, std::move(reason)); }

    explicit operator bool() const { return m_value.has_value(); }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    // Empty when accepted.
    const QString& reason() const { return m_reason; }

private:
    Decoded(std::optional<T> value, QString reason)
        : m_value(std::move(value)), m_reason(std::move(reason))
    {
    }
    std::optional<T> m_value;
    QString m_reason;
};

QJsonObject CommandToJson(const Command& command);
Decoded<Command> CommandFromJson(const QJsonObject& json);
QJsonObject EventToJson(const Event& event);
Decoded<Event> EventFromJson(const QJsonObject& json);

// The line, "\n" included.
QByteArray EncodeCommand(const Command& command);
QByteArray EncodeEvent(const Event& event);
// line: without its "\n".
Decoded<Command> DecodeCommand(QByteArrayView line);
Decoded<Event> DecodeEvent(QByteArrayView line);

} // namespace kesto::wire
