#include "ap/ApSettingsPage.h"

#include "ap/ApApply.h"
#include "security/WepKeyRules.h"

#include <utility>

namespace kesto {

namespace {

constexpr int kWepOff = 0;
constexpr int kWep256 = 3;

// A select that reports no choice (-1) or one it does not have keeps the record's value.
int Chosen(int index, int options, int current)
{
    return index >= 0 && index < options ? index : current;
}

std::string KeyLabel(int keyInUse)
{
    return "Taste " + std::to_string(keyInUse) + ":";
}

} // namespace

ApSettingsPage::ApSettingsPage(WindowShell& shell, WlanApi& api, ProfileStore& store,
                               Dialogs& dialogs, std::string caption, PassphraseKeys& passphrases,
                               ApSettings& settings, FilterList& filter)
    : m_shell(shell), m_api(api), m_store(store), m_dialogs(dialogs), m_caption(std::move(caption)),
      m_passphrases(passphrases), m_settings(settings), m_filter(filter)
{
}

void ApSettingsPage::BindHandlers(PageMap& pages)
{
    const int page = kApSettingsPageId;
    pages.AddHandler(page, "ButtonSaveAPSet", ElementEvent::Click, [this] { Save(); });
    pages.AddHandler(page, "ButtonCancelAPSet", ElementEvent::Click, [this] { Cancel(); });
    pages.AddHandler(page, "TextAPPassPhrase", ElementEvent::KeyUp,
                     [this] { OnPassPhraseKeyUp(); });
    pages.AddHandler(page, "TextAPWepKey", ElementEvent::KeyUp, [this] { OnKeyFieldKeyUp(); });
    pages.AddHandler(page, "TextAPWepKey", ElementEvent::Blur, [this] { MaskKeyField(); });
    pages.AddHandler(page, "SelectAPKey", ElementEvent::Change, [this] { OnKeySelectChange(); });
}

void ApSettingsPage::ShowTab()
{
    // The status refresh stops while the access point's other pages are shown.
    m_shell.timers().KillTimer(kTimerApStatus);
    Fill();
    m_shell.ShowPage(kApSettingsPageId);
}

void ApSettingsPage::OnShellStep(ShellStep step)
{
    switch (step) {
    case ShellStep::ApStartingOnAdapter:
        // The window has just read both records from the store.
        m_settings = ApSettingsInRange(m_settings);
        m_filter = FilterListInRange(m_filter);
        ApplyApSettings(m_api, m_store, m_settings, m_filter);
        break;
    case ShellStep::FirstShowFromRestore:
    case ShellStep::FirstShowFromMenu:
    case ShellStep::RestoredInStationMode:
    case ShellStep::RestoredInApMode:
    case ShellStep::SiteSurveyCommand:
    case ShellStep::StationModeEntered:
    case ShellStep::ApModeEntered:
    case ShellStep::AdapterReturned:
    case ShellStep::PageShown:
    case ShellStep::WindowHidden:
    case ShellStep::DropPendingSteps:
        break;
    }
}

void ApSettingsPage::Fill()
{
    m_settings = ReadApSettingsInRange(m_store);
    ElementBinding& values = m_shell.binding();
    values.SetText("TextAPSetSSID", m_settings.SSID);
    values.SetNumber("CheckboxHideSSID", m_settings.HideSSID);
    values.SetNumber("SelectAPChannel", m_settings.Channel - 1);
    values.SetNumber("SelectAPOutPower", m_settings.OutputPower);
    values.SetNumber("SelectAPWep", m_settings.WEP);
    values.SetNumber("SelectAPAuthen", m_settings.AuthenType);
    values.SetText("TextAPPassPhrase", "");
    values.SetNumber("SelectAPKey", m_settings.KeyInUse - 1);
    values.SetText("KeyText", KeyLabel(m_settings.KeyInUse));
    values.SetText("TextAPWepKey",
                   ApKey(m_settings, m_settings.KeyInUse - 1).empty() ? "" : kWepKeyMask);
}

void ApSettingsPage::Cancel()
{
    Fill();
    m_shell.UpdateData(false);
}

void ApSettingsPage::Save()
{
    m_shell.UpdateData(true);
    const ElementBinding& values = m_shell.binding();
    ApChoice choice;
    choice.ssid = std::string(values.Text("TextAPSetSSID"));
    choice.hideSsid = values.Number("CheckboxHideSSID") != 0 ? 1 : 0;
    choice.channel = Chosen(values.Number("SelectAPChannel"), 13, m_settings.Channel - 1) + 1;
    choice.outputPower = Chosen(values.Number("SelectAPOutPower"), 4, m_settings.OutputPower);
    choice.wep = Chosen(values.Number("SelectAPWep"), 4, m_settings.WEP);
    choice.authentication = Chosen(values.Number("SelectAPAuthen"), 3, m_settings.AuthenType);
    choice.keyIndex = Chosen(values.Number("SelectAPKey"), kWepKeyCount, m_settings.KeyInUse - 1);
    ShowRefusal(m_dialogs, SaveApSettings(m_api, m_store, m_settings, choice, m_filter), m_caption);
}

void ApSettingsPage::OnPassPhraseKeyUp()
{
    m_shell.UpdateData(true);
    const ElementBinding& values = m_shell.binding();
    const std::string phrase(values.Text("TextAPPassPhrase"));
    // An empty field has generated nothing: the keys stay as they are rather than
    // taking the last phrase's keys from some other page.
    if (phrase.empty())
        return;
    if (!m_passphrases.ApplyToApSettings(m_settings, values.Number("SelectAPWep"), phrase))
        return;
    m_shell.binding().SetText("TextAPWepKey", kWepKeyMask);
    m_shell.UpdateData(false);
}

void ApSettingsPage::OnKeyFieldKeyUp()
{
    m_shell.UpdateData(true);
    const ElementBinding& values = m_shell.binding();
    const int wep = values.Number("SelectAPWep");
    const int keyIndex = values.Number("SelectAPKey");
    if (wep == kWepOff || wep > kWep256 || wep < 0 || keyIndex < 0 || keyIndex >= kWepKeyCount)
        return;
    const std::string text(values.Text("TextAPWepKey"));
    // A key that typed nothing (Tab, Shift) into a masked field leaves the key alone:
    // the mask is what the page shows, never a key.
    if (text == kWepKeyMask)
        return;
    ApKey(m_settings, keyIndex) = text;
}

void ApSettingsPage::OnKeySelectChange()
{
    m_shell.UpdateData(true);
    const int wep = m_shell.binding().Number("SelectAPWep");
    // The field would otherwise show the previous key under the new key's label, and the
    // next key-up would copy it into the new slot.
    if (wep == kWepOff || wep > kWep256 || wep < 0)
        return;
    MaskKeyField();
}

void ApSettingsPage::MaskKeyField()
{
    // Read first, so what was typed elsewhere on the page since is written back as typed.
    m_shell.UpdateData(true);
    m_shell.binding().SetText("TextAPWepKey", kWepKeyMask);
    m_shell.UpdateData(false);
}

} // namespace kesto
