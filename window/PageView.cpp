#include "window/PageView.h"

#include "platform/qt/ResourceFiles.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <climits>
#include <cmath>
#include <utility>

namespace kesto {

namespace {

// Pages may load only our own files: a link that leads elsewhere goes nowhere, and a
// page cannot open windows of its own.
class OwnPagesOnly : public QWebEnginePage {
public:
    OwnPagesOnly(QString resourceDir, QString name, QObject* parent)
        : QWebEnginePage(parent), m_root(QDir(resourceDir).absolutePath() + QLatin1Char('/')),
          m_name(std::move(name))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (!isMainFrame)
            return true;
        return url.isLocalFile() &&
               QFileInfo(url.toLocalFile()).absoluteFilePath().startsWith(m_root);
    }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override
    {
        if (level == InfoMessageLevel)
            return;
        qWarning().noquote() << "kesto-window:" << m_name << QFileInfo(source).fileName() << line
                             << message;
    }

private:
    QString m_root;
    QString m_name;
};

QVariant VariantOf(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    return value.toInt();
}

} // namespace

PageView::PageView(QString resourceDir, QString name, QWidget* parent)
    : QWebEngineView(parent), m_resourceDir(std::move(resourceDir)), m_name(std::move(name)),
      m_bridge(new PageBridge(this)), m_channel(new QWebChannel(this))
{
    auto* page = new OwnPagesOnly(m_resourceDir, m_name, this);
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    m_channel->registerObject(QStringLiteral("bridge"), m_bridge);
    page->setWebChannel(m_channel);

    m_bridge->onReady = [this](int pageId, const QVariantMap&) { OnBridgeReady(pageId); };
    m_bridge->onElementEvent = [this](int pageId, const QString& id, const QString& event,
                                      const QVariantMap& values) {
        if (!m_ready || pageId != m_pageId || !onElementEvent)
            return;
        onElementEvent(pageId, id, event, ValuesFrom(values));
    };
    // A renderer that died takes the page with it; show it again with its values.
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus && m_pageId != 0)
                    Load();
            });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (!ok)
            qWarning().noquote() << "kesto-window:" << m_name << "page" << m_pageId
                                 << "did not load";
    });
}

void PageView::ShowPage(int pageId, const QJsonArray& values)
{
    m_pageId = pageId;
    m_values = values;
    m_disabled.clear();
    Load();
}

void PageView::Load()
{
    m_ready = false;
    const QString file = PageFile(m_resourceDir, m_pageId);
    if (!QFileInfo::exists(file)) {
        qWarning().noquote() << "kesto-window: no page" << file;
        setHtml(QStringLiteral("<!DOCTYPE html><html lang=\"de\"><body></body></html>"));
        return;
    }
    load(QUrl::fromLocalFile(file));
}

void PageView::SetValue(const QString& id, const QJsonValue& value)
{
    bool found = false;
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        const QJsonArray pair = m_values[i].toArray();
        if (pair.size() == 2 && pair[0].toString() == id) {
            m_values[i] = QJsonArray{id, value};
            found = true;
            break;
        }
    }
    if (!found)
        m_values.append(QJsonArray{id, value});
    if (m_ready)
        emit m_bridge->setValue(id, VariantOf(value));
}

void PageView::SetDisabled(const QString& id, bool disabled)
{
    m_disabled.insert(id, disabled);
    if (m_ready)
        emit m_bridge->setDisabled(id, disabled);
}

void PageView::OnBridgeReady(int pageId)
{
    if (pageId != m_pageId)
        return; // a page that is being replaced
    QVariantMap values;
    for (const QJsonValue& entry : m_values) {
        const QJsonArray pair = entry.toArray();
        if (pair.size() == 2 && pair[0].isString())
            values.insert(pair[0].toString(), VariantOf(pair[1]));
    }
    m_ready = true;
    emit m_bridge->setValues(values);
    for (auto it = m_disabled.constBegin(); it != m_disabled.constEnd(); ++it)
        emit m_bridge->setDisabled(it.key(), it.value().toBool());
    if (onReady)
        onReady(pageId);
}

QJsonArray PageView::ValuesFrom(const QVariantMap& map)
{
    QJsonArray values;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QVariant& value = it.value();
        switch (value.typeId()) {
        case QMetaType::QString:
            values.append(QJsonArray{it.key(), value.toString()});
            break;
        case QMetaType::Bool:
            values.append(QJsonArray{it.key(), value.toBool() ? 1 : 0});
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Double: {
            const double number = value.toDouble();
            if (std::isfinite(number) && number == std::trunc(number) && number >= INT_MIN &&
                number <= INT_MAX)
                values.append(QJsonArray{it.key(), static_cast<int>(number)});
            break;
        }
        default:
            break;
        }
    }
    return values;
}

} // namespace kesto
