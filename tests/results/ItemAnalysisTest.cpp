// Item analysis against figures worked out by hand for a small exam, read
// through the kept sittings as the screen reads them.
//
// The exam (AnalysisSeed.h): Q1 单选题 key A, Q2 单选题 key B, Q3 判断题
// key A, 2 points each; Q4 问答题, 4 points; full marks 10, pass mark 6.
//
//          Q1  Q2  Q3  Q4 | total   answers Q1/Q2
//   甲      2   0   2   4 |   8      A / C
//   乙      2   0   2   3 |   7      A / C
//   丙      2   2   2   3 |   9      A / B
//   丁      0   2   2   1 |   5      B / B
//   戊      0   0   2   1 |   3      C / C
//   己      0   2   2   0 |   4      - / B
//
// Totals 8 7 9 5 3 4: sum 36, mean 6; sorted 3 4 5 7 8 9, median (5+7)/2 = 6.
// Squared deviations 4+1+9+1+9+4 = 28; population variance 28/6 = 14/3,
// standard deviation sqrt(14/3) = 2.1602. Lowest 3, highest 9.
// Pass = score above 6: 8, 7, 9 → 3 of 6 = 50%.
// Histogram, ten bins of 1 point: one each in [3,4) [4,5) [5,6) [7,8) [8,9) [9,10].
//
// Q1: scores 2 2 2 0 0 0 (mean 1, facility 0.5); rest 6 5 7 5 3 4 (mean 5).
//   deviations x: 1 1 1 -1 -1 -1; y: 1 0 2 0 -2 -1.
//   Sxy = 1+0+2+0+2+1 = 6, Sxx = 6, Syy = 1+0+4+0+4+1 = 10; r = 6/sqrt(60) = 0.7746.
//   Options: A 3, B 1, C 1, unanswered 1.
// Q2: scores 0 0 2 2 0 2 (facility 0.5); rest 8 7 7 3 3 2 (mean 5).
//   x: -1 -1 1 1 -1 1; y: 3 2 2 -2 -2 -3.
//   Sxy = -3-2+2-2+2-3 = -6, Sxx = 6, Syy = 9+4+4+4+4+9 = 34; r = -6/sqrt(204) = -0.4201: negative.
//   Stronger half: rest above the median rest (7+3)/2 = 5: 甲 C, 乙 C, 丙 B: C 2 > B 1,
//   the key is suspect. (Q1's stronger half, rest above 5: 甲 A, 丙 A: no suspicion.)
// Q3: everybody right: facility 1 (almost everybody right), no spread, no discrimination.
// Q4: scores 4 3 3 1 1 0 (mean 2, facility 0.5); rest 4 4 6 4 2 4 (mean 4).
//   x: 2 1 1 -1 -1 -2; y: 0 0 2 0 -2 0. Sxy = 2+2 = 4, Sxx = 12, Syy = 8; r = 4/sqrt(96) = 0.4082.
// Cronbach's alpha over the four questions (the essay is no right/wrong item):
//   item variances 1, 1, 0, 12/6 = 2; sum 4; alpha = 4/3 · (1 − 4/(14/3)) = 4/3 · 1/7 = 4/21 = 0.1905.
#include "results/ItemAnalysis.h"

#include "AnalysisSeed.h"

namespace {

const ItemStats &item(const ItemAnalysis::Report &r, const QString &bankId)
{
    for (const ItemStats &s : r.items)
        if (s.bankId == bankId)
            return s;
    ADD_FAILURE() << "no item " << bankId.toStdString();
    static const ItemStats none;
    return none;
}

} // namespace

TEST_F(AnalysisTest, HandComputedExam)
{
    seedFinalExam();
    const ItemAnalysis::Report r = ItemAnalysis::analyse(ItemAnalysis::load(QStringLiteral("期末考试")));

    EXPECT_EQ(r.paperName, "期末卷");
    EXPECT_DOUBLE_EQ(r.fullMarks, 10);
    EXPECT_EQ(r.waiting, 1); // 庚
    EXPECT_EQ(r.withoutSitting, 0);
    EXPECT_EQ(r.tampered, 0);

    const ExamStats &x = r.exam;
    EXPECT_EQ(x.examinees, 6);
    EXPECT_DOUBLE_EQ(x.mean, 6);
    EXPECT_DOUBLE_EQ(x.median, 6);
    EXPECT_NEAR(x.deviation, 2.16025, 1e-5);
    EXPECT_DOUBLE_EQ(x.lowest, 3);
    EXPECT_DOUBLE_EQ(x.highest, 9);
    EXPECT_EQ(x.passed, 3);
    EXPECT_DOUBLE_EQ(x.passRate, 0.5);
    QList<int> bins;
    for (const HistogramBin &b : x.histogram)
        bins << b.count;
    EXPECT_EQ(bins, QList<int>({0, 0, 0, 1, 1, 1, 0, 1, 1, 1}));
    ASSERT_TRUE(x.consistency.has_value());
    EXPECT_NEAR(*x.consistency, 4.0 / 21, 1e-9);
    EXPECT_EQ(x.consistencyName, "Cronbach α");

    ASSERT_EQ(r.items.size(), 4);
    EXPECT_EQ(r.items[0].bankId, "11"); // type order, then bank ID
    EXPECT_EQ(r.items[3].type, "问答题");

    const ItemStats &q1 = item(r, "11");
    EXPECT_EQ(q1.count, 6);
    EXPECT_DOUBLE_EQ(q1.facility, 0.5);
    EXPECT_NEAR(*q1.discrimination, 0.774597, 1e-6);
    EXPECT_EQ(q1.options, (std::array<int, 5>{3, 1, 1, 0, 0}));
    EXPECT_EQ(q1.unanswered, 1);
    EXPECT_TRUE(q1.flags.isEmpty()) << q1.flags.join(';').toStdString();

    const ItemStats &q2 = item(r, "12");
    EXPECT_NEAR(*q2.discrimination, -0.420084, 1e-6);
    EXPECT_EQ(q2.flags, QStringList({"区分度为负（-0.42）：总分低的考生反而答得好",
                                     "成绩较好的一半考生选C的多于正确答案B，答案可能有误"}));

    const ItemStats &q3 = item(r, "21");
    EXPECT_DOUBLE_EQ(q3.facility, 1);
    EXPECT_FALSE(q3.discrimination.has_value());
    EXPECT_EQ(q3.flags, QStringList({"几乎人人答对（得分率1.00）"}));

    const ItemStats &q4 = item(r, "51");
    EXPECT_FALSE(q4.choice);
    EXPECT_DOUBLE_EQ(q4.facility, 0.5);
    EXPECT_NEAR(*q4.discrimination, 0.408248, 1e-6);
}

// Two essays per examinee: their marks are known only as a sum, so each
// essay's own figures come only from examinees who scored none or all of
// it, while the consistency takes both essays as one part.
TEST_F(AnalysisTest, EssaysKnownOnlyAsTheirSum)
{
    addExam(1, QStringLiteral("期末考试"), QStringLiteral("期末卷"));
    const QList<std::pair<QVariant, int>> people{{"A", 6}, {"A", 3}, {"B", 0}, {"B", 2}};
    int n = 0;
    for (const auto &[single, essays] : people) {
        const QList<SheetQuestion> sheet{
            {"单选题", "一加一", {"二", "三"}, "4", single, "A"},
            {"问答题", "其一", {}, "3", QStringLiteral("答"), "参考"},
            {"问答题", "其二", {}, "3", QStringLiteral("答"), "参考"},
        };
        sitExam(QStringLiteral("考生%1").arg(++n), sheet, QString::number((single == QVariant("A")) * 4 + essays),
                {11, 51, 52});
    }
    const ItemAnalysis::Report r = ItemAnalysis::analyse(ItemAnalysis::load(QStringLiteral("期末考试")));
    ASSERT_EQ(r.items.size(), 3);
    const ItemStats &e1 = item(r, "51");
    EXPECT_EQ(e1.count, 2); // 6 = all of both, 0 = none; 3 and 2 cannot be split
    EXPECT_DOUBLE_EQ(e1.facility, 0.5);
    // Parts: the single choice (4 4 0 0, variance 4) and the essays (6 3 0 2,
    // mean 2.75, variance (10.5625+0.0625+7.5625+0.5625)/4 = 4.6875); totals
    // 10 7 0 2, mean 4.75, variance (27.5625+5.0625+22.5625+7.5625)/4 = 15.6875.
    // alpha = 2 · (1 − 8.6875/15.6875) = 0.89243.
    ASSERT_TRUE(r.exam.consistency.has_value());
    EXPECT_NEAR(*r.exam.consistency, 2 * (1 - 8.6875 / 15.6875), 1e-9);
}
