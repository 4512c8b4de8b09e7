#include "qt/QtDialogs.h"

#include "wire/WindowMessages.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

namespace kesto {

void QtDialogs::MessageBox(std::string_view text, std::string_view caption)
{
    QMessageBox box(QMessageBox::NoIcon, wire::FromUtf8(caption), wire::FromUtf8(text),
                    QMessageBox::Ok);
    // The tray process owns no window the box could stay above: keep it in front of the
    // main window, which belongs to the window process.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (m_boxes++ == 0 && m_modal)
        m_modal(true);
    box.exec();
    if (--m_boxes == 0 && m_modal)
        m_modal(false);
}

// The desktop's bell has a pitch and length of its own; what matters is that it sounds,
// and that the thread does not stand still while it does.
void QtDialogs::Beep(int /*frequencyHz*/, int /*durationMs*/)
{
    QApplication::beep();
}

void QtDialogs::BeginWaitCursor()
{
    if (m_waitDepth++ > 0)
        return;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_listener)
        m_listener(true);
}

void QtDialogs::EndWaitCursor()
{
    if (m_waitDepth == 0 || --m_waitDepth > 0)
        return;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
    if (m_listener)
        m_listener(false);
}

} // namespace kesto
