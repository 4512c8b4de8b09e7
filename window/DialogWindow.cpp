#include "window/DialogWindow.h"

#include "qt/ResourceFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QWebEnginePage>

#include <utility>

namespace kesto {

namespace {

constexpr QSize kDefaultSize(480, 360);
constexpr int kLargest = 2000;

} // namespace

DialogWindow::DialogWindow(QString resourceDir, QWidget* parent)
    : QDialog(parent), m_resourceDir(std::move(resourceDir)),
      m_view(new PageView(m_resourceDir, QStringLiteral("dialog"), this))
{
    setObjectName(QStringLiteral("Dialog"));
    setModal(true);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view, &QWebEngineView::titleChanged, this,
            [this](const QString& title) { setWindowTitle(title); });
    m_view->onReady = [this](int) { PlaceCharts(); };
}

void DialogWindow::PlaceCharts()
{
    const int pageId = m_view->pageId();
    const QString script = QStringLiteral(
        "JSON.stringify(Array.prototype.map.call(document.querySelectorAll('[data-chart]'),"
        "function(e){var r=e.getBoundingClientRect();"
        "return [Number(e.getAttribute('data-chart')),r.left,r.top,r.width,r.height];}))");
    QPointer<DialogWindow> self(this);
    m_view->page()->runJavaScript(script, [self, pageId](const QVariant& result) {
        if (!self || self->m_view->pageId() != pageId || !self->m_view->ready())
            return;
        const QJsonArray places = QJsonDocument::fromJson(result.toString().toUtf8()).array();
        for (const QJsonValue& value : places) {
            const QJsonArray place = value.toArray();
            const int id = place.at(0).toInt(-1);
            if (place.size() != 5 || id < 0 || self->m_charts.count(id))
                continue;
            auto* chart = new ChartOverlay(id, self);
            chart->setGeometry(qRound(place.at(1).toDouble()), qRound(place.at(2).toDouble()),
                               qRound(place.at(3).toDouble()), qRound(place.at(4).toDouble()));
            if (const auto style = self->styleFor ? self->styleFor(id) : std::nullopt)
                chart->ApplyStyle(*style);
            chart->show();
            chart->raise();
            self->m_charts.emplace(id, chart);
        }
    });
}

void DialogWindow::AppendChartValue(int chartId, double value)
{
    if (const auto it = m_charts.find(chartId); it != m_charts.end())
        it->second->Append(value);
}

void DialogWindow::ApplyChartStyle(int chartId, const ChartStyle& style)
{
    if (const auto it = m_charts.find(chartId); it != m_charts.end())
        it->second->ApplyStyle(style);
}

QSize DialogWindow::PageSize(const QString& resourceDir, int pageId)
{
    QFile file(PageFile(resourceDir, pageId));
    if (!file.open(QIODevice::ReadOnly))
        return kDefaultSize;
    // The body tag stands near the top; a bounded read is enough.
    const QString head = QString::fromUtf8(file.read(16384));
    static const QRegularExpression body(QStringLiteral("<body\\b[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString tag = body.match(head).captured(0);
    const auto attribute = [&tag](const char* name, int fallback) {
        const QRegularExpression pattern(
            QStringLiteral("\\b%1=\"(\\d{1,4})\"").arg(QLatin1String(name)));
        const int value = pattern.match(tag).captured(1).toInt();
        return value > 0 && value <= kLargest ? value : fallback;
    };
    return {attribute("data-width", kDefaultSize.width()),
            attribute("data-height", kDefaultSize.height())};
}

void DialogWindow::ShowPage(int pageId, const PageValues& values, qint64 seq)
{
    setFixedSize(PageSize(m_resourceDir, pageId));
    m_closedReported = false;
    // Each page that opens starts with empty charts.
    for (auto& [id, chart] : m_charts)
        chart->deleteLater();
    m_charts.clear();
    m_view->ShowPage(pageId, values, seq);
}

void DialogWindow::reject()
{
    hide();
    if (m_closedReported)
        return;
    m_closedReported = true;
    if (onClosedByUser)
        onClosedByUser();
}

} // namespace kesto
