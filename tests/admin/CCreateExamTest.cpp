// The exam creation screen driven through its widgets.
#include "admin/CCreateExam.h"
#include "admin/Roster.h"
#include "store/CADOConn.h"
#include "store/Clock.h"

#include "AdminScreens.h"
#include "AdminSeed.h"
#include "support/VornTest.h"

#include <QDateEdit>
#include <QTimeEdit>

namespace {


class CCreateExamTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        writeDepartments();
        outsiderExec(Db::Questions, kInsertPaper, kPaperPlain);
        outsiderExec(Db::Questions, kInsertPaper, kPaperEssay);
        for (const auto &[n, d, p] : {std::tuple{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"},
                                      {"王五", "人事部", "主管"}, {"O'Brien", "技术部", "工程师"}})
            Roster::add(n, d, p);
        Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(7, 45, 12)));
    }

    std::unique_ptr<CCreateExam> open()
    {
        auto s = std::make_unique<CCreateExam>();
        s->show();
        return s;
    }

    // Shows the people of a department (and post) in the left list.
    void show(CCreateExam &s, const QString &department, const QString &post = {})
    {
        ASSERT_TRUE(choose(s, CCreateExam::Department, department));
        if (!post.isEmpty()) {
            ASSERT_TRUE(choose(s, CCreateExam::Post, post));
        }
        click(s, CCreateExam::Show);
    }

    void setTimes(CCreateExam &s, const QDate &startDate, const QTime &start, const QDate &endDate, const QTime &end)
    {
        s.control<QDateEdit>(CCreateExam::StartDate)->setDate(startDate);
        s.control<QTimeEdit>(CCreateExam::StartTime)->setTime(start);
        s.control<QDateEdit>(CCreateExam::EndDate)->setDate(endDate);
        s.control<QTimeEdit>(CCreateExam::EndTime)->setTime(end);
    }
};

} // namespace

TEST_F(CCreateExamTest, AtMostOnePaperIsChosen)
{
    auto s = open();
    EXPECT_EQ(s->windowTitle(), "Lumet—创建考试");
    EXPECT_EQ(rowsOf(*s, CCreateExam::Papers, 1, 5), (QStringList{"语文卷 语文 10 100 2019/05/01 09:00:00",
                                                      "综合卷 无 12 120 2019/05/02 10:00:00"}));
    EXPECT_TRUE(s->control<QTableWidget>(CCreateExam::Papers)->isColumnHidden(6));
    EXPECT_FALSE(s->control(CCreateExam::PaperLabel)->isVisible());
    // The pickers start at now, in their formats.
    EXPECT_EQ(s->control<QDateEdit>(CCreateExam::StartDate)->text(), "2019-05-20");
    EXPECT_EQ(s->control<QTimeEdit>(CCreateExam::EndTime)->text(), "07:45");

    tick(*s, CCreateExam::Papers, 0);
    EXPECT_TRUE(s->control(CCreateExam::PaperLabel)->isVisible());
    EXPECT_EQ(s->text(CCreateExam::PaperName), "语文卷");
    tick(*s, CCreateExam::Papers, 1);
    EXPECT_FALSE(ticked(*s, CCreateExam::Papers, 0));
    EXPECT_EQ(s->text(CCreateExam::PaperName), "综合卷");
    tick(*s, CCreateExam::Papers, 1);
    EXPECT_FALSE(s->control(CCreateExam::PaperLabel)->isVisible());
    EXPECT_EQ(s->text(CCreateExam::PaperName), "");
    EXPECT_EQ(s->chosenPaper(), "");
}

TEST_F(CCreateExamTest, PeopleAreFoundMovedAndRemoved)
{
    auto s = open();
    expectBox("查询条件不能为空！", Caption::Remind);
    click(*s, CCreateExam::Show);
    expectBox("找不到要查询的考生！", Caption::Remind);
    show(*s, "技术部", "主管");

    show(*s, "财务部");
    EXPECT_EQ(rowsOf(*s, CCreateExam::Found, 1), (QStringList{"张三 财务部 会计", "李四 财务部 出纳"}));
    EXPECT_EQ(s->control<QComboBox>(CCreateExam::Department)->currentIndex(), -1); // the filter is cleared
    EXPECT_TRUE(items(*s, CCreateExam::Post).isEmpty());
    click(*s, CCreateExam::CheckAllFound);
    click(*s, CCreateExam::Move);
    EXPECT_EQ(rowsOf(*s, CCreateExam::Found, 1), QStringList{});
    EXPECT_EQ(rowsOf(*s, CCreateExam::Chosen, 1), (QStringList{"张三 财务部 会计", "李四 财务部 出纳"}));

    // Another department joins at the end, in its order; the right list stays.
    show(*s, "技术部");
    show(*s, "人事部");
    EXPECT_EQ(rowsOf(*s, CCreateExam::Found, 1), QStringList{"王五 人事部 主管"});
    tick(*s, CCreateExam::Found, 0);
    click(*s, CCreateExam::Move);
    EXPECT_EQ(rowsOf(*s, CCreateExam::Chosen, 1).size(), 3);

    // Removing: a ticked row and a selected row.
    tick(*s, CCreateExam::Chosen, 0);
    auto *right = s->control<QTableView>(CCreateExam::Chosen);
    QTest::mouseClick(right->viewport(), Qt::LeftButton, {}, right->visualRect(right->model()->index(2, 1)).center());
    click(*s, CCreateExam::Remove);
    EXPECT_EQ(rowsOf(*s, CCreateExam::Chosen, 1), QStringList{"李四 财务部 出纳"});
    click(*s, CCreateExam::CheckAllChosen);
    EXPECT_TRUE(ticked(*s, CCreateExam::Chosen, 0));
    click(*s, CCreateExam::UncheckAllChosen);
    EXPECT_FALSE(ticked(*s, CCreateExam::Chosen, 0));
}

TEST_F(CCreateExamTest, SavingTheSamePersonTwiceGivesOneRegistration)
{
    auto s = open();
    expectBox("请输入考试名称！", Caption::Tip);
    click(*s, CCreateExam::Save);

    // People chosen but no paper.
    show(*s, "财务部", "会计");
    click(*s, CCreateExam::CheckAllFound);
    click(*s, CCreateExam::Move);
    show(*s, "财务部", "会计");
    click(*s, CCreateExam::CheckAllFound);
    click(*s, CCreateExam::Move);
    EXPECT_EQ(rowsOf(*s, CCreateExam::Chosen, 1), (QStringList{"张三 财务部 会计", "张三 财务部 会计"}));
    typeInto(*s, CCreateExam::Name, "年度 考试");
    typeInto(*s, CCreateExam::TimeLimit, "9x0");
    EXPECT_EQ(s->text(CCreateExam::TimeLimit), "90"); // digits only
    typeInto(*s, CCreateExam::PassMark, "101");
    expectBox("请选择试卷！", Caption::Tip);
    click(*s, CCreateExam::Save);

    tick(*s, CCreateExam::Papers, 0);
    expectBox("合格分数不能大于满分！", Caption::Tip);
    click(*s, CCreateExam::Save);
    typeInto(*s, CCreateExam::PassMark, "100");
    setTimes(*s, QDate(2019, 5, 20), QTime(10, 0), QDate(2019, 5, 20), QTime(8, 30));
    expectBox("考试结束时间必须晚于开始时间！", Caption::Tip);
    click(*s, CCreateExam::Save);

    setTimes(*s, QDate(2019, 5, 20), QTime(8, 30), QDate(2019, 5, 20), QTime(10, 0));
    saveShot(s.get(), "CCreateExam");
    expectBox("考试创建成功!", Caption::Tip);
    click(*s, CCreateExam::Save);
    // printf '%s' '年度 考试2019/05/20 08:302019/05/20 10:00100' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 考试名称,开始时间,结束时间,考试时限,合格分数,保存码,备注 from ExamArrange"),
              (QList<QStringList>{{"年度 考试", "2019/05/20 08:30", "2019/05/20 10:00", "90", "100",
                                   "a312a1252bf04755da2aea1efb76e48b", QString()}}));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 姓名,考试号,保存码 from ExamRegister"),
              (QList<QStringList>{{"张三", "1", "95a4e574d58e9de561142602c7ee6af6"}}));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 考试号,考生质量,考生数量 from JoinExam"),
              (QList<QStringList>{{"1", "1", "6"}}));

    // The collected people and typed fields are reset; the paper stays.
    EXPECT_EQ(rowCountOf(*s, CCreateExam::Chosen), 0);
    EXPECT_EQ(s->text(CCreateExam::Name) + s->text(CCreateExam::TimeLimit) + s->text(CCreateExam::PassMark), "");
    EXPECT_EQ(s->text(CCreateExam::PaperName), "语文卷");
    EXPECT_EQ(s->control<QTimeEdit>(CCreateExam::EndTime)->text(), "10:00");
}

TEST_F(CCreateExamTest, ALeapDayAndAnEndAtMidnightAreStoredAsPicked)
{
    auto s = open();
    tick(*s, CCreateExam::Papers, 1);
    show(*s, "人事部");
    click(*s, CCreateExam::CheckAllFound);
    click(*s, CCreateExam::Move);
    typeInto(*s, CCreateExam::Name, "闰日考试");
    typeInto(*s, CCreateExam::TimeLimit, "30");
    typeInto(*s, CCreateExam::PassMark, "120");
    setTimes(*s, QDate(2024, 2, 29), QTime(23, 30), QDate(2024, 3, 1), QTime(0, 0));
    EXPECT_EQ(s->control<QDateEdit>(CCreateExam::StartDate)->text(), "2024-02-29");
    expectBox("考试创建成功!", Caption::Tip);
    click(*s, CCreateExam::Save);
    // printf '%s' '闰日考试2024/02/29 23:302024/03/01 00:00120' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 开始时间,结束时间,保存码,备注 from ExamArrange"),
              (QList<QStringList>{{"2024/02/29 23:30", "2024/03/01 00:00", "39409c8fb5303f40d86aeb5a879983d1", "干部,困难,2,10"}}));
}

TEST_F(CCreateExamTest, AFailedSaveIsReportedWithTheEnginesTextAndKeepsTheScreen)
{
    outsiderExec(Db::Personnel, "create trigger refuse before insert on JoinExam begin select raise(abort,'磁盘已满'); end");
    auto s = open();
    tick(*s, CCreateExam::Papers, 0);
    show(*s, "财务部");
    click(*s, CCreateExam::CheckAllFound);
    click(*s, CCreateExam::Move);
    typeInto(*s, CCreateExam::Name, "年度考试");
    typeInto(*s, CCreateExam::TimeLimit, "90");
    typeInto(*s, CCreateExam::PassMark, "60");
    s->control<QTimeEdit>(CCreateExam::EndTime)->setTime(QTime(9, 45));
    expectBox("磁盘已满", Caption::Tip);
    click(*s, CCreateExam::Save);
    EXPECT_EQ(rowsOf(*s, CCreateExam::Chosen, 1).size(), 2);
    EXPECT_EQ(s->text(CCreateExam::Name), "年度考试");
    for (const char *table : {"ExamArrange", "ExamRegister", "JoinExam"})
        EXPECT_TRUE(outsiderRows(Db::Personnel, QString("select * from %1").arg(table)).isEmpty()) << table;
}

TEST_F(CCreateExamTest, ATamperedPaperEndsTheProgramOnOpening)
{
    outsiderExec(Db::Questions, "update exampaper set 总题数='11' where 名称='语文卷'");
    expectBox("保存的试卷已被篡改,将退出程序！", Caption::Warn, MsgIcon::Warning);
    auto s = open();
    EXPECT_TRUE(exited());
}

TEST_F(CCreateExamTest, Routes)
{
    auto s = open();
    click(*s, CCreateExam::Back);
    EXPECT_EQ(requestedScreen(), ScreenId::ExamManagement);
    auto t = open();
    click(*t, CCreateExam::Exit);
    EXPECT_TRUE(exited());
}
