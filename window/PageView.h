// PageView: one web view showing the HTML page of one surface (the main window's, or a
// dialog's) with the bridge connected. It keeps the values the tray gave the page and
// applies them once the page's script has connected, so a value set while the page
// still loads is not lost. Events from a page that is being replaced are dropped here:
// they describe elements that are gone.
#pragma once

#include "window/PageBridge.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QString>
#include <QWebEngineView>

#include <functional>

class QWebChannel;

namespace kesto {

class PageView : public QWebEngineView {
public:
    // name: "main" or "dialog", for messages.
    PageView(QString resourceDir, QString name, QWidget* parent = nullptr);

    // Loads resources/pages/<pageId>.html; values ([id, value] pairs) apply once ready.
    void ShowPage(int pageId, const QJsonArray& values);
    void SetValue(const QString& id, const QJsonValue& value);
    // Disables or enables an element (a radio group by name) once the page is ready;
    // kept until another page is shown, so a reload shows it again.
    void SetDisabled(const QString& id, bool disabled);

    int pageId() const { return m_pageId; }
    // Loaded, connected, and given its values.
    bool ready() const { return m_ready; }

    // An element event of the page shown: values as [id, value] pairs.
    std::function<void(int pageId, const QString& id, const QString& event,
                       const QJsonArray& values)>
        onElementEvent;
    std::function<void(int pageId)> onReady;

    // The page's values as the bridge script reads them.
    static QJsonArray ValuesFrom(const QVariantMap& map);

private:
    void OnBridgeReady(int pageId);
    void Load();

    QString m_resourceDir;
    QString m_name;
    PageBridge* m_bridge;
    QWebChannel* m_channel;
    int m_pageId = 0;
    bool m_ready = false;
    QJsonArray m_values;
    QVariantMap m_disabled; // id -> bool, the last state the tray gave each element
};

} // namespace kesto
