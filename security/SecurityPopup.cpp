// The security pop-up (see SecurityPopup.h).
#include "security/SecurityPopup.h"

#include "pages/BoundChoice.h"

#include <utility>

namespace kesto {

namespace {

constexpr int kKeySizeOptions = 3;
constexpr int kAuthenticationOptions = 3;

int IndexOr0(std::int32_t value, int optionCount)
{
    return value >= 0 && value < optionCount ? value : 0;
}

} // namespace

SecurityPopup::SecurityPopup(PageHost& host, Dialogs& dialogs, std::string caption,
                             PassphraseKeys& keys, int firstPageId, ManifestLookup manifest)
    : HtmlDialog(host, firstPageId, std::move(manifest)),
      m_fields(SecurityForm::Fields(kPopupPageSet)),
      m_form(kPopupPageSet, *this, m_record, dialogs, keys, std::move(caption))
{
    m_form.SetSteps({[this](SecurityPage page) { Stored(page); },
                     [this] {
                         UpdateData(true);
                         ShowPage(kPopupWpaRadiusPageId);
                     }});
    m_form.BindHandlers(handlers());
    // The pop-up's WPA-RADIUS page takes the cipher and leads on to EAP-TTLS.
    AddHandler(kPopupWpaRadiusPageId, "ButtonPopNextWpaRadius", ElementEvent::Click, [this] {
        UpdateData(true);
        m_record.EncryptionType =
            BoundChoice(m_fields, page(), kPopupPageSet.radiusCipher, m_record.EncryptionType);
        m_form.ShowEapPage(static_cast<int>(EapMethod::Ttls));
    });
}

std::optional<ProfileRecord> SecurityPopup::Run(const ProfileRecord& record)
{
    m_record = record;
    m_saved = false;
    DoModal();
    if (!m_saved)
        return std::nullopt;
    return m_record;
}

void SecurityPopup::OnInitDialog()
{
    // The size select shows the record's key length and the authentication select its
    // WEP authentication algorithm; the pop-up always starts on key 1.
    m_fields.SetNumber("SelectWepWep", IndexOr0(m_record.KeyLength - 1, kKeySizeOptions));
    m_fields.SetNumber("SelectWepAuthen",
                       IndexOr0(m_record.DataEncryption, kAuthenticationOptions));
    m_fields.SetNumber("SelectWepKey", 0);
    m_fields.SetText("TextWepKey", WepKeyEntry::FilledKeyText(m_record, 0));
    // The EAP pages pre-select their own method; the member keeps the user's choice
    // (LEAP shows the EAP-MD5 page and must stay LEAP).
    m_fields.SetNumber(SecurityForm::Id(kPopupPageSet, "Select", "Radius"),
                       m_form.StoredEapChoice());
    m_fields.SetNumber(kPopupPageSet.pskCipher, 0);
    m_fields.SetNumber(kPopupPageSet.radiusCipher, 0);
}

void SecurityPopup::Stored(SecurityPage page)
{
    // What the pop-up sets up is a network to join, not a stored profile.
    if (page == SecurityPage::Wep)
        m_record.ProfileName.clear();
    m_saved = true;
    EndDialog(kDialogOk);
}

} // namespace kesto
