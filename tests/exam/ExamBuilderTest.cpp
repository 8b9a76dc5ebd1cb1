#include "exam/ExamBuilder.h"
#include "exam/ExamEntry.h"
#include "exam/ExamList.h"
#include "store/Random.h"

#include "exam/ExamSeed.h"
#include "support/VornTest.h"

#include <map>
#include <set>

namespace {

class ExamBuilderTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        ExamEntry::recreateInterim();
        ExamEntry::recreateSheet();
    }

    void paper(const QVariantList &row, const char *table = "exampaper")
    {
        outsiderExec(Db::Questions, QStringLiteral("insert into %1 ").arg(table) + kPaperColumns, row);
    }
    // A 单科 语文 paper with the given rule texts in type order.
    void rules(const QString &name, const QStringList &types, const QString &option = QStringLiteral("单科"),
               const QString &subject = QStringLiteral("语文"))
    {
        QVariantList row{name, subject, option};
        for (const QString &t : types)
            row << t;
        row << "0" << "0" << "2026/01/05 09:00:00" << "x";
        paper(row);
    }

    ExamBuild::Result build(const QString &name, const QString &option = QStringLiteral("单科"),
                            ExamMode mode = ExamMode::Formal)
    {
        return ExamBuilder::buildExam(mode, name, option);
    }

    // 编号, 题型, 题干, 分值 of exam in 编号 order.
    QList<QStringList> sheet()
    {
        return outsiderRows(Db::Personnel, "select 编号,题型,题干,分值,科目 from exam order by 编号");
    }
    QList<QStringList> interim()
    {
        return outsiderRows(Db::Personnel, "select 题型,题干,科目,分值,答案 from interim order by ID");
    }
};

// 5 单选题 + 3 判断题 + 2 填空题: numbers by type in the fixed order, each
// question's points, and the key holding each question's answer in 编号 order.
TEST_F(ExamBuilderTest, NumbersRunOnAcrossTypesAndTheKeyFollowsTheNumbers)
{
    seedMidtermBank();
    paper(kMidterm);
    const ExamBuild::Result r = build("期中卷");
    ASSERT_EQ(int(r.outcome), int(ExamBuild::Outcome::Built));
    EXPECT_EQ(r.questions, 10);

    const QList<QStringList> rows = sheet();
    ASSERT_EQ(rows.size(), 10);
    const QStringList key = r.answerKey.split('|');
    ASSERT_EQ(key.size(), 11); // "|" after each entry
    EXPECT_EQ(key.last(), "");
    std::set<QString> stems;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(rows[i][0], QString::number(i + 1));
        const QString type = i < 5 ? "单选题" : i < 8 ? "判断题" : "填空题";
        EXPECT_EQ(rows[i][1], type) << i;
        EXPECT_EQ(rows[i][3], i < 5 ? "2" : i < 8 ? "1" : "2.5") << i;
        EXPECT_EQ(key[i], "答" + rows[i][2]) << i;
        stems.insert(rows[i][2]);
    }
    EXPECT_EQ(stems.size(), 10u); // the whole bank, each question once
    // The answers stay out of the exam table.
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from exam where 答题 is not null")[0][0], "0");
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from exam where C is null and 图片 is null")[0][0], "10");
}

TEST_F(ExamBuilderTest, AFixedSeedRepeatsTheDrawAndTheOrder)
{
    seedBank("单选题", 40, "语文", "干部", "简单", "单");
    rules("大卷", {"每题1.0分。干部:简单=12,;", "空", "空", "空", "空"});
    Random::setSeed(7);
    ASSERT_EQ(int(build("大卷").outcome), int(ExamBuild::Outcome::Built));
    const QList<QStringList> first = sheet();
    ExamEntry::recreateSheet();
    ExamEntry::recreateInterim();
    ASSERT_EQ(int(build("大卷").outcome), int(ExamBuild::Outcome::Built));
    EXPECT_EQ(sheet(), first);
    EXPECT_EQ(first.size(), 12);
}

// Too few questions: the bank message names the type, and nothing of the
// draw stays behind (a rule drawn before it included).
TEST_F(ExamBuilderTest, AShortBankStopsWithItsTypeAndLeavesTheTablesEmpty)
{
    seedMidtermBank();
    rules("缺题卷", {kSingle5, "每题1.0分。干部:简单=4,;", "空", "空", "空"});
    const ExamBuild::Result r = build("缺题卷");
    EXPECT_EQ(int(r.outcome), int(ExamBuild::Outcome::Shortage));
    EXPECT_EQ(ExamBuild::message(r), "题库中“判断题”数量不符合考卷要求，退出程序！");
    EXPECT_TRUE(interim().isEmpty());
    EXPECT_TRUE(sheet().isEmpty());

    // No question at all for a group ends it even when the count is 0.
    rules("零题卷", {"每题1.0分。工人:困难=0,;", "空", "空", "空", "空"});
    EXPECT_EQ(build("零题卷").type, "单选题");
}

TEST_F(ExamBuilderTest, MockExamsDrawEssaysButShowNone)
{
    seedBank("单选题", 1, "语文", "干部", "简单", "单");
    seedBank("问答题", 1, "语文", "干部", "困难", "问");
    paper(kEssayPaper);
    ExamBuild::Result r = build("问答卷", "单科", ExamMode::Mock);
    ASSERT_EQ(int(r.outcome), int(ExamBuild::Outcome::Built));
    EXPECT_EQ(r.questions, 1);
    EXPECT_EQ(r.answerKey, "答单1|");
    EXPECT_EQ(interim().size(), 2); // the essay was drawn
    ExamEntry::recreateSheet();
    r = build("问答卷", "单科", ExamMode::Formal);
    EXPECT_EQ(r.answerKey, "答单1|答问1|");
    EXPECT_EQ(sheet().last()[1], "问答题");

    // An essay rule the bank cannot satisfy ends a mock exam all the same.
    outsiderExec(Db::Questions, "delete from 问答题");
    r = build("问答卷", "单科", ExamMode::Mock);
    EXPECT_EQ(int(r.outcome), int(ExamBuild::Outcome::Shortage));
    EXPECT_EQ(r.type, "问答题");
}

TEST_F(ExamBuilderTest, SubjectOptionsChooseWhereTheQuestionsComeFrom)
{
    seedBank("单选题", 3, "语文", "干部", "简单", "语");
    seedBank("单选题", 10, "数学", "干部", "简单", "数");

    // 单科: only its subject, all three of them.
    rules("语文卷", {"每题1.0分。干部:简单=3,;", "空", "空", "空", "空"});
    ASSERT_EQ(int(build("语文卷").outcome), int(ExamBuild::Outcome::Built));
    for (const QStringList &q : sheet())
        EXPECT_EQ(q[4], "语文");

    // 全科: every subject, so thirteen can be drawn.
    rules("全科卷", {"每题1.0分。干部:简单=13,;", "空", "空", "空", "空"}, "全科", "无");
    ExamEntry::recreateSheet();
    ExamEntry::recreateInterim();
    ASSERT_EQ(int(build("全科卷", "全科").outcome), int(ExamBuild::Outcome::Built));
    EXPECT_EQ(sheet().size(), 13);

    // 多科: each subject's row from testpaper, one after another.
    paper({"多科卷", "数学", "多科", "每题1.0分。干部:简单=4,;", "空", "空", "空", "空", "4", "4.0", "t", "x"},
          "testpaper");
    paper({"多科卷", "语文", "多科", "每题2.0分。干部:简单=2,;", "空", "空", "空", "空", "2", "4.0", "t", "x"},
          "testpaper");
    ExamEntry::recreateSheet();
    ExamEntry::recreateInterim();
    const ExamBuild::Result r = build("多科卷", "多科");
    ASSERT_EQ(int(r.outcome), int(ExamBuild::Outcome::Built));
    const QList<QStringList> drawn = interim();
    ASSERT_EQ(drawn.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(drawn[i][2], i < 4 ? "数学" : "语文") << i;
        EXPECT_EQ(drawn[i][3], i < 4 ? "1" : "2") << i;
    }
    // A 多科 paper without subject rows is no paper.
    EXPECT_EQ(int(build("语文卷", "多科").outcome), int(ExamBuild::Outcome::NoPaper));
}

TEST_F(ExamBuilderTest, EmptyAndMissingPapers)
{
    rules("空卷", {"空", "空", "空", "空", ""});
    const ExamBuild::Result r = build("空卷");
    EXPECT_EQ(int(r.outcome), int(ExamBuild::Outcome::Built));
    EXPECT_EQ(r.answerKey, "");
    EXPECT_EQ(r.questions, 0);

    const ExamBuild::Result none = build("没有的卷");
    EXPECT_EQ(int(none.outcome), int(ExamBuild::Outcome::NoPaper));
    EXPECT_EQ(ExamBuild::message(none), "还没有组卷，无法考试！");
}

// A rule composition would not have written refuses the exam before anything
// is drawn, and never hangs.
TEST_F(ExamBuilderTest, AMalformedRuleRefusesTheExam)
{
    seedMidtermBank();
    const QStringList broken{
        "每题2.0分。干部:简单=5,",        // no ";" after the last segment
        "每题2.0分干部:简单=5,;",         // no "。"
        "每题2.0分。干部:简单=五,;",      // a count that is no number
        "每题2.0分。干部:简单=5,;工人:",  // a segment cut short
        "r1",
    };
    for (int i = 0; i < broken.size(); ++i) {
        const QString name = QStringLiteral("坏卷%1").arg(i);
        rules(name, {kSingle5, "空", broken[i], "空", "空"});
        const ExamBuild::Result r = build(name);
        EXPECT_EQ(int(r.outcome), int(ExamBuild::Outcome::MalformedRule)) << broken[i].toStdString();
        EXPECT_EQ(ExamBuild::message(r), "本次考试试卷的“填空题”出题规则已损坏,无法进行考试！");
        EXPECT_TRUE(interim().isEmpty());
    }
    // The forms composition writes are accepted.
    EXPECT_TRUE(ExamBuilder::isUsableRule("每题2.5分。干部:简单=1,困难=2,;工人:中等=3,;"));
    EXPECT_TRUE(ExamBuilder::isUsableRule("空"));
    EXPECT_TRUE(ExamBuilder::isUsableRule(""));
}

// A missing bank table is reported as a database error; nothing is kept.
TEST_F(ExamBuilderTest, AMissingBankTableKeepsNothing)
{
    seedMidtermBank();
    paper(kMidterm);
    outsiderExec(Db::Questions, "drop table 填空题");
    EXPECT_THROW(build("期中卷"), DbError);
    EXPECT_TRUE(interim().isEmpty());
    EXPECT_TRUE(sheet().isEmpty());
}

// A picture name goes into exam as stored, whether or not its file exists:
// the exam window shows what it finds.
TEST_F(ExamBuilderTest, APictureNameIsCarriedAsStored)
{
    outsiderExec(Db::Questions, "insert into 判断题 (科目,题型,题干,答案,难度,对象,图片) "
                                "values ('语文','判断题','看图','对','简单','干部','判断题7')");
    rules("图卷", {"空", "每题1.0分。干部:简单=1,;", "空", "空", "空"});
    const ExamBuild::Result r = build("图卷");
    ASSERT_EQ(int(r.outcome), int(ExamBuild::Outcome::Built));
    EXPECT_EQ(r.answerKey, "对|");
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 编号,图片,A from exam")[0], (QStringList{"1", "判断题7", ""}));
}

// Whatever a previous entry left in the tables, a build starts from empty ones.
TEST_F(ExamBuilderTest, LeftoversOfAnEarlierDrawAreNotPartOfTheExam)
{
    seedMidtermBank();
    paper(kMidterm);
    outsiderExec(Db::Personnel, "insert into interim (题型,题干) values ('单选题','旧')");
    outsiderExec(Db::Personnel, "insert into exam (编号,题型,题干) values (1,'单选题','旧')");
    ASSERT_EQ(int(build("期中卷").outcome), int(ExamBuild::Outcome::Built));
    EXPECT_EQ(sheet().size(), 10);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from exam where 题干='旧'")[0][0], "0");
}

// Over 10,000 draws of 2 out of 3, every position is drawn first, and
// drawn at all, about equally often; a fixed seed repeats a draw.
TEST(PickDistinct, TwoOutOfThreeIsUniform)
{
    Random::setSeed(std::nullopt);
    std::map<std::uint64_t, int> first, any;
    std::set<std::pair<std::uint64_t, std::uint64_t>> orders;
    const int draws = 10000;
    for (int i = 0; i < draws; ++i) {
        Random::setSeed(std::uint64_t(1000 + i));
        const std::vector<std::uint64_t> v = Random::pickDistinct(2, 3);
        ASSERT_EQ(v.size(), 2u);
        ASSERT_NE(v[0], v[1]);
        ++first[v[0]];
        ++any[v[0]];
        ++any[v[1]];
        orders.insert({v[0], v[1]});
    }
    for (std::uint64_t p = 0; p < 3; ++p) {
        EXPECT_NEAR(first[p], draws / 3.0, 300) << p;       // expected 3333
        EXPECT_NEAR(any[p], draws * 2 / 3.0, 300) << p;     // expected 6667
    }
    EXPECT_EQ(orders.size(), 6u); // every ordered pair occurs
    Random::setSeed(99);
    const std::vector<std::uint64_t> a = Random::pickDistinct(5, 1000);
    Random::setSeed(99);
    EXPECT_EQ(Random::pickDistinct(5, 1000), a);
    Random::setSeed(std::nullopt);
}

} // namespace
