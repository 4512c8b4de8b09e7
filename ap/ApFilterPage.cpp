#include "ap/ApFilterPage.h"

#include "ap/ApApply.h"
#include "ap/FilterEntry.h"

#include <array>
#include <utility>

namespace kesto {

namespace {

std::string AddressElement(std::size_t slot)
{
    return "TextFilterAddress" + std::to_string(slot + 1);
}

} // namespace

ApFilterPage::ApFilterPage(WindowShell& shell, WlanApi& api, ProfileStore& store, Dialogs& dialogs,
                           std::string caption, ApSettings& settings, FilterList& filter)
    : m_shell(shell), m_api(api), m_store(store), m_dialogs(dialogs), m_caption(std::move(caption)),
      m_settings(settings), m_filter(filter)
{
}

void ApFilterPage::BindHandlers(PageMap& pages)
{
    pages.AddHandler(kApFilterPageId, "ButtonSaveAPFilter", ElementEvent::Click,
                     [this] { Save(); });
    pages.AddHandler(kApFilterPageId, "ButtonCancelAPFilter", ElementEvent::Click, [this] {
        Fill();
        m_shell.UpdateData(false);
    });
}

void ApFilterPage::ShowTab()
{
    // The status refresh stops while the access point's other pages are shown.
    m_shell.timers().KillTimer(kTimerApStatus);
    Fill();
    m_shell.ShowPage(kApFilterPageId);
}

void ApFilterPage::Fill()
{
    m_filter = ReadFilterListInRange(m_store);
    ElementBinding& values = m_shell.binding();
    values.SetNumber("SelectAPFilterType", m_filter.FilterType);
    for (std::size_t slot = 0; slot < m_filter.FilterAddress.size(); ++slot)
        values.SetText(AddressElement(slot), m_filter.FilterAddress[slot]);
}

void ApFilterPage::Save()
{
    m_shell.UpdateData(true);
    const ElementBinding& values = m_shell.binding();
    std::array<std::string, kFilterAddressCount> typed;
    for (std::size_t slot = 0; slot < typed.size(); ++slot)
        typed[slot] = std::string(values.Text(AddressElement(slot)));
    ShowRefusal(m_dialogs,
                SaveFilterList(m_api, m_store, m_settings, m_filter,
                               values.Number("SelectAPFilterType"), typed),
                m_caption);
}

} // namespace kesto
