#include "app/Translations.h"
#include "support/VornTest.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

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
