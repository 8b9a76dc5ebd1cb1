#pragma once
// One running copy per user: a lock file named Vorn in the runtime folder.
// And one copy per working directory: the lock file vorn.lock in it, since
// copies whose runtime folders differ (another user, another session) would
// otherwise share the databases and undo each other's working tables.
#include <QString>

namespace SingleInstance {
// False when another copy holds the lock.
bool acquire();

// Locks dir. False, with the reason for the user in Chinese, when another
// copy holds it or the lock file cannot be made there. A lock left by a copy
// that died is taken over.
bool lockWorkingDirectory(const QString &dir, QString *reason);

// Lets both locks go.
void release();

// The lock file's name in the working directory.
inline const QString WorkDirLockName = QStringLiteral("vorn.lock");
} // namespace SingleInstance
