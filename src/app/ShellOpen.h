#pragma once
// The shell's "open": a file handed to the desktop's program for its type.
// Tests replace the desktop with a handler.
#include <QString>

#include <functional>

namespace ShellOpen {
// False when no program is registered for the file's type or the desktop
// could not start it; callers that do not care ignore it.
bool open(const QString &path);
// A handler that takes every file (opening succeeds).
using Handler = std::function<void(const QString &path)>;
void setHandler(Handler handler);
// A handler that decides whether opening succeeds.
using CheckedHandler = std::function<bool(const QString &path)>;
void setCheckedHandler(CheckedHandler handler);
} // namespace ShellOpen
