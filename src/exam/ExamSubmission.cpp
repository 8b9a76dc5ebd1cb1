#include "exam/ExamSubmission.h"

#include "exam/ExamRules.h"
#include "exam/ExamSheet.h"
#include "store/StoredNumbers.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"
#include "store/Sitting.h"
#include "store/QuestionType.h"

namespace ExamSubmission {

namespace {
std::function<void(const char *)> g_stageHook;

void stage(const char *name)
{
    if (g_stageHook)
        g_stageHook(name);
}
} // namespace

void setStageHook(std::function<void(const char *)> hook)
{
    g_stageHook = std::move(hook);
}

SubmitResult submit(const SubmitRequest &q)
{
    SubmitResult r;
    r.examTime = Clock::formatSlashWide(q.at);
    r.timeUsed = QString::number(q.timeUsed);
    const bool formal = q.exam.examMode == ExamMode::Formal;

    CADOConn conn;
    conn.openConnection(Db::Personnel);
    DbTransaction transaction(conn, Db::Personnel);

    QString name, department, post, examNo;
    // The pass mark as the registration holds it: the score query checks the
    // code over that text, which an older exam may hold as typed ("060").
    QString pass = QString::number(q.exam.passMark);
    bool registered = false;
    bool handedIn = false;
    QString storedCode;
    bool idOk = false;
    const int id = q.exam.registrationId.toInt(&idOk);
    if (idOk && id > 0) {
        const RecordsetPtr reg =
            conn.openRecordset(QStringLiteral("select * from ExamRegister where ID=? for update"), Db::Personnel, {id});
        if (reg->recordCount() > 0) {
            // Another station may have handed in the same registration: the
            // row stays locked until this transaction ends, so one wins.
            handedIn = formal && !reg->isNull(QStringLiteral("成绩"));
            storedCode = reg->getString(QStringLiteral("保存码"));
            registered = true;
            name = reg->getString(QStringLiteral("姓名"));
            department = reg->getString(QStringLiteral("部门"));
            post = reg->getString(QStringLiteral("职务"));
            examNo = reg->getString(QStringLiteral("考试号"));
            pass = reg->getString(QStringLiteral("合格分数"));
        }
    }

    struct EssayRow
    {
        ExamQuestion q;
        QString reference;
    };
    QList<EssayRow> essays;
    const QList<ExamQuestion> rows = ExamSheet::all(conn);
    for (int k = 0; k < rows.size(); ++k) {
        const ExamQuestion &row = rows[k];
        const QString reference = k < q.keyEntries.size() ? q.keyEntries[k] : QString();
        if (QuestionType::is(row.type, QuestionType::Essay)) {
            r.essays = true;
            essays << EssayRow{row, reference};
            continue;
        }
        r.total += ExamScoring::earned(row.type, row.answer.value_or(QString()), reference,
                                       ExamScoring::pointsOf(row.points));
    }
    r.score = scoreText(r.total);
    r.code = resultCode(q.exam.registrationId, name, post, q.exam.examName, r.score, pass, r.timeUsed, r.examTime);

    if (!formal) {
        r.outcome = SubmitResult::Mock;
        return r;
    }
    if (!registered) {
        r.outcome = SubmitResult::RegistrationGone;
        return r;
    }
    if (handedIn) {
        // The same hand-in again, after its commit reached the lab's server
        // but the answer was lost with the connection, finds itself stored;
        // any other is refused and stores nothing.
        r.outcome = storedCode == r.code ? SubmitResult::Stored : SubmitResult::AlreadySubmitted;
        return r;
    }
    conn.executeOrThrow(QStringLiteral("update ExamRegister set 成绩=?,考试用时=?,考试时间=?,考试名称=?,保存码=?,问答题=? "
                                       "where ID=?"),
                        Db::Personnel,
                        {r.score, r.timeUsed, r.examTime, q.exam.examName, r.code,
                         r.essays ? QStringLiteral("有") : QString(""), id});
    stage("result");
    for (const EssayRow &e : essays) {
        conn.executeOrThrow(QStringLiteral("insert into quesAndAns (姓名,部门,职务,考试号,考试名称,考生编号,题干,答案,答题,分值) "
                                           "values (?,?,?,?,?,?,?,?,?,?)"),
                            Db::Personnel,
                            {name, department, post, examNo, q.exam.examName, q.exam.registrationId,
                             e.q.stem ? QVariant(*e.q.stem) : QVariant(), e.reference,
                             e.q.answer ? QVariant(*e.q.answer) : QVariant(), e.q.points});
        stage("essay");
    }
    // The sitting closes with the result, its time left as last saved:
    // read-only from here on.
    Sitting::close(conn, id);
    // Let go of the registration with the commit, in its round trip.
    conn.unlock(Db::Personnel, id);
    transaction.commit();
    conn.close();
    r.outcome = SubmitResult::Stored;
    return r;
}

QString resultMessage(const ExamHandover &exam, const SubmitResult &r)
{
    QString text = QStringLiteral("您这次参加“") + exam.examName + QStringLiteral("”的") + examModeText(exam.examMode)
                   + QStringLiteral("得分为：") + r.score + QStringLiteral("分，");
    if (r.essays)
        text += QStringLiteral("\n\n本成绩不包括问答题分数，待问答题手工批卷后才能计算总成绩。");
    return text + QStringLiteral("\n\n是否进入考试查看窗口？");
}

} // namespace ExamSubmission
