#include "security/WizardSecurityPages.h"

#include "pages/BoundChoice.h"
#include "profiles/SecretScrambler.h"
#include "security/WepKeyRules.h"

#include <algorithm>
#include <array>

namespace kesto {

namespace {

struct EapPageIds {
    int pageId;
    const char* next;
    const char* back;
    const char* exit;
};

constexpr std::array kEapPages = {
    EapPageIds{kEapMd5PageId, "ButtonNextEapMd5", "ButtonBackEapMd5", "ButtonExitEapMd5"},
    EapPageIds{kEapPeapPageId, "ButtonNextEapPeap", "ButtonBackEapPeap", "ButtonExitEapPeap"},
    EapPageIds{kEapTlsPageId, "ButtonNextEapTls", "ButtonBackEapTls", "ButtonExitEapTls"},
    EapPageIds{kEapTtlsPageId, "ButtonNextEapTtls", "ButtonBackEapTtls", "ButtonExitEapTtls"},
};

constexpr int kEapChoices = 5;

const std::string& KeySlot(const ProfileRecord& record, int keyIndex)
{
    switch (keyIndex) {
    case 1:
        return record.NetWorkKey2;
    case 2:
        return record.NetWorkKey3;
    case 3:
        return record.NetWorkKey4;
    default:
        return record.NetWorkKey1;
    }
}

int KeyIndexOf(const ProfileRecord& record)
{
    return record.KeyInUse >= 1 && record.KeyInUse <= kWepKeyCount ? record.KeyInUse - 1 : 0;
}

} // namespace

WizardSecurityPages::WizardSecurityPages(WindowShell& shell, WorkingRecords& work, Dialogs& dialogs,
                                         PassphraseKeys& keys, std::string caption)
    : m_shell(shell), m_work(work), m_dialogs(dialogs), m_caption(std::move(caption)),
      m_keyEntry(keys)
{
}

int WizardSecurityPages::EapPage(int methodChoice)
{
    switch (methodChoice) {
    case static_cast<int>(EapMethod::Ttls):
        return kEapTtlsPageId;
    case static_cast<int>(EapMethod::Md5):
    case static_cast<int>(EapMethod::Leap):
        return kEapMd5PageId;
    case static_cast<int>(EapMethod::Peap):
        return kEapPeapPageId;
    default:
        return kEapTlsPageId;
    }
}

void WizardSecurityPages::BindHandlers(PageMap& pages)
{
    const auto back = [this] { m_flow.back(); };
    const auto abandon = [this] { m_flow.abandon(); };

    // The key entry works on the page as it is and on the wizard's record: typing
    // changes the record at once, Next checks the key in use.
    const auto entry = [&pages](int pageId, std::string_view id, ElementEvent event,
                                ElementHandler handler) {
        pages.AddHandler(pageId, id, event, std::move(handler));
    };
    for (int pageId : {kWepKeyPageId, kWepPassPhrasePageId}) {
        entry(pageId, "TextWepPassPhrase", ElementEvent::KeyUp,
              [this] { m_keyEntry.PassPhraseKeyUp(m_work.WizardProfile, m_shell.page()); });
        entry(pageId, "TextWepKey", ElementEvent::KeyUp,
              [this] { m_keyEntry.KeyUp(m_work.WizardProfile, m_shell.page()); });
        entry(pageId, "TextWepKey", ElementEvent::Blur,
              [this] { m_keyEntry.MaskKey(m_shell.page()); });
        entry(pageId, "SelectWepKey", ElementEvent::Change,
              [this] { m_keyEntry.MaskKey(m_shell.page()); });
        entry(pageId, "SelectWepWep", ElementEvent::Change,
              [this] { m_keyEntry.SizeChanged(m_shell.page()); });
        for (const char* choice : {"Radio1", "Radio2"})
            entry(pageId, choice, ElementEvent::Click,
                  [this] { m_keyEntry.ChoiceClicked(m_shell.page()); });
        pages.AddHandler(pageId, "ButtonNextWep", ElementEvent::Click, [this] { OnWepNext(); });
        pages.AddHandler(pageId, "ButtonBackWep", ElementEvent::Click, back);
        pages.AddHandler(pageId, "ButtonExitWep", ElementEvent::Click, abandon);
    }
    for (const EapPageIds& eap : kEapPages) {
        pages.AddHandler(eap.pageId, "SelectRadius", ElementEvent::Change,
                         [this] { OnRadiusChange(); });
        pages.AddHandler(eap.pageId, eap.next, ElementEvent::Click, [this] { OnEapNext(); });
        pages.AddHandler(eap.pageId, eap.back, ElementEvent::Click, [this] { OnEapBack(); });
        pages.AddHandler(eap.pageId, eap.exit, ElementEvent::Click, abandon);
    }
    pages.AddHandler(kWpaPskPageId, "ButtonNextWpaPsk", ElementEvent::Click,
                     [this] { OnPskNext(); });
    pages.AddHandler(kWpaPskPageId, "ButtonBackWpaPsk", ElementEvent::Click, back);
    pages.AddHandler(kWpaPskPageId, "ButtonExitWpaPsk", ElementEvent::Click, abandon);
    pages.AddHandler(kWpaRadiusPageId, "ButtonNextWpaRadius", ElementEvent::Click,
                     [this] { OnWpaRadiusNext(); });
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
        FillEap(StoredEapChoice());
        ShowEapPage(StoredEapChoice());
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
        ShowEapPage(StoredEapChoice());
        return;
    }
}

void WizardSecurityPages::FillWep()
{
    const ProfileRecord& record = m_work.WizardProfile;
    ElementBinding& fields = m_shell.binding();
    const int keyIndex = KeyIndexOf(record);
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
    m_keyEntry.PageFilled(m_shell.page());
}

void WizardSecurityPages::FillEap(int methodChoice)
{
    const ProfileRecord& record = m_work.WizardProfile;
    ElementBinding& fields = m_shell.binding();
    // Pushed with the page: page 241 pre-selects EAP-MD5 and would otherwise turn a
    // LEAP profile into an EAP-MD5 one on the next Next.
    fields.SetNumber("SelectRadius", methodChoice);
    switch (static_cast<EapMethod>(methodChoice)) {
    case EapMethod::Tls:
        fields.SetText("TextTlsLoginName", record.LoginName);
        fields.SetText("TextTlsCerti", record.Certificate);
        fields.SetNumber("CheckboxTls", record.ValServerCertificate != 0 ? 1 : 0);
        break;
    case EapMethod::Ttls:
        fields.SetText("TextTtlsLoginName", record.LoginName);
        fields.SetText("TextTtlsPassword", UnscrambleSecret(record.Password));
        fields.SetNumber("CheckboxTtls", record.ValServerCertificate != 0 ? 1 : 0);
        fields.SetNumber("SelectTtlsProtocal", record.TTLSOrPeapSelection);
        break;
    case EapMethod::Md5:
    case EapMethod::Leap:
        fields.SetText("TextMd5LoginName", record.LoginName);
        fields.SetText("TextMd5Password", UnscrambleSecret(record.Password));
        break;
    case EapMethod::Peap:
        fields.SetText("TextPeapLoginName", record.LoginName);
        fields.SetText("TextPeapPassword", UnscrambleSecret(record.Password));
        fields.SetNumber("CheckboxPeap", record.ValServerCertificate != 0 ? 1 : 0);
        fields.SetNumber("SelectPeapInnerEap", record.TTLSOrPeapSelection);
        break;
    }
}

void WizardSecurityPages::ShowEapPage(int methodChoice)
{
    m_shell.binding().SetNumber("SelectRadius", methodChoice);
    m_shell.ShowPage(EapPage(methodChoice));
}

int WizardSecurityPages::StoredEapChoice() const
{
    const int choice = m_work.WizardProfile.RadiusType - 1;
    return choice >= 0 && choice < kEapChoices ? choice : 0;
}

void WizardSecurityPages::OnRadiusChange()
{
    m_shell.UpdateData(true);
    const int previous = m_shell.binding().Number("SelectRadius");
    ShowEapPage(
        BoundChoice(m_shell.binding(), m_shell.page(), "SelectRadius",
                    previous >= 0 && previous < kEapChoices ? previous : StoredEapChoice()));
}

void WizardSecurityPages::OnEapBack()
{
    if (m_method == WizardSecurity::WpaRadius)
        m_shell.ShowPage(kWpaRadiusPageId);
    else
        m_flow.back();
}

void WizardSecurityPages::OnWepNext()
{
    m_shell.UpdateData(true);
    ElementBinding& fields = m_shell.binding();
    const PageMirror& page = m_shell.page();
    ProfileRecord& record = m_work.WizardProfile;
    record.DataEncryption = BoundChoice(fields, page, "SelectWepAuthen", record.DataEncryption);
    record.KeyInUse = BoundChoice(fields, page, "SelectWepKey", KeyIndexOf(record)) + 1;
    record.KeyMode = BoundChoice(fields, page, "RadioGroupWep", record.KeyMode == 0 ? 0 : 1);
    record.KeyLength =
        BoundChoice(fields, page, "SelectWepWep", std::max(record.KeyLength - 1, 0)) + 1;
    const int keyIndex = record.KeyInUse - 1;
    if (ValidateWepKey(m_dialogs, m_caption, record.KeyLength, keyIndex, KeySlot(record, keyIndex),
                       WepMessageLanguage::German) != WepKeyCheck::Accepted)
        return;
    m_flow.confirm();
}

void WizardSecurityPages::OnEapNext()
{
    m_shell.UpdateData(true);
    ElementBinding& fields = m_shell.binding();
    const PageMirror& page = m_shell.page();
    ProfileRecord& record = m_work.WizardProfile;
    record.AuthenticationMode = m_method == WizardSecurity::WpaRadius
                                    ? static_cast<int>(WizardSecurity::WpaRadius)
                                    : static_cast<int>(WizardSecurity::Radius);
    const int choice = BoundChoice(fields, page, "SelectRadius", StoredEapChoice());
    record.RadiusType = choice + 1;
    const auto text = [&](std::string_view id) { return std::string(fields.Text(id)); };
    switch (static_cast<EapMethod>(choice)) {
    case EapMethod::Tls:
        record.LoginName = text("TextTlsLoginName");
        // Page 243 takes no password: a TLS profile keeps none, rather than whatever
        // was last typed on the TTLS page.
        record.Password.clear();
        record.ValServerCertificate = fields.Number("CheckboxTls");
        break;
    case EapMethod::Ttls:
        record.LoginName = text("TextTtlsLoginName");
        record.Password = ScrambleSecret(fields.Text("TextTtlsPassword"));
        record.ValServerCertificate = fields.Number("CheckboxTtls");
        record.TTLSOrPeapSelection =
            BoundChoice(fields, page, "SelectTtlsProtocal", record.TTLSOrPeapSelection);
        break;
    case EapMethod::Md5:
    case EapMethod::Leap:
        record.LoginName = text("TextMd5LoginName");
        record.Password = ScrambleSecret(fields.Text("TextMd5Password"));
        break;
    case EapMethod::Peap:
        record.LoginName = text("TextPeapLoginName");
        record.Password = ScrambleSecret(fields.Text("TextPeapPassword"));
        record.ValServerCertificate = fields.Number("CheckboxPeap");
        record.TTLSOrPeapSelection =
            BoundChoice(fields, page, "SelectPeapInnerEap", record.TTLSOrPeapSelection);
        break;
    }
    m_flow.confirm();
}

void WizardSecurityPages::OnPskNext()
{
    m_shell.UpdateData(true);
    ElementBinding& fields = m_shell.binding();
    ProfileRecord& record = m_work.WizardProfile;
    record.AuthenticationMode = static_cast<int>(WizardSecurity::WpaPsk);
    record.EncryptionType =
        BoundChoice(fields, m_shell.page(), "SelectPskEncryType", record.EncryptionType);
    record.Passphrase = ScrambleSecret(fields.Text("TextPskPassPhrase"));
    m_flow.confirm();
}

void WizardSecurityPages::OnWpaRadiusNext()
{
    FillEap(StoredEapChoice());
    ShowEapPage(StoredEapChoice());
}

} // namespace kesto
