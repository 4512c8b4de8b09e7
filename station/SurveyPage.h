// SurveyPage: the site survey page (237) and list control 1009 while it holds the
// survey: shown from tab 2 and from the tray menu's site survey command.
#pragma once

#include "pages/PageController.h"
#include "pages/WindowShell.h"

namespace kesto {

class SurveyPage : public PageController {
public:
    explicit SurveyPage(WindowShell& shell);

    void ShowTab() override;
    void OnShellStep(ShellStep step) override;

private:
    WindowShell& m_shell;
};

} // namespace kesto
