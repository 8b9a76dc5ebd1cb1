#include "app/FileDialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace FileDialogs {

namespace {
Handler g_handler;

// Qt's file list writes its dates in the system locale (English on a machine
// without a Chinese one); this program's users read them in Chinese.
class ChineseDates : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        constexpr int kModifiedColumn = 3;
        if (role == Qt::DisplayRole && index.column() == kModifiedColumn) {
            if (auto *files = qobject_cast<QFileSystemModel *>(sourceModel()))
                return QLocale().toString(files->lastModified(mapToSource(index)), QLocale::ShortFormat);
        }
        return QIdentityProxyModel::data(index, role);
    }
};

QString ask(QWidget *parent, FileDialogRequest::Kind kind, const QString &caption, const QString &directory,
            const QString &filter)
{
    if (g_handler)
        return g_handler({kind, caption, directory, filter});
    // Qt's own dialog, so that its texts and dates follow the program's locale.
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ChineseDates(&dialog));
    if (kind == FileDialogRequest::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
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
