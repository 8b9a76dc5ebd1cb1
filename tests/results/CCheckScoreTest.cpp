// The score query screen driven through its widgets.
#include "results/CCheckScore.h"
#include "results/ChartSelection.h"

#include "ResultsSeed.h"
#include "admin/AdminScreens.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>

namespace {


class CCheckScoreTest : public ResultsTest
{
protected:
    void SetUp() override
    {
        ResultsTest::SetUp();
        writeDepartments();
        addExam(1, "年度考试", "语文卷");
        addResult(zhangSan(), kZhangSanCode);
        addResult({"李四", "财务部", "出纳", "1", "60", "60.5", "360000", "2019/05/20" + kWide + "11:00:00", "年度考试", ""});
        addResult({"王五", "人事部", "主管", "1", "60.5", "60.2", "540", "2019/05/20" + kWide + "11:00:00", "年度考试",
                   "有"});
        addResult({"赵六", "人事部", "主管", "2", "60", "88", "100", "2019/05/21" + kWide + "09:00:00", "AA", ""});
        addResult({"钱七", "财务部", "会计", "1", "60", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        sealCounters();
    }

    std::unique_ptr<CCheckScore> open()
    {
        auto s = std::make_unique<CCheckScore>();
        s->show();
        return s;
    }

    // The rows handed to the chart as the command leads to it.
    static ChartSelection handedChart()
    {
        const std::optional<Nav::Request> request = Nav::takeRequest();
        EXPECT_TRUE(request && request->next == ScreenId::ScoreMap);
        const auto *chart = request ? std::any_cast<ChartSelection>(&request->handover) : nullptr;
        return chart ? *chart : ChartSelection{};
    }
};

} // namespace

TEST_F(CCheckScoreTest, ShowsAllResultsWithTheirPassFlagsAndTimes)
{
    auto s = open();
    EXPECT_EQ(s->windowTitle(), "Lumet—成绩查询");
    EXPECT_EQ(rowCountOf(*s, CCheckScore::List), 0) << "the list starts empty";
    EXPECT_EQ(items(*s, CCheckScore::ExamName), (QStringList{"年度考试", "AA"}));
    EXPECT_EQ(items(*s, CCheckScore::Department), (QStringList{"财务部", "人事部", "技术部"}));
    EXPECT_TRUE(items(*s, CCheckScore::Post).isEmpty());
    EXPECT_FALSE(s->control(CCheckScore::Marking)->isVisible()) << "no essay waits";
    EXPECT_EQ(s->text(CCheckScore::Reminder), "");

    click(*s, CCheckScore::ShowAll);
    EXPECT_EQ(rowsOf(*s, CCheckScore::List, 1, 9),
              (QStringList{"1 张三 财务部 会计 60 否 01:02:05 2019/05/20" + kWide + "10:02:05 年度考试",
                           "2 李四 财务部 出纳 60.5 是 100:00:00 2019/05/20" + kWide + "11:00:00 年度考试",
                           "3 王五 人事部 主管 60.2 不定 00:09:00 2019/05/20" + kWide + "11:00:00 年度考试",
                           "4 赵六 人事部 主管 88 是 00:01:40 2019/05/21" + kWide + "09:00:00 AA"}));
    saveShot(s.get(), "CCheckScore-results");

    // Every column in sight: the exam name ends at the list's right edge
    // and the time of the exam fits its column.
    auto *list = s->control<QTableView>(CCheckScore::List);
    const QFontMetrics fm(list->font());
    EXPECT_LE(list->columnViewportPosition(9) + list->columnWidth(9), list->viewport()->width());
    EXPECT_GT(list->columnWidth(9), fm.horizontalAdvance("年度考试"));
    EXPECT_LT(fm.horizontalAdvance(list->model()->index(0, 8).data().toString()), list->columnWidth(8));
}

TEST_F(CCheckScoreTest, QueriesWithTheirMessages)
{
    auto s = open();
    expectBox("查询条件不能全部为空！", Caption::Tip);
    click(*s, CCheckScore::Query);

    ASSERT_TRUE(choose(*s, CCheckScore::Department, "财务部"));
    ASSERT_TRUE(choose(*s, CCheckScore::Post, "会计"));
    click(*s, CCheckScore::Query);
    EXPECT_EQ(rowsOf(*s, CCheckScore::List, 2, 2), QStringList{"张三"});

    // Name typed, department cleared: the post is ignored.
    click(*s, CCheckScore::ClearFields);
    EXPECT_TRUE(items(*s, CCheckScore::Post).isEmpty());
    typeInto(*s, CCheckScore::Name, "王五");
    ASSERT_TRUE(choose(*s, CCheckScore::Department, "人事部"));
    ASSERT_TRUE(choose(*s, CCheckScore::Post, "专员"));
    s->control<QComboBox>(CCheckScore::Department)->setCurrentIndex(-1);
    EXPECT_EQ(s->text(CCheckScore::Post), "");
    click(*s, CCheckScore::Query);
    EXPECT_EQ(rowsOf(*s, CCheckScore::List, 2, 2), QStringList{"王五"});

    click(*s, CCheckScore::ClearFields);
    ASSERT_TRUE(choose(*s, CCheckScore::Department, "技术部"));
    expectBox("找不到考生成绩记录！", Caption::Tip);
    click(*s, CCheckScore::Query);
    EXPECT_EQ(rowCountOf(*s, CCheckScore::List), 0);

    click(*s, CCheckScore::ClearFields);
    ASSERT_TRUE(choose(*s, CCheckScore::ExamName, "AA"));
    click(*s, CCheckScore::Query);
    EXPECT_EQ(rowsOf(*s, CCheckScore::List, 2, 2), QStringList{"赵六"});
}

TEST_F(CCheckScoreTest, OnlyAPostIsNoCondition)
{
    auto s = open();
    ASSERT_TRUE(choose(*s, CCheckScore::Department, "财务部"));
    ASSERT_TRUE(choose(*s, CCheckScore::Post, "会计"));
    // The department's selection cleared while its posts stay listed.
    {
        const QSignalBlocker block(s->control<QComboBox>(CCheckScore::Department));
        s->control<QComboBox>(CCheckScore::Department)->setCurrentIndex(-1);
    }
    expectBox("查询条件不能为空！", Caption::Remind);
    click(*s, CCheckScore::Query);
}

TEST_F(CCheckScoreTest, RankingOneExam)
{
    auto s = open();
    expectBox("请选择考试名称！", Caption::Tip);
    click(*s, CCheckScore::Rank);
    ASSERT_TRUE(choose(*s, CCheckScore::ExamName, "年度考试"));
    click(*s, CCheckScore::Rank);
    EXPECT_EQ(rowsOf(*s, CCheckScore::List, 1, 5), (QStringList{"1 李四 财务部 出纳 60.5", "2 王五 人事部 主管 60.2",
                                                     "3 张三 财务部 会计 60"}));
    outsiderExec(Db::Personnel, "update ExamRegister set 考试用时=null where 考试名称='AA'");
    ASSERT_TRUE(choose(*s, CCheckScore::ExamName, "AA"));
    expectBox("此考试没有考生成绩记录！", Caption::Tip);
    click(*s, CCheckScore::Rank);
    EXPECT_EQ(rowCountOf(*s, CCheckScore::List), 0);
}

TEST_F(CCheckScoreTest, ExportRefusalsClearEveryTick)
{
    auto s = open();
    expectBox("考生信息不能为空！", Caption::Tip);
    click(*s, CCheckScore::Export);

    click(*s, CCheckScore::ShowAll);
    expectBox("请选择考生！", Caption::Tip);
    click(*s, CCheckScore::Export);

    tick(*s, CCheckScore::List, 0);
    tick(*s, CCheckScore::List, 3);
    expectBox("选择的考试名称应相同！", Caption::Tip);
    click(*s, CCheckScore::Export);
    for (int r = 0; r < 4; ++r)
        EXPECT_FALSE(ticked(*s, CCheckScore::List, r));

    click(*s, CCheckScore::CheckAll);
    for (int r = 0; r < 4; ++r)
        EXPECT_TRUE(ticked(*s, CCheckScore::List, r));
    click(*s, CCheckScore::UncheckAll);
    EXPECT_FALSE(ticked(*s, CCheckScore::List, 2));
    EXPECT_FALSE(requestedScreen());
}

TEST_F(CCheckScoreTest, ExportingTwentyOpensTheChartButNotTwentyOne)
{
    outsiderExec(Db::Personnel, "delete from ExamRegister");
    for (int i = 1; i <= 21; ++i)
        addResult({QString("人%1").arg(i), "财务部", "会计", "1", "60", QString::number(60 + i), "600",
                   "2019/05/20" + kWide + "10:00:00", "年度考试", ""});
    sealCounters();
    auto s = open();
    click(*s, CCheckScore::ShowAll);
    click(*s, CCheckScore::CheckAll);
    expectBox("一次选择不能超过20名考生！", Caption::Tip);
    click(*s, CCheckScore::Export);
    EXPECT_FALSE(ticked(*s, CCheckScore::List, 0));
    EXPECT_FALSE(requestedScreen());

    for (int r = 1; r <= 20; ++r)
        tick(*s, CCheckScore::List, r);
    s->control<QCheckBox>(CCheckScore::WithTimes)->setChecked(true);
    click(*s, CCheckScore::Export);
    const ChartSelection chart = handedChart();
    EXPECT_EQ(chart.names.count(';'), 20);
    EXPECT_TRUE(chart.names.startsWith("人2;人3;"));
    EXPECT_TRUE(chart.rowNumbers.startsWith("2;3;"));
    EXPECT_TRUE(chart.timesUsed.startsWith("00:10:00;"));
    EXPECT_TRUE(chart.examDates.startsWith("2019/05/20;2019/05/20;"));
    EXPECT_EQ(chart.examName, "年度考试");
    EXPECT_EQ(chart.paperName, "语文卷");
}

TEST_F(CCheckScoreTest, ExportOfADeletedExamHasNoPaperName)
{
    outsiderExec(Db::Personnel, "delete from ExamArrange");
    auto s = open();
    click(*s, CCheckScore::ShowAll);
    tick(*s, CCheckScore::List, 0);
    click(*s, CCheckScore::Export);
    const ChartSelection chart = handedChart();
    EXPECT_EQ(chart.names, "张三;");
    EXPECT_EQ(chart.timesUsed, "") << "times are shown only when 导出时显示考试用时 is ticked";
    EXPECT_EQ(chart.paperName, "");
}

TEST_F(CCheckScoreTest, WaitingEssaysShowTheWayToMarking)
{
    addEssay(3, {"王五", "人事部", "主管", "1", "60.5", "", "", "", "年度考试", ""}, "说说看", "10");
    auto s = open();
    EXPECT_EQ(s->text(CCheckScore::Reminder), "提醒：有问答题需要手工批改！");
    EXPECT_TRUE(s->control(CCheckScore::Marking)->isVisible());
    click(*s, CCheckScore::Marking);
    EXPECT_EQ(requestedScreen(), ScreenId::HandworkCorrect);
}

TEST_F(CCheckScoreTest, TamperingEndsTheProgramAtOpeningQueryAndShowAll)
{
    outsiderExec(Db::Personnel, "update ExamRegister set 保存码='x' where ID=1");
    {
        expectTimed("考生成绩信息已被篡改,将退出程序！");
        auto s = open();
        EXPECT_TRUE(exited());
        expectAllShown();
        // Before the query and before show all as well.
        expectTimed("考生成绩信息已被篡改,将退出程序！");
        click(*s, CCheckScore::ShowAll);
        EXPECT_EQ(rowCountOf(*s, CCheckScore::List), 0);
        typeInto(*s, CCheckScore::Name, "张三");
        expectTimed("考生成绩信息已被篡改,将退出程序！");
        click(*s, CCheckScore::Query);
        expectAllShown();
    }
    outsiderExec(Db::Personnel, "update ExamRegister set 保存码=? where ID=1", {kZhangSanCode});
    // An exam whose counters row is gone is a tampered roster.
    outsiderExec(Db::Personnel, "delete from JoinExam where 考试号=2");
    expectTimed("考生人数信息已被篡改,将退出程序！");
    auto s = open();
    expectAllShown();
}

TEST_F(CCheckScoreTest, Routes)
{
    for (const auto &[id, target] : {std::pair{CCheckScore::Back, ScreenId::ExamManager}}) {
        auto s = open();
        click(*s, id);
        EXPECT_EQ(requestedScreen(), target);
    }
    auto s = open();
    click(*s, CCheckScore::Exit);
    EXPECT_TRUE(exited());
}
