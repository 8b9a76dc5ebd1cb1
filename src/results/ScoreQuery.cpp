#include "results/ScoreQuery.h"

#include "store/CADOConn.h"
#include "store/Integrity.h"

#include <QHash>

#include <cmath>
#include <limits>

void ScoreList::append(const ScoreRow &row)
{
    for (const QString *field : {&row.id, &row.name, &row.department, &row.post, &row.score, &row.passMark,
                                 &row.timeUsed, &row.examTime, &row.examName})
        m_fields.add(*field);
    m_fields.add(row.essay);
}

ScoreRow ScoreList::at(int i) const
{
    return ScoreRow{m_fields.text(i, 0), m_fields.text(i, 1), m_fields.text(i, 2), m_fields.text(i, 3),
                    m_fields.text(i, 4), m_fields.text(i, 5), m_fields.text(i, 6), m_fields.text(i, 7),
                    m_fields.text(i, 8), m_fields.value(i, 9)};
}

namespace ScoreQuery {

namespace {

const QString kScored = QStringLiteral("select * from ExamRegister where 成绩 is not null");

ScoreRow rowOf(const CRecordset &r)
{
    return ScoreRow{r.getString(QStringLiteral("ID")),     r.getString(QStringLiteral("姓名")),
                    r.getString(QStringLiteral("部门")),   r.getString(QStringLiteral("职务")),
                    r.getString(QStringLiteral("成绩")),   r.getString(QStringLiteral("合格分数")),
                    r.getString(QStringLiteral("考试用时")), r.getString(QStringLiteral("考试时间")),
                    r.getString(QStringLiteral("考试名称")), r.value(QStringLiteral("问答题"))};
}

// The rows of a selection, read one at a time so that only the packed
// list grows.
ScoreList rowsOf(CADOConn &conn, const QString &sql, const QVariantList &params = {})
{
    ScoreList rows;
    conn.forEachRow(sql, Db::Personnel, params, [&rows](const CRecordset &r) {
        rows.append(rowOf(r));
        return true;
    });
    rows.squeeze();
    return rows;
}

bool hasRows(CADOConn &conn, const QString &sql)
{
    return conn.openRecordset(sql + QStringLiteral(" limit 1"), Db::Personnel)->recordCount() > 0;
}

// A counter as stored: null stays apart, text that is no number can never match.
std::optional<int> counterValue(const CRecordset &r, const QString &column)
{
    const std::optional<QString> v = r.value(column);
    if (!v)
        return std::nullopt;
    bool ok = false;
    const int n = v->trimmed().toInt(&ok);
    return ok ? n : std::numeric_limits<int>::min();
}

} // namespace

Verification verify(ScoreList *scored)
{
    if (scored)
        scored->clear();
    CADOConn conn;
    // The counts and the counters are read once each rather than per exam.
    RecordsetPtr counts = conn.openRecordset(
        QStringLiteral("select 考试号, count(*) as n from ExamRegister group by 考试号"), Db::Personnel);
    RecordsetPtr counters = conn.openRecordset(QStringLiteral("select * from JoinExam"), Db::Personnel);
    struct Counter
    {
        int rows = 0;
        std::optional<int> quality, quantity;
    };
    QHash<qint64, Counter> byExam;
    for (counters->moveFirst(); !counters->isEOF(); counters->moveNext()) {
        const std::optional<int> number = counterValue(*counters, QStringLiteral("考试号"));
        if (!number)
            continue;
        Counter &c = byExam[*number];
        if (++c.rows == 1) {
            c.quality = counterValue(*counters, QStringLiteral("考生质量"));
            c.quantity = counterValue(*counters, QStringLiteral("考生数量"));
        }
    }
    // A null counter counts as 0, which never matches an exam that has rows.
    const CounterRule rule{true, false};
    for (counts->moveFirst(); !counts->isEOF(); counts->moveNext()) {
        // The exam number read as an integer, as the counter row is addressed.
        const qint64 number = qint64(leadingNumber(counts->getString(QStringLiteral("考试号"))));
        const Counter c = byExam.value(number);
        if (compareRosterCounters(counts->getInt(QStringLiteral("n")), c.rows, c.quality, c.quantity, rule)
            != CounterCheck::Ok)
            return Verification::RosterTampered;
    }
    // A hundred thousand results are walked one at a time: only the packed
    // rows handed back are kept.
    bool sealed = true;
    ScoreList rows;
    conn.forEachRow(kScored, Db::Personnel, {}, [&](const CRecordset &r) {
        // The shown fields are the digested ones, so the code is computed
        // from the row as it is taken.
        if (scored) {
            const ScoreRow row = rowOf(r);
            sealed = resultCode(row.id, row.name, row.post, row.examName, row.score, row.passMark, row.timeUsed,
                                row.examTime)
                     == r.getString(QStringLiteral("保存码"));
            if (sealed)
                rows.append(row);
        } else {
            sealed = resultSealed(r);
        }
        return sealed;
    });
    conn.close();
    if (!sealed)
        return Verification::ResultTampered;
    if (scored) {
        rows.squeeze();
        *scored = std::move(rows);
    }
    return Verification::Sound;
}

QStringList scoredExamNames()
{
    CADOConn conn;
    RecordsetPtr r = conn.openRecordset(
        QStringLiteral("select Distinct 考试名称 from ExamRegister where 成绩 is not null"), Db::Personnel);
    QStringList names;
    for (r->moveFirst(); !r->isEOF(); r->moveNext())
        names << r->getString(QStringLiteral("考试名称"));
    return names;
}

int waitingEssays()
{
    CADOConn conn;
    return conn.openRecordset(QStringLiteral("select count(*) as n from quesAndAns"), Db::Personnel)
        ->getInt(QStringLiteral("n"));
}

Found query(const Fields &f, ScoreList *rows)
{
    rows->clear();
    if (f.name.isEmpty() && f.department.isEmpty() && f.post.isEmpty() && f.examName.isEmpty())
        return Found::AllEmpty;
    CADOConn conn;
    if (!hasRows(conn, QStringLiteral("select * from ExamRegister")))
        return Found::NoRegistrations;
    if (!hasRows(conn, kScored))
        return Found::NoScores;

    QStringList conditions;
    QVariantList params;
    const auto add = [&](const QString &column, const QString &value) {
        conditions << column + QStringLiteral("=?");
        params << value;
    };
    if (!f.name.isEmpty())
        add(QStringLiteral("姓名"), f.name);
    if (!f.department.isEmpty()) {
        add(QStringLiteral("部门"), f.department);
        if (!f.post.isEmpty())
            add(QStringLiteral("职务"), f.post);
    }
    if (!f.examName.isEmpty())
        add(QStringLiteral("考试名称"), f.examName);
    if (conditions.isEmpty())
        return Found::OnlyPost;

    *rows = rowsOf(conn,
                   QStringLiteral("select * from ExamRegister where ") + conditions.join(QStringLiteral(" and "))
                       + QStringLiteral(" and 成绩 is not null"),
                   params);
    return rows->isEmpty() ? Found::NoMatch : Found::Rows;
}

Found showAll(ScoreList *rows, const ScoreList *verified)
{
    rows->clear();
    if (verified && !verified->isEmpty()) {
        *rows = *verified;
        return Found::Rows;
    }
    CADOConn conn;
    if (!hasRows(conn, QStringLiteral("select * from ExamRegister")))
        return Found::NoRegistrations;
    if (verified)
        return Found::NoScores;
    *rows = rowsOf(conn, kScored);
    return rows->isEmpty() ? Found::NoScores : Found::Rows;
}

Ranked rank(const QString &examName, ScoreList *rows)
{
    rows->clear();
    if (examName.isEmpty())
        return Ranked::NoExamName;
    CADOConn conn;
    // Scores by their numeric value; the time used is whole seconds, so it is
    // ordered as a number too (as text "600" would come before "99").
    *rows = rowsOf(conn,
                   QStringLiteral("select * from ExamRegister where 考试名称=? and 成绩 is not null and 考试用时 is not null "
                                  "order by cast(成绩 as real) desc, cast(考试用时 as integer) asc, ID asc"),
                   {examName});
    return rows->isEmpty() ? Ranked::NoResults : Ranked::Rows;
}

double leadingNumber(const QString &text)
{
    // The longest leading decimal number, as strtod reads it, but without
    // hex, exponents, infinity or nan: none of them is a score.
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t.at(end) == QLatin1Char('+') || t.at(end) == QLatin1Char('-')))
        ++end;
    bool digits = false;
    const auto isDigit = [&t](qsizetype i) { return t.at(i) >= QLatin1Char('0') && t.at(i) <= QLatin1Char('9'); };
    while (end < t.size() && isDigit(end)) {
        ++end;
        digits = true;
    }
    if (end < t.size() && t.at(end) == QLatin1Char('.')) {
        ++end;
        while (end < t.size() && isDigit(end)) {
            ++end;
            digits = true;
        }
    }
    return digits ? QStringView(t).left(end).toDouble() : 0;
}

QString passFlag(const ScoreRow &row)
{
    // Submission stores "" when the exam had no essays; only "有" waits.
    if (row.essay && !row.essay->isEmpty())
        return QStringLiteral("不定");
    // The pass mark as a whole number, its fraction cut off.
    const double passMark = std::trunc(leadingNumber(row.passMark));
    return leadingNumber(row.score) > passMark ? QStringLiteral("是") : QStringLiteral("否");
}

QString timeUsedText(const QString &seconds)
{
    if (seconds.isEmpty() || seconds.size() > 15)
        return seconds;
    for (QChar c : seconds)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return seconds;
    const qint64 s = seconds.toLongLong();
    return QString::asprintf("%02lld:%02lld:%02lld", s / 3600, (s % 3600) / 60, s % 60);
}

QStringList listColumns(int position, const ScoreRow &row)
{
    return {QString::number(position), row.name,          row.department,
            row.post,                  row.score,         passFlag(row),
            timeUsedText(row.timeUsed), row.examTime,     row.examName};
}

QString paperNameOf(const QString &examName)
{
    CADOConn conn;
    RecordsetPtr r = conn.openRecordset(QStringLiteral("select * from ExamArrange where 考试名称=?"), Db::Personnel,
                                        {examName});
    if (r->recordCount() == 0)
        return QString();
    r->moveFirst();
    return r->getString(QStringLiteral("试卷名称"));
}

} // namespace ScoreQuery
