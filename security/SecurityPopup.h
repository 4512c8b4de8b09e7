// SecurityPopup: the modal pop-up that takes the security settings of a network joined
// from the site survey, on its WEP page (248) and its EAP (249-252), WPA-PSK (253) and
// WPA-RADIUS (254) pages. Its handlers edit the current record (WorkingRecords::
// CurrentProfile) as the user types; the caller keeps a copy and discards the changes
// unless a save button closed the pop-up. Secrets (passwords, the WPA pass phrase) go
// into the record scrambled.
#pragma once

#include "pages/HtmlDialog.h"
#include "platform/Dialogs.h"
#include "profiles/WorkingRecords.h"
#include "security/PassphraseKeys.h"
#include "security/WepKeyEntry.h"

#include <string>

namespace kesto {

inline constexpr int kPopupWepPageId = 248;
inline constexpr int kPopupEapMd5PageId = 249;
inline constexpr int kPopupEapPeapPageId = 250;
inline constexpr int kPopupEapTlsPageId = 251;
inline constexpr int kPopupEapTtlsPageId = 252;
inline constexpr int kPopupWpaPskPageId = 253;
inline constexpr int kPopupWpaRadiusPageId = 254;

class SecurityPopup : public HtmlDialog {
public:
    // caption: the title of its message boxes (the application name). keys: the
    // application's one pass-phrase key generator.
    SecurityPopup(PageHost& host, Dialogs& dialogs, std::string caption, WorkingRecords& work,
                  PassphraseKeys& keys, int firstPageId = kPopupWepPageId,
                  ManifestLookup manifest = PageElements);

    // Runs the pop-up modally. True when a save button accepted the settings and closed
    // it; false when the user closed it otherwise (CurrentProfile then holds whatever
    // was typed, for the caller to discard).
    bool Run();
    bool secretsAccepted() const { return m_secretsAccepted; }

protected:
    void OnInitDialog() override;
    void Push(PageMirror& page) override;
    void Pull(const PageMirror& page) override;

private:
    void BindWepPage();
    void BindEapPages();
    void SaveWep();
    void SaveEap();
    void SaveWpaPsk();
    void ShowMethodPage();
    void Accept();

    Dialogs& m_dialogs;
    std::string m_caption;
    WorkingRecords& m_work;
    WepKeyEntry m_keyEntry;
    bool m_secretsAccepted = false;

    // Members exchanged with the pages (select indexes, check boxes, texts).
    int m_keySize = 0;
    int m_authentication = 0;
    int m_keySelect = 0;
    std::string m_keyText;
    int m_radius = 0;
    std::string m_md5Login, m_md5Password;
    std::string m_peapLogin, m_peapPassword;
    int m_peapCheck = 0, m_peapInner = 0;
    std::string m_tlsLogin;
    int m_tlsCheck = 0;
    std::string m_ttlsLogin, m_ttlsPassword;
    int m_ttlsCheck = 0, m_ttlsProtocol = 0;
    int m_pskCipher = 0;
    std::string m_pskPhrase;
    int m_radiusCipher = 0;
};

} // namespace kesto
