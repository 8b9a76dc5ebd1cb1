#pragma once
// One running copy per user: a lock file named Vorn in the runtime folder.
namespace SingleInstance {
// False when another copy holds the lock.
bool acquire();
void release();
} // namespace SingleInstance
