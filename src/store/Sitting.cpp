#include "store/Sitting.h"

#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"
#include "store/QuestionType.h"
#include "store/Schema.h"

#include <algorithm>
#include <utility>

namespace Sitting {

namespace {

SittingRecord recordOf(const CRecordset &r)
{
    SittingRecord s;
    s.id = r.getInt(QStringLiteral("ID"));
    s.registrationId = r.getInt(QStringLiteral("报名ID"));
    s.examNo = r.getString(QStringLiteral("考试号"));
    s.questions = r.getInt(QStringLiteral("题数"));
    s.secondsLeft = r.getInt(QStringLiteral("剩余秒数"));
    s.extraMinutes = r.getInt(QStringLiteral("延长分钟"));
    s.state = r.getString(QStringLiteral("状态"));
    s.started = r.getString(QStringLiteral("开始时间"));
    s.sealed = sittingSealed(r);
    return s;
}

QString codeOf(const SittingRecord &s)
{
    return sittingCode(QString::number(s.registrationId), s.examNo, QString::number(s.questions),
                       QString::number(s.secondsLeft), QString::number(s.extraMinutes), s.state, s.started);
}

QString codeOf(int sittingId, const SittingQuestion &q)
{
    QStringList options;
    for (const std::optional<QString> &o : q.options)
        options << o.value_or(QString());
    return sittingQuestionCode(QString::number(sittingId), QString::number(q.number), q.bankId, q.subject, q.type,
                               q.stem.value_or(QString()), q.reference, options, q.points,
                               q.picture.value_or(QString()), q.answer.value_or(QString()),
                               q.flagged ? QStringLiteral("1") : QStringLiteral("0"));
}

SittingQuestion questionOf(const CRecordset &r)
{
    SittingQuestion q;
    q.number = r.getInt(QStringLiteral("编号"));
    q.bankId = r.getString(QStringLiteral("题库ID"));
    q.subject = r.getString(QStringLiteral("科目"));
    q.type = r.getString(QStringLiteral("题型"));
    q.stem = r.value(QStringLiteral("题干"));
    q.reference = r.getString(QStringLiteral("答案"));
    for (int i = 0; i < 5; ++i)
        q.options[size_t(i)] = r.value(QuestionType::optionColumns().at(i));
    q.points = r.getString(QStringLiteral("分值"));
    q.picture = r.value(QStringLiteral("图片"));
    q.answer = r.value(QStringLiteral("答题"));
    q.flagged = r.getString(QStringLiteral("标记")) == QLatin1String("1");
    return q;
}

std::optional<SittingRecord> byId(CADOConn &conn, int sittingId)
{
    const RecordsetPtr r =
        conn.openRecordset(QStringLiteral("select * from Sitting where ID=?"), Db::Personnel, {sittingId});
    if (r->recordCount() == 0)
        return std::nullopt;
    return recordOf(*r);
}

void writeRecord(CADOConn &conn, const SittingRecord &s)
{
    conn.executeOrThrow(QStringLiteral("update Sitting set 剩余秒数=?,延长分钟=?,状态=?,保存码=? where ID=?"),
                        Db::Personnel, {s.secondsLeft, s.extraMinutes, s.state, codeOf(s), s.id});
}

// Changes one question of a running sitting and its time left together.
template <typename Change>
Write changeQuestion(CADOConn &conn, int sittingId, int number, int secondsLeft, Change change)
{
    DbTransaction tx(conn, Db::Personnel);
    std::optional<SittingRecord> s = byId(conn, sittingId);
    if (!s || !s->running())
        return Write::Closed;
    const RecordsetPtr r = conn.openRecordset(
        QStringLiteral("select * from SittingQuestion where 场次=? and 编号=?"), Db::Personnel, {sittingId, number});
    if (r->recordCount() == 0)
        return Write::Closed;
    if (!s->sealed || !sittingQuestionSealed(*r))
        return Write::Tampered;
    SittingQuestion q = questionOf(*r);
    change(q);
    conn.executeOrThrow(QStringLiteral("update SittingQuestion set 答题=?,标记=?,保存码=? where 场次=? and 编号=?"),
                        Db::Personnel,
                        {Db::nullable(q.answer), q.flagged ? 1 : 0, codeOf(sittingId, q), sittingId, number});
    s->secondsLeft = std::max(secondsLeft, 0);
    writeRecord(conn, *s);
    tx.commit();
    return Write::Done;
}

template <typename Change>
Write changeRecord(CADOConn &conn, int registrationId, Change change)
{
    DbTransaction tx(conn, Db::Personnel);
    std::optional<SittingRecord> s = find(conn, registrationId);
    if (!s || !s->running())
        return Write::Closed;
    if (!s->sealed)
        return Write::Tampered;
    change(*s);
    writeRecord(conn, *s);
    tx.commit();
    return Write::Done;
}

} // namespace

std::optional<SittingRecord> find(CADOConn &conn, int registrationId)
{
    const RecordsetPtr r = conn.openRecordset(QStringLiteral("select * from Sitting where 报名ID=?"), Db::Personnel,
                                              {registrationId});
    if (r->recordCount() == 0)
        return std::nullopt;
    return recordOf(*r);
}

QList<SittingRecord> ofExam(CADOConn &conn, const QString &examNo)
{
    QList<SittingRecord> all;
    const RecordsetPtr r =
        conn.openRecordset(QStringLiteral("select * from Sitting where 考试号=?"), Db::Personnel, {examNo});
    for (r->moveFirst(); !r->isEOF(); r->moveNext())
        all << recordOf(*r);
    return all;
}

int create(CADOConn &conn, int registrationId, const QString &examNo, int seconds, const QStringList &key,
           const QDateTime &now)
{
    DbTransaction tx(conn, Db::Personnel);
    deleteForRegistration(conn, registrationId);
    SittingRecord s;
    s.registrationId = registrationId;
    s.examNo = examNo;
    s.secondsLeft = std::max(seconds, 0);
    s.state = SittingState::Running;
    s.started = Clock::formatSlash(now);

    const RecordsetPtr rows =
        conn.openRecordset(QStringLiteral("select * from exam order by 编号, ID"), Db::Personnel);
    QList<SittingQuestion> drawn;
    int k = 0;
    for (rows->moveFirst(); !rows->isEOF(); rows->moveNext(), ++k) {
        SittingQuestion q;
        q.number = rows->getInt(QStringLiteral("编号"));
        q.bankId = rows->hasColumn(QStringLiteral("题库ID")) ? rows->getString(QStringLiteral("题库ID")) : QString();
        q.subject = rows->getString(QStringLiteral("科目"));
        q.type = rows->getString(QStringLiteral("题型"));
        q.stem = rows->value(QStringLiteral("题干"));
        q.reference = key.value(k);
        for (int i = 0; i < 5; ++i)
            q.options[size_t(i)] = rows->value(QuestionType::optionColumns().at(i));
        q.points = rows->getString(QStringLiteral("分值"));
        q.picture = rows->value(QStringLiteral("图片"));
        q.answer = rows->value(QStringLiteral("答题"));
        drawn << q;
    }
    rows->close();
    s.questions = int(drawn.size());
    conn.executeOrThrow(QStringLiteral("insert into Sitting (报名ID,考试号,题数,剩余秒数,延长分钟,状态,开始时间,保存码) "
                                       "values (?,?,?,?,?,?,?,?)"),
                        Db::Personnel,
                        {registrationId, examNo, s.questions, s.secondsLeft, 0, s.state, s.started, codeOf(s)});
    s.id = conn.openRecordset(QStringLiteral("select ID from Sitting where 报名ID=?"), Db::Personnel, {registrationId})
               ->getInt(QStringLiteral("ID"));
    const QString insert = QStringLiteral("insert into SittingQuestion (场次,编号,题库ID,科目,题型,题干,答案,A,B,C,D,E,"
                                          "分值,图片,答题,标记,保存码) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (const SittingQuestion &q : std::as_const(drawn)) {
        QVariantList v{s.id, q.number, q.bankId.isEmpty() ? QVariant() : QVariant(q.bankId.toLongLong()),
                       q.subject, q.type, Db::nullable(q.stem), q.reference};
        for (const std::optional<QString> &o : q.options)
            v << Db::nullable(o);
        v << q.points << Db::nullable(q.picture) << Db::nullable(q.answer) << 0 << codeOf(s.id, q);
        conn.executeOrThrow(insert, Db::Personnel, v);
    }
    tx.commit();
    return s.id;
}

QList<SittingQuestion> questions(CADOConn &conn, int sittingId, bool *sealed)
{
    QList<SittingQuestion> all;
    bool sound = true;
    const RecordsetPtr r = conn.openRecordset(
        QStringLiteral("select * from SittingQuestion where 场次=? order by 编号"), Db::Personnel, {sittingId});
    all.reserve(r->recordCount());
    for (r->moveFirst(); !r->isEOF(); r->moveNext()) {
        sound = sound && sittingQuestionSealed(*r);
        all << questionOf(*r);
    }
    if (sealed)
        *sealed = sound;
    return all;
}

QString restoreSheet(CADOConn &conn, const QList<SittingQuestion> &questions)
{
    DbTransaction tx(conn, Db::Personnel);
    conn.execute(Schema::examSheet().drop, Db::Personnel);
    conn.executeOrThrow(Schema::examSheet().create, Db::Personnel);
    QString key;
    for (const SittingQuestion &q : questions) {
        QVariantList v{q.number, q.subject, q.type, Db::nullable(q.stem)};
        for (const std::optional<QString> &o : q.options)
            v << Db::nullable(o);
        v << Db::nullable(q.answer) << q.points << Db::nullable(q.picture)
          << (q.bankId.isEmpty() ? QVariant() : QVariant(q.bankId.toLongLong()));
        conn.executeOrThrow(QStringLiteral("insert into exam (编号,科目,题型,题干,A,B,C,D,E,答题,分值,图片,题库ID) "
                                           "values (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                            Db::Personnel, v);
        key += q.reference + QLatin1Char('|');
    }
    tx.commit();
    return key;
}

Write saveTime(CADOConn &conn, int sittingId, int secondsLeft)
{
    DbTransaction tx(conn, Db::Personnel);
    std::optional<SittingRecord> s = byId(conn, sittingId);
    if (!s || !s->running())
        return Write::Closed;
    if (!s->sealed)
        return Write::Tampered;
    s->secondsLeft = std::max(secondsLeft, 0);
    writeRecord(conn, *s);
    tx.commit();
    return Write::Done;
}

Write saveAnswer(CADOConn &conn, int sittingId, int number, const std::optional<QString> &answer, int secondsLeft)
{
    return changeQuestion(conn, sittingId, number, secondsLeft, [&](SittingQuestion &q) { q.answer = answer; });
}

Write setFlag(CADOConn &conn, int sittingId, int number, bool flagged, int secondsLeft)
{
    return changeQuestion(conn, sittingId, number, secondsLeft, [&](SittingQuestion &q) { q.flagged = flagged; });
}

Write close(CADOConn &conn, int registrationId)
{
    // A row changed outside the program is closed all the same (the result
    // is what counts), but keeps its failing code.
    DbTransaction tx(conn, Db::Personnel);
    std::optional<SittingRecord> s = find(conn, registrationId);
    if (!s || !s->running())
        return Write::Closed;
    if (!s->sealed) {
        conn.executeOrThrow(QStringLiteral("update Sitting set 状态=? where ID=?"), Db::Personnel,
                            {SittingState::Submitted, s->id});
        tx.commit();
        return Write::Tampered;
    }
    s->state = SittingState::Submitted;
    writeRecord(conn, *s);
    tx.commit();
    return Write::Done;
}

Write extend(CADOConn &conn, int registrationId, int minutes)
{
    return changeRecord(conn, registrationId, [&](SittingRecord &s) {
        s.extraMinutes += minutes;
        s.secondsLeft += minutes * 60;
    });
}

Write discard(CADOConn &conn, int registrationId)
{
    // A changed sitting may be discarded: that is the way out of it.
    DbTransaction tx(conn, Db::Personnel);
    std::optional<SittingRecord> s = find(conn, registrationId);
    if (!s || !s->running())
        return Write::Closed;
    conn.executeOrThrow(QStringLiteral("delete from SittingQuestion where 场次=?"), Db::Personnel, {s->id});
    s->state = SittingState::Discarded;
    writeRecord(conn, *s);
    tx.commit();
    return Write::Done;
}

void deleteForRegistration(CADOConn &conn, int registrationId)
{
    conn.executeOrThrow(QStringLiteral("delete from SittingQuestion where 场次 in (select ID from Sitting where 报名ID=?)"),
                        Db::Personnel, {registrationId});
    conn.executeOrThrow(QStringLiteral("delete from Sitting where 报名ID=?"), Db::Personnel, {registrationId});
}

void deleteForExam(CADOConn &conn, const QString &examNo)
{
    conn.executeOrThrow(QStringLiteral("delete from SittingQuestion where 场次 in (select ID from Sitting where 考试号=?)"),
                        Db::Personnel, {examNo});
    conn.executeOrThrow(QStringLiteral("delete from Sitting where 考试号=?"), Db::Personnel, {examNo});
}

QString statusText(const SittingRecord &s)
{
    if (!s.sealed)
        return QStringLiteral("已篡改");
    if (s.state == SittingState::Discarded)
        return QStringLiteral("重新开始");
    if (!s.running())
        return QString();
    QString text = QStringLiteral("考试中");
    if (s.extraMinutes > 0)
        text += QStringLiteral("，延时%1分").arg(s.extraMinutes);
    return text;
}

QString durationText(int seconds)
{
    seconds = std::max(seconds, 0);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace Sitting

void SittingTimer::start(int seconds)
{
    m_left = qint64(std::max(seconds, 0)) * 1000;
    m_since = Clock::monotonicMs();
    m_running = true;
}

void SittingTimer::pause()
{
    if (!m_running)
        return;
    m_left = msLeft();
    m_running = false;
}

void SittingTimer::resume()
{
    if (m_running)
        return;
    m_since = Clock::monotonicMs();
    m_running = true;
}

qint64 SittingTimer::msLeft() const
{
    if (!m_running)
        return m_left;
    return std::max<qint64>(m_left - (Clock::monotonicMs() - m_since), 0);
}

int SittingTimer::secondsLeft() const
{
    return int((msLeft() + 999) / 1000);
}
