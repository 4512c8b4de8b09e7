#include "qt/QtTrayIcon.h"

#include "qt/ResourceFiles.h"
#include "wire/WindowMessages.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

#include <optional>
#include <utility>

namespace kesto {

namespace {

std::optional<TrayMouse> MouseOf(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return TrayMouse::LeftDoubleClick;
    case QSystemTrayIcon::Context:
        return TrayMouse::RightButtonUp;
    case QSystemTrayIcon::Trigger:
        return TrayMouse::LeftButtonUp;
    case QSystemTrayIcon::MiddleClick:
        return TrayMouse::MiddleButtonUp;
    case QSystemTrayIcon::Unknown:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

QtTrayIcon::QtTrayIcon(QString resourceDir, EventGate& gate)
    : m_resourceDir(std::move(resourceDir)), m_gate(gate)
{
}

QtTrayIcon::~QtTrayIcon()
{
    for (auto& [id, icon] : m_icons)
        icon->hide();
}

bool QtTrayIcon::Available()
{
    // Without a GUI application (the exit request runs without one) there is no desktop.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayIcon::Add(int iconId, std::uint32_t callbackMessage, std::string_view tooltip,
                     int iconResource)
{
    m_lastIconId = iconId;
    m_messages[iconId] = callbackMessage;
    if (m_icons.count(iconId) || !Available())
        return false;
    auto icon = std::make_unique<QSystemTrayIcon>(QIcon(ImageFile(m_resourceDir, iconResource)));
    icon->setToolTip(wire::FromUtf8(tooltip));
    QObject::connect(icon.get(), &QSystemTrayIcon::activated,
                     [this, iconId](QSystemTrayIcon::ActivationReason reason) {
                         if (const auto mouse = MouseOf(reason))
                             Deliver(iconId, *mouse);
                     });
    icon->show();
    m_icons.emplace(iconId, std::move(icon));
    return true;
}

bool QtTrayIcon::Modify(int iconId, int iconResource)
{
    const auto it = m_icons.find(iconId);
    if (it == m_icons.end())
        return false;
    it->second->setIcon(QIcon(ImageFile(m_resourceDir, iconResource)));
    return true;
}

bool QtTrayIcon::Delete(int iconId)
{
    const auto it = m_icons.find(iconId);
    if (it == m_icons.end())
        return false;
    it->second->hide();
    // The icon may be the sender of the activation being handled: delete it later.
    it->second.release()->deleteLater();
    m_icons.erase(it);
    return true;
}

int QtTrayIcon::TrackPopupMenu(const TrayMenu& menu)
{
    QMenu popup;
    for (const TrayMenuItem& item : menu.items) {
        QAction* action = popup.addAction(wire::FromUtf8(item.caption));
        action->setData(item.command);
    }
    const QAction* chosen = popup.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

bool QtTrayIcon::Activate(TrayMouse mouse)
{
    if (m_lastIconId < 0)
        return false;
    Deliver(m_lastIconId, mouse);
    return true;
}

void QtTrayIcon::Deliver(int iconId, TrayMouse mouse)
{
    if (m_observer)
        m_observer(mouse);
    if (!m_sink)
        return;
    const auto message = m_messages.find(iconId);
    if (message == m_messages.end())
        return;
    EventGate::Scope scope(m_gate);
    m_sink->OnTrayNotify(message->second, iconId, mouse);
}

} // namespace kesto
