// What a message is described with, so that each message is described once and both
// directions follow from it: a field type is one JSON type with its bounds, written by
// Write and read back, checked, by Read; a message is its name and its parts in the
// order they are read: fields (a key, a member, a field type), fields of a member
// structure (Inner), and tags (a constant member that tells messages of one name apart,
// as the "op" of the list commands).
#pragma once

#include "wire/JsonReader.h"
#include "wire/Messages.h"
#include "wire/WindowMessages.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>

#include <climits>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace kesto::wire::fields {

// --- field types ---

struct Int {
    int min = INT_MIN;
    int max = INT_MAX;
    QJsonValue Write(int value) const { return value; }
    int Read(JsonReader& r, QLatin1StringView key) const { return r.Int(key, min, max); }
};

struct Bool {
    QJsonValue Write(bool value) const { return value; }
    bool Read(JsonReader& r, QLatin1StringView key) const { return r.Bool(key); }
};

struct Finite {
    QJsonValue Write(double value) const { return value; }
    double Read(JsonReader& r, QLatin1StringView key) const { return r.Finite(key); }
};

// Any UTF-8 text.
struct Text {
    QJsonValue Write(const std::string& value) const { return FromUtf8(value); }
    std::string Read(JsonReader& r, QLatin1StringView key) const { return ToUtf8(r.String(key)); }
};

// An element id: not empty, at most kMaxElementIdBytes of UTF-8.
struct Id {
    QJsonValue Write(const std::string& value) const { return FromUtf8(value); }
    std::string Read(JsonReader& r, QLatin1StringView key) const;
};

// An element's value: a string or an integer.
struct Value {
    QJsonValue Write(const ElementValue& value) const;
    ElementValue Read(JsonReader& r, QLatin1StringView key) const;
};

// A page's values: [[id, value], ...], at most kMaxPageValues of them.
struct Values {
    QJsonValue Write(const PageValues& values) const;
    PageValues Read(JsonReader& r, QLatin1StringView key) const;
};

// At most maxItems integers, each >= min.
struct Ints {
    int min = 0;
    qsizetype maxItems = 0;
    QJsonValue Write(const std::vector<int>& numbers) const;
    std::vector<int> Read(JsonReader& r, QLatin1StringView key) const
    {
        return r.Ints(key, min, maxItems);
    }
};

// At most maxItems texts.
struct Texts {
    qsizetype maxItems = 0;
    QJsonValue Write(const std::vector<std::string>& texts) const;
    std::vector<std::string> Read(JsonReader& r, QLatin1StringView key) const;
};

// 0xRRGGBB as a number.
struct Rgb {
    QJsonValue Write(unsigned value) const { return static_cast<qint64>(value); }
    unsigned Read(JsonReader& r, QLatin1StringView key) const
    {
        return static_cast<unsigned>(r.Int(key, 0, 0xFFFFFF));
    }
};

// "#rrggbb".
struct Color {
    QJsonValue Write(const ChartColor& color) const;
    ChartColor Read(JsonReader& r, QLatin1StringView key) const;
};

// A value of E by its name.
template <typename E> struct Named {
    QString (*name)(E);
    std::optional<E> (*from)(const QString&);
    E fallback;
    QJsonValue Write(E value) const { return name(value); }
    E Read(JsonReader& r, QLatin1StringView key) const { return r.Named(key, from, fallback); }
};

// A value of E by its name, or none by the name none.
template <typename E> struct OptionalNamed {
    Named<E> named;
    const char* none;
    QJsonValue Write(const std::optional<E>& value) const
    {
        return value ? named.Write(*value) : QJsonValue(QLatin1StringView(none));
    }
    std::optional<E> Read(JsonReader& r, QLatin1StringView key) const
    {
        if (r.String(key) == QLatin1StringView(none))
            return std::nullopt;
        return named.Read(r, key);
    }
};

// --- the parts of a message ---

template <typename M, typename T, typename Type> struct Field {
    const char* key;
    T M::*member;
    Type type;
    void Write(const M& message, QJsonObject& json) const
    {
        json.insert(QLatin1StringView(key), type.Write(message.*member));
    }
    bool Read(JsonReader& r, M& message) const
    {
        message.*member = type.Read(r, QLatin1StringView(key));
        return true;
    }
};
// Spelled out for compilers that do not deduce an aggregate's arguments.
template <typename M, typename T, typename Type>
Field(const char*, T M::*, Type) -> Field<M, T, Type>;

template <typename M, typename... Parts>
void WriteParts(const std::tuple<Parts...>& parts, const M& message, QJsonObject& json)
{
    std::apply([&](const Parts&... part) { (part.Write(message, json), ...); }, parts);
}

// Reads the parts in order; false as soon as a tag names another message.
template <typename M, typename... Parts>
bool ReadParts(const std::tuple<Parts...>& parts, JsonReader& r, M& message)
{
    return std::apply([&](const Parts&... part) { return (part.Read(r, message) && ...); }, parts);
}

// The fields of a member structure, in the same object.
template <typename M, typename S, typename... Parts> struct Inner {
    S M::*member;
    std::tuple<Parts...> parts;
    void Write(const M& message, QJsonObject& json) const
    {
        WriteParts(parts, message.*member, json);
    }
    bool Read(JsonReader& r, M& message) const { return ReadParts(parts, r, message.*member); }
};

struct Tag {
    const char* key;
    const char* value;
    template <typename M> void Write(const M&, QJsonObject& json) const
    {
        json.insert(QLatin1StringView(key), QLatin1StringView(value));
    }
    // False when the member names another message; a missing or malformed member is a
    // problem of this one.
    template <typename M> bool Read(JsonReader& r, M&) const
    {
        const QString named = r.String(QLatin1StringView(key));
        return !r.ok() || named == QLatin1StringView(value);
    }
};

// An array of objects, each described by parts of T.
template <typename T, typename... Parts> struct Objects {
    qsizetype maxItems;
    std::tuple<Parts...> parts;
    QJsonValue Write(const std::vector<T>& items) const
    {
        QJsonArray array;
        for (const T& item : items) {
            QJsonObject json;
            WriteParts(parts, item, json);
            array.append(json);
        }
        return array;
    }
    std::vector<T> Read(JsonReader& r, QLatin1StringView key) const
    {
        return r.Objects<T>(key, maxItems, [&](JsonReader& item) {
            T value{};
            ReadParts(parts, item, value);
            return value;
        });
    }
};

template <typename T, typename... Parts>
constexpr Objects<T, Parts...> ObjectsOf(qsizetype maxItems, Parts... parts)
{
    return {maxItems, {parts...}};
}

template <typename M, typename S, typename... Parts>
constexpr Inner<M, S, Parts...> InnerOf(S M::*member, Parts... parts)
{
    return {member, {parts...}};
}

// A message: its name and its parts in the order they are read.
template <typename M, typename... Parts> struct Message {
    const char* name;
    std::tuple<Parts...> parts;

    static constexpr bool kTagged = (std::is_same_v<Parts, Tag> || ...);

    QJsonObject Write(const M& message) const
    {
        QJsonObject json;
        WriteParts(parts, message, json);
        return json;
    }
    // False when a tag names another message of this name.
    bool Read(JsonReader& r, M& message) const { return ReadParts(parts, r, message); }
    // The key of the message's tag; nullptr for an untagged message.
    const char* TagKey() const
    {
        const char* key = nullptr;
        std::apply([&](const Parts&... part) { (KeepTagKey(part, key), ...); }, parts);
        return key;
    }

private:
    static void KeepTagKey(const Tag& tag, const char*& key) { key = tag.key; }
    template <typename Part> static void KeepTagKey(const Part&, const char*&) {}
};

template <typename M, typename... Parts>
constexpr Message<M, Parts...> MessageOf(const char* name, Parts... parts)
{
    return {name, {parts...}};
}

} // namespace kesto::wire::fields
