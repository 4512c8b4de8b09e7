// The TrayIcon port: QSystemTrayIcon for the icon and QMenu for its popup menu. The
// desktop reports a left double click and a right click on the icon; they arrive as the
// mouse events the core acts on (LeftDoubleClick, RightButtonUp).
#pragma once

#include "platform/TrayIcon.h"
#include "qt/EventGate.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

class QSystemTrayIcon;

namespace kesto {

class QtTrayIcon final : public TrayIcon {
public:
    // resourceDir holds images/<n>.png for the icon resources.
    QtTrayIcon(QString resourceDir, EventGate& gate);
    ~QtTrayIcon() override;
    QtTrayIcon(const QtTrayIcon&) = delete;
    QtTrayIcon& operator=(const QtTrayIcon&) = delete;

    void SetSink(TrayEventSink* sink) override { m_sink = sink; }
    bool Add(int iconId, std::uint32_t callbackMessage, std::string_view tooltip,
             int iconResource) override;
    bool Modify(int iconId, int iconResource) override;
    bool Delete(int iconId) override;
    int TrackPopupMenu(const TrayMenu& menu) override;

    // Whether the desktop offers a notification area now.
    static bool Available();
    // Reports mouse on the icon last asked for as if the user had done it, also when the
    // desktop refused the icon: the window's taskbar entry stands in for a missing tray,
    // and a scripted run restores the window this way. False when no icon was asked for.
    bool Activate(TrayMouse mouse);
    // Whether any icon is shown now.
    bool HasIcon() const { return !m_icons.empty(); }
    // Told of each mouse action on an icon before the sink is, so the platform can get
    // ready for what the action leads to.
    void SetActivationObserver(std::function<void(TrayMouse)> observer)
    {
        m_observer = std::move(observer);
    }

private:
    void Deliver(int iconId, TrayMouse mouse);

    QString m_resourceDir;
    EventGate& m_gate;
    TrayEventSink* m_sink = nullptr;
    std::function<void(TrayMouse)> m_observer;
    std::map<int, std::unique_ptr<QSystemTrayIcon>> m_icons;
    std::map<int, std::uint32_t> m_messages; // icon id -> callback message
    int m_lastIconId = -1;
};

} // namespace kesto
