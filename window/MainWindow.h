// MainWindow: the utility's main window in the window process: the page view filling it
// and the two lists laid over the page. Closing and minimising do not act here: they go
// to the tray process as window events, and the core decides (it hides the window).
#pragma once

#include "platform/ListControlIds.h"
#include "window/ListOverlay.h"
#include "window/PageView.h"
#include "wire/Messages.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>

namespace kesto {

class MainWindow : public QWidget {
public:
    explicit MainWindow(QString resourceDir);

    PageView& view() { return *m_view; }
    // The list with that control id, or nullptr.
    ListOverlay* list(int controlId);
    const std::map<int, ListOverlay*>& lists() const { return m_lists; }

    // Outer size, frame included, as the core gives it.
    void SetOuterSize(int width, int height);
    void SetIconResource(int resource);
    void ApplyState(wire::WindowState state);
    void Raise();

    // Close and Minimise (by the user); Escape and Enter come from the controller's key
    // filter.
    std::function<void(WindowEvent event)> onWindowEvent;
    // The user brought back the window that was minimised in place of hiding.
    std::function<void()> onRestored;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FitToOuterSize();

    QString m_resourceDir;
    PageView* m_view;
    std::map<int, ListOverlay*> m_lists;
    QSize m_outer;
    bool m_minimisedByCommand = false; // minimising was ours, not the user's
    bool m_minimisedForHide = false;   // the tray's "hidden" is shown as minimised
};

} // namespace kesto
