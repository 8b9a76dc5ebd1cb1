// The score query's rules, straight on the records.
#include "results/ChartSelection.h"
#include "results/ScoreQuery.h"

#include "ResultsSeed.h"

using ScoreQuery::Found;
using ScoreQuery::Ranked;
using ScoreQuery::Verification;

namespace {

ScoreRow scored(const QString &score, const QString &passMark, std::optional<QString> essay = QString())
{
    ScoreRow r;
    r.score = score;
    r.passMark = passMark;
    r.essay = essay;
    return r;
}

QStringList names(const ScoreList &rows)
{
    QStringList n;
    for (const ScoreRow &r : rows)
        n << r.name;
    return n;
}

class ScoreQueryTest : public ResultsTest
{
protected:
    ScoreList rows;
};

} // namespace

TEST(ScoreRules, PassFlagComparesWithThePassMarkAsAWholeNumber)
{
    EXPECT_EQ(ScoreQuery::passFlag(scored("60", "60")), "否");
    EXPECT_EQ(ScoreQuery::passFlag(scored("60.5", "60")), "是");
    EXPECT_EQ(ScoreQuery::passFlag(scored("60.2", "60.5")), "是"); // the pass mark is read as 60
    EXPECT_EQ(ScoreQuery::passFlag(scored("100", "99")), "是");
    EXPECT_EQ(ScoreQuery::passFlag(scored("95", "60", QStringLiteral("有"))), "不定");
    EXPECT_EQ(ScoreQuery::passFlag(scored("95", "60", std::nullopt)), "是"); // all marked
    // Damaged texts give a defined answer.
    EXPECT_EQ(ScoreQuery::passFlag(scored("abc", "60")), "否");
    EXPECT_EQ(ScoreQuery::passFlag(scored("1", "")), "是");
}

TEST(ScoreRules, StoredTextsReadAsNumbers)
{
    EXPECT_DOUBLE_EQ(ScoreQuery::leadingNumber(" 7.5 "), 7.5);
    EXPECT_DOUBLE_EQ(ScoreQuery::leadingNumber("85abc"), 85);
    EXPECT_DOUBLE_EQ(ScoreQuery::leadingNumber("-3"), -3);
    EXPECT_DOUBLE_EQ(ScoreQuery::leadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(ScoreQuery::leadingNumber("1e3"), 1);
    for (const char *none : {"", "abc", "0x10", "inf", "nan", "-", "."})
        EXPECT_DOUBLE_EQ(ScoreQuery::leadingNumber(none), 0) << none;
}

TEST(ScoreRules, TimeUsedAsHoursMinutesSeconds)
{
    EXPECT_EQ(ScoreQuery::timeUsedText("3725"), "01:02:05");
    EXPECT_EQ(ScoreQuery::timeUsedText("360000"), "100:00:00");
    EXPECT_EQ(ScoreQuery::timeUsedText("0"), "00:00:00");
    EXPECT_EQ(ScoreQuery::timeUsedText(""), "");
    EXPECT_EQ(ScoreQuery::timeUsedText("abc"), "abc");
    EXPECT_EQ(ScoreQuery::timeUsedText("-5"), "-5");
}

TEST_F(ScoreQueryTest, VerifyChecksEveryResultCodeAndRoster)
{
    const int id = addResult(zhangSan(), kZhangSanCode);
    EXPECT_EQ(id, 1);
    addResult({"李四", "财务部", "出纳", "1", "60", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    sealCounters();
    EXPECT_EQ(ScoreQuery::verify(), Verification::Sound);

    // A raised score no longer matches its code.
    outsiderExec(Db::Personnel, "update ExamRegister set 成绩='61' where ID=1");
    EXPECT_EQ(ScoreQuery::verify(), Verification::ResultTampered);
    outsiderExec(Db::Personnel, "update ExamRegister set 成绩='60', 保存码=? where ID=1", {kZhangSanCode + "0"});
    EXPECT_EQ(ScoreQuery::verify(), Verification::ResultTampered);
    outsiderExec(Db::Personnel, "update ExamRegister set 保存码=? where ID=1", {kZhangSanCode});
    EXPECT_EQ(ScoreQuery::verify(), Verification::Sound);
    // The department is not covered.
    outsiderExec(Db::Personnel, "update ExamRegister set 部门='人事部' where ID=1");
    EXPECT_EQ(ScoreQuery::verify(), Verification::Sound);
    // A result still waiting for its essays is checked all the same.
    outsiderExec(Db::Personnel, "update ExamRegister set 问答题='有', 成绩='61' where ID=1");
    EXPECT_EQ(ScoreQuery::verify(), Verification::ResultTampered);
    outsiderExec(Db::Personnel, "update ExamRegister set 问答题='', 成绩='60' where ID=1");

    for (const char *counter : {"update JoinExam set 考生质量=3, 考生数量=8", "update JoinExam set 考生数量=6",
                                "update JoinExam set 考生质量=null, 考生数量=5", "delete from JoinExam",
                                "insert into JoinExam values (1, 2, 7)"}) {
        sealCounters();
        outsiderExec(Db::Personnel, counter);
        EXPECT_EQ(ScoreQuery::verify(), Verification::RosterTampered) << counter;
    }
    sealCounters();
    // A registration added behind the counters' back.
    addResult({"王五", "人事部", "主管", "1", "60", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    EXPECT_EQ(ScoreQuery::verify(), Verification::RosterTampered);
}

TEST_F(ScoreQueryTest, QueriesByTheFilledFields)
{
    EXPECT_EQ(ScoreQuery::query({"张三", "", "", ""}, &rows), Found::NoRegistrations);
    addResult({"张三", "财务部", "会计", "1", "60", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    EXPECT_EQ(ScoreQuery::query({"张三", "", "", ""}, &rows), Found::NoScores);
    EXPECT_EQ(ScoreQuery::showAll(&rows), Found::NoScores);
    outsiderExec(Db::Personnel, "delete from ExamRegister");

    const auto add = [&](const QString &name, const QString &dept, const QString &post, const QString &exam) {
        addResult({name, dept, post, exam == "A" ? "1" : "2", "60", "70", "100", "2019/05/20" + kWide + "10:00:00",
                   exam, ""});
    };
    add("张三", "财务部", "会计", "A");
    add("张三", "财务部", "出纳", "AA");
    add("李四", "财务部", "会计", "A");
    add("O'Brien", "技术部", "主管", "AA");
    addResult({"张三", "财务部", "会计", "1", "60", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});

    EXPECT_EQ(ScoreQuery::query({}, &rows), Found::AllEmpty);
    EXPECT_EQ(ScoreQuery::query({"", "", "会计", ""}, &rows), Found::OnlyPost);
    EXPECT_EQ(ScoreQuery::query({"张三", "", "", ""}, &rows), Found::Rows);
    EXPECT_EQ(rows.size(), 2) << "the unscored registration is not listed";
    // A post without a department is ignored.
    EXPECT_EQ(ScoreQuery::query({"张三", "", "会计", ""}, &rows), Found::Rows);
    EXPECT_EQ(rows.size(), 2);
    EXPECT_EQ(ScoreQuery::query({"张三", "财务部", "会计", ""}, &rows), Found::Rows);
    EXPECT_EQ(rows.size(), 1);
    EXPECT_EQ(ScoreQuery::query({"", "财务部", "会计", "A"}, &rows), Found::Rows);
    EXPECT_EQ(names(rows), (QStringList{"张三", "李四"}));
    // "A" and "AA" are different exams.
    EXPECT_EQ(ScoreQuery::query({"", "", "", "AA"}, &rows), Found::Rows);
    EXPECT_EQ(names(rows), (QStringList{"张三", "O'Brien"}));
    EXPECT_EQ(ScoreQuery::query({"O'Brien", "技术部", "", ""}, &rows), Found::Rows);
    EXPECT_EQ(ScoreQuery::query({"王五", "", "", ""}, &rows), Found::NoMatch);
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_EQ(ScoreQuery::showAll(&rows), Found::Rows);
    EXPECT_EQ(rows.size(), 4);
    EXPECT_EQ(ScoreQuery::scoredExamNames(), (QStringList{"A", "AA"}));
}

TEST_F(ScoreQueryTest, RankingByScoreThenTimeUsed)
{
    const auto add = [&](const QString &name, const QVariant &score, const QVariant &time, const QString &exam = "考") {
        addResult({name, "部", "职", "1", "60", score, time, "2019/05/20" + kWide + "10:00:00", exam, ""});
    };
    add("慢", "90", "600");
    add("快", "90", "540");
    add("百", "100", "3000");
    add("短", "90", "99"); // 99 s is less than 540 s, though not as text
    add("无时", "95", QVariant());
    add("别", "99", "1", "考二");
    add("低", "85.5", "10");
    EXPECT_EQ(ScoreQuery::rank("", &rows), Ranked::NoExamName);
    EXPECT_EQ(ScoreQuery::rank("考三", &rows), Ranked::NoResults);
    EXPECT_EQ(ScoreQuery::rank("考", &rows), Ranked::Rows);
    EXPECT_EQ(names(rows), (QStringList{"百", "短", "快", "慢", "低"}));
    EXPECT_EQ(ScoreQuery::listColumns(1, rows.at(0)).join(" "),
              "1 百 部 职 100 是 00:50:00 2019/05/20" + kWide + "10:00:00 考");
}

TEST_F(ScoreQueryTest, PaperNameOfAnExamEvenWhenDeleted)
{
    addExam(1, "年度考试", "语文卷");
    EXPECT_EQ(ScoreQuery::paperNameOf("年度考试"), "语文卷");
    EXPECT_EQ(ScoreQuery::paperNameOf("年度考试2"), "");
}

namespace {

QList<ListedResult> listed(int count, const QString &exam = "A")
{
    QList<ListedResult> rows;
    for (int i = 1; i <= count; ++i)
        rows << ListedResult{{QString::number(i), QString("人%1").arg(i), "部", "职", "80", "是", "00:10:00",
                              "2019/05/20" + kWide + "10:00:00", exam},
                             true};
    return rows;
}

} // namespace

TEST(ChartExport, CollectsTheTickedRowsOfOneExam)
{
    ChartSelection s;
    EXPECT_EQ(ChartExport::collect({}, true, &s), ChartExport::Outcome::NoRows);
    QList<ListedResult> rows = listed(3);
    for (ListedResult &r : rows)
        r.ticked = false;
    EXPECT_EQ(ChartExport::collect(rows, true, &s), ChartExport::Outcome::NoneTicked);
    rows[0].ticked = rows[2].ticked = true;
    ASSERT_EQ(ChartExport::collect(rows, true, &s), ChartExport::Outcome::Ready);
    EXPECT_EQ(s.names, "人1;人3;");
    EXPECT_EQ(s.rowNumbers, "1;3;");
    EXPECT_EQ(s.examDates, "2019/05/20;2019/05/20;");
    EXPECT_EQ(s.timesUsed, "00:10:00;00:10:00;");
    EXPECT_EQ(s.passFlags, "是;是;");
    EXPECT_EQ(s.examName, "A");
    ASSERT_EQ(ChartExport::collect(rows, false, &s), ChartExport::Outcome::Ready);
    EXPECT_EQ(s.timesUsed, "");

    EXPECT_EQ(ChartExport::collect(listed(21), true, &s), ChartExport::Outcome::TooMany);
    EXPECT_TRUE(s.names.isEmpty()) << "the collected lists are discarded";
    EXPECT_EQ(ChartExport::collect(listed(20), true, &s), ChartExport::Outcome::Ready);
    EXPECT_EQ(s.names.count(';'), 20);

    QList<ListedResult> mixed = listed(1, "A") + listed(1, "AA");
    EXPECT_EQ(ChartExport::collect(mixed, true, &s), ChartExport::Outcome::MixedExams);
    EXPECT_TRUE(s.names.isEmpty());
}
