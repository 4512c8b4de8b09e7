// The messages between the tray process and the window process, one structure per
// command (tray to window) and per event (window to tray). Both programs build and read
// these; only MessageCodec knows how they look on the line.
//
// Every command carries seq, a number that grows by one with every command the tray
// sends (0 for the parting quit). Every event carries ack: the seq of the last command
// the window had carried out when the user acted, so the tray can tell an event that
// crossed a newer command on the way. An element event's ack is the last command whose
// values its page had applied when it read the values it reports: the page applies them
// after the window has passed them on.
#pragma once

#include "platform/ChartHost.h"
#include "platform/ListControl.h"
#include "platform/PageHost.h"

#include <QtGlobal>

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kesto::wire {

// --- commands ---

// Shows page pageId on surface with these values; on the dialog surface it opens the
// dialog when none is open.
struct ShowPageCommand {
    HtmlSurface surface = HtmlSurface::MainWindow;
    int pageId = 0; // > 0
    PageValues values;
    bool operator==(const ShowPageCommand&) const = default;
};

struct SetElementCommand {
    HtmlSurface surface = HtmlSurface::MainWindow;
    std::string elementId; // not empty
    ElementValue value;
    bool operator==(const SetElementCommand&) const = default;
};

// Hidden and minimised both take the window off the screen; minimised keeps it on the
// taskbar, where there is no notification area to bring it back from.
enum class WindowState { Normal, Hidden, Minimised };

// The core's enabled state of an element (a radio group by name) of the page shown;
// the window keeps it until another page is shown.
struct SetDisabledCommand {
    HtmlSurface surface = HtmlSurface::MainWindow;
    std::string elementId; // not empty
    bool disabled = false;
    bool operator==(const SetDisabledCommand&) const = default;
};

struct WindowStateCommand {
    WindowState state = WindowState::Hidden;
    bool operator==(const WindowStateCommand&) const = default;
};

struct RaiseCommand {
    bool operator==(const RaiseCommand&) const = default;
};

// Outer size in pixels, frame included.
struct WindowSizeCommand {
    int width = 0;  // >= 0
    int height = 0; // >= 0
    bool operator==(const WindowSizeCommand&) const = default;
};

struct WindowIconCommand {
    int icon = 0; // icon resource number, >= 0
    bool operator==(const WindowIconCommand&) const = default;
};

struct WaitCursorCommand {
    bool wait = false;
    bool operator==(const WaitCursorCommand&) const = default;
};

// While on, a message box of the tray process is open and the window takes no input.
struct BlockInputCommand {
    bool on = false;
    bool operator==(const BlockInputCommand&) const = default;
};

struct EndDialogCommand {
    bool operator==(const EndDialogCommand&) const = default;
};

struct QuitCommand {
    bool operator==(const QuitCommand&) const = default;
};

// The list commands name the list by its control id (platform/ListControlIds.h).
struct ListPlaceCommand {
    int list = 0;
    int x = 0;
    int y = 0;
    int width = 0;  // >= 0
    int height = 0; // >= 0
    bool operator==(const ListPlaceCommand&) const = default;
};

struct ListShowCommand {
    int list = 0;
    bool visible = false;
    bool operator==(const ListShowCommand&) const = default;
};

struct ListImagesCommand {
    int list = 0;
    int bitmap = 0;
    int width = 0;            // >= 0
    int height = 0;           // >= 0
    unsigned transparent = 0; // 0xRRGGBB
    bool operator==(const ListImagesCommand&) const = default;
};

// Replaces columns and rows.
struct ListColumnsCommand {
    int list = 0;
    std::vector<ListColumn> columns;
    bool operator==(const ListColumnsCommand&) const = default;
};

struct ListRowsCommand {
    int list = 0;
    std::vector<ListRow> rows;
    bool operator==(const ListRowsCommand&) const = default;
};

struct ListGridLinesCommand {
    int list = 0;
    bool on = false;
    bool operator==(const ListGridLinesCommand&) const = default;
};

struct ListFullRowSelectCommand {
    int list = 0;
    bool on = false;
    bool operator==(const ListFullRowSelectCommand&) const = default;
};

struct ListSelectCommand {
    int list = 0;
    std::vector<int> rows; // each >= 0
    bool operator==(const ListSelectCommand&) const = default;
};

// The strip charts over the running dialog's page, by chart id.
struct ChartStyleCommand {
    int chart = 0;
    ChartStyle style; // finite limits, decimals 0..kMaxChartDecimals
    bool operator==(const ChartStyleCommand&) const = default;
};

struct ChartValueCommand {
    int chart = 0;
    double value = 0; // finite
    bool operator==(const ChartValueCommand&) const = default;
};

inline constexpr int kMaxChartDecimals = 15;

// Bounds on what one message may ask of the window: each is far above what the core
// sends (lists of a few columns and some hundred rows, pages of some dozen elements),
// and keeps a hostile or broken peer from making the window program work or grow
// without end. The decoder rejects a message beyond them.
inline constexpr int kMaxListColumns = 64;
inline constexpr int kMaxListRows = 4096;
inline constexpr int kMaxPageValues = 1024;    // values in one message, and ids a page keeps
inline constexpr int kMaxElementIdBytes = 256; // an element id in UTF-8

using CommandBody =
    std::variant<ShowPageCommand, SetElementCommand, SetDisabledCommand, WindowStateCommand,
                 RaiseCommand, WindowSizeCommand, WindowIconCommand, WaitCursorCommand,
                 BlockInputCommand, EndDialogCommand, QuitCommand, ListPlaceCommand,
                 ListShowCommand, ListImagesCommand, ListColumnsCommand, ListRowsCommand,
                 ListGridLinesCommand, ListFullRowSelectCommand, ListSelectCommand,
                 ChartStyleCommand, ChartValueCommand>;

struct Command {
    qint64 seq = 0; // 0 <= seq < 2^53
    CommandBody body;
    bool operator==(const Command&) const = default;
};

// --- events ---

// The user acted on an element; values are the page's values at that moment.
struct ElementEventMessage {
    HtmlSurface surface = HtmlSurface::MainWindow;
    int pageId = 0;        // > 0
    std::string elementId; // not empty
    ElementEvent event = ElementEvent::Click;
    PageValues values;
    bool operator==(const ElementEventMessage&) const = default;
};

struct WindowEventMessage {
    WindowEvent event = WindowEvent::Close;
    bool operator==(const WindowEventMessage&) const = default;
};

// The user brought back from the taskbar the window that was minimised in place of
// hidden.
struct WindowRestoredMessage {
    bool operator==(const WindowRestoredMessage&) const = default;
};

struct ListEventMessage {
    int list = 0;
    // None when the event only reports a selection that changed some other way
    // (keyboard, programmatic).
    std::optional<ListEvent> event;
    int index = -1;            // row (-1: empty space) or, for a header click, column
    std::vector<int> selected; // each >= 0
    bool operator==(const ListEventMessage&) const = default;
};

// The user closed the dialog (its frame's close button, Escape).
struct DialogClosedMessage {
    bool operator==(const DialogClosedMessage&) const = default;
};

using EventBody = std::variant<ElementEventMessage, WindowEventMessage, WindowRestoredMessage,
                               ListEventMessage, DialogClosedMessage>;

struct Event {
    qint64 ack = 0; // 0 <= ack < 2^53
    EventBody body;
    bool operator==(const Event&) const = default;
};

} // namespace kesto::wire
