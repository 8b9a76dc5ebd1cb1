#include "exam/ExamBuilder.h"

#include "exam/ExamList.h"
#include "paper/Paper.h"
#include "paper/TypeRule.h"
#include "store/Random.h"

namespace ExamBuild {

QString message(const Result &result)
{
    switch (result.outcome) {
    case Outcome::Built:
    case Outcome::NoConnection:
        return QString();
    case Outcome::NoPaper:
        return QStringLiteral("还没有组卷，无法考试！");
    case Outcome::Shortage:
        return QStringLiteral("题库中“") + result.type + QStringLiteral("”数量不符合考卷要求，退出程序！");
    case Outcome::MalformedRule:
        return QStringLiteral("本次考试试卷的“") + result.type + QStringLiteral("”出题规则已损坏,无法进行考试！");
    }
    return QString();
}

} // namespace ExamBuild

namespace {

const QString kAnySubject = PaperSubjectText::None; // "无"

// The question columns a draw copies from the bank into interim.
const QString kBankColumns = QStringLiteral("科目,题型,题干,答案,A,B,C,D,E,难度,对象,图片");

} // namespace

QString ExamBuilder::pointsText(double points)
{
    return QString::number(points, 'g', 15);
}

bool ExamBuilder::isUsableRule(const QString &text)
{
    return text.isEmpty() || text == TypeRule::Empty || TypeRule::isWellFormed(text);
}

bool ExamBuilder::open()
{
    return m_questions.openConnection(Db::Questions) && m_personnel.openConnection(Db::Personnel);
}

bool ExamBuilder::drawQuestions(const QString &type, const QString &subject, const QString &group,
                                const QString &difficulty, int count, double points)
{
    const QString table = QuestionTypes::checkedTable(type);
    // Row positions in ID order, so a fixed seed draws the same questions.
    QString sql = QStringLiteral("select ID from %1 where 题型=?").arg(table);
    QVariantList params{type};
    if (subject != kAnySubject) {
        sql += QStringLiteral(" and 科目=?");
        params << subject;
    }
    sql += QStringLiteral(" and 对象=? and 难度=? order by ID");
    params << group << difficulty;
    RecordsetPtr rows = m_questions.openRecordset(sql, Db::Questions, params);
    const int n = rows->recordCount();
    // No matching question at all ends the exam even for a count of 0.
    if (n == 0 || n < count)
        return false;
    std::vector<qint64> ids;
    ids.reserve(size_t(n));
    for (rows->moveFirst(); !rows->isEOF(); rows->moveNext())
        ids.push_back(rows->getString(QStringLiteral("ID")).toLongLong());
    rows->close();

    const QString fetch = QStringLiteral("select %1 from %2 where ID=?").arg(kBankColumns, table);
    const QString insert = QStringLiteral("insert into interim (%1,分值,题库ID) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                               .arg(kBankColumns);
    const QStringList columns = kBankColumns.split(QLatin1Char(','));
    const QString pointText = pointsText(points);
    for (std::uint64_t p : Random::pickDistinct(std::uint64_t(count), std::uint64_t(n))) {
        RecordsetPtr q = m_questions.openRecordset(fetch, Db::Questions, {ids[size_t(p)]});
        QVariantList values;
        for (const QString &c : columns) {
            const std::optional<QString> v = q->value(c);
            values << (v ? QVariant(*v) : QVariant());
        }
        values << pointText << ids[size_t(p)];
        m_personnel.executeOrThrow(insert, Db::Personnel, values);
    }
    return true;
}

bool ExamBuilder::applyTypeRule(const QString &type, const QString &subject, const TypeRule &rule)
{
    for (const TypeRuleSegment &segment : rule.segments)
        for (const TypeRuleItem &item : segment.items)
            if (!drawQuestions(type, subject, segment.group, item.difficulty, item.count, rule.points))
                return false;
    return true;
}

int ExamBuilder::interimCount(const QString &type)
{
    return m_personnel.openRecordset(QStringLiteral("select count(*) as n from interim where 题型=?"), Db::Personnel,
                                     {type})
        ->getInt(QStringLiteral("n"));
}

QString ExamBuilder::copyTypeToExam(const QString &type, int firstNumber, int *copied)
{
    RecordsetPtr rows = m_personnel.openRecordset(
        QStringLiteral("select * from interim where 题型=? order by ID"), Db::Personnel, {type});
    const int m = rows->recordCount();
    if (copied)
        *copied = m;
    if (m == 0)
        return QString();
    static const QStringList columns{"科目", "题型", "题干", "A", "B", "C", "D", "E", "分值", "图片", "题库ID"};
    const QString insert = QStringLiteral("insert into exam (编号,%1) values (?,?,?,?,?,?,?,?,?,?,?,?)")
                               .arg(columns.join(QLatin1Char(',')));
    struct Drawn
    {
        QVariantList values;
        QString answer;
    };
    std::vector<Drawn> drawn;
    drawn.reserve(size_t(m));
    for (rows->moveFirst(); !rows->isEOF(); rows->moveNext()) {
        Drawn d;
        for (const QString &c : columns) {
            const std::optional<QString> v = rows->value(c);
            d.values << (v ? QVariant(*v) : QVariant());
        }
        d.answer = rows->getString(QStringLiteral("答案"));
        drawn.push_back(d);
    }
    rows->close();
    // A fresh order of all of them, independent of the order drawn.
    QString answers;
    int k = 0;
    for (std::uint64_t p : Random::pickDistinct(std::uint64_t(m), std::uint64_t(m))) {
        const Drawn &d = drawn[size_t(p)];
        m_personnel.executeOrThrow(insert, Db::Personnel, QVariantList{firstNumber + k} + d.values);
        answers += d.answer + QLatin1Char('|');
        ++k;
    }
    return answers;
}

ExamBuild::Result ExamBuilder::buildExam(const QString &examMode, const QString &paperName, const QString &option)
{
    using ExamBuild::Outcome;
    ExamBuild::Result result;
    ExamBuilder b;
    if (!b.open()) {
        result.outcome = Outcome::NoConnection;
        return result;
    }

    QList<Paper> rows;
    if (option == SubjectOption::Multi)
        rows = PaperStore::subjectRows(b.m_questions, paperName);
    else if (const std::optional<Paper> p = PaperStore::readPaperNamed(b.m_questions, paperName))
        rows << *p;
    if (rows.isEmpty()) {
        result.outcome = Outcome::NoPaper;
        return result;
    }

    // Every rule is read before anything is drawn: a text composition would
    // not have written (no ";" closing a segment, no "。", a count that is no
    // number) refuses the exam instead of being guessed at.
    const QStringList &types = QuestionTypes::all();
    for (const Paper &row : rows)
        for (int t = 0; t < types.size(); ++t)
            if (!isUsableRule(row.types[size_t(t)])) {
                result.outcome = Outcome::MalformedRule;
                result.type = types.at(t);
                return result;
            }

    DbTransaction tx(b.m_personnel, Db::Personnel);
    // A new exam always starts from empty tables.
    b.m_personnel.executeOrThrow(QStringLiteral("delete from interim"), Db::Personnel);
    b.m_personnel.executeOrThrow(QStringLiteral("delete from exam"), Db::Personnel);

    for (const Paper &row : rows) {
        const QString subject = option == SubjectOption::All ? kAnySubject : row.subject;
        // Essay rules are drawn in mock exams too: a bank that cannot supply
        // them ends the program all the same.
        for (int t = 0; t < types.size(); ++t)
            if (!b.applyTypeRule(types.at(t), subject, TypeRule::parse(row.types[size_t(t)]))) {
                result.outcome = Outcome::Shortage;
                result.type = types.at(t);
                return result; // rolled back: interim stays empty
            }
    }

    // Numbers run on across the types in their fixed order.
    int next = 1;
    for (int t = 0; t < types.size(); ++t) {
        if (types.at(t) == QuestionTypes::all().last() && examMode != ExamMode::Formal)
            break; // a mock exam shows no essay questions
        int copied = 0;
        result.answerKey += b.copyTypeToExam(types.at(t), next, &copied);
        next += copied;
    }
    result.questions = next - 1;
    tx.commit();
    return result;
}
