// WindowIcon: the picture of the main window and of its icon in the notification area,
// which always show the same state: the program's own picture until the tray icon is
// made, then the adapter's link state in station mode or the access point in AP mode.
#pragma once

#include "adapter/WlanApi.h"
#include "app/TrayIconLogic.h"
#include "platform/PageHost.h"
#include "platform/TrayIcon.h"

namespace kesto {

inline constexpr int kWindowIconId = 128;

class WindowIcon {
public:
    WindowIcon(PageHost& pages, TrayIcon& tray, WlanApi& api);

    // The window's own picture (128), before there is a tray icon.
    void ShowProgramIcon();
    // Adds the tray icon with the start picture (272), the window taking the same.
    void CreateTray();
    // The access point's picture of the system (274 or 288).
    void ShowApMode();
    // The picture of the adapter's link state; a status that names no state, or the
    // picture already shown, changes nothing.
    void ShowLinkStatus();
    // Removes the tray icon; the window keeps its picture.
    void RemoveTray();

    // False when the desktop refused the tray icon or it was removed.
    bool trayEnabled() const { return m_tray.enabled(); }
    int current() const { return m_current; }
    TrayIconLogic& tray() { return m_tray; }

private:
    PageHost& m_pages;
    WlanApi& m_api;
    TrayIconLogic m_tray;
    int m_current = kWindowIconId;
};

} // namespace kesto
