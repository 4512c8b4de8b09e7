// WPA and 802.1X joins through SetWL_WPA: the credentials (and, for a validated 802.1X
// server, the name its certificate carries) decide, and the 802.11 setters take the
// adapter back to open and WEP joins.
#include "tests/drivers/qvwlan/QvwlanRig.h"

namespace kesto::test {
namespace {

json WpaWorld()
{
    json s = BaseScenario();
    s["networks"] = {
        Network("Firma", "0A:00:00:00:00:05", 9, -40,
                {{"security", "wpa-psk"}, {"passphrase", "geheim-123"}}),
        Network("Konzern", "0A:00:00:00:00:06", 4, -55,
                {{"security", "wpa-radius"},
                 {"eapIdentity", "anna"},
                 {"eapPassword", "pw1"},
                 {"radiusServerName", "radius.konzern.example"}}),
        Network("Offen", "0A:00:00:00:00:01", 1, -50),
        Network("Alt", "0A:00:00:00:00:07", 2, -50, {{"security", "wpa-psk"}}),
        Network("Drei", "0A:00:00:00:00:08", 11, -45,
                {{"security", "wpa3-sae"}, {"passphrase", "drei-haus-1"}}),
    };
    return s;
}

WpaCredentials Psk(std::string phrase)
{
    WpaCredentials c;
    c.authenticationMode = 2;
    c.cipher = 1;
    c.passphrase = std::move(phrase);
    return c;
}

WpaCredentials Peap(std::string identity, std::string password,
                    std::string serverName = "konzern.example")
{
    WpaCredentials c;
    c.authenticationMode = 3;
    c.eapMethod = 4;
    c.innerMethod = 2;
    c.identity = std::move(identity);
    c.password = std::move(password);
    c.serverName = std::move(serverName);
    return c;
}

WpaCredentials SaeOnly(WpaCredentials c)
{
    c.saeOnly = true;
    return c;
}

WpaCredentials Unvalidated(WpaCredentials c)
{
    c.validateServer = false;
    c.serverName.clear();
    return c;
}

struct WpaCase {
    const char* name;
    const char* ssid;
    std::optional<WpaCredentials> credentials; // none: the 802.11 setters only
    int status;
    LinkSecurity security; // the link's; without one, the settings'
};

void PrintTo(const WpaCase& c, std::ostream* os)
{
    *os << c.name;
}

class WpaJoinTest : public testing::TestWithParam<WpaCase> {};

TEST_P(WpaJoinTest, CredentialsDecideTheLink)
{
    QvwlanRig rig(WpaWorld());
    rig.Open();
    rig.Join(GetParam().ssid);
    if (GetParam().credentials) {
        ASSERT_EQ(rig.lib.SetWL_WPA(rig.ctx, *GetParam().credentials), 0);
    }
    rig.Settle();
    EXPECT_EQ(rig.Status(), GetParam().status);
    EXPECT_EQ(rig.lib.QueryWL_LinkSecurity(rig.ctx), static_cast<int>(GetParam().security));
}

INSTANTIATE_TEST_SUITE_P(
    Joins, WpaJoinTest,
    testing::Values(
        WpaCase{"RightPassPhrase", "Firma", Psk("geheim-123"), 3, LinkSecurity::WpaPsk},
        WpaCase{"WrongPassPhrase", "Firma", Psk("geheim-124"), 5, LinkSecurity::WpaPsk},
        WpaCase{"NoWpaSettings", "Firma", std::nullopt, 6, LinkSecurity::Open},
        WpaCase{"NetworkWithoutKnownPhrase", "Alt", Psk("geheim-123"), 5, LinkSecurity::WpaPsk},
        WpaCase{"PskAgainstRadius", "Konzern", Psk("geheim-123"), 5, LinkSecurity::WpaPsk},
        WpaCase{"RightLogin", "Konzern", Peap("anna", "pw1"), 3, LinkSecurity::WpaEap},
        WpaCase{"WrongPassword", "Konzern", Peap("anna", "pw2"), 5, LinkSecurity::WpaEap},
        WpaCase{"ServerNamedExactly", "Konzern", Peap("anna", "pw1", "RADIUS.Konzern.example"), 3,
                LinkSecurity::WpaEap},
        WpaCase{"ServerOfAnotherName", "Konzern", Peap("anna", "pw1", "evil.example"), 5,
                LinkSecurity::WpaEap},
        WpaCase{"NameEndingWithoutADot", "Konzern", Peap("anna", "pw1", "dius.konzern.example"), 5,
                LinkSecurity::WpaEap},
        WpaCase{"ServerNotValidated", "Konzern", Unvalidated(Peap("anna", "pw1")), 3,
                LinkSecurity::WpaEap},
        WpaCase{"WpaAgainstOpenNetwork", "Offen", Psk("geheim-123"), 5, LinkSecurity::WpaPsk},
        // WPA3 (SAE alone) joins with the pass phrase of a WPA-PSK join.
        WpaCase{"SaeRightPassPhrase", "Drei", Psk("drei-haus-1"), 3, LinkSecurity::Wpa3Sae},
        WpaCase{"SaeWrongPassPhrase", "Drei", Psk("drei-haus-2"), 5, LinkSecurity::WpaPsk},
        // Offered SAE alone (a name once seen so), a WPA-PSK network gets no handshake.
        WpaCase{"SaeOnlyAgainstPsk", "Firma", SaeOnly(Psk("geheim-123")), 5, LinkSecurity::WpaPsk},
        WpaCase{"SaeOnlyAgainstSae", "Drei", SaeOnly(Psk("drei-haus-1")), 3, LinkSecurity::Wpa3Sae},
        WpaCase{"SaeNoWpaSettings", "Drei", std::nullopt, 6, LinkSecurity::Open},
        // Any network is joined with open or WEP settings, never with a pass phrase.
        WpaCase{"AnyNetworkNeedsAName", "", Psk("geheim-123"), 1, LinkSecurity::WpaPsk}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(WpaJoin, RefusedCredentialsChangeNothingAndAreLoggedWithoutSecrets)
{
    QvwlanRig rig(WpaWorld());
    rig.Open();
    rig.Join("Firma");
    EXPECT_EQ(rig.lib.SetWL_WPA(rig.ctx, Psk("kurz")), -1);
    EXPECT_EQ(rig.lib.SetWL_WPA(rig.ctx, Psk(std::string(64, 'a'))), -1);
    EXPECT_EQ(rig.lib.SetWL_WPA(rig.ctx, Psk("zeile\nzwei")), -1);
    WpaCredentials md5 = Peap("anna", "pw1");
    md5.eapMethod = 3; // no keys for WPA
    EXPECT_EQ(rig.lib.SetWL_WPA(rig.ctx, md5), -1);
    // A server validated without a usable name would pass on any authority's certificate.
    // One label names every server below it; no top-level domain is a number.
    for (const char* name :
         {"", "radius konzern", ".konzern.example", "konzern..example", "example", "10.0.0.1"})
        EXPECT_EQ(rig.lib.SetWL_WPA(rig.ctx, Peap("anna", "pw1", name)), -1) << name;
    EXPECT_FALSE(rig.lib.adapterSettings(kProductInstance)->wpa);

    ASSERT_EQ(rig.lib.SetWL_WPA(rig.ctx, Psk("geheim-123")), 0);
    for (const auto& call : rig.lib.calls())
        for (const auto& arg : call.args)
            EXPECT_EQ(arg.find("geheim"), std::string::npos);
}

TEST(WpaJoin, AnElevenSetterGoesBackToOpenAndWepJoins)
{
    QvwlanRig rig(WpaWorld());
    rig.Open();
    rig.Join("Firma");
    ASSERT_EQ(rig.lib.SetWL_WPA(rig.ctx, Psk("geheim-123")), 0);
    rig.Settle();
    ASSERT_EQ(rig.Status(), 3);
    ASSERT_EQ(rig.lib.SetWL_AuthenticationMode(rig.ctx, 0), 0);
    rig.Settle();
    EXPECT_EQ(rig.Status(), 6);
    EXPECT_FALSE(rig.lib.adapterSettings(kProductInstance)->wpa);
}

TEST(WpaJoin, ScenarioKeepsSecretsWithTheirKindOfNetwork)
{
    json s = WpaWorld();
    s["networks"][2]["passphrase"] = "geheim-123"; // an open network
    QvwlanRig rig(WpaWorld());
    rig.Rewrite(s);
    rig.lib.reloadScenario();
    EXPECT_NE(rig.lib.lastError().find(
                  "\"passphrase\" belongs to \"wpa-psk\" and \"wpa3-sae\" networks only"),
              std::string::npos)
        << rig.lib.lastError();
}

} // namespace
} // namespace kesto::test
