// PageBridge: the object the pages' bridge script reaches over the web channel under the
// name "bridge". The page reports that it is ready and what the user does to its
// elements; the window sets element values and disables elements through its signals.
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

namespace kesto {

class PageBridge : public QObject {
    Q_OBJECT

public:
    explicit PageBridge(QObject* parent = nullptr) : QObject(parent) {}

    // The page's script connected; values: every valued element as the page says.
    std::function<void(int pageId, const QVariantMap& values)> onReady;
    // An element event ("click", "keyup", "change", "focus", "blur") with the page's
    // current values.
    std::function<void(int pageId, const QString& id, const QString& event,
                       const QVariantMap& values)>
        onElementEvent;

    Q_INVOKABLE void pageReady(int pageId, const QVariantMap& values);
    Q_INVOKABLE void elementEvent(int pageId, const QString& id, const QString& event,
                                  const QVariantMap& values);

signals:
    void setValue(const QString& id, const QVariant& value);
    void setValues(const QVariantMap& values);
    void setDisabled(const QString& id, bool disabled);
};

} // namespace kesto
