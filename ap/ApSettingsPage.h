// ApSettingsPage: the access point's settings page (262): name, hidden name, channel,
// output power and WEP keys typed or made from a pass phrase. Saving checks the key in
// use, stores the settings and puts them with the stored filter list into the adapter;
// the same apply runs whenever the adapter is put into access-point mode.
#pragma once

#include "adapter/WlanApi.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/Dialogs.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "security/PassphraseKeys.h"

#include <string>
#include <string_view>

namespace kesto {

class ApSettingsPage : public PageController {
public:
    // settings, filter: the window's working copies, shared with the filter page.
    // caption: the title of message boxes.
    ApSettingsPage(WindowShell& shell, WlanApi& api, ProfileStore& store, Dialogs& dialogs,
                   std::string caption, PassphraseKeys& passphrases, ApSettings& settings,
                   FilterList& filter);

    void BindHandlers(PageMap& pages) override;
    void ShowTab() override;
    void OnShellStep(ShellStep step) override;

private:
    // The stored settings into the working record and the page's bound values.
    void Fill();
    void Save();
    void Cancel();
    void OnPassPhraseKeyUp();
    void OnKeyFieldKeyUp();
    void OnKeySelectChange();
    void MaskKeyField();

    WindowShell& m_shell;
    WlanApi& m_api;
    ProfileStore& m_store;
    Dialogs& m_dialogs;
    std::string m_caption;
    PassphraseKeys& m_passphrases;
    ApSettings& m_settings;
    FilterList& m_filter;
};

} // namespace kesto
