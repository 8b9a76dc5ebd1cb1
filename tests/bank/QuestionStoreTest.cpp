#include "bank/QuestionStore.h"

#include "app/MessageBox.h"
#include "bank/BankSeed.h"
#include "support/VornTest.h"

#include <QFile>

namespace {

ManualEntry choiceEntry(const QString &type = QStringLiteral("单选题"))
{
    ManualEntry e;
    e.subject = QStringLiteral("语文");
    e.type = type;
    e.difficulty = QStringLiteral("简单");
    e.audience = QStringLiteral("干部");
    e.stem = QStringLiteral("一加一等于几？");
    e.options = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QString(), QString()};
    e.answerBox = QStringLiteral("B");
    return e;
}

QString refusalText(const ManualEntry &e)
{
    const auto r = QuestionStore::checkEntry(e);
    return r ? r->text + QLatin1Char('/') + r->caption : QStringLiteral("accepted");
}

class QuestionStoreTest : public VornTest
{
};

} // namespace

TEST(QuestionEntryChecks, RefusalsComeInTheirOrder)
{
    ManualEntry empty;
    EXPECT_EQ(refusalText(empty), "请选择题型！/Vorn提醒"); // before anything else, all fields empty

    ManualEntry e = choiceEntry();
    EXPECT_EQ(refusalText(e), "accepted");
    e.options[2].clear();
    EXPECT_EQ(refusalText(e), "添加数据不能为空！/Vorn提醒");
    e = choiceEntry();
    e.audience.clear();
    EXPECT_EQ(refusalText(e), "添加数据不能为空！/Vorn提醒");

    // Emptiness before the space rule; the space rule before the "|" rule.
    e = choiceEntry(QStringLiteral("多选题"));
    e.answerBox = QStringLiteral("A |C");
    EXPECT_EQ(refusalText(e), "除问答题外的答案不能有空格存在，添加失败！/Vorn提示");
    e.stem.clear();
    EXPECT_EQ(refusalText(e), "添加数据不能为空！/Vorn提醒");

    ManualEntry essay = choiceEntry(QStringLiteral("问答题"));
    essay.options = {};
    essay.answerBox = QStringLiteral("A C");
    EXPECT_EQ(refusalText(essay), "accepted");
    essay.answerBox = QStringLiteral("A|C");
    EXPECT_EQ(refusalText(essay), "题目答案中不能含有'|'，添加失败！/Vorn提示");
    essay.answerBox = QStringLiteral(" ");
    EXPECT_EQ(refusalText(essay), "accepted"); // spaces count as content

    ManualEntry judge = choiceEntry(QStringLiteral("判断题"));
    judge.answerBox.clear();
    EXPECT_EQ(refusalText(judge), "数据选择不能为空！/Vorn提醒");
    judge.judgeAnswer = QStringLiteral("B");
    EXPECT_EQ(refusalText(judge), "accepted");
    // The hidden answer box is still looked at.
    judge.answerBox = QStringLiteral("x y");
    EXPECT_EQ(refusalText(judge), "除问答题外的答案不能有空格存在，添加失败！/Vorn提示");

    ManualEntry blank = choiceEntry(QStringLiteral("填空题"));
    blank.answerBox.clear();
    EXPECT_EQ(refusalText(blank), "添加数据不能为空！/Vorn提醒");
}

TEST(QuestionEntryChecks, TextsOverTheColumnSizeAreRefusedByField)
{
    const QString full(255, QChar(0x6587)); // 255 Chinese characters fit
    const QString over = full + QLatin1Char('x');
    ManualEntry e = choiceEntry();
    e.stem = full;
    e.options[4] = full;
    EXPECT_EQ(refusalText(e), "accepted");
    e.stem = over;
    EXPECT_EQ(refusalText(e), "题干超过255个字符，添加失败！/Vorn提示");
    e.stem = full;
    e.options[3] = over;
    EXPECT_EQ(refusalText(e), "选项D超过255个字符，添加失败！/Vorn提示");
    e.options[3].clear();
    e.answerBox = QString(256, QLatin1Char('A'));
    EXPECT_EQ(refusalText(e), "标准答案超过255个字符，添加失败！/Vorn提示");

    // Only what the type stores counts: hidden option boxes keep their text.
    ManualEntry essay = choiceEntry(QStringLiteral("问答题"));
    essay.options[0] = over;
    EXPECT_EQ(refusalText(essay), "accepted");
    essay.answerBox = over;
    EXPECT_EQ(refusalText(essay), "标准答案超过255个字符，添加失败！/Vorn提示");
    ManualEntry judge = choiceEntry(QStringLiteral("判断题"));
    judge.answerBox.clear();
    judge.judgeAnswer = QStringLiteral("A");
    judge.options[0] = over;
    EXPECT_EQ(refusalText(judge), "accepted");
    judge.stem = over;
    EXPECT_EQ(refusalText(judge), "题干超过255个字符，添加失败！/Vorn提示");
}

TEST_F(QuestionStoreTest, InsertsAndFindsDuplicates)
{
    CADOConn conn;
    Question q = choiceEntry().toQuestion();
    q.stem = QStringLiteral("O'Brien's question");
    EXPECT_FALSE(QuestionStore::isDuplicate(conn, q));
    const int id = QuestionStore::insert(conn, q);
    EXPECT_EQ(id, 1);
    EXPECT_TRUE(QuestionStore::isDuplicate(conn, q));

    // Difficulty and audience group do not make another question.
    Question other = q;
    other.difficulty = QStringLiteral("困难");
    other.audience = QStringLiteral("工人");
    EXPECT_TRUE(QuestionStore::isDuplicate(conn, other));
    other.options[4] = QStringLiteral("5");
    EXPECT_FALSE(QuestionStore::isDuplicate(conn, other));

    // An imported row with null D and E is the same as one typed with them empty.
    conn.close(); // the program holds its file while a command runs
    outsiderExec(Db::Questions, "update 单选题 set D=null, E=null");
    EXPECT_TRUE(QuestionStore::isDuplicate(conn, q));
    conn.close();

    const auto rows = outsiderRows(Db::Questions, "select 题干, D, E, 图片 from 单选题");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0], "O'Brien's question");

    CADOConn pic;
    QuestionStore::setPicture(pic, "单选题", id, Question::pictureName("单选题", id));
    pic.close();
    EXPECT_EQ(outsiderRows(Db::Questions, "select 图片 from 单选题")[0][0], "单选题1");
}

TEST_F(QuestionStoreTest, JudgeDuplicatesCompareTheStoredAnswer)
{
    ManualEntry judge = choiceEntry(QStringLiteral("判断题"));
    judge.judgeAnswer = QStringLiteral("A");
    CADOConn conn;
    QuestionStore::insert(conn, judge.toQuestion());
    judge.answerBox = QStringLiteral("whatever"); // hidden box: not part of a 判断题
    EXPECT_TRUE(QuestionStore::isDuplicate(conn, judge.toQuestion()));
    judge.judgeAnswer = QStringLiteral("B");
    EXPECT_FALSE(QuestionStore::isDuplicate(conn, judge.toQuestion()));
    conn.close();
}

TEST_F(QuestionStoreTest, DuplicatesHeedLetterCase)
{
    ManualEntry e = choiceEntry();
    e.subject = QStringLiteral("Math");
    e.stem = QStringLiteral("Which is Prime?");
    e.options = {QStringLiteral("Four"), QStringLiteral("Six"), QStringLiteral("Seven"), QString(), QString()};
    e.answerBox = QStringLiteral("C");
    CADOConn conn;
    QuestionStore::insert(conn, e.toQuestion());
    EXPECT_TRUE(QuestionStore::isDuplicate(conn, e.toQuestion()));
    ManualEntry other = e;
    other.subject = QStringLiteral("math");
    EXPECT_FALSE(QuestionStore::isDuplicate(conn, other.toQuestion()));
    other = e;
    other.stem = QStringLiteral("which is prime?");
    EXPECT_FALSE(QuestionStore::isDuplicate(conn, other.toQuestion()));
    other = e;
    other.options[2] = QStringLiteral("seven");
    EXPECT_FALSE(QuestionStore::isDuplicate(conn, other.toQuestion()));
    conn.close();
}

TEST_F(QuestionStoreTest, ClearingATypeRemovesRowsAndTheirPictures)
{
    EXPECT_EQ(QuestionStore::clearType("填空题"), QuestionStore::ClearResult::AlreadyEmpty);

    seedQuestions("单选题", 3);
    seedQuestions("判断题", 1);
    outsiderExec(Db::Questions, "update 单选题 set 图片='单选题'||ID where ID<3");
    for (const char *f : {"QuestionMap/单选题1.bmp", "QuestionMap/判断题1.bmp"}) {
        QFile file(path(f));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // 单选题2 names a picture whose file is missing: no error.
    EXPECT_EQ(QuestionStore::clearType("单选题"), QuestionStore::ClearResult::Cleared);
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from 单选题").isEmpty());
    EXPECT_FALSE(QFile::exists(path("QuestionMap/单选题1.bmp")));
    EXPECT_TRUE(QFile::exists(path("QuestionMap/判断题1.bmp")));
    EXPECT_EQ(outsiderRows(Db::Questions, "select * from 判断题").size(), 1);
}
