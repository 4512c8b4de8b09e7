#include "app/TrayIconLogic.h"

#include "base/Text.h"

#include <string>

namespace kesto {

TrayIconLogic::TrayIconLogic(TrayIcon& port) : m_port(port) {}

TrayIconLogic::~TrayIconLogic()
{
    Remove();
}

bool TrayIconLogic::Create(std::uint32_t callbackMessage, std::string_view tooltip,
                           int iconResource, int iconId)
{
    if (m_enabled)
        Remove();
    m_iconId = iconId;
    m_enabled = m_port.Add(iconId, callbackMessage, Utf8PrefixBytes(tooltip, kTrayTooltipLimit),
                           iconResource);
    return m_enabled;
}

bool TrayIconLogic::SetIcon(int iconResource)
{
    if (!m_enabled)
        return false;
    return m_port.Modify(m_iconId, iconResource);
}

bool TrayIconLogic::Remove()
{
    if (!m_enabled)
        return false;
    m_enabled = false;
    return m_port.Delete(m_iconId);
}

TrayMenu TrayIconLogic::MenuFor(bool stationMode)
{
    if (stationMode)
        return {kTrayMenuResource,
                "POP",
                {{"Info", kCommandAbout},
                 {"Verfügbares Netzwerk anzeigen", kCommandSiteSurvey},
                 {"Beenden", kCommandExit}}};
    return {kTrayMenuResource, "APmode_POP", {{"Info", kCommandAbout}, {"Beenden", kCommandExit}}};
}

int TrayIconLogic::TrackMenu(bool stationMode)
{
    return m_port.TrackPopupMenu(MenuFor(stationMode));
}

int TrayIconLogic::IconFor(TrayState state, int osVersion)
{
    const bool serviceSystem = osVersion == 7;
    switch (state) {
    case TrayState::Connected:
        return serviceSystem ? 272 : 286;
    case TrayState::NotConnected:
        return serviceSystem ? 273 : 287;
    case TrayState::ApMode:
        return serviceSystem ? 274 : 288;
    }
    return 272;
}

std::optional<TrayState> TrayIconLogic::StateForLinkStatus(int linkStatus)
{
    switch (linkStatus) {
    case 3:
    case 4:
        return TrayState::Connected;
    case 1:
    case 2:
    case 5:
    case 6:
    case 8:
    case 9:
        return TrayState::NotConnected;
    default:
        return std::nullopt;
    }
}

} // namespace kesto
