// The exam window in a child process, answering questions, killed with
// SIGKILL at a random moment fifty times in a row and entered again each
// time: every answer saved before the kill is there afterwards, the time left
// never grows and never loses more than 5 seconds, and the final result is
// stored once with a valid code.
//
// The child's clock is scripted (one second per step) so that its time left
// at the kill is known exactly; the kill itself comes at a random real
// moment, in the middle of whatever write is going on.
#include "exam/CVornDlg.h"
#include "exam/ExamSitting.h"
#include "exam/KeyboardLock.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"
#include "store/Sitting.h"

#include "ExamSheetSeed.h"
#include "ExamWindowFixture.h"
#include "support/VornTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThreadPool>

#include <csignal>
#include <map>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kQuestions = 12;
constexpr int kRounds = 50;

void say(int fd, const QByteArray &line)
{
    const QByteArray l = line + '\n';
    if (::write(fd, l.constData(), size_t(l.size())) < 0)
        ::_exit(3);
}

// The examinee: enters again, starts, and keeps answering and moving on,
// one scripted second per step, until killed.
[[noreturn]] void sit(int fd, int registration, quint32 seed)
{
    MessageBox::setHandler([](const ShownMessage &m) {
        return m.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    });
    const ExamHandover chosen = handoverFor(QString(), QString::number(registration), kFormal, "600");
    const ExamSitting::Entry e = ExamSitting::enter(chosen, false, Clock::now());
    if (e.outcome != ExamSitting::Entry::Resumed)
        ::_exit(4);
    CVornDlg window(e.handover);
    window.show();
    QTest::mouseClick(window.control<QAbstractButton>(CVornDlg::Start), Qt::LeftButton);
    QRandomGenerator random(seed);
    for (;;) {
        say(fd, "L " + QByteArray::number(window.sittingTimer().msLeft()));
        const int n = *window.currentNumber();
        const QByteArray letter(1, char('A' + random.bounded(3)));
        auto *option = window.control<QAbstractButton>(CVornDlg::SingleA + (letter[0] - 'A'));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
        say(fd, "P " + QByteArray::number(n) + ' ' + letter);
        QTest::mouseClick(window.control<QAbstractButton>(n == kQuestions ? CVornDlg::Previous : CVornDlg::Next), Qt::LeftButton);
        say(fd, "S " + QByteArray::number(n) + ' ' + letter);
        Clock::advance(1);
        window.tick(2);
    }
}

class SittingCrashTest : public ExamWindowTest
{
protected:
    std::map<int, QString> storedAnswers()
    {
        std::map<int, QString> a;
        for (const QStringList &r : outsiderRows(Db::Personnel, "select 编号,ifnull(答题,'') from SittingQuestion"))
            a[r[0].toInt()] = r[1];
        return a;
    }
    int storedSecondsLeft()
    {
        return outsiderRows(Db::Personnel, "select 剩余秒数 from Sitting").at(0).at(0).toInt();
    }
};

} // namespace

TEST_F(SittingCrashTest, FiftyKillsLoseNoSavedAnswerAndAtMostFiveSecondsEach)
{
    QList<SheetQuestion> questions;
    for (int i = 1; i <= kQuestions; ++i)
        questions << SheetQuestion{"单选题", QString("题%1").arg(i), {"甲", "乙", "丙"}, "5", QVariant(), "B"};
    const QString key = seedExamSheet(questions);
    const int registration = seedRegistration();
    ExamSitting::start(handoverFor(key, QString::number(registration), kFormal, "600"), "1", Clock::now());

    std::map<int, QString> saved; // what the examinee saw saved
    int left = storedSecondsLeft();
    QRandomGenerator random(20190520);
    int answeredRounds = 0;
    for (int round = 0; round < kRounds; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        CADOConn::releaseCachedHandles(); // no engine handle may cross the fork
        QThreadPool::globalInstance()->waitForDone();
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(fds[0]);
            sit(fds[1], registration, quint32(round));
        }
        ::close(fds[1]);
        // Lets it run for a random while, reading what it says.
        // Every fifth round from the fork (often while the window is being
        // made), the others from its first answer.
        QByteArray said;
        const bool early = round % 5 == 0;
        const int runMs = int(random.bounded(early ? 300 : 400));
        QElapsedTimer ran;
        ran.start();
        bool answering = early;
        for (;;) {
            const qint64 rest = answering ? runMs - ran.elapsed() : 20000;
            if (rest <= 0)
                break;
            pollfd p{fds[0], POLLIN, 0};
            if (::poll(&p, 1, int(rest)) <= 0)
                continue;
            char buf[4096];
            const ssize_t got = ::read(fds[0], buf, sizeof buf);
            if (got <= 0)
                break;
            said.append(buf, got);
            if (!answering && said.contains('\n')) {
                answering = true;
                ran.restart();
            }
        }
        ::kill(pid, SIGKILL);
        const int status = waitForChild(pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << " ended on its own: " << status;
        for (;;) {
            char buf[4096];
            const ssize_t got = ::read(fds[0], buf, sizeof buf);
            if (got <= 0)
                break;
            said.append(buf, got);
        }
        ::close(fds[0]);

        // The answers: each saved one stays; one being saved may have made it.
        std::map<int, QString> pending;
        qint64 lastMs = -1;
        for (const QByteArray &line : said.split('\n')) {
            const QList<QByteArray> w = line.split(' ');
            if (w.value(0) == "L")
                lastMs = w.value(1).toLongLong();
            else if (w.value(0) == "P")
                pending[w.value(1).toInt()] = QString::fromLatin1(w.value(2));
            else if (w.value(0) == "S") {
                saved[w.value(1).toInt()] = QString::fromLatin1(w.value(2));
                pending.erase(w.value(1).toInt());
            }
        }
        const std::map<int, QString> stored = storedAnswers();
        for (const auto &[n, answer] : stored) {
            const bool asSaved = saved.count(n) ? answer == saved[n] : answer.isEmpty();
            const bool asPending = pending.count(n) && answer == pending[n];
            EXPECT_TRUE(asSaved || asPending) << "round " << round << ", question " << n << ": " << answer.toStdString();
            if (asPending)
                saved[n] = answer;
        }
        // The time: at the kill the child's clock stood at its last "L" or
        // one scripted second after it. Never more than the lesser of the
        // two (no time given back), never 5 s less than the greater.
        const int now = storedSecondsLeft();
        EXPECT_LE(now, left) << "round " << round;
        if (lastMs >= 0) {
            ++answeredRounds;
            EXPECT_LE(now * 1000, lastMs - 1000) << "round " << round;
            EXPECT_GE(now * 1000, lastMs - 5000) << "round " << round;
        }
        left = now;
    }
    // Most rounds got as far as answering.
    EXPECT_GE(answeredRounds, kRounds * 4 / 5);

    // Entering once more and handing in stores the result once, sealed.
    const ExamSitting::Entry e =
        ExamSitting::enter(handoverFor(QString(), QString::number(registration), kFormal, "600"), false, Clock::now());
    ASSERT_EQ(e.outcome, ExamSitting::Entry::Resumed);
    {
        CVornDlg window(e.handover);
        window.show();
        expectTimed("考试已恢复，剩余时间" + Sitting::durationText(left), Caption::Tip, 5);
        QTest::mouseClick(window.control<QAbstractButton>(CVornDlg::Start), Qt::LeftButton);
        int unanswered = 0;
        for (int n = 1; n <= kQuestions; ++n)
            unanswered += saved.count(n) ? 0 : 1;
        expectBox(QString("您确定要交卷!\n\n未答题：%1道\n已标记：0道").arg(unanswered), Caption::Remind,
                  MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
        int right = 0;
        for (const auto &[n, answer] : saved)
            right += answer == "B" ? 1 : 0;
        expectBox(QString("您这次参加“年度考试”的正式考试得分为：%1分，\n\n是否进入考试查看窗口？").arg(right * 5),
                  Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
        QTest::mouseClick(window.control<QAbstractButton>(CVornDlg::Submit), Qt::LeftButton);
        expectAllShown();
    }
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    const RecordsetPtr r = conn.openRecordset("select * from ExamRegister where ID=?", Db::Personnel, {registration});
    ASSERT_EQ(r->recordCount(), 1);
    EXPECT_FALSE(r->isNull("成绩"));
    EXPECT_TRUE(resultSealed(*r));
    conn.close();
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 状态 from Sitting"), (QList<QStringList>{{"已交卷"}}));
    for (int n = 1; n <= kQuestions; ++n)
        saved.emplace(n, QString()); // never answered
    EXPECT_EQ(storedAnswers(), saved);
}
