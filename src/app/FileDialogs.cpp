#include "app/FileDialogs.h"

#include <QFileDialog>

namespace FileDialogs {

namespace {
Handler g_handler;

QString ask(QWidget *parent, FileDialogRequest::Kind kind, const QString &caption, const QString &directory,
            const QString &filter)
{
    if (g_handler)
        return g_handler({kind, caption, directory, filter});
    if (kind == FileDialogRequest::Open)
        return QFileDialog::getOpenFileName(parent, caption, directory, filter);
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}
} // namespace

QString openFile(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return ask(parent, FileDialogRequest::Open, caption, directory, filter);
}

QString saveFile(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return ask(parent, FileDialogRequest::Save, caption, directory, filter);
}

void setHandler(Handler handler)
{
    g_handler = std::move(handler);
}

} // namespace FileDialogs
