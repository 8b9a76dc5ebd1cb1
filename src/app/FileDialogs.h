#pragma once
// Open and save file dialogs, scriptable by tests.
#include <QString>

#include <functional>

class QWidget;

struct FileDialogRequest
{
    enum Kind { Open, Save } kind = Open;
    QString caption;
    QString directory;
    QString filter;
};

namespace FileDialogs {
// Empty when the user cancels.
QString openFile(QWidget *parent, const QString &caption, const QString &directory, const QString &filter);
QString saveFile(QWidget *parent, const QString &caption, const QString &directory, const QString &filter);

using Handler = std::function<QString(const FileDialogRequest &)>;
void setHandler(Handler handler);
} // namespace FileDialogs
