#include "qt/QtShell.h"

#include "wire/WindowMessages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kesto {

std::string QtShell::ExecutablePath()
{
    if (!QCoreApplication::instance())
        return {};
    return wire::ToUtf8(QCoreApplication::applicationFilePath());
}

QString QtShell::DocumentFor(const QString& path)
{
    if (!path.endsWith(QStringLiteral(".chm"), Qt::CaseInsensitive))
        return path;
    const QString html = path.chopped(4) + QStringLiteral(".html");
    return QFileInfo::exists(html) ? html : path;
}

bool QtShell::OpenDocument(std::string_view path)
{
    const QString file = DocumentFor(wire::FromUtf8(path));
    if (file.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace kesto
