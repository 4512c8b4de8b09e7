#include "window/MainWindow.h"

#include "qt/ResourceFiles.h"

#include <QCloseEvent>
#include <QIcon>
#include <QTimer>

#include <utility>

namespace kesto {

MainWindow::MainWindow(QString resourceDir)
    : m_resourceDir(std::move(resourceDir)),
      m_view(new PageView(m_resourceDir, QStringLiteral("main"), this))
{
    setWindowTitle(QStringLiteral("Corvane Utility"));
    setObjectName(QStringLiteral("MainWindow"));
    for (int id : {kSurveyListControl, kStationListControl}) {
        auto* list = new ListOverlay(id, m_resourceDir, this);
        list->raise();
        m_lists.emplace(id, list);
    }
    resize(753, 484);
}

ListOverlay* MainWindow::list(int controlId)
{
    const auto it = m_lists.find(controlId);
    return it == m_lists.end() ? nullptr : it->second;
}

void MainWindow::SetOuterSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    m_outer = QSize(width, height);
    FitToOuterSize();
}

void MainWindow::FitToOuterSize()
{
    if (!m_outer.isValid())
        return;
    // The frame is known once the window manager has framed the window; until then the
    // whole size goes to the page.
    QSize frame = frameGeometry().size() - geometry().size();
    if (!isVisible() || frame.width() < 0 || frame.height() < 0)
        frame = QSize(0, 0);
    setFixedSize(m_outer - frame);
}

void MainWindow::SetIconResource(int resource)
{
    const QString file = ImageFile(m_resourceDir, resource);
    if (!file.isEmpty())
        setWindowIcon(QIcon(file));
}

void MainWindow::ApplyState(wire::WindowState state)
{
    switch (state) {
    case wire::WindowState::Hidden:
        m_minimisedForHide = false;
        hide();
        break;
    case wire::WindowState::Minimised:
        m_minimisedForHide = true;
        if (!isMinimized()) {
            m_minimisedByCommand = true;
            showMinimized();
        }
        break;
    case wire::WindowState::Normal:
        m_minimisedForHide = false;
        if (isMinimized())
            showNormal();
        else
            show();
        Raise();
        break;
    }
}

void MainWindow::Raise()
{
    if (!isVisible())
        return;
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (onWindowEvent)
        onWindowEvent(WindowEvent::Close);
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    const bool wasMinimised = change->oldState() & Qt::WindowMinimized;
    if (isMinimized() && !wasMinimised) {
        if (m_minimisedByCommand)
            m_minimisedByCommand = false;
        else if (onWindowEvent)
            onWindowEvent(WindowEvent::Minimise);
    } else if (!isMinimized() && wasMinimised && m_minimisedForHide) {
        m_minimisedForHide = false;
        if (onRestored)
            onRestored();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Frame extents arrive after the window is mapped.
    QTimer::singleShot(0, this, [this] { FitToOuterSize(); });
}

} // namespace kesto
