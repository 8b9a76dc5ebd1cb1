// The exam management screen driven through its widgets.
#include "admin/CExamManagement.h"
#include "admin/Roster.h"
#include "store/CADOConn.h"
#include "store/Clock.h"

#include "AdminScreens.h"
#include "AdminSeed.h"
#include "support/VornTest.h"

namespace {


class CExamManagementTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        outsiderExec(Db::Questions, kInsertPaper, kPaperPlain);
        for (const auto &[n, d, p] : {std::tuple{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"},
                                      {"王五", "人事部", "主管"}, {"O'Brien", "技术部", "主管"}})
            Roster::add(n, d, p);
        seedExam("年度考试", "2019/05/20 10:00", {{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"}});
        seedExam("补考", "2019/05/20 12:00", {{"张三", "财务部", "会计"}});
        Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(9, 0)));
    }

    std::unique_ptr<CExamManagement> open()
    {
        auto s = std::make_unique<CExamManagement>();
        s->show();
        return s;
    }

    QList<QStringList> counters(int n)
    {
        return outsiderRows(Db::Personnel, "select 考生质量,考生数量 from JoinExam where 考试号=?", {n});
    }
};

} // namespace

TEST_F(CExamManagementTest, ListsExamsAndRemembersTheTickedOne)
{
    Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(11, 0)));
    auto s = open();
    EXPECT_EQ(s->windowTitle(), "Lumet—考试管理");
    EXPECT_EQ(rowsOf(*s, CExamManagement::Exams, 1, 6),
              (QStringList{"1 年度考试 2019/05/20 08:30 2019/05/20 10:00 语文卷 ", "2 补考 2019/05/20 08:30 2019/05/20 12:00 语文卷 "}));
    EXPECT_TRUE(s->control<QTableWidget>(CExamManagement::Exams)->isColumnHidden(7));
    // Ended on this load; shown from the next one.
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 时效 from ExamArrange where 考试号=1").at(0).at(0), "结束");
    click(*s, CExamManagement::ReloadExams);
    EXPECT_EQ(rowsOf(*s, CExamManagement::Exams, 6, 6), (QStringList{"结束", ""}));

    expectBox("请选择考卷！", Caption::Tip);
    click(*s, CExamManagement::ViewExaminees);

    tick(*s, CExamManagement::Exams, 0);
    EXPECT_EQ(s->rememberedNumber(), "1");
    EXPECT_EQ(s->text(CExamManagement::ShownName), "年度考试");
    EXPECT_EQ(items(*s, CExamManagement::Names), (QStringList{"王五", "O'Brien"}));
    tick(*s, CExamManagement::Exams, 1);
    EXPECT_FALSE(ticked(*s, CExamManagement::Exams, 0));
    EXPECT_EQ(s->rememberedNumber(), "2");
    EXPECT_EQ(items(*s, CExamManagement::Names), (QStringList{"李四", "王五", "O'Brien"}));

    // Unticking keeps the exam remembered.
    tick(*s, CExamManagement::Exams, 1);
    EXPECT_EQ(s->rememberedNumber(), "2");
    click(*s, CExamManagement::ViewExaminees);
    EXPECT_EQ(rowsOf(*s, CExamManagement::Registrations, 1, 5), QStringList{"1 张三 财务部 会计 "});
    saveShot(s.get(), "CExamManagement");

    click(*s, CExamManagement::ReloadExams);
    EXPECT_EQ(rowCountOf(*s, CExamManagement::Registrations), 0);
    expectBox("请选择考卷！", Caption::Tip);
    click(*s, CExamManagement::ViewExaminees);
    expectBox("请选择考试！", Caption::Tip);
    click(*s, CExamManagement::DeleteExam);
}

TEST_F(CExamManagementTest, DeletingAnExamAfterConfirmation)
{
    outsiderExec(Db::Personnel, "insert into quesAndAns (姓名,考试号,题干) values ('张三','1','说说看')");
    auto s = open();
    tick(*s, CExamManagement::Exams, 0);
    const QString ask = "删除考试后，参加此考试保存的所有考生成绩同时被删除，\n\n您确定要删除吗？";
    expectBox(ask, Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, CExamManagement::DeleteExam);
    EXPECT_EQ(s->control<QTableWidget>(CExamManagement::Exams)->rowCount(), 2);
    expectBox(ask, Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, CExamManagement::DeleteExam);
    EXPECT_EQ(rowsOf(*s, CExamManagement::Exams, 2, 2), QStringList{"补考"});
    EXPECT_EQ(s->text(CExamManagement::ShownName), "");
    EXPECT_EQ(s->rememberedNumber(), "");
    for (const char *table : {"ExamRegister", "quesAndAns"})
        EXPECT_TRUE(outsiderRows(Db::Personnel, QString("select * from %1 where 考试号='1'").arg(table)).isEmpty());
    EXPECT_TRUE(counters(1).isEmpty());
}

TEST_F(CExamManagementTest, RemovingTickedRegistrationsSparesFinishedOnes)
{
    outsiderExec(Db::Personnel, "update ExamRegister set 成绩='85' where 考试号='1' and 姓名='李四'");
    auto s = open();
    tick(*s, CExamManagement::Exams, 0);
    click(*s, CExamManagement::ViewExaminees);
    EXPECT_EQ(rowsOf(*s, CExamManagement::Registrations, 1, 5), (QStringList{"1 张三 财务部 会计 ", "2 李四 财务部 出纳 已考"}));
    tick(*s, CExamManagement::Registrations, 0);
    tick(*s, CExamManagement::Registrations, 1);
    const QString ask = "您确定要删除所选考生吗？";
    expectBox(ask, Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, CExamManagement::RemoveRegistrations);
    EXPECT_EQ(rowCountOf(*s, CExamManagement::Registrations), 2);
    EXPECT_EQ(counters(1), (QList<QStringList>{{"2", "7"}}));
    expectBox(ask, Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("'李四'已完成考试，不能删除！", Caption::Tip);
    click(*s, CExamManagement::RemoveRegistrations);
    EXPECT_EQ(rowsOf(*s, CExamManagement::Registrations, 1, 5), QStringList{"1 李四 财务部 出纳 已考"});
    EXPECT_EQ(counters(1), (QList<QStringList>{{"1", "6"}}));
    click(*s, CExamManagement::ViewExaminees); // the counters still pass
    EXPECT_EQ(rowCountOf(*s, CExamManagement::Registrations), 1);
}

TEST_F(CExamManagementTest, RegisteringOneMorePerson)
{
    auto s = open();
    expectBox("考生信息不能为空，请选择考试！", Caption::Remind);
    click(*s, CExamManagement::Register);

    tick(*s, CExamManagement::Exams, 0);
    ASSERT_TRUE(choose(*s, CExamManagement::Names, "O'Brien"));
    EXPECT_EQ(s->text(CExamManagement::Department), "技术部");
    EXPECT_EQ(s->text(CExamManagement::Post), "主管");
    expectBox("添加成功!", Caption::Tip);
    click(*s, CExamManagement::Register);
    // The exam row is unticked, which empties the registrations again.
    EXPECT_FALSE(ticked(*s, CExamManagement::Exams, 0));
    EXPECT_EQ(rowCountOf(*s, CExamManagement::Registrations), 0);
    EXPECT_EQ(s->text(CExamManagement::ShownName), "年度考试");
    EXPECT_TRUE(items(*s, CExamManagement::Names).isEmpty());
    EXPECT_EQ(counters(1), (QList<QStringList>{{"3", "8"}}));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 保存码 from ExamRegister where 姓名='O''Brien'").at(0).at(0),
              "69834b9090339d370f0b9a0774f6bb4a");
    click(*s, CExamManagement::ViewExaminees);
    EXPECT_EQ(rowsOf(*s, CExamManagement::Registrations, 2, 2), (QStringList{"张三", "李四", "O'Brien"}));

    click(*s, CExamManagement::ClearChoice);
    EXPECT_EQ(s->text(CExamManagement::Department), "");

    // An ended exam takes nobody.
    outsiderExec(Db::Personnel, "update ExamArrange set 时效='结束' where 考试号=1");
    tick(*s, CExamManagement::Exams, 0);
    ASSERT_TRUE(choose(*s, CExamManagement::Names, "王五"));
    expectBox("考试已结束！", Caption::Tip);
    click(*s, CExamManagement::Register);
}

TEST_F(CExamManagementTest, TamperingEndsTheProgram)
{
    outsiderExec(Db::Personnel, "delete from JoinExam where 考试号=2");
    {
        auto s = open();
        tick(*s, CExamManagement::Exams, 1);
        expectBox("数据库已被篡改,将退出程序！", Caption::Warn, MsgIcon::Warning);
        click(*s, CExamManagement::ViewExaminees);
        EXPECT_TRUE(exited());
    }
    outsiderExec(Db::Personnel, "update ExamArrange set 结束时间='2019/05/20 23:00' where 考试号=2");
    expectBox("保存的考试信息已被篡改,将退出程序！", Caption::Warn, MsgIcon::Warning);
    auto s = open();
}

TEST_F(CExamManagementTest, Routes)
{
    for (const auto &[id, target] : {std::pair{CExamManagement::CreateExam, ScreenId::CreateExam}, {CExamManagement::Back, ScreenId::ExamManager}}) {
        auto s = open();
        click(*s, id);
        EXPECT_EQ(requestedScreen(), target);
    }
    auto s = open();
    click(*s, CExamManagement::Exit);
    EXPECT_TRUE(exited());
}
