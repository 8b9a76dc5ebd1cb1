#include "results/Marking.h"

#include "results/ScoreQuery.h"
#include "store/CADOConn.h"
#include "store/Integrity.h"

#include <QVariant>

#include <charconv>
#include <cmath>

QString scoreText(double score)
{
    // "%.1f" as C writes it: the binary value rounded half to even (1.25 is
    // 1.2), whatever the locale. Qt's own formatting rounds such ties up.
    char buf[400]; // the longest double in fixed notation is 309 digits
    const auto [end, error] = std::to_chars(buf, buf + sizeof buf, score, std::chars_format::fixed, 1);
    QString text = error == std::errc() ? QString::fromLatin1(buf, end - buf) : QStringLiteral("0");
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0 && text.endsWith(QLatin1Char('0')))
        text.truncate(dot);
    return text;
}

namespace Marking {

QList<EssayAnswer> waiting()
{
    CADOConn conn;
    RecordsetPtr r = conn.openRecordset(QStringLiteral("select * from quesAndAns"), Db::Personnel);
    QList<EssayAnswer> answers;
    for (r->moveFirst(); !r->isEOF(); r->moveNext())
        answers << EssayAnswer{r->getInt(QStringLiteral("ID")),      r->getString(QStringLiteral("姓名")),
                               r->getString(QStringLiteral("部门")),   r->getString(QStringLiteral("职务")),
                               r->getString(QStringLiteral("考试名称")), r->getString(QStringLiteral("题干")),
                               r->getString(QStringLiteral("答案")),   r->getString(QStringLiteral("答题")),
                               r->getString(QStringLiteral("分值")),   r->getString(QStringLiteral("考生编号"))};
    return answers;
}

bool acceptsChar(const QString &current, QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    return c == QLatin1Char('.') && !current.contains(QLatin1Char('.'));
}

QString corrected(const QString &text)
{
    // Pasted text passes no key filter: keep what typing could have given.
    QString t;
    for (QChar c : text)
        if (acceptsChar(t, c))
            t += c;
    // More than one decimal that is not zero: cut toward zero to one.
    const qsizetype dot = t.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString decimals = t.mid(dot + 2);
        bool beyondOne = false;
        for (QChar c : decimals)
            beyondOne = beyondOne || c != QLatin1Char('0');
        if (beyondOne)
            t = QString::asprintf("%.1f", std::trunc(t.toDouble() * 10 + 1e-9) / 10);
    }
    if (t.startsWith(QLatin1Char('.')))
        return QString();
    if (t.size() > 1 && t.at(0) == QLatin1Char('0') && t.at(1) != QLatin1Char('.'))
        t.remove(0, 1);
    return t;
}

double award(const QString &text)
{
    return ScoreQuery::leadingNumber(text);
}

Outcome mark(const EssayAnswer &a, double award)
{
    const int registration = int(ScoreQuery::leadingNumber(a.examineeNumber));
    CADOConn conn;
    DbTransaction tx(conn, Db::Personnel);
    RecordsetPtr row = conn.openRecordset(QStringLiteral("select * from ExamRegister where ID=?"), Db::Personnel,
                                          {registration});
    if (row->recordCount() == 0)
        return Outcome::RegistrationMissing; // rolled back: the essay row stays
    row->moveFirst();
    const QString passMark = row->getString(QStringLiteral("合格分数"));
    const QString timeUsed = row->getString(QStringLiteral("考试用时"));
    const QString examTime = row->getString(QStringLiteral("考试时间"));
    const QString score = scoreText(ScoreQuery::leadingNumber(row->getString(QStringLiteral("成绩"))) + award);

    conn.executeOrThrow(QStringLiteral("delete from quesAndAns where ID=?"), Db::Personnel, {a.id});
    const int remaining =
        conn.openRecordset(QStringLiteral("select count(*) as n from quesAndAns where 考试名称=? and 考生编号=?"),
                           Db::Personnel, {a.examName, a.examineeNumber})
            ->getInt(QStringLiteral("n"));
    // The code over the same fields in the same order as the submission's.
    const QString code =
        resultCode(a.examineeNumber, a.name, a.post, a.examName, score, passMark, timeUsed, examTime);
    conn.executeOrThrow(QStringLiteral("update ExamRegister set 成绩=?,保存码=?,问答题=? where ID=?"), Db::Personnel,
                        {score, code, remaining > 0 ? QVariant(QStringLiteral("有")) : QVariant(), registration});
    tx.commit();
    conn.close();
    return Outcome::Marked;
}

} // namespace Marking
