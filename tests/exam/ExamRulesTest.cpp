// Scoring, the blank rule, what is stored per type, the blanks in the stem,
// the countdown and the layout, without a window.
#include "exam/ExamRules.h"
#include "exam/ExamWindowControls.h"
#include "store/StoredNumbers.h"

#include <gtest/gtest.h>

using namespace ExamScoring;

TEST(ExamScoring, ScoreTextDropsOnlyATrailingZero)
{
    EXPECT_EQ(scoreText(85), "85");
    EXPECT_EQ(scoreText(72.5), "72.5");
    EXPECT_EQ(scoreText(0), "0");
    EXPECT_EQ(scoreText(100), "100");
    EXPECT_EQ(scoreText(0.5 + 0.5 + 2.5), "3.5");
}

TEST(ExamScoring, PointsThatAreNoNumberCountZero)
{
    EXPECT_EQ(pointsOf("2.5"), 2.5);
    EXPECT_EQ(pointsOf("10"), 10);
    EXPECT_EQ(pointsOf("十分"), 0);
    EXPECT_EQ(pointsOf(""), 0);
    EXPECT_EQ(pointsOf("nan"), 0);
}

TEST(ExamScoring, BlankRuleTable)
{
    const QString ref = "北京#上海";
    struct Row
    {
        const char *answer;
        double points;
    } rows[] = {{"北京#上海", 4}, {"北京#x", 2}, {"x#上海", 2}, {"北京", 2}, {"#上海", 2}, {"x#y", 0}, {"", 0}, {"上海", 0}};
    for (const Row &r : rows)
        EXPECT_EQ(earned("填空题", r.answer, ref, 4), r.points) << r.answer;
    // One blank: all or nothing.
    EXPECT_EQ(earned("填空题", "长江", "长江", 3), 3);
    EXPECT_EQ(earned("填空题", "长", "长江", 3), 0);
    EXPECT_EQ(earned("填空题", "长江#x", "长江", 3), 0);
}

TEST(ExamScoring, ChoicesCompareExactly)
{
    EXPECT_EQ(earned("多选题", "ABD", "ABD", 5), 5);
    EXPECT_EQ(earned("多选题", "AB", "ABD", 5), 0);
    EXPECT_EQ(earned("多选题", "ABCD", "ABD", 5), 0);
    EXPECT_EQ(earned("单选题", "a", "A", 5), 0);
    EXPECT_EQ(earned("判断题", "", "A", 5), 0);
    EXPECT_EQ(earned("单选题", "", "", 5), 5); // no reference, no answer
    EXPECT_EQ(earned("问答题", "参考", "参考", 5), 0);
}

TEST(ExamScoring, ReviewMarksFollowTheScoring)
{
    EXPECT_EQ(reviewMark("单选题", std::nullopt, "A"), Mark::Unanswered);
    EXPECT_EQ(reviewMark("问答题", QString("答"), "x"), Mark::Essay);
    EXPECT_EQ(reviewMark("问答题", std::nullopt, "x"), Mark::Essay); // waits for marking all the same
    EXPECT_EQ(reviewMark("单选题", QString("A"), "A"), Mark::Right);
    EXPECT_EQ(reviewMark("填空题", QString("#上海"), "北京#上海"), Mark::Half);
    EXPECT_EQ(reviewMark("多选题", QString("AB"), "ABD"), Mark::Wrong);
}

TEST(ExamScoring, KeyEntriesSplitAtEveryBar)
{
    EXPECT_EQ(keyEntries("A|北京#上海||ABD|"), (QStringList{"A", "北京#上海", "", "ABD"}));
    EXPECT_TRUE(keyEntries("").isEmpty());
}

TEST(AnswerRules, StoredByType)
{
    using A = SaveDecision;
    ShownAnswer s;
    s.type = "单选题";
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Keep, {}}));
    s.single = 2;
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Store, "C"}));

    s = {};
    s.type = "判断题";
    s.judge = 1;
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Store, "B"}));

    s = {};
    s.type = "多选题";
    s.multi = {false, true, false, false, false};
    EXPECT_EQ(AnswerRules::decide(s).action, A::Keep); // one letter is never stored
    s.multi = {true, false, false, true, true};
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Store, "ADE"}));

    s = {};
    s.type = "填空题";
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Clear, {}}));
    s.blank1 = "北京";
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Store, "北京"}));
    s.blank2 = "上海";
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Store, "北京#上海"}));
    s.blank1.clear();
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Store, "#上海"}));

    s = {};
    s.type = "问答题";
    EXPECT_EQ(AnswerRules::decide(s).action, A::Keep); // an empty box keeps the stored essay
    s.essay = "一\n二";
    EXPECT_EQ(AnswerRules::decide(s), (A{A::Store, "一\n二"}));
}

TEST(AnswerRules, BlankInputAndSplitting)
{
    EXPECT_EQ(AnswerRules::cleanBlankInput("a#b【c】"), "abc");
    EXPECT_EQ(AnswerRules::splitBlanks("北京#上海#x"), (std::pair<QString, QString>{"北京", "上海#x"}));
    EXPECT_EQ(AnswerRules::splitBlanks("北京"), (std::pair<QString, QString>{"北京", ""}));
}

TEST(BlankStemTest, ValuesStandBetweenTheMarkersWithTheirRanges)
{
    BlankStem s("首都是【】，最大城市是【】。");
    EXPECT_EQ(BlankStem::markerCount(s.text()), 2);
    s.setValue(2, "上海");
    EXPECT_EQ(s.text(), "首都是【】，最大城市是【 上海 】。");
    EXPECT_EQ(s.range(2), (BlankStem::Range{12, 16}));
    s.setValue(1, "北京");
    EXPECT_EQ(s.text(), "首都是【 北京 】，最大城市是【 上海 】。");
    EXPECT_EQ(s.range(1), (BlankStem::Range{4, 8}));
    EXPECT_EQ(s.range(2), (BlankStem::Range{16, 20})); // moved with blank 1
    EXPECT_EQ(s.text().mid(16, 4), " 上海 ");
    s.setValue(1, "");
    EXPECT_EQ(s.text(), "首都是【  】，最大城市是【 上海 】。");
    EXPECT_EQ(s.range(1).first, s.range(1).second);
    EXPECT_EQ(s.text().mid(s.range(2).first, 4), " 上海 ");
}

TEST(BlankStemTest, AnUnclosedBlankDoesNotPileUp)
{
    BlankStem s("写出【");
    s.setValue(1, "a");
    s.setValue(1, "ab");
    EXPECT_EQ(s.text(), "写出【 ab ");
    EXPECT_EQ(BlankStem::markerCount("a【【【"), 3);
}

TEST(CountdownTest, CountsDownAndReportsTimeUsed)
{
    Countdown c;
    c.start("60");
    EXPECT_EQ(c.remaining(), 3600);
    for (int i = 0; i < 600; ++i)
        EXPECT_FALSE(c.tick());
    EXPECT_EQ(c.leftText(), "剩余时间：00:50:00");
    EXPECT_EQ(c.usedSeconds(), 600);
    c.start("1");
    bool up = false;
    for (int i = 0; i < 60; ++i)
        up = c.tick();
    EXPECT_TRUE(up);
    EXPECT_EQ(c.usedSeconds(), 60);
    EXPECT_TRUE(c.tick()); // stays at 0
    EXPECT_EQ(c.remaining(), 0);
    c.start("125");
    c.tick();
    EXPECT_EQ(c.leftText(), "剩余时间：02:04:59");
}

TEST(CountdownTest, NoTimeIsATimeOutNotANegativeCount)
{
    for (const char *limit : {"0", "", "abc", "-5"}) {
        Countdown c;
        c.start(limit);
        EXPECT_TRUE(c.timeUp()) << limit;
        EXPECT_TRUE(c.tick());
        EXPECT_EQ(c.remaining(), 0);
        EXPECT_EQ(c.usedSeconds(), 0);
        EXPECT_EQ(c.leftText(), "剩余时间：00:00:00");
    }
}

TEST(ExamLayoutTest, HeadingsAreNumberedByThePresentTypes)
{
    const auto items = ExamLayout::overview({0, 3, 0, 0, 2});
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items[0].id, ExamWindowControls::JudgeHeading);
    EXPECT_EQ(items[0].text, "一、判断题");
    EXPECT_EQ(items[0].rect, ExamLayout::ltrb(50, 120, 120, 135));
    EXPECT_EQ(items[4].id, ExamWindowControls::EssayHeading);
    EXPECT_EQ(items[4].text, "二、问答题");
    EXPECT_EQ(items[4].rect.top(), 160);
    EXPECT_EQ(items[5].id, ExamWindowControls::NumberBase + 4);
    EXPECT_EQ(items[5].text, "4");
    EXPECT_EQ(ExamLayout::sectionOf("问答题"), "五、");
    EXPECT_EQ(ExamLayout::typeLine("多选题", "2.5"), "多选题  每题2.5分(选2-5个答案)");
    EXPECT_EQ(ExamLayout::typeLine("单选题", "2"), "单选题  每题2分");
}

TEST(ExamLayoutTest, SevenSingleChoicesTakeTwoRows)
{
    const auto items = ExamLayout::overview({7, 1, 0, 0, 0});
    // Numbers 1-5 on the first row, 6 and 7 on the second.
    EXPECT_EQ(items[1].rect, QRect(70, 140, 30, 15));
    EXPECT_EQ(items[5].rect, QRect(210, 140, 30, 15));
    EXPECT_EQ(items[6].rect, QRect(70, 160, 30, 15));
    EXPECT_EQ(items[7].rect, QRect(105, 160, 30, 15));
    EXPECT_EQ(items[8].text, "二、判断题");
    EXPECT_EQ(items[8].rect.top(), 180);
    EXPECT_EQ(items[9].id, ExamWindowControls::NumberBase + 8);
}

TEST(ExamLayoutTest, LargeExamsKeepEveryNumberApart)
{
    const std::array<int, 5> counts{120, 40, 30, 20, 10};
    const auto items = ExamLayout::overview(counts);
    ASSERT_EQ(items.size(), 225);
    for (int i = 0; i < items.size(); ++i)
        for (int j = i + 1; j < items.size(); ++j)
            ASSERT_FALSE(items[i].rect.intersects(items[j].rect)) << i << " " << j;
    EXPECT_EQ(items.last().id, ExamWindowControls::NumberBase + 220);
    EXPECT_GE(ExamLayout::overviewBottom(counts), items.last().rect.bottom());
}

TEST(ExamLayoutTest, RectanglesFollowTheScreen)
{
    using ExamLayout::ltrb;
    EXPECT_EQ(ExamLayout::rectOf(ExamWindowControls::Stem, 1024, 768), ltrb(307, 160, 307 + 665, 115 + 160));
    EXPECT_EQ(ExamLayout::rectOf(ExamWindowControls::SingleE, 1366, 768), ltrb(409 + 38, 115 + 214 + 240, 1297, 115 + 262 + 240));
    EXPECT_EQ(ExamLayout::rectOf(ExamWindowControls::MultiE, 1920, 1080), ExamLayout::rectOf(ExamWindowControls::SingleE, 1920, 1080));
    EXPECT_EQ(ExamLayout::rectOf(ExamWindowControls::Essay, 1920, 1080), ltrb(576 + 60, 162 + 220, 576 + 1248, 2 * 162 + 220));
    EXPECT_EQ(ExamLayout::rectOf(ExamWindowControls::Submit, 1024, 768), ltrb(716, 153 + 520, 806, 153 + 560));
    EXPECT_EQ(ExamLayout::rectOf(ExamWindowControls::Section, 1366, 768), ltrb(369, 125, 409, 160));
    EXPECT_TRUE(ExamLayout::rectOf(ExamWindowControls::ExamName, 1024, 768).isEmpty()); // keeps its template place
}
