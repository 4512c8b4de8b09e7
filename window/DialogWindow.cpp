#include "window/DialogWindow.h"

#include "platform/qt/ResourceFiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QVBoxLayout>

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

void DialogWindow::ShowPage(int pageId, const QJsonArray& values)
{
    setFixedSize(PageSize(m_resourceDir, pageId));
    m_closedReported = false;
    m_view->ShowPage(pageId, values);
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
