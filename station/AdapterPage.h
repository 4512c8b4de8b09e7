// AdapterPage: the adapter settings page (239): transmit rate, preamble and power
// saving of the current profile.
#pragma once

#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "profiles/WorkingRecords.h"

namespace kesto {

class AdapterPage : public PageController {
public:
    AdapterPage(WindowShell& shell, WorkingRecords& work);

    void ShowTab() override;

private:
    WindowShell& m_shell;
    WorkingRecords& m_work;
};

} // namespace kesto
