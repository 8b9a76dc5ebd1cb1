// Manual marking on the records: the points field's rules and a confirmed
// mark with the registration's new score and code.
#include "results/Marking.h"
#include "results/ScoreQuery.h"
#include "store/StoredNumbers.h"

#include "ResultsSeed.h"

TEST(MarkingRules, PointsFieldCorrection)
{
    EXPECT_EQ(Marking::corrected("2.57"), "2.5");
    EXPECT_EQ(Marking::corrected("1.99"), "1.9");
    EXPECT_EQ(Marking::corrected("2.50"), "2.50");
    EXPECT_EQ(Marking::corrected("05"), "5");
    EXPECT_EQ(Marking::corrected("00"), "0");
    EXPECT_EQ(Marking::corrected("0"), "0");
    EXPECT_EQ(Marking::corrected("0.5"), "0.5");
    EXPECT_EQ(Marking::corrected("0.57"), "0.5");
    EXPECT_EQ(Marking::corrected(".5"), "");
    EXPECT_EQ(Marking::corrected("1."), "1.");
    EXPECT_EQ(Marking::corrected(""), "");
    // Pasted text keeps only what typing could give.
    EXPECT_EQ(Marking::corrected("a1.2.3"), "1.2");
    EXPECT_TRUE(Marking::acceptsChar("1", '.'));
    EXPECT_FALSE(Marking::acceptsChar("1.", '.'));
    EXPECT_FALSE(Marking::acceptsChar("1", '-'));
    EXPECT_FALSE(Marking::acceptsChar("1", 'e'));
    EXPECT_DOUBLE_EQ(Marking::award(""), 0);
    EXPECT_DOUBLE_EQ(Marking::award("1."), 1);
}

TEST(MarkingRules, ScoreTextCutsAWholeNumber)
{
    EXPECT_EQ(scoreText(83.0), "83");
    EXPECT_EQ(scoreText(83.5), "83.5");
    EXPECT_EQ(scoreText(80 + 2.5), "82.5");
    EXPECT_EQ(scoreText(80 + 2), "82");
    EXPECT_EQ(scoreText(80.5 + 0.5), "81");
    EXPECT_EQ(scoreText(100), "100");
    EXPECT_EQ(scoreText(0), "0");
    // Ties of the binary value go to even, as C's printf writes "%.1f"
    // (half of a 2.5-point blank is 1.25); 0.35 is stored just below.
    EXPECT_EQ(scoreText(1.25), "1.2");
    EXPECT_EQ(scoreText(2.75), "2.8");
    EXPECT_EQ(scoreText(0.35), "0.3");
    EXPECT_EQ(scoreText(99.96), "100");
}

namespace {

class MarkingTest : public ResultsTest
{
protected:
    // 李四 in 期中考试: 80 so far, three essays of 5 points waiting.
    SeedResult liSi{"李四", "人事部", "主管", "1", "60", "80", "600", "2019/05/20" + kWide + "10:10:00", "期中考试", "有"};

    void SetUp() override
    {
        ResultsTest::SetUp();
        // printf '%s' '1李四主管期中考试80606002019/05/20　10:10:00' | iconv -t gb18030 | md5sum
        ASSERT_EQ(addResult(liSi, "5bfcdf68a869f423615dd61a5cd9a39a"), 1);
        sealCounters();
        addMidtermExam();
        addEssay(1, liSi, "一", "5");
        addEssay(1, liSi, "二", "5", QVariant()); // left unanswered
        addEssay(1, liSi, "三", "5");
    }

    EssayAnswer answer(int index) { return Marking::waiting().at(index); }
};

} // namespace

TEST_F(MarkingTest, ThreeEssaysMarkedOneByOne)
{
    const EssayList waiting = Marking::waiting();
    ASSERT_EQ(waiting.size(), 3);
    EXPECT_EQ(waiting.at(1).stem, "二");
    EXPECT_EQ(waiting.at(1).answer, "");
    EXPECT_EQ(waiting.at(0).examineeNumber, "1");
    EXPECT_EQ(ScoreQuery::verify(), ScoreQuery::Verification::Sound);

    EXPECT_EQ(Marking::mark(answer(0), 2.5), Marking::Outcome::Marked);
    // printf '%s' '1李四主管期中考试82.5606002019/05/20　10:10:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(row("select 成绩,保存码,问答题 from ExamRegister"),
              (QStringList{"82.5", "ad446c3f544700c0d606bcdd40c75eba", "有"}));
    EXPECT_EQ(ScoreQuery::verify(), ScoreQuery::Verification::Sound);

    // An award of 0 rewrites the same score and code.
    EXPECT_EQ(Marking::mark(answer(0), 0), Marking::Outcome::Marked);
    EXPECT_EQ(row("select 成绩,保存码,问答题 from ExamRegister"),
              (QStringList{"82.5", "ad446c3f544700c0d606bcdd40c75eba", "有"}));

    EXPECT_EQ(Marking::mark(answer(0), 0.5), Marking::Outcome::Marked);
    // printf '%s' '1李四主管期中考试83606002019/05/20　10:10:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩,保存码,问答题 is null from ExamRegister"),
              (QList<QStringList>{{"83", "dd9c226a3cb0dc216985e2700a7094b0", "1"}}));
    EXPECT_TRUE(Marking::waiting().isEmpty());
    EXPECT_EQ(ScoreQuery::verify(), ScoreQuery::Verification::Sound);
    ScoreList rows;
    ASSERT_EQ(ScoreQuery::showAll(&rows), ScoreQuery::Found::Rows);
    EXPECT_EQ(ScoreQuery::passFlag(rows.at(0)), "是");
}

TEST_F(MarkingTest, OtherRegistrationsKeepWaiting)
{
    SeedResult other = liSi;
    other.name = "王五";
    const int id = addResult(other);
    sealCounters();
    addEssay(id, other, "四", "5");
    for (int i = 0; i < 3; ++i)
        Marking::mark(answer(0), 1);
    EXPECT_EQ(row("select 成绩 from ExamRegister where ID=1"), QStringList{"83"});
    EXPECT_EQ(row("select 问答题 is null from ExamRegister where ID=1"), QStringList{"1"});
    EXPECT_EQ(row("select 成绩,问答题 from ExamRegister where ID=?", {id}), (QStringList{"80", "有"}));
    EXPECT_EQ(Marking::waiting().size(), 1);
}

// A long list looks its registrations up in batches: every batch counts,
// and a registration that is gone takes only its own answers' value.
TEST_F(MarkingTest, EveryRegistrationOfALongListFindsItsPaper)
{
    outsiderExec(Db::Personnel, "with recursive n(i) as (select 2 union all select i+1 from n where i<1201) "
                                "insert into ExamRegister (ID,姓名,考试名称) select i,'考生'||i,'期中考试' from n");
    outsiderExec(Db::Personnel, "insert into quesAndAns (姓名,考试名称,考生编号,题干,分值) "
                                "select 姓名,考试名称,ID,'四','5' from ExamRegister where ID>1 order by ID");
    outsiderExec(Db::Personnel, "delete from ExamRegister where ID=1201");
    const EssayList waiting = Marking::waiting();
    ASSERT_EQ(waiting.size(), 3 + 1200);
    EXPECT_EQ(waiting.at(3).name, "考生2");
    EXPECT_EQ(waiting.at(3 + 1198).examineeNumber, "1200");
    for (int i = 0; i < 3 + 1199; ++i)
        ASSERT_EQ(waiting.at(i).value, 5.0) << i;
    EXPECT_FALSE(waiting.at(3 + 1199).value);
}

// Two markers of one answer: the second confirmation finds it marked.
TEST_F(MarkingTest, AnAnswerCountsOnce)
{
    const EssayAnswer a = answer(0);
    ASSERT_EQ(Marking::mark(a, 2), Marking::Outcome::Marked);
    EXPECT_EQ(Marking::mark(a, 2), Marking::Outcome::AlreadyMarked);
    EXPECT_EQ(row("select 成绩 from ExamRegister"), QStringList{"82"});
}

TEST_F(MarkingTest, AMissingRegistrationKeepsTheEssay)
{
    const EssayAnswer a = answer(0);
    outsiderExec(Db::Personnel, "delete from ExamRegister");
    EXPECT_EQ(Marking::mark(a, 2), Marking::Outcome::RegistrationMissing);
    EXPECT_EQ(Marking::waiting().size(), 3);
}

// The essay rows carry no code: neither their value nor their copies of
// the person's fields are trusted.
TEST_F(MarkingTest, TheEssayRowsOwnFieldsDecideNothing)
{
    outsiderExec(Db::Personnel, "update quesAndAns set 分值='100', 姓名='王五', 职务='经理'");
    const EssayAnswer a = answer(0);
    EXPECT_EQ(Marking::valueText(a), "5"); // the paper's points
    EXPECT_EQ(Marking::mark(a, 50), Marking::Outcome::AboveValue);
    EXPECT_EQ(Marking::waiting().size(), 3);

    EXPECT_EQ(Marking::mark(a, 5), Marking::Outcome::Marked);
    // printf '%s' '1李四主管期中考试85606002019/05/20　10:10:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(row("select 成绩,保存码 from ExamRegister"), (QStringList{"85", "2d3e08380e20e604d78e6c85a64925aa"}));
    EXPECT_EQ(ScoreQuery::verify(), ScoreQuery::Verification::Sound);
}

TEST_F(MarkingTest, WithoutASealedPaperNothingIsMarked)
{
    for (const char *change : {"update exampaper set 问答题='每题50.0分。干部:困难=3,;'", "delete from exampaper"}) {
        outsiderExec(Db::Questions, change);
        const EssayAnswer a = answer(0);
        EXPECT_FALSE(a.value) << change;
        EXPECT_EQ(Marking::mark(a, 1), Marking::Outcome::NoSealedValue) << change;
        EXPECT_EQ(Marking::waiting().size(), 3) << change;
    }
}

// A 多科 paper's essays come from its subject rows, each with its points.
TEST_F(MarkingTest, AMultiSubjectPaperAllowsItsLargestEssayPoints)
{
    outsiderExec(Db::Questions, "delete from exampaper");
    const char *insert = "insert into %1 (名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题,总题数,满分,创建时间,保存码) "
                         "values ('期中卷',?,'多科','空','空','空','空',?,?,?,'2019/05/01 09:00:00',?)";
    // printf '%s' '期中卷空空空空问答题包含2个科目不定213.02019/05/01 09:00:00' | iconv -t gb18030 | md5sum
    outsiderExec(Db::Questions, QString(insert).arg("exampaper"),
                 {"不定", "问答题包含2个科目", "2", "13.0", "f94b5eb030b07d28dd0c95c7caf7c735"});
    // printf '%s' '期中卷空空空空每题5.0分。干部:困难=1,;语文15.02019/05/01 09:00:00' (and 8.0, 数学, 8.0)
    outsiderExec(Db::Questions, QString(insert).arg("testpaper"),
                 {"语文", "每题5.0分。干部:困难=1,;", "1", "5.0", "59340febc9047e6fb453154edd1c738c"});
    outsiderExec(Db::Questions, QString(insert).arg("testpaper"),
                 {"数学", "每题8.0分。干部:困难=1,;", "1", "8.0", "b44243aca5df52b8d01dad4554fac612"});
    outsiderExec(Db::Personnel, "update quesAndAns set 分值='8' where 题干='一'");
    outsiderExec(Db::Personnel, "update quesAndAns set 分值='9' where 题干='二'");
    const EssayList waiting = Marking::waiting();
    EXPECT_EQ(waiting.at(0).value, 8.0);
    EXPECT_EQ(waiting.at(1).value, 8.0);
    EXPECT_EQ(waiting.at(2).value, 5.0);
    // A subject row changed outside leaves no value to trust.
    outsiderExec(Db::Questions, "update testpaper set 问答题='每题50.0分。干部:困难=1,;' where 科目='数学'");
    EXPECT_FALSE(Marking::waiting().at(2).value);
}

TEST_F(MarkingTest, AFailedWriteChangesNothing)
{
    const EssayAnswer a = answer(0);
    outsiderExec(Db::Personnel, "create trigger refuse before update on ExamRegister "
                                "begin select raise(abort, 'disk full'); end");
    EXPECT_THROW(Marking::mark(a, 2), DbError);
    EXPECT_EQ(Marking::waiting().size(), 3) << "the essay row is not deleted on its own";
    EXPECT_EQ(row("select 成绩,保存码 from ExamRegister"), (QStringList{"80", "5bfcdf68a869f423615dd61a5cd9a39a"}));
}
