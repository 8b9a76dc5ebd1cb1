// The manual marking screen driven through its widgets.
#include "results/CHandworkCorrect.h"
#include "results/ScoreQuery.h"

#include "ResultsSeed.h"
#include "admin/AdminScreens.h"

namespace {


class CHandworkCorrectTest : public ResultsTest
{
protected:
    SeedResult liSi{"李四", "人事部", "主管", "1", "60", "80", "600", "2019/05/20" + kWide + "10:10:00", "期中考试", "有"};

    void SetUp() override
    {
        ResultsTest::SetUp();
        ASSERT_EQ(addResult(liSi, "5bfcdf68a869f423615dd61a5cd9a39a"), 1);
        sealCounters();
        addMidtermExam();
        addEssay(1, liSi, "一", "5");
        addEssay(1, liSi, "二", "5", QVariant());
        addEssay(1, liSi, "三", "2.5");
    }

    std::unique_ptr<CHandworkCorrect> open()
    {
        auto s = std::make_unique<CHandworkCorrect>();
        s->show();
        return s;
    }

    void confirmYes(CHandworkCorrect &s, const QString &shown)
    {
        expectBox(QString("您批改的%1分将被记入该考生的成绩，是否确定？").arg(shown), Caption::Remind, MsgIcon::Question,
                  MsgButtons::YesNo, MsgAnswer::Yes);
        click(s, CHandworkCorrect::Confirm);
    }
};

} // namespace

TEST_F(CHandworkCorrectTest, ListsEveryWaitingAnswerAndShowsTheTickedOne)
{
    auto s = open();
    EXPECT_EQ(s->windowTitle(), "问答题手工批卷窗口");
    // The stems tell one person's essays apart.
    EXPECT_EQ(rowsOf(*s, CHandworkCorrect::List, 1, 7), (QStringList{"1 李四 人事部 主管 期中考试 是 一", "2 李四 人事部 主管 期中考试 是 二",
                                                     "3 李四 人事部 主管 期中考试 是 三"}));
    auto *list = s->control<QTableView>(CHandworkCorrect::List);
    EXPECT_EQ(list->model()->index(2, 7).data(Qt::ToolTipRole).toString(), "三") << "the whole stem as a tip";
    EXPECT_TRUE(list->isColumnHidden(12));
    EXPECT_FALSE(list->isColumnHidden(7));
    EXPECT_LE(list->columnViewportPosition(7) + list->columnWidth(7), list->viewport()->width()) << "stems in sight";
    tick(*s, CHandworkCorrect::List, 0);
    EXPECT_EQ(s->text(CHandworkCorrect::Stem), "一");
    EXPECT_EQ(s->text(CHandworkCorrect::Reference), "参考一");
    EXPECT_EQ(s->text(CHandworkCorrect::Answer), "答了");
    EXPECT_EQ(s->text(CHandworkCorrect::Value), "5");
    tick(*s, CHandworkCorrect::List, 1);
    EXPECT_FALSE(ticked(*s, CHandworkCorrect::List, 0)) << "one tick at a time";
    EXPECT_EQ(s->text(CHandworkCorrect::Stem), "二");
    EXPECT_EQ(s->text(CHandworkCorrect::Answer), "");
    saveShot(s.get(), "CHandworkCorrect-ticked");
    tick(*s, CHandworkCorrect::List, 1);
    for (int id : {CHandworkCorrect::Stem, CHandworkCorrect::Reference, CHandworkCorrect::Answer, CHandworkCorrect::Value})
        EXPECT_EQ(s->text(id), "") << id;
    saveShot(s.get(), "CHandworkCorrect-unticked");
}

TEST_F(CHandworkCorrectTest, ThePointsFieldTakesOneDecimal)
{
    auto s = open();
    typeInto(*s, CHandworkCorrect::Award, "1.2.");
    EXPECT_EQ(s->text(CHandworkCorrect::Award), "1.2");
    typeInto(*s, CHandworkCorrect::Award, "2.57");
    EXPECT_EQ(s->text(CHandworkCorrect::Award), "2.5");
    typeInto(*s, CHandworkCorrect::Award, "05");
    EXPECT_EQ(s->text(CHandworkCorrect::Award), "5");
    typeInto(*s, CHandworkCorrect::Award, "0.5");
    EXPECT_EQ(s->text(CHandworkCorrect::Award), "0.5");
    typeInto(*s, CHandworkCorrect::Award, ".");
    EXPECT_EQ(s->text(CHandworkCorrect::Award), "");
    typeInto(*s, CHandworkCorrect::Award, "7a -");
    EXPECT_EQ(s->text(CHandworkCorrect::Award), "7");
}

TEST_F(CHandworkCorrectTest, MarkingEveryAnswerThenBackToTheQuery)
{
    auto s = open();
    expectBox("请选择选项。", Caption::Remind);
    click(*s, CHandworkCorrect::Confirm);

    tick(*s, CHandworkCorrect::List, 2);
    typeInto(*s, CHandworkCorrect::Award, "3");
    expectBox("本题批改给分不能大于分值！", Caption::Remind);
    click(*s, CHandworkCorrect::Confirm);
    EXPECT_EQ(s->text(CHandworkCorrect::Award), "3");

    typeInto(*s, CHandworkCorrect::Award, "2.5");
    expectBox("您批改的2.5分将被记入该考生的成绩，是否确定？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo,
              MsgAnswer::No);
    click(*s, CHandworkCorrect::Confirm);
    EXPECT_EQ(rowCountOf(*s, CHandworkCorrect::List), 3);

    confirmYes(*s, "2.5");
    EXPECT_EQ(rowCountOf(*s, CHandworkCorrect::List), 2);
    EXPECT_EQ(s->text(CHandworkCorrect::Award), "");
    EXPECT_EQ(s->text(CHandworkCorrect::Stem), "");
    // printf '%s' '1李四主管期中考试82.5606002019/05/20　10:10:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(row("select 成绩,保存码,问答题 from ExamRegister"),
              (QStringList{"82.5", "ad446c3f544700c0d606bcdd40c75eba", "有"}));

    tick(*s, CHandworkCorrect::List, 1);
    confirmYes(*s, "0.0"); // an empty field awards 0
    tick(*s, CHandworkCorrect::List, 0);
    typeInto(*s, CHandworkCorrect::Award, "0.5");
    expectBox("您批改的0.5分将被记入该考生的成绩，是否确定？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo,
              MsgAnswer::Yes);
    expectBox("手工批卷已全部完成，返回到上一窗口。", Caption::Default);
    click(*s, CHandworkCorrect::Confirm);
    EXPECT_EQ(requestedScreen(), ScreenId::CheckScore);
    // printf '%s' '1李四主管期中考试83606002019/05/20　10:10:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩,保存码,问答题 is null from ExamRegister"),
              (QList<QStringList>{{"83", "dd9c226a3cb0dc216985e2700a7094b0", "1"}}));
    EXPECT_EQ(ScoreQuery::verify(), ScoreQuery::Verification::Sound);
}

TEST_F(CHandworkCorrectTest, TheValueComesFromTheSealedPaper)
{
    outsiderExec(Db::Personnel, "update quesAndAns set 分值='100' where 题干='一'");
    {
        auto s = open();
        tick(*s, CHandworkCorrect::List, 0);
        EXPECT_EQ(s->text(CHandworkCorrect::Value), "5");
        typeInto(*s, CHandworkCorrect::Award, "50");
        expectBox("本题批改给分不能大于分值！", Caption::Remind);
        click(*s, CHandworkCorrect::Confirm);
    }
    outsiderExec(Db::Questions, "delete from exampaper");
    auto s = open();
    tick(*s, CHandworkCorrect::List, 1);
    expectBox("该考试的试卷已不存在或已被篡改，无法核实本题分值，不能批改！", Caption::Warn, MsgIcon::Warning);
    click(*s, CHandworkCorrect::Confirm);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select * from quesAndAns").size(), 3);
}

TEST_F(CHandworkCorrectTest, ARegistrationDeletedMeanwhileIsReported)
{
    auto s = open();
    outsiderExec(Db::Personnel, "delete from ExamRegister");
    tick(*s, CHandworkCorrect::List, 0);
    typeInto(*s, CHandworkCorrect::Award, "1");
    expectBox("您批改的1.0分将被记入该考生的成绩，是否确定？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo,
              MsgAnswer::Yes);
    expectBox("该考生的考试记录已不存在，无法记入成绩！", Caption::Tip);
    click(*s, CHandworkCorrect::Confirm);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select * from quesAndAns").size(), 3);
}

TEST_F(CHandworkCorrectTest, Routes)
{
    {
        auto s = open();
        click(*s, CHandworkCorrect::Back);
        EXPECT_EQ(requestedScreen(), ScreenId::CheckScore);
    }
    auto s = open();
    click(*s, CHandworkCorrect::Exit);
    EXPECT_TRUE(exited());
}
