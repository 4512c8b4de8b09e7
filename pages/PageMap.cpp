#include "pages/PageMap.h"

#include "pages/PageMirror.h"

#include <utility>

namespace kesto {

void PageMap::AddPage(int pageId)
{
    m_pages.try_emplace(std::to_string(pageId));
}

bool PageMap::HasPage(int pageId) const
{
    return m_pages.contains(std::to_string(pageId));
}

void PageMap::AddHandler(int pageId, std::string_view elementId, ElementEvent event,
                         ElementHandler handler)
{
    auto& table = m_pages[std::to_string(pageId)];
    for (Entry& entry : table) {
        if (entry.event == event && EqualsNoCase(entry.elementId, elementId)) {
            entry.handler = std::move(handler);
            return;
        }
    }
    table.push_back({std::string(elementId), event, std::move(handler)});
}

const ElementHandler* PageMap::Find(int pageId, std::string_view elementId,
                                    ElementEvent event) const
{
    const auto page = m_pages.find(std::to_string(pageId));
    if (page == m_pages.end())
        return nullptr;
    for (const Entry& entry : page->second)
        if (entry.event == event && EqualsNoCase(entry.elementId, elementId))
            return entry.handler ? &entry.handler : nullptr;
    return nullptr;
}

std::vector<std::string> PageMap::PageKeys() const
{
    std::vector<std::string> keys;
    for (const auto& [key, table] : m_pages)
        keys.push_back(key);
    return keys;
}

} // namespace kesto
