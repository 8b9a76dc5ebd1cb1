// The score query screen driven through its widgets.
#include "results/CCheckScore.h"
#include "results/ChartSelection.h"

#include "ResultsSeed.h"
#include "admin/AdminScreens.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>

namespace {

constexpr int kList = 1273;

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
    EXPECT_EQ(s->control<QTableWidget>(kList)->rowCount(), 0) << "the list starts empty";
    EXPECT_EQ(items(*s, 1202), (QStringList{"年度考试", "AA"}));
    EXPECT_EQ(items(*s, 1277), (QStringList{"财务部", "人事部", "技术部"}));
    EXPECT_TRUE(items(*s, 1279).isEmpty());
    EXPECT_FALSE(s->control(1292)->isVisible()) << "no essay waits";
    EXPECT_EQ(s->text(1268), "");

    click(*s, 1200);
    EXPECT_EQ(rowsOf(*s, kList, 1, 9),
              (QStringList{"1 张三 财务部 会计 60 否 01:02:05 2019/05/20" + kWide + "10:02:05 年度考试",
                           "2 李四 财务部 出纳 60.5 是 100:00:00 2019/05/20" + kWide + "11:00:00 年度考试",
                           "3 王五 人事部 主管 60.2 不定 00:09:00 2019/05/20" + kWide + "11:00:00 年度考试",
                           "4 赵六 人事部 主管 88 是 00:01:40 2019/05/21" + kWide + "09:00:00 AA"}));
    saveShot(s.get(), "CCheckScore-results");

    // Every column in sight: the exam name ends at the list's right edge
    // and the time of the exam fits its column.
    auto *list = s->control<QTableWidget>(kList);
    const QFontMetrics fm(list->font());
    EXPECT_LE(list->columnViewportPosition(9) + list->columnWidth(9), list->viewport()->width());
    EXPECT_GT(list->columnWidth(9), fm.horizontalAdvance("年度考试"));
    EXPECT_LT(fm.horizontalAdvance(list->item(0, 8)->text()), list->columnWidth(8));
}

TEST_F(CCheckScoreTest, QueriesWithTheirMessages)
{
    auto s = open();
    expectBox("查询条件不能全部为空！", Caption::Tip);
    click(*s, 1281);

    ASSERT_TRUE(choose(*s, 1277, "财务部"));
    ASSERT_TRUE(choose(*s, 1279, "会计"));
    click(*s, 1281);
    EXPECT_EQ(rowsOf(*s, kList, 2, 2), QStringList{"张三"});

    // Name typed, department cleared: the post is ignored.
    click(*s, 1282);
    EXPECT_TRUE(items(*s, 1279).isEmpty());
    typeInto(*s, 1275, "王五");
    ASSERT_TRUE(choose(*s, 1277, "人事部"));
    ASSERT_TRUE(choose(*s, 1279, "专员"));
    s->control<QComboBox>(1277)->setCurrentIndex(-1);
    EXPECT_EQ(s->text(1279), "");
    click(*s, 1281);
    EXPECT_EQ(rowsOf(*s, kList, 2, 2), QStringList{"王五"});

    click(*s, 1282);
    ASSERT_TRUE(choose(*s, 1277, "技术部"));
    expectBox("找不到考生成绩记录！", Caption::Tip);
    click(*s, 1281);
    EXPECT_EQ(s->control<QTableWidget>(kList)->rowCount(), 0);

    click(*s, 1282);
    ASSERT_TRUE(choose(*s, 1202, "AA"));
    click(*s, 1281);
    EXPECT_EQ(rowsOf(*s, kList, 2, 2), QStringList{"赵六"});
}

TEST_F(CCheckScoreTest, OnlyAPostIsNoCondition)
{
    auto s = open();
    ASSERT_TRUE(choose(*s, 1277, "财务部"));
    ASSERT_TRUE(choose(*s, 1279, "会计"));
    // The department's selection cleared while its posts stay listed.
    {
        const QSignalBlocker block(s->control<QComboBox>(1277));
        s->control<QComboBox>(1277)->setCurrentIndex(-1);
    }
    expectBox("查询条件不能为空！", Caption::Remind);
    click(*s, 1281);
}

TEST_F(CCheckScoreTest, RankingOneExam)
{
    auto s = open();
    expectBox("请选择考试名称！", Caption::Tip);
    click(*s, 1084);
    ASSERT_TRUE(choose(*s, 1202, "年度考试"));
    click(*s, 1084);
    EXPECT_EQ(rowsOf(*s, kList, 1, 5), (QStringList{"1 李四 财务部 出纳 60.5", "2 王五 人事部 主管 60.2",
                                                     "3 张三 财务部 会计 60"}));
    outsiderExec(Db::Personnel, "update ExamRegister set 考试用时=null where 考试名称='AA'");
    ASSERT_TRUE(choose(*s, 1202, "AA"));
    expectBox("此考试没有考生成绩记录！", Caption::Tip);
    click(*s, 1084);
    EXPECT_EQ(s->control<QTableWidget>(kList)->rowCount(), 0);
}

TEST_F(CCheckScoreTest, ExportRefusalsClearEveryTick)
{
    auto s = open();
    expectBox("考生信息不能为空！", Caption::Tip);
    click(*s, 1287);

    click(*s, 1200);
    expectBox("请选择考生！", Caption::Tip);
    click(*s, 1287);

    tick(*s, kList, 0);
    tick(*s, kList, 3);
    expectBox("选择的考试名称应相同！", Caption::Tip);
    click(*s, 1287);
    for (int r = 0; r < 4; ++r)
        EXPECT_FALSE(ticked(*s, kList, r));

    click(*s, 1283);
    for (int r = 0; r < 4; ++r)
        EXPECT_TRUE(ticked(*s, kList, r));
    click(*s, 1285);
    EXPECT_FALSE(ticked(*s, kList, 2));
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
    click(*s, 1200);
    click(*s, 1283);
    expectBox("一次选择不能超过20名考生！", Caption::Tip);
    click(*s, 1287);
    EXPECT_FALSE(ticked(*s, kList, 0));
    EXPECT_FALSE(requestedScreen());

    for (int r = 1; r <= 20; ++r)
        tick(*s, kList, r);
    s->control<QCheckBox>(1221)->setChecked(true);
    click(*s, 1287);
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
    click(*s, 1200);
    tick(*s, kList, 0);
    click(*s, 1287);
    const ChartSelection chart = handedChart();
    EXPECT_EQ(chart.names, "张三;");
    EXPECT_EQ(chart.timesUsed, "") << "times are shown only when 1221 is ticked";
    EXPECT_EQ(chart.paperName, "");
}

TEST_F(CCheckScoreTest, WaitingEssaysShowTheWayToMarking)
{
    addEssay(3, {"王五", "人事部", "主管", "1", "60.5", "", "", "", "年度考试", ""}, "说说看", "10");
    auto s = open();
    EXPECT_EQ(s->text(1268), "提醒：有问答题需要手工批改！");
    EXPECT_TRUE(s->control(1292)->isVisible());
    click(*s, 1292);
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
        click(*s, 1200);
        EXPECT_EQ(s->control<QTableWidget>(kList)->rowCount(), 0);
        typeInto(*s, 1275, "张三");
        expectTimed("考生成绩信息已被篡改,将退出程序！");
        click(*s, 1281);
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
    for (const auto &[id, target] : {std::pair{1289, ScreenId::ExamManager}}) {
        auto s = open();
        click(*s, id);
        EXPECT_EQ(requestedScreen(), target);
    }
    auto s = open();
    click(*s, 1291);
    EXPECT_TRUE(exited());
}
