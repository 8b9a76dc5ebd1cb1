#include "admin/ExamCreation.h"

#include "paper/Paper.h"

#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"

namespace ExamCreation {

namespace {

std::function<void(const char *)> g_stageHook;

void stage(const char *name)
{
    if (g_stageHook)
        g_stageHook(name);
}

const QString kNoEssay = QStringLiteral("空");

// Digits without their leading zeros ("060" is "60", "00" is "0"); any
// other text stays as it is.
QString plainNumber(const QString &text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return text;
    qsizetype zeros = 0;
    while (zeros + 1 < text.size() && text.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return text.mid(zeros);
}

} // namespace

void setStageHook(std::function<void(const char *)> hook)
{
    g_stageHook = std::move(hook);
}

Papers loadPapers(QList<StoredPaper> *papers)
{
    CADOConn conn;
    const QList<Paper> stored = PaperStore::readPapers(conn);
    conn.close();
    for (const Paper &p : stored) {
        if (papers)
            *papers << StoredPaper{p.name, p.subject, p.total, p.fullMarks, p.created, p.types[4]};
        if (!p.sealed())
            return Papers::Tampered;
    }
    return Papers::Sound;
}

QString timeText(const QDate &date, const QTime &time)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")).replace(QLatin1Char('-'), QLatin1Char('/')) + QLatin1Char(' ')
           + time.toString(QStringLiteral("HH:mm"));
}

Outcome check(const ExamRequest &q, int chosenPeople)
{
    if (q.name.isEmpty())
        return Outcome::NoName;
    if (q.timeLimit.isEmpty())
        return Outcome::NoTimeLimit;
    if (q.paper.isEmpty())
        return Outcome::NoPaper;
    if (q.passMark.isEmpty())
        return Outcome::NoPassMark;
    if (q.passMark.toDouble() > q.fullMarks.toDouble())
        return Outcome::PassMarkAboveFullMarks;
    // Before the zero check: a limit too long for a whole number reads 0 there.
    if (q.timeLimit.toDouble() > MaxTimeLimit)
        return Outcome::TimeLimitTooLong;
    if (q.timeLimit.toLongLong() <= 0)
        return Outcome::ZeroTimeLimit;
    const QDateTime start = Clock::parseLocal(q.start);
    const QDateTime end = Clock::parseLocal(q.end);
    if (!start.isValid() || !end.isValid() || end <= start)
        return Outcome::EndNotAfterStart;

    CADOConn conn;
    if (conn.openRecordset(QStringLiteral("select 考试号 from ExamArrange where 考试名称=?"), Db::Personnel, {q.name})
            ->recordCount()
        > 0)
        return Outcome::NameExists;
    if (q.paper.isEmpty() || chosenPeople == 0)
        return Outcome::NoPaperOrPeople;
    if (conn.openRecordset(QStringLiteral("select ID from exampaper where 名称=?"), Db::Questions, {q.paper})
            ->recordCount()
        == 0)
        return Outcome::PaperGone;
    conn.close();
    return Outcome::Created;
}

Outcome create(const ExamRequest &q, const QList<ExamCandidate> &people, int *examNo)
{
    const Outcome checked = check(q, int(people.size()));
    if (checked != Outcome::Created)
        return checked;

    const QString passMark = plainNumber(q.passMark), timeLimit = plainNumber(q.timeLimit);
    CADOConn conn;
    DbTransaction tx(conn, Db::Personnel);
    const QVariant remark = q.essay.isEmpty() || q.essay == kNoEssay ? QVariant() : QVariant(q.essay);
    const int n = int(conn.insertKey(QStringLiteral("insert into ExamArrange (考试名称,试卷名称,开始时间,结束时间,考试时限,"
                                                     "合格分数,保存码,备注) values (?,?,?,?,?,?,?,?)"),
                                      Db::Personnel,
                                      {q.name, q.paper, q.start, q.end, timeLimit, passMark,
                                       examCode(q.name, q.start, q.end, passMark, QString()), remark},
                                      QStringLiteral("考试号")));
    const QString number = QString::number(n);
    stage("exam");

    const QString insert =
        QStringLiteral("insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values (?,?,?,?,?,?)");
    for (const ExamCandidate &p : people)
        conn.executeOrThrow(insert, Db::Personnel,
                            {p.name, p.department, p.post, number, passMark,
                             registrationCode(p.name, p.department, p.post, number, passMark)});
    stage("registrations");

    // Only the new exam's rows can repeat; other exams are left as they are,
    // so their counters stay true.
    conn.executeOrThrow(QStringLiteral("delete from ExamRegister where 考试号=? and id not in(select min(id) from "
                                       "ExamRegister where 考试号=? group by 姓名,部门,职务)"),
                        Db::Personnel, {number, number});
    const int registrations =
        conn.openRecordset(QStringLiteral("select count(*) as n from ExamRegister where 考试号=?"), Db::Personnel,
                           {number})
            ->getInt(QStringLiteral("n"));
    if (registrations > 0)
        insertRosterCounter(conn, n, registrations, CounterWrite::OrThrow);
    tx.commit();
    conn.close();
    if (examNo)
        *examNo = n;
    return Outcome::Created;
}

QString message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Created:
        return QStringLiteral("考试创建成功!");
    case Outcome::NoName:
        return QStringLiteral("请输入考试名称！");
    case Outcome::NoTimeLimit:
        return QStringLiteral("请输入答题时限！");
    case Outcome::NoPaper:
        return QStringLiteral("请选择试卷！");
    case Outcome::NoPassMark:
        return QStringLiteral("请输入合格分数！");
    case Outcome::PassMarkAboveFullMarks:
        return QStringLiteral("合格分数不能大于满分！");
    case Outcome::TimeLimitTooLong:
        return QStringLiteral("答题时限不能超过%1分钟！").arg(MaxTimeLimit);
    case Outcome::ZeroTimeLimit:
        return QStringLiteral("答题时限必须大于0分钟！");
    case Outcome::EndNotAfterStart:
        return QStringLiteral("考试结束时间必须晚于开始时间！");
    case Outcome::NameExists:
        return QStringLiteral("您输入的考试名称已存在！");
    case Outcome::NoPaperOrPeople:
        return QStringLiteral("试卷名为空或未选取考生！");
    case Outcome::PaperGone:
        return QStringLiteral("所选试卷已不存在，请重新选择试卷！");
    }
    return QString();
}

} // namespace ExamCreation
