#include "app/FileDialogs.h"
#include "app/Translations.h"
#include "support/Driving.h"
#include "support/VornTest.h"

#include <QAbstractProxyModel>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

// Qt's own file dialog, as the user meets it when choosing a spreadsheet or
// a picture, reads in Chinese once the translations are loaded.
TEST(Translations, QtsOwnDialogsReadInChinese)
{
    ASSERT_TRUE(Translations::install()) << "qt6-translations-l10n is not installed";
    {
        QFileDialog dialog(nullptr, QStringLiteral("打开"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.show();
        saveShot(&dialog, "QFileDialog");
        QStringList buttons;
        for (QDialogButtonBox *box : dialog.findChildren<QDialogButtonBox *>())
            for (QAbstractButton *b : box->buttons())
                buttons << b->text();
        QStringList labels;
        for (QLabel *l : dialog.findChildren<QLabel *>())
            if (l->isVisible())
                labels << l->text();
        EXPECT_EQ(buttons.join('|').toStdString(), "打开(&O)|取消");
        EXPECT_EQ(labels.join('|').toStdString(), "查找范围：|文件名称(&N)：|文件类型：");
    }
    Translations::remove();
}

// The file dialog the program opens lists a file's date in Chinese, whatever
// the machine's own locale is.
TEST(Translations, FileDialogDatesReadInChinese)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("examinee.xls"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString shown;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        auto *files = dialog->findChild<QFileSystemModel *>();
        auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
        ASSERT_TRUE(files && view);
        QSignalSpy loaded(files, &QFileSystemModel::directoryLoaded);
        if (files->rowCount(files->index(dir.path())) == 0)
            loaded.wait();
        auto *proxy = qobject_cast<QAbstractProxyModel *>(view->model());
        ASSERT_NE(proxy, nullptr);
        shown = proxy->mapFromSource(files->index(file, 3)).data().toString();
        dialog->reject();
    });
    EXPECT_EQ(FileDialogs::openFile(nullptr, QStringLiteral("打开"), dir.path(), QStringLiteral("Excel(*.xls)")),
              QString());
    EXPECT_EQ(shown, QLocale(QLocale::Chinese, QLocale::China).toString(QFileInfo(file).lastModified(),
                                                                       QLocale::ShortFormat));
}
