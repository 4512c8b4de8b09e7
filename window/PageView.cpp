#include "window/PageView.h"

#include "wire/Messages.h"

#include "qt/ResourceFiles.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>
#include <variant>

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

QVariant VariantOf(const ElementValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return QString::fromStdString(*text);
    return std::get<int>(value);
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
                                      const QVariantMap& values, qint64 applied) {
        if (!m_ready || pageId != m_pageId || !onElementEvent)
            return;
        // An event raised before the page had its values (queued while it connected)
        // read the page as it loaded; a mark outside this page's commands is no mark.
        const qint64 seen = applied >= m_pageSeq && applied <= m_valuesSeq ? applied : m_pageSeq;
        onElementEvent(pageId, id, event, ValuesFrom(values), seen);
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

void PageView::ShowPage(int pageId, const PageValues& values, qint64 seq)
{
    m_pageId = pageId;
    m_pageSeq = seq;
    m_values = values;
    m_valuesSeq = seq;
    m_disabled.clear();
    m_refusedIds = false;
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

void PageView::SetValue(std::string_view id, const ElementValue& value, qint64 seq)
{
    const auto it = std::find_if(m_values.begin(), m_values.end(),
                                 [id](const ElementState& state) { return state.id == id; });
    if (it != m_values.end()) {
        it->value = value;
    } else if (!RoomForNewId(m_values.size(), QString::fromUtf8(id.data(), id.size()), "values")) {
        return;
    } else {
        m_values.push_back({std::string(id), value});
    }
    m_valuesSeq = std::max(m_valuesSeq, seq);
    if (m_ready)
        emit m_bridge->setValue(QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size())),
                                VariantOf(value), static_cast<double>(m_valuesSeq));
}

bool PageView::RoomForNewId(std::size_t held, const QString& id, const char* what)
{
    // A page has some dozen elements: ids beyond the bound are not the core's, and
    // keeping them would let a peer make every later command slower.
    if (held < static_cast<std::size_t>(wire::kMaxPageValues))
        return true;
    if (!m_refusedIds)
        qWarning().noquote() << "kesto-window:" << m_name << "page" << m_pageId
                             << "refusing element" << id
                             << "and further new ids: the page already holds"
                             << wire::kMaxPageValues << what;
    m_refusedIds = true;
    return false;
}

void PageView::SetDisabled(const QString& id, bool disabled)
{
    if (!m_disabled.contains(id) &&
        !RoomForNewId(static_cast<std::size_t>(m_disabled.size()), id, "element states"))
        return;
    m_disabled.insert(id, disabled);
    if (m_ready)
        emit m_bridge->setDisabled(id, disabled);
}

void PageView::OnBridgeReady(int pageId)
{
    if (pageId != m_pageId)
        return; // a page that is being replaced
    QVariantMap values;
    for (const ElementState& state : m_values)
        values.insert(QString::fromStdString(state.id), VariantOf(state.value));
    m_ready = true;
    emit m_bridge->setValues(values, static_cast<double>(m_valuesSeq));
    for (auto it = m_disabled.constBegin(); it != m_disabled.constEnd(); ++it)
        emit m_bridge->setDisabled(it.key(), it.value().toBool());
    if (onReady)
        onReady(pageId);
}

PageValues PageView::ValuesFrom(const QVariantMap& map)
{
    PageValues values;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it.key().isEmpty())
            continue;
        const std::string id = it.key().toStdString();
        const QVariant& value = it.value();
        switch (value.typeId()) {
        case QMetaType::QString:
            values.push_back({id, value.toString().toStdString()});
            break;
        case QMetaType::Bool:
            values.push_back({id, value.toBool() ? 1 : 0});
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Double: {
            const double number = value.toDouble();
            if (std::isfinite(number) && number == std::trunc(number) && number >= INT_MIN &&
                number <= INT_MAX)
                values.push_back({id, static_cast<int>(number)});
            break;
        }
        default:
            break;
        }
    }
    return values;
}

} // namespace kesto
