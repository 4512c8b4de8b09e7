// PageView: one web view showing the HTML page of one surface (the main window's, or a
// dialog's) with the bridge connected. It keeps the values the tray gave the page and
// applies them once the page's script has connected, so a value set while the page
// still loads is not lost. Events from a page that is being replaced are dropped here:
// they describe elements that are gone.
#pragma once

#include "window/PageBridge.h"

#include "platform/PageHost.h"

#include <QString>
#include <QWebEngineView>

#include <functional>
#include <string_view>

class QWebChannel;

namespace kesto {

class PageView : public QWebEngineView {
public:
    // name: "main" or "dialog", for messages.
    PageView(QString resourceDir, QString name, QWidget* parent = nullptr);

    // Loads resources/pages/<pageId>.html; values apply once ready. seq: the command's
    // sequence number, here and for SetValue.
    void ShowPage(int pageId, const PageValues& values, qint64 seq);
    void SetValue(std::string_view id, const ElementValue& value, qint64 seq);
    // Disables or enables an element (a radio group by name) once the page is ready;
    // kept until another page is shown, so a reload shows it again.
    void SetDisabled(const QString& id, bool disabled);

    int pageId() const { return m_pageId; }
    // Loaded, connected, and given its values.
    bool ready() const { return m_ready; }

    // An element event of the page shown, named as the bridge script names it, with the
    // page's values at that moment and the last command whose values were in them. The
    // page applies values after the window has passed them on, so an event can carry
    // values older than the last command the window carried out; seen says how old.
    std::function<void(int pageId, const QString& id, const QString& event,
                       const PageValues& values, qint64 seen)>
        onElementEvent;
    std::function<void(int pageId)> onReady;

    // The page's values as the bridge script reads them: strings, and numbers that are
    // integers (check boxes as 0 and 1); anything else is left out.
    static PageValues ValuesFrom(const QVariantMap& map);

private:
    // Whether a page holding held values or states may take one more id; logs the first
    // refusal since the page was shown.
    bool RoomForNewId(std::size_t held, const QString& id, const char* what);
    void OnBridgeReady(int pageId);
    void Load();

    QString m_resourceDir;
    QString m_name;
    PageBridge* m_bridge;
    QWebChannel* m_channel;
    int m_pageId = 0;
    qint64 m_pageSeq = 0; // the command that showed the page
    bool m_ready = false;
    PageValues m_values;
    qint64 m_valuesSeq = 0;    // the last command m_values holds
    QVariantMap m_disabled;    // id -> bool, the last state the tray gave each element
    bool m_refusedIds = false; // a new id was refused since the page was shown
};

} // namespace kesto
