// The item analysis screen driven through its widgets, and its exports read
// back as an outsider reads them: the sheets' XML out of the .xlsx, the
// PDF's text through pdftotext.
#include "results/CItemAnalysis.h"

#include "AnalysisSeed.h"
#include "paper/DocxReading.h"
#include "support/Driving.h"

#include <QComboBox>
#include <QProcess>

namespace {

struct SheetCell
{
    std::string type; // t attribute: "s" (shared text), "str", or empty for a number
    std::string value;
};

// Cell ref (such as "G3") of the sheet of a workbook.
SheetCell cellOf(const QString &xlsx, int sheet, const char *ref)
{
    const QByteArray xml = zipPart(xlsx, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet).toUtf8().constData());
    pugi::xml_document doc;
    doc.load_buffer(xml.constData(), size_t(xml.size()));
    const pugi::xml_node c =
        doc.select_node((std::string("//c[@r='") + ref + "']").c_str()).node();
    return {c.attribute("t").value(), c.child("v").text().get()};
}

double numberIn(const QString &xlsx, int sheet, const char *ref)
{
    const SheetCell c = cellOf(xlsx, sheet, ref);
    EXPECT_EQ(c.type, "") << ref << " holds no number";
    return QString::fromStdString(c.value).toDouble();
}

class CItemAnalysisTest : public AnalysisTest
{
protected:
    std::unique_ptr<CItemAnalysis> open()
    {
        auto s = std::make_unique<CItemAnalysis>();
        s->show();
        return s;
    }

    // Clicks an export and expects the message naming where it went.
    QString exportBy(CItemAnalysis &s, int button, const QString &what, const QString &suffix)
    {
        const QString file = path(QStringLiteral("成绩报表/期末考试_%1_20190620_090000%2").arg(what, suffix));
        expectBox(QStringLiteral("已导出到：\n") + file, Caption::Tip);
        click(s, button);
        expectAllShown();
        EXPECT_EQ(s.writtenFile(), file);
        return file;
    }
};

} // namespace

TEST_F(CItemAnalysisTest, ShowsTheAnalysisOfTheChosenExam)
{
    seedFinalExam();
    auto s = open();
    EXPECT_EQ(items(*s, CItemAnalysis::ExamName), QStringList{"期末考试"});
    expectBox("请选择考试名称！", Caption::Tip);
    click(*s, CItemAnalysis::Analyse);
    expectAllShown();

    ASSERT_TRUE(choose(*s, CItemAnalysis::ExamName, "期末考试"));
    click(*s, CItemAnalysis::Analyse);
    EXPECT_EQ(rowsOf(*s, CItemAnalysis::Items),
              (QStringList{"1 单选题 11 一加一 6 0.50 0.77 A3 B1 C1 未答1 ",
                           "2 单选题 12 首都 6 0.50 -0.42 B3 C3 区分度为负（-0.42）：总分低的考生反而答得好；"
                           "成绩较好的一半考生选C的多于正确答案B，答案可能有误",
                           "3 判断题 21 天是蓝的 6 1.00 — A6 几乎人人答对（得分率1.00）",
                           "4 问答题 51 谈谈读书 6 0.50 0.41  "}));
    const QString summary = s->text(CItemAnalysis::Summary);
    EXPECT_TRUE(summary.contains("考生人数：6　平均分：6　中位数：6　标准差：2.16　最低分：3　最高分：9"))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains("合格人数：3　合格率：50.0%")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("Cronbach α 0.19")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("1人问答题待批改")) << summary.toStdString();
    saveShot(s.get(), "CItemAnalysis");

    click(*s, CItemAnalysis::Back);
    EXPECT_EQ(requestedScreen(), ScreenId::CheckScore);
}

TEST_F(CItemAnalysisTest, ExportsHoldNumbersAsNumbers)
{
    seedFinalExam();
    auto s = open();
    ASSERT_TRUE(choose(*s, CItemAnalysis::ExamName, "期末考试"));

    // Every result of the exam, the one still waiting for marking too.
    const QString results = exportBy(*s, CItemAnalysis::ExportResults, "成绩", ".xlsx");
    EXPECT_EQ(cellOf(results, 1, "B1").type, "s"); // the header row is text
    EXPECT_DOUBLE_EQ(numberIn(results, 1, "A7"), 6);
    EXPECT_DOUBLE_EQ(numberIn(results, 1, "E2"), 8);       // 甲's score
    EXPECT_DOUBLE_EQ(numberIn(results, 1, "F2"), 6);       // pass mark
    EXPECT_NEAR(numberIn(results, 1, "H2"), 600.0 / 86400, 1e-12); // 00:10:00 as a time
    EXPECT_DOUBLE_EQ(numberIn(results, 1, "E8"), 2);       // 庚
    EXPECT_EQ(cellOf(results, 1, "A9").value, "");

    const QString analysis = exportBy(*s, CItemAnalysis::ExportAnalysis, "试题分析", ".xlsx");
    EXPECT_DOUBLE_EQ(numberIn(analysis, 1, "C3"), 12);     // bank ID
    EXPECT_DOUBLE_EQ(numberIn(analysis, 1, "F3"), 6);      // examinees
    EXPECT_DOUBLE_EQ(numberIn(analysis, 1, "G3"), 0.5);    // facility
    EXPECT_NEAR(numberIn(analysis, 1, "H3"), -0.420084, 1e-6);
    EXPECT_DOUBLE_EQ(numberIn(analysis, 1, "J3"), 3);      // B chosen
    EXPECT_EQ(cellOf(analysis, 1, "H4").value, "");        // no discrimination: an empty cell, not 0
    EXPECT_DOUBLE_EQ(numberIn(analysis, 2, "B7"), 6);      // mean on the exam sheet
    EXPECT_NEAR(numberIn(analysis, 2, "B9"), 2.160247, 1e-6);
    EXPECT_DOUBLE_EQ(numberIn(analysis, 2, "B13"), 0.5);   // pass rate
    // Widths fit the texts: the stem column is wider than the count column.
    const QByteArray sheet = zipPart(analysis, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.contains("<cols>")) << "column widths are set";

    const QString pdf = exportBy(*s, CItemAnalysis::ExportPdf, "试题分析", ".pdf");
    if (qEnvironmentVariableIsSet("VORN_SHOTS")) // to look at its pages
        QFile::copy(pdf, QDir(qEnvironmentVariable("VORN_SHOTS")).filePath("CItemAnalysis-report.pdf"));
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    // The CJK font maps some characters to their radical forms (⽣ for 生);
    // compatibility normalisation gives the characters back.
    const QString out = QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    for (const char *expected : {"试题分析报告", "期末考试", "平均分：6", "中位数：6", "合格率：50.0%", "成绩分布",
                                 "首都", "区分度为负", "几乎人人答对", "Cronbach α 0.19"})
        EXPECT_TRUE(out.contains(QString::fromUtf8(expected).normalized(QString::NormalizationForm_KC)))
            << expected << "\n" << out.toStdString();
}
