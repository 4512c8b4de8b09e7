#include "app/AdapterStart.h"

#include "base/Text.h"

#include <string>

namespace kesto {

AdapterStart::AdapterStart(WlanApi& api, AdapterDiscovery& discovery, ProfileStore& store,
                           ProfileList& profiles, WorkingRecords& work)
    : m_api(api), m_discovery(discovery), m_store(store), m_profiles(profiles), m_work(work)
{
}

bool AdapterStart::OpenMatched()
{
    if (m_discovery.MatchedAdapters().empty())
        return false;
    m_api.Open(
        m_discovery.Adapters()[static_cast<std::size_t>(m_discovery.SelectedAdapterIndex())]);
    return true;
}

void AdapterStart::WriteDriverDefaults()
{
    const std::string driverKey = m_discovery.SelectedAdapterKey();
    if (driverKey.empty())
        return;
    Registry& registry = m_store.registry();
    const std::string key(HiveKeyPath(driverKey));
    const std::string keysKey = key + "\\Keys";
    for (int i = 1; i <= 4; ++i) {
        const std::string name = "Key" + std::to_string(i);
        if (!registry.QueryValue(keysKey, name))
            registry.SetValue(keysKey, name, RegValue::Text(""));
    }
    if (!registry.QueryValue(key, "Preamble"))
        registry.SetValue(key, "Preamble", RegValue::Text("2"));
}

void AdapterStart::LoadOrSeedStore()
{
    const std::int32_t link = m_profiles.DefaultProfileLink();
    if (link <= 0) {
        m_profiles.CreateFirstRunStore();
        return;
    }
    // A default link naming no stored profile leaves the current record as it is (the
    // default record at start) rather than a record of 255s and empty texts.
    const std::string name = m_store.ReadText(ProfileLinkPath(link));
    if (m_store.ProfileExists(name))
        m_work.CurrentProfile = m_store.ReadProfile(name);
}

bool AdapterStart::ExitRequested()
{
    return m_store.ReadText(ProductValuePath("Exit Utility")) == "1";
}

bool AdapterStart::StationModeStored()
{
    return m_store.ReadText(ProductValuePath("Mode")) == kStationMode;
}

bool AdapterStart::AdapterLost()
{
    return m_api.QueryWL_Channel() == -1;
}

bool AdapterStart::Redetect()
{
    if (m_discovery.ScanAdapters() <= 0 || m_discovery.SelectedAdapterIndex() < 0)
        return false;
    m_api.Open(
        m_discovery.Adapters()[static_cast<std::size_t>(m_discovery.SelectedAdapterIndex())]);
    return m_api.IsOpen();
}

void AdapterStart::Release()
{
    m_api.Close();
}

} // namespace kesto
