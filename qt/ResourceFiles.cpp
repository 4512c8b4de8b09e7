#include "qt/ResourceFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace kesto {

namespace {

bool HoldsResources(const QString& dir)
{
    return !dir.isEmpty() && QFileInfo(dir + QStringLiteral("/images")).isDir();
}

} // namespace

QString FindResourceDir(const QString& programDir)
{
    QStringList candidates;
    const QString fromEnvironment = qEnvironmentVariable("KESTO_RESOURCES_DIR");
    if (!fromEnvironment.isEmpty())
        candidates << fromEnvironment;
    if (!programDir.isEmpty()) {
        candidates << programDir + QStringLiteral("/../share/kesto")
                   << programDir + QStringLiteral("/../../share/kesto");
    }
    for (const QString& candidate : candidates) {
        if (HoldsResources(candidate))
            return QDir::cleanPath(QDir(candidate).absolutePath());
    }
    return {};
}

QString FindResourceDir()
{
    return FindResourceDir(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                        : QString());
}

QString WindowProgramFile(const QString& programDir)
{
    return QDir::cleanPath(programDir + QStringLiteral("/../libexec/kesto/kesto-window"));
}

QString ImageFile(const QString& resourceDir, int resource)
{
    for (const char* extension : {".png", ".svg"}) {
        const QString file = resourceDir + QStringLiteral("/images/") + QString::number(resource) +
                             QLatin1String(extension);
        if (QFileInfo::exists(file))
            return file;
    }
    return {};
}

QString StripImageFile(const QString& resourceDir, int bitmap, int index)
{
    return resourceDir + QStringLiteral("/images/") + QString::number(bitmap) + QLatin1Char('_') +
           QString::number(index) + QStringLiteral(".png");
}

QString PageFile(const QString& resourceDir, int pageId)
{
    return resourceDir + QStringLiteral("/pages/") + QString::number(pageId) +
           QStringLiteral(".html");
}

QString DefaultScenarioFile(const QString& resourceDir)
{
    return resourceDir + QStringLiteral("/scenarios/default.json");
}

QString HelpDir(const QString& resourceDir)
{
    return resourceDir + QStringLiteral("/help");
}

} // namespace kesto
