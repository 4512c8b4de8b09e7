// The main window on the real store and the simulated adapter, started with a few
// stored profiles and shown on the profile page, with the user's hand on the page:
// setting element values and clicking as the window process reports them.
#pragma once

#include "app/MainDialog.h"
#include "profiles/ProfileList.h"
#include "tests/support/ShellRig.h"

#include <gtest/gtest.h>
#include <nlohmann/json_fwd.hpp>

#include <functional>
#include <string>
#include <vector>

namespace kesto::test {

inline ProfileRecord StoredProfile(const std::string& name, const std::string& ssid,
                                   int networkType = 1, int authenticationMode = 0)
{
    ProfileRecord r;
    r.ProfileName = name;
    r.SSID = ssid;
    r.NetworkType = networkType;
    r.AuthenticationMode = authenticationMode;
    return r;
}

class ProfilePagesTest : public testing::Test {
protected:
    // First run, then profiles appended at links 2, 3 ..., the window started,
    // restored and on the profile page.
    void Start(const std::vector<ProfileRecord>& profiles = {})
    {
        ProfileList seed(rig.store, rig.work, rig.dialogs, "kesto-utility");
        seed.CreateFirstRunStore();
        for (const ProfileRecord& p : profiles)
            seed.AddProfile(p);
        dlg.OnInitDialog();
        rig.clock.Settle();
        rig.tray.Notify(TrayMouse::LeftDoubleClick);
        Click("ButtonTab3");
        rig.wlan.clearCalls();
    }

    // The user changes an element (the page then reports it with the next event).
    void Set(std::string_view id, ElementValue value)
    {
        for (ElementState& e : rig.pages.main.values)
            if (e.id == id) {
                e.value = std::move(value);
                return;
            }
        rig.pages.main.values.push_back({std::string(id), std::move(value)});
    }
    void Click(std::string_view id) { rig.pages.Click(id); }
    void Change(std::string_view id, int index)
    {
        Set(id, index);
        rig.pages.Click(id, ElementEvent::Change);
    }
    int Page() const { return rig.pages.main.pageId; }
    std::string Shown(std::string_view id) const { return rig.pages.TextOf(id); }
    int ShownNumber(std::string_view id) const { return rig.pages.NumberOf(id); }
    // Selects row of list control 1009 and reports the click.
    void SelectProfileRow(int row)
    {
        rig.surveyList.SelectRow(row);
        rig.surveyList.sink->OnListEvent(ListEvent::Click, row);
    }
    int RowOf(const std::string& name) const
    {
        for (std::size_t i = 0; i < rig.surveyList.rows.size(); ++i)
            if (rig.surveyList.rows[i].texts.at(1) == name)
                return static_cast<int>(i);
        return -1;
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> out;
        for (const auto& m : rig.dialogs.messages)
            out.push_back(m.text);
        return out;
    }
    // Any configuring call reached the adapter since Start.
    bool Configured() const
    {
        for (const auto& call : rig.wlan.calls())
            if (call.name.starts_with("SetWL_"))
                return true;
        return false;
    }
    std::string Link(int n) { return rig.Product("ProfileLink " + std::to_string(n)); }
    bool ProfileKeyExists(const std::string& name) { return rig.store.ProfileExists(name); }
    void EditScenario(const std::function<void(nlohmann::json&)>& edit) { rig.EditScenario(edit); }
    // Add: page 256 with name, network and type, then Next.
    void NamePage(const std::string& name, const std::string& ssid, bool adHoc)
    {
        Set("TextAddProfile", name);
        Set("TextAddSSID", ssid);
        Set("RadioGroup", adHoc ? 1 : 0);
        Click("ButtonNextAdd");
    }

    ShellRig rig;
    MainDialog dlg{rig.ports, rig.store, rig.work, "kesto-utility"};
};

} // namespace kesto::test
