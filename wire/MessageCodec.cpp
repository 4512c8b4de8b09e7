#include "wire/MessageCodec.h"

#include "wire/WindowMessages.h"

#include <QJsonArray>
#include <QJsonValue>

#include <climits>
#include <cmath>

namespace kesto::wire {

namespace {

// Message and operation names.
constexpr QLatin1StringView kPage("page");
constexpr QLatin1StringView kSet("set");
constexpr QLatin1StringView kDisable("disable");
constexpr QLatin1StringView kWindow("window");
constexpr QLatin1StringView kRaise("raise");
constexpr QLatin1StringView kSize("size");
constexpr QLatin1StringView kIcon("icon");
constexpr QLatin1StringView kCursor("cursor");
constexpr QLatin1StringView kBlock("block");
constexpr QLatin1StringView kEndDialog("endDialog");
constexpr QLatin1StringView kQuit("quit");
constexpr QLatin1StringView kList("list");
constexpr QLatin1StringView kChart("chart");
constexpr QLatin1StringView kPlace("place");
constexpr QLatin1StringView kShow("show");
constexpr QLatin1StringView kImages("images");
constexpr QLatin1StringView kColumns("columns");
constexpr QLatin1StringView kRows("rows");
constexpr QLatin1StringView kGrid("grid");
constexpr QLatin1StringView kFullRow("fullRow");
constexpr QLatin1StringView kSelect("select");
constexpr QLatin1StringView kStyle("style");
constexpr QLatin1StringView kValue("value");
constexpr QLatin1StringView kElement("element");
constexpr QLatin1StringView kDialogClosed("dialogClosed");
constexpr QLatin1StringView kRestore("restore");
constexpr QLatin1StringView kSelection("selection");

// Member names (some are names above as well).
constexpr QLatin1StringView kCommandKey("c");
constexpr QLatin1StringView kEventKey("e");
constexpr QLatin1StringView kSeqKey("seq");
constexpr QLatin1StringView kAckKey("ack");
constexpr QLatin1StringView kOpKey("op");
constexpr QLatin1StringView kSurfaceKey("surface");
constexpr QLatin1StringView kIdKey("id");
constexpr QLatin1StringView kValuesKey("values");
constexpr QLatin1StringView kStateKey("state");
constexpr QLatin1StringView kWidthKey("width");
constexpr QLatin1StringView kHeightKey("height");
constexpr QLatin1StringView kWaitKey("wait");
constexpr QLatin1StringView kOnKey("on");
constexpr QLatin1StringView kDisabledKey("disabled");
constexpr QLatin1StringView kXKey("x");
constexpr QLatin1StringView kYKey("y");
constexpr QLatin1StringView kVisibleKey("visible");
constexpr QLatin1StringView kBitmapKey("bitmap");
constexpr QLatin1StringView kTransparentKey("transparent");
constexpr QLatin1StringView kHeadingKey("heading");
constexpr QLatin1StringView kCentredKey("centred");
constexpr QLatin1StringView kTextsKey("texts");
constexpr QLatin1StringView kImageKey("image");
constexpr QLatin1StringView kLowerKey("lower");
constexpr QLatin1StringView kUpperKey("upper");
constexpr QLatin1StringView kDecimalsKey("decimals");
constexpr QLatin1StringView kBackgroundKey("background");
constexpr QLatin1StringView kPlotKey("plot");
constexpr QLatin1StringView kEventNameKey("event");
constexpr QLatin1StringView kIndexKey("index");
constexpr QLatin1StringView kSelectedKey("selected");

constexpr double kCounterLimit = 9007199254740992.0; // 2^53: exact in a double
constexpr int kMaxRgb = 0xFFFFFF;

template <typename... F> struct Overloaded : F... {
    using F::operator()...;
};
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

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
    for (WindowState state : {WindowState::Normal, WindowState::Hidden, WindowState::Minimised}) {
        if (WindowStateName(state) == name)
            return state;
    }
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

QJsonValue ValueToJson(const ElementValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return FromUtf8(*text);
    return std::get<int>(value);
}

QJsonArray ValuesToJson(const PageValues& values)
{
    QJsonArray array;
    for (const ElementState& state : values)
        array.append(QJsonArray{FromUtf8(state.id), ValueToJson(state.value)});
    return array;
}

QJsonArray IntsToJson(const std::vector<int>& numbers)
{
    QJsonArray array;
    for (int number : numbers)
        array.append(number);
    return array;
}

std::optional<int> IntOf(const QJsonValue& json, int min, int max)
{
    if (!json.isDouble())
        return std::nullopt;
    const double number = json.toDouble();
    if (!std::isfinite(number) || number != std::trunc(number) || number < min || number > max)
        return std::nullopt;
    return static_cast<int>(number);
}

std::optional<ElementValue> ValueOf(const QJsonValue& json)
{
    if (json.isString())
        return ElementValue(ToUtf8(json.toString()));
    if (const auto number = IntOf(json, INT_MIN, INT_MAX))
        return ElementValue(*number);
    return std::nullopt;
}

// Reads the members of one object; the first problem is kept and everything read after
// it is a default value, so a decoder reads all it needs and checks once at the end.
class Reader {
public:
    explicit Reader(const QJsonObject& object, QString where = {})
        : m_object(object), m_where(std::move(where))
    {
    }

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    void Fail(QLatin1StringView key, const QString& problem)
    {
        if (m_error.isEmpty())
            m_error = m_where + key + QStringLiteral(": ") + problem;
    }
    void Take(const QString& error)
    {
        if (m_error.isEmpty() && !error.isEmpty())
            m_error = error;
    }

    QJsonValue Member(QLatin1StringView key)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined())
            Fail(key, QStringLiteral("missing"));
        return value;
    }

    int Int(QLatin1StringView key, int min = INT_MIN, int max = INT_MAX)
    {
        const QJsonValue value = Member(key);
        if (!ok())
            return 0;
        const auto number = IntOf(value, min, max);
        if (!number)
            Fail(key, QStringLiteral("not an integer in %1..%2").arg(min).arg(max));
        return number.value_or(0);
    }

    qint64 Counter(QLatin1StringView key)
    {
        const QJsonValue value = Member(key);
        if (!ok())
            return 0;
        const double number = value.toDouble(-1);
        if (!value.isDouble() || !std::isfinite(number) || number != std::trunc(number) ||
            number < 0 || number >= kCounterLimit) {
            Fail(key, QStringLiteral("not an integer in 0..2^53-1"));
            return 0;
        }
        return static_cast<qint64>(number);
    }

    double Finite(QLatin1StringView key)
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

    bool Bool(QLatin1StringView key)
    {
        const QJsonValue value = Member(key);
        if (ok() && !value.isBool())
            Fail(key, QStringLiteral("not true or false"));
        return value.toBool();
    }

    QString String(QLatin1StringView key)
    {
        const QJsonValue value = Member(key);
        if (ok() && !value.isString())
            Fail(key, QStringLiteral("not a string"));
        return value.toString();
    }

    std::string Id(QLatin1StringView key)
    {
        const QString id = String(key);
        if (ok() && id.isEmpty())
            Fail(key, QStringLiteral("empty"));
        std::string utf8 = ToUtf8(id);
        if (ok() && utf8.size() > static_cast<std::size_t>(kMaxElementIdBytes))
            Fail(key, QStringLiteral("longer than %1 bytes").arg(kMaxElementIdBytes));
        return utf8;
    }

    // An array of at most maxItems entries (checked before any entry is read).
    QJsonArray Array(QLatin1StringView key, qsizetype maxItems = kMaxPageValues)
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

    HtmlSurface Surface()
    {
        return Named<HtmlSurface>(kSurfaceKey, &SurfaceFromName, HtmlSurface::MainWindow);
    }

    PageValues Values(QLatin1StringView key)
    {
        const QJsonArray array = Array(key);
        PageValues values;
        for (qsizetype i = 0; ok() && i < array.size(); ++i) {
            const QJsonArray pair = array[i].toArray();
            const QString index = QStringLiteral("[%1]").arg(i);
            if (!array[i].isArray() || pair.size() != 2)
                Fail(key, index + QStringLiteral(" is not an [id, value] pair"));
            else if (!pair[0].isString() || pair[0].toString().isEmpty())
                Fail(key, index + QStringLiteral(" has no id"));
            else if (ToUtf8(pair[0].toString()).size() >
                     static_cast<std::size_t>(kMaxElementIdBytes))
                Fail(key,
                     index +
                         QStringLiteral(" has an id longer than %1 bytes").arg(kMaxElementIdBytes));
            else if (const auto value = ValueOf(pair[1]))
                values.push_back({ToUtf8(pair[0].toString()), *value});
            else
                Fail(key, index + QStringLiteral(" is neither a string nor an integer"));
        }
        return values;
    }

    std::vector<int> Ints(QLatin1StringView key, int min)
    {
        const QJsonArray array = Array(key, kMaxListRows);
        std::vector<int> numbers;
        for (qsizetype i = 0; ok() && i < array.size(); ++i) {
            if (const auto number = IntOf(array[i], min, INT_MAX))
                numbers.push_back(*number);
            else
                Fail(key, QStringLiteral("[%1] is not an integer >= %2").arg(i).arg(min));
        }
        return numbers;
    }

    // Each entry an object, read by read into T.
    template <typename T, typename Read>
    std::vector<T> Objects(QLatin1StringView key, qsizetype maxItems, Read read)
    {
        const QJsonArray array = Array(key, maxItems);
        std::vector<T> items;
        for (qsizetype i = 0; ok() && i < array.size(); ++i) {
            const QString where = m_where + key + QStringLiteral("[%1].").arg(i);
            if (!array[i].isObject()) {
                Fail(key, QStringLiteral("[%1] is not an object").arg(i));
                break;
            }
            Reader item(array[i].toObject(), where);
            T value = read(item);
            Take(item.error());
            items.push_back(std::move(value));
        }
        return items;
    }

    ChartColor Color(QLatin1StringView key)
    {
        const QString name = String(key);
        if (!ok())
            return {};
        const auto color = ColorFromName(name);
        if (!color)
            Fail(key, QStringLiteral("not a #rrggbb colour"));
        return color.value_or(ChartColor{});
    }

private:
    QJsonObject m_object;
    QString m_where;
    QString m_error;
};

QJsonObject ListCommand(int list, QLatin1StringView op)
{
    return {{kCommandKey, kList}, {kList, list}, {kOpKey, op}};
}

QJsonObject ChartCommand(int chart, QLatin1StringView op)
{
    return {{kCommandKey, kChart}, {kChart, chart}, {kOpKey, op}};
}

QJsonObject BodyToJson(const CommandBody& body)
{
    return std::visit(
        Overloaded{
            [](const ShowPageCommand& c) -> QJsonObject {
                return {{kCommandKey, kPage},
                        {kSurfaceKey, SurfaceName(c.surface)},
                        {kPage, c.pageId},
                        {kValuesKey, ValuesToJson(c.values)}};
            },
            [](const SetElementCommand& c) -> QJsonObject {
                return {{kCommandKey, kSet},
                        {kSurfaceKey, SurfaceName(c.surface)},
                        {kIdKey, FromUtf8(c.elementId)},
                        {kValue, ValueToJson(c.value)}};
            },
            [](const SetDisabledCommand& c) -> QJsonObject {
                return {{kCommandKey, kDisable},
                        {kSurfaceKey, SurfaceName(c.surface)},
                        {kIdKey, FromUtf8(c.elementId)},
                        {kDisabledKey, c.disabled}};
            },
            [](const WindowStateCommand& c) -> QJsonObject {
                return {{kCommandKey, kWindow}, {kStateKey, WindowStateName(c.state)}};
            },
            [](const RaiseCommand&) -> QJsonObject {
                return {{kCommandKey, kRaise}};
            },
            [](const WindowSizeCommand& c) -> QJsonObject {
                return {{kCommandKey, kSize}, {kWidthKey, c.width}, {kHeightKey, c.height}};
            },
            [](const WindowIconCommand& c) -> QJsonObject {
                return {{kCommandKey, kIcon}, {kIcon, c.icon}};
            },
            [](const WaitCursorCommand& c) -> QJsonObject {
                return {{kCommandKey, kCursor}, {kWaitKey, c.wait}};
            },
            [](const BlockInputCommand& c) -> QJsonObject {
                return {{kCommandKey, kBlock}, {kOnKey, c.on}};
            },
            [](const EndDialogCommand&) -> QJsonObject {
                return {{kCommandKey, kEndDialog}};
            },
            [](const QuitCommand&) -> QJsonObject {
                return {{kCommandKey, kQuit}};
            },
            [](const ListPlaceCommand& c) {
                QJsonObject json = ListCommand(c.list, kPlace);
                json.insert(kXKey, c.x);
                json.insert(kYKey, c.y);
                json.insert(kWidthKey, c.width);
                json.insert(kHeightKey, c.height);
                return json;
            },
            [](const ListShowCommand& c) {
                QJsonObject json = ListCommand(c.list, kShow);
                json.insert(kVisibleKey, c.visible);
                return json;
            },
            [](const ListImagesCommand& c) {
                QJsonObject json = ListCommand(c.list, kImages);
                json.insert(kBitmapKey, c.bitmap);
                json.insert(kWidthKey, c.width);
                json.insert(kHeightKey, c.height);
                json.insert(kTransparentKey, static_cast<qint64>(c.transparent));
                return json;
            },
            [](const ListColumnsCommand& c) {
                QJsonArray columns;
                for (const ListColumn& column : c.columns) {
                    columns.append(QJsonObject{{kHeadingKey, FromUtf8(column.heading)},
                                               {kWidthKey, column.width},
                                               {kCentredKey, column.centred}});
                }
                QJsonObject json = ListCommand(c.list, kColumns);
                json.insert(kColumns, columns);
                return json;
            },
            [](const ListRowsCommand& c) {
                QJsonArray rows;
                for (const ListRow& row : c.rows) {
                    QJsonArray texts;
                    for (const std::string& text : row.texts)
                        texts.append(FromUtf8(text));
                    rows.append(QJsonObject{{kTextsKey, texts}, {kImageKey, row.imageIndex}});
                }
                QJsonObject json = ListCommand(c.list, kRows);
                json.insert(kRows, rows);
                return json;
            },
            [](const ListGridLinesCommand& c) {
                QJsonObject json = ListCommand(c.list, kGrid);
                json.insert(kOnKey, c.on);
                return json;
            },
            [](const ListFullRowSelectCommand& c) {
                QJsonObject json = ListCommand(c.list, kFullRow);
                json.insert(kOnKey, c.on);
                return json;
            },
            [](const ListSelectCommand& c) {
                QJsonObject json = ListCommand(c.list, kSelect);
                json.insert(kRows, IntsToJson(c.rows));
                return json;
            },
            [](const ChartStyleCommand& c) {
                QJsonObject json = ChartCommand(c.chart, kStyle);
                json.insert(kLowerKey, c.style.lower);
                json.insert(kUpperKey, c.style.upper);
                json.insert(kDecimalsKey, c.style.decimals);
                json.insert(kBackgroundKey, ColorName(c.style.background));
                json.insert(kGrid, ColorName(c.style.grid));
                json.insert(kPlotKey, ColorName(c.style.plot));
                return json;
            },
            [](const ChartValueCommand& c) {
                QJsonObject json = ChartCommand(c.chart, kValue);
                json.insert(kValue, c.value);
                return json;
            },
        },
        body);
}

std::optional<CommandBody> ListBodyFromJson(Reader& r)
{
    const int list = r.Int(kList);
    const QString op = r.String(kOpKey);
    if (!r.ok())
        return std::nullopt;
    if (op == kPlace) {
        ListPlaceCommand c;
        c.list = list;
        c.x = r.Int(kXKey);
        c.y = r.Int(kYKey);
        c.width = r.Int(kWidthKey, 0);
        c.height = r.Int(kHeightKey, 0);
        return c;
    }
    if (op == kShow)
        return ListShowCommand{list, r.Bool(kVisibleKey)};
    if (op == kImages) {
        ListImagesCommand c;
        c.list = list;
        c.bitmap = r.Int(kBitmapKey);
        c.width = r.Int(kWidthKey, 0);
        c.height = r.Int(kHeightKey, 0);
        c.transparent = static_cast<unsigned>(r.Int(kTransparentKey, 0, kMaxRgb));
        return c;
    }
    if (op == kColumns) {
        return ListColumnsCommand{
            list, r.Objects<ListColumn>(kColumns, kMaxListColumns, [](Reader& item) {
                ListColumn column;
                column.heading = ToUtf8(item.String(kHeadingKey));
                column.width = item.Int(kWidthKey);
                column.centred = item.Bool(kCentredKey);
                return column;
            })};
    }
    if (op == kRows) {
        return ListRowsCommand{list, r.Objects<ListRow>(kRows, kMaxListRows, [](Reader& item) {
                                   ListRow row;
                                   const QJsonArray texts = item.Array(kTextsKey, kMaxListColumns);
                                   for (qsizetype i = 0; item.ok() && i < texts.size(); ++i) {
                                       if (!texts[i].isString())
                                           item.Fail(kTextsKey,
                                                     QStringLiteral("[%1] is not a string").arg(i));
                                       row.texts.push_back(ToUtf8(texts[i].toString()));
                                   }
                                   row.imageIndex = item.Int(kImageKey);
                                   return row;
                               })};
    }
    if (op == kGrid)
        return ListGridLinesCommand{list, r.Bool(kOnKey)};
    if (op == kFullRow)
        return ListFullRowSelectCommand{list, r.Bool(kOnKey)};
    if (op == kSelect)
        return ListSelectCommand{list, r.Ints(kRows, 0)};
    r.Fail(kOpKey, QStringLiteral("unknown list operation \"%1\"").arg(op));
    return std::nullopt;
}

std::optional<CommandBody> ChartBodyFromJson(Reader& r)
{
    const int chart = r.Int(kChart);
    const QString op = r.String(kOpKey);
    if (!r.ok())
        return std::nullopt;
    if (op == kStyle) {
        ChartStyleCommand c;
        c.chart = chart;
        c.style.lower = r.Finite(kLowerKey);
        c.style.upper = r.Finite(kUpperKey);
        c.style.decimals = r.Int(kDecimalsKey, 0, kMaxChartDecimals);
        c.style.background = r.Color(kBackgroundKey);
        c.style.grid = r.Color(kGrid);
        c.style.plot = r.Color(kPlotKey);
        return c;
    }
    if (op == kValue)
        return ChartValueCommand{chart, r.Finite(kValue)};
    r.Fail(kOpKey, QStringLiteral("unknown chart operation \"%1\"").arg(op));
    return std::nullopt;
}

std::optional<CommandBody> BodyFromJson(Reader& r, const QString& name)
{
    if (name == kPage) {
        ShowPageCommand c;
        c.surface = r.Surface();
        c.pageId = r.Int(kPage, 1);
        c.values = r.Values(kValuesKey);
        return c;
    }
    if (name == kSet) {
        SetElementCommand c;
        c.surface = r.Surface();
        c.elementId = r.Id(kIdKey);
        const QJsonValue value = r.Member(kValue);
        if (const auto element = ValueOf(value))
            c.value = *element;
        else
            r.Fail(kValue, QStringLiteral("neither a string nor an integer"));
        return c;
    }
    if (name == kDisable) {
        SetDisabledCommand c;
        c.surface = r.Surface();
        c.elementId = r.Id(kIdKey);
        c.disabled = r.Bool(kDisabledKey);
        return c;
    }
    if (name == kWindow)
        return WindowStateCommand{
            r.Named<WindowState>(kStateKey, &WindowStateFromName, WindowState::Hidden)};
    if (name == kRaise)
        return RaiseCommand{};
    if (name == kSize) {
        WindowSizeCommand c;
        c.width = r.Int(kWidthKey, 0);
        c.height = r.Int(kHeightKey, 0);
        return c;
    }
    if (name == kIcon)
        return WindowIconCommand{r.Int(kIcon, 0)};
    if (name == kCursor)
        return WaitCursorCommand{r.Bool(kWaitKey)};
    if (name == kBlock)
        return BlockInputCommand{r.Bool(kOnKey)};
    if (name == kEndDialog)
        return EndDialogCommand{};
    if (name == kQuit)
        return QuitCommand{};
    if (name == kList)
        return ListBodyFromJson(r);
    if (name == kChart)
        return ChartBodyFromJson(r);
    return std::nullopt; // an unknown name
}

QJsonObject EventBodyToJson(const EventBody& body)
{
    return std::visit(
        Overloaded{
            [](const ElementEventMessage& e) -> QJsonObject {
                return {{kEventKey, kElement},
                        {kSurfaceKey, SurfaceName(e.surface)},
                        {kPage, e.pageId},
                        {kIdKey, FromUtf8(e.elementId)},
                        {kEventNameKey, ElementEventName(e.event)},
                        {kValuesKey, ValuesToJson(e.values)}};
            },
            [](const WindowEventMessage& e) -> QJsonObject {
                return {{kEventKey, kWindow}, {kEventNameKey, WindowEventName(e.event)}};
            },
            [](const WindowRestoredMessage&) -> QJsonObject {
                return {{kEventKey, kWindow}, {kEventNameKey, kRestore}};
            },
            [](const ListEventMessage& e) -> QJsonObject {
                return {{kEventKey, kList},
                        {kList, e.list},
                        {kEventNameKey, e.event ? ListEventName(*e.event) : QString(kSelection)},
                        {kIndexKey, e.index},
                        {kSelectedKey, IntsToJson(e.selected)}};
            },
            [](const DialogClosedMessage&) -> QJsonObject {
                return {{kEventKey, kDialogClosed}};
            },
        },
        body);
}

std::optional<EventBody> EventBodyFromJson(Reader& r, const QString& name)
{
    if (name == kElement) {
        ElementEventMessage e;
        e.surface = r.Surface();
        e.pageId = r.Int(kPage, 1);
        e.elementId = r.Id(kIdKey);
        e.event = r.Named<ElementEvent>(kEventNameKey, &ElementEventFromName, ElementEvent::Click);
        e.values = r.Values(kValuesKey);
        return e;
    }
    if (name == kWindow) {
        const QString event = r.String(kEventNameKey);
        if (event == kRestore)
            return WindowRestoredMessage{};
        return WindowEventMessage{
            r.Named<WindowEvent>(kEventNameKey, &WindowEventFromName, WindowEvent::Close)};
    }
    if (name == kList) {
        ListEventMessage e;
        e.list = r.Int(kList);
        const QString event = r.String(kEventNameKey);
        if (event != kSelection)
            e.event = r.Named<ListEvent>(kEventNameKey, &ListEventFromName, ListEvent::Click);
        e.index = r.Int(kIndexKey, -1);
        e.selected = r.Ints(kSelectedKey, 0);
        return e;
    }
    if (name == kDialogClosed)
        return DialogClosedMessage{};
    return std::nullopt; // an unknown name
}

} // namespace

QJsonObject CommandToJson(const Command& command)
{
    QJsonObject json = BodyToJson(command.body);
    json.insert(kSeqKey, command.seq);
    return json;
}

Decoded<Command> CommandFromJson(const QJsonObject& json)
{
    Reader r(json);
    const qint64 seq = r.Counter(kSeqKey);
    const QString name = r.String(kCommandKey);
    if (!r.ok())
        return Decoded<Command>::Rejected(r.error());
    std::optional<CommandBody> body = BodyFromJson(r, name);
    if (!r.ok())
        return Decoded<Command>::Rejected(name + QStringLiteral(": ") + r.error());
    if (!body)
        return Decoded<Command>::Rejected(QStringLiteral("unknown command \"%1\"").arg(name));
    return Decoded<Command>::Accepted(Command{seq, std::move(*body)});
}

QJsonObject EventToJson(const Event& event)
{
    QJsonObject json = EventBodyToJson(event.body);
    json.insert(kAckKey, event.ack);
    return json;
}

Decoded<Event> EventFromJson(const QJsonObject& json)
{
    Reader r(json);
    const qint64 ack = r.Counter(kAckKey);
    const QString name = r.String(kEventKey);
    if (!r.ok())
        return Decoded<Event>::Rejected(r.error());
    std::optional<EventBody> body = EventBodyFromJson(r, name);
    if (!r.ok())
        return Decoded<Event>::Rejected(name + QStringLiteral(": ") + r.error());
    if (!body)
        return Decoded<Event>::Rejected(QStringLiteral("unknown event \"%1\"").arg(name));
    return Decoded<Event>::Accepted(Event{ack, std::move(*body)});
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
