// BusInterface: the service's interface as its introspection document describes it: the
// methods with the signatures of their arguments, the properties with their types, and
// the document's interface element, which the service hands out when it is introspected.
// The document is the one description; the service refuses a call whose arguments do
// not have the signature it gives.
#pragma once

#include <QMap>
#include <QString>

namespace kesto {

inline constexpr char kBusName[] = "org.kesto.WlanUtility1";
inline constexpr char kBusPath[] = "/org/kesto/WlanUtility1";
inline constexpr char kBusInterface[] = "org.kesto.WlanUtility1";
inline constexpr char kBusErrorPrefix[] = "org.kesto.WlanUtility1.Error.";

class BusInterface {
public:
    struct Method {
        QString in;  // the signature of its arguments
        QString out; // the signature of its answer
    };

    // Reads the built-in document; an interface it does not describe is empty.
    BusInterface();

    const Method* FindMethod(const QString& name) const;
    // The property's type signature; empty for none.
    QString PropertyType(const QString& name) const;
    const QMap<QString, QString>& properties() const { return m_properties; }
    // The <interface> element as the document writes it.
    const QString& element() const { return m_element; }

private:
    QMap<QString, Method> m_methods;
    QMap<QString, QString> m_properties;
    QString m_element;
};

} // namespace kesto
