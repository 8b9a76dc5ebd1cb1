#include "app/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace ShellOpen {

namespace {
Handler g_handler;
}

void open(const QString &path)
{
    if (g_handler) {
        g_handler(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setHandler(Handler handler)
{
    g_handler = std::move(handler);
}

} // namespace ShellOpen
