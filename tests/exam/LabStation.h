#pragma once
// A station of an exam lab as a process of its own: the real exam code
// without widgets, against the lab's server. Used by the lab simulation test
// and its benchmark.
#include "admin/ExamCreation.h"
#include "exam/ExamBuilder.h"
#include "exam/ExamEntry.h"
#include "exam/ExamSitting.h"
#include "exam/ExamSubmission.h"
#include "exam/SittingSync.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"

#include "ExamSeed.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThreadPool>

#include <functional>

#include <unistd.h>

namespace Lab {

constexpr int kQuestions = 100;
inline const QString kPaper = QStringLiteral("百题卷");
inline const QString kExam = QStringLiteral("机房考试");

// Retries a step while the server is away (restarted under the station).
template <class F>
auto retrying(F step)
{
    for (int attempt = 0;; ++attempt) {
        try {
            return step();
        } catch (const DbError &) {
            if (attempt > 400)
                ::_exit(9);
            ::usleep(50 * 1000);
        }
    }
}

// A bank of exactly 100 single-choice questions keyed "A", a paper of all
// of them, and one exam with a registration per station; their IDs.
inline QList<int> seed(int stations)
{
    CADOConn conn;
    {
        DbTransaction tx(conn, Db::Questions);
        for (int n = 1; n <= kQuestions; ++n)
            conn.executeOrThrow(QStringLiteral("insert into 单选题 (科目,题型,题干,答案,A,B,难度,对象) values (?,?,?,?,?,?,?,?)"),
                                Db::Questions,
                                {QStringLiteral("语文"), QStringLiteral("单选题"), QStringLiteral("题%1").arg(n),
                                 QStringLiteral("A"), QStringLiteral("甲"), QStringLiteral("乙"),
                                 QStringLiteral("简单"), QStringLiteral("干部")});
        const QString rule = QStringLiteral("每题1.0分。干部:简单=100,;");
        const QString created = QStringLiteral("2026/01/05 09:00:00");
        conn.executeOrThrow(QStringLiteral("insert into exampaper %1").arg(QString::fromUtf8(kPaperColumns)),
                            Db::Questions,
                            {kPaper, QStringLiteral("语文"), QStringLiteral("单科"), rule, QStringLiteral("空"),
                             QStringLiteral("空"), QStringLiteral("空"), QStringLiteral("空"), QStringLiteral("100"),
                             QStringLiteral("100.0"), created,
                             paperCode(kPaper, rule, QStringLiteral("空"), QStringLiteral("空"), QStringLiteral("空"),
                                       QStringLiteral("空"), QStringLiteral("语文"), QStringLiteral("100"),
                                       QStringLiteral("100.0"), created)});
        tx.commit();
    }
    QList<ExamCandidate> people;
    for (int i = 0; i < stations; ++i)
        people << ExamCandidate{QStringLiteral("考生%1").arg(i), QStringLiteral("机房"), QStringLiteral("学员")};
    const ExamRequest request{kExam, QStringLiteral("2019/05/20 08:00"), QStringLiteral("2030/05/20 08:00"),
                              QStringLiteral("60"), QStringLiteral("60"), kPaper, QStringLiteral("100.0"),
                              QStringLiteral("空")};
    ExamCreation::create(request, people);
    QList<int> ids;
    const RecordsetPtr r = conn.openRecordset(QStringLiteral("select ID from ExamRegister order by ID"), Db::Personnel);
    for (r->moveFirst(); !r->isEOF(); r->moveNext())
        ids << r->getInt(QStringLiteral("ID"));
    return ids;
}

// One examinee at one station: enters (or resumes), draws, answers the first
// i + 10 questions right ("A") and the rest wrong, and hands in. Returns the
// milliseconds the hand-in took; ends the process on a failure. beforeHandIn
// holds the hand-in back, as the end of the exam time does.
inline qint64 sit(const QString &dir, int registration, int i, const std::function<void()> &beforeHandIn = {})
{
    QDir::setCurrent(dir);
    ExamHandover h;
    h.examName = kExam;
    h.timeLimit = QStringLiteral("60");
    h.registrationId = QString::number(registration);
    h.examMode = ExamMode::Formal;
    h.passMark = 60;
    const ExamSitting::Entry entry = retrying([&] { return ExamSitting::enter(h, false, Clock::now()); });
    if (entry.outcome == ExamSitting::Entry::Taken)
        ::_exit(0); // handed in before its station was killed
    if (entry.outcome == ExamSitting::Entry::Busy || entry.outcome == ExamSitting::Entry::Tampered)
        ::_exit(3);
    if (entry.outcome == ExamSitting::Entry::Resumed) {
        h = entry.handover;
    } else {
        const ExamBuild::Result built = retrying([&] {
            ExamEntry::recreateSheet();
            ExamEntry::recreateInterim();
            ExamBuild::Result r = ExamBuilder::buildExam(ExamMode::Formal, kPaper, QString());
            if (r.outcome == ExamBuild::Outcome::NoConnection)
                throw DbError(QStringLiteral("no connection"));
            return r;
        });
        if (built.outcome != ExamBuild::Outcome::Built || built.questions != kQuestions)
            ::_exit(4);
        ExamEntry::dropInterim();
        h.answerKey = built.answerKey;
        h.sittingId = retrying([&] { return ExamSitting::start(h, QStringLiteral("1"), Clock::now()); });
    }
    SittingSync::Writer writer(h.sittingId);
    for (int n = 1; n <= kQuestions; ++n)
        retrying([&] {
            return writer.saveAnswer(n, {SaveDecision::Store, n <= i + 10 ? QStringLiteral("A") : QStringLiteral("B")},
                                     3000);
        });
    while (writer.behind()) {
        ::usleep(50 * 1000);
        retrying([&] { return writer.saveTime(3000); });
    }
    if (beforeHandIn)
        beforeHandIn();
    const SubmitRequest request{h, ExamScoring::keyEntries(h.answerKey), 600, Clock::now()};
    // A hand-in whose answer was lost with the server may have been stored:
    // the retry then finds itself stored.
    QElapsedTimer took;
    took.start();
    const SubmitResult r = retrying([&] { return ExamSubmission::submit(request); });
    if (r.outcome != SubmitResult::Stored)
        ::_exit(5);
    return took.elapsed();
}

// Starts a station's process in dir; it ends with _exit, after report.
template <class Report>
pid_t startStation(const QString &dir, int registration, int i, Report report,
                   const std::function<void()> &beforeHandIn = {})
{
    QDir().mkpath(dir);
    CADOConn::releaseCachedHandles(); // no connection may cross the fork
    QThreadPool::globalInstance()->waitForDone();
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A station without a screen: a failed connection is retried, not shown.
        CADOConn::setOpenFailureReporter({});
        report(sit(dir, registration, i, beforeHandIn));
        ::_exit(0);
    }
    return pid;
}

} // namespace Lab
