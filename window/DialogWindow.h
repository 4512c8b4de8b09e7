// DialogWindow: a modal HTML dialog of the window process (the about box, the chart
// window, the security pop-up): its own page view in a fixed-size dialog above the main
// window. The frame's close button and Escape close it as the user's cancel; the tray
// process is told and ends the dialog's run.
#pragma once

#include "window/PageView.h"

#include <QDialog>
#include <QString>

#include <functional>

namespace kesto {

class DialogWindow : public QDialog {
public:
    DialogWindow(QString resourceDir, QWidget* parent);

    PageView& view() { return *m_view; }
    // Shows page pageId; the dialog takes the size the page asks for (data-width and
    // data-height on its body) and the page's title.
    void ShowPage(int pageId, const QJsonArray& values);

    std::function<void()> onClosedByUser;

    // The size page pageId asks for, read from its file; a default when it says none.
    static QSize PageSize(const QString& resourceDir, int pageId);

    void reject() override;

private:
    QString m_resourceDir;
    PageView* m_view;
    bool m_closedReported = false;
};

} // namespace kesto
