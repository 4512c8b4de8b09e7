// The three access-point pages in the whole main window, on the real store and the
// simulated adapter: the status page with its stations, the settings page with its keys
// and checks, the MAC filter page, and the apply that the mode switch and a start in
// access-point mode run.
#include "ap/ApApply.h"
#include "ap/ApFilterPage.h"
#include "ap/ApSettingsPage.h"
#include "app/MainDialog.h"
#include "profiles/ProfileList.h"
#include "tests/support/ParamName.h"
#include "tests/support/ShellRig.h"
#include "tests/support/SimulatedWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kesto {
namespace {

using test::ShellRig;
using test::Signatures;
using Rows = std::vector<std::vector<std::string>>;

constexpr const char* kCaption = "kesto-utility";

class ApPages : public testing::Test {
protected:
    // A first-run store; edit changes it before the window starts.
    void Seed(const std::function<void(ProfileStore&)>& edit = {})
    {
        ProfileList(rig.store, rig.work, rig.dialogs, kCaption).CreateFirstRunStore();
        if (edit)
            edit(rig.store);
    }
    // Starts in station mode, shows the window and switches to the access point.
    void StartInAccessPoint()
    {
        dlg.OnInitDialog();
        rig.clock.Settle();
        rig.tray.Notify(TrayMouse::LeftDoubleClick);
        rig.pages.Click("ImageAPRadio");
        rig.clock.Settle();
        ASSERT_EQ(rig.pages.main.pageId, kApStatusPageId);
    }
    // The user changes an element and the page reports the event.
    void Set(std::string_view id, ElementValue value)
    {
        for (ElementState& e : rig.pages.main.values)
            if (e.id == id) {
                e.value = std::move(value);
                return;
            }
        rig.pages.main.values.push_back({std::string(id), std::move(value)});
    }
    void Type(std::string_view id, std::string_view text)
    {
        Set(id, std::string(text));
        rig.pages.Click(id, ElementEvent::KeyUp);
    }
    std::string Text(std::string_view id) const { return rig.pages.TextOf(id); }
    int Number(std::string_view id) const { return rig.pages.NumberOf(id); }
    // The adapter calls since the last clearCalls(), as "Name(args)".
    std::vector<std::string> Calls() const { return Signatures(rig.wlan.calls()); }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> out;
        for (const auto& m : rig.dialogs.messages)
            out.push_back(m.text);
        return out;
    }
    Rows StationRows() const
    {
        Rows out;
        for (const ListRow& row : rig.stationList.rows)
            out.push_back(row.texts);
        return out;
    }

    ShellRig rig;
    MainDialog dlg{rig.ports, rig.store, rig.work, kCaption};
};

// --- status page ---

TEST_F(ApPages, StatusShowsTheAccessPointAndTheStationsWithoutAKey)
{
    Seed();
    StartInAccessPoint();
    EXPECT_EQ(Text("TextAPSSID"), "WLAN_AP");
    EXPECT_EQ(Text("TextAPChannel"), "6");
    EXPECT_EQ(Text("TextAPSecurity"), "Open System");
    EXPECT_EQ(Text("TextAPOutPower"), "High");
    EXPECT_EQ(Text("TextAPMAC"), "02:4B:45:53:54:4F");
    EXPECT_EQ(Text("TextAPTrRate"), "54 Mbps");

    EXPECT_TRUE(rig.stationList.visible);
    EXPECT_EQ(rig.stationList.columns,
              (std::vector<ListColumn>{{"", 44, true}, {"MAC-Adresse", 134, true}}));
    EXPECT_TRUE(rig.stationList.gridLines);
    EXPECT_TRUE(rig.stationList.fullRowSelect);
    // The scenario's fourth station sends with a WEP key and stays out.
    EXPECT_EQ(
        StationRows(),
        (Rows{{"0", "0A:11:22:33:44:01"}, {"1", "0A:11:22:33:44:02"}, {"2", "0A:11:22:33:44:03"}}));

    // A header click leaves the adapter's order.
    rig.stationList.sink->OnListEvent(ListEvent::HeaderClick, 1);
    EXPECT_EQ(StationRows().front().front(), "0");
}

struct StatusCase {
    const char* name;
    int storedPower;
    int storedAuthen;
    int profileRate; // the station profile's rate index, which the access point keeps
    const char* power;
    const char* security;
    const char* rate;
};

class ApStatusTexts : public ApPages, public testing::WithParamInterface<StatusCase> {};

TEST_P(ApStatusTexts, FollowTheStoreAndTheAdapter)
{
    const StatusCase& c = GetParam();
    Seed([&](ProfileStore& store) {
        ApSettings settings = store.ReadApSettings();
        settings.OutputPower = c.storedPower;
        settings.AuthenType = c.storedAuthen;
        store.WriteApSettings(settings);
        ProfileRecord profile = store.ReadProfile("Default");
        profile.TxRate = c.profileRate;
        profile.SSID = "Cafe-Lindenhof"; // a profile without a network name is not applied
        store.WriteProfile(profile);
    });
    StartInAccessPoint();
    EXPECT_EQ(Text("TextAPOutPower"), c.power);
    EXPECT_EQ(Text("TextAPSecurity"), c.security);
    EXPECT_EQ(Text("TextAPTrRate"), c.rate);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, ApStatusTexts,
    testing::Values(StatusCase{"MediumHighShared5_5", 1, 1, 10, "Medium-High", "Shared Key",
                               "5.5 Mbps"},
                    StatusCase{"MediumLowAuto11", 2, 2, 7, "Medium-Low", "Auto", "11 Mbps"},
                    StatusCase{"LowOpen1", 3, 0, 12, "Low", "Open System", "1 Mbps"},
                    StatusCase{"OutOfRangeIsHigh", 7, 0, 9, "High", "Open System", "6 Mbps"}),
    test::ParamName());

TEST_F(ApPages, TimerRebuildsTheStationsAndTheRefreshButtonAlsoTheTexts)
{
    Seed();
    StartInAccessPoint();
    ApSettings renamed = rig.store.ReadApSettings();
    renamed.SSID = "Renamed";
    rig.store.WriteApSettings(renamed);
    rig.stationList.rows.clear();

    rig.timers.Fire(kTimerApStatus);
    EXPECT_TRUE(StationRows().empty()) << "the stations come after the settle";
    rig.clock.Advance(100);
    EXPECT_EQ(StationRows().size(), 3u);
    EXPECT_EQ(Text("TextAPSSID"), "WLAN_AP") << "a tick does not write the page";

    rig.wlan.clearCalls();
    rig.pages.Click("ButtonAPRefresh");
    rig.timers.Fire(kTimerApStatus); // joins the refresh settling
    EXPECT_EQ(Text("TextAPSSID"), "WLAN_AP");
    rig.clock.Advance(100);
    EXPECT_EQ(Text("TextAPSSID"), "Renamed");
    EXPECT_EQ(rig.Calls("WL_RetrieveStationList").size(), 1u);
}

TEST_F(ApPages, FailedReadsShowNoStationsAndKeepTheLastAddress)
{
    Seed();
    StartInAccessPoint();
    rig.SetAdaptersPresent(false); // every call fails until the exit watch notices
    rig.timers.Fire(kTimerApStatus);
    rig.clock.Settle();
    EXPECT_TRUE(rig.stationList.rows.empty());
    EXPECT_EQ(rig.stationList.columns.size(), 2u);
    rig.pages.Click("ButtonAPRefresh");
    rig.clock.Settle();
    EXPECT_EQ(Text("TextAPMAC"), "02:4B:45:53:54:4F");
    EXPECT_EQ(Text("TextAPChannel"), "6");
}

TEST_F(ApPages, AfterTheAdapterIsLostTheClosedContextIsNotPolled)
{
    Seed();
    StartInAccessPoint();
    rig.SetAdaptersPresent(false);
    rig.timers.Fire(kTimerExitWatch);
    EXPECT_EQ(rig.timers.Period(kTimerApStatus), 0u);
    rig.wlan.clearCalls();
    rig.timers.Fire(kTimerApStatus); // one tick already queued
    EXPECT_TRUE(rig.wlan.calls().empty()) << testing::PrintToString(Calls());

    // Back again: the access point is set up anew, and a restore shows its status.
    rig.SetAdaptersPresent(true);
    rig.timers.Fire(kTimerAdapterRetry);
    rig.clock.Settle();
    EXPECT_FALSE(rig.Calls("SetWLAP_FilterList").empty());
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    rig.clock.Settle();
    EXPECT_EQ(rig.timers.Period(kTimerApStatus), 2000u);
    EXPECT_EQ(StationRows().size(), 3u);
}

// --- mode ---

TEST_F(ApPages, TheSwitchStoresTheModeAndTheNextStartFollowsIt)
{
    Seed();
    StartInAccessPoint();
    EXPECT_EQ(rig.Product("Mode"), "AP Mode");
    rig.tray.Notify(TrayMouse::RightButtonUp);
    ASSERT_FALSE(rig.tray.menus.empty());
    EXPECT_EQ(rig.tray.menus.back(), TrayIconLogic::MenuFor(false));
}

TEST_F(ApPages, StartInAccessPointModeAppliesTheStoredRecordsBeforeAnyShow)
{
    Seed([](ProfileStore& store) {
        store.WriteText(ProductValuePath("Mode"), kApMode);
        ApSettings settings = store.ReadApSettings();
        settings.SSID = "Zweiter Start";
        settings.Channel = 0; // out of range: the default channel instead
        store.WriteApSettings(settings);
        FilterList list;
        list.FilterType = 1;
        list.FilterAddress[0] = "0";                 // a short text stored by hand
        list.FilterAddress[1] = "0a:11:22:33:44:02"; // valid
        store.WriteFilterList(list);
    });
    dlg.OnInitDialog();
    rig.clock.Settle();
    EXPECT_TRUE(rig.pages.shownPages.empty());
    EXPECT_EQ(rig.Calls("SetWL_SSID"), Rows{{"Zweiter Start"}});
    EXPECT_EQ(rig.Calls("SetWL_Channel"), Rows{{"6"}});
    EXPECT_EQ(rig.Calls("SetWLAP_FilterList"),
              Rows{{"00000000000000010A1122334402" + std::string(196, '0')}});
    EXPECT_EQ(dlg.apSettings().Channel, 6);

    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    rig.clock.Settle();
    EXPECT_EQ(rig.pages.main.pageId, kApStatusPageId);
    EXPECT_EQ(StationRows(), (Rows{{"0", "0A:11:22:33:44:02"}})) << "only the listed station";
}

// --- settings page ---

class ApSettings262 : public ApPages {
protected:
    void SetUp() override
    {
        Seed();
        StartInAccessPoint();
        rig.pages.Click("ButtonTab6");
        ASSERT_EQ(rig.pages.main.pageId, kApSettingsPageId);
        rig.wlan.clearCalls();
    }
};

TEST_F(ApSettings262, ShowsTheStoredSettings)
{
    ApSettings stored = rig.store.ReadApSettings();
    stored.SSID = "Werkstatt-AP";
    stored.HideSSID = 1;
    stored.Channel = 13;
    stored.OutputPower = 3;
    stored.WEP = stored.KeyLength = 2;
    stored.AuthenType = 2;
    stored.KeyInUse = 3;
    stored.NetworkKey3 = "0123456789ABCDEF0123456789";
    rig.store.WriteApSettings(stored);
    rig.pages.Click("ButtonTab6");

    EXPECT_EQ(Text("TextAPSetSSID"), "Werkstatt-AP");
    EXPECT_EQ(Number("CheckboxHideSSID"), 1);
    EXPECT_EQ(Number("SelectAPChannel"), 12) << "CH 13";
    EXPECT_EQ(Number("SelectAPOutPower"), 3);
    EXPECT_EQ(Number("SelectAPWep"), 2);
    EXPECT_EQ(Number("SelectAPAuthen"), 2);
    EXPECT_EQ(Number("SelectAPKey"), 2);
    EXPECT_EQ(Text("KeyText"), "Taste 3:");
    EXPECT_EQ(Text("TextAPWepKey"), "**********");
    EXPECT_EQ(Text("TextAPPassPhrase"), "");
    EXPECT_EQ(rig.timers.Period(kTimerApStatus), 0u) << "the status refresh stops";
    EXPECT_FALSE(rig.stationList.visible);
}

struct StoredCase {
    const char* name;
    const char* value; // under the AP key
    int number;
    const char* element;
    int shown;
};

class ApSettingsOutOfRange : public ApSettings262,
                             public testing::WithParamInterface<StoredCase> {};

TEST_P(ApSettingsOutOfRange, ShowsTheDefaultAndSavesIt)
{
    const StoredCase& c = GetParam();
    rig.store.WriteNumber(std::string(kApKey) + c.value, c.number);
    rig.pages.Click("ButtonTab6");
    EXPECT_EQ(Number(c.element), c.shown);
    rig.pages.Click("ButtonSaveAPSet");
    EXPECT_EQ(ApSettingsInRange(rig.store.ReadApSettings()), rig.store.ReadApSettings());
}

INSTANTIATE_TEST_SUITE_P(
    Values, ApSettingsOutOfRange,
    testing::Values(StoredCase{"ChannelMissing", "Channel", 0, "SelectAPChannel", 5},
                    StoredCase{"Channel14", "Channel", 14, "SelectAPChannel", 5},
                    StoredCase{"KeyInUse255", "KeyInUse", 255, "SelectAPKey", 0},
                    StoredCase{"Power255", "OutputPower", 255, "SelectAPOutPower", 0},
                    StoredCase{"Wep255", "WEP", 255, "SelectAPWep", 0},
                    StoredCase{"Authen3", "AuthenType", 3, "SelectAPAuthen", 0},
                    StoredCase{"Hide2", "HideSSID", 2, "CheckboxHideSSID", 0}),
    test::ParamName());

TEST_F(ApSettings262, AMissingAccessPointKeyShowsTheDefaults)
{
    rig.registry.DeleteKey(std::string(kApKey).substr(19, std::string(kApKey).size() - 20));
    rig.pages.Click("ButtonTab6");
    EXPECT_EQ(Number("SelectAPChannel"), 5);
    EXPECT_EQ(Number("SelectAPKey"), 0);
    EXPECT_EQ(Text("KeyText"), "Taste 1:");
    EXPECT_EQ(Text("TextAPSetSSID"), "WLAN_AP") << "a name the save takes";
    rig.pages.Click("ButtonSaveAPSet");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(rig.store.ReadApSettings().SSID, "WLAN_AP");
    EXPECT_EQ(rig.store.ReadApSettings().Channel, 6) << "never channel 0";
    EXPECT_EQ(rig.store.ReadApSettings().KeyLength, 0);
}

struct SaveCase {
    const char* name;
    std::string ssid;
    int channelIndex;
    int wep;
    int keyIndex;
    std::string typedKey;              // typed into the key field with the key select on keyIndex
    std::string message;               // the one message expected, or "" for a save
    std::vector<std::string> wepCalls; // with a save: what the adapter gets for WEP
};

const std::string kLength64Key1 = "Der Schl\u00fcssel muss eine L?nge von 5 oder 10 Zeichen haben. "
                                  "Bitte geben Sie den Schl\u00fcssel 1 neu ein.";
const std::string kHex128Key2 =
    "Der ausgetauschte Schl\u00fcssel muss 26 Hexadezimalzeichen haben. "
    "Bitte geben Sie den Schl\u00fcssel 2 neu ein.";

void PrintTo(const SaveCase& c, std::ostream* os)
{
    *os << c.name;
}

class ApSettingsSave : public ApSettings262, public testing::WithParamInterface<SaveCase> {};

TEST_P(ApSettingsSave, StoresThenAppliesOrRefusesWholly)
{
    const SaveCase& c = GetParam();
    // Keys stored earlier, which "Deaktiviert" clears.
    ApSettings before = rig.store.ReadApSettings();
    before.NetworkKey4 = "5544332211";
    rig.store.WriteApSettings(before);
    rig.pages.Click("ButtonTab6");

    Set("TextAPSetSSID", c.ssid);
    Set("SelectAPChannel", c.channelIndex);
    Set("SelectAPWep", c.wep);
    Set("SelectAPKey", c.keyIndex);
    if (!c.typedKey.empty())
        Type("TextAPWepKey", c.typedKey);
    rig.wlan.clearCalls();
    rig.pages.Click("ButtonSaveAPSet");

    if (!c.message.empty()) {
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(rig.dialogs.messages.front().caption, kCaption);
        EXPECT_EQ(rig.store.ReadApSettings(), before) << "nothing stored";
        EXPECT_TRUE(Calls().empty()) << "nothing applied";
        return;
    }
    EXPECT_TRUE(Messages().empty());
    const ApSettings stored = rig.store.ReadApSettings();
    EXPECT_EQ(stored.SSID, c.ssid);
    EXPECT_EQ(stored.Channel, c.channelIndex + 1);
    EXPECT_EQ(stored.WEP, c.wep);
    EXPECT_EQ(stored.KeyLength, c.wep);
    EXPECT_EQ(stored.KeyInUse, c.keyIndex + 1);
    EXPECT_EQ(ApKey(stored, c.keyIndex), c.wep == 0 ? "" : c.typedKey);
    EXPECT_EQ(stored.NetworkKey4, c.wep == 0 ? "" : "5544332211");
    EXPECT_EQ(dlg.apSettings(), stored);

    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 13u + (c.wepCalls.size() - 1)) << testing::PrintToString(calls);
    EXPECT_EQ(calls[0], "SetWL_AuthenticationMode(0)");
    EXPECT_EQ(calls[1], "SetWL_Channel(" + std::to_string(c.channelIndex + 1) + ")");
    EXPECT_EQ(std::vector<std::string>(calls.begin() + 2,
                                       calls.begin() + 2 + static_cast<long>(c.wepCalls.size())),
              c.wepCalls);
    EXPECT_EQ(rig.Product("Mode"), "AP Mode");
}

INSTANTIATE_TEST_SUITE_P(
    Saves, ApSettingsSave,
    testing::Values(
        SaveCase{"WepOffClearsTheKeys", "WLAN_AP", 5, 0, 0, "", "", {"SetWL_WEPStatus(1)"}},
        SaveCase{"Hex128Key3",
                 "WLAN_AP",
                 5,
                 2,
                 2,
                 "0123456789ABCDEF0123456789",
                 "",
                 {"SetWL_WEPStatus(0)", "SetWL_WriteKey(2, 1, 1, 0123456789ABCDEF0123456789)"}},
        SaveCase{"Channel13", "WLAN_AP", 12, 0, 0, "", "", {"SetWL_WEPStatus(1)"}},
        SaveCase{"Name32Bytes", std::string(32, 'N'), 5, 0, 0, "", "", {"SetWL_WEPStatus(1)"}},
        SaveCase{"Name32BytesWithUmlauts",
                 "Gr\u00fc\u00dfe aus dem B\u00fcro am See 123",
                 5,
                 0,
                 0,
                 "",
                 "",
                 {"SetWL_WEPStatus(1)"}},
        SaveCase{"Name33Bytes",
                 std::string(33, 'N'),
                 5,
                 0,
                 0,
                 "",
                 std::string(kApSsidTooLongMessage),
                 {}},
        // An access point announces a name: none is stored that no radio takes.
        SaveCase{"EmptyName", "", 5, 0, 0, "", std::string(kApSsidEmptyMessage), {}},
        SaveCase{"ShortKeyRejected", "WLAN_AP", 5, 1, 0, "1234", kLength64Key1, {}},
        SaveCase{"HexLengthWithOtherCharacters",
                 "WLAN_AP",
                 5,
                 2,
                 1,
                 "0123456789ABCDEF012345678G",
                 kHex128Key2,
                 {}},
        SaveCase{"EmptyKeyInUseRejected", "WLAN_AP", 5, 1, 0, "", kLength64Key1, {}}),
    test::ParamName());

TEST_F(ApSettings262, APhraseMakesFourKeysOf10DigitsFor64Bits)
{
    Set("SelectAPWep", 1);
    Type("TextAPPassPhrase", "  Sonnenblume ");
    const ApSettings& working = dlg.apSettings();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ApKey(working, i).size(), 10u) << i;
        EXPECT_TRUE(IsHexText(ApKey(working, i))) << ApKey(working, i);
    }
    EXPECT_NE(working.NetworkKey1, working.NetworkKey2);
    EXPECT_EQ(working.KeyLength, 1);
    EXPECT_EQ(Text("TextAPWepKey"), "**********");
    EXPECT_EQ(Text("TextAPPassPhrase"), "  Sonnenblume ") << "the field keeps what was typed";
    const ApSettings keys = working;

    // The same phrase trimmed gives the same keys; 128 bits gives one key four times.
    Type("TextAPPassPhrase", "Sonnenblume");
    EXPECT_EQ(dlg.apSettings(), keys);
    Set("SelectAPWep", 2);
    Type("TextAPPassPhrase", "Sonnenblume");
    EXPECT_EQ(dlg.apSettings().NetworkKey1.size(), 26u);
    EXPECT_EQ(dlg.apSettings().NetworkKey4, dlg.apSettings().NetworkKey1);

    Set("SelectAPWep", 1);
    Type("TextAPPassPhrase", "Sonnenblume");
    rig.pages.Click("ButtonSaveAPSet");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(rig.store.ReadApSettings().NetworkKey4, keys.NetworkKey4);
    EXPECT_EQ(rig.Calls("SetWL_WriteKey"), (Rows{{"0", "0", "1", keys.NetworkKey1}}));
}

TEST_F(ApSettings262, KeyUpsThatTypeNothingChangeNoKey)
{
    ApSettings stored = rig.store.ReadApSettings();
    stored.WEP = stored.KeyLength = 1;
    stored.NetworkKey1 = "1A2B3C4D5E";
    rig.store.WriteApSettings(stored);
    rig.pages.Click("ButtonTab6");
    ASSERT_EQ(Text("TextAPWepKey"), "**********");

    // Tab into the masked field: the key-up must not store the mask.
    rig.pages.Click("TextAPWepKey", ElementEvent::KeyUp);
    EXPECT_EQ(dlg.apSettings().NetworkKey1, "1A2B3C4D5E");

    // A phrase typed elsewhere earlier left generated keys behind; an empty phrase field
    // here must not copy them in.
    Type("TextAPPassPhrase", "anderswo");
    rig.pages.Click("ButtonCancelAPSet");
    EXPECT_EQ(dlg.apSettings().NetworkKey1, "1A2B3C4D5E");
    Type("TextAPPassPhrase", "");
    EXPECT_EQ(dlg.apSettings(), stored);

    // Off or 256 bits: the phrase generates nothing.
    for (int wep : {0, 3}) {
        Set("SelectAPWep", wep);
        Type("TextAPPassPhrase", "Sonnenblume");
        EXPECT_EQ(dlg.apSettings(), stored) << wep;
    }

    rig.pages.Click("ButtonSaveAPSet");
    EXPECT_EQ(rig.store.ReadApSettings().NetworkKey1, "1A2B3C4D5E");
}

TEST_F(ApSettings262, TypedKeysGoToTheSelectedSlotAndTheMaskHidesThem)
{
    Set("SelectAPWep", 1);
    Set("SelectAPKey", 1);
    Type("TextAPWepKey", "abcde");
    EXPECT_EQ(dlg.apSettings().NetworkKey2, "abcde");
    EXPECT_EQ(dlg.apSettings().NetworkKey1, "");

    // Leaving the field masks it; the name typed meanwhile stays as typed.
    Set("TextAPSetSSID", "Neu getippt");
    rig.pages.Click("TextAPWepKey", ElementEvent::Blur);
    EXPECT_EQ(Text("TextAPWepKey"), "**********");
    EXPECT_EQ(Text("TextAPSetSSID"), "Neu getippt");

    Set("TextAPWepKey", "fghij");
    Set("SelectAPKey", 2);
    rig.pages.Click("SelectAPKey", ElementEvent::Change);
    EXPECT_EQ(Text("TextAPWepKey"), "**********");
    EXPECT_EQ(dlg.apSettings().NetworkKey3, "") << "a select change copies nothing";

    // With WEP off a key-up copies nothing.
    Set("SelectAPWep", 0);
    Type("TextAPWepKey", "klmno");
    EXPECT_EQ(dlg.apSettings().NetworkKey3, "");
}

TEST_F(ApSettings262, CancelShowsTheStoredValuesAgain)
{
    Set("SelectAPWep", 1);
    Type("TextAPWepKey", "abcde");
    Set("TextAPSetSSID", "Nicht gespeichert");
    rig.pages.Click("ButtonCancelAPSet");
    EXPECT_EQ(Text("TextAPSetSSID"), "WLAN_AP");
    EXPECT_EQ(Number("SelectAPWep"), 0);
    EXPECT_EQ(Text("TextAPWepKey"), "");
    EXPECT_EQ(dlg.apSettings(), rig.store.ReadApSettings());
    EXPECT_TRUE(Calls().empty());
}

// --- MAC filter page ---

class ApFilter263 : public ApPages {
protected:
    void SetUp() override
    {
        Seed();
        StartInAccessPoint();
        rig.pages.Click("ButtonTab7");
        ASSERT_EQ(rig.pages.main.pageId, kApFilterPageId);
        rig.wlan.clearCalls();
    }
    static std::string Address(int slot) { return "TextFilterAddress" + std::to_string(slot); }
};

TEST_F(ApFilter263, ShowsTheStoredList)
{
    FilterList list;
    list.FilterType = 2;
    list.FilterAddress[0] = " 0a:11:22:33:44:01";
    list.FilterAddress[15] = "0A:11:22:33:44:16";
    rig.store.WriteFilterList(list);
    rig.pages.Click("ButtonTab7");
    EXPECT_EQ(Number("SelectAPFilterType"), 2);
    EXPECT_EQ(Text("TextFilterAddress1"), " 0a:11:22:33:44:01");
    EXPECT_EQ(Text("TextFilterAddress2"), "");
    EXPECT_EQ(Text("TextFilterAddress16"), "0A:11:22:33:44:16");
    EXPECT_EQ(dlg.filterList(), list);
}

TEST_F(ApFilter263, OneMessageForTheFirstInvalidAddressAndNothingStoredOrApplied)
{
    for (int slot = 1; slot <= 16; ++slot)
        Set(Address(slot),
            slot == 9 || slot == 12 ? "0A:11:22" : "0A:11:22:33:44:0" + std::to_string(slot % 10));
    Set("SelectAPFilterType", 1);
    rig.pages.Click("ButtonSaveAPFilter");
    EXPECT_EQ(Messages(), std::vector<std::string>{"The MAC Addresses are not valid!"});
    EXPECT_EQ(rig.store.ReadFilterList(), FilterList{});
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(Text(Address(9)), "0A:11:22") << "the page keeps what was typed";
}

struct FilterCase {
    const char* name;
    int type;
    std::vector<std::pair<int, std::string>> typed; // slot 1..16, text
    std::string block;                              // hexadecimal, 224 digits
    Rows stations;
};

std::string Block(std::vector<std::pair<int, std::string>> entries)
{
    std::string block(224, '0');
    for (const auto& [slot, hex] : entries)
        block.replace(static_cast<std::size_t>(slot - 1) * 14, 14, hex);
    return block;
}

void PrintTo(const FilterCase& c, std::ostream* os)
{
    *os << c.name;
}

class ApFilterSave : public ApFilter263, public testing::WithParamInterface<FilterCase> {};

TEST_P(ApFilterSave, StoresAsTypedAndAppliesTheBlock)
{
    const FilterCase& c = GetParam();
    Set("SelectAPFilterType", c.type);
    for (const auto& [slot, text] : c.typed)
        Set(Address(slot), text);
    rig.pages.Click("ButtonSaveAPFilter");

    EXPECT_TRUE(Messages().empty());
    const FilterList stored = rig.store.ReadFilterList();
    EXPECT_EQ(stored.FilterType, c.type);
    for (const auto& [slot, text] : c.typed)
        EXPECT_EQ(stored.FilterAddress[static_cast<std::size_t>(slot - 1)], text);
    EXPECT_EQ(rig.Calls("SetWLAP_FilterList"), Rows{{c.block}});
    EXPECT_EQ(rig.Calls("SetWLAP_FilterMode"), Rows{{std::to_string(c.type)}});
    EXPECT_EQ(rig.Product("Mode"), "AP Mode");

    rig.pages.Click("ButtonTab5");
    rig.clock.Settle();
    EXPECT_EQ(StationRows(), c.stations);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ApFilterSave,
    testing::Values(
        FilterCase{"AllEmptyAccepting", 1, {}, Block({}), {}},
        FilterCase{"AcceptOnePaddedSmallLetters",
                   1,
                   {{1, " 0a:11:22:33:44:02 "}},
                   Block({{1, "010A1122334402"}}),
                   {{"0", "0A:11:22:33:44:02"}}},
        FilterCase{"RefuseOne",
                   2,
                   {{5, "0A:11:22:33:44:01"}},
                   Block({{5, "010A1122334401"}}),
                   {{"0", "0A:11:22:33:44:02"}, {"1", "0A:11:22:33:44:03"}}},
        FilterCase{
            "EmptySlotThreeKeptInPlace",
            1,
            {{1, "0A:11:22:33:44:01"}, {2, "0A:11:22:33:44:02"}, {4, "0A:11:22:33:44:03"}},
            Block({{1, "010A1122334401"}, {2, "010A1122334402"}, {4, "010A1122334403"}}),
            {{"0", "0A:11:22:33:44:01"}, {"1", "0A:11:22:33:44:02"}, {"2", "0A:11:22:33:44:03"}}}),
    test::ParamName());

TEST_F(ApFilter263, SavingAppliesTheStoredSettingsNotUnsavedOnes)
{
    rig.pages.Click("ButtonTab6");
    Set("TextAPSetSSID", "Nie gespeichert");
    Set("SelectAPWep", 1);
    Type("TextAPWepKey", "1122334455"); // changes the working record at once
    rig.pages.Click("ButtonTab7");
    rig.wlan.clearCalls();

    rig.pages.Click("ButtonSaveAPFilter");
    EXPECT_EQ(rig.Calls("SetWL_SSID"), Rows{{"WLAN_AP"}});
    EXPECT_EQ(rig.Calls("SetWL_WEPStatus"), Rows{{"1"}});
    EXPECT_TRUE(rig.Calls("SetWL_WriteKey").empty());
    EXPECT_EQ(dlg.apSettings(), rig.store.ReadApSettings());
}

TEST_F(ApFilter263, CancelShowsTheStoredListAgain)
{
    Set("SelectAPFilterType", 2);
    Set(Address(3), "0A:11:22:33:44:01");
    rig.pages.Click("ButtonCancelAPFilter");
    EXPECT_EQ(Number("SelectAPFilterType"), 0);
    EXPECT_EQ(Text(Address(3)), "");
    EXPECT_TRUE(Calls().empty());
}

} // namespace
} // namespace kesto
