// TrayIcon port: one icon in the desktop's notification area and its popup menu.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// Mouse events on the icon, in the order the desktop reports them.
enum class TrayMouse {
    Move,
    LeftButtonDown,
    LeftButtonUp,
    LeftDoubleClick,
    RightButtonDown,
    RightButtonUp,
    RightDoubleClick,
    MiddleButtonDown,
    MiddleButtonUp,
};

class TrayEventSink {
public:
    virtual ~TrayEventSink() = default;
    // The user acted on icon iconId; callbackMessage is the one given to Add.
    virtual void OnTrayNotify(std::uint32_t callbackMessage, int iconId, TrayMouse mouse) = 0;
};

// One item of a popup menu.
struct TrayMenuItem {
    std::string caption; // UTF-8
    int command = 0;     // returned by TrackPopupMenu when chosen; never 0
    bool operator==(const TrayMenuItem&) const = default;
};

// A submenu of a menu resource: menuResource 267, name "POP" or "APmode_POP".
struct TrayMenu {
    int menuResource = 0;
    std::string name;
    std::vector<TrayMenuItem> items;
    bool operator==(const TrayMenu&) const = default;
};

class TrayIcon {
public:
    virtual ~TrayIcon() = default;

    // Where mouse events go; nullptr stops them.
    virtual void SetSink(TrayEventSink* sink) = 0;

    // Adds icon iconId showing icon resource iconResource (272-274, 286-288) with
    // tooltip (UTF-8, the caller keeps it within 63 bytes). Mouse events are reported
    // with callbackMessage. False when the desktop has no notification area or refuses
    // the icon, or when iconId is already added; nothing is shown then.
    virtual bool Add(int iconId, std::uint32_t callbackMessage, std::string_view tooltip,
                     int iconResource) = 0;
    // Changes the picture of icon iconId. False when iconId is not added.
    virtual bool Modify(int iconId, int iconResource) = 0;
    // Removes icon iconId. False when iconId is not added.
    virtual bool Delete(int iconId) = 0;

    // Opens menu at the mouse cursor and runs a nested event loop until the user
    // chooses an item or dismisses the menu. Returns the chosen item's command, or 0
    // when dismissed. The menu is closed when this returns.
    virtual int TrackPopupMenu(const TrayMenu& menu) = 0;
};

} // namespace kesto
