#include "exam/ExamSitting.h"

#include "exam/ExamRules.h"
#include "exam/ExamSheet.h"
#include "store/CADOConn.h"
#include "store/Sitting.h"

namespace ExamSitting {

int limitSeconds(const QString &timeLimit)
{
    Countdown c;
    c.start(timeLimit);
    return c.limitSeconds();
}

Entry enter(const ExamHandover &chosen, bool ended, const QDateTime &now)
{
    Entry e;
    e.handover = chosen;
    bool ok = false;
    const int registration = chosen.registrationId.toInt(&ok);
    if (!ok || registration <= 0)
        return e;
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    // Two stations never run the same registration: the second is refused,
    // and a station that dies lets go with its connection.
    if (!conn.tryLock(Db::Personnel, registration)) {
        e.outcome = Entry::Busy;
        return e;
    }
    // A list shown before another station handed the exam in still offers
    // it; a fresh draw would replace the record of what was handed in.
    if (conn.openRecordset(QStringLiteral("select ID from ExamRegister where ID=? and 成绩 is not null"),
                           Db::Personnel, {registration})
            ->recordCount()
        > 0) {
        conn.unlock(Db::Personnel, registration);
        e.outcome = Entry::Taken;
        return e;
    }
    const std::optional<SittingRecord> s = Sitting::find(conn, registration);
    if (!s || !s->running())
        return e;
    bool questionsSealed = false;
    const QList<SittingQuestion> questions = Sitting::questions(conn, s->id, &questionsSealed);
    if (!s->sealed || !questionsSealed || questions.size() != s->questions) {
        e.outcome = Entry::Tampered;
        return e;
    }
    e.handover.answerKey = Sitting::restoreSheet(conn, questions);
    e.handover.sittingId = s->id;
    e.handover.resumed = true;
    e.secondsLeft = s->secondsLeft;
    conn.close();
    if (!ended) {
        e.outcome = Entry::Resumed;
        return e;
    }
    // Nothing the examinee saved is lost: the answers are scored as they
    // stand, with the time used until the interruption.
    const int granted = limitSeconds(chosen.timeLimit) + s->extraMinutes * 60;
    const SubmitRequest request{e.handover, ExamScoring::keyEntries(e.handover.answerKey),
                                std::max(granted - s->secondsLeft, 0), now};
    e.result = ExamSubmission::submit(request);
    ExamSheet::drop();
    e.outcome = Entry::HandedIn;
    return e;
}

void release(const QString &registrationId)
{
    bool ok = false;
    const int registration = registrationId.toInt(&ok);
    if (!ok || registration <= 0)
        return;
    CADOConn conn;
    conn.unlock(Db::Personnel, registration);
}

int start(const ExamHandover &handover, const QString &examNo, const QDateTime &now)
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    const int id = Sitting::create(conn, handover.registrationId.toInt(), examNo, limitSeconds(handover.timeLimit),
                                   ExamScoring::keyEntries(handover.answerKey), now);
    conn.close();
    return id;
}

QString handedInMessage(const ExamHandover &exam, const SubmitResult &r)
{
    QString text = QStringLiteral("考试已于您中断期间结束，已按您保存的答案交卷。\n\n您这次参加“") + exam.examName
                   + QStringLiteral("”的") + examModeText(exam.examMode) + QStringLiteral("得分为：") + r.score + QStringLiteral("分。");
    if (r.essays)
        text += QStringLiteral("\n\n本成绩不包括问答题分数，待问答题手工批卷后才能计算总成绩。");
    return text;
}

} // namespace ExamSitting
