#include "app/CTrayIcon.h"

#include <string>

namespace kesto {

namespace {

std::string_view CutTooltip(std::string_view tooltip)
{
    if (tooltip.size() <= kTrayTooltipLimit)
        return tooltip;
    std::size_t end = kTrayTooltipLimit;
    // Step back over continuation bytes so a character is never split.
    while (end > 0 && (static_cast<unsigned char>(tooltip[end]) & 0xC0) == 0x80)
        --end;
    return tooltip.substr(0, end);
}

} // namespace

CTrayIcon::CTrayIcon(TrayIcon& port) : m_port(port) {}

CTrayIcon::~CTrayIcon()
{
    Remove();
}

bool CTrayIcon::Create(std::uint32_t callbackMessage, std::string_view tooltip, int iconResource,
                       int iconId)
{
    if (m_enabled)
        Remove();
    m_iconId = iconId;
    m_enabled = m_port.Add(iconId, callbackMessage, CutTooltip(tooltip), iconResource);
    return m_enabled;
}

bool CTrayIcon::SetIcon(int iconResource)
{
    if (!m_enabled)
        return false;
    return m_port.Modify(m_iconId, iconResource);
}

bool CTrayIcon::Remove()
{
    if (!m_enabled)
        return false;
    m_enabled = false;
    return m_port.Delete(m_iconId);
}

TrayMenu CTrayIcon::MenuFor(bool stationMode)
{
    if (stationMode)
        return {kTrayMenuResource,
                "POP",
                {{"Info", kCommandAbout},
                 {"Verfügbares Netzwerk anzeigen", kCommandSiteSurvey},
                 {"Beenden", kCommandExit}}};
    return {kTrayMenuResource, "APmode_POP", {{"Info", kCommandAbout}, {"Beenden", kCommandExit}}};
}

int CTrayIcon::TrackMenu(bool stationMode)
{
    return m_port.TrackPopupMenu(MenuFor(stationMode));
}

int CTrayIcon::IconFor(TrayState state, int osVersion)
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

std::optional<TrayState> CTrayIcon::StateForLinkStatus(int linkStatus)
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
