#include "paper/PrintedPaper.h"
#include "paper/QuestionDraw.h"
#include "paper/WordDocument.h"
#include "store/CADOConn.h"
#include "store/Random.h"
#include "store/Schema.h"

#include "paper/DocxReading.h"
#include "paper/PrintedPaperSeed.h"
#include "support/VornTest.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString kSingle = QStringLiteral("单选题"), kJudge = QStringLiteral("判断题"), kBlank = QStringLiteral("填空题"),
              kMulti = QStringLiteral("多选题"), kEssay = QStringLiteral("问答题");
const QString kNone = QStringLiteral("空");

QString spaces(int n)
{
    return QString(n, QLatin1Char(' '));
}

class PrintedPaperTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        Random::setSeed(7);
    }

    PrintedPaper::Generated generate(const QString &paper, const QString &time = QStringLiteral("90"),
                                     const QString &pass = QStringLiteral("60"))
    {
        CADOConn conn;
        return PrintedPaper::generatePrintedPaper(conn, paper, QStringLiteral("期末考试"), time, pass);
    }

    bool tableExists(const QString &name)
    {
        return !outsiderRows(Db::Questions, QStringLiteral("select name from sqlite_master where name=?"), {name})
                    .isEmpty();
    }

    // The lines of a text that start a numbered question ("1、…").
    static QStringList numbered(const QString &text)
    {
        QStringList out;
        for (const QString &line : text.split(QLatin1Char('\n')))
            if (!line.isEmpty() && line.at(0).isDigit())
                out << line.left(line.indexOf(QStringLiteral("、")) + 1);
        return out;
    }

    static QString bundledTemplate() { return QStringLiteral(VORN_BIN_DIR "/wordtest.docx"); }
};

TEST_F(PrintedPaperTest, OptionsStandTwoALineUpTo42BytesAndOneALineBeyond)
{
    using PrintedPaper::optionLines;
    const QString w21 = QString(21, QChar(u'汉')); // 42 bytes
    EXPECT_EQ(optionLines({"甲", "乙", "丙", "丁", ""}),
              "    A、甲" + spaces(40) + "B、乙\n    C、丙" + spaces(40) + "D、丁\n");
    // 42 bytes exactly still pairs; the E line only when E is set.
    EXPECT_EQ(optionLines({w21, "b", "cd", w21, "戊"}),
              "    A、" + w21 + "B、b\n    C、cd" + spaces(40) + "D、" + w21 + "\n    E、戊\n");
    // One option of 43 bytes puts every option on a line of its own.
    EXPECT_EQ(optionLines({"甲", "乙", w21 + "x", "丁", ""}),
              "    A、甲\n    B、乙\n    C、" + w21 + "x\n    D、丁\n");
    // Spaces are removed before measuring and printing.
    const QString spaced = QString(w21).replace(QStringLiteral("汉"), QStringLiteral("汉 "));
    EXPECT_EQ(optionLines({" a b ", spaced, "丙", "丁", " "}),
              "    A、ab" + spaces(40) + "B、" + w21 + "\n    C、丙" + spaces(40) + "D、丁\n");
    // An empty option is no choice and is not printed; the others keep their letters.
    EXPECT_EQ(optionLines({"甲", "乙", "丙", "", ""}), "    A、甲" + spaces(40) + "B、乙\n    C、丙\n");
    EXPECT_EQ(optionLines({"甲", "乙", "丙", " ", "戊"}), "    A、甲" + spaces(40) + "B、乙\n    C、丙\n    E、戊\n");
}

TEST_F(PrintedPaperTest, SectionsOfEachTypeWithNumeralsOnlyForTheNonEmptyOnes)
{
    addQuestion({kSingle, "单选题干", "A", {"甲", "乙", "丙", "丁"}});
    addQuestion({kBlank, "答案是 【】。", "甲#乙", {}});
    storePaper("甲卷", "单科", {"每题2.0分。员工:简单=1,;", kNone, "每题2.5分。员工:简单=1,;", kNone, kNone}, "4.5");

    const PrintedPaper::Generated g = generate("甲卷", "90", "六十");
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.texts.examName, "期末考试");
    EXPECT_EQ(g.texts.infoLine, "（试卷满分4.5分，要求在90分钟内完成，合格分为六十分）");
    EXPECT_EQ(g.texts.sections[0].questions,
              "一、单选题（每题2分，共2.0分）\n1、单选题干\n    A、甲" + spaces(40) + "B、乙\n    C、丙" + spaces(40)
                  + "D、丁\n");
    EXPECT_EQ(g.texts.sections[0].answers, "一、单选题\n1、A，\n");
    EXPECT_TRUE(g.texts.sections[1].isEmpty());
    // The blank-filling section is the second non-empty one: "二、".
    EXPECT_EQ(g.texts.sections[2].questions, "二、填空题（每题2.5分，共2.5分）\n1、答案是_____________。\n");
    EXPECT_EQ(g.texts.sections[2].answers, "二、填空题\n1、甲 乙，\n");
    EXPECT_TRUE(g.texts.sections[3].isEmpty());
    EXPECT_TRUE(g.texts.sections[4].isEmpty());
    // exam lives only during the generation; interim keeps the draw.
    EXPECT_FALSE(tableExists("exam"));
    EXPECT_EQ(outsiderRows(Db::Questions, "select 题干, 分值 from interim order by ID"),
              (QList<QStringList>{{"单选题干", "2"}, {"答案是 【】。", "2.5"}}));
}

TEST_F(PrintedPaperTest, JudgementEssayAndSingleSectionPapers)
{
    addQuestion({kJudge, "地球是圆的", "正确", {}});
    addQuestion({kEssay, "论述安全", "要点一", {}, "语文", "干部", "困难"});
    storePaper("判断卷", "单科", {kNone, "每题1.0分。员工:简单=1,;", kNone, kNone, kNone}, "1.0");
    storePaper("问答卷", "单科", {kNone, kNone, kNone, kNone, "每题10.0分。干部:困难=1,;"}, "10.0");

    PrintedPaper::Generated g = generate("判断卷");
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.texts.sections[1].questions,
              "一、判断题（每题1分，共1.0分）\n1、地球是圆的\n    A、正确" + spaces(20) + "B、错误\n");
    EXPECT_EQ(g.texts.sections[1].answers, "一、判断题\n1、正确，\n");

    g = generate("问答卷");
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.texts.sections[4].questions, "一、问答题（每题10分，共10.0分）\n1、论述安全\n\n\n\n\n");
    EXPECT_EQ(g.texts.sections[4].answers, "一、问答题\n1、要点一\n\n");
    for (int t = 0; t < 4; ++t)
        EXPECT_TRUE(g.texts.sections[size_t(t)].isEmpty());
}

TEST_F(PrintedPaperTest, NumbersRestartInEverySectionAndRunOnInTheWorkingTable)
{
    addQuestions(kSingle, 3, "单", {kSingle, "", "B", {"甲", "乙", "丙", "丁"}});
    addQuestions(kMulti, 2, "多", {kMulti, "", "AB", {"甲", "乙", "丙", "丁", "戊"}});
    addQuestions(kEssay, 2, "问", {kEssay, "", "答", {}});
    storePaper("乙卷", "单科", {"每题2.0分。员工:简单=3,;", kNone, kNone, "每题3.0分。员工:简单=2,;", "每题5.0分。员工:简单=2,;"},
               "26.0");
    const PrintedPaper::Generated g = generate("乙卷");
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(numbered(g.texts.sections[0].questions), (QStringList{"1、", "2、", "3、"}));
    EXPECT_EQ(numbered(g.texts.sections[3].questions), (QStringList{"1、", "2、"}));
    EXPECT_TRUE(g.texts.sections[3].questions.startsWith("二、多选题（每题3分，共6.0分）\n"));
    EXPECT_TRUE(g.texts.sections[4].questions.startsWith("三、问答题（每题5分，共10.0分）\n"));
    // The key: one line per objective section, each answer followed by "，";
    // essay answers one a line.
    EXPECT_EQ(g.texts.sections[0].answers, "一、单选题\n1、B，2、B，3、B，\n");
    EXPECT_EQ(g.texts.sections[4].answers, "三、问答题\n1、答\n2、答\n\n");

    // The working table's number runs on over the types; the order within a
    // type is random but takes every drawn question once.
    CADOConn conn;
    conn.execute(Schema::printSheet().create, Db::Questions);
    EXPECT_EQ(PrintedPaper::copyTypeForPrint(conn, kSingle, 1), 3);
    EXPECT_EQ(PrintedPaper::copyTypeForPrint(conn, kMulti, 4), 2);
    EXPECT_EQ(PrintedPaper::copyTypeForPrint(conn, kJudge, 6), 0);
    conn.close();
    const auto rows = outsiderRows(Db::Questions, "select 编号, 题型, 题干, 分值, 答案 from exam order by 编号");
    ASSERT_EQ(rows.size(), 5);
    QStringList stems;
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0], QString::number(i + 1));
        EXPECT_EQ(rows[i][1], i < 3 ? kSingle : kMulti);
        EXPECT_EQ(rows[i][3], i < 3 ? "2" : "3");
        stems << rows[i][2];
    }
    std::sort(stems.begin(), stems.begin() + 3);
    std::sort(stems.begin() + 3, stems.end());
    EXPECT_EQ(stems, (QStringList{"单1", "单2", "单3", "多1", "多2"}));
}

TEST_F(PrintedPaperTest, SubjectsOfSingleMultiAndAllSubjectPapers)
{
    addQuestions(kSingle, 2, "语文题", {kSingle, "", "A", {"甲", "乙", "丙", "丁"}, "语文"});
    addQuestions(kSingle, 2, "数学题", {kSingle, "", "A", {"甲", "乙", "丙", "丁"}, "数学"});
    storePaper("单科卷", "单科", {"每题2.0分。员工:简单=2,;", kNone, kNone, kNone, kNone}, "4.0", {"数学"});
    storePaper("多科卷", "多科", {"每题2.0分。员工:简单=1,;", kNone, kNone, kNone, kNone}, "2.0", {"语文", "数学"});
    storePaper("全科卷", "全科", {"每题1.0分。员工:简单=4,;", kNone, kNone, kNone, kNone}, "4.0");
    const auto drawn = [this] {
        QStringList stems;
        for (const QStringList &r : outsiderRows(Db::Questions, "select 科目 from interim order by 科目"))
            stems << r[0];
        return stems;
    };

    ASSERT_TRUE(generate("单科卷").ok);
    EXPECT_EQ(drawn(), (QStringList{"数学", "数学"}));
    // 多科: one draw per subject row, the full score summed over them.
    const PrintedPaper::Generated multi = generate("多科卷");
    ASSERT_TRUE(multi.ok);
    EXPECT_EQ(drawn(), (QStringList{"数学", "语文"}));
    EXPECT_EQ(multi.texts.infoLine, "（试卷满分4.0分，要求在90分钟内完成，合格分为60分）");
    // 全科: any subject.
    ASSERT_TRUE(generate("全科卷").ok);
    EXPECT_EQ(drawn().size(), 4);

    // A paper that is not there is not refused: empty parts, full score 0.0.
    const PrintedPaper::Generated none = generate("无此卷");
    ASSERT_TRUE(none.ok);
    EXPECT_EQ(none.texts.infoLine, "（试卷满分0.0分，要求在90分钟内完成，合格分为60分）");
    for (const PrintedSection &s : none.texts.sections)
        EXPECT_TRUE(s.isEmpty());
}

TEST_F(PrintedPaperTest, TheFullScoreShowsOneDecimalAndTheInputsAsTyped)
{
    addQuestions(kSingle, 50, "题", {kSingle, "", "A", {"甲", "乙", "丙", "丁"}});
    storePaper("满分卷", "单科", {"每题2.0分。员工:简单=50,;", kNone, kNone, kNone, kNone}, "100.0");
    const PrintedPaper::Generated g = generate("满分卷", " 120 ", "abc");
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.texts.infoLine, "（试卷满分100.0分，要求在 120 分钟内完成，合格分为abc分）");
    EXPECT_TRUE(g.texts.sections[0].questions.startsWith("一、单选题（每题2分，共100.0分）\n"));
}

TEST_F(PrintedPaperTest, AShortageCoveredOnlyByPicturesStopsWithNothingLeftBehind)
{
    addQuestions(kSingle, 3, "单", {kSingle, "", "A", {"甲", "乙", "丙", "丁"}});
    addQuestions(kJudge, 2, "判", {kJudge, "", "正确", {}});
    SeedQuestion pictured{kJudge, "", "正确", {}};
    pictured.picture = true;
    addQuestions(kJudge, 2, "图", pictured);
    // 单选题 is drawn first and succeeds; 判断题 has enough only with pictures.
    storePaper("缺题卷", "单科", {"每题2.0分。员工:简单=3,;", "每题1.0分。员工:简单=3,;", kNone, kNone, kNone}, "9.0");
    storePaper("够题卷", "单科", {kNone, "每题1.0分。员工:简单=2,;", kNone, kNone, kNone}, "2.0");

    const PrintedPaper::Generated shortage = generate("缺题卷");
    EXPECT_FALSE(shortage.ok);
    EXPECT_EQ(shortage.shortType, kJudge);
    EXPECT_EQ(QuestionDraw::shortageMessage(kJudge), "题库中“判断题”数量不符合考卷要求，退出程序！");
    // The working tables are left empty: nothing a later run could take for data.
    EXPECT_TRUE(tableExists("interim"));
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from interim").isEmpty());
    EXPECT_FALSE(tableExists("exam"));

    // Two questions without a picture satisfy two; the pictured ones never appear.
    ASSERT_TRUE(generate("够题卷").ok);
    const auto rows = outsiderRows(Db::Questions, "select 题干 from interim order by 题干");
    EXPECT_EQ(rows, (QList<QStringList>{{"判1"}, {"判2"}}));

    // No question at all ends the draw even for a count of 0.
    CADOConn conn;
    EXPECT_FALSE(PrintedPaper::drawForPrint(conn, kBlank, "语文", "员工", "简单", 0, 1));
    EXPECT_TRUE(PrintedPaper::drawForPrint(conn, kSingle, "语文", "员工", "简单", 0, 1));
}

TEST_F(PrintedPaperTest, QuotesInNamesAreDataNotStatement)
{
    SeedQuestion q{kSingle, "It's", "A", {"a'", "b", "c", "d"}, "O'Brien语文", "员'工"};
    addQuestion(q);
    storePaper("卷'一", "单科", {"每题2.0分。员'工:简单=1,;", kNone, kNone, kNone, kNone}, "2.0", {"O'Brien语文"});
    const PrintedPaper::Generated g = generate("卷'一");
    ASSERT_TRUE(g.ok);
    EXPECT_TRUE(g.texts.sections[0].questions.contains("1、It's\n    A、a'"));
}

// ---- the document ---------------------------------------------------------

PrintedTexts sampleTexts()
{
    PrintedTexts t;
    t.examName = QStringLiteral("期末考试");
    t.infoLine = PrintedPaper::infoLine(100, QStringLiteral("90"), QStringLiteral("60"));
    t.sections[0] = {"一、单选题（每题2分，共4.0分）\n1、题一\n    A、甲" + spaces(40) + "B、乙\n2、题二\n",
                     "一、单选题\n1、A，2、B，\n"};
    t.sections[4] = {"二、问答题（每题10分，共10.0分）\n1、论述\n\n\n\n\n", "二、问答题\n1、要点\n"};
    return t;
}

TEST_F(PrintedPaperTest, TheDocumentHoldsEachTextInItsBookmarkWithItsFormatting)
{
    const PrintedTexts texts = sampleTexts();
    const QString out = path("卷.docx");
    ASSERT_EQ(PrintedPaper::fillTemplate(bundledTemplate(), out, texts), QString());
    const DocxContent doc = readDocx(out);
    ASSERT_TRUE(doc.parsed);

    const MarkContent &m1 = doc.marks["mark1"];
    EXPECT_EQ(m1.lines, QStringList{"期末考试"});
    EXPECT_EQ(m1.aligns, QStringList{"center"});
    EXPECT_EQ(m1.sizes, QSet<QString>{"40"});
    EXPECT_EQ(m1.boldRuns, m1.runs);

    const MarkContent &m2 = doc.marks["mark2"];
    EXPECT_EQ(m2.lines, (QStringList{"姓名_____________ 职务_____________ 得分_____________", ""}));
    EXPECT_EQ(m2.aligns, (QStringList{"right", "right"}));
    EXPECT_EQ(m2.boldRuns, 0);

    const MarkContent &m3 = doc.marks["mark3"];
    EXPECT_EQ(m3.lines, QStringList{"（试卷满分100.0分，要求在90分钟内完成，合格分为60分）"});
    EXPECT_EQ(m3.boldRuns, m3.runs);
    EXPECT_GT(m3.runs, 0);

    // Every line break a paragraph; the padding spaces kept.
    EXPECT_EQ(doc.marks["mark4"].lines, (texts.sections[0].questions + texts.sections[4].questions).split('\n'));
    EXPECT_EQ(doc.marks["mark4"].boldRuns, 0);
    EXPECT_EQ(doc.marks["mark5"].lines, QStringList{"参考答案"});
    EXPECT_EQ(doc.marks["mark5"].boldRuns, doc.marks["mark5"].runs);
    EXPECT_EQ(doc.marks["mark6"].lines, (texts.sections[0].answers + texts.sections[4].answers).split('\n'));

    // The template's placeholders are gone, its page set-up stays.
    EXPECT_FALSE(doc.allText.contains("【"));
    const QByteArray xml = zipPart(out, "word/document.xml");
    EXPECT_TRUE(xml.contains("<w:pgSz w:w=\"11906\" w:h=\"16838\""));
    EXPECT_FALSE(zipPart(out, "word/styles.xml").isNull());
    // Padding spaces carry the template's Latin (fixed-width) font, so a
    // word processor that draws spaces in a Chinese line with the Chinese
    // font still lines the option columns up.
    const QByteArray mono = "Noto Sans Mono CJK SC";
    EXPECT_TRUE(xml.contains("<w:rFonts w:ascii=\"" + mono + "\" w:hAnsi=\"" + mono + "\" w:eastAsia=\"" + mono
                             + "\"/></w:rPr><w:t xml:space=\"preserve\">" + QByteArray(40, ' ') + "</w:t>"));

    // The bookmarks stay around what was written: the document serves as a
    // template again.
    const QString again = path("再.docx");
    PrintedTexts other = texts;
    other.examName = QStringLiteral("补考");
    ASSERT_EQ(PrintedPaper::fillTemplate(out, again, other), QString());
    EXPECT_EQ(readDocx(again).marks["mark1"].lines, QStringList{"补考"});
    EXPECT_EQ(readDocx(again).marks["mark4"].lines, doc.marks["mark4"].lines);
}

// A question's indented option lines stay on the page of its stem, and no
// paragraph of the questions is split over two pages.
TEST_F(PrintedPaperTest, OptionsStayOnThePageOfTheirStem)
{
    const PrintedTexts texts = sampleTexts();
    const QString out = path("卷.docx");
    ASSERT_EQ(PrintedPaper::fillTemplate(bundledTemplate(), out, texts), QString());
    const MarkContent m4 = readDocx(out).marks["mark4"];
    ASSERT_EQ(m4.keeps.size(), m4.lines.size());
    for (int i = 0; i < m4.lines.size(); ++i) {
        const bool optionFollows = i + 1 < m4.lines.size() && m4.lines.at(i + 1).startsWith("    ");
        EXPECT_EQ(m4.keeps.at(i), optionFollows ? "next lines" : "lines") << m4.lines.at(i).toStdString();
    }
    EXPECT_TRUE(m4.keeps.contains("next lines"));
    // The answer key is left to flow.
    EXPECT_FALSE(readDocx(out).marks["mark6"].keeps.join("").contains("next"));
    // In the order the schema gives them.
    const QByteArray xml = zipPart(out, "word/document.xml");
    EXPECT_TRUE(xml.contains("<w:pPr><w:keepNext/><w:keepLines/>"));
}

TEST_F(PrintedPaperTest, CharactersXmlForbidsNeverReachTheDocument)
{
    EXPECT_EQ(WordDocument::xmlSafe(QString::fromUtf8("a\x01" "b\x0b\tc\r\nd\re") + QChar(0xFFFF) + QChar(0xD800)),
              "ab\tc\nd\ne");
    EXPECT_EQ(WordDocument::xmlSafe(QStringLiteral("汉😀")), QStringLiteral("汉😀"));

    PrintedTexts texts = sampleTexts();
    texts.examName = QString::fromUtf8("期末\x01考试\x1f");
    texts.sections[0].questions = QString::fromUtf8("一、单选题\n1、题\x08干<&>\n");
    const QString out = path("控制.docx");
    ASSERT_EQ(PrintedPaper::fillTemplate(bundledTemplate(), out, texts), QString());
    const DocxContent doc = readDocx(out);
    ASSERT_TRUE(doc.parsed);
    EXPECT_EQ(doc.marks["mark1"].lines, QStringList{"期末考试"});
    EXPECT_TRUE(doc.marks["mark4"].lines.contains("1、题干<&>"));
    EXPECT_FALSE(zipPart(out, "word/document.xml").contains('\x01'));
}

TEST_F(PrintedPaperTest, ATemplateWithoutItsBookmarksOrNotADocxIsRefusedAndNothingWritten)
{
    const QString out = path("out.docx");
    // A bookmark renamed away.
    QList<std::pair<const char *, QByteArray>> parts;
    for (const char *name : {"[Content_Types].xml", "_rels/.rels", "word/_rels/document.xml.rels", "word/document.xml",
                             "word/styles.xml", "word/settings.xml", "word/footer1.xml"})
        parts.append({name, zipPart(bundledTemplate(), name)});
    for (auto &[name, data] : parts)
        if (QByteArray(name) == "word/document.xml")
            data.replace("w:name=\"mark3\"", "w:name=\"other3\"").replace("w:name=\"mark5\"", "w:name=\"other5\"");
    const QString lacking = path("lacking.docx");
    ASSERT_TRUE(writeZip(lacking, parts));
    EXPECT_EQ(PrintedPaper::fillTemplate(lacking, out, sampleTexts()), "试卷模板中缺少书签：mark3、mark5");
    EXPECT_FALSE(QFile::exists(out));

    // Not a zip, a zip without a document, no file at all.
    const QString text = path("text.docx");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a document");
    f.close();
    EXPECT_EQ(PrintedPaper::fillTemplate(text, out, sampleTexts()),
              "试卷模板文件不是有效的Word文档（.docx）：" + text);
    const QString empty = path("empty.docx");
    ASSERT_TRUE(writeZip(empty, {{"readme.txt", "x"}}));
    EXPECT_EQ(PrintedPaper::fillTemplate(empty, out, sampleTexts()),
              "试卷模板文件不是有效的Word文档（.docx）：" + empty);
    EXPECT_EQ(PrintedPaper::fillTemplate(path("none.docx"), out, sampleTexts()),
              "找不到试卷模板文件：" + path("none.docx"));
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(PrintedPaperTest, AnOrganisationsOwnTemplateKeepsWorking)
{
    // Bookmarks as word processors write them: collapsed between fixed text,
    // over several runs, across two paragraphs, in a table cell, and with
    // their markers between paragraphs.
    const QByteArray document = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>
<w:p><w:r><w:t>标题：</w:t></w:r><w:bookmarkStart w:id="0" w:name="mark1"/><w:bookmarkEnd w:id="0"/><w:r><w:t>（闭卷）</w:t></w:r></w:p>
<w:p><w:bookmarkStart w:id="1" w:name="mark2"/><w:r><w:rPr><w:i/></w:rPr><w:t>旧</w:t></w:r><w:r><w:t>文字</w:t></w:r><w:bookmarkEnd w:id="1"/></w:p>
<w:p><w:pPr><w:ind w:left="420"/></w:pPr><w:bookmarkStart w:id="2" w:name="mark3"/><w:r><w:t>第一段</w:t></w:r></w:p>
<w:p><w:r><w:t>第二段</w:t></w:r><w:bookmarkEnd w:id="2"/><w:r><w:t>尾</w:t></w:r></w:p>
<w:tbl><w:tr><w:tc><w:p><w:bookmarkStart w:id="3" w:name="mark4"/><w:bookmarkEnd w:id="3"/></w:p></w:tc></w:tr></w:tbl>
<w:p><w:bookmarkStart w:id="4" w:name="mark5"/><w:r><w:t xml:space="preserve">  </w:t></w:r><w:bookmarkEnd w:id="4"/></w:p>
<w:bookmarkStart w:id="5" w:name="mark6"/><w:p><w:pPr><w:ind w:left="840"/></w:pPr><w:r><w:t>答案占位</w:t></w:r></w:p><w:bookmarkEnd w:id="5"/>
<w:p><w:r><w:t>以下空白</w:t></w:r></w:p>
<w:sectPr><w:pgSz w:w="11906" w:h="16838"/></w:sectPr></w:body></w:document>)";
    const QString own = path("own.docx");
    ASSERT_TRUE(writeZip(own, {{"[Content_Types].xml", zipPart(bundledTemplate(), "[Content_Types].xml")},
                               {"_rels/.rels", zipPart(bundledTemplate(), "_rels/.rels")},
                               {"word/document.xml", document}}));
    const PrintedTexts texts = sampleTexts();
    const QString out = path("own-out.docx");
    ASSERT_EQ(PrintedPaper::fillTemplate(own, out, texts), QString());
    const DocxContent doc = readDocx(out);
    ASSERT_TRUE(doc.parsed);
    for (const char *m : {"mark1", "mark2", "mark3", "mark4", "mark5", "mark6"})
        EXPECT_TRUE(doc.marks.contains(m)) << m;
    const QStringList paragraphs = doc.allText.split('\n');
    EXPECT_EQ(paragraphs.first(), "标题：期末考试（闭卷）");
    EXPECT_EQ(doc.marks["mark2"].lines.first(), "姓名_____________ 职务_____________ 得分_____________");
    // Across two paragraphs: joined, the text after the bookmark kept.
    EXPECT_TRUE(paragraphs.contains("（试卷满分100.0分，要求在90分钟内完成，合格分为60分）尾"));
    EXPECT_EQ(doc.marks["mark4"].lines, (texts.sections[0].questions + texts.sections[4].questions).split('\n'));
    EXPECT_EQ(doc.marks["mark5"].lines, QStringList{"参考答案"});
    EXPECT_EQ(doc.marks["mark6"].lines, (texts.sections[0].answers + texts.sections[4].answers).split('\n'));
    EXPECT_EQ(paragraphs.last(), "以下空白");
    for (const char *gone : {"旧", "第一段", "第二段", "答案占位"})
        EXPECT_FALSE(doc.allText.contains(QString::fromUtf8(gone))) << gone;
    // New paragraphs keep the bookmark paragraph's properties.
    const QByteArray xml = zipPart(out, "word/document.xml");
    EXPECT_EQ(xml.count("<w:ind w:left=\"840\"/>"), doc.marks["mark6"].lines.size());
    EXPECT_EQ(xml.count("<w:ind w:left=\"420\"/>"), 1);
}

TEST_F(PrintedPaperTest, TheWordProcessorReadsTheLinesBack)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const QString out = path("lo.docx");
    ASSERT_EQ(PrintedPaper::fillTemplate(bundledTemplate(), out, sampleTexts()), QString());
    QProcess lo;
    lo.setWorkingDirectory(workDir());
    lo.start(soffice, {"-env:UserInstallation=file://" + path("lo-profile"), "--headless", "--convert-to",
                       "txt:Text (encoded):UTF8", "--outdir", workDir(), out});
    ASSERT_TRUE(lo.waitForFinished(100000));
    QFile txt(path("lo.txt"));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly)) << lo.readAllStandardError().toStdString();
    QString text = QString::fromUtf8(txt.readAll());
    text.remove(QChar(0xFEFF)).remove(QLatin1Char('\r'));
    const QStringList lines = text.split('\n');
    for (const QString &expected :
         {QStringLiteral("期末考试"), QStringLiteral("姓名_____________ 职务_____________ 得分_____________"),
          QStringLiteral("（试卷满分100.0分，要求在90分钟内完成，合格分为60分）"),
          QStringLiteral("一、单选题（每题2分，共4.0分）"), "    A、甲" + spaces(40) + "B、乙",
          QStringLiteral("二、问答题（每题10分，共10.0分）"), QStringLiteral("参考答案"),
          QStringLiteral("1、A，2、B，")})
        EXPECT_TRUE(lines.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
}

} // namespace
