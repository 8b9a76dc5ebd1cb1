#include "app/ShellOpen.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace ShellOpen {

namespace {
CheckedHandler g_handler;

// Asks the desktop's MIME registry; without xdg-mime there is no answer and
// the desktop is trusted to cope.
bool programRegistered(const QString &path)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(5000))
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}
} // namespace

bool open(const QString &path)
{
    if (g_handler)
        return g_handler(path);
    if (!programRegistered(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setHandler(Handler handler)
{
    if (!handler) {
        g_handler = {};
        return;
    }
    g_handler = [handler = std::move(handler)](const QString &path) {
        handler(path);
        return true;
    };
}

void setCheckedHandler(CheckedHandler handler)
{
    g_handler = std::move(handler);
}

} // namespace ShellOpen
