#include "paper/CTestManage.h"
#include "paper/CWordPaper.h"
#include "app/ShellOpen.h"
#include "store/Clock.h"
#include "store/Random.h"

#include "paper/DocxReading.h"
#include "paper/PrintedPaperSeed.h"
#include "support/Driving.h"
#include "support/VornTest.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>

namespace {

class CWordPaperTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        Random::setSeed(3);
        Clock::setFixed(QDateTime(QDate(2026, 5, 20), QTime(8, 30, 5)));
        addQuestions(QStringLiteral("单选题"), 2, "题", {"单选题", "", "A", {"甲", "乙", "丙", "丁"}});
        storePaper("甲卷", "单科", {"每题2.0分。员工:简单=1,;", "空", "空", "空", "空"}, "2.0");
    }
    void TearDown() override
    {
        ShellOpen::setHandler({});
        VornTest::TearDown();
    }

    std::unique_ptr<CWordPaper> open(const QString &paper = QStringLiteral("甲卷"))
    {
        auto s = std::make_unique<CWordPaper>(paper);
        s->show();
        return s;
    }
    static void fill(CWordPaper &s, const QString &name, const QString &time, const QString &pass)
    {
        typeInto(s, CWordPaper::ExamName, name);
        typeInto(s, CWordPaper::TimeLimit, time);
        typeInto(s, CWordPaper::PassMark, pass);
    }

    int interimRows()
    {
        if (outsiderRows(Db::Questions, "select name from sqlite_master where name='interim'").isEmpty())
            return -1;
        return int(outsiderRows(Db::Questions, "select * from interim").size());
    }
};

TEST_F(CWordPaperTest, EveryFieldIsNeededAndClearEmptiesThem)
{
    auto s = open();
    saveShot(s.get(), "CWordPaper");
    EXPECT_EQ(s->windowTitle(), "Lumet—生成纸质考卷");
    EXPECT_EQ(interimRows(), 0); // opening made it empty
    fill(*s, "期末考试", "90", "");
    expectBox("输入数据不能为空！", Caption::Tip);
    click(*s, CWordPaper::Generate);
    EXPECT_EQ(interimRows(), 0);

    click(*s, CWordPaper::Clear);
    for (int id : {CWordPaper::ExamName, CWordPaper::TimeLimit, CWordPaper::PassMark})
        EXPECT_EQ(s->text(id), QString()) << id;
}

TEST_F(CWordPaperTest, GeneratingWritesTheDocumentOpensItAndCloses)
{
    QString opened;
    ShellOpen::setCheckedHandler([&opened](const QString &p) {
        opened = p;
        return true;
    });
    auto s = open();
    fill(*s, "期末考试", "90", " "); // a space is not empty
    click(*s, CWordPaper::Generate);
    EXPECT_EQ(opened, QDir(workDir()).filePath("纸质考卷/期末考试_20260520_083005.docx"));
    EXPECT_EQ(s->writtenDocument(), opened);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(s->result(), QDialog::Accepted);
    EXPECT_EQ(interimRows(), -1); // dropped, as 退出 does
    const DocxContent doc = readDocx(opened);
    EXPECT_EQ(doc.marks["mark1"].lines, QStringList{"期末考试"});
    EXPECT_EQ(doc.marks["mark3"].lines, QStringList{"（试卷满分2.0分，要求在90分钟内完成，合格分为 分）"});
    EXPECT_EQ(doc.marks["mark6"].lines.first(), "一、单选题");
}

// Without a word processor the same paper goes to a PDF: questions first,
// the answer key on its own page; the pop-up says where and closes.
TEST_F(CWordPaperTest, GeneratingAPdfSaysWhereItIs)
{
    ShellOpen::setCheckedHandler([](const QString &p) {
        ADD_FAILURE() << "opened " << p.toStdString();
        return false;
    });
    auto s = open();
    fill(*s, "期末考试", "90", "60");
    const QString file = QDir(workDir()).filePath("纸质考卷/期末考试_20260520_083005.pdf");
    expectBox("纸质考卷已保存为：\n" + file, Caption::Tip);
    click(*s, CWordPaper::GeneratePdf);
    expectAllShown();
    EXPECT_EQ(s->writtenDocument(), file);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(interimRows(), -1);
    if (qEnvironmentVariableIsSet("VORN_SHOTS")) // to look at its pages
        QFile::copy(file, QDir(qEnvironmentVariable("VORN_SHOTS")).filePath("CWordPaper-paper.pdf"));
    const auto page = [&file](int n) {
        QProcess text;
        text.start("pdftotext", {"-f", QString::number(n), "-l", QString::number(n), file, "-"});
        EXPECT_TRUE(text.waitForFinished(60000));
        // The CJK font maps some characters to their radical forms.
        return QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    };
    const QString questions = page(1), key = page(2);
    for (const char *expected : {"期末考试", "（试卷满分2.0分，要求在90分钟内完成，合格分为60分）", "一、单选题（每题2分，共2.0分）",
                                 "A、甲"})
        EXPECT_TRUE(questions.contains(QString::fromUtf8(expected).normalized(QString::NormalizationForm_KC)))
            << expected << "\n" << questions.toStdString();
    EXPECT_FALSE(questions.contains("参考答案"));
    EXPECT_TRUE(key.contains("参考答案")) << key.toStdString();
    EXPECT_TRUE(key.contains(QStringLiteral("1、A，").normalized(QString::NormalizationForm_KC))) << key.toStdString();
}

TEST_F(CWordPaperTest, WithoutAWordProcessorThePopUpStaysAndAFurtherTryPrintsOneDraw)
{
    bool accept = false;
    QStringList opened;
    ShellOpen::setCheckedHandler([&](const QString &p) {
        opened << p;
        return accept;
    });
    auto s = open();
    fill(*s, "期末考试", "90", "60");
    expectBox("纸质考卷已保存为：\n" + path("纸质考卷/期末考试_20260520_083005.docx")
                  + "\n\n本机没有安装word产品，无法自动打开它；可把该文件复制到装有word的电脑上打开或打印。",
              Caption::Tip);
    click(*s, CWordPaper::Generate);
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(readDocx(opened[0]).marks["mark1"].lines, QStringList{"期末考试"}) << "the document named is whole";
    EXPECT_EQ(interimRows(), 1); // the draw is kept until the pop-up is left

    accept = true;
    click(*s, CWordPaper::Generate);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_NE(opened[0], opened[1]); // a name of its own, in the same second
    EXPECT_FALSE(s->isVisible());
    // The second document holds the second draw only, not both.
    const QStringList questions = readDocx(opened[1]).marks["mark4"].lines;
    EXPECT_EQ(questions.filter(QRegularExpression("^\\d+、")).size(), 1);
}

TEST_F(CWordPaperTest, ATemplateThatIsNotThereIsNamedAndThePopUpStays)
{
    ShellOpen::setCheckedHandler([](const QString &) {
        ADD_FAILURE() << "nothing is to be opened";
        return true;
    });
    auto s = open();
    s->templateFile = path("wordtest.docx");
    fill(*s, "期末考试", "90", "60");
    expectBox("找不到试卷模板文件：" + path("wordtest.docx"), Caption::Tip);
    click(*s, CWordPaper::Generate);
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(s->writtenDocument().isEmpty());
    EXPECT_TRUE(QDir(path("纸质考卷")).isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CWordPaperTest, QuitDropsTheDrawEnterAndEscCloseWithoutDropping)
{
    {
        auto s = open();
        click(*s, CWordPaper::Quit);
        EXPECT_FALSE(s->isVisible());
        EXPECT_EQ(interimRows(), -1);
    }
    {
        auto s = open();
        QTest::keyClick(s->control(CWordPaper::ExamName), Qt::Key_Escape);
        EXPECT_FALSE(s->isVisible());
        EXPECT_EQ(s->result(), QDialog::Rejected);
        EXPECT_EQ(interimRows(), 0);
    }
    {
        auto s = open();
        typeInto(*s, CWordPaper::ExamName, "期末");
        QTest::keyClick(s->control(CWordPaper::ExamName), Qt::Key_Return);
        EXPECT_FALSE(s->isVisible());
        EXPECT_EQ(interimRows(), 0);
    }
}

TEST_F(CWordPaperTest, AShortageEndsTheProgramWithoutAnIcon)
{
    storePaper("大卷", "单科", {"每题2.0分。员工:简单=5,;", "空", "空", "空", "空"}, "10.0");
    ShellOpen::setCheckedHandler([](const QString &) {
        ADD_FAILURE() << "nothing is to be opened";
        return true;
    });
    auto s = open("大卷");
    fill(*s, "期末考试", "90", "60");
    expectBox("题库中“单选题”数量不符合考卷要求，退出程序！", Caption::Tip, MsgIcon::None);
    click(*s, CWordPaper::Generate);
    EXPECT_TRUE(exited());
    EXPECT_EQ(interimRows(), 0);
    EXPECT_FALSE(QFileInfo::exists(path("纸质考卷/期末考试_20260520_083005.docx")));
}

TEST_F(CWordPaperTest, APaperListExportOpensThePopUpWithThePaper)
{
    ShellOpen::setCheckedHandler([](const QString &) { return true; });
    CTestManage manage;
    manage.show();
    auto *list = manage.control<QTableWidget>(CTestManage::List);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 1)).center());
    QString written;
    whenShown<CWordPaper>([&written](CWordPaper *p) {
        typeInto(*p, CWordPaper::ExamName, "月考");
        typeInto(*p, CWordPaper::TimeLimit, "60");
        typeInto(*p, CWordPaper::PassMark, "60");
        QTest::mouseClick(p->control<QAbstractButton>(CWordPaper::Generate), Qt::LeftButton);
        written = p->writtenDocument();
    });
    QTest::mouseClick(manage.control<QAbstractButton>(CTestManage::Export), Qt::LeftButton);
    EXPECT_TRUE(written.endsWith("/纸质考卷/月考_20260520_083005.docx"));
    EXPECT_EQ(readDocx(written).marks["mark1"].lines, QStringList{"月考"});
}

} // namespace
