#include "paper/CTestManage.h"
#include "paper/Paper.h"
#include "store/CADOConn.h"

#include "support/Driving.h"
#include "support/VornTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTableWidget>

namespace {

class CTestManageTest : public VornTest
{
protected:
    // A sealed paper row; option 多科 also gets two subject rows.
    static void store(const QString &name, const QString &option, const QString &single)
    {
        CADOConn conn;
        Paper p;
        p.name = name;
        p.option = option;
        p.subject = option == SubjectOption::Multi ? PaperSubjectText::Various : QStringLiteral("语文");
        p.types = {single, "空", "空", "空", "空"};
        p.total = "5";
        p.fullMarks = "10.0";
        p.created = "2026/05/20 08:30:00";
        if (option == SubjectOption::Multi)
            for (const char *subject : {"语文", "数学"}) {
                Paper row = p;
                row.subject = QString::fromUtf8(subject);
                row.types[0] = QStringLiteral("每题2.0分。员工:简单=5,;");
                PaperStore::savePaper(conn, row, true);
            }
        PaperStore::savePaper(conn, p, false);
    }
    std::unique_ptr<CTestManage> open()
    {
        auto s = std::make_unique<CTestManage>();
        s->show();
        return s;
    }
    static QTableWidget *list(CTestManage &s) { return s.control<QTableWidget>(CTestManage::List); }
    static void selectRow(CTestManage &s, int row)
    {
        QTableWidget *t = list(s);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(t->model()->index(row, 1)).center());
    }
    // Right-clicks at pos and records the menu's items with their enabled
    // state; picks the item labelled choose, if any.
    QStringList menuAt(CTestManage &s, const QPoint &pos, const QString &choose = QString())
    {
        QStringList seen;
        whenShown<QMenu>([&seen, choose](QMenu *menu) {
            for (QAction *a : menu->actions())
                seen << a->text() + (a->isEnabled() ? "" : "(off)");
            QAction *pick = nullptr;
            for (QAction *a : menu->actions())
                if (a->text() == choose)
                    pick = a;
            if (pick)
                menu->setActiveAction(pick), QTest::keyClick(menu, Qt::Key_Return);
            else
                menu->close();
        });
        QWidget *viewport = list(s)->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
        QApplication::sendEvent(viewport, &event);
        return seen;
    }
    QPoint rowPos(CTestManage &s, int row) { return list(s)->visualRect(list(s)->model()->index(row, 1)).center(); }
};

TEST_F(CTestManageTest, ListsPapersAndShowsTheRulesOfOne)
{
    {
        auto empty = open();
        EXPECT_EQ(list(*empty)->rowCount(), 0);
        EXPECT_TRUE(shown().isEmpty());
    }
    store("甲卷", SubjectOption::Single, "每题2.0分。员工:简单=5,;");
    store("全科卷", SubjectOption::All, "每题1.0分。干部:困难=5,;");
    auto s = open();
    QTableWidget *t = list(*s);
    ASSERT_EQ(t->rowCount(), 2);
    EXPECT_EQ(t->columnCount(), 11);
    QStringList row;
    for (int c = 0; c < 10; ++c)
        row << t->item(1, c)->text();
    EXPECT_EQ(row, (QStringList{"2", "全科卷", "每题1.0分。干部:困难=5,;", "空", "空", "空", "空", "5", "10.0",
                                "2026/05/20 08:30:00"}));
    EXPECT_EQ(t->columnWidth(9), 168);
    EXPECT_FALSE(s->control(CTestManage::SingleLabel)->isVisible());

    EXPECT_EQ(menuAt(*s, rowPos(*s, 1), "考题详情"), (QStringList{"考题详情", "删除试卷"}));
    EXPECT_TRUE(s->control(CTestManage::SingleLabel)->isVisible());
    EXPECT_EQ(s->text(CTestManage::SingleDetail), "每题1.0分。干部:困难=5,;");
    EXPECT_EQ(s->text(CTestManage::JudgeDetail), "空");
    EXPECT_EQ(s->text(CTestManage::EssayDetail), "空");
    saveShot(s.get(), "CTestManage-details");
    QTest::mouseClick(s->control<QAbstractButton>(CTestManage::Clear), Qt::LeftButton);
    EXPECT_FALSE(s->control(CTestManage::SingleLabel)->isVisible());
    EXPECT_EQ(s->text(CTestManage::SingleDetail), "");

    // Below the last row both items are offered disabled.
    EXPECT_EQ(menuAt(*s, QPoint(20, t->viewport()->height() - 5)), (QStringList{"考题详情(off)", "删除试卷(off)"}));
}

TEST_F(CTestManageTest, DeletingAMultiSubjectPaperTakesItsSubjectRowsAlong)
{
    store("王's综合", SubjectOption::Multi, "单选题包含2个科目");
    store("单科卷", SubjectOption::Single, "每题2.0分。员工:简单=5,;");
    store("另一综合", SubjectOption::Multi, "单选题包含2个科目");
    auto s = open();
    ASSERT_EQ(list(*s)->rowCount(), 3);

    menuAt(*s, rowPos(*s, 1), "删除试卷");
    ASSERT_EQ(list(*s)->rowCount(), 2);
    EXPECT_EQ(list(*s)->item(1, 0)->text(), "2");
    EXPECT_EQ(outsiderRows(Db::Questions, "select * from testpaper").size(), 4);

    menuAt(*s, rowPos(*s, 0), "删除试卷");
    EXPECT_EQ(list(*s)->rowCount(), 1);
    EXPECT_EQ(outsiderRows(Db::Questions, "select 名称 from testpaper"),
              (QList<QStringList>{{"另一综合"}, {"另一综合"}}));
}

TEST_F(CTestManageTest, ATamperedPaperEndsTheProgramWhenTheListOpens)
{
    store("甲卷", SubjectOption::Single, "每题2.0分。员工:简单=5,;");
    store("乙卷", SubjectOption::Single, "每题2.0分。员工:简单=5,;");
    store("丙卷", SubjectOption::Single, "每题2.0分。员工:简单=5,;");
    outsiderExec(Db::Questions, "update exampaper set 满分='100.0' where 名称='乙卷'");
    expectBox("保存的试卷信息已被篡改,将退出程序！", Caption::Tip);
    auto s = open();
    expectAllShown();
    EXPECT_TRUE(exited());
    EXPECT_EQ(list(*s)->rowCount(), 2); // rows after the damaged one are never listed
}

TEST_F(CTestManageTest, ExportNeedsASelectedPaperAndHandsItsName)
{
    store("甲卷", SubjectOption::Single, "每题2.0分。员工:简单=5,;");
    auto s = open();
    QString opened;
    s->openPrintedPaper = [&opened](QWidget *, const QString &name) { opened = name; };
    expectBox("请左键点击选择试卷！", Caption::Tip);
    QTest::mouseClick(s->control<QAbstractButton>(CTestManage::Export), Qt::LeftButton);
    EXPECT_TRUE(opened.isEmpty());
    selectRow(*s, 0);
    QTest::mouseClick(s->control<QAbstractButton>(CTestManage::Export), Qt::LeftButton);
    EXPECT_EQ(opened, "甲卷");
    EXPECT_TRUE(list(*s)->selectedItems().isEmpty());

    QTest::mouseClick(s->control<QAbstractButton>(CTestManage::Compose), Qt::LeftButton);
    EXPECT_EQ(requestedScreen(), ScreenId::SetPaper);
}

} // namespace
