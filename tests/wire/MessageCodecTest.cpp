// The codec of the messages between the two processes: every command and event comes
// back from its line as it went in, the line looks as the other program expects, and
// anything malformed is rejected with a reason instead of being half-read.
#include "wire/MessageCodec.h"

#include <gtest/gtest.h>

#include <functional>

#include <set>
#include <string>

namespace kesto::wire {
namespace {

// --- round trips ---

struct CommandCase {
    const char* name;
    Command command;
};

class CommandRoundTrip : public testing::TestWithParam<CommandCase> {};

TEST_P(CommandRoundTrip, DecodesToWhatWasEncoded)
{
    const Command& command = GetParam().command;
    const QByteArray line = EncodeCommand(command);
    ASSERT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1) << "one line per message";
    const auto decoded = DecodeCommand(line.chopped(1));
    ASSERT_TRUE(decoded) << decoded.reason().toStdString() << "\n" << line.toStdString();
    EXPECT_TRUE(*decoded == command) << line.toStdString();
}

const std::vector<CommandCase>& CommandCases()
{
    static const std::vector<CommandCase> cases{
        {"page_main_values_in_order",
         {1, ShowPageCommand{HtmlSurface::MainWindow,
                             236,
                             {{"TextZ", std::string("Grüße\n\"x\"")},
                              {"TextA", std::string()},
                              {"RadioGroup", -2147483647 - 1}}}}},
        {"page_dialog_empty", {2, ShowPageCommand{HtmlSurface::Dialog, 265, {}}}},
        {"set_image_value",
         {3, SetElementCommand{HtmlSurface::Dialog, "ImageBar", std::string("./images/#155")}}},
        {"set_number", {4, SetElementCommand{HtmlSurface::MainWindow, "Select", 2147483647}}},
        {"disable_group", {4, SetDisabledCommand{HtmlSurface::MainWindow, "RadioGroupWep", true}}},
        {"enable_in_dialog", {4, SetDisabledCommand{HtmlSurface::Dialog, "TextWepKey", false}}},
        {"window_normal", {5, WindowStateCommand{WindowState::Normal}}},
        {"window_hidden", {6, WindowStateCommand{WindowState::Hidden}}},
        {"window_minimised", {7, WindowStateCommand{WindowState::Minimised}}},
        {"raise", {8, RaiseCommand{}}},
        {"size", {9, WindowSizeCommand{753, 492}}},
        {"icon", {10, WindowIconCommand{272}}},
        {"cursor", {11, WaitCursorCommand{true}}},
        {"block", {12, BlockInputCommand{true}}},
        {"end_dialog", {13, EndDialogCommand{}}},
        {"quit_seq_0", {0, QuitCommand{}}},
        {"list_place", {14, ListPlaceCommand{1009, -5, 146, 299, 0}}},
        {"list_show", {15, ListShowCommand{1010, true}}},
        {"list_images", {16, ListImagesCommand{1009, 155, 16, 16, 0xFF00FF}}},
        {"list_columns",
         {17,
          ListColumnsCommand{1009, {{"SSID", 100, false}, {"", 0, true}, {"Kanal", 40, true}}}}},
        {"list_rows",
         {18, ListRowsCommand{1009, {{{"Büro", "6"}, 2}, {{}, -1}, {{"", "", "x"}, 0}}}}},
        {"list_rows_none", {19, ListRowsCommand{1010, {}}}},
        {"list_grid", {20, ListGridLinesCommand{1009, true}}},
        {"list_full_row", {21, ListFullRowSelectCommand{1009, false}}},
        {"list_select", {22, ListSelectCommand{1009, {0, 3}}}},
        {"list_select_none", {23, ListSelectCommand{1009, {}}}},
        {"chart_style",
         {24,
          ChartStyleCommand{3, {-100.5, 0.25, 2, {0, 0, 0}, {0x0A, 0xff, 0x7f}, {255, 255, 255}}}}},
        {"chart_value", {25, ChartValueCommand{3, -0.125}}},
        {"largest_seq", {9007199254740991, RaiseCommand{}}},
    };
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandRoundTrip, testing::ValuesIn(CommandCases()),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(CommandRoundTrip, TableHasEveryCommand)
{
    std::set<std::size_t> kinds;
    for (const CommandCase& c : CommandCases())
        kinds.insert(c.command.body.index());
    EXPECT_EQ(kinds.size(), std::variant_size_v<CommandBody>);
}

struct EventCase {
    const char* name;
    Event event;
};

class EventRoundTrip : public testing::TestWithParam<EventCase> {};

TEST_P(EventRoundTrip, DecodesToWhatWasEncoded)
{
    const Event& event = GetParam().event;
    const QByteArray line = EncodeEvent(event);
    ASSERT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    const auto decoded = DecodeEvent(line.chopped(1));
    ASSERT_TRUE(decoded) << decoded.reason().toStdString() << "\n" << line.toStdString();
    EXPECT_TRUE(*decoded == event) << line.toStdString();
}

const std::vector<EventCase>& EventCases()
{
    static const std::vector<EventCase> cases{
        {"element_click",
         {7, ElementEventMessage{HtmlSurface::MainWindow,
                                 236,
                                 "ButtonTab2",
                                 ElementEvent::Click,
                                 {{"TextB", std::string("b")}, {"TextA", 1}}}}},
        {"element_keyup_dialog",
         {0, ElementEventMessage{HtmlSurface::Dialog, 265, "TextKey", ElementEvent::KeyUp, {}}}},
        {"element_change",
         {1, ElementEventMessage{HtmlSurface::MainWindow, 1, "S", ElementEvent::Change, {}}}},
        {"element_focus",
         {1, ElementEventMessage{HtmlSurface::MainWindow, 1, "S", ElementEvent::Focus, {}}}},
        {"element_blur",
         {1, ElementEventMessage{HtmlSurface::MainWindow, 1, "S", ElementEvent::Blur, {}}}},
        {"window_close", {2, WindowEventMessage{WindowEvent::Close}}},
        {"window_minimise", {2, WindowEventMessage{WindowEvent::Minimise}}},
        {"window_escape", {2, WindowEventMessage{WindowEvent::Escape}}},
        {"window_enter", {2, WindowEventMessage{WindowEvent::Enter}}},
        {"window_restored", {3, WindowRestoredMessage{}}},
        {"list_click_empty_space", {4, ListEventMessage{1009, ListEvent::Click, -1, {}}}},
        {"list_double_click", {4, ListEventMessage{1009, ListEvent::DoubleClick, 2, {2}}}},
        {"list_header", {4, ListEventMessage{1010, ListEvent::HeaderClick, 1, {0, 3}}}},
        {"list_selection_only", {4, ListEventMessage{1009, std::nullopt, -1, {1}}}},
        {"dialog_closed", {5, DialogClosedMessage{}}},
    };
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, EventRoundTrip, testing::ValuesIn(EventCases()),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(EventRoundTrip, TableHasEveryEvent)
{
    std::set<std::size_t> kinds;
    for (const EventCase& c : EventCases())
        kinds.insert(c.event.body.index());
    EXPECT_EQ(kinds.size(), std::variant_size_v<EventBody>);
}

// The line as the other program reads it: a program built before the codec still
// understands these.
TEST(MessageCodec, LinesKeepTheirFormat)
{
    EXPECT_EQ(EncodeCommand({3, ShowPageCommand{HtmlSurface::MainWindow,
                                                236,
                                                {{"T", std::string("x")}, {"R", 1}}}}),
              R"({"c":"page","page":236,"seq":3,"surface":"main","values":[["T","x"],["R",1]]})"
              "\n");
    EXPECT_EQ(EncodeCommand({4, ListSelectCommand{1009, {2}}}),
              R"({"c":"list","list":1009,"op":"select","rows":[2],"seq":4})"
              "\n");
    EXPECT_EQ(EncodeEvent({5, ListEventMessage{1009, std::nullopt, -1, {}}}),
              R"({"ack":5,"e":"list","event":"selection","index":-1,"list":1009,"selected":[]})"
              "\n");
    EXPECT_EQ(
        EncodeCommand({6, ChartStyleCommand{1, {0, 54, 0, {0, 0, 0}, {0, 128, 0}, {255, 255, 0}}}}),
        R"({"background":"#000000","c":"chart","chart":1,"decimals":0,"grid":"#008000",)"
        R"("lower":0,"op":"style","plot":"#ffff00","seq":6,"upper":54})"
        "\n");
}

TEST(MessageCodec, IgnoresMembersItDoesNotKnow)
{
    const auto decoded = DecodeCommand(R"({"c":"raise","seq":1,"since":"2.0"})");
    ASSERT_TRUE(decoded) << decoded.reason().toStdString();
    EXPECT_TRUE(std::holds_alternative<RaiseCommand>(decoded->body));
}

// --- rejections ---

struct RejectCase {
    const char* name;
    const char* line;
    const char* reason; // a part of the reason given
};

class CommandRejected : public testing::TestWithParam<RejectCase> {};

TEST_P(CommandRejected, WithItsReason)
{
    const auto decoded = DecodeCommand(GetParam().line);
    ASSERT_FALSE(decoded) << GetParam().line;
    EXPECT_TRUE(decoded.reason().contains(QLatin1String(GetParam().reason)))
        << decoded.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandRejected,
    testing::Values(
        RejectCase{"not_json", R"({"c":"raise")", "not a JSON object"},
        RejectCase{"array", R"([1])", "not a JSON object"},
        RejectCase{"no_seq", R"({"c":"raise"})", "seq: missing"},
        RejectCase{"negative_seq", R"({"c":"raise","seq":-1})", "seq"},
        RejectCase{"fractional_seq", R"({"c":"raise","seq":1.5})", "seq"},
        RejectCase{"text_seq", R"({"c":"raise","seq":"3"})", "seq"},
        RejectCase{"huge_seq", R"({"c":"raise","seq":1e300})", "seq"},
        RejectCase{"seq_2_53", R"({"c":"raise","seq":9007199254740992})", "seq"},
        RejectCase{"no_name", R"({"seq":1})", "c: missing"},
        RejectCase{"name_not_text", R"({"c":5,"seq":1})", "c: not a string"},
        RejectCase{"unknown_command", R"({"c":"explode","seq":1})", "unknown command"},
        RejectCase{"unknown_surface",
                   R"({"c":"page","seq":1,"surface":"side","page":236,"values":[]})", "surface"},
        RejectCase{"page_zero", R"({"c":"page","seq":1,"surface":"main","page":0,"values":[]})",
                   "page"},
        RejectCase{"page_fraction",
                   R"({"c":"page","seq":1,"surface":"main","page":236.5,"values":[]})", "page"},
        RejectCase{"no_values", R"({"c":"page","seq":1,"surface":"main","page":236})",
                   "values: missing"},
        RejectCase{"values_not_array",
                   R"({"c":"page","seq":1,"surface":"main","page":236,"values":"x"})", "values"},
        RejectCase{"value_pair_short",
                   R"({"c":"page","seq":1,"surface":"main","page":1,"values":[["A","x"],["C"]]})",
                   "values: [1]"},
        RejectCase{"value_pair_long",
                   R"({"c":"page","seq":1,"surface":"main","page":1,"values":[["F",1,2]]})",
                   "values: [0]"},
        RejectCase{"value_pair_not_array",
                   R"({"c":"page","seq":1,"surface":"main","page":1,"values":["E"]})", "values"},
        RejectCase{"value_empty_id",
                   R"({"c":"page","seq":1,"surface":"main","page":1,"values":[["",1]]})", "id"},
        RejectCase{"value_id_number",
                   R"({"c":"page","seq":1,"surface":"main","page":1,"values":[[5,1]]})", "id"},
        RejectCase{"value_fraction",
                   R"({"c":"page","seq":1,"surface":"main","page":1,"values":[["D",1.5]]})",
                   "values: [0]"},
        RejectCase{"value_beyond_int",
                   R"({"c":"set","seq":1,"surface":"main","id":"A","value":2147483648})", "value"},
        RejectCase{"value_bool", R"({"c":"set","seq":1,"surface":"main","id":"A","value":true})",
                   "value"},
        RejectCase{"value_null", R"({"c":"set","seq":1,"surface":"main","id":"A","value":null})",
                   "value"},
        RejectCase{"value_object", R"({"c":"set","seq":1,"surface":"main","id":"A","value":{}})",
                   "value"},
        RejectCase{"value_missing", R"({"c":"set","seq":1,"surface":"main","id":"A"})",
                   "value: missing"},
        RejectCase{"disable_not_bool",
                   R"({"c":"disable","seq":1,"surface":"main","id":"A","disabled":1})", "disabled"},
        RejectCase{"disable_no_id", R"({"c":"disable","seq":1,"surface":"main","disabled":true})",
                   "id"},
        RejectCase{"set_empty_id", R"({"c":"set","seq":1,"surface":"main","id":"","value":1})",
                   "id: empty"},
        RejectCase{"unknown_state", R"({"c":"window","seq":1,"state":"maximised"})", "state"},
        RejectCase{"negative_size", R"({"c":"size","seq":1,"width":-1,"height":10})", "width"},
        RejectCase{"size_missing_height", R"({"c":"size","seq":1,"width":10})", "height: missing"},
        RejectCase{"cursor_as_number", R"({"c":"cursor","seq":1,"wait":1})", "wait"},
        RejectCase{"block_missing", R"({"c":"block","seq":1})", "on: missing"},
        RejectCase{"list_unknown_op", R"({"c":"list","seq":1,"list":1009,"op":"sort"})",
                   "unknown list operation"},
        RejectCase{"list_no_id", R"({"c":"list","seq":1,"op":"show","visible":true})", "list"},
        RejectCase{
            "list_place_negative_width",
            R"({"c":"list","seq":1,"list":1009,"op":"place","x":0,"y":0,"width":-3,"height":1})",
            "width"},
        RejectCase{
            "list_images_transparent_too_big",
            R"({"c":"list","seq":1,"list":1009,"op":"images","bitmap":1,"width":16,"height":16,"transparent":16777216})",
            "transparent"},
        RejectCase{"list_column_not_object",
                   R"({"c":"list","seq":1,"list":1009,"op":"columns","columns":["SSID"]})",
                   "columns: [0]"},
        RejectCase{
            "list_column_no_centred",
            R"({"c":"list","seq":1,"list":1009,"op":"columns","columns":[{"heading":"A","width":1}]})",
            "columns[0].centred: missing"},
        RejectCase{
            "list_row_text_number",
            R"({"c":"list","seq":1,"list":1009,"op":"rows","rows":[{"texts":["a"],"image":0},{"texts":[1],"image":0}]})",
            "rows[1].texts"},
        RejectCase{"list_row_no_image",
                   R"({"c":"list","seq":1,"list":1009,"op":"rows","rows":[{"texts":[]}]})",
                   "rows[0].image: missing"},
        RejectCase{"list_select_negative",
                   R"({"c":"list","seq":1,"list":1009,"op":"select","rows":[1,-1]})", "rows: [1]"},
        RejectCase{"chart_value_text",
                   R"({"c":"chart","seq":1,"chart":1,"op":"value","value":"1"})", "value"},
        RejectCase{"chart_unknown_op", R"({"c":"chart","seq":1,"chart":1,"op":"zoom"})",
                   "unknown chart operation"},
        RejectCase{
            "chart_colour_name",
            R"({"c":"chart","seq":1,"chart":1,"op":"style","lower":0,"upper":1,"decimals":0,"background":"black","grid":"#000000","plot":"#000000"})",
            "background"},
        RejectCase{
            "chart_colour_sign",
            R"({"c":"chart","seq":1,"chart":1,"op":"style","lower":0,"upper":1,"decimals":0,"background":"#+12345","grid":"#000000","plot":"#000000"})",
            "background"},
        RejectCase{
            "chart_decimals_out_of_range",
            R"({"c":"chart","seq":1,"chart":1,"op":"style","lower":0,"upper":1,"decimals":99,"background":"#000000","grid":"#000000","plot":"#000000"})",
            "decimals"}),
    [](const auto& c) { return std::string(c.param.name); });

// What one command may ask of the window is bounded: a command at a bound is read, one
// entry beyond it is rejected before its entries are read.
struct BoundCase {
    const char* name;
    std::function<QByteArray(int count)> line;
    int bound;
    const char* reason;
};

void PrintTo(const BoundCase& c, std::ostream* os)
{
    *os << c.name;
}

QByteArray Repeated(int count, const char* item)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += (i ? "," : "") + QByteArray(item).replace("#", QByteArray::number(i));
    return out;
}

class CommandBound : public testing::TestWithParam<BoundCase> {};

TEST_P(CommandBound, AcceptsTheBoundAndRejectsOneMore)
{
    const BoundCase& c = GetParam();
    const auto at = DecodeCommand(c.line(c.bound));
    EXPECT_TRUE(at) << at.reason().toStdString();
    const auto beyond = DecodeCommand(c.line(c.bound + 1));
    ASSERT_FALSE(beyond);
    EXPECT_TRUE(beyond.reason().contains(QLatin1String(c.reason))) << beyond.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, CommandBound,
    testing::Values(
        BoundCase{"Columns",
                  [](int n) {
                      return R"({"c":"list","seq":1,"list":1009,"op":"columns","columns":[)" +
                             Repeated(n, R"({"heading":"h#","width":10,"centred":false})") + "]}";
                  },
                  kMaxListColumns, "more than 64"},
        BoundCase{"Rows",
                  [](int n) {
                      return R"({"c":"list","seq":1,"list":1009,"op":"rows","rows":[)" +
                             Repeated(n, R"({"texts":["#"],"image":0})") + "]}";
                  },
                  kMaxListRows, "more than 4096"},
        BoundCase{"TextsOfARow",
                  [](int n) {
                      return R"({"c":"list","seq":1,"list":1009,"op":"rows","rows":[{"texts":[)" +
                             Repeated(n, R"("#")") + R"(],"image":0}]})";
                  },
                  kMaxListColumns, "more than 64"},
        BoundCase{"SelectedRows",
                  [](int n) {
                      return R"({"c":"list","seq":1,"list":1009,"op":"select","rows":[)" +
                             Repeated(n, "#") + "]}";
                  },
                  kMaxListRows, "more than 4096"},
        BoundCase{"PageValues",
                  [](int n) {
                      return R"({"c":"page","seq":1,"surface":"main","page":236,"values":[)" +
                             Repeated(n, R"(["e#","v"])") + "]}";
                  },
                  kMaxPageValues, "more than 1024"},
        BoundCase{"ElementIdLength",
                  [](int n) {
                      return R"({"c":"set","seq":1,"surface":"main","id":")" + QByteArray(n, 'x') +
                             R"(","value":"v"})";
                  },
                  kMaxElementIdBytes, "longer than 256 bytes"},
        BoundCase{"IdInPageValues",
                  [](int n) {
                      return R"({"c":"page","seq":1,"surface":"main","page":236,"values":[[")" +
                             QByteArray(n, 'x') + R"(","v"]]})";
                  },
                  kMaxElementIdBytes, "longer than 256 bytes"}),
    [](const testing::TestParamInfo<BoundCase>& p) { return std::string(p.param.name); });

class EventRejected : public testing::TestWithParam<RejectCase> {};

TEST_P(EventRejected, WithItsReason)
{
    const auto decoded = DecodeEvent(GetParam().line);
    ASSERT_FALSE(decoded) << GetParam().line;
    EXPECT_TRUE(decoded.reason().contains(QLatin1String(GetParam().reason)))
        << decoded.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EventRejected,
    testing::Values(
        RejectCase{"no_ack", R"({"e":"dialogClosed"})", "ack: missing"},
        RejectCase{"ack_text", R"({"e":"window","event":"close","ack":"x"})", "ack"},
        RejectCase{"a_command", R"({"c":"raise","seq":1})", "ack"},
        RejectCase{"unknown_event", R"({"e":"explode","ack":1})", "unknown event"},
        RejectCase{"window_unknown", R"({"e":"window","event":"maximise","ack":1})", "event"},
        RejectCase{"window_no_event", R"({"e":"window","ack":1})", "event: missing"},
        RejectCase{
            "element_capitalised",
            R"({"e":"element","ack":1,"surface":"main","page":1,"id":"A","event":"Click","values":[]})",
            "event"},
        RejectCase{
            "element_no_id",
            R"({"e":"element","ack":1,"surface":"main","page":1,"id":"","event":"click","values":[]})",
            "id"},
        RejectCase{
            "element_page_text",
            R"({"e":"element","ack":1,"surface":"main","page":"236","id":"A","event":"click","values":[]})",
            "page"},
        RejectCase{
            "element_bad_value",
            R"({"e":"element","ack":1,"surface":"main","page":1,"id":"A","event":"click","values":[["B",0.5]]})",
            "values"},
        RejectCase{"list_index_below",
                   R"({"e":"list","ack":1,"list":1009,"event":"click","index":-2,"selected":[]})",
                   "index"},
        RejectCase{"list_selected_text",
                   R"({"e":"list","ack":1,"list":1009,"event":"click","index":0,"selected":["0"]})",
                   "selected"},
        RejectCase{"list_no_selected",
                   R"({"e":"list","ack":1,"list":1009,"event":"click","index":0})",
                   "selected: missing"},
        RejectCase{
            "list_unknown_event",
            R"({"e":"list","ack":1,"list":1009,"event":"tripleClick","index":0,"selected":[]})",
            "event"}),
    [](const auto& c) { return std::string(c.param.name); });

} // namespace
} // namespace kesto::wire
