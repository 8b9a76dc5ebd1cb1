// The score chart window: toolbar, scrolling and saving through the file dialog.
#include "results/CScoreMap.h"
#include "store/Clock.h"

#include "support/Driving.h"
#include "support/FullDisk.h"
#include "support/VornTest.h"

#include <QAction>
#include <QFile>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

namespace {

ChartSelection rowsOf(int n)
{
    ChartSelection s;
    for (int i = 1; i <= n; ++i) {
        s.names += QString("考生%1;").arg(i);
        s.departments += "财务部;";
        s.posts += i == 1 ? "一二三四五六七八;" : "会计;";
        s.scores += QString("%1;").arg(70 + i);
        s.passFlags += "是;";
        s.timesUsed += "00:10:00;";
        s.examDates += "2019/05/20;";
        s.rowNumbers += QString("%1;").arg(i);
    }
    s.examName = "年度考试";
    s.paperName = "语文卷";
    return s;
}

class CScoreMapTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        Clock::setFixed(QDateTime(QDate(2019, 5, 22), QTime(9, 0)));
    }

    std::unique_ptr<CScoreMap> open(int n = 5)
    {
        auto s = std::make_unique<CScoreMap>(rowsOf(n));
        s->show();
        return s;
    }

    void press(CScoreMap &s, int id)
    {
        QWidget *button = s.toolBar()->widgetForAction(s.command(id));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

} // namespace

TEST_F(CScoreMapTest, ToolbarHolderAndScrolling)
{
    auto s = open(20);
    EXPECT_EQ(s->windowTitle(), "Lumet—成绩统计");
    EXPECT_EQ(s->command(CScoreMap::Save)->text(), "保存");
    EXPECT_EQ(s->command(CScoreMap::Save)->toolTip(), "保存截图文件");
    EXPECT_EQ(s->command(CScoreMap::Return)->toolTip(), "返回上一窗口");
    EXPECT_EQ(s->holder()->geometry(), QRect(0, 25, 656, 928));
    saveShot(s.get(), "CScoreMap");
    // The table's right edge (x 612 of the sheet) is not under the scroll
    // bar, also when the window is made as narrow as it goes.
    EXPECT_LE(s->holder()->x() + 612, s->scrollBar()->x());
    s->resize(300, 615);
    QApplication::processEvents();
    EXPECT_LE(s->holder()->x() + 612, s->scrollBar()->x());

    // The scroll bar moves the sheet under the toolbar, which stays on top.
    s->scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(s->scrollState().position(), 15);
    EXPECT_EQ(s->holder()->y(), 10);
    QWheelEvent down(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(s.get(), &down);
    EXPECT_EQ(s->scrollState().position(), 115);
    EXPECT_EQ(s->scrollBar()->value(), 115);
    EXPECT_EQ(s->holder()->y(), 25 - 115);
    EXPECT_EQ(s->toolBar()->y(), 0);
    s->scrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(s->scrollState().position(), 933 - s->scrollState().page());
    saveShot(s.get(), "CScoreMap-scrolled");

    // Wider than the sheet: centred, never stretched.
    s->resize(1000, 615);
    QApplication::processEvents();
    const int clientWidth = 1000 - s->scrollBar()->width();
    EXPECT_EQ(s->holder()->x(), (clientWidth - 656) / 2);
    EXPECT_EQ(s->holder()->width(), 656);
}

TEST_F(CScoreMapTest, SavingAppendsBmpAndAsksBeforeReplacing)
{
    auto s = open();
    answerFileDialog(QString());
    press(*s, CScoreMap::Save); // cancelled
    EXPECT_TRUE(QDir(workDir()).entryList({"*.bmp*"}).isEmpty());

    answerFileDialog(path("成绩"));
    press(*s, CScoreMap::Save);
    EXPECT_TRUE(QFile::exists(path("成绩.bmp")));
    const QImage saved(path("成绩.bmp"));
    EXPECT_EQ(saved.size(), QSize(656, 928));
    EXPECT_EQ(saved, s->sheet().convertToFormat(saved.format()));

    answerFileDialog(path("成绩.bmp"));
    press(*s, CScoreMap::Save);
    EXPECT_TRUE(QFile::exists(path("成绩.bmp.bmp")));

    QFile::resize(path("成绩.bmp"), 10);
    answerFileDialog(path("成绩"));
    expectBox("成绩.bmp文件已存在，要替换吗?", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    press(*s, CScoreMap::Save);
    EXPECT_EQ(QFileInfo(path("成绩.bmp")).size(), 10);
    answerFileDialog(path("成绩"));
    expectBox("成绩.bmp文件已存在，要替换吗?", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    press(*s, CScoreMap::Save);
    EXPECT_EQ(QFileInfo(path("成绩.bmp")).size(), 54 + 656 * 928 * 4);
}

TEST_F(CScoreMapTest, ASaveThatCannotBeWrittenSaysSo)
{
    auto s = open();
    answerFileDialog(path("nofolder/成绩"));
    expectBox("成绩.bmp文件保存失败，请检查保存位置！\n原因：文件夹不存在。", Caption::Tip);
    press(*s, CScoreMap::Save);
    EXPECT_FALSE(QFile::exists(path("nofolder/成绩.bmp")));
}

// A chart saved over an older one on a disk that fills up: the older one
// stays whole and the message says so (it was once cut short).
TEST_F(CScoreMapTest, ReplacingAChartOnAFullDiskKeepsTheOldOne)
{
    FullDisk disk(path("disk"), 4096);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    auto s = open();
    answerFileDialog(disk.path("成绩"));
    press(*s, CScoreMap::Save);
    QFile saved(disk.path("成绩.bmp"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();
    ASSERT_EQ(before.size(), 54 + 656 * 928 * 4);
    disk.fill();

    answerFileDialog(disk.path("成绩"));
    expectBox("成绩.bmp文件已存在，要替换吗?", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("成绩.bmp文件保存失败，请检查保存位置！\n原因：磁盘空间已满，文件无法写完。\n原有的成绩.bmp文件保持不变。",
              Caption::Tip);
    press(*s, CScoreMap::Save);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll() == before);
    EXPECT_EQ(QDir(disk.path("")).entryList({"*成绩*"}, QDir::Files | QDir::Hidden), QStringList{"成绩.bmp"});
}

TEST_F(CScoreMapTest, ReturnAndClose)
{
    {
        auto s = open();
        press(*s, CScoreMap::Return);
        EXPECT_EQ(requestedScreen(), ScreenId::CheckScore);
        EXPECT_FALSE(exited());
    }
    auto s = open();
    s->close();
    EXPECT_TRUE(exited());
}
