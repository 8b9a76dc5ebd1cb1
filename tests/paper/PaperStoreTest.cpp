#include "paper/Paper.h"
#include "paper/PaperComposition.h"
#include "store/CADOConn.h"

#include "bank/BankSeed.h"
#include "support/VornTest.h"

namespace {

const QString kCreated = QStringLiteral("2026/05/20 08:30:00");

class PaperStoreTest : public VornTest
{
protected:
    Paper paper(const QString &name, const QString &subject, const QString &option, const QString &single,
                const QString &judge = TypeRule::Empty)
    {
        TypeDraft drafts[5];
        for (auto [i, text] : {std::pair{0, single}, std::pair{1, judge}}) {
            const TypeRule r = TypeRule::parse(text);
            for (const TypeRuleSegment &s : r.segments)
                for (const TypeRuleItem &it : s.items)
                    drafts[i].add(subject, s.group, it.difficulty, TypeRule::formatPoints(r.points),
                                  QString::number(it.count));
        }
        return composePaper(name, option, subject, drafts, kCreated);
    }
};

TEST_F(PaperStoreTest, AvailableCountFollowsTheRuleWithAndWithoutSubject)
{
    seedQuestions("单选题", 7, "语文");
    seedQuestions("单选题", 4, "数学");
    CADOConn conn;
    EXPECT_EQ(PaperStore::availableCount(conn, "单选题", "语文", "干部", "简单", false), 7);
    EXPECT_EQ(PaperStore::availableCount(conn, "单选题", "数学", "干部", "简单", false), 4);
    EXPECT_EQ(PaperStore::availableCount(conn, "单选题", "语文", "干部", "困难", false), 0);
    EXPECT_EQ(PaperStore::availableCount(conn, "单选题", "", "干部", "简单", true), 11);
    EXPECT_EQ(PaperStore::availableCount(conn, "单选题", "语'文", "干'部", "简单", false), 0);
    conn.close();

    // A question with a picture counts, as the exam draws it (only the
    // printed paper leaves it out).
    outsiderExec(Db::Questions, "insert into 单选题 (科目,题型,题干,答案,A,B,C,难度,对象,图片) "
                                "values ('语文','单选题','图','A','a','b','c','简单','干部','单选题99')");
    CADOConn pictured;
    EXPECT_EQ(PaperStore::availableCount(pictured, "单选题", "语文", "干部", "简单", false), 8);
    pictured.close();

    // A bank table gone: an error the command reports, not a count.
    outsiderExec(Db::Questions, "drop table 判断题");
    CADOConn again;
    EXPECT_THROW(PaperStore::availableCount(again, "判断题", "语文", "干部", "简单", false), DbError);
}

TEST_F(PaperStoreTest, SavedRowCarriesTheCodeOfItsStoredFields)
{
    CADOConn conn;
    PaperStore::savePaper(conn, paper("期中考试", "语文", SubjectOption::Single,
                                      "每题2.0分。员工:简单=5,中等=3,;干部:困难=2,;"),
                          false);
    conn.close();
    const QList<QStringList> rows = outsiderRows(
        Db::Questions, "select 名称,科目,单选题,判断题,总题数,满分,创建时间,科目选项,保存码 from exampaper");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (QStringList{"期中考试", "语文", "每题2.0分。员工:简单=5,中等=3,;干部:困难=2,;", "空", "10",
                                    "20.0", kCreated, "单科", "087624608673644be535341b9ec89d1e"}));
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from testpaper").isEmpty());

    CADOConn read;
    ASSERT_EQ(PaperStore::readPapers(read).size(), 1);
    EXPECT_TRUE(PaperStore::readPapers(read).first().sealed());
    EXPECT_TRUE(PaperStore::nameExists(read, "期中考试"));
    EXPECT_FALSE(PaperStore::nameExists(read, "期中"));
}

TEST_F(PaperStoreTest, MultiSubjectSummaryAndDeletionTakeEverySubjectRow)
{
    const QString name = QStringLiteral("王's卷");
    CADOConn conn;
    PaperStore::savePaper(conn, paper(name, "语文", SubjectOption::Multi, "每题2.0分。员工:简单=5,;",
                                      "每题1.0分。员工:简单=5,;"),
                          true);
    PaperStore::savePaper(conn, paper(name, "数学", SubjectOption::Multi, "每题3.0分。员工:简单=5,;"), true);
    PaperStore::savePaper(conn, paper("单科卷", "语文", SubjectOption::Single, "每题3.0分。员工:简单=5,;"), false);
    EXPECT_EQ(PaperStore::subjectRows(conn, name).size(), 2);
    EXPECT_TRUE(PaperStore::finishMultiSubjectPaper(conn, name, kCreated).sealed());
    conn.close();

    const QList<QStringList> rows = outsiderRows(
        Db::Questions,
        "select 科目,单选题,判断题,填空题,多选题,问答题,总题数,满分,科目选项,保存码 from exampaper where 名称=?",
        {name});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (QStringList{"不定", "单选题包含2个科目", "判断题包含1个科目", "空", "空", "空", "15", "30.0",
                                    "多科", "7cd0c54ac32da82de217aa1955688117"}));

    const auto remove = [](bool pickMulti, const QString &multiName) {
        CADOConn del;
        for (const Paper &p : PaperStore::readPapers(del))
            if ((p.name == multiName) == pickMulti)
                return PaperStore::deletePaper(del, p.id);
        return false;
    };
    EXPECT_TRUE(remove(false, name));
    EXPECT_EQ(outsiderRows(Db::Questions, "select * from testpaper").size(), 2); // a 单科 paper leaves them
    EXPECT_TRUE(remove(true, name));
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from testpaper").isEmpty());
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from exampaper").isEmpty());
    CADOConn none;
    EXPECT_FALSE(PaperStore::deletePaper(none, 999));
}

} // namespace
