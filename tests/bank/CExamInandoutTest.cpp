#include "bank/CExamInandout.h"

#include "bank/BankSeed.h"
#include "support/Driving.h"
#include "support/VornTest.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace {

class CExamInandoutTest : public VornTest
{
protected:
    void choose(CExamInandout &s, const QString &type)
    {
        auto *combo = s.control<QComboBox>(CExamInandout::Type);
        combo->setCurrentIndex(combo->findText(type));
    }
};

} // namespace

TEST_F(CExamInandoutTest, ImportModeImportsTheChosenSheetAndCloses)
{
    XlsWorkbook book;
    ASSERT_TRUE(book.open(bankFixture("questions.xls")));
    CExamInandout s(CExamInandout::Mode::Import, &book);
    s.show();
    saveShot(&s, "CExamInandout-import");
    EXPECT_EQ(s.windowTitle(), "Lumet—题库导入或删除");
    EXPECT_TRUE(s.control(CExamInandout::Import)->isVisible());
    EXPECT_FALSE(s.control(CExamInandout::Clear)->isVisible());
    EXPECT_EQ(s.text(CExamInandout::Explanation), CExamInandout::importExplanation());

    expectBox("请选择题型！", Caption::Remind);
    click(s, CExamInandout::Import);
    EXPECT_TRUE(s.isVisible());

    choose(s, "判断题");
    expectBox("导入数据2条，已删除0条重复数据！", Caption::Tip);
    click(s, CExamInandout::Import);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(s.result(), QDialog::Accepted);
    const auto rows = outsiderRows(Db::Questions, "select 答案, A, B, C from 判断题 order by ID");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].mid(0, 3), QStringList({"B", "正确", "错误"}));
    EXPECT_TRUE(rows[1][3].isNull());
}

TEST_F(CExamInandoutTest, ARefusedImportClosesWithItsMessage)
{
    XlsWorkbook book;
    ASSERT_TRUE(book.open(bankFixture("reordered.xls")));
    CExamInandout s(CExamInandout::Mode::Import, &book);
    s.show();
    choose(s, "单选题");
    expectBox("Excel单选题表没有按照模板要求输入，导入失败！", Caption::Tip);
    click(s, CExamInandout::Import);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(s.result(), QDialog::Rejected);
}

TEST_F(CExamInandoutTest, AFileThatIsNoWorkbookDoesNotOpenTheScreen)
{
    expectText("无法打开Excel文件（不是Excel 97-2003格式的文件），导入失败！", Caption::Tip);
    EXPECT_EQ(CExamInandout::runImport(nullptr, bankFixture("notaspreadsheet.xls")), QDialog::Rejected);
    expectText("无法打开Excel文件（文件内容无法读取），导入失败！", Caption::Tip);
    EXPECT_EQ(CExamInandout::runImport(nullptr, bankFixture("hugecell.xls")), QDialog::Rejected);
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from 单选题").isEmpty());
}

TEST_F(CExamInandoutTest, ClearingModeEmptiesAType)
{
    seedQuestions("单选题", 4);
    outsiderExec(Db::Questions, "update 单选题 set 图片='单选题2' where ID=2");
    {
        QFile file(path("QuestionMap/单选题2.bmp"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    CExamInandout s(CExamInandout::Mode::Delete, nullptr);
    s.show();
    saveShot(&s, "CExamInandout-delete");
    EXPECT_FALSE(s.control(CExamInandout::Import)->isVisible());
    EXPECT_TRUE(s.control(CExamInandout::Clear)->isVisible());
    EXPECT_EQ(s.text(CExamInandout::Explanation), "\n\n    您确定要删除系统保存的相关题型的题库码?\n\n一旦删除将无法恢复！");

    choose(s, "填空题");
    expectBox("填空题题库已为空", Caption::Tip);
    click(s, CExamInandout::Clear);
    EXPECT_TRUE(s.isVisible());

    choose(s, "单选题");
    expectBox("单选题题库已清空", Caption::Tip);
    click(s, CExamInandout::Clear);
    EXPECT_FALSE(s.isVisible());
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from 单选题").isEmpty());
    EXPECT_FALSE(QFile::exists(path("QuestionMap/单选题2.bmp")));
}
