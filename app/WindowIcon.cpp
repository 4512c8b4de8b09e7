#include "app/WindowIcon.h"

namespace kesto {

namespace {

constexpr int kCreateIcon = 272;

} // namespace

WindowIcon::WindowIcon(PageHost& pages, TrayIcon& tray, WlanApi& api)
    : m_pages(pages), m_api(api), m_tray(tray)
{
}

void WindowIcon::ShowProgramIcon()
{
    m_pages.SetWindowIcon(kWindowIconId);
}

void WindowIcon::CreateTray()
{
    m_current = kCreateIcon;
    m_pages.SetWindowIcon(kCreateIcon);
    m_tray.Create(kTrayNotifyMessage, kTrayTooltip, kCreateIcon, kTrayIconId);
}

void WindowIcon::ShowApMode()
{
    const int icon = TrayIconLogic::IconFor(TrayState::ApMode, m_api.QV_GetOSVersion());
    m_current = icon;
    m_pages.SetWindowIcon(icon);
    m_tray.SetIcon(icon);
}

void WindowIcon::ShowLinkStatus()
{
    const auto state = TrayIconLogic::StateForLinkStatus(m_api.QueryWL_LinkStatus());
    if (!state)
        return;
    const int icon = TrayIconLogic::IconFor(*state, m_api.QV_GetOSVersion());
    if (icon == m_current)
        return;
    m_current = icon;
    m_tray.SetIcon(icon);
    m_pages.SetWindowIcon(icon);
}

void WindowIcon::RemoveTray()
{
    m_tray.Remove();
}

} // namespace kesto
