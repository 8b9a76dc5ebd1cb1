#include "results/Marking.h"

#include "paper/Paper.h"
#include "results/ScoreQuery.h"
#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "store/StoredNumbers.h"

#include <QHash>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace Marking {

namespace {

// The essay points of an exam's paper, read from sealed rows only. The exam
// is named by the registration's 考试名称, which its result code covers. A
// 多科 paper (subject "不定", which its code covers) draws essays from its
// subject rows: any of their points may apply.
std::optional<double> sealedEssayPoints(CADOConn &personnel, CADOConn &questions, const QString &examName)
{
    RecordsetPtr exam = personnel.openRecordset(
        QStringLiteral("select 试卷名称 from ExamArrange where 考试名称=? limit 1"), Db::Personnel, {examName});
    if (exam->recordCount() == 0)
        return std::nullopt;
    exam->moveFirst();
    const std::optional<Paper> paper =
        PaperStore::readPaperNamed(questions, exam->getString(QStringLiteral("试卷名称")));
    if (!paper || !paper->sealed())
        return std::nullopt;
    const QList<Paper> rules = paper->subject == PaperSubjectText::Various
                                   ? PaperStore::subjectRows(questions, paper->name)
                                   : QList<Paper>{*paper};
    std::optional<double> most;
    for (const Paper &rule : rules) {
        if (!rule.sealed())
            return std::nullopt;
        const double points = TypeRule::parse(rule.types[4]).points;
        most = std::max(most.value_or(points), points);
    }
    return most;
}

std::optional<double> valueOf(const EssayAnswer &a, const std::optional<double> &sealed)
{
    if (!sealed)
        return std::nullopt;
    return std::min(ScoreQuery::leadingNumber(a.points), *sealed);
}

} // namespace

EssayList waiting()
{
    CADOConn conn, questions;
    EssayList answers;
    // A registration's slot among those met, in the order met.
    QHash<int, int> slots;
    std::vector<int> registrations;
    const QString listed = QStringLiteral("select ID,姓名,部门,职务,考试名称,题干,分值,考生编号 from quesAndAns");
    conn.forEachRow(listed, Db::Personnel, {}, [&](const CRecordset &r) {
        const EssayAnswer a{r.getInt(QStringLiteral("ID")),      r.getString(QStringLiteral("姓名")),
                            r.getString(QStringLiteral("部门")),   r.getString(QStringLiteral("职务")),
                            r.getString(QStringLiteral("考试名称")), r.getString(QStringLiteral("题干")),
                            QString(),                           QString(),
                            r.getString(QStringLiteral("分值")),   r.getString(QStringLiteral("考生编号")),
                            std::nullopt};
        const int registration = int(ScoreQuery::leadingNumber(a.examineeNumber));
        auto slot = slots.constFind(registration);
        if (slot == slots.cend()) {
            slot = slots.insert(registration, int(registrations.size()));
            registrations.push_back(registration);
        }
        answers.append(a, *slot);
        return true;
    });
    answers.squeeze();

    // The exams of those registrations, a batch of them a query: one query
    // for each of tens of thousands would cost more than the list.
    constexpr size_t kBatch = 500;
    QHash<int, QString> examOf;
    for (size_t from = 0; from < registrations.size(); from += kBatch) {
        const size_t to = std::min(registrations.size(), from + kBatch);
        QVariantList ids;
        for (size_t i = from; i < to; ++i)
            ids << registrations[i];
        QString sql = QStringLiteral("select ID,考试名称 from ExamRegister where ID in (?");
        sql += QStringLiteral(",?").repeated(ids.size() - 1) + QLatin1Char(')');
        conn.forEachRow(sql, Db::Personnel, ids, [&examOf](const CRecordset &r) {
            examOf.insert(r.getInt(QStringLiteral("ID")), r.getString(QStringLiteral("考试名称")));
            return true;
        });
    }
    QHash<QString, std::optional<double>> byExam;
    std::vector<std::optional<double>> bounds;
    bounds.reserve(registrations.size());
    for (int registration : registrations) {
        const auto exam = examOf.constFind(registration);
        if (exam == examOf.cend()) {
            bounds.emplace_back();
            continue;
        }
        auto known = byExam.constFind(*exam);
        if (known == byExam.cend())
            known = byExam.insert(*exam, sealedEssayPoints(conn, questions, *exam));
        bounds.push_back(*known);
    }
    answers.setBounds(std::move(bounds));
    return answers;
}

bool readTexts(EssayAnswer *a)
{
    CADOConn conn;
    RecordsetPtr r =
        conn.openRecordset(QStringLiteral("select 答案,答题 from quesAndAns where ID=?"), Db::Personnel, {a->id});
    if (r->recordCount() == 0)
        return false;
    r->moveFirst();
    a->reference = r->getString(QStringLiteral("答案"));
    a->answer = r->getString(QStringLiteral("答题"));
    return true;
}

QString valueText(const EssayAnswer &a)
{
    if (a.value && *a.value < ScoreQuery::leadingNumber(a.points))
        return pointsText(*a.value);
    return a.points;
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
    // Locked until the mark is written: two markers of one examinee's essays
    // each add to the score the other wrote.
    RecordsetPtr row = conn.openRecordset(QStringLiteral("select * from ExamRegister where ID=? for update"),
                                          Db::Personnel, {registration});
    if (row->recordCount() == 0)
        return Outcome::RegistrationMissing; // rolled back: the essay row stays
    row->moveFirst();
    // Asked under the registration's lock: a second marker of the same
    // answer waits here and then finds it gone.
    if (conn.openRecordset(QStringLiteral("select ID from quesAndAns where ID=?"), Db::Personnel, {a.id})
            ->recordCount()
        == 0)
        return Outcome::AlreadyMarked;
    // The code is written over the registration's own fields: the essay
    // row's copies carry no code and may have been changed.
    const QString id = row->getString(QStringLiteral("ID"));
    const QString name = row->getString(QStringLiteral("姓名"));
    const QString post = row->getString(QStringLiteral("职务"));
    const QString examName = row->getString(QStringLiteral("考试名称"));
    CADOConn questions; // the transaction holds conn to personnel.mdb
    const std::optional<double> value = valueOf(a, sealedEssayPoints(conn, questions, examName));
    if (!value)
        return Outcome::NoSealedValue;
    if (award > *value)
        return Outcome::AboveValue;
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
    const QString code = resultCode(id, name, post, examName, score, passMark, timeUsed, examTime);
    conn.executeOrThrow(QStringLiteral("update ExamRegister set 成绩=?,保存码=?,问答题=? where ID=?"), Db::Personnel,
                        {score, code, remaining > 0 ? QVariant(QStringLiteral("有")) : QVariant(), registration});
    tx.commit();
    conn.close();
    return Outcome::Marked;
}

} // namespace Marking

void EssayList::append(const EssayAnswer &a, int slot)
{
    m_ids.push_back(a.id);
    m_registrations.push_back(slot);
    for (const QString *field : {&a.name, &a.department, &a.post, &a.examName, &a.stem, &a.points, &a.examineeNumber})
        m_texts.add(*field);
}

void EssayList::setBounds(std::vector<std::optional<double>> bounds)
{
    m_bounds = std::move(bounds);
}

void EssayList::squeeze()
{
    m_ids.shrink_to_fit();
    m_registrations.shrink_to_fit();
    m_texts.squeeze();
}

EssayAnswer EssayList::at(int i) const
{
    EssayAnswer a{m_ids[size_t(i)], m_texts.text(i, 0), m_texts.text(i, 1), m_texts.text(i, 2),
                  m_texts.text(i, 3), m_texts.text(i, 4), QString(),         QString(),
                  m_texts.text(i, 5), m_texts.text(i, 6), std::nullopt};
    const size_t slot = size_t(m_registrations[size_t(i)]);
    if (slot < m_bounds.size())
        a.value = Marking::valueOf(a, m_bounds[slot]);
    return a;
}
