// ApFilterPage: the MAC filter page (263): up to 16 addresses with an accept or refuse
// rule. Saving checks every address, stores the list as typed and puts it with the
// stored access-point settings into the adapter.
#pragma once

#include "adapter/WlanApi.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/Dialogs.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"

#include <string>
#include <string_view>

namespace kesto {

class ApFilterPage : public PageController {
public:
    // settings, filter: the window's working copies, shared with the settings page.
    // caption: the title of message boxes.
    ApFilterPage(WindowShell& shell, WlanApi& api, ProfileStore& store, Dialogs& dialogs,
                 std::string caption, ApSettings& settings, FilterList& filter);

    void BindHandlers(PageMap& pages) override;
    void ShowTab() override;

private:
    // The stored list into the working list and the page's bound values.
    void Fill();
    void Save();

    WindowShell& m_shell;
    WlanApi& m_api;
    ProfileStore& m_store;
    Dialogs& m_dialogs;
    std::string m_caption;
    ApSettings& m_settings;
    FilterList& m_filter;
};

} // namespace kesto
