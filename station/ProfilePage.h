// ProfilePage: the profile page (238), with list control 1009 holding the profiles.
#pragma once

#include "pages/PageController.h"
#include "pages/WindowShell.h"

namespace kesto {

class ProfilePage : public PageController {
public:
    explicit ProfilePage(WindowShell& shell);

    void ShowTab() override;

private:
    WindowShell& m_shell;
};

} // namespace kesto
