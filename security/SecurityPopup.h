// SecurityPopup: the modal pop-up that takes the security settings of a network joined
// from the site survey, the security form on its WEP page (248) and its EAP (249-252),
// WPA-PSK (253) and WPA-RADIUS (254) pages. It edits a copy of the record it is given
// and hands the copy back only when a save button closed it. Secrets (passwords, the
// WPA pass phrase) go into the record scrambled.
#pragma once

#include "pages/HtmlDialog.h"
#include "pages/PageSurface.h"
#include "platform/Dialogs.h"
#include "profiles/ProfileRecord.h"
#include "security/PassphraseKeys.h"
#include "security/SecurityForm.h"

#include <optional>
#include <string>

namespace kesto {

class SecurityPopup : public HtmlDialog, private PageSurface {
public:
    // caption: the title of its message boxes (the application name). keys: the
    // application's one pass-phrase key generator.
    SecurityPopup(PageHost& host, Dialogs& dialogs, std::string caption, PassphraseKeys& keys,
                  int firstPageId = kPopupWepPageId, ManifestLookup manifest = PageElements);

    // Runs the pop-up modally on a copy of record. The copy as saved when a save button
    // accepted the settings and closed the pop-up; nothing when the user closed it
    // otherwise.
    std::optional<ProfileRecord> Run(const ProfileRecord& record);

protected:
    void OnInitDialog() override;
    void Push(PageMirror& page) override { m_fields.Push(page); }
    void Pull(const PageMirror& page) override { m_fields.Pull(page); }

private:
    // The form's window: this dialog's pages and members.
    void ShowPage(int pageId) override { HtmlDialog::ShowPage(pageId); }
    void UpdateData(bool fromPage) override { HtmlDialog::UpdateData(fromPage); }
    ElementBinding& binding() override { return m_fields; }
    PageMirror& page() override { return HtmlDialog::page(); }

    void Stored(SecurityPage page);

    ProfileRecord m_record;
    ElementBinding m_fields;
    SecurityForm m_form;
    bool m_saved = false;
};

} // namespace kesto
