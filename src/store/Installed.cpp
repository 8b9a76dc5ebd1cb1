#include "store/Installed.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Installed {

namespace {

// Also without an application object (vorn-setup before it has one, tools).
QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).path();
}

QString besideOr(const QString &name, const char *installedDir)
{
    const QString beside = QDir(executableDir()).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir(QString::fromUtf8(installedDir)).filePath(name);
}

} // namespace

QString version()
{
    return QStringLiteral(VORN_VERSION);
}

QString helperProgram(const QString &name)
{
    return besideOr(name, VORN_LIBEXEC_DIR);
}

QString dataFile(const QString &name)
{
    return besideOr(name, VORN_DATA_DIR);
}

} // namespace Installed
