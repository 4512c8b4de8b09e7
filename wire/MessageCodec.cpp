// MessageCodec: every message described once, by its name and its fields with their JSON
// types and bounds (wire/MessageFields.h); encoding and decoding both walk the description.
#include "wire/MessageCodec.h"

#include "wire/JsonReader.h"
#include "wire/MessageFields.h"
#include "wire/WindowMessages.h"

#include <type_traits>
#include <utility>

namespace kesto::wire {

namespace {

using namespace fields;

// What every line carries besides its message: the name of a command or an event, and
// the command's number or the event's acknowledgement of one.
constexpr QLatin1StringView kCommandKey("c");
constexpr QLatin1StringView kEventKey("e");
constexpr QLatin1StringView kSeqKey("seq");
constexpr QLatin1StringView kAckKey("ack");

QString WindowStateName(WindowState state)
{
    switch (state) {
    case WindowState::Normal:
        return QStringLiteral("normal");
    case WindowState::Hidden:
        return QStringLiteral("hidden");
    case WindowState::Minimised:
        return QStringLiteral("minimised");
    }
    return {};
}

std::optional<WindowState> WindowStateFromName(const QString& name)
{
    return FromName(name, &WindowStateName,
                    {WindowState::Normal, WindowState::Hidden, WindowState::Minimised});
}

constexpr Named<HtmlSurface> kSurface{&SurfaceName, &SurfaceFromName, HtmlSurface::MainWindow};
constexpr Named<WindowState> kWindowState{&WindowStateName, &WindowStateFromName,
                                          WindowState::Hidden};
constexpr Named<ElementEvent> kElementEvent{&ElementEventName, &ElementEventFromName,
                                            ElementEvent::Click};
constexpr Named<WindowEvent> kWindowEvent{&WindowEventName, &WindowEventFromName,
                                          WindowEvent::Close};
// No list event: the selection changed some other way.
constexpr OptionalNamed<ListEvent> kListEvent{
    {&ListEventName, &ListEventFromName, ListEvent::Click}, "selection"};

// --- the messages ---

// The description of message M, one for each message of the two variants.
template <typename M> constexpr auto kMessage = nullptr;

template <typename M> using Is = std::type_identity<M>;

template <>
constexpr auto kMessage<ShowPageCommand> =
    MessageOf<ShowPageCommand>("page", Field{"surface", &ShowPageCommand::surface, kSurface},
                               Field{"page", &ShowPageCommand::pageId, Int{1}},
                               Field{"values", &ShowPageCommand::values, Values{}});

template <>
constexpr auto kMessage<SetElementCommand> =
    MessageOf<SetElementCommand>("set", Field{"surface", &SetElementCommand::surface, kSurface},
                                 Field{"id", &SetElementCommand::elementId, Id{}},
                                 Field{"value", &SetElementCommand::value, Value{}});

template <>
constexpr auto kMessage<SetDisabledCommand> = MessageOf<SetDisabledCommand>(
    "disable", Field{"surface", &SetDisabledCommand::surface, kSurface},
    Field{"id", &SetDisabledCommand::elementId, Id{}},
    Field{"disabled", &SetDisabledCommand::disabled, Bool{}});

template <>
constexpr auto kMessage<WindowStateCommand> = MessageOf<WindowStateCommand>(
    "window", Field{"state", &WindowStateCommand::state, kWindowState});

template <> constexpr auto kMessage<RaiseCommand> = MessageOf<RaiseCommand>("raise");

template <>
constexpr auto kMessage<WindowSizeCommand> =
    MessageOf<WindowSizeCommand>("size", Field{"width", &WindowSizeCommand::width, Int{0}},
                                 Field{"height", &WindowSizeCommand::height, Int{0}});

template <>
constexpr auto kMessage<WindowIconCommand> =
    MessageOf<WindowIconCommand>("icon", Field{"icon", &WindowIconCommand::icon, Int{0}});

template <>
constexpr auto kMessage<WaitCursorCommand> =
    MessageOf<WaitCursorCommand>("cursor", Field{"wait", &WaitCursorCommand::wait, Bool{}});

template <>
constexpr auto kMessage<BlockInputCommand> =
    MessageOf<BlockInputCommand>("block", Field{"on", &BlockInputCommand::on, Bool{}});

template <> constexpr auto kMessage<EndDialogCommand> = MessageOf<EndDialogCommand>("endDialog");

template <> constexpr auto kMessage<QuitCommand> = MessageOf<QuitCommand>("quit");

// The list commands: "list" names the list, "op" the operation.
template <typename C, typename... Parts> constexpr auto ListCommand(const char* op, Parts... parts)
{
    return MessageOf<C>("list", Field{"list", &C::list, Int{}}, Tag{"op", op}, parts...);
}

template <>
constexpr auto kMessage<ListPlaceCommand> = ListCommand<ListPlaceCommand>(
    "place", Field{"x", &ListPlaceCommand::x, Int{}}, Field{"y", &ListPlaceCommand::y, Int{}},
    Field{"width", &ListPlaceCommand::width, Int{0}},
    Field{"height", &ListPlaceCommand::height, Int{0}});

template <>
constexpr auto kMessage<ListShowCommand> =
    ListCommand<ListShowCommand>("show", Field{"visible", &ListShowCommand::visible, Bool{}});

template <>
constexpr auto kMessage<ListImagesCommand> =
    ListCommand<ListImagesCommand>("images", Field{"bitmap", &ListImagesCommand::bitmap, Int{}},
                                   Field{"width", &ListImagesCommand::width, Int{0}},
                                   Field{"height", &ListImagesCommand::height, Int{0}},
                                   Field{"transparent", &ListImagesCommand::transparent, Rgb{}});

template <>
constexpr auto kMessage<ListColumnsCommand> = ListCommand<ListColumnsCommand>(
    "columns",
    Field{"columns", &ListColumnsCommand::columns,
          ObjectsOf<ListColumn>(kMaxListColumns, Field{"heading", &ListColumn::heading, Text{}},
                                Field{"width", &ListColumn::width, Int{}},
                                Field{"centred", &ListColumn::centred, Bool{}})});

template <>
constexpr auto kMessage<ListRowsCommand> = ListCommand<ListRowsCommand>(
    "rows",
    Field{"rows", &ListRowsCommand::rows,
          ObjectsOf<ListRow>(kMaxListRows, Field{"texts", &ListRow::texts, Texts{kMaxListColumns}},
                             Field{"image", &ListRow::imageIndex, Int{}})});

template <>
constexpr auto kMessage<ListGridLinesCommand> =
    ListCommand<ListGridLinesCommand>("grid", Field{"on", &ListGridLinesCommand::on, Bool{}});

template <>
constexpr auto kMessage<ListFullRowSelectCommand> = ListCommand<ListFullRowSelectCommand>(
    "fullRow", Field{"on", &ListFullRowSelectCommand::on, Bool{}});

template <>
constexpr auto kMessage<ListSelectCommand> = ListCommand<ListSelectCommand>(
    "select", Field{"rows", &ListSelectCommand::rows, Ints{0, kMaxListRows}});

// The chart commands: "chart" names the chart, "op" the operation.
template <typename C, typename... Parts> constexpr auto ChartCommand(const char* op, Parts... parts)
{
    return MessageOf<C>("chart", Field{"chart", &C::chart, Int{}}, Tag{"op", op}, parts...);
}

template <>
constexpr auto kMessage<ChartStyleCommand> = ChartCommand<ChartStyleCommand>(
    "style",
    InnerOf(&ChartStyleCommand::style, Field{"lower", &ChartStyle::lower, Finite{}},
            Field{"upper", &ChartStyle::upper, Finite{}},
            Field{"decimals", &ChartStyle::decimals, Int{0, kMaxChartDecimals}},
            Field{"background", &ChartStyle::background, Color{}},
            Field{"grid", &ChartStyle::grid, Color{}}, Field{"plot", &ChartStyle::plot, Color{}}));

template <>
constexpr auto kMessage<ChartValueCommand> =
    ChartCommand<ChartValueCommand>("value", Field{"value", &ChartValueCommand::value, Finite{}});

template <>
constexpr auto kMessage<ElementEventMessage> = MessageOf<ElementEventMessage>(
    "element", Field{"surface", &ElementEventMessage::surface, kSurface},
    Field{"page", &ElementEventMessage::pageId, Int{1}},
    Field{"id", &ElementEventMessage::elementId, Id{}},
    Field{"event", &ElementEventMessage::event, kElementEvent},
    Field{"values", &ElementEventMessage::values, Values{}});

template <>
constexpr auto kMessage<WindowEventMessage> = MessageOf<WindowEventMessage>(
    "window", Field{"event", &WindowEventMessage::event, kWindowEvent});

template <>
constexpr auto kMessage<WindowRestoredMessage> =
    MessageOf<WindowRestoredMessage>("window", Tag{"event", "restore"});

template <>
constexpr auto kMessage<ListEventMessage> = MessageOf<ListEventMessage>(
    "list", Field{"list", &ListEventMessage::list, Int{}},
    Field{"event", &ListEventMessage::event, kListEvent},
    Field{"index", &ListEventMessage::index, Int{-1}},
    Field{"selected", &ListEventMessage::selected, Ints{0, kMaxListRows}});

template <>
constexpr auto kMessage<DialogClosedMessage> = MessageOf<DialogClosedMessage>("dialogClosed");

// --- both directions over a variant of described messages ---

// The object of body: its name under nameKey, its counter under counterKey.
template <typename Body>
QJsonObject BodyToJson(const Body& body, QLatin1StringView nameKey, QLatin1StringView counterKey,
                       qint64 counter)
{
    QJsonObject json = std::visit(
        [&](const auto& message) {
            const auto& description = kMessage<std::decay_t<decltype(message)>>;
            QJsonObject object = description.Write(message);
            object.insert(nameKey, QLatin1StringView(description.name));
            return object;
        },
        body);
    json.insert(counterKey, counter);
    return json;
}

// The message called name in json. Nullopt with error set when it is malformed, with error
// empty when no message has that name. Messages of one name that a tag tells apart are
// tried first; one without a tag reads what none of them does.
template <typename Body>
std::optional<Body> BodyFromJson(const QJsonObject& json, const QString& name, QString& error)
{
    std::optional<Body> body;
    const char* tagKey = nullptr; // set when a tag named no message of this name
    const auto attempt = [&]<typename M>(Is<M>, bool tagged) {
        const auto& description = kMessage<M>;
        if (body || !error.isEmpty() || description.kTagged != tagged ||
            name != QLatin1StringView(description.name))
            return;
        JsonReader r(json);
        M message{};
        if (!description.Read(r, message))
            tagKey = description.TagKey();
        else if (r.ok())
            body = std::move(message);
        else
            error = r.error();
    };
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (attempt(Is<std::variant_alternative_t<I, Body>>{}, true), ...);
        (attempt(Is<std::variant_alternative_t<I, Body>>{}, false), ...);
    }
    (std::make_index_sequence<std::variant_size_v<Body>>{});
    if (!body && error.isEmpty() && tagKey) {
        const QLatin1StringView key(tagKey);
        JsonReader r(json);
        r.Fail(key,
               QStringLiteral("unknown %1 operation \"%2\"").arg(name, json.value(key).toString()));
        error = r.error();
    }
    return body;
}

// A command or an event: its counter, its name (under nameKey), then the message of that
// name; a malformed message's reason starts with its name.
template <typename Message, typename Body>
Decoded<Message> MessageFromJson(const QJsonObject& json, QLatin1StringView counterKey,
                                 QLatin1StringView nameKey, const char* kind)
{
    JsonReader r(json);
    const qint64 counter = r.Counter(counterKey);
    const QString name = r.String(nameKey);
    if (!r.ok())
        return Decoded<Message>::Rejected(r.error());
    QString error;
    std::optional<Body> body = BodyFromJson<Body>(json, name, error);
    if (!error.isEmpty())
        return Decoded<Message>::Rejected(name + QStringLiteral(": ") + error);
    if (!body)
        return Decoded<Message>::Rejected(
            QStringLiteral("unknown %1 \"%2\"").arg(QLatin1StringView(kind), name));
    return Decoded<Message>::Accepted(Message{counter, std::move(*body)});
}

} // namespace

QJsonObject CommandToJson(const Command& command)
{
    return BodyToJson(command.body, kCommandKey, kSeqKey, command.seq);
}

Decoded<Command> CommandFromJson(const QJsonObject& json)
{
    return MessageFromJson<Command, CommandBody>(json, kSeqKey, kCommandKey, "command");
}

QJsonObject EventToJson(const Event& event)
{
    return BodyToJson(event.body, kEventKey, kAckKey, event.ack);
}

Decoded<Event> EventFromJson(const QJsonObject& json)
{
    return MessageFromJson<Event, EventBody>(json, kAckKey, kEventKey, "event");
}

QByteArray EncodeCommand(const Command& command)
{
    return EncodeLine(CommandToJson(command));
}

QByteArray EncodeEvent(const Event& event)
{
    return EncodeLine(EventToJson(event));
}

Decoded<Command> DecodeCommand(QByteArrayView line)
{
    const auto json = DecodeLine(line);
    if (!json)
        return Decoded<Command>::Rejected(QStringLiteral("not a JSON object"));
    return CommandFromJson(*json);
}

Decoded<Event> DecodeEvent(QByteArrayView line)
{
    const auto json = DecodeLine(line);
    if (!json)
        return Decoded<Event>::Rejected(QStringLiteral("not a JSON object"));
    return EventFromJson(*json);
}

} // namespace kesto::wire
