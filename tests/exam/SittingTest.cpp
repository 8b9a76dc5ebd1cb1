// Stored sittings without widgets: an exam entered again goes on with the
// same questions, answers and time; the administrator extends or discards
// it; the submission closes it; outsiders' changes are caught.
#include "admin/ExamManagement.h"
#include "exam/ExamRules.h"
#include "exam/ExamSitting.h"
#include "exam/ExamSubmission.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"
#include "store/Sitting.h"

#include "ExamSheetSeed.h"
#include "support/VornTest.h"

namespace {

const QDateTime kTen(QDate(2019, 5, 20), QTime(10, 0));

class SittingTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        Clock::setFixed(kTen);
        id = seedRegistration();
        key = seedExamSheet({
            {"单选题", "一", {"甲", "乙", "丙"}, "10", QVariant(), "A"},
            {"判断题", "二", {"正确", "错误"}, "10", QVariant(), "B"},
            {"填空题", "首都【】", {}, "5", QVariant(), "北京"},
        });
        outsiderExec(Db::Personnel, "update exam set 题库ID=40+编号");
        handover = handoverFor(key, QString::number(id), kFormal, "60");
        sitting = ExamSitting::start(handover, "1", kTen);
    }
    void TearDown() override
    {
        Clock::setFixed(QDateTime());
        VornTest::TearDown();
    }

    QList<QStringList> sheet()
    {
        return outsiderRows(Db::Personnel, "select 编号,科目,题型,题干,ifnull(A,'-'),ifnull(B,'-'),ifnull(C,'-'),"
                                           "ifnull(答题,'<null>'),分值,ifnull(题库ID,'-') from exam order by 编号");
    }
    SittingRecord record()
    {
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        return *Sitting::find(conn, id);
    }
    Sitting::Write save(int number, const QString &answer, int left)
    {
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        return Sitting::saveAnswer(conn, sitting, number, answer, left);
    }
    ExamSitting::Entry enter(bool ended = false) { return ExamSitting::enter(handover, ended, Clock::now()); }

    int id = 0;
    int sitting = 0;
    QString key;
    ExamHandover handover;
};

} // namespace

TEST_F(SittingTest, EnteringAgainRebuildsTheSameExamWithTheSavedAnswersFlagsAndTime)
{
    const QList<QStringList> drawn = sheet();
    ASSERT_EQ(save(1, "B", 3000), Sitting::Write::Done);
    ASSERT_EQ(save(3, "上海", 2990), Sitting::Write::Done);
    {
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        ASSERT_EQ(Sitting::setFlag(conn, sitting, 2, true, 2980), Sitting::Write::Done);
    }
    outsiderExec(Db::Personnel, "drop table exam"); // the crash took the working table

    const ExamSitting::Entry e = enter();
    ASSERT_EQ(e.outcome, ExamSitting::Entry::Resumed);
    EXPECT_TRUE(e.handover.resumed);
    EXPECT_EQ(e.handover.sittingId, sitting);
    EXPECT_EQ(e.handover.answerKey, key);
    EXPECT_EQ(e.secondsLeft, 2980);
    QList<QStringList> expected = drawn;
    expected[0][7] = "B";
    expected[2][7] = "上海";
    EXPECT_EQ(sheet(), expected);
    EXPECT_EQ(sheet()[0][9], "41"); // the bank question kept
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    const QList<SittingQuestion> q = Sitting::questions(conn, sitting);
    EXPECT_EQ((QList<bool>{q[0].flagged, q[1].flagged, q[2].flagged}), (QList<bool>{false, true, false}));

    // A mock exam has no sitting: it is drawn afresh.
    ExamHandover mock = handoverFor(key, QString(), kMock);
    EXPECT_EQ(ExamSitting::enter(mock, false, kTen).outcome, ExamSitting::Entry::Fresh);
}

TEST_F(SittingTest, TheTimeLeftFollowsTheMonotonicClockNotTheWallClock)
{
    SittingTimer t;
    t.start(600);
    Clock::advance(10);
    EXPECT_EQ(t.secondsLeft(), 590);
    // Setting the clock back an hour gives nothing back.
    Clock::setFixed(kTen.addSecs(-3600));
    EXPECT_EQ(t.secondsLeft(), 590);
    t.pause();
    Clock::advance(100);
    EXPECT_EQ(t.secondsLeft(), 590);
    t.resume();
    Clock::advance(700);
    EXPECT_EQ(t.secondsLeft(), 0);
}

TEST_F(SittingTest, ExtensionAndStartOverAreSealedAndShownInTheRegistrationList)
{
    EXPECT_EQ(ExamManagement::extendSitting(id, 10), ExamManagement::SittingChange::Done);
    EXPECT_EQ(ExamManagement::extendSitting(id, 5), ExamManagement::SittingChange::Done);
    SittingRecord r = record();
    EXPECT_EQ(r.secondsLeft, 3600 + 900);
    EXPECT_EQ(r.extraMinutes, 15);
    EXPECT_TRUE(r.sealed);
    QList<ListedRegistration> rows = ExamManagement::registrations(1);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].sitting, "考试中，延时15分");
    EXPECT_TRUE(rows[0].inProgress);

    ASSERT_EQ(save(1, "A", 4000), Sitting::Write::Done);
    EXPECT_EQ(ExamManagement::restartSitting(id), ExamManagement::SittingChange::Done);
    EXPECT_TRUE(record().sealed);
    rows = ExamManagement::registrations(1);
    EXPECT_EQ(rows[0].sitting, "重新开始");
    EXPECT_FALSE(rows[0].inProgress);
    EXPECT_EQ(ExamManagement::extendSitting(id, 10), ExamManagement::SittingChange::NotRunning);
    // The next entry draws afresh; the discarded answers are gone.
    EXPECT_EQ(enter().outcome, ExamSitting::Entry::Fresh);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from SittingQuestion").at(0).at(0), "0");
    const int next = ExamSitting::start(handover, "1", kTen);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*),min(ID) from Sitting"),
              (QList<QStringList>{{"1", QString::number(next)}}));
}

TEST_F(SittingTest, AnOutsidersChangeIsCaughtWhereTheSittingIsNextReadAndNeverResealed)
{
    // printf '%s' '11336000进行中2019/05/20 10:00:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 保存码 from Sitting").at(0).at(0),
              "8a0811292dbc7068e897e283c592293c");

    outsiderExec(Db::Personnel, "update SittingQuestion set 答题='A' where 编号=1");
    EXPECT_EQ(enter().outcome, ExamSitting::Entry::Tampered);
    EXPECT_EQ(save(1, "B", 100), Sitting::Write::Tampered);
    outsiderExec(Db::Personnel, "update SittingQuestion set 答题=null where 编号=1");
    EXPECT_EQ(enter().outcome, ExamSitting::Entry::Resumed);

    outsiderExec(Db::Personnel, "update Sitting set 剩余秒数=99999");
    EXPECT_EQ(enter().outcome, ExamSitting::Entry::Tampered);
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    EXPECT_EQ(Sitting::saveTime(conn, sitting, 100), Sitting::Write::Tampered);
    conn.close();
    EXPECT_EQ(ExamManagement::extendSitting(id, 10), ExamManagement::SittingChange::Tampered);
    EXPECT_EQ(ExamManagement::registrations(1).at(0).sitting, "已篡改");
    EXPECT_FALSE(record().sealed);
    EXPECT_EQ(record().secondsLeft, 99999);
    // Discarding is the way out of a changed sitting.
    EXPECT_EQ(ExamManagement::restartSitting(id), ExamManagement::SittingChange::Done);
    EXPECT_EQ(enter().outcome, ExamSitting::Entry::Fresh);
}

TEST_F(SittingTest, TheSittingGoesWithItsExamOrRegistrationAndClosesWithTheSubmission)
{
    // A failing submission leaves the sitting running.
    ExamSubmission::setStageHook([](const char *stage) {
        if (std::string(stage) == "result")
            throw DbError("disk full");
    });
    const SubmitRequest q{handover, ExamScoring::keyEntries(key), 100, kTen};
    EXPECT_THROW(ExamSubmission::submit(q), DbError);
    ExamSubmission::setStageHook(nullptr);
    EXPECT_TRUE(record().running());
    ExamSubmission::submit(q);
    EXPECT_EQ(record().state, SittingState::Submitted);
    EXPECT_TRUE(record().sealed);
    // Read-only from here on, and never entered again.
    EXPECT_EQ(save(2, "A", 10), Sitting::Write::Closed);
    // A fresh draw would replace the record of what was handed in.
    EXPECT_EQ(enter(true).outcome, ExamSitting::Entry::Taken);

    ExamManagement::deleteExam(1);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select (select count(*) from Sitting)+(select count(*) from SittingQuestion)"),
              (QList<QStringList>{{"0"}}));

    const int other = seedRegistration();
    outsiderExec(Db::Personnel, "insert into JoinExam (考试号,考生质量,考生数量) values (1,1,6)");
    handover.registrationId = QString::number(other);
    ExamSitting::start(handover, "1", kTen);
    EXPECT_EQ(ExamManagement::removeRegistrations({other}, 1), 1);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select (select count(*) from Sitting)+(select count(*) from SittingQuestion)"),
              (QList<QStringList>{{"0"}}));
}

TEST_F(SittingTest, AFolderOfAnOlderVersionGetsTheSittingTablesWhenOpened)
{
    outsiderExec(Db::Personnel, "drop table SittingQuestion");
    outsiderExec(Db::Personnel, "drop table Sitting");
    CADOConn::releaseCachedHandles();
    CADOConn conn;
    ASSERT_TRUE(conn.openConnection(Db::Personnel));
    EXPECT_EQ(conn.openRecordset("select count(*) as n from Sitting", Db::Personnel)->getInt("n"), 0);
    conn.close();
    EXPECT_EQ(ExamSitting::start(handover, "1", kTen) > 0, true);
    EXPECT_EQ(enter().outcome, ExamSitting::Entry::Resumed);
}
