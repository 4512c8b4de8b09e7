#include "ap/ApFilterPage.h"

#include "ap/ApApply.h"
#include "ap/FilterEntry.h"

#include <array>
#include <utility>

namespace kesto {

namespace {

constexpr int kFilterTypes = 3;

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
    for (std::size_t slot = 0; slot < typed.size(); ++slot) {
        typed[slot] = std::string(values.Text(AddressElement(slot)));
        if (!ValidateFilterAddress(typed[slot])) {
            m_dialogs.MessageBox(kInvalidFilterAddressMessage, m_caption);
            return;
        }
    }

    const int type = values.Number("SelectAPFilterType");
    if (type >= 0 && type < kFilterTypes)
        m_filter.FilterType = type;
    m_filter.FilterAddress = typed;
    m_store.WriteFilterList(m_filter);

    // What the settings page shows but was never saved stays out of the adapter: the
    // access point runs on its stored settings.
    m_settings = ReadApSettingsInRange(m_store);
    ApplyApSettings(m_api, m_store, m_settings, m_filter);
}

} // namespace kesto
