// The service's interface from its introspection document (see BusInterface.h).
#include "bus/BusInterface.h"

#include "bus/BusIntrospection.h"

#include <QXmlStreamReader>

namespace kesto {

BusInterface::BusInterface()
{
    const QString document = QString::fromUtf8(kBusIntrospectionXml);
    const QString open =
        QStringLiteral("<interface name=\"%1\">").arg(QLatin1String(kBusInterface));
    const qsizetype begin = document.indexOf(open);
    const qsizetype end = document.indexOf(QLatin1String("</interface>"), begin);
    if (begin < 0 || end < 0)
        return;
    m_element = document.mid(begin, end + qsizetype(sizeof "</interface>") - 1 - begin);

    QXmlStreamReader reader(m_element);
    QString method;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == QLatin1String("method")) {
            method.clear();
            continue;
        }
        if (!reader.isStartElement())
            continue;
        const auto attributes = reader.attributes();
        const QString name = attributes.value(QLatin1String("name")).toString();
        const QString type = attributes.value(QLatin1String("type")).toString();
        if (reader.name() == QLatin1String("method")) {
            method = name;
            m_methods.insert(method, {});
        } else if (reader.name() == QLatin1String("property")) {
            m_properties.insert(name, type);
        } else if (reader.name() == QLatin1String("arg") && !method.isEmpty()) {
            Method& m = m_methods[method];
            (attributes.value(QLatin1String("direction")) == QLatin1String("out") ? m.out : m.in) +=
                type;
        }
    }
}

const BusInterface::Method* BusInterface::FindMethod(const QString& name) const
{
    const auto it = m_methods.constFind(name);
    return it == m_methods.constEnd() ? nullptr : &*it;
}

QString BusInterface::PropertyType(const QString& name) const
{
    return m_properties.value(name);
}

} // namespace kesto
