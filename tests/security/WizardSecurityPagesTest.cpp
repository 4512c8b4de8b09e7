// The wizard's security pages in the main window: what each page is filled with from
// the wizard's record, what its Next stores (secrets scrambled, the EAP method as
// RadiusType), the WEP key check with the German messages, and the page switches.
#include "security/WizardSecurityPages.h"
#include "profiles/SecretScrambler.h"
#include "station/ProfileWizard.h"
#include "tests/station/ProfilePagesRig.h"

#include <ostream>

namespace kesto {
namespace {

using test::StoredProfile;

class WizardSecurityTest : public test::ProfilePagesTest {
protected:
    // Add a new infrastructure profile "Net" and choose security method on page 258.
    void AddWith(int method)
    {
        Click("ButtonAddPrf");
        NamePage("Net", "Cafe-Lindenhof", false);
        Set("SelectPrfStep2EMode", method);
        Click("ButtonNextPrfStep2");
    }
    void Edit(const std::string& name)
    {
        SelectProfileRow(RowOf(name));
        Click("ButtonEditPrf");
        Click("ButtonNextAdd");
        Click("ButtonNextPrfStep2");
    }
    void Type(std::string_view id, const std::string& text)
    {
        Set(id, text);
        rig.pages.Click(id, ElementEvent::KeyUp);
    }
    const ProfileRecord& Wizard() const { return rig.work.WizardProfile; }
};

TEST_F(WizardSecurityTest, WepPageStartsFromTheRecordAndTakes256BitKeys)
{
    Start();
    AddWith(1);
    ASSERT_EQ(Page(), kWepKeyPageId);
    EXPECT_EQ(ShownNumber("SelectWepAuthen"), 2) << "open system becomes automatic";
    EXPECT_EQ(ShownNumber("SelectWepWep"), 0);
    EXPECT_EQ(ShownNumber("SelectWepKey"), 0);
    EXPECT_EQ(Shown("KeyText"), "Taste 1:");
    EXPECT_EQ(Shown("TextWepKey"), "");
    EXPECT_EQ(ShownNumber("RadioGroupWep"), 1);

    Change("SelectWepWep", 2);
    const std::string key(29, 'k');
    Type("TextWepKey", key);
    Click("ButtonNextWep");
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    ASSERT_EQ(Page(), kConfirmPageId);
    EXPECT_EQ(Shown("TextPrfStep3Security"), "WEP");
    EXPECT_EQ(Wizard().KeyLength, 3);
    EXPECT_EQ(Wizard().NetWorkKey1, key);
    EXPECT_EQ(Wizard().AuthenticationMode, 1);
    EXPECT_EQ(Wizard().KeyMode, 1);

    // Back from the confirmation: the key field comes back empty.
    Click("ButtonBackPrfStep3");
    EXPECT_EQ(Page(), kWepKeyPageId);
    EXPECT_EQ(Shown("TextWepKey"), "");
    Click("ButtonNextWep");
    Click("ButtonNextPrfStep3");
    const ProfileRecord stored = rig.store.ReadProfile("Net");
    EXPECT_EQ(stored.NetWorkKey1, key);
    EXPECT_EQ(stored.DataEncryption, 2);
}

struct KeyCase {
    const char* name;
    int sizeIndex;
    int keyIndex;
    std::string key;
    std::string message; // "" = accepted
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class WepKeyCheck : public WizardSecurityTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(WepKeyCheck, GermanMessageForTheKeyInUse)
{
    const KeyCase& c = GetParam();
    Start();
    AddWith(1);
    Change("SelectWepWep", c.sizeIndex);
    Change("SelectWepKey", c.keyIndex);
    Type("TextWepKey", c.key);
    Click("ButtonNextWep");
    if (c.message.empty()) {
        EXPECT_EQ(Messages(), std::vector<std::string>{});
        EXPECT_EQ(Page(), kConfirmPageId);
    } else {
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(Page(), kWepKeyPageId);
    }
    EXPECT_EQ(Wizard().KeyInUse, c.keyIndex + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WepKeyCheck,
    testing::Values(
        KeyCase{"Short64", 0, 0, "abcd",
                "Der Schl\xC3\xBCssel muss eine L?nge von 5 oder 10 Zeichen haben. Bitte geben "
                "Sie den Schl\xC3\xBCssel 1 neu ein."},
        KeyCase{"NotHex128Key3", 1, 2, std::string(25, '0') + "g",
                "Der ausgetauschte Schl\xC3\xBCssel muss 26 Hexadezimalzeichen haben. Bitte geben "
                "Sie den Schl\xC3\xBCssel 3 neu ein."},
        KeyCase{"Hex64Key2", 0, 1, "0a1B2c3D4e", ""},
        KeyCase{"Text128", 1, 3, "thirteen-char", ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(WizardSecurityTest, EditedWepProfileShowsItsKeyInUseMasked)
{
    ProfileRecord wep = StoredProfile("Home", "WG-Kastanienallee", 1, 1);
    wep.KeyLength = 2;
    wep.KeyInUse = 3;
    wep.DataEncryption = 1;
    wep.NetWorkKey3 = std::string(26, 'A');
    Start({wep});
    Edit("Home");
    ASSERT_EQ(Page(), kWepKeyPageId);
    EXPECT_EQ(ShownNumber("SelectWepKey"), 2);
    EXPECT_EQ(Shown("KeyText"), "Taste 3:");
    EXPECT_EQ(Shown("TextWepKey"), "**********");
    EXPECT_EQ(ShownNumber("SelectWepWep"), 1);
    EXPECT_EQ(ShownNumber("SelectWepAuthen"), 1);
    // Next without touching the key: the stored key is checked and kept.
    Click("ButtonNextWep");
    EXPECT_EQ(Page(), kConfirmPageId);
    EXPECT_EQ(Wizard().NetWorkKey3, std::string(26, 'A'));
}

TEST_F(WizardSecurityTest, PassPhraseKeysOnThePassPhrasePage)
{
    ProfileRecord wep = StoredProfile("Home", "WG-Kastanienallee", 1, 1);
    wep.KeyMode = 0;
    wep.KeyLength = 2;
    Start({wep});
    Edit("Home");
    ASSERT_EQ(Page(), kWepPassPhrasePageId);
    EXPECT_EQ(ShownNumber("RadioGroupWep"), 0);
    Type("TextWepPassPhrase", "  Sonnenblume  ");
    EXPECT_EQ(Shown("TextWepKey"), "**********");
    EXPECT_EQ(Wizard().NetWorkKey1.size(), 26u);
    EXPECT_EQ(Wizard().NetWorkKey4, Wizard().NetWorkKey1);
    Click("ButtonNextWep");
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_EQ(Page(), kConfirmPageId);
    EXPECT_EQ(Wizard().KeyMode, 0);
}

struct EapCase {
    const char* name;
    int method;
    int page;
    const char* login;
    const char* password; // nullptr: the page has none
};

void PrintTo(const EapCase& c, std::ostream* os)
{
    *os << c.name;
}

class EapMethodPages : public WizardSecurityTest, public testing::WithParamInterface<EapCase> {};

TEST_P(EapMethodPages, SwitchShowsThePageAndNextStoresTheMethod)
{
    const EapCase& c = GetParam();
    Start();
    AddWith(4);
    ASSERT_EQ(Page(), kEapTlsPageId) << "no method stored yet: EAP-TLS";
    Change("SelectRadius", c.method);
    ASSERT_EQ(Page(), c.page);
    EXPECT_EQ(ShownNumber("SelectRadius"), c.method);
    Set(c.login, std::string("jonas"));
    if (c.password)
        Set(c.password, std::string("geheim 1"));
    Click(c.page == kEapMd5PageId    ? "ButtonNextEapMd5"
          : c.page == kEapPeapPageId ? "ButtonNextEapPeap"
          : c.page == kEapTlsPageId  ? "ButtonNextEapTls"
                                     : "ButtonNextEapTtls");
    ASSERT_EQ(Page(), kConfirmPageId);
    EXPECT_EQ(Shown("TextPrfStep3Security"), "RADIUS");
    EXPECT_EQ(Wizard().AuthenticationMode, 4);
    EXPECT_EQ(Wizard().RadiusType, c.method + 1);
    EXPECT_EQ(Wizard().LoginName, "jonas");
    if (c.password) {
        EXPECT_EQ(Wizard().Password, ScrambleSecret("geheim 1"));
        EXPECT_NE(Wizard().Password, "geheim 1");
    }
    Click("ButtonNextPrfStep3");
    EXPECT_EQ(rig.store.ReadProfile("Net").RadiusType, c.method + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EapMethodPages,
    testing::Values(EapCase{"Tls", 0, kEapTlsPageId, "TextTlsLoginName", nullptr},
                    EapCase{"Ttls", 1, kEapTtlsPageId, "TextTtlsLoginName", "TextTtlsPassword"},
                    EapCase{"Md5", 2, kEapMd5PageId, "TextMd5LoginName", "TextMd5Password"},
                    EapCase{"Peap", 3, kEapPeapPageId, "TextPeapLoginName", "TextPeapPassword"},
                    EapCase{"Leap", 4, kEapMd5PageId, "TextMd5LoginName", "TextMd5Password"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(WizardSecurityTest, TlsStoresNoPasswordTypedOnTheTtlsPage)
{
    Start();
    AddWith(4);
    Change("SelectRadius", 1);
    Set("TextTtlsPassword", std::string("ttls-secret"));
    Change("SelectRadius", 0);
    ASSERT_EQ(Page(), kEapTlsPageId);
    Click("ButtonNextEapTls");
    EXPECT_EQ(Wizard().RadiusType, 1);
    EXPECT_EQ(Wizard().Password, "");
}

TEST_F(WizardSecurityTest, LeapProfileStaysLeapOnTheSharedPage)
{
    ProfileRecord leap = StoredProfile("Uni", "Campus", 1, 4);
    leap.RadiusType = 5;
    leap.LoginName = "anna";
    leap.Password = ScrambleSecret("pw");
    Start({leap});
    Edit("Uni");
    ASSERT_EQ(Page(), kEapMd5PageId);
    EXPECT_EQ(ShownNumber("SelectRadius"), 4);
    EXPECT_EQ(Shown("TextMd5LoginName"), "anna");
    EXPECT_EQ(Shown("TextMd5Password"), "pw");
    // A change that reads no selection stays on the method shown.
    Change("SelectRadius", -1);
    EXPECT_EQ(Page(), kEapMd5PageId);
    Click("ButtonNextEapMd5");
    EXPECT_EQ(Wizard().RadiusType, 5);
    EXPECT_EQ(Wizard().Password, ScrambleSecret("pw"));
}

TEST_F(WizardSecurityTest, WpaPskStoresThePassPhraseScrambled)
{
    ProfileRecord psk = StoredProfile("Villa", "Villa-Sonne", 1, 2);
    psk.EncryptionType = 1;
    psk.Passphrase = ScrambleSecret("alt");
    Start({psk});
    Edit("Villa");
    ASSERT_EQ(Page(), kWpaPskPageId);
    EXPECT_EQ(ShownNumber("SelectPskEncryType"), 1);
    EXPECT_EQ(Shown("TextPskPassPhrase"), "alt");
    Set("TextPskPassPhrase", std::string("neue Phrase"));
    Click("ButtonNextWpaPsk");
    ASSERT_EQ(Page(), kConfirmPageId);
    Click("ButtonNextPrfStep3");
    const ProfileRecord stored = rig.store.ReadProfile("Villa");
    EXPECT_EQ(stored.AuthenticationMode, 2);
    EXPECT_EQ(stored.EncryptionType, 1);
    EXPECT_EQ(stored.Passphrase, ScrambleSecret("neue Phrase"));
    EXPECT_EQ(UnscrambleSecret(stored.Passphrase), "neue Phrase");
}

TEST_F(WizardSecurityTest, WpaRadiusLeadsToTheEapPageOfTheStoredMethod)
{
    ProfileRecord radius = StoredProfile("Amt", "Buergeramt", 1, 3);
    radius.RadiusType = 4;
    radius.EncryptionType = 1;
    radius.TTLSOrPeapSelection = 2;
    Start({radius});
    Edit("Amt");
    ASSERT_EQ(Page(), kWpaRadiusPageId);
    EXPECT_EQ(ShownNumber("SelectRadiusEncryType"), 1);
    Click("ButtonNextWpaRadius");
    ASSERT_EQ(Page(), kEapPeapPageId);
    EXPECT_EQ(ShownNumber("SelectPeapInnerEap"), 2);
    Click("ButtonBackEapPeap");
    EXPECT_EQ(Page(), kWpaRadiusPageId);
    Click("ButtonNextWpaRadius");
    Click("ButtonNextEapPeap");
    ASSERT_EQ(Page(), kConfirmPageId);
    EXPECT_EQ(Wizard().AuthenticationMode, 3);
    EXPECT_EQ(Wizard().RadiusType, 4);
    Click("ButtonBackPrfStep3");
    EXPECT_EQ(Page(), kEapPeapPageId);
    Click("ButtonBackEapPeap");
    Click("ButtonBackWpaRadius");
    EXPECT_EQ(Page(), kSecurityMethodPageId);
}

} // namespace
} // namespace kesto
