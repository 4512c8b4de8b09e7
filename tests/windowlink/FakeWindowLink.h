// A WindowLink that plays the window process: it records the commands the page host
// sends while "running" as they would look on the line, and lets a test raise the
// window's events (written as they would arrive, and read by the codec, which drops
// what it rejects, as the real link does) or let it die.
#pragma once

#include "windowlink/WindowLink.h"
#include "wire/MessageCodec.h"

#include <QJsonObject>
#include <QString>

#include <vector>

namespace kesto::test {

class FakeWindowLink : public WindowLink {
public:
    void SetHandlers(Handlers handlers) override { m_handlers = std::move(handlers); }
    bool IsRunning() const override { return m_running; }
    void Start() override
    {
        m_running = true;
        ++starts;
    }
    void Send(const wire::Command& command) override
    {
        if (m_running)
            commands.push_back(wire::CommandToJson(command));
    }
    void Stop() override
    {
        m_running = false;
        ++stops;
    }

    // The window process reports an event, stamped with the last command it saw.
    void Emit(QJsonObject event)
    {
        if (!event.contains(QStringLiteral("ack")))
            event.insert(QStringLiteral("ack"), LastSeq());
        const auto decoded = wire::EventFromJson(event);
        if (!decoded) {
            rejected.push_back(decoded.reason());
            return;
        }
        if (m_handlers.message)
            m_handlers.message(*decoded);
    }
    void Die()
    {
        m_running = false;
        if (m_handlers.lost)
            m_handlers.lost();
    }

    qint64 LastSeq() const
    {
        return commands.empty() ? 0 : commands.back().value(QStringLiteral("seq")).toInteger();
    }
    // The names of the commands received ("page", "list:rows", ...), in order.
    std::vector<QString> Names() const
    {
        std::vector<QString> names;
        for (const QJsonObject& command : commands) {
            QString name = command.value(QStringLiteral("c")).toString();
            if (name == QStringLiteral("list"))
                name += QLatin1Char(':') + command.value(QStringLiteral("op")).toString();
            names.push_back(name);
        }
        return names;
    }
    // The last command of that name, or an empty object.
    QJsonObject Last(const QString& name) const
    {
        for (auto it = commands.rbegin(); it != commands.rend(); ++it) {
            if (it->value(QStringLiteral("c")).toString() == name)
                return *it;
        }
        return {};
    }

    std::vector<QJsonObject> commands;
    // Why the events the codec refused were refused.
    std::vector<QString> rejected;
    int starts = 0;
    int stops = 0;

private:
    Handlers m_handlers;
    bool m_running = false;
};

} // namespace kesto::test
