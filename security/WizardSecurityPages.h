// WizardSecurityPages: the profile wizard's pages of each security method, the security
// form on the wizard's record: WEP (240 with the typed key chosen, 289 with the pass
// phrase chosen), the EAP methods (241 MD5 and LEAP, 242 PEAP, 243 TLS, 244 TTLS,
// switched by SelectRadius), WPA-PSK (245) and WPA with RADIUS (246, which leads on to
// the EAP page of the record's method). The wizard owns the flow around them and hands
// in what its steps do: confirm (fill the confirmation step and show it), back (the
// security method step) and abandon (leave the wizard for the profile page).
#pragma once

#include "pages/PageMap.h"
#include "pages/WindowShell.h"
#include "platform/Dialogs.h"
#include "profiles/WorkingRecords.h"
#include "security/PassphraseKeys.h"
#include "security/SecurityForm.h"

#include <functional>
#include <string>

namespace kesto {

// The security method of the wizard's step 2, equal to AuthenticationMode.
enum class WizardSecurity { None = 0, Wep = 1, WpaPsk = 2, WpaRadius = 3, Radius = 4 };

struct WizardSecurityFlow {
    std::function<void()> confirm;
    std::function<void()> back;
    std::function<void()> abandon;
};

class WizardSecurityPages {
public:
    // keys: the pass-phrase generator the application shares between its pages.
    // caption: the title of message boxes (the application name).
    WizardSecurityPages(WindowShell& shell, WorkingRecords& work, Dialogs& dialogs,
                        PassphraseKeys& keys, std::string caption);

    void SetFlow(WizardSecurityFlow flow) { m_flow = std::move(flow); }
    void BindHandlers(PageMap& pages);

    // Shows the page of method (WEP, WPA-PSK, WPA-RADIUS or RADIUS) filled from the
    // wizard's record. WEP also turns a DataEncryption of 0 into 2 (automatic).
    void Enter(WizardSecurity method);
    // Back from the confirmation step: the page the method's Next left, as the user
    // left it (the WEP key field emptied; WPA-RADIUS and RADIUS: the EAP page).
    void Reenter(WizardSecurity method);

private:
    void FillWep();
    void ShowWep();
    // The EAP page of the record's method, showing the record.
    void EnterEapPage();
    void Stored(SecurityPage page);
    void OnEapBack();

    WindowShell& m_shell;
    WorkingRecords& m_work;
    WizardSecurityFlow m_flow;
    SecurityForm m_form;
    WizardSecurity m_method = WizardSecurity::None;
};

} // namespace kesto
