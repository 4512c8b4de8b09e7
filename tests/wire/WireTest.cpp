// The message lines between the two processes: framing and the checks on what the other
// side sends.
#include "wire/LineReader.h"
#include "wire/WindowMessages.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

struct SplitCase {
    const char* name;
    std::vector<QByteArray> chunks;
    std::vector<QByteArray> lines;
    int dropped;
};

class LineReaderTest : public testing::TestWithParam<SplitCase> {};

TEST_P(LineReaderTest, SplitsChunksIntoLines)
{
    const SplitCase& c = GetParam();
    LineReader reader(8);
    std::vector<QByteArray> lines;
    for (const QByteArray& chunk : c.chunks) {
        for (const QByteArray& line : reader.Append(chunk))
            lines.push_back(line);
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(reader.droppedLines(), c.dropped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineReaderTest,
    testing::Values(
        SplitCase{"whole", {"ab\ncd\n"}, {"ab", "cd"}, 0},
        SplitCase{"split_across_chunks", {"a", "b\nc", "d\n"}, {"ab", "cd"}, 0},
        SplitCase{"unfinished_kept", {"ab\ncd"}, {"ab"}, 0},
        SplitCase{"empty_lines_skipped", {"\n\nab\n\n"}, {"ab"}, 0},
        SplitCase{"exactly_the_limit", {"12345678\n"}, {"12345678"}, 0},
        SplitCase{"too_long_dropped_whole", {"123456789\nok\n"}, {"ok"}, 1},
        SplitCase{"too_long_over_chunks", {"12345", "6789", "abc\nok\n"}, {"ok"}, 1},
        SplitCase{"too_long_without_end_then_more", {"123456789", "123456789", "\nx\n"}, {"x"}, 1}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LineReader, KeepsNoMoreThanTheLimitOfAnEndlessLine)
{
    LineReader reader(1024);
    const QByteArray chunk(4096, 'x');
    for (int i = 0; i < 100; ++i)
        reader.Append(chunk);
    EXPECT_LE(reader.pending(), 1024);
    EXPECT_EQ(reader.Append("\nok\n"), QList<QByteArray>{"ok"});
}

TEST(WindowMessages, DecodesOnlyObjects)
{
    EXPECT_TRUE(wire::DecodeLine(R"({"e":"window"})"));
    for (const char* line : {"", "[]", "3", "{", "{\"a\":}", "\xFF\xFE", "null"})
        EXPECT_FALSE(wire::DecodeLine(line)) << line;
    const QByteArray encoded = wire::EncodeLine({{QStringLiteral("c"), QStringLiteral("x")}});
    EXPECT_TRUE(encoded.endsWith('\n'));
    EXPECT_EQ(encoded.count('\n'), 1);
}

TEST(WindowMessages, EveryEventNameMapsBack)
{
    for (ElementEvent event : {ElementEvent::Click, ElementEvent::KeyUp, ElementEvent::Change,
                               ElementEvent::Focus, ElementEvent::Blur})
        EXPECT_EQ(wire::ElementEventFromName(wire::ElementEventName(event)), event);
    for (WindowEvent event :
         {WindowEvent::Close, WindowEvent::Minimise, WindowEvent::Escape, WindowEvent::Enter})
        EXPECT_EQ(wire::WindowEventFromName(wire::WindowEventName(event)), event);
    for (ListEvent event : {ListEvent::Click, ListEvent::DoubleClick, ListEvent::HeaderClick})
        EXPECT_EQ(wire::ListEventFromName(wire::ListEventName(event)), event);
    for (HtmlSurface surface : {HtmlSurface::MainWindow, HtmlSurface::Dialog})
        EXPECT_EQ(wire::SurfaceFromName(wire::SurfaceName(surface)), surface);
    // The names the pages' bridge script reports.
    EXPECT_EQ(wire::ElementEventFromName(QStringLiteral("keyup")), ElementEvent::KeyUp);
    EXPECT_FALSE(wire::ElementEventFromName(QStringLiteral("Click")));
}

} // namespace
} // namespace kesto
