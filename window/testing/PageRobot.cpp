#include "window/testing/PageRobot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPixmap>
#include <QTest>
#include <QVariantList>
#include <QWebEnginePage>

#include <utility>

namespace kesto {

void PageRobot::ElementCentre(PageView& view, const QString& id,
                              std::function<void(std::optional<QPoint>)> done)
{
    // The id goes in as a JSON string, so no id can break out of the script.
    const QString quoted =
        QString::fromUtf8(QJsonDocument(QJsonArray{id}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    const QString script =
        QStringLiteral("(function(id){var e=document.getElementById(id);"
                       "if(!e){var n=document.getElementsByName(id);e=n.length?n[0]:null;}"
                       "if(!e)return null;e.scrollIntoView({block:'nearest',inline:'nearest'});"
                       "var r=e.getBoundingClientRect();if(r.width<1||r.height<1)return null;"
                       "return [r.left+r.width/2,r.top+r.height/2];})(%1)")
            .arg(quoted);
    view.page()->runJavaScript(script, [done = std::move(done)](const QVariant& result) {
        const QVariantList centre = result.toList();
        if (centre.size() != 2) {
            done(std::nullopt);
            return;
        }
        done(QPoint(qRound(centre[0].toDouble()), qRound(centre[1].toDouble())));
    });
}

bool PageRobot::Click(PageView& view, QPoint at, bool doubleClick)
{
    QWidget* input = view.focusProxy();
    if (!input)
        return false;
    QTest::mouseMove(input, at);
    MouseClick(input, at, doubleClick);
    return true;
}

void PageRobot::MouseClick(QWidget* widget, QPoint at, bool doubleClick)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    if (!doubleClick)
        return;
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

bool PageRobot::Key(PageView& view, int key, const QString& text)
{
    QWidget* input = view.focusProxy();
    if (!input)
        return false;
    view.window()->activateWindow();
    input->setFocus(Qt::OtherFocusReason);
    if (!text.isEmpty())
        QTest::keyClicks(input, text);
    else
        QTest::keyClick(input, static_cast<Qt::Key>(key));
    return true;
}

bool PageRobot::Grab(QWidget& widget, const QString& file)
{
    return widget.grab().save(file, "PNG");
}

} // namespace kesto
