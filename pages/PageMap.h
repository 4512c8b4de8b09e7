// PageMap: ties each page of the main window, by its PageId written as text ("236"),
// to its table of element handlers. Showing a page selects its table; an event is
// handled when the current page's table has an entry for its element and event.
#pragma once

#include "platform/PageHost.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

using ElementHandler = std::function<void()>;

class PageMap {
public:
    // Adds page pageId with an empty table; an existing page keeps its table.
    void AddPage(int pageId);
    bool HasPage(int pageId) const;
    // Adds (or replaces) the handler of element id and event on page pageId, adding
    // the page when missing. Identifiers match case-insensitively.
    void AddHandler(int pageId, std::string_view elementId, ElementEvent event,
                    ElementHandler handler);
    // The handler for the event on page pageId, or nullptr.
    const ElementHandler* Find(int pageId, std::string_view elementId, ElementEvent event) const;
    // Every page key in the map ("236", ...), sorted as text.
    std::vector<std::string> PageKeys() const;

private:
    struct Entry {
        std::string elementId;
        ElementEvent event;
        ElementHandler handler;
    };
    std::map<std::string, std::vector<Entry>, std::less<>> m_pages;
};

} // namespace kesto
