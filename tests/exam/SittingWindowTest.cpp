// The exam window over a stored sitting: the notice and the time of an exam
// entered again, flags set by a right click or F2, kept in the sitting and
// counted before 交卷.
#include "exam/CVornDlg.h"
#include "exam/ExamSitting.h"
#include "exam/KeyboardLock.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Sitting.h"

#include "ExamSheetSeed.h"
#include "ExamWindowFixture.h"
#include "support/VornTest.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

namespace {

class SittingWindowTest : public ExamWindowTest
{
protected:
    void SetUp() override
    {
        ExamWindowTest::SetUp();
        id = seedRegistration();
        QList<SheetQuestion> q;
        for (int i = 1; i <= 4; ++i)
            q << SheetQuestion{"单选题", QString("题%1").arg(i), {"甲", "乙", "丙"}, "5", QVariant(), "A"};
        key = seedExamSheet(q);
        ExamSitting::start(handoverFor(key, QString::number(id), kFormal, "60"), "1", Clock::now());
    }

    // Enters as the examinee screen does after a crash.
    std::unique_ptr<CVornDlg> reenter()
    {
        const ExamSitting::Entry e =
            ExamSitting::enter(handoverFor(QString(), QString::number(id), kFormal, "60"), false, Clock::now());
        EXPECT_EQ(e.outcome, ExamSitting::Entry::Resumed);
        auto w = std::make_unique<CVornDlg>(e.handover);
        w->show();
        return w;
    }
    void start(CVornDlg &w) { QTest::mouseClick(w.control<QAbstractButton>(CVornDlg::Start), Qt::LeftButton); }
    QString timeLeft(CVornDlg &w) { return w.control<QLabel>(CVornDlg::TimeLeft)->text(); }
    QList<QStringList> flags()
    {
        return outsiderRows(Db::Personnel, "select 编号 from SittingQuestion where 标记=1 order by 编号");
    }
    int stored() { return outsiderRows(Db::Personnel, "select 剩余秒数 from Sitting").at(0).at(0).toInt(); }

    int id = 0;
    QString key;
};

} // namespace

TEST_F(SittingWindowTest, EnteredAgainTheExamGoesOnWithItsTimeWhateverTheWallClockSays)
{
    outsiderExec(Db::Personnel, "drop table exam");
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    ASSERT_EQ(Sitting::saveTime(conn, 1, 1234), Sitting::Write::Done);
    conn.close();
    auto w = reenter();
    expectTimed("考试已恢复，剩余时间00:20:34", Caption::Tip, 5);
    start(*w);
    expectAllShown();
    EXPECT_EQ(timeLeft(*w), "剩余时间：00:20:34");
    // Stored ahead of the count: a crash now costs at most 5 s, gains none.
    EXPECT_EQ(stored(), 1230);

    Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(8, 0))); // set back two hours
    Clock::advance(10);
    w->tick(2);
    EXPECT_EQ(timeLeft(*w), "剩余时间：00:20:24");
    EXPECT_EQ(stored(), 1220);
    EXPECT_EQ(w->countdown().usedSeconds(), 3600 - 1224);
}

TEST_F(SittingWindowTest, FlagsByRightClickAndF2AreShownKeptAndCountedBeforeHandingIn)
{
    auto w = reenter();
    expectTimed("考试已恢复，剩余时间01:00:00", Caption::Tip, 5);
    start(*w);
    QTest::mouseClick(w->numberLabel(3), Qt::RightButton);
    EXPECT_EQ(w->currentNumber(), 1); // a right click flags, it does not move
    QTest::keyClick(w.get(), Qt::Key_F2);
    EXPECT_TRUE(w->numberLabel(1)->flagged());
    EXPECT_TRUE(w->numberLabel(3)->flagged());
    EXPECT_EQ(w->numberLabel(3)->toolTip(), "已标记");
    saveShot(w.get(), "CVornDlg_flags");
    EXPECT_EQ(flags(), (QList<QStringList>{{"1"}, {"3"}}));
    QTest::mouseClick(w->numberLabel(1), Qt::RightButton);
    EXPECT_EQ(flags(), (QList<QStringList>{{"3"}}));

    auto *option = w->control<QAbstractButton>(CVornDlg::SingleB);
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    expectBox("您确定要交卷!\n\n未答题：3道\n已标记：1道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo,
              MsgAnswer::No);
    QTest::mouseClick(w->control<QAbstractButton>(CVornDlg::Submit), Qt::LeftButton);
    expectAllShown();

    // After a crash the flag is there again.
    w.reset();
    w = reenter();
    expectTimed("考试已恢复，剩余时间00:59:56", Caption::Tip, 5);
    start(*w);
    expectAllShown();
    EXPECT_TRUE(w->numberLabel(3)->flagged());
    EXPECT_FALSE(w->numberLabel(1)->flagged());
}
