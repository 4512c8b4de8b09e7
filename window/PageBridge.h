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
    // current values, and the mark of the last values the page had applied when it read
    // them (0 before the first).
    std::function<void(int pageId, const QString& id, const QString& event,
                       const QVariantMap& values, qint64 applied)>
        onElementEvent;

    Q_INVOKABLE void pageReady(int pageId, const QVariantMap& values);
    // applied comes as a script number.
    Q_INVOKABLE void elementEvent(int pageId, const QString& id, const QString& event,
                                  const QVariantMap& values, double applied);

signals:
    // Each carries a mark (the window's command sequence number) that the page hands
    // back with its events once it has applied the values.
    void setValue(const QString& id, const QVariant& value, double mark);
    void setValues(const QVariantMap& values, double mark);
    void setDisabled(const QString& id, bool disabled);
};

} // namespace kesto
