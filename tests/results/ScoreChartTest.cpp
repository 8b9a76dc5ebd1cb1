// The score chart's layout rules, its drawing and the saved picture.
#include "results/ScoreChart.h"
#include "app/Resources.h"

#include "support/FullDisk.h"
#include "support/VornTest.h"

#include <QFile>
#include <QPainter>
#include <QtEndian>

#include <memory>

namespace {

ChartSelection fiveRows(bool withTimes)
{
    ChartSelection s;
    s.names = "张三;李四;王五;赵六;钱七;";
    s.departments = "财务部;财务部;人事部;人事部;技术部;";
    s.posts = "会计;出纳;主管;专员;工程师;";
    s.scores = "90;85.5;60;59;100;";
    s.passFlags = "是;是;否;否;是;";
    s.timesUsed = withTimes ? "00:10:00;00:20:00;00:30:00;00:40:00;01:02:05;" : "";
    s.examDates = "2019/05/20;2019/05/20;2019/05/20;2019/05/20;2019/05/21;";
    s.rowNumbers = "1;2;3;4;5;";
    s.examName = "年度考试";
    s.paperName = "语文卷";
    return s;
}

bool near(QRgb a, const QColor &b, int tolerance)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance
           && std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// Pixels of the text colour inside a rectangle of the sheet.
int textPixels(const QImage &image, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += near(image.pixel(x, y), QColor(160, 82, 45), 30);
    return n;
}

const QColor kBlue(0, 0, 255);

} // namespace

TEST(ScoreChartRules, ItemsAreTakenInStepWithTheNames)
{
    QString list = "a;;b;";
    EXPECT_EQ(ScoreChart::takeItem(list), "a");
    EXPECT_EQ(ScoreChart::takeItem(list), "");
    EXPECT_EQ(ScoreChart::takeItem(list), "b");
    EXPECT_EQ(ScoreChart::takeItem(list), "");
    EXPECT_EQ(list, "");

    ChartSelection s = fiveRows(true);
    s.scores = "90;85.5;"; // a short list gives empty cells
    s.passFlags = "";
    const QList<ChartRow> rows = ScoreChart::rows(s);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows.at(1).score, "85.5");
    EXPECT_EQ(rows.at(2).score, "");
    EXPECT_EQ(rows.at(4).passFlag, "");
    EXPECT_EQ(rows.at(4).name, "钱七");
    EXPECT_EQ(rows.at(4).timeUsed, "01:02:05");
    EXPECT_EQ(rows.at(4).examDate, "2019/05/21");
    s.names = "甲;乙"; // the text after the last ";" is no row
    EXPECT_EQ(ScoreChart::rows(s).size(), 1);
}

TEST(ScoreChartRules, LongTextsWrapBy14Bytes)
{
    EXPECT_EQ(ScoreChart::cellLines("一二三四五六七"), QStringList{"一二三四五六七"}); // 14 bytes
    EXPECT_EQ(ScoreChart::cellLines("一二三四五六七八"), (QStringList{"一二三四五六七", "八"}));
    EXPECT_EQ(ScoreChart::cellLines("一二三四五六七八九十甲乙丙丁"), (QStringList{"一二三四五六七", "八九十甲乙丙丁"}));
    // The 14th byte would start a character: the first line takes 13.
    EXPECT_EQ(ScoreChart::cellLines("a一二三四五六七"), (QStringList{"a一二三四五六", "七"}));
    // 255 characters: two lines of at most 14 bytes, the rest not drawn.
    const QStringList lines = ScoreChart::cellLines(QString(255, QChar(0x738b)));
    EXPECT_EQ(lines, (QStringList{QString(7, QChar(0x738b)), QString(7, QChar(0x738b))}));
    EXPECT_EQ(ScoreChart::cellLines(QString(255, 'x')), (QStringList{QString(14, 'x'), QString(14, 'x')}));
    EXPECT_EQ(ScoreChart::organisationTop(5), 450);
    EXPECT_EQ(ScoreChart::organisationTop(17), 858);
    EXPECT_EQ(ScoreChart::organisationTop(18), 892);
    EXPECT_EQ(ScoreChart::organisationTop(20), 892);
    EXPECT_EQ(ScoreChart::targetPath("/x/成绩"), "/x/成绩.bmp");
    EXPECT_EQ(ScoreChart::targetPath("/x/成绩.bmp"), "/x/成绩.bmp.bmp");
}

TEST(ScoreChartRules, ScrollingSteps)
{
    ChartScroll s;
    s.setPage(590); // last top 343
    EXPECT_FALSE(s.scroll(ChartScroll::LineUp));
    EXPECT_TRUE(s.scroll(ChartScroll::LineDown));
    EXPECT_EQ(s.position(), 15);
    EXPECT_TRUE(s.scroll(ChartScroll::LineUp));
    EXPECT_EQ(s.position(), 0);
    EXPECT_TRUE(s.scroll(ChartScroll::PageDown));
    EXPECT_EQ(s.position(), 295);
    EXPECT_TRUE(s.scroll(ChartScroll::PageDown)); // 933-295-590 < 295: to the end
    EXPECT_EQ(s.position(), 343);
    EXPECT_FALSE(s.scroll(ChartScroll::LineDown));
    EXPECT_TRUE(s.scroll(ChartScroll::PageUp));
    EXPECT_EQ(s.position(), 48);
    EXPECT_TRUE(s.scroll(ChartScroll::PageUp));
    EXPECT_EQ(s.position(), 0);
    EXPECT_TRUE(s.scroll(ChartScroll::Track, 120));
    EXPECT_EQ(s.position(), 120);
    EXPECT_FALSE(s.scroll(ChartScroll::EndScroll));
    EXPECT_TRUE(s.scroll(ChartScroll::Bottom));
    EXPECT_EQ(s.position(), 343);
    EXPECT_TRUE(s.scroll(ChartScroll::Top));
    // The wheel: 100 a notch, within the range, only up to 953 high.
    EXPECT_TRUE(s.wheel(-240, 615));
    EXPECT_EQ(s.position(), 200);
    EXPECT_TRUE(s.wheel(-240, 615));
    EXPECT_EQ(s.position(), 343);
    EXPECT_TRUE(s.wheel(360, 615));
    EXPECT_EQ(s.position(), 43);
    EXPECT_FALSE(s.wheel(-120, 954));
    // A page larger than the range leaves nothing to scroll.
    s.setPage(1000);
    EXPECT_EQ(s.position(), 0);
    EXPECT_FALSE(s.scroll(ChartScroll::LineDown));
}

class ScoreChartTest : public VornTest
{
};

TEST_F(ScoreChartTest, TheSavedSheetIsA32BitBmpWithTitleAndTable)
{
    const QString file = path("成绩.bmp");
    const QDate day(2019, 5, 22);
    ASSERT_TRUE(ScoreChart::save(fiveRows(true), ScoreChart::kSheet, day, file));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 18), 656);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 22), 928);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 32);
    EXPECT_EQ(bytes.size(), 54 + 656 * 928 * 4);

    const QImage image(file);
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(656, 928));
    // The page picture where nothing is drawn over it.
    QImage page(ScoreChart::kSheet, QImage::Format_ARGB32);
    page.fill(Qt::white);
    QPainter(&page).drawImage(0, 0, loadPngResource(232));
    for (const QPoint &at : {QPoint(10, 10), QPoint(328, 40), QPoint(620, 900)})
        EXPECT_EQ(image.pixel(at) & 0xffffff, page.pixel(at) & 0xffffff) << at.x() << "," << at.y();
    // Cell borders in blue: the header row, the fifth row, the table's right edge.
    for (const QPoint &at : {QPoint(40, 168), QPoint(100, 168), QPoint(611, 180), QPoint(40, 202 + 4 * 34),
                             QPoint(300, 202 + 5 * 34 - 1)})
        EXPECT_TRUE(near(image.pixel(at), kBlue, 0)) << at.x() << "," << at.y();
    // No sixth row.
    EXPECT_FALSE(near(image.pixel(40, 202 + 5 * 34 + 10), kBlue, 0));
    // Texts in their colour: the exam name line, a header, a two-line cell
    // of the last column and the organisation line at 450.
    EXPECT_GT(textPixels(image, QRect(108, 120, 150, 16)), 20);
    EXPECT_GT(textPixels(image, QRect(41, 169, 38, 32)), 5);
    EXPECT_GT(textPixels(image, QRect(523, 202 + 2, 88, 14)), 5);
    EXPECT_GT(textPixels(image, QRect(523, 202 + 18, 88, 14)), 5);
    EXPECT_GT(textPixels(image, QRect(480, 450, 76, 16)), 5);
    EXPECT_EQ(textPixels(image, QRect(480, 450 + 34, 76, 16)), 0);
}

TEST_F(ScoreChartTest, WithoutTimesTheDateIsOneCentredLine)
{
    const QImage with = ScoreChart::renderImage(fiveRows(true), ScoreChart::kSheet, QDate(2019, 5, 22));
    const QImage without = ScoreChart::renderImage(fiveRows(false), ScoreChart::kSheet, QDate(2019, 5, 22));
    // The second line of the first row's last cell is empty without times.
    EXPECT_GT(textPixels(with, QRect(523, 229, 88, 5)), 5);
    EXPECT_EQ(textPixels(without, QRect(523, 229, 88, 5)), 0);
    EXPECT_GT(textPixels(without, QRect(523, 212, 88, 14)), 5);
}

// The two lines of the last column (date over time used) stay above the
// cell's bottom border, in the header and in every row.
TEST_F(ScoreChartTest, TwoLineCellsStayInsideTheirBorders)
{
    const QImage image = ScoreChart::renderImage(fiveRows(true), ScoreChart::kSheet, QDate(2019, 5, 22));
    for (int top = 168; top <= 202 + 4 * 34; top += 34)
        for (int x = 522; x < 612; ++x)
            ASSERT_TRUE(near(image.pixel(x, top + 33), kBlue, 0)) << x << "," << top + 33;
}

TEST_F(ScoreChartTest, AFolderThatCannotBeWrittenLeavesNoFile)
{
    // Root writes into any folder, so the folder is a read-only file system
    // there. (A forked unprivileged child cannot paint safely: Qt's image
    // threads of the parent do not exist in it.)
    const QString folder = path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    std::unique_ptr<FullDisk> readOnly;
    if (::geteuid() == 0) {
        readOnly = std::make_unique<FullDisk>(folder, 64, true);
        if (!readOnly->mounted())
            GTEST_SKIP() << readOnly->why().toStdString();
    } else {
        ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString file = folder + "/成绩.bmp";
    EXPECT_FALSE(ScoreChart::save(fiveRows(true), ScoreChart::kSheet, QDate(2019, 5, 22), file));
    EXPECT_FALSE(QFile::exists(file));
    if (!readOnly)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
