#include "app/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

namespace SingleInstance {

namespace {
std::unique_ptr<QLockFile> g_lock;
}

bool acquire()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    g_lock = std::make_unique<QLockFile>(QDir(dir).filePath(QStringLiteral("Vorn")));
    // A lock left by a copy that died is taken over; a live one is not.
    g_lock->setStaleLockTime(0);
    if (!g_lock->tryLock(0)) {
        g_lock.reset();
        return false;
    }
    return true;
}

void release()
{
    if (g_lock)
        g_lock->unlock();
    g_lock.reset();
}

} // namespace SingleInstance
