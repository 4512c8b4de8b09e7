// The security pop-up on its real pages: what each save puts into the current record,
// the English key messages, and the pages' own pre-selections not overriding the user.
#include "security/SecurityPopup.h"

#include "drivers/passapp/PassphraseKeyLibrary.h"
#include "profiles/SecretScrambler.h"
#include "tests/app/FakePageHost.h"
#include "tests/support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

class SecurityPopupTest : public ::testing::Test {
protected:
    bool Run(int firstPage, std::function<void(test::FakePageHost&)> script)
    {
        host.dialogScript = std::move(script);
        SecurityPopup popup(host, dialogs, "kesto-utility", work, keys, firstPage);
        return popup.Run();
    }

    test::FakePageHost host;
    test::FakeDialogs dialogs;
    WorkingRecords work;
    PassphraseKeyLibrary library;
    PassphraseKeys keys{library};
};

TEST_F(SecurityPopupTest, OpensOnSixtyFourBitsOpenSystemAndKeyOne)
{
    work.CurrentProfile.NetWorkKey1 = "abcde";
    Run(kPopupWepPageId, [](test::FakePageHost& pages) {
        EXPECT_EQ(*pages.DialogValue("SelectWepWep"), ElementValue(0));
        EXPECT_EQ(*pages.DialogValue("SelectWepAuthen"), ElementValue(0));
        EXPECT_EQ(*pages.DialogValue("SelectWepKey"), ElementValue(0));
        EXPECT_EQ(*pages.DialogValue("TextWepKey"), ElementValue(std::string(kWepKeyMask)));
    });
}

struct KeyCase {
    const char* name;
    int size; // SelectWepWep index
    int slot; // SelectWepKey index
    const char* key;
    const char* message; // "" when accepted
};

class PopupWepSaveTest : public SecurityPopupTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PopupWepSaveTest, ChecksTheKeyInUseWithEnglishMessages)
{
    const KeyCase& c = GetParam();
    work.CurrentProfile.ProfileName = "Stale";
    const bool accepted = Run(kPopupWepPageId, [&](test::FakePageHost& pages) {
        pages.SetInDialog("SelectWepWep", c.size);
        pages.SetInDialog("SelectWepAuthen", 1);
        pages.SetInDialog("SelectWepKey", c.slot);
        pages.TypeInDialog("TextWepKey", c.key);
        pages.ClickInDialog("ButtonPopSaveWep");
        EXPECT_EQ(pages.dialogRunning, *c.message != '\0');
    });
    EXPECT_EQ(accepted, *c.message == '\0');
    if (*c.message == '\0') {
        EXPECT_TRUE(dialogs.messages.empty());
    } else {
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, c.message);
        EXPECT_EQ(dialogs.messages[0].caption, "kesto-utility");
    }
    const ProfileRecord& r = work.CurrentProfile;
    EXPECT_EQ(r.ProfileName, "");
    EXPECT_EQ(r.KeyLength, c.size + 1);
    EXPECT_EQ(r.KeyInUse, c.slot + 1);
    EXPECT_EQ(r.DataEncryption, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PopupWepSaveTest,
    ::testing::Values(KeyCase{"CharacterKey64", 0, 0, "ab#d!", ""},
                      KeyCase{"HexKey128InSlot2", 1, 1, "0123456789abcdef0123456789", ""},
                      KeyCase{"TooShort64", 0, 0, "1234",
                              "The length of Key should be 5 or 10.Please re-enter Key 1"},
                      KeyCase{"NotHex128Slot3", 1, 2, "0123456789abcdef012345678Z",
                              "Shared key should be 26 hexadecimal digits.Please re-enter Key 3"},
                      KeyCase{"Empty256Slot4", 2, 3, "",
                              "The length of Key should be 29 or 58.Please re-enter Key 4"},
                      KeyCase{"MaskTypedInto", 0, 0, "**********a",
                              "The length of Key should be 5 or 10.Please re-enter Key 1"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(SecurityPopupTest, PassPhraseKeysGoIntoTheCurrentRecord)
{
    const bool accepted = Run(kPopupWepPageId, [](test::FakePageHost& pages) {
        pages.SetInDialog("SelectWepWep", 1);
        pages.TypeInDialog("TextWepPassPhrase", "foobar");
        EXPECT_EQ(*pages.DialogValue("TextWepKey"), ElementValue(std::string(kWepKeyMask)));
        // Tab out of the masked key field: its key-up stores nothing.
        pages.ClickInDialog("TextWepKey", ElementEvent::KeyUp);
        pages.ClickInDialog("ButtonPopSaveWep");
    });
    EXPECT_TRUE(accepted);
    PassphraseKeys expected(library);
    expected.GeneratePassphraseKeys("foobar", 2);
    EXPECT_EQ(work.CurrentProfile.NetWorkKey1, expected.Keys()[0]);
    EXPECT_EQ(work.CurrentProfile.NetWorkKey4, expected.Keys()[0]);
    EXPECT_EQ(work.CurrentProfile.KeyLength, 2);
}

TEST_F(SecurityPopupTest, WpaPskStoresThePassPhraseScrambled)
{
    EXPECT_TRUE(Run(kPopupWpaPskPageId, [](test::FakePageHost& pages) {
        pages.SetInDialog("SelPskEncryType", 1);
        pages.SetInDialog("TextPopPskPassPhrase", "geheim 123");
        pages.ClickInDialog("ButtonPopSaveWpaPsk");
    }));
    EXPECT_EQ(work.CurrentProfile.EncryptionType, 1);
    EXPECT_EQ(work.CurrentProfile.Passphrase, ScrambleSecret("geheim 123"));
    EXPECT_NE(work.CurrentProfile.Passphrase, "geheim 123");
}

TEST_F(SecurityPopupTest, LeapShowsTheMd5PageAndStaysLeap)
{
    EXPECT_TRUE(Run(kPopupEapTlsPageId, [](test::FakePageHost& pages) {
        pages.SetInDialog("SelectPopRadius", 4); // LEAP
        pages.ClickInDialog("SelectPopRadius", ElementEvent::Change);
        EXPECT_EQ(pages.dialog.pageId, kPopupEapMd5PageId);
        // The page's own markup pre-selects EAP-MD5; the user's choice is pushed.
        EXPECT_EQ(*pages.DialogValue("SelectPopRadius"), ElementValue(4));
        pages.SetInDialog("TextPopMd5LoginName", "anna");
        pages.SetInDialog("TextPopMd5Password", "pw!");
        pages.ClickInDialog("ButtonPopSaveEapMd5");
    }));
    EXPECT_EQ(work.CurrentProfile.RadiusType, 5);
    EXPECT_EQ(work.CurrentProfile.LoginName, "anna");
    EXPECT_EQ(work.CurrentProfile.Password, ScrambleSecret("pw!"));
}

TEST_F(SecurityPopupTest, TlsStoresNoPasswordTypedOnTheTtlsPage)
{
    EXPECT_TRUE(Run(kPopupWpaRadiusPageId, [](test::FakePageHost& pages) {
        pages.SetInDialog("SelRadiusEncryType", 1);
        pages.ClickInDialog("ButtonPopNextWpaRadius");
        EXPECT_EQ(pages.dialog.pageId, kPopupEapTtlsPageId);
        EXPECT_EQ(*pages.DialogValue("SelectPopRadius"), ElementValue(1));
        pages.SetInDialog("TextPopTtlsPassword", "ttls-secret");
        pages.SetInDialog("SelectPopRadius", 0);
        pages.ClickInDialog("SelectPopRadius", ElementEvent::Change);
        EXPECT_EQ(pages.dialog.pageId, kPopupEapTlsPageId);
        pages.SetInDialog("TextPopTlsLoginName", "bert");
        pages.SetInDialog("CheckboxPopTls", 0);
        pages.ClickInDialog("ButtonPopSaveEapTls");
    }));
    const ProfileRecord& r = work.CurrentProfile;
    EXPECT_EQ(r.EncryptionType, 1);
    EXPECT_EQ(r.RadiusType, 1);
    EXPECT_EQ(r.LoginName, "bert");
    EXPECT_EQ(r.Password, "");
    EXPECT_EQ(r.ValServerCertificate, 0);
}

TEST_F(SecurityPopupTest, ClosedWithoutSaveIsNotAccepted)
{
    EXPECT_FALSE(Run(kPopupWepPageId,
                     [](test::FakePageHost& pages) { pages.TypeInDialog("TextWepKey", "12345"); }));
    EXPECT_EQ(work.CurrentProfile.NetWorkKey1, "12345"); // typed, for the caller to discard
}

} // namespace
} // namespace kesto
