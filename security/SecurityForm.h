// SecurityForm: the security settings of a profile record on the pages that take them.
// Two sets of pages show the same form: the profile wizard's in the main window and the
// security pop-up's, whose element ids carry "Pop" after the element's kind
// ("TextPopMd5LoginName" where the wizard has "TextMd5LoginName"). The form holds the
// EAP methods with their pages, binds the pages' handlers (the WEP key entry, the
// method select, the buttons that store a page) and stores what a page shows into the
// record, the WEP key in use checked first. The window around it says what follows a
// stored page and where the back button of an EAP page leads.
#pragma once

#include "pages/PageMap.h"
#include "pages/PageSurface.h"
#include "platform/Dialogs.h"
#include "profiles/ProfileRecord.h"
#include "security/CertificateFile.h"
#include "security/PassphraseKeys.h"
#include "security/WepKeyEntry.h"
#include "security/WepKeyRules.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// The EAP method choice of the method select; RadiusType is the choice + 1.
enum class EapMethod { Tls = 0, Ttls = 1, Md5 = 2, Peap = 3, Leap = 4 };
inline constexpr int kEapMethodCount = 5;

inline constexpr int kWepKeyPageId = 240;        // the typed key chosen
inline constexpr int kWepPassPhrasePageId = 289; // the pass phrase chosen
inline constexpr int kEapMd5PageId = 241;        // EAP-MD5 and LEAP
inline constexpr int kEapPeapPageId = 242;
inline constexpr int kEapTlsPageId = 243;
inline constexpr int kEapTtlsPageId = 244;
inline constexpr int kWpaPskPageId = 245;
inline constexpr int kWpaRadiusPageId = 246;

inline constexpr int kPopupWepPageId = 248;
inline constexpr int kPopupEapMd5PageId = 249;
inline constexpr int kPopupEapPeapPageId = 250;
inline constexpr int kPopupEapTlsPageId = 251;
inline constexpr int kPopupEapTtlsPageId = 252;
inline constexpr int kPopupWpaPskPageId = 253;
inline constexpr int kPopupWpaRadiusPageId = 254;

// One set of the form's pages: their ids and the habits of the window showing them.
struct SecurityPageSet {
    // Follows the element's kind in the ids of the EAP pages and of every button.
    std::string_view prefix;
    // The verb of the buttons that store a page: "ButtonNextWep", "ButtonPopSaveWep".
    std::string_view store;
    std::span<const int> wepPages;
    int md5Page;
    int peapPage;
    int tlsPage;
    int ttlsPage;
    int wpaPskPage;
    int wpaRadiusPage;
    // The WPA cipher selects of the WPA-PSK and the WPA-RADIUS page.
    std::string_view pskCipher;
    std::string_view radiusCipher;
    // The radio group whose index is stored as KeyMode; "" leaves KeyMode as it is.
    std::string_view keyMode;
    WepMessageLanguage language;
    // The wait cursor shows while the WEP page is read for storing.
    bool waitCursorOnWepStore;
};

inline constexpr int kWizardWepPages[] = {kWepKeyPageId, kWepPassPhrasePageId};
inline constexpr int kPopupWepPages[] = {kPopupWepPageId};

inline constexpr SecurityPageSet kWizardPageSet{
    .prefix = "",
    .store = "Next",
    .wepPages = kWizardWepPages,
    .md5Page = kEapMd5PageId,
    .peapPage = kEapPeapPageId,
    .tlsPage = kEapTlsPageId,
    .ttlsPage = kEapTtlsPageId,
    .wpaPskPage = kWpaPskPageId,
    .wpaRadiusPage = kWpaRadiusPageId,
    .pskCipher = "SelectPskEncryType",
    .radiusCipher = "SelectRadiusEncryType",
    .keyMode = "RadioGroupWep",
    .language = WepMessageLanguage::German,
    .waitCursorOnWepStore = false,
};

inline constexpr SecurityPageSet kPopupPageSet{
    .prefix = "Pop",
    .store = "Save",
    .wepPages = kPopupWepPages,
    .md5Page = kPopupEapMd5PageId,
    .peapPage = kPopupEapPeapPageId,
    .tlsPage = kPopupEapTlsPageId,
    .ttlsPage = kPopupEapTtlsPageId,
    .wpaPskPage = kPopupWpaPskPageId,
    .wpaRadiusPage = kPopupWpaRadiusPageId,
    .pskCipher = "SelPskEncryType",
    .radiusCipher = "SelRadiusEncryType",
    .keyMode = "",
    .language = WepMessageLanguage::English,
    .waitCursorOnWepStore = true,
};

// The messages of the WPA-PSK and EAP pages (both sets of pages speak German here).
inline constexpr std::string_view kPassphraseLengthMessage =
    "Die Passphrase muss eine L\u00e4nge von 8 bis 63 Zeichen haben. Bitte geben Sie die "
    "Passphrase neu ein.";
inline constexpr std::string_view kPassphraseCharactersMessage =
    "Die Passphrase darf nur Buchstaben ohne Umlaute, Ziffern, Leerzeichen und Satzzeichen "
    "enthalten. Bitte geben Sie die Passphrase neu ein.";
inline constexpr std::string_view kServerNameMissingMessage =
    "Zur Pr\u00fcfung des Serverzertifikats wird der Name des Servers ben\u00f6tigt. Bitte "
    "geben Sie den Servernamen ein, am besten den genauen Namen des Servers (zum Beispiel "
    "radius.firma.de).";
inline constexpr std::string_view kServerNameInvalidMessage =
    "Der Servername muss aus mindestens zwei durch Punkte getrennten Teilen bestehen, deren "
    "letzter nicht nur aus Ziffern besteht, darf nur Buchstaben, Ziffern, Bindestriche und "
    "Punkte enthalten und h\u00f6chstens 253 Zeichen haben. Ein Name gilt auch f\u00fcr jeden "
    "Namen darunter: Am besten geben Sie den genauen Namen des Servers ein (zum Beispiel "
    "radius.firma.de).";

// The message a typed WPA pass phrase is refused with, or "" when it is taken: the WPA
// call's rule (PassphraseUsable), 8..63 printable ASCII characters, the space included.
std::string_view PassphraseRefusal(std::string_view passphrase);

// The index of the record's key in use (KeyInUse - 1); key 1 when KeyInUse names none.
int KeyIndexInUse(const ProfileRecord& record);

// What a WEP page's store button takes from its selects, with the keys already in the
// record's slots (typed, or made from a pass phrase).
struct WepSelection {
    int authentication = 0; // DataEncryption: 0 open system, 1 shared key, 2 automatic
    int keyIndex = 0;       // the key in use, 0..3
    int keySize = 1;        // KeyLength: 1 64-bit, 2 128-bit, 3 256-bit
    int keyMode = -1;       // KeyMode (0 pass phrase, 1 typed key); -1 leaves it
};

// The WEP page's store: the selection into the record, then the key in use checked with
// the messages of language. The refusal leaves the record as set (a page stays open
// showing what the user chose).
Refused StoreWepSelection(ProfileRecord& record, const WepSelection& selection,
                          WepMessageLanguage language);
// The WPA-PSK page's store: the cipher choice (0 TKIP, 1 AES) and the pass phrase,
// scrambled; a pass phrase PassphraseRefusal refuses is refused ("InvalidPassphrase")
// with the record left as it was.
Refused StorePskSelection(ProfileRecord& record, int cipher, std::string_view passPhrase);

// A WEP entry made without its page (the session service, kestoctl): the key in use as
// typed, or a pass phrase that makes the four keys as the page's pass-phrase field does.
struct TypedWep {
    std::string key;        // the key in use; taken when passPhrase is empty
    std::string passPhrase; // makes the keys (64 or 128 bits; 256-bit keys are never made)
    int keyIndex = 0;       // the key in use, 0..3
    int keySize = 0;        // KeyLength 1..3; 0: the size the key's length fits, else 64 bits
    int authentication = 0; // as WepSelection
};

// The typed entry into the record's key slots, then StoreWepSelection, as the WEP page
// of pages stores it: with its messages, and noting whether the keys were typed or made
// (KeyMode) where the pages have the choice (the wizard's; the pop-up leaves KeyMode
// alone).
Refused StoreTypedWep(ProfileRecord& record, const TypedWep& typed, PassphraseKeys& keys,
                      const SecurityPageSet& pages);

// The page whose settings a button stored.
enum class SecurityPage { Wep, Eap, WpaPsk };

struct SecurityFormSteps {
    // The page's settings are in the record (a WEP key after it passed its check).
    std::function<void(SecurityPage)> stored;
    // The back button of an EAP page.
    std::function<void()> eapBack;
};

class SecurityForm {
public:
    // surface shows the pages of the set and binds at least its Fields; record is what
    // the pages edit and outlives the form. keys: the application's one pass-phrase key
    // generator. caption: the title of message boxes (the application name).
    SecurityForm(const SecurityPageSet& pages, PageSurface& surface, ProfileRecord& record,
                 Dialogs& dialogs, PassphraseKeys& keys, std::string caption);

    void SetSteps(SecurityFormSteps steps) { m_steps = std::move(steps); }
    // How the EAP-TLS page's store examines the certificate file (the local file system
    // unless told otherwise).
    void SetFileProbe(FileProbe probe) { m_probe = std::move(probe); }
    // The WEP key entry, the method select of the EAP pages and the buttons that store
    // a page or lead back from an EAP page; the window binds its other buttons.
    void BindHandlers(PageMap& pages);

    // An element id of the set: the kind ("Text", "Button" ...), the prefix, then name.
    static std::string Id(const SecurityPageSet& pages, std::string_view kind,
                          std::string_view name);
    // The elements whose values the form exchanges with its pages, with their kinds.
    static std::vector<BoundElement> Fields(const SecurityPageSet& pages);

    // The record's EAP method choice: RadiusType - 1, EAP-TLS when that is no choice.
    int StoredEapChoice() const;
    // The members of the EAP page of choice show the record's login, secret and options.
    void FillEap(int choice);
    // Shows the EAP page of choice with the method select on choice.
    void ShowEapPage(int choice);
    // A WEP page was shown from the record: the key entry starts afresh.
    void WepPageFilled();

private:
    std::string Id(std::string_view kind, std::string_view name) const;
    // The page of an EAP method choice; any value outside 0..4 counts as EAP-TLS.
    int EapPage(int choice) const;
    int ReadEapChoice();
    void OnMethodChange();
    void StoreWep();
    void StoreEap();
    void StorePsk();

    const SecurityPageSet& m_pages;
    PageSurface& m_surface;
    ProfileRecord& m_record;
    Dialogs& m_dialogs;
    std::string m_caption;
    WepKeyEntry m_keyEntry;
    SecurityFormSteps m_steps;
    FileProbe m_probe = ProbeLocalFile;
};

} // namespace kesto
