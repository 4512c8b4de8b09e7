// ApSettingsPage: the access point's settings page (262): name, channel, power, hidden name, WEP
// keys.
#pragma once

#include "pages/PageController.h"
#include "pages/WindowShell.h"

namespace kesto {

class ApSettingsPage : public PageController {
public:
    explicit ApSettingsPage(WindowShell& shell);

    void ShowTab() override;

private:
    WindowShell& m_shell;
};

} // namespace kesto
