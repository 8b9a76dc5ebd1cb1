#include "bank/CExamPaper.h"

#include "app/CReadEdit.h"
#include "app/ShellOpen.h"
#include "bank/CAddQuestion.h"
#include "bank/CExamInandout.h"
#include "bank/BankSeed.h"
#include "support/Driving.h"
#include "support/VornTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

class CExamPaperTest : public VornTest
{
protected:
    void check(CExamPaper &s, int id) { QTest::mouseClick(s.control<QCheckBox>(id), Qt::LeftButton); }
    void keyword(CExamPaper &s, const QString &text)
    {
        auto *box = s.control<QPlainTextEdit>(CExamPaper::Keyword);
        box->clear();
        box->setFocus();
        box->insertPlainText(text); // pasted: Chinese cannot be typed key by key here
    }
    QTableWidget *list(CExamPaper &s) { return s.control<QTableWidget>(CExamPaper::List); }
    QString cell(CExamPaper &s, int row, int column) { return list(s)->item(row, column)->text(); }
    QString label(CExamPaper &s) { return s.text(CExamPaper::PageLabel); }
    bool interimExists()
    {
        return !outsiderRows(Db::Questions, "select name from sqlite_master where name='interim1'").isEmpty();
    }
    // A user's double-click: the press that selects, then the double-click.
    void doubleClick(CExamPaper &s, const QPoint &pos)
    {
        QTest::mouseClick(list(s)->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(list(s)->viewport(), Qt::LeftButton, {}, pos);
    }
    QPoint cellCentre(CExamPaper &s, int row, int column)
    {
        return list(s)->visualRect(list(s)->model()->index(row, column)).center();
    }
    void rightClick(CExamPaper &s, int row, int column)
    {
        QWidget *viewport = list(s)->viewport();
        const QPoint pos = cellCentre(s, row, column);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
        QApplication::sendEvent(viewport, &event);
    }
};

} // namespace

TEST_F(CExamPaperTest, OpensWithAnEmptyWorkingTableAndDropsItOnLeaving)
{
    outsiderExec(Db::Questions, "create table interim1 (ID INTEGER PRIMARY KEY, 编号 TEXT)");
    outsiderExec(Db::Questions, "insert into interim1 (编号) values ('left over')");
    outsiderExec(Db::Questions, "insert into Subject (科目) values ('语文')");
    CExamPaper s;
    s.show();
    EXPECT_EQ(s.windowTitle(), "Lumet—题库管理");
    EXPECT_EQ(list(s)->columnCount(), 13);
    EXPECT_EQ(list(s)->horizontalHeaderItem(0)->text(), "序号");
    EXPECT_EQ(list(s)->horizontalHeaderItem(12)->text(), "ID");
    EXPECT_EQ(list(s)->columnWidth(3), 350);
    EXPECT_EQ(list(s)->columnWidth(12), 0);
    EXPECT_EQ(s.control<QComboBox>(CExamPaper::Subject)->count(), 1);
    for (int id : {CExamPaper::FirstPage, CExamPaper::PreviousPage, CExamPaper::NextPage, CExamPaper::LastPage, CExamPaper::ReadEdit})
        EXPECT_FALSE(s.control(id)->isVisible()) << id;
    ASSERT_TRUE(interimExists());
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from interim1").isEmpty());
    EXPECT_EQ(outsiderRows(Db::Questions, "pragma table_info(interim1)").size(), 14);

    click(s, CExamPaper::Back);
    EXPECT_FALSE(interimExists());
    EXPECT_EQ(requestedScreen(), ScreenId::Admin);
}

TEST_F(CExamPaperTest, TheOtherExitsDropTheWorkingTableToo)
{
    {
        CExamPaper s;
        s.show();
        click(s, CExamPaper::Settings);
        EXPECT_FALSE(interimExists());
        EXPECT_EQ(requestedScreen(), ScreenId::VariouSet);
    }
    CExamPaper s;
    s.show();
    EXPECT_TRUE(interimExists());
    click(s, CExamPaper::Exit);
    EXPECT_FALSE(interimExists());
    EXPECT_TRUE(exited());
}

TEST_F(CExamPaperTest, PagesThroughOneHundredTwentyResults)
{
    seedQuestions("单选题", 100, "语文", "单");
    seedQuestions("多选题", 20, "数学", "多");
    outsiderExec(Db::Questions, "insert into Subject (科目) values ('语文'), ('数学')");
    CExamPaper s;
    s.show();
    expectBox("题型为必选！", Caption::Tip);
    click(s, CExamPaper::Search);
    EXPECT_EQ(list(s)->rowCount(), 0);

    check(s, CExamPaper::MultipleType);
    check(s, CExamPaper::SingleType);
    click(s, CExamPaper::Search);
    ASSERT_EQ(list(s)->rowCount(), 50);
    EXPECT_EQ(cell(s, 0, 0), "1");
    EXPECT_EQ(cell(s, 49, 0), "50");
    EXPECT_EQ(cell(s, 0, 3), "单1");
    EXPECT_EQ(label(s), "第 1 页  共 3 页");
    for (int id : {CExamPaper::FirstPage, CExamPaper::PreviousPage, CExamPaper::NextPage, CExamPaper::LastPage, CExamPaper::PageLabel})
        EXPECT_TRUE(s.control(id)->isVisible()) << id;

    click(s, CExamPaper::LastPage); // 末页
    ASSERT_EQ(list(s)->rowCount(), 20);
    EXPECT_EQ(cell(s, 0, 0), "101");
    EXPECT_EQ(cell(s, 19, 0), "120");
    EXPECT_EQ(cell(s, 19, 2), "多选题");
    EXPECT_EQ(cell(s, 19, 12), "20");
    EXPECT_EQ(label(s), "第 3 页  共 3 页");
    saveShot(&s, "CExamPaper-paged");

    click(s, CExamPaper::PreviousPage); // <<
    EXPECT_EQ(label(s), "第 2 页  共 3 页");
    EXPECT_EQ(cell(s, 0, 0), "51");
    click(s, CExamPaper::NextPage); // >>
    EXPECT_EQ(label(s), "第 3 页  共 3 页");
    click(s, CExamPaper::NextPage); // >> on the last page searches again and stays
    EXPECT_EQ(label(s), "第 3 页  共 3 页");
    EXPECT_EQ(list(s)->rowCount(), 20);

    // A narrower search keeps page 3: beyond its only page, the list is empty.
    s.control<QComboBox>(CExamPaper::Subject)->setCurrentIndex(s.control<QComboBox>(CExamPaper::Subject)->findText("数学"));
    keyword(s, "多1");
    click(s, CExamPaper::Search);
    EXPECT_EQ(list(s)->rowCount(), 0);
    EXPECT_EQ(label(s), "第 3 页  共 1 页");
    click(s, CExamPaper::FirstPage); // 首页
    EXPECT_EQ(list(s)->rowCount(), 11); // 多1, 多10 … 多19
    EXPECT_EQ(label(s), "第 1 页  共 1 页");

    // No match at all: the list empties, the paging controls stay as they were.
    keyword(s, "无此题");
    click(s, CExamPaper::Search);
    EXPECT_EQ(list(s)->rowCount(), 0);
    EXPECT_EQ(label(s), "第 1 页  共 1 页");

    click(s, CExamPaper::ClearList); // 清空列表
    EXPECT_FALSE(s.control(CExamPaper::LastPage)->isVisible());
    EXPECT_FALSE(s.control(CExamPaper::PageLabel)->isVisible());

    click(s, CExamPaper::ClearOptions); // 清空选项
    EXPECT_EQ(s.text(CExamPaper::Keyword), "");
    EXPECT_FALSE(s.control<QCheckBox>(CExamPaper::SingleType)->isChecked());
    EXPECT_EQ(s.control<QComboBox>(CExamPaper::Subject)->currentIndex(), -1);
}

TEST_F(CExamPaperTest, DoubleClickDeletesTheRowItsQuestionAndItsPicture)
{
    seedQuestions("判断题", 8, "语文", "判");
    {
        QFile file(path("QuestionMap/判断题7.bmp"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    CExamPaper s;
    s.show();
    check(s, CExamPaper::JudgeType);
    click(s, CExamPaper::Search);
    ASSERT_EQ(list(s)->rowCount(), 8);

    // Below the rows: nothing is deleted.
    doubleClick(s, QPoint(20, list(s)->viewport()->height() - 5));
    EXPECT_EQ(list(s)->rowCount(), 8);

    expectBox("有图片文件被删除", Caption::Tip);
    doubleClick(s, cellCentre(s, 6, 3));
    ASSERT_EQ(list(s)->rowCount(), 7);
    EXPECT_EQ(cell(s, 6, 0), "8"); // the other rows keep their numbers
    EXPECT_FALSE(QFile::exists(path("QuestionMap/判断题7.bmp")));
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from 判断题 where ID=7").isEmpty());

    // Without a picture file: no message.
    doubleClick(s, cellCentre(s, 0, 1));
    EXPECT_EQ(list(s)->rowCount(), 6);
    EXPECT_EQ(outsiderRows(Db::Questions, "select count(*) from 判断题")[0][0], "6");
}

TEST_F(CExamPaperTest, RightClickShowsTheWholeCellExceptForTheNumber)
{
    seedQuestions("问答题", 2, "语文", QString(300, QChar(u'长')));
    CExamPaper s;
    s.show();
    check(s, CExamPaper::EssayType);
    click(s, CExamPaper::Search);
    auto *box = s.control<CReadEdit>(CExamPaper::ReadEdit);

    rightClick(s, 0, 0);
    EXPECT_FALSE(box->isVisible());

    rightClick(s, 1, 3);
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->toPlainText(), QString(300, QChar(u'长')) + "2");
    EXPECT_EQ(box->parentWidget(), list(s));
    EXPECT_EQ(box->width(), 350);
    EXPECT_EQ(box->height(), 100);
    const QRect cellRect = list(s)->visualRect(list(s)->model()->index(1, 3));
    EXPECT_EQ(box->pos(), cellRect.topLeft() + list(s)->viewport()->pos());
}

TEST_F(CExamPaperTest, TheTemplateOpensAndOnlyQuestionsXlsIsImported)
{
    CExamPaper s;
    s.show();
    QString opened;
    ShellOpen::setHandler([&](const QString &p) { opened = p; });
    click(s, CExamPaper::QuestionTemplate);
    ShellOpen::setHandler({});
    EXPECT_EQ(opened, path("questions.xls"));
    EXPECT_TRUE(QFile::exists(opened)); // placed by the working directory's setup

    QStringList imported;
    s.openImport = [&](QWidget *, const QString &p) {
        imported << p;
        return int(QDialog::Accepted);
    };
    answerFileDialog(path("Questions.xls"));
    expectBox("请选择'questions.xls'文件", Caption::Tip);
    click(s, CExamPaper::Import);
    answerFileDialog(QString());
    click(s, CExamPaper::Import);
    EXPECT_TRUE(imported.isEmpty());

    answerFileDialog(path("questions.xls"));
    click(s, CExamPaper::Import);
    EXPECT_EQ(imported, QStringList{path("questions.xls")});

    int entries = 0, clears = 0;
    s.openEntry = [&](QWidget *) { ++entries; };
    s.openDelete = [&](QWidget *) { return ++clears; };
    click(s, CExamPaper::Add);
    click(s, CExamPaper::DeleteBank);
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(clears, 1);
}

TEST_F(CExamPaperTest, AFinishedImportEmptiesTheList)
{
    QDir().mkpath(path("in"));
    ASSERT_TRUE(QFile::copy(bankFixture("questions.xls"), path("in/questions.xls")));
    seedQuestions("单选题", 3);
    CExamPaper s;
    s.show();
    check(s, CExamPaper::SingleType);
    click(s, CExamPaper::Search);
    ASSERT_EQ(list(s)->rowCount(), 3);

    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *pop = qobject_cast<CExamInandout *>(QApplication::activeModalWidget());
        ASSERT_NE(pop, nullptr);
        seen = true;
        auto *types = pop->control<QComboBox>(CExamInandout::Type);
        types->setCurrentIndex(types->findText("单选题"));
        QTest::mouseClick(pop->control<QPushButton>(CExamInandout::Import), Qt::LeftButton);
    });
    answerFileDialog(path("in/questions.xls"));
    expectBox("导入数据10条，已删除0条重复数据！\n另有2行的科目、题型、题干、答案、难度或对象为空，未导入。", Caption::Tip);
    click(s, CExamPaper::Import);
    EXPECT_TRUE(seen);
    EXPECT_EQ(list(s)->rowCount(), 0);
    EXPECT_EQ(outsiderRows(Db::Questions, "select count(*) from 单选题")[0][0], "13");
}

TEST_F(CExamPaperTest, ManualEntryOpensOverTheBrowserAndCloses)
{
    CExamPaper s;
    s.show();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *entry = qobject_cast<CAddQuestion *>(QApplication::activeModalWidget());
        ASSERT_NE(entry, nullptr);
        seen = true;
        EXPECT_EQ(entry->windowTitle(), "手动添加题目");
        QTest::mouseClick(entry->control<QPushButton>(CAddQuestion::Exit), Qt::LeftButton);
    });
    click(s, CExamPaper::Add);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(s.isVisible());
}
