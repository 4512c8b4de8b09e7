// A list over the page, as the core sees it through the page host: reads from the
// mirror, the user's selection coming back with events, events that crossed a newer
// change of the list, and the list coming back in a new window process.
#include "windowlink/WindowListControl.h"
#include "platform/ListControlIds.h"
#include "tests/windowlink/FakeWindowLink.h"
#include "windowlink/WindowPageHost.h"

#include <QJsonArray>

#include <gtest/gtest.h>

namespace kesto {
namespace {

using test::FakeWindowLink;

class RecordingListSink : public ListEventSink {
public:
    void OnListEvent(ListEvent event, int index) override { events.emplace_back(event, index); }
    std::vector<std::pair<ListEvent, int>> events;
};

QJsonObject ListEventJson(int list, const char* event, int index, QJsonArray selected)
{
    return {{"e", "list"},
            {"list", list},
            {"event", QLatin1String(event)},
            {"index", index},
            {"selected", selected}};
}

std::vector<ListRow> Rows(int count)
{
    std::vector<ListRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({{"Netz " + std::to_string(i), std::to_string(i + 1)}, i % 4});
    return rows;
}

class WindowListControlTest : public testing::Test {
protected:
    WindowListControlTest()
    {
        host.SetLingerMs(-1);
        list.SetSink(&sink);
        list.SetColumns({{"SSID", 120, false}, {"Kanal", 50, true}});
        list.SetRows(Rows(4));
        host.ShowWindow(true);
    }

    FakeWindowLink link;
    EventGate gate;
    WindowPageHost host{link, gate};
    WindowListControl list{host, kSurveyListControl};
    RecordingListSink sink;
};

TEST_F(WindowListControlTest, ReadsComeFromWhatWasSet)
{
    EXPECT_EQ(list.ColumnCount(), 2);
    EXPECT_EQ(list.RowCount(), 4);
    list.SelectRow(2);
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{2});
    list.SelectRow(4); // out of range: ignored
    list.SelectRow(-2);
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{2});
    list.SelectRow(-1);
    EXPECT_TRUE(list.SelectedRows().empty());
    list.SelectRow(1);
    list.SetRows(Rows(3));
    EXPECT_TRUE(list.SelectedRows().empty()) << "new rows, no selection";
    list.SelectRow(0);
    list.SetColumns({{"Profil", 200, false}});
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_TRUE(list.SelectedRows().empty());
}

TEST_F(WindowListControlTest, ClickBringsTheUsersSelectionBeforeTheHandlerRuns)
{
    link.Emit(ListEventJson(1009, "click", 3, {3}));
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{3});
    link.Emit(ListEventJson(1009, "doubleClick", 1, {1}));
    link.Emit(ListEventJson(1009, "header", 1, {1}));
    link.Emit(ListEventJson(1009, "click", -1, {}));
    const std::vector<std::pair<ListEvent, int>> expected{{ListEvent::Click, 3},
                                                          {ListEvent::DoubleClick, 1},
                                                          {ListEvent::HeaderClick, 1},
                                                          {ListEvent::Click, -1}};
    EXPECT_EQ(sink.events, expected);
    EXPECT_TRUE(list.SelectedRows().empty());
}

struct ListDropCase {
    const char* name;
    QJsonObject event;
    std::vector<int> selectionAfter;
};

class ListEventDropTest : public WindowListControlTest,
                          public testing::WithParamInterface<ListDropCase> {};

TEST_P(ListEventDropTest, IsNotHandedToTheCore)
{
    list.SelectRow(0);
    link.Emit(GetParam().event);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(list.SelectedRows(), GetParam().selectionAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListEventDropTest,
    testing::Values(
        ListDropCase{"selection_report_only", ListEventJson(1009, "selection", -1, {2}), {2}},
        ListDropCase{"row_out_of_range", ListEventJson(1009, "click", 4, {}), {}},
        ListDropCase{"column_out_of_range", ListEventJson(1009, "header", 2, {0}), {0}},
        // A message the codec rejects changes nothing, not even the selection it carries.
        ListDropCase{"unknown_event", ListEventJson(1009, "tripleClick", 0, {2}), {0}},
        ListDropCase{"negative_row_rejected", ListEventJson(1009, "selection", -1, {2, -1}), {0}},
        ListDropCase{"text_row_rejected", ListEventJson(1009, "selection", -1, {2, "x"}), {0}},
        // Rows the list does not have, and repeats, are left out of the selection.
        ListDropCase{"selection_filtered", ListEventJson(1009, "selection", -1, {9, 1, 1}), {1}},
        ListDropCase{"other_list", ListEventJson(1010, "click", 0, {0}), {0}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(WindowListControlTest, EventThatCrossedNewRowsIsDropped)
{
    const qint64 seenByWindow = link.LastSeq();
    list.SetRows(Rows(2));
    QJsonObject stale = ListEventJson(1009, "doubleClick", 1, {1});
    stale.insert("ack", seenByWindow);
    link.Emit(stale);
    EXPECT_TRUE(sink.events.empty()) << "row 1 of the old rows is not row 1 of the new ones";
    EXPECT_TRUE(list.SelectedRows().empty());
}

TEST_F(WindowListControlTest, NotDeliveredWhileAHandlerRunsButTheSelectionIsKept)
{
    EventGate::Scope handler(gate);
    link.Emit(ListEventJson(1009, "click", 2, {2}));
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{2});
}

TEST_F(WindowListControlTest, NewWindowProcessGetsTheListBackAsItWas)
{
    list.Place(201, 146, 299, 170);
    list.SetSmallImages(282, 44, 20, 0xFF00FF);
    list.SetGridLines(true);
    list.SetFullRowSelect(true);
    list.Show(true);
    link.Emit(ListEventJson(1009, "click", 2, {2}));
    link.Die();
    link.commands.clear();
    host.ShowWindow(true);

    std::vector<QString> listOps;
    for (const QString& name : link.Names()) {
        if (name.startsWith("list:"))
            listOps.push_back(name);
    }
    const std::vector<QString> expected{"list:place", "list:images",  "list:columns", "list:rows",
                                        "list:grid",  "list:fullRow", "list:select",  "list:show"};
    EXPECT_EQ(listOps, expected);
    for (const QJsonObject& command : link.commands) {
        if (command.value("list").toInt() != 1009)
            continue;
        const QString op = command.value("op").toString();
        if (op == "rows") {
            EXPECT_EQ(command.value("rows").toArray().size(), 4);
        } else if (op == "select") {
            EXPECT_EQ(command.value("rows").toArray(), QJsonArray{2});
        } else if (op == "show") {
            EXPECT_TRUE(command.value("visible").toBool());
        } else if (op == "images") {
            EXPECT_EQ(command.value("transparent").toInteger(), 0xFF00FF);
        }
    }
}

} // namespace
} // namespace kesto
