// PageRouter: the main window's table of page controllers and the lookups it routes
// by: tab, timer, page shown, and the window's steps in table order.
#pragma once

#include "pages/PageController.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kesto {

class PageRouter {
public:
    PageRouter() = default;
    explicit PageRouter(std::vector<PageRoute> routes) : m_routes(std::move(routes)) {}

    void BindAll(PageMap& pages) const
    {
        for (const PageRoute& route : m_routes)
            route.controller->BindHandlers(pages);
    }
    PageController* ForTab(int tab) const
    {
        return Find([tab](const PageRoute& r) { return r.tab == tab && tab != 0; });
    }
    PageController* ForTimer(int id) const
    {
        return Find([id](const PageRoute& r) { return Contains(r.timerIds, id); });
    }
    PageController* ForPage(int pageId) const
    {
        return Find([pageId](const PageRoute& r) { return Contains(r.pageIds, pageId); });
    }
    void Broadcast(ShellStep step) const
    {
        for (const PageRoute& route : m_routes)
            route.controller->OnShellStep(step);
    }

private:
    template <typename Pred> PageController* Find(Pred pred) const
    {
        const auto it = std::find_if(m_routes.begin(), m_routes.end(), pred);
        return it == m_routes.end() ? nullptr : it->controller;
    }
    static bool Contains(const std::vector<int>& ids, int id)
    {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }

    std::vector<PageRoute> m_routes;
};

} // namespace kesto
