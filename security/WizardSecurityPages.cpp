// The wizard's security pages (see WizardSecurityPages.h).
#include "security/WizardSecurityPages.h"

#include "profiles/SecretScrambler.h"

#include <utility>

namespace kesto {

WizardSecurityPages::WizardSecurityPages(WindowShell& shell, WorkingRecords& work, Dialogs& dialogs,
                                         PassphraseKeys& keys, std::string caption)
    : m_shell(shell), m_work(work),
      m_form(kWizardPageSet, shell, work.WizardProfile, dialogs, keys, std::move(caption))
{
    m_form.SetSteps({[this](SecurityPage page) { Stored(page); }, [this] { OnEapBack(); }});
}

void WizardSecurityPages::BindHandlers(PageMap& pages)
{
    m_form.BindHandlers(pages);
    const auto back = [this] { m_flow.back(); };
    const auto abandon = [this] { m_flow.abandon(); };
    for (int pageId : kWizardWepPages) {
        pages.AddHandler(pageId, "ButtonBackWep", ElementEvent::Click, back);
        pages.AddHandler(pageId, "ButtonExitWep", ElementEvent::Click, abandon);
    }
    for (const auto& [pageId, exit] : {std::pair{kEapMd5PageId, "ButtonExitEapMd5"},
                                       std::pair{kEapPeapPageId, "ButtonExitEapPeap"},
                                       std::pair{kEapTlsPageId, "ButtonExitEapTls"},
                                       std::pair{kEapTtlsPageId, "ButtonExitEapTtls"}})
        pages.AddHandler(pageId, exit, ElementEvent::Click, abandon);
    pages.AddHandler(kWpaPskPageId, "ButtonBackWpaPsk", ElementEvent::Click, back);
    pages.AddHandler(kWpaPskPageId, "ButtonExitWpaPsk", ElementEvent::Click, abandon);
    pages.AddHandler(kWpaRadiusPageId, "ButtonNextWpaRadius", ElementEvent::Click,
                     [this] { EnterEapPage(); });
    pages.AddHandler(kWpaRadiusPageId, "ButtonBackWpaRadius", ElementEvent::Click, back);
    pages.AddHandler(kWpaRadiusPageId, "ButtonExitWpaRadius", ElementEvent::Click, abandon);
}

void WizardSecurityPages::Enter(WizardSecurity method)
{
    m_method = method;
    ProfileRecord& record = m_work.WizardProfile;
    ElementBinding& fields = m_shell.binding();
    switch (method) {
    case WizardSecurity::None:
        return;
    case WizardSecurity::Wep:
        if (record.DataEncryption == 0)
            record.DataEncryption = 2;
        FillWep();
        ShowWep();
        return;
    case WizardSecurity::WpaPsk:
        fields.SetNumber("SelectPskEncryType", record.EncryptionType);
        fields.SetText("TextPskPassPhrase", UnscrambleSecret(record.Passphrase));
        m_shell.ShowPage(kWpaPskPageId);
        return;
    case WizardSecurity::WpaRadius:
        fields.SetNumber("SelectRadiusEncryType", record.EncryptionType);
        m_shell.ShowPage(kWpaRadiusPageId);
        return;
    case WizardSecurity::Radius:
        EnterEapPage();
        return;
    }
}

void WizardSecurityPages::Reenter(WizardSecurity method)
{
    m_method = method;
    switch (method) {
    case WizardSecurity::None:
        return;
    case WizardSecurity::Wep:
        m_shell.binding().SetText("TextWepKey", "");
        ShowWep();
        return;
    case WizardSecurity::WpaPsk:
        m_shell.ShowPage(kWpaPskPageId);
        return;
    case WizardSecurity::WpaRadius:
    case WizardSecurity::Radius:
        m_form.ShowEapPage(m_form.StoredEapChoice());
        return;
    }
}

void WizardSecurityPages::FillWep()
{
    const ProfileRecord& record = m_work.WizardProfile;
    ElementBinding& fields = m_shell.binding();
    const int keyIndex = KeyIndexInUse(record);
    fields.SetNumber("SelectWepAuthen", record.DataEncryption);
    fields.SetNumber("SelectWepWep", record.KeyLength > 0 ? record.KeyLength - 1 : 0);
    // The key select shows the key in use, so the label, the masked field and the
    // select name the same key.
    fields.SetNumber("SelectWepKey", keyIndex);
    fields.SetText("KeyText", "Taste " + std::to_string(keyIndex + 1) + ":");
    fields.SetText("TextWepKey", WepKeyEntry::FilledKeyText(record, keyIndex));
    fields.SetText("TextWepPassPhrase", "");
    fields.SetNumber("RadioGroupWep", record.KeyMode == 0 ? 0 : 1);
}

void WizardSecurityPages::ShowWep()
{
    m_shell.ShowPage(m_work.WizardProfile.KeyMode == 1 ? kWepKeyPageId : kWepPassPhrasePageId);
    m_form.WepPageFilled();
}

void WizardSecurityPages::EnterEapPage()
{
    m_form.FillEap(m_form.StoredEapChoice());
    m_form.ShowEapPage(m_form.StoredEapChoice());
}

void WizardSecurityPages::Stored(SecurityPage page)
{
    ProfileRecord& record = m_work.WizardProfile;
    switch (page) {
    case SecurityPage::Wep:
        break;
    case SecurityPage::Eap:
        record.AuthenticationMode =
            static_cast<int>(m_method == WizardSecurity::WpaRadius ? WizardSecurity::WpaRadius
                                                                   : WizardSecurity::Radius);
        break;
    case SecurityPage::WpaPsk:
        record.AuthenticationMode = static_cast<int>(WizardSecurity::WpaPsk);
        break;
    }
    m_flow.confirm();
}

void WizardSecurityPages::OnEapBack()
{
    if (m_method == WizardSecurity::WpaRadius)
        m_shell.ShowPage(kWpaRadiusPageId);
    else
        m_flow.back();
}

} // namespace kesto
