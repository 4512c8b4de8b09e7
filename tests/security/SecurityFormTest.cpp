// The security form on both sets of its pages, each case played on the profile wizard
// (editing a stored profile in the main window) and on the security pop-up (run on a
// copy of the record): what each page shows of the record, what its store button puts
// into the record (secrets scrambled, the EAP method as RadiusType), the WEP key check
// with the form's messages, and where the pages lead.
#include "security/SecurityForm.h"

#include "drivers/passapp/PassphraseKeyLibrary.h"
#include "profiles/SecretScrambler.h"
#include "security/SecurityPopup.h"
#include "station/ProfileWizard.h"
#include "tests/support/ProfilePagesRig.h"
#include "tests/support/TempDir.h"

#include <optional>
#include <tuple>

namespace kesto {
namespace {

enum class Form { Wizard, Popup };

struct Result {
    bool stored;          // a store button took the page (the wizard: and saved the profile)
    ProfileRecord record; // as stored; else the wizard's record as typed, the pop-up's input
};

class SecurityFormTest : public test::ProfilePagesTest {
protected:
    bool popup() const { return form == Form::Popup; }
    // The element ids of the form's pages: "Pop" follows the kind in the pop-up's.
    std::string Id(std::string_view kind, std::string_view name) const
    {
        return std::string(kind).append(popup() ? "Pop" : "").append(name);
    }
    // A record of security method authenticationMode, stored as profile "Net" (with the
    // name of the 802.1X server that its certificate check needs, and a client certificate
    // file of the user's own for EAP-TLS).
    ProfileRecord Record(int authenticationMode) const
    {
        ProfileRecord r = test::StoredProfile("Net", "Cafe-Lindenhof", 1, authenticationMode);
        r.ServerName = "radius.example.org";
        r.Certificate = certificate.string();
        return r;
    }
    // The wizard edits record from its stored profile through to its security page;
    // the pop-up opens on the page of its method. user acts on that page.
    Result Open(const ProfileRecord& record, const std::function<void()>& user)
    {
        if (popup()) {
            const int eapPages[] = {kPopupEapTlsPageId, kPopupEapTtlsPageId, kPopupEapMd5PageId,
                                    kPopupEapPeapPageId, kPopupEapMd5PageId};
            const int pages[] = {0, kPopupWepPageId, kPopupWpaPskPageId, kPopupWpaRadiusPageId,
                                 eapPages[std::max(record.RadiusType - 1, 0)]};
            rig.pages.dialogScript = [&](test::FakePageHost&) { user(); };
            SecurityPopup dialog(rig.pages, rig.dialogs, "kesto-utility", keys,
                                 pages[record.AuthenticationMode]);
            const std::optional<ProfileRecord> saved = dialog.Run(record);
            return {saved.has_value(), saved.value_or(record)};
        }
        Start({record});
        SelectProfileRow(RowOf("Net"));
        Click("ButtonEditPrf");
        Click("ButtonNextAdd");
        Click("ButtonNextPrfStep2");
        user();
        if (Page() != kConfirmPageId)
            return {false, rig.work.WizardProfile};
        Click("ButtonNextPrfStep3");
        return {true, rig.store.ReadProfile("Net")};
    }

    // --- the user, on the form's surface ---
    void Put(std::string_view id, ElementValue value)
    {
        if (popup())
            rig.pages.SetInDialog(id, value);
        else
            Set(id, std::move(value));
    }
    void Do(std::string_view id, ElementEvent event = ElementEvent::Click)
    {
        if (popup())
            rig.pages.ClickInDialog(id, event);
        else
            rig.pages.Click(id, event);
    }
    void Type(std::string_view id, const std::string& text)
    {
        Put(id, text);
        Do(id, ElementEvent::KeyUp);
    }
    void Pick(std::string_view id, int index)
    {
        Put(id, index);
        Do(id, ElementEvent::Change);
    }
    // The button that stores page ("Wep", "EapTls", "WpaPsk").
    void Store(std::string_view page) { Do(Id("Button", popup() ? "Save" : "Next").append(page)); }
    int OnPage() const { return popup() ? rig.pages.dialog.pageId : Page(); }
    ElementValue Value(std::string_view id) const
    {
        const ElementValue* v = popup() ? rig.pages.DialogValue(id) : rig.pages.Value(id);
        return v ? *v : ElementValue(std::string("<absent>"));
    }

    // Pairs of an element id (or "Page": the page shown) and the value the user sees.
    template <typename... More>
    void Shows(std::string_view id, const ElementValue& value, const More&... more) const
    {
        EXPECT_EQ(id == "Page" ? ElementValue(OnPage()) : Value(id), value) << id;
        if constexpr (sizeof...(more) > 0)
            Shows(more...);
    }

    Form form = Form::Wizard;
    test::TempDir files;
    std::filesystem::path certificate = files.write("client.pem", "certificate and key");
    PassphraseKeyLibrary library;
    PassphraseKeys keys{library};
};

std::string FormName(Form form)
{
    return form == Form::Popup ? "Popup" : "Wizard";
}

const std::string kMask(kWepKeyMask);

class EachForm : public SecurityFormTest, public testing::WithParamInterface<Form> {
protected:
    void SetUp() override { form = GetParam(); }
};

template <typename Case>
class EachFormAndCase : public SecurityFormTest,
                        public testing::WithParamInterface<std::tuple<Form, Case>> {
protected:
    void SetUp() override { form = std::get<0>(this->GetParam()); }
    const Case& c() const { return std::get<1>(this->GetParam()); }
};

const auto kForms = testing::Values(Form::Wizard, Form::Popup);

template <typename Case> auto CasesOnEachForm(std::initializer_list<Case> cases)
{
    return testing::Combine(kForms, testing::ValuesIn(std::vector<Case>(cases)));
}

struct CaseName {
    template <typename P> std::string operator()(const testing::TestParamInfo<P>& p) const
    {
        return FormName(std::get<0>(p.param)) + "_" + std::get<1>(p.param).name;
    }
};

struct KeyCase {
    const char* name;
    int size; // SelectWepWep index
    int slot; // SelectWepKey index
    std::string key;
    std::string english; // "" when accepted
    std::string german;
};

using KeyCheck = EachFormAndCase<KeyCase>;

TEST_P(KeyCheck, ChecksOnlyTheKeyInUseWithTheFormsMessages)
{
    const KeyCase& k = c();
    int waits = -1;
    const Result r = Open(Record(1), [&] {
        Pick("SelectWepWep", k.size);
        Put("SelectWepAuthen", 1);
        Pick("SelectWepKey", k.slot);
        Type("TextWepKey", k.key);
        const int before = rig.dialogs.waitCursorShown;
        Store("Wep");
        waits = rig.dialogs.waitCursorShown - before;
        // A rejected key leaves the page open for the user to correct it.
        EXPECT_EQ(OnPage() == (popup() ? kPopupWepPageId : kWepKeyPageId) &&
                      (!popup() || rig.pages.dialogRunning),
                  !k.english.empty());
    });
    EXPECT_EQ(waits, popup() ? 1 : 0);
    const std::string& message = popup() ? k.english : k.german;
    EXPECT_EQ(r.stored, message.empty());
    EXPECT_EQ(rig.dialogs.messages.size(), message.empty() ? 0u : 1u);
    for (const auto& m : rig.dialogs.messages)
        EXPECT_EQ(m, (test::FakeDialogs::Message{message, "kesto-utility"}));
    if (r.stored || !popup()) {
        EXPECT_EQ(r.record.KeyLength, k.size + 1);
        EXPECT_EQ(r.record.KeyInUse, k.slot + 1);
        EXPECT_EQ(r.record.WepKey(k.slot), k.key);
        EXPECT_EQ(r.record.DataEncryption, 1);
        EXPECT_EQ(r.record.ProfileName, popup() ? "" : "Net");
    }
}

std::string Length(int chars, int hex, int key, bool german)
{
    const std::string n = std::to_string(key);
    if (!german)
        return "The length of Key should be " + std::to_string(chars) + " or " +
               std::to_string(hex) + ".Please re-enter Key " + n;
    return "Der Schl\xC3\xBCssel muss eine L?nge von " + std::to_string(chars) + " oder " +
           std::to_string(hex) + " Zeichen haben. Bitte geben Sie den Schl\xC3\xBCssel " + n +
           " neu ein.";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyCheck,
    CasesOnEachForm<KeyCase>({
        {"Characters64", 0, 0, "ab#d!", "", ""},
        {"Hex64Key2", 0, 1, "0a1B2c3D4e", "", ""},
        {"Hex128Key2", 1, 1, "0123456789abcdef0123456789", "", ""},
        {"Characters128Key4", 1, 3, "thirteen-char", "", ""},
        {"Characters256", 2, 0, std::string(29, 'k'), "", ""},
        {"TooShort64", 0, 0, "1234", Length(5, 10, 1, false), Length(5, 10, 1, true)},
        {"NotHex128Key3", 1, 2, "0123456789abcdef012345678Z",
         "Shared key should be 26 hexadecimal digits.Please re-enter Key 3",
         "Der ausgetauschte Schl\xC3\xBCssel muss 26 Hexadezimalzeichen haben. Bitte geben "
         "Sie den Schl\xC3\xBCssel 3 neu ein."},
        {"Empty256Key4", 2, 3, "", Length(29, 58, 4, false), Length(29, 58, 4, true)},
        {"MaskTypedInto", 0, 0, "**********a", Length(5, 10, 1, false), Length(5, 10, 1, true)},
    }),
    CaseName());

struct EapCase {
    const char* name;
    int method; // the method select's index
    int wizardPage;
    int popupPage;
    const char* page;  // the name the page's ids carry
    bool password;     // else the record keeps none
    bool check;        // validate the server certificate
    const char* inner; // the inner method select, or ""
};

using EapMethodPages = EachFormAndCase<EapCase>;

TEST_P(EapMethodPages, TheMethodSelectShowsItsPageAndTheStoreKeepsTheMethod)
{
    const EapCase& e = c();
    ProfileRecord record = Record(4);
    record.Password = ScrambleSecret("alt");
    const Result r = Open(record, [&] {
        ASSERT_EQ(OnPage(), popup() ? kPopupEapTlsPageId : kEapTlsPageId) << "none stored: TLS";
        Pick(Id("Select", "Radius"), e.method);
        ASSERT_EQ(OnPage(), popup() ? e.popupPage : e.wizardPage);
        EXPECT_EQ(Value(Id("Select", "Radius")), ElementValue(e.method));
        Put(Id("Text", e.page) + "LoginName", std::string("jonas"));
        if (e.password)
            Put(Id("Text", e.page) + "Password", std::string("geheim 1"));
        if (e.check)
            Put(Id("Checkbox", e.page), 0);
        if (*e.inner)
            Put(Id("Select", e.inner), 2);
        Store(std::string("Eap") + e.page);
    });
    ASSERT_TRUE(r.stored);
    EXPECT_EQ(r.record.AuthenticationMode, 4);
    EXPECT_EQ(r.record.RadiusType, e.method + 1);
    EXPECT_EQ(r.record.LoginName, "jonas");
    EXPECT_EQ(r.record.Password, e.password ? ScrambleSecret("geheim 1") : "");
    EXPECT_NE(r.record.Password, "geheim 1");
    EXPECT_EQ(r.record.ValServerCertificate, e.check ? 0 : 1);
    EXPECT_EQ(r.record.TTLSOrPeapSelection, *e.inner ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, EapMethodPages,
    CasesOnEachForm<EapCase>({
        {"Tls", 0, kEapTlsPageId, kPopupEapTlsPageId, "Tls", false, true, ""},
        {"Ttls", 1, kEapTtlsPageId, kPopupEapTtlsPageId, "Ttls", true, true, "TtlsProtocal"},
        {"Md5", 2, kEapMd5PageId, kPopupEapMd5PageId, "Md5", true, false, ""},
        {"Peap", 3, kEapPeapPageId, kPopupEapPeapPageId, "Peap", true, true, "PeapInnerEap"},
        {"Leap", 4, kEapMd5PageId, kPopupEapMd5PageId, "Md5", true, false, ""},
    }),
    CaseName());

TEST_P(EachForm, PassPhraseKeysGoIntoTheRecord)
{
    ProfileRecord record = Record(1);
    record.KeyMode = 0;
    record.KeyLength = 2;
    const Result r = Open(record, [&] {
        if (!popup()) // the page of the pass-phrase choice
            Shows("Page", kWepPassPhrasePageId, "RadioGroupWep", 0);
        Type("TextWepPassPhrase", "  Sonnenblume  ");
        EXPECT_EQ(Value("TextWepKey"), ElementValue(kMask));
        Do("TextWepKey", ElementEvent::KeyUp); // Tab out of the masked field stores nothing
        Store("Wep");
    });
    ASSERT_TRUE(r.stored);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    PassphraseKeys expected(library);
    expected.GeneratePassphraseKeys("Sonnenblume", 2);
    for (int key = 0; key < kWepKeyCount; ++key)
        EXPECT_EQ(r.record.WepKey(key), expected.Keys()[0]);
    EXPECT_EQ(r.record.WepKey(0).size(), 26u);
    EXPECT_EQ(r.record.KeyLength, 2);
    EXPECT_EQ(r.record.KeyMode, 0);
    EXPECT_EQ(r.record.DataEncryption, popup() ? 0 : 2) << "the wizard's open system: automatic";
}

// The wizard shows the key in use, the pop-up always key 1; a key left alone is checked
// and kept. Back from the wizard's confirmation the key field is empty.
TEST_P(EachForm, KeyLeftAloneIsCheckedAndKept)
{
    ProfileRecord record = Record(1);
    record.KeyLength = 2;
    record.KeyInUse = 3;
    record.DataEncryption = 1;
    record.NetWorkKey1 = "thirteen-char";
    record.NetWorkKey3 = std::string(26, 'A');
    const Result r = Open(record, [&] {
        Shows("SelectWepAuthen", 1, "SelectWepWep", 1, "TextWepKey", kMask);
        if (popup())
            Shows("Page", kPopupWepPageId, "SelectWepKey", 0);
        else
            Shows("Page", kWepKeyPageId, "SelectWepKey", 2, "KeyText", "Taste 3:", "RadioGroupWep",
                  1);
        Store("Wep");
        if (popup())
            return;
        EXPECT_EQ(Shown("TextPrfStep3Security"), "WEP");
        Click("ButtonBackPrfStep3");
        Shows("Page", kWepKeyPageId, "TextWepKey", std::string());
        Store("Wep");
    });
    EXPECT_TRUE(r.stored);
    EXPECT_EQ(r.record.KeyInUse, popup() ? 1 : 3);
    EXPECT_EQ(r.record.DataEncryption, 1);
    EXPECT_EQ(r.record.NetWorkKey1, "thirteen-char");
    EXPECT_EQ(r.record.NetWorkKey3, std::string(26, 'A'));
}

TEST_P(EachForm, WpaPskStoresThePassPhraseScrambled)
{
    ProfileRecord record = Record(2);
    record.EncryptionType = 1;
    record.Passphrase = ScrambleSecret("alt");
    const std::string cipher = popup() ? "SelPskEncryType" : "SelectPskEncryType";
    const Result r = Open(record, [&] {
        // The pop-up starts on TKIP and an empty field, the wizard shows the record.
        Shows(cipher, popup() ? 0 : 1, Id("Text", "PskPassPhrase"),
              std::string(popup() ? "" : "alt"));
        Put(cipher, 1);
        Put(Id("Text", "PskPassPhrase"), std::string("neue Phrase"));
        Store("WpaPsk");
    });
    ASSERT_TRUE(r.stored);
    EXPECT_EQ(r.record.AuthenticationMode, 2);
    EXPECT_EQ(r.record.EncryptionType, 1);
    EXPECT_EQ(r.record.Passphrase, ScrambleSecret("neue Phrase"));
    EXPECT_EQ(UnscrambleSecret(r.record.Passphrase), "neue Phrase");
}

// A pass phrase the WPA call would refuse would fail every join without a word: the page
// says so and stays open.
struct PassPhraseCase {
    const char* name;
    std::string phrase;
    std::string_view message; // empty when taken
};

using PassPhraseCheck = EachFormAndCase<PassPhraseCase>;

TEST_P(PassPhraseCheck, IsCheckedOnThePage)
{
    const PassPhraseCase& p = c();
    const Result r = Open(Record(2), [&] {
        Put(Id("Text", "PskPassPhrase"), p.phrase);
        Store("WpaPsk");
        if (!p.message.empty()) {
            Shows("Page", popup() ? kPopupWpaPskPageId : kWpaPskPageId);
            EXPECT_TRUE(!popup() || rig.pages.dialogRunning) << "the pop-up stays open";
        }
    });
    EXPECT_EQ(r.stored, p.message.empty());
    if (p.message.empty()) {
        EXPECT_TRUE(rig.dialogs.messages.empty());
        EXPECT_EQ(UnscrambleSecret(r.record.Passphrase), p.phrase);
    } else {
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_EQ(rig.dialogs.messages[0],
                  (test::FakeDialogs::Message{std::string(p.message), "kesto-utility"}));
        EXPECT_EQ(rig.store.ReadProfile("Net").Passphrase, Record(2).Passphrase);
    }
}

INSTANTIATE_TEST_SUITE_P(Phrases, PassPhraseCheck,
                         CasesOnEachForm<PassPhraseCase>({
                             {"Shortest", "12345678", ""},
                             {"Longest", std::string(63, 'p'), ""},
                             {"Punctuation", "!#$%&'()*+,-./:;<=>?@[]^_`{|}~", ""},
                             {"Empty", "", kPassphraseLengthMessage},
                             {"SevenCharacters", "1234567", kPassphraseLengthMessage},
                             {"SixtyFourCharacters", std::string(64, 'p'),
                              kPassphraseLengthMessage},
                             {"SpacesAtTheEnds", " neue Phrase ", ""},
                             {"WithATab", "neue\tPhrase", kPassphraseCharactersMessage},
                             {"WithAnUmlaut",
                              "Gr\xC3\xBC\xC3\x9F"
                              "e-aus-Bonn",
                              kPassphraseCharactersMessage},
                         }),
                         CaseName());

// The server certificate is checked against the name the server must carry: a check
// without a usable name is refused on the page, which stays open.
struct ServerNameCase {
    const char* name;
    int method; // the method select's index: 0 TLS, 1 TTLS, 3 PEAP
    int check;
    std::string typed;
    std::string_view message; // empty when taken
    const char* stored;
};

using ServerNameCheck = EachFormAndCase<ServerNameCase>;

TEST_P(ServerNameCheck, IsCheckedOnTheEapPagesThatValidate)
{
    const ServerNameCase& s = c();
    const char* page = s.method == 0 ? "Tls" : s.method == 1 ? "Ttls" : "Peap";
    const int wizardPages[] = {kEapTlsPageId, kEapTtlsPageId, 0, kEapPeapPageId};
    const int popupPages[] = {kPopupEapTlsPageId, kPopupEapTtlsPageId, 0, kPopupEapPeapPageId};
    ProfileRecord record = Record(4);
    record.RadiusType = s.method + 1;
    const Result r = Open(record, [&] {
        if (!popup()) // the wizard shows the stored name
            Shows(Id("Text", page) + "ServerName", std::string("radius.example.org"));
        Put(Id("Checkbox", page), s.check);
        Put(Id("Text", page) + "ServerName", s.typed);
        Store(std::string("Eap") + page);
        if (!s.message.empty())
            Shows("Page", (popup() ? popupPages : wizardPages)[s.method]);
    });
    EXPECT_EQ(r.stored, s.message.empty());
    if (s.message.empty()) {
        EXPECT_TRUE(rig.dialogs.messages.empty());
        EXPECT_EQ(r.record.ServerName, s.stored);
        EXPECT_EQ(r.record.ValServerCertificate, s.check);
    } else {
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_EQ(rig.dialogs.messages[0].text, s.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ServerNameCheck,
    CasesOnEachForm<ServerNameCase>({
        {"TypedOnPeap", 3, 1, "  radius.corp.example ", "", "radius.corp.example"},
        {"MissingOnTls", 0, 1, "", kServerNameMissingMessage, ""},
        {"NotADnsNameOnTtls", 1, 1, "radius server", kServerNameInvalidMessage, ""},
        // One label names every server below it; a number is no top-level domain.
        {"OneLabelOnPeap", 3, 1, "de", kServerNameInvalidMessage, ""},
        {"NumericLastLabelOnTtls", 1, 1, "10.0.0.1", kServerNameInvalidMessage, ""},
        {"NumericFirstLabelOnTls", 0, 1, "123.example", "", "123.example"},
        {"NotNeededWithoutTheCheck", 3, 0, "", "", ""},
    }),
    CaseName());

// The client certificate the TLS page shows goes to a daemon that runs as root: only an
// absolute, printable path of a regular file that the user owns and can read is stored;
// otherwise the page says why and stays open.
struct CertificateCase {
    const char* name;
    std::function<std::string(const test::TempDir&)> path;
    std::string_view message; // empty when taken
};

using CertificateCheck = EachFormAndCase<CertificateCase>;

TEST_P(CertificateCheck, IsCheckedOnTheTlsPage)
{
    ProfileRecord record = Record(4);
    record.Certificate = c().path(files);
    const Result r = Open(record, [&] {
        Store("EapTls");
        if (!c().message.empty())
            Shows("Page", popup() ? kPopupEapTlsPageId : kEapTlsPageId);
    });
    EXPECT_EQ(r.stored, c().message.empty());
    if (c().message.empty()) {
        EXPECT_TRUE(rig.dialogs.messages.empty());
        EXPECT_EQ(r.record.Certificate, record.Certificate);
        return;
    }
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, c().message);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CertificateCheck,
    CasesOnEachForm<CertificateCase>({
        {"OwnReadableFile",
         [](const test::TempDir& d) { return d.write("mine.pem", "pem").string(); }, ""},
        {"None", [](const test::TempDir&) { return std::string(); }, kCertificatePathMessage},
        {"Relative", [](const test::TempDir&) { return std::string("client.pem"); },
         kCertificatePathMessage},
        {"WithANewline", [](const test::TempDir& d) { return d.write("a\nb.pem", "pem").string(); },
         kCertificatePathMessage},
        {"WithAQuote", [](const test::TempDir& d) { return d.write("a\"b.pem", "pem").string(); },
         kCertificatePathMessage},
        {"Missing", [](const test::TempDir& d) { return d.file("gone.pem").string(); },
         kCertificateFileMessage},
        {"AFolder", [](const test::TempDir& d) { return d.path().string(); },
         kCertificateFileMessage},
        {"ALinkToAnOwnFile",
         [](const test::TempDir& d) {
             std::filesystem::create_symlink(d.write("target.pem", "pem"), d.file("link.pem"));
             return d.file("link.pem").string();
         },
         kCertificateFileMessage},
    }),
    CaseName());

TEST_P(EachForm, TlsStoresNoPasswordTypedOnTheTtlsPage)
{
    const Result r = Open(Record(4), [&] {
        Pick(Id("Select", "Radius"), 1);
        Put(Id("Text", "TtlsPassword"), std::string("ttls-secret"));
        Pick(Id("Select", "Radius"), 0);
        ASSERT_EQ(OnPage(), popup() ? kPopupEapTlsPageId : kEapTlsPageId);
        Put(Id("Text", "TlsLoginName"), std::string("bert"));
        Store("EapTls");
    });
    ASSERT_TRUE(r.stored);
    EXPECT_EQ(r.record.RadiusType, 1);
    EXPECT_EQ(r.record.LoginName, "bert");
    EXPECT_EQ(r.record.Password, "");
}

TEST_P(EachForm, LeapStaysLeapOnTheSharedPage)
{
    ProfileRecord record = Record(4);
    record.RadiusType = 5;
    record.LoginName = "anna";
    record.Password = ScrambleSecret("pw");
    const int md5Page = popup() ? kPopupEapMd5PageId : kEapMd5PageId;
    const Result r = Open(record, [&] {
        // The wizard's page shows the record's login; the pop-up's starts empty.
        Shows("Page", md5Page, Id("Select", "Radius"), 4, Id("Text", "Md5LoginName"),
              std::string(popup() ? "" : "anna"), Id("Text", "Md5Password"),
              std::string(popup() ? "" : "pw"));
        // A change that reads no selection stays on the method shown.
        Pick(Id("Select", "Radius"), -1);
        Shows("Page", md5Page, Id("Select", "Radius"), 4);
        Store("EapMd5");
    });
    ASSERT_TRUE(r.stored);
    EXPECT_EQ(r.record.RadiusType, 5);
    EXPECT_EQ(r.record.Password, ScrambleSecret(popup() ? "" : "pw"));
}

// The WPA-RADIUS page leads on to an EAP page, which leads back to it: the wizard's to
// the page of the stored method, the pop-up's (which takes the cipher) to EAP-TTLS.
TEST_P(EachForm, WpaRadiusLeadsToAnEapPageAndBack)
{
    ProfileRecord record = Record(3);
    record.RadiusType = 4;
    record.EncryptionType = popup() ? 0 : 1;
    record.TTLSOrPeapSelection = 2;
    const std::string cipher = popup() ? "SelRadiusEncryType" : "SelectRadiusEncryType";
    const std::string next = popup() ? "ButtonPopNextWpaRadius" : "ButtonNextWpaRadius";
    const int eapPage = popup() ? kPopupEapTtlsPageId : kEapPeapPageId;
    const int radiusPage = popup() ? kPopupWpaRadiusPageId : kWpaRadiusPageId;
    const Result r = Open(record, [&] {
        Shows("Page", radiusPage, cipher, popup() ? 0 : 1);
        Put(cipher, 1);
        Do(next);
        Shows("Page", eapPage, Id("Select", "Radius"), popup() ? 1 : 3,
              popup() ? "SelectPopTtlsProtocal" : "SelectPeapInnerEap", popup() ? 0 : 2);
        Do(Id("Button", popup() ? "BackEapTtls" : "BackEapPeap"));
        Shows("Page", radiusPage);
        if (!popup()) { // and on back to the security method step
            Click("ButtonBackWpaRadius");
            Shows("Page", kSecurityMethodPageId);
            Click("ButtonNextPrfStep2");
        }
        Do(next);
        Store(popup() ? "EapTtls" : "EapPeap");
        if (!popup()) { // back from the confirmation: the EAP page
            Click("ButtonBackPrfStep3");
            Shows("Page", eapPage);
            Store("EapPeap");
        }
    });
    ASSERT_TRUE(r.stored);
    EXPECT_EQ(r.record.AuthenticationMode, 3);
    EXPECT_EQ(r.record.EncryptionType, 1);
    EXPECT_EQ(r.record.RadiusType, popup() ? 2 : 4);
}

TEST_P(EachForm, LeavingUnstoredKeepsTheRecord)
{
    const ProfileRecord record = Record(1);
    const Result r = Open(record, [&] {
        // The pop-up shows the record's open system, the wizard turns it into automatic.
        Shows("SelectWepAuthen", popup() ? 0 : 2, "SelectWepWep", 0, "SelectWepKey", 0,
              "TextWepKey", "");
        if (!popup())
            Shows("KeyText", "Taste 1:");
        Type("TextWepKey", "12345");
        if (!popup())
            Click("ButtonExitWep");
    });
    EXPECT_FALSE(r.stored);
    EXPECT_EQ(popup() ? r.record : rig.store.ReadProfile("Net"), record);
}

INSTANTIATE_TEST_SUITE_P(Forms, EachForm, kForms,
                         [](const testing::TestParamInfo<Form>& p) { return FormName(p.param); });

} // namespace
} // namespace kesto
