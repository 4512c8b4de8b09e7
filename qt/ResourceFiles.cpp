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

QString FindResourceDir()
{
    QStringList candidates;
    const QString fromEnvironment = qEnvironmentVariable("KESTO_RESOURCES_DIR");
    if (!fromEnvironment.isEmpty())
        candidates << fromEnvironment;
    if (QCoreApplication::instance()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        candidates << exeDir + QStringLiteral("/resources")
                   << exeDir + QStringLiteral("/../share/kesto/resources");
    }
#ifdef KESTO_SOURCE_RESOURCES_DIR
    candidates << QStringLiteral(KESTO_SOURCE_RESOURCES_DIR);
#endif
    for (const QString& candidate : candidates) {
        if (HoldsResources(candidate))
            return QDir(candidate).absolutePath();
    }
    return {};
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

} // namespace kesto
