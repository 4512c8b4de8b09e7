// PageRobot: real user input for the window's own pages, for the test driver and the
// screenshot tour: mouse clicks at an element's place on the page and key presses,
// delivered as input events to the view's focus proxy, the widget the page engine reads
// its input from. The page sees them as the user's own (trusted) events.
#pragma once

#include "window/PageView.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

namespace kesto {

class PageRobot {
public:
    // The centre of element id (or of the first element named id, a radio group) in view
    // coordinates, after scrolling it into view; nullopt when the page has no such
    // element or it takes no room.
    static void ElementCentre(PageView& view, const QString& id,
                              std::function<void(std::optional<QPoint>)> done);
    // False when the view has no page to click into yet.
    static bool Click(PageView& view, QPoint at, bool doubleClick);
    // A click, or a double click as the window system delivers one: press, release,
    // press with the double-click event, release.
    static void MouseClick(QWidget* widget, QPoint at, bool doubleClick);
    // Gives the view's window and the page the focus, then presses and releases key;
    // text, when given, is typed instead, character by character.
    static bool Key(PageView& view, int key, const QString& text = {});
    // A picture of widget with its children (the lists over the page included).
    static bool Grab(QWidget& widget, const QString& file);
};

} // namespace kesto
