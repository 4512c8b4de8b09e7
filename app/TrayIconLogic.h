// TrayIconLogic: the main window's icon in the notification area. It remembers whether the
// icon is added, so changes and removals of an icon that is not there are skipped, and
// it knows the pictures of the link states and the tray menu.
#pragma once

#include "platform/TrayIcon.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kesto {

inline constexpr int kTrayIconId = 128;
inline constexpr std::uint32_t kTrayNotifyMessage = 0x040A; // first private message + 10
inline constexpr std::string_view kTrayTooltip = "Kesto Wireless LAN Utility";
inline constexpr int kTrayMenuResource = 267;
inline constexpr int kCommandExit = 32771;       // "Beenden"
inline constexpr int kCommandSiteSurvey = 32772; // "Verfügbares Netzwerk anzeigen"
inline constexpr int kCommandAbout = 32773;      // "Info"
// The tooltip's room: 63 bytes and a terminator.
inline constexpr std::size_t kTrayTooltipLimit = 63;

enum class TrayState { Connected, NotConnected, ApMode };

class TrayIconLogic {
public:
    explicit TrayIconLogic(TrayIcon& port);
    // Removes the icon when it is added.
    ~TrayIconLogic();
    TrayIconLogic(const TrayIconLogic&) = delete;
    TrayIconLogic& operator=(const TrayIconLogic&) = delete;

    // Adds the icon; the tooltip is cut to 63 bytes (never inside a UTF-8 character).
    // False, and disabled, when the desktop refuses it.
    bool Create(std::uint32_t callbackMessage, std::string_view tooltip, int iconResource,
                int iconId);
    // Changes the picture while enabled; false otherwise.
    bool SetIcon(int iconResource);
    // Removes the icon while enabled and disables it; false otherwise.
    bool Remove();
    bool enabled() const { return m_enabled; }

    // Opens the tray menu (submenu "POP" in station mode, "APmode_POP" otherwise) and
    // returns the chosen command, or 0.
    int TrackMenu(bool stationMode);
    static TrayMenu MenuFor(bool stationMode);

    // The icon resource of a state: 272/273/274 where QV_GetOSVersion is 7, else
    // 286/287/288.
    static int IconFor(TrayState state, int osVersion);
    // The state a QueryWL_LinkStatus result shows: 3 and 4 connected; 1, 2, 5, 6, 8
    // and 9 not connected; any other value leaves the icon as it is (nullopt).
    static std::optional<TrayState> StateForLinkStatus(int linkStatus);

private:
    TrayIcon& m_port;
    bool m_enabled = false;
    int m_iconId = kTrayIconId;
};

} // namespace kesto
