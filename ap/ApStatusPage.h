// ApStatusPage: the access point's status page (261) behind tab 5 and timer 8.
#pragma once

#include "pages/PageController.h"
#include "pages/WindowShell.h"

namespace kesto {

class ApStatusPage : public PageController {
public:
    explicit ApStatusPage(WindowShell& shell);

    void ShowTab() override;
    void OnShellStep(ShellStep step) override;

private:
    WindowShell& m_shell;
};

} // namespace kesto
