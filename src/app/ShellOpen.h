#pragma once
// The shell's "open": a file handed to the desktop's program for its type.
// The result is not checked. Tests replace the desktop with a handler.
#include <QString>

#include <functional>

namespace ShellOpen {
void open(const QString &path);
using Handler = std::function<void(const QString &path)>;
void setHandler(Handler handler);
} // namespace ShellOpen
