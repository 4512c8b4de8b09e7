// AdapterStart: the adapter side of the main window's start and of its watch over the
// adapter: opening the matched adapter, the driver defaults, seeding or loading the
// store, the exit request, noticing the adapter gone and finding it again. The steps
// around them (tray icon, timers, showing) are AdapterWatch's and the main window's.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "profiles/ProfileList.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

namespace kesto {

class AdapterStart {
public:
    AdapterStart(WlanApi& api, AdapterDiscovery& discovery, ProfileStore& store,
                 ProfileList& profiles, WorkingRecords& work);

    // Opens the adapter that discovery selected; false when none matched.
    bool OpenMatched();
    // Seeds the driver key with empty "Key1".."Key4" and "Preamble" = "2" where missing.
    void WriteDriverDefaults();
    // Seeds an uninitialised store, or reads the default profile into the current
    // record.
    void LoadOrSeedStore();
    // "Exit Utility" = "1": another start asked this one to end.
    bool ExitRequested();
    bool StationModeStored();
    // The adapter no longer answers (its channel reads -1).
    bool AdapterLost();
    // Looks for the adapter again and opens it; true when it is open.
    bool Redetect();
    // Lets the adapter context go (the adapter itself is not closed).
    void Release();

private:
    WlanApi& m_api;
    AdapterDiscovery& m_discovery;
    ProfileStore& m_store;
    ProfileList& m_profiles;
    WorkingRecords& m_work;
};

} // namespace kesto
