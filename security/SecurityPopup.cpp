// The security pop-up (see SecurityPopup.h).
#include "security/SecurityPopup.h"

#include "profiles/SecretScrambler.h"
#include "security/WepKeyRules.h"

#include <utility>

namespace kesto {

namespace {

constexpr int kKeySizeOptions = 3;
constexpr int kAuthenticationOptions = 3;
constexpr int kRadiusOptions = 5;
constexpr int kCipherOptions = 2;
constexpr int kInnerEapOptions = 3;
constexpr int kTtlsProtocolOptions = 7;

// SelectPopRadius order: EAP-TLS, EAP-TTLS, EAP-MD5, EAP-PEAP, LEAP; RadiusType is the
// index + 1.
constexpr int kRadiusTls = 0;
constexpr int kRadiusTtls = 1;
constexpr int kRadiusMd5 = 2;
constexpr int kRadiusPeap = 3;
constexpr int kRadiusLeap = 4;

void PullText(const PageMirror& page, std::string_view id, std::string& member)
{
    if (page.Has(id))
        member = page.Text(id);
}

void PullNumber(const PageMirror& page, std::string_view id, int& member)
{
    if (page.Has(id))
        member = page.Number(id);
}

// A select that reads no selection keeps the member's previous index.
void PullSelect(const PageMirror& page, std::string_view id, int optionCount, int& member)
{
    if (page.Has(id))
        member = WepKeyEntry::SelectedOr(page.Number(id), optionCount, member);
}

int IndexOr0(std::int32_t value, int optionCount)
{
    return value >= 0 && value < optionCount ? value : 0;
}

} // namespace

SecurityPopup::SecurityPopup(PageHost& host, Dialogs& dialogs, std::string caption,
                             WorkingRecords& work, PassphraseKeys& keys, int firstPageId,
                             ManifestLookup manifest)
    : HtmlDialog(host, firstPageId, std::move(manifest)), m_dialogs(dialogs),
      m_caption(std::move(caption)), m_work(work), m_keyEntry(keys)
{
    BindWepPage();
    BindEapPages();
}

bool SecurityPopup::Run()
{
    m_secretsAccepted = false;
    DoModal();
    return m_secretsAccepted;
}

void SecurityPopup::OnInitDialog()
{
    const ProfileRecord& record = m_work.CurrentProfile;
    // The size select shows the record's key length and the authentication select its
    // WEP authentication algorithm; the pop-up always starts on key 1.
    m_keySize = IndexOr0(record.KeyLength - 1, kKeySizeOptions);
    m_authentication = IndexOr0(record.DataEncryption, kAuthenticationOptions);
    m_keySelect = 0;
    m_keyText = WepKeyEntry::FilledKeyText(record, 0);
    m_radius = IndexOr0(record.RadiusType - 1, kRadiusOptions);
    m_pskCipher = 0;
    m_radiusCipher = 0;
}

void SecurityPopup::Push(PageMirror& page)
{
    page.SetNumber("SelectWepWep", m_keySize);
    page.SetNumber("SelectWepAuthen", m_authentication);
    page.SetNumber("SelectWepKey", m_keySelect);
    page.SetText("TextWepKey", m_keyText);
    // The EAP pages pre-select their own method; the member keeps the user's choice
    // (LEAP shows the EAP-MD5 page and must stay LEAP).
    page.SetNumber("SelectPopRadius", m_radius);
    page.SetText("TextPopMd5LoginName", m_md5Login);
    page.SetText("TextPopMd5Password", m_md5Password);
    page.SetText("TextPopPeapLoginName", m_peapLogin);
    page.SetText("TextPopPeapPassword", m_peapPassword);
    page.SetNumber("CheckboxPopPeap", m_peapCheck);
    page.SetNumber("SelectPopPeapInnerEap", m_peapInner);
    page.SetText("TextPopTlsLoginName", m_tlsLogin);
    page.SetNumber("CheckboxPopTls", m_tlsCheck);
    page.SetText("TextPopTtlsLoginName", m_ttlsLogin);
    page.SetText("TextPopTtlsPassword", m_ttlsPassword);
    page.SetNumber("CheckboxPopTtls", m_ttlsCheck);
    page.SetNumber("SelectPopTtlsProtocal", m_ttlsProtocol);
    page.SetNumber("SelPskEncryType", m_pskCipher);
    page.SetText("TextPopPskPassPhrase", m_pskPhrase);
    page.SetNumber("SelRadiusEncryType", m_radiusCipher);
}

void SecurityPopup::Pull(const PageMirror& page)
{
    PullSelect(page, "SelectWepWep", kKeySizeOptions, m_keySize);
    PullSelect(page, "SelectWepAuthen", kAuthenticationOptions, m_authentication);
    PullSelect(page, "SelectWepKey", kWepKeyCount, m_keySelect);
    PullText(page, "TextWepKey", m_keyText);
    PullSelect(page, "SelectPopRadius", kRadiusOptions, m_radius);
    PullText(page, "TextPopMd5LoginName", m_md5Login);
    PullText(page, "TextPopMd5Password", m_md5Password);
    PullText(page, "TextPopPeapLoginName", m_peapLogin);
    PullText(page, "TextPopPeapPassword", m_peapPassword);
    PullNumber(page, "CheckboxPopPeap", m_peapCheck);
    PullSelect(page, "SelectPopPeapInnerEap", kInnerEapOptions, m_peapInner);
    PullText(page, "TextPopTlsLoginName", m_tlsLogin);
    PullNumber(page, "CheckboxPopTls", m_tlsCheck);
    PullText(page, "TextPopTtlsLoginName", m_ttlsLogin);
    PullText(page, "TextPopTtlsPassword", m_ttlsPassword);
    PullNumber(page, "CheckboxPopTtls", m_ttlsCheck);
    PullSelect(page, "SelectPopTtlsProtocal", kTtlsProtocolOptions, m_ttlsProtocol);
    PullSelect(page, "SelPskEncryType", kCipherOptions, m_pskCipher);
    PullText(page, "TextPopPskPassPhrase", m_pskPhrase);
    PullSelect(page, "SelRadiusEncryType", kCipherOptions, m_radiusCipher);
}

void SecurityPopup::BindWepPage()
{
    const int wep = kPopupWepPageId;
    AddHandler(wep, "TextWepKey", ElementEvent::KeyUp,
               [this] { m_keyEntry.KeyUp(m_work.CurrentProfile, page()); });
    AddHandler(wep, "TextWepKey", ElementEvent::Blur, [this] { m_keyEntry.MaskKey(page()); });
    AddHandler(wep, "SelectWepKey", ElementEvent::Change, [this] { m_keyEntry.MaskKey(page()); });
    AddHandler(wep, "TextWepPassPhrase", ElementEvent::KeyUp,
               [this] { m_keyEntry.PassPhraseKeyUp(m_work.CurrentProfile, page()); });
    AddHandler(wep, "SelectWepWep", ElementEvent::Change,
               [this] { m_keyEntry.SizeChanged(page()); });
    AddHandler(wep, "Radio1", ElementEvent::Click, [this] { m_keyEntry.ChoiceClicked(page()); });
    AddHandler(wep, "Radio2", ElementEvent::Click, [this] { m_keyEntry.ChoiceClicked(page()); });
    AddHandler(wep, "ButtonPopSaveWep", ElementEvent::Click, [this] { SaveWep(); });
}

void SecurityPopup::BindEapPages()
{
    const auto back = [this] {
        UpdateData(true);
        ShowPage(kPopupWpaRadiusPageId);
    };
    const std::pair<int, const char*> pages[] = {{kPopupEapMd5PageId, "EapMd5"},
                                                 {kPopupEapPeapPageId, "EapPeap"},
                                                 {kPopupEapTlsPageId, "EapTls"},
                                                 {kPopupEapTtlsPageId, "EapTtls"}};
    for (const auto& [pageId, name] : pages) {
        AddHandler(pageId, "SelectPopRadius", ElementEvent::Change, [this] { ShowMethodPage(); });
        AddHandler(pageId, std::string("ButtonPopBack") + name, ElementEvent::Click, back);
        AddHandler(pageId, std::string("ButtonPopSave") + name, ElementEvent::Click,
                   [this] { SaveEap(); });
    }
    AddHandler(kPopupWpaPskPageId, "ButtonPopSaveWpaPsk", ElementEvent::Click,
               [this] { SaveWpaPsk(); });
    AddHandler(kPopupWpaRadiusPageId, "ButtonPopNextWpaRadius", ElementEvent::Click, [this] {
        UpdateData(true);
        m_work.CurrentProfile.EncryptionType = m_radiusCipher;
        m_radius = kRadiusTtls;
        ShowPage(kPopupEapTtlsPageId);
    });
}

void SecurityPopup::ShowMethodPage()
{
    UpdateData(true);
    switch (m_radius) {
    case kRadiusTls:
        ShowPage(kPopupEapTlsPageId);
        break;
    case kRadiusTtls:
        ShowPage(kPopupEapTtlsPageId);
        break;
    case kRadiusMd5:
    case kRadiusLeap:
        ShowPage(kPopupEapMd5PageId);
        break;
    case kRadiusPeap:
        ShowPage(kPopupEapPeapPageId);
        break;
    default:
        break;
    }
}

void SecurityPopup::SaveWep()
{
    {
        WaitCursor wait(m_dialogs);
        UpdateData(true);
    }
    ProfileRecord& record = m_work.CurrentProfile;
    record.ProfileName.clear();
    record.DataEncryption = m_authentication;
    record.KeyInUse = m_keySelect + 1;
    record.KeyLength = m_keySize + 1;
    // The key in use as typed into its slot (a masked field left alone keeps it).
    const std::string& key = m_keySelect == 0   ? record.NetWorkKey1
                             : m_keySelect == 1 ? record.NetWorkKey2
                             : m_keySelect == 2 ? record.NetWorkKey3
                                                : record.NetWorkKey4;
    if (ValidateWepKey(m_dialogs, m_caption, record.KeyLength, m_keySelect, key,
                       WepMessageLanguage::English) == WepKeyCheck::Rejected)
        return;
    Accept();
}

void SecurityPopup::SaveEap()
{
    UpdateData(true);
    ProfileRecord& record = m_work.CurrentProfile;
    record.RadiusType = m_radius + 1;
    switch (m_radius) {
    case kRadiusTls:
        // TLS proves itself by certificate: no password of another method is stored.
        record.LoginName = m_tlsLogin;
        record.Password.clear();
        record.ValServerCertificate = m_tlsCheck;
        break;
    case kRadiusTtls:
        record.LoginName = m_ttlsLogin;
        record.Password = ScrambleSecret(m_ttlsPassword);
        record.ValServerCertificate = m_ttlsCheck;
        record.TTLSOrPeapSelection = m_ttlsProtocol;
        break;
    case kRadiusMd5:
    case kRadiusLeap:
        record.LoginName = m_md5Login;
        record.Password = ScrambleSecret(m_md5Password);
        break;
    case kRadiusPeap:
        record.LoginName = m_peapLogin;
        record.Password = ScrambleSecret(m_peapPassword);
        record.ValServerCertificate = m_peapCheck;
        record.TTLSOrPeapSelection = m_peapInner;
        break;
    default:
        break;
    }
    Accept();
}

void SecurityPopup::SaveWpaPsk()
{
    UpdateData(true);
    m_work.CurrentProfile.EncryptionType = m_pskCipher;
    m_work.CurrentProfile.Passphrase = ScrambleSecret(m_pskPhrase);
    Accept();
}

void SecurityPopup::Accept()
{
    m_secretsAccepted = true;
    EndDialog(kDialogOk);
}

} // namespace kesto
