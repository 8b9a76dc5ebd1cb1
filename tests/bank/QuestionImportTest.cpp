#include "bank/QuestionImport.h"

#include "bank/BankSeed.h"
#include "store/XlsReader.h"
#include "support/VornTest.h"

namespace {

class QuestionImportTest : public VornTest
{
protected:
    ImportResult import(const QString &fixture, const QString &type)
    {
        XlsWorkbook book;
        EXPECT_TRUE(book.open(bankFixture(fixture))) << book.error().toStdString();
        return QuestionImport::run(book, type);
    }
    int rows(const QString &type)
    {
        return int(outsiderRows(Db::Questions, "select * from " + type).size());
    }
};

} // namespace

TEST(XlsReader, ReadsSheetsCellsAsTextAndEmptyAsNull)
{
    XlsWorkbook book;
    ASSERT_TRUE(book.open(bankFixture("questions.xls"))) << book.error().toStdString();
    EXPECT_EQ(book.sheetNames(), QStringList({"单选题", "判断题", "填空题", "多选题", "问答题"}));
    const auto blank = book.sheet("填空题");
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->columns, QStringList({"科目", "题型", "题干", "答案", "难度", "对象"}));
    ASSERT_EQ(blank->rows.size(), 2u);
    EXPECT_EQ(blank->rows[0][3].value_or("null"), "12"); // a number cell
    EXPECT_EQ(blank->rows[0][2].value_or("null"), "三乘四等于【】");
    const auto multi = book.sheet("多选题");
    ASSERT_TRUE(multi);
    EXPECT_FALSE(multi->rows[0][8].has_value()); // empty E
    EXPECT_FALSE(book.sheet("Sheet1").has_value());
}

TEST(XlsReader, RefusesWhatIsNotAWorkbook)
{
    XlsWorkbook book;
    EXPECT_FALSE(book.open(bankFixture("notaspreadsheet.xls")));
    EXPECT_FALSE(book.error().isEmpty());
    EXPECT_FALSE(book.open(bankFixture("missing.xls")));
    EXPECT_FALSE(book.error().isEmpty());
    // A cell of 10,000 characters is more than FreeXL reads: refused whole.
    EXPECT_FALSE(book.open(bankFixture("hugecell.xls")));
    EXPECT_EQ(book.error(), "文件内容无法读取");
}

TEST(XlsReader, TheTemplatesHaveTheirHeaders)
{
    XlsWorkbook questions;
    ASSERT_TRUE(questions.open(VORN_SOURCE_DIR "/res/templates/questions.xls"));
    for (const QString &type : QuestionType::names()) {
        const auto sheet = questions.sheet(type);
        ASSERT_TRUE(sheet) << type.toStdString();
        EXPECT_EQ(sheet->columns, QuestionImport::expectedColumns(type));
        EXPECT_TRUE(sheet->rows.empty());
    }
    XlsWorkbook examinee;
    ASSERT_TRUE(examinee.open(VORN_SOURCE_DIR "/res/templates/examinee.xls"));
    const auto sheet = examinee.sheet("Sheet1");
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->columns, QStringList({"姓名", "部门", "职务"}));
}

TEST_F(QuestionImportTest, ImportsCompleteRowsAndRemovesDuplicatesOnTheSecondRun)
{
    const ImportResult first = import("questions.xls", "单选题");
    EXPECT_EQ(first.status, ImportResult::Done);
    EXPECT_EQ(first.message(), "导入数据10条，已删除0条重复数据！\n另有2行的科目、题型、题干、答案、难度或对象为空，未导入。");
    EXPECT_EQ(rows("单选题"), 10);
    // Sheet order kept; 图片 empty.
    const auto stored = outsiderRows(Db::Questions, "select ID, 题干, D, 图片 from 单选题 order by ID");
    EXPECT_EQ(stored.first()[1], "单选题第1题【】是什么？");
    EXPECT_EQ(stored.last()[1], "单选题第10题【】是什么？");
    EXPECT_TRUE(stored.first()[3].isNull());

    const ImportResult second = import("questions.xls", "单选题");
    EXPECT_EQ(second.message(), "导入数据10条，已删除10条重复数据！\n另有2行的科目、题型、题干、答案、难度或对象为空，未导入。");
    // The first copies stay.
    EXPECT_EQ(outsiderRows(Db::Questions, "select max(ID) from 单选题")[0][0], "10");
}

TEST_F(QuestionImportTest, SpacesLeaveAnswersExceptEssays)
{
    EXPECT_EQ(import("questions.xls", "多选题").status, ImportResult::Done);
    EXPECT_EQ(import("questions.xls", "问答题").status, ImportResult::Done);
    EXPECT_EQ(import("questions.xls", "填空题").status, ImportResult::Done);
    EXPECT_EQ(outsiderRows(Db::Questions, "select 答案 from 多选题 where 题干='哪些是水果'")[0][0], "AC");
    EXPECT_EQ(outsiderRows(Db::Questions, "select 答案 from 问答题")[0][0], "A C");
    const auto blanks = outsiderRows(Db::Questions, "select 答案, A from 填空题 order by ID");
    EXPECT_EQ(blanks[0][0], "12");
    EXPECT_EQ(blanks[1][0], "1#1");
    EXPECT_TRUE(blanks[0][1].isNull());
}

TEST_F(QuestionImportTest, RefusedSheetsWriteNothing)
{
    EXPECT_EQ(import("reordered.xls", "单选题").message(), "Excel单选题表没有按照模板要求输入，导入失败！");
    EXPECT_EQ(import("reordered.xls", "多选题").message(), "Excel多选题表没有按照模板要求输入，导入失败！");
    EXPECT_EQ(import("reordered.xls", "判断题").status, ImportResult::BadHeader); // an extra column
    EXPECT_EQ(import("othersheet.xls", "单选题").message(), "Excel文件中没有单选题表，导入失败！");
    EXPECT_EQ(import("norows.xls", "单选题").message(), "导入表格无数据！");
    EXPECT_EQ(import("norows.xls", "问答题").message(), "导入表格无数据！");
    const ImportResult tooLong = import("longcell.xls", "单选题");
    EXPECT_EQ(tooLong.message(), "Excel单选题表第3行有超过255个字符的内容，导入失败！");
    for (const QString &type : QuestionType::names())
        EXPECT_EQ(rows(type), 0) << type.toStdString();
}

TEST_F(QuestionImportTest, APipeStopsTheImportKeepingTheRowsBefore)
{
    const ImportResult options = import("pipes.xls", "单选题");
    EXPECT_EQ(options.message(), "题目答案选项中不能含有'|'！");
    EXPECT_EQ(options.stored, 3);
    EXPECT_EQ(rows("单选题"), 3);

    const ImportResult answers = import("pipes.xls", "多选题");
    EXPECT_EQ(answers.message(), "题目答案中不能含有'|'！");
    EXPECT_EQ(rows("多选题"), 1);

    // No duplicate removal ran: an identical older row is still there.
    const ImportResult again = import("pipes.xls", "多选题");
    EXPECT_EQ(again.status, ImportResult::PipeInAnswer);
    EXPECT_EQ(rows("多选题"), 2);
}

TEST_F(QuestionImportTest, DuplicateRemovalTakesInRowsEnteredByHand)
{
    // An older hand-entered copy of sheet row 1 keeps its place; the import's copy goes.
    outsiderExec(Db::Questions,
                 "insert into 单选题 (科目,题型,题干,答案,A,B,C,难度,对象) values "
                 "('语文','单选题','单选题第1题【】是什么？','A','选项一1','选项二1','选项三1','简单','干部')");
    outsiderExec(Db::Questions, "insert into 单选题 (科目) values ('无题型')");
    const ImportResult r = import("questions.xls", "单选题");
    EXPECT_EQ(r.message(), "导入数据10条，已删除2条重复数据！\n另有2行的科目、题型、题干、答案、难度或对象为空，未导入。");
    EXPECT_EQ(outsiderRows(Db::Questions, "select min(ID) from 单选题 where 题干='单选题第1题【】是什么？'")[0][0], "1");
    EXPECT_EQ(rows("单选题"), 10);
}

TEST_F(QuestionImportTest, TrueFalseRowsThatDifferOnlyInTheirAnswerAreKept)
{
    // The sheet holds 地球是圆的 with A and 太阳从西边升起 with B.
    const auto judge = [this](const QString &stem, const QString &answer, const QString &difficulty) {
        outsiderExec(Db::Questions,
                     "insert into 判断题 (科目,题型,题干,答案,A,B,难度,对象) values (?,?,?,?,?,?,?,?)",
                     {"语文", "判断题", stem, answer, "正确", "错误", difficulty, "干部"});
    };
    judge("地球是圆的", "B", "简单");      // the sheet's first row with the other answer: another question
    judge("太阳从西边升起", "B", "中等");  // the sheet's second row exactly: the import's copy goes
    judge("Earth is round", "A", "简单"); // two rows that differ only in letter case: both stay
    judge("EARTH IS ROUND", "A", "简单");
    const ImportResult r = import("questions.xls", "判断题");
    EXPECT_EQ(r.message(), "导入数据2条，已删除1条重复数据！");
    const auto rows = outsiderRows(Db::Questions, "select ID, 题干, 答案 from 判断题 order by ID");
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], QStringList({"1", "地球是圆的", "B"}));
    EXPECT_EQ(rows[1], QStringList({"2", "太阳从西边升起", "B"}));
    EXPECT_EQ(rows[4], QStringList({"5", "地球是圆的", "A"}));

    // Imported again, both sheet rows are duplicates now.
    EXPECT_EQ(import("questions.xls", "判断题").message(), "导入数据2条，已删除2条重复数据！");
    EXPECT_EQ(rows.size(), outsiderRows(Db::Questions, "select * from 判断题").size());
}
