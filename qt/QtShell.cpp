#include "qt/QtShell.h"

#include "wire/WindowMessages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <utility>

namespace kesto {

QtShell::QtShell(QString helpDir) : m_helpDir(std::move(helpDir)) {}

std::string QtShell::ExecutablePath()
{
    if (!QCoreApplication::instance())
        return {};
    return wire::ToUtf8(QCoreApplication::applicationFilePath());
}

QString QtShell::DocumentFor(const QString& path, const QString& helpDir)
{
    if (!path.endsWith(QStringLiteral(".chm"), Qt::CaseInsensitive))
        return path;
    const QString html = path.chopped(4) + QStringLiteral(".html");
    if (QFileInfo::exists(html))
        return html;
    if (!helpDir.isEmpty()) {
        const QString shipped = helpDir + QLatin1Char('/') + QFileInfo(html).fileName();
        if (QFileInfo::exists(shipped))
            return shipped;
    }
    return path;
}

bool QtShell::OpenDocument(std::string_view path)
{
    const QString file = DocumentFor(wire::FromUtf8(path), m_helpDir);
    if (file.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace kesto
