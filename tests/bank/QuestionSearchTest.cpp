#include "bank/QuestionSearch.h"

#include "bank/BankSeed.h"
#include "support/VornTest.h"

namespace {

class QuestionSearchTest : public VornTest
{
protected:
    SearchPage page(const SearchQuery &q, int p)
    {
        CADOConn conn;
        SearchPage result = QuestionSearch::page(conn, q, p);
        conn.close();
        return result;
    }
};

QList<int> numbers(const SearchPage &p)
{
    QList<int> n;
    for (const SearchRow &r : p.rows)
        n << r.number;
    return n;
}

} // namespace

TEST_F(QuestionSearchTest, PagesOfFiftyAcrossTypesInTypeOrder)
{
    seedQuestions("多选题", 40, "语文", "多");
    seedQuestions("单选题", 80, "语文", "单");
    seedQuestions("判断题", 5, "语文", "判"); // not checked
    const SearchQuery q{{"多选题", "单选题"}, {}, {}};

    const SearchPage p1 = page(q, 1);
    EXPECT_EQ(p1.total, 120);
    EXPECT_EQ(p1.pageCount, 3);
    ASSERT_EQ(p1.rows.size(), 50);
    EXPECT_EQ(p1.rows.first().number, 1);
    EXPECT_EQ(p1.rows.first().stem, "单1");
    EXPECT_EQ(p1.rows.last().number, 50);

    // Page 2 runs from the last 单选题 into the first 多选题 without a gap.
    const SearchPage p2 = page(q, 2);
    ASSERT_EQ(p2.rows.size(), 50);
    EXPECT_EQ(p2.rows.at(29).stem, "单80");
    EXPECT_EQ(p2.rows.at(29).number, 80);
    EXPECT_EQ(p2.rows.at(30).stem, "多1");
    EXPECT_EQ(p2.rows.at(30).type, "多选题");
    EXPECT_EQ(p2.rows.at(30).id, 1);

    const SearchPage p3 = page(q, 3);
    ASSERT_EQ(p3.rows.size(), 20);
    EXPECT_EQ(numbers(p3).first(), 101);
    EXPECT_EQ(numbers(p3).last(), 120);
    EXPECT_EQ(p3.rows.last().stem, "多40");

    // A page beyond the last has no rows but still knows the count.
    const SearchPage p4 = page(q, 4);
    EXPECT_TRUE(p4.rows.isEmpty());
    EXPECT_EQ(p4.pageCount, 3);
}

TEST_F(QuestionSearchTest, SubjectAndKeywordNarrowTheSearch)
{
    seedQuestions("单选题", 3, "语文", "古诗");
    seedQuestions("单选题", 2, "数学", "古诗");
    seedQuestions("单选题", 2, "数学", "100%_正确");
    seedQuestions("问答题", 1, "数学", "古诗");
    outsiderExec(Db::Questions, "update 单选题 set 题型='多选题' where ID=1"); // 题型 must match its table

    EXPECT_EQ(page({{"单选题"}, "语文", {}}, 1).total, 2);
    EXPECT_EQ(page({{"单选题", "问答题"}, {}, "古诗"}, 1).total, 5);
    EXPECT_EQ(page({{"单选题", "问答题"}, "数学", "古诗"}, 1).total, 3);
    // The keyword is taken literally, quotes and pattern characters included.
    EXPECT_EQ(page({{"单选题"}, {}, "0%_"}, 1).total, 2);
    EXPECT_EQ(page({{"单选题"}, {}, "0%x"}, 1).total, 0);
    EXPECT_EQ(page({{"单选题"}, {}, "it's"}, 1).total, 0);
    EXPECT_EQ(page({{"单选题"}, "无此科目", {}}, 1).total, 0);
}

// Subjects compare exactly, letter case included, as the subject catalogue
// keeps Math and math apart; the keyword is a pattern and ignores case.
TEST_F(QuestionSearchTest, TheSubjectFilterHeedsLetterCase)
{
    seedQuestions("单选题", 2, "Math", "Stem");
    seedQuestions("单选题", 1, "math", "stem");
    EXPECT_EQ(page({{"单选题"}, "Math", {}}, 1).total, 2);
    EXPECT_EQ(page({{"单选题"}, "math", {}}, 1).total, 1);
    EXPECT_EQ(page({{"单选题"}, "MATH", {}}, 1).total, 0);
    EXPECT_EQ(page({{"单选题"}, {}, "STEM"}, 1).total, 3);
}
