#include "paper/PaperComposition.h"
#include "paper/TypeRule.h"

#include "support/VornTest.h"

namespace {

const QString kExample = QStringLiteral("每题2.0分。员工:简单=5,中等=3,;干部:困难=2,;");

TEST(TypeRule, ExampleRoundTripsBetweenStoredAndShownForms)
{
    const TypeRule rule = TypeRule::parse(kExample);
    EXPECT_DOUBLE_EQ(rule.points, 2.0);
    ASSERT_EQ(rule.segments.size(), 2);
    EXPECT_EQ(rule.segments[0].group, "员工");
    ASSERT_EQ(rule.segments[0].items.size(), 2);
    EXPECT_EQ(rule.segments[0].items[1].difficulty, "中等");
    EXPECT_EQ(rule.segments[0].items[1].count, 3);
    EXPECT_EQ(rule.segments[1].group, "干部");
    EXPECT_EQ(rule.questionCount(), 10);
    EXPECT_EQ(rule.toStored(), kExample);
    EXPECT_TRUE(TypeRule::isWellFormed(kExample));

    const QString shown = rule.toShown(QStringLiteral("语文"));
    EXPECT_EQ(shown, "<语文>\n每题2.0分。\n员工:简单=5,中等=3,;\n干部:困难=2,;");
    EXPECT_EQ(rule.toShown(std::nullopt), "每题2.0分。\n员工:简单=5,中等=3,;\n干部:困难=2,;");
    EXPECT_EQ(TypeRule::parse(shown).toStored(), kExample);
    EXPECT_EQ(TypeRule::parse("每题1.5分。员工:简单=12,;").toStored(), "每题1.5分。员工:简单=12,;");
}

TEST(TypeRule, MalformedTextsAlwaysEndWithADefinedReading)
{
    for (const QString &none : {QString(), QStringLiteral("空"), QStringLiteral("每题2.0分员工:简单=5,;")}) {
        const TypeRule r = TypeRule::parse(none);
        EXPECT_TRUE(r.isEmpty()) << none.toStdString();
        EXPECT_EQ(r.toStored(), "空");
    }
    // A last segment without ";" and a last item without "," run to the end.
    TypeRule r = TypeRule::parse("每题2.0分。员工:简单=5,中等=3");
    ASSERT_EQ(r.segments.size(), 1);
    EXPECT_EQ(r.segments[0].items.size(), 2);
    EXPECT_EQ(r.questionCount(), 8);
    EXPECT_FALSE(TypeRule::isWellFormed("每题2.0分。员工:简单=5,中等=3"));

    // No number reads 0; a segment without ":" is skipped; a fourth item is not read.
    r = TypeRule::parse("每题x分。员工:简单=abc,;无冒号;干部:简单=1,中等=2,困难=3,其他=4,;");
    EXPECT_DOUBLE_EQ(r.points, 0);
    ASSERT_EQ(r.segments.size(), 2);
    EXPECT_EQ(r.segments[0].items[0].count, 0);
    EXPECT_EQ(r.segments[1].items.size(), 3);

    // A count of many digits is capped instead of overflowing.
    r = TypeRule::parse("每题2.0分。员工:简单=99999999999999999999,;");
    EXPECT_GT(r.questionCount(), 0);
}

TEST(PaperRules, PointsBoxFilterAndNormalisation)
{
    EXPECT_EQ(PaperRules::normalisePoints("2.56"), "2.5");
    EXPECT_EQ(PaperRules::normalisePoints("05"), "5");
    EXPECT_EQ(PaperRules::normalisePoints(".5"), "");
    EXPECT_EQ(PaperRules::normalisePoints("0"), "0");
    EXPECT_EQ(PaperRules::normalisePoints("0.5"), "0.5");
    EXPECT_TRUE(PaperRules::acceptsPointsChar("2", '.'));
    EXPECT_FALSE(PaperRules::acceptsPointsChar("2.", '.'));
    EXPECT_FALSE(PaperRules::acceptsPointsChar("2", 'a'));
    EXPECT_EQ(PaperRules::subtotal("2.5", "4"), "10.0");
    EXPECT_EQ(PaperRules::subtotal("9999999.9", "999999999"), "9999999890000000.0"); // no overflow, no crash
    EXPECT_EQ(PaperRules::subtotal("", "4"), "");
}

TEST(TypeDraft, RulesAreAddedAsTheScreenShowsThem)
{
    using R = TypeDraft::Result;
    TypeDraft d;
    const QString subject = QStringLiteral("语文");
    EXPECT_EQ(d.add(subject, "员工", "简单", "", "5"), R::MissingData);
    EXPECT_EQ(d.add(subject, "员工", "简单", "0", "5"), R::ZeroPoints);
    EXPECT_EQ(d.add(subject, "", "简单", "2", "5"), R::MissingData);
    EXPECT_EQ(d.add(subject, "员工", "简单", "2", "5"), R::Added);
    EXPECT_EQ(d.shownText(), "<语文>\n每题2.0分。\n员工:简单=5,;");
    EXPECT_EQ(d.add(subject, "员工", "中等", "2", "3"), R::Added);
    EXPECT_EQ(d.add(subject, "干部", "困难", "2", "2"), R::Added);
    EXPECT_EQ(d.add(subject, "员工", "简单", "2", "1"), R::Duplicate);
    EXPECT_EQ(d.add(QStringLiteral("数学"), "员工", "困难", "2", "1"), R::SubjectDiffers);
    EXPECT_EQ(d.storedText(), kExample);
    EXPECT_EQ(d.questionCount(), 10);
    EXPECT_EQ(d.totalText(), "20.0");

    // A group whose name holds another's is its own segment.
    EXPECT_EQ(d.add(subject, "老员工", "简单", "2", "1"), R::Added);
    EXPECT_EQ(d.rule().segments.size(), 3);

    TypeDraft names;
    EXPECT_EQ(names.add(subject, "员工;干部", "简单", "2", "1"), R::BadName);
    EXPECT_EQ(names.add(QStringLiteral("语>文"), "员工", "简单", "2", "1"), R::BadName);
    EXPECT_EQ(names.add(std::nullopt, "员工", "简单", "2", "1"), R::Added);
    EXPECT_EQ(names.shownText(), "每题2.0分。\n员工:简单=1,;");
}

} // namespace
