#include "app/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

namespace SingleInstance {

namespace {
std::unique_ptr<QLockFile> g_lock;
std::unique_ptr<QLockFile> g_dirLock;
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

bool lockWorkingDirectory(const QString &dir, QString *reason)
{
    const QString shown = QDir::toNativeSeparators(QDir(dir).absolutePath());
    auto lock = std::make_unique<QLockFile>(QDir(dir).filePath(WorkDirLockName));
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        g_dirLock = std::move(lock);
        return true;
    }
    switch (lock->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host, app;
        lock->getLockInfo(&pid, &host, &app);
        *reason = QStringLiteral("另一份Lumet（进程号 %1）正在使用工作目录 %2。\n"
                                 "两份程序同时使用同一组数据库会互相破坏考试数据，本程序将退出。")
                      .arg(pid)
                      .arg(shown);
        break;
    }
    case QLockFile::PermissionError:
        *reason = QStringLiteral("无法在工作目录 %1 中建立锁文件 %2：没有写入权限。\n"
                                 "程序需要写入工作目录才能保存考试数据，将退出。")
                      .arg(shown, WorkDirLockName);
        break;
    default:
        *reason = QStringLiteral("无法在工作目录 %1 中建立锁文件 %2（磁盘可能已满或出错），程序将退出。")
                      .arg(shown, WorkDirLockName);
        break;
    }
    return false;
}

void release()
{
    if (g_dirLock)
        g_dirLock->unlock();
    g_dirLock.reset();
    if (g_lock)
        g_lock->unlock();
    g_lock.reset();
}

} // namespace SingleInstance
