// ApFilterPage: the MAC filter page (263): up to 16 addresses with an accept or refuse rule.
#pragma once

#include "pages/PageController.h"
#include "pages/WindowShell.h"

namespace kesto {

class ApFilterPage : public PageController {
public:
    explicit ApFilterPage(WindowShell& shell);

    void ShowTab() override;

private:
    WindowShell& m_shell;
};

} // namespace kesto
