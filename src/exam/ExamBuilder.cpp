#include "exam/ExamBuilder.h"

#include "paper/Paper.h"
#include "paper/QuestionDraw.h"
#include "paper/TypeRule.h"
#include "store/QuestionType.h"

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
        return QuestionDraw::shortageMessage(result.type);
    case Outcome::MalformedRule:
        return QStringLiteral("本次考试试卷的“") + result.type + QStringLiteral("”出题规则已损坏,无法进行考试！");
    }
    return QString();
}

} // namespace ExamBuild

bool ExamBuilder::isUsableRule(const QString &text)
{
    return text.isEmpty() || text == TypeRule::Empty || TypeRule::isWellFormed(text);
}

bool ExamBuilder::open()
{
    return m_questions.openConnection(Db::Questions) && m_personnel.openConnection(Db::Personnel);
}

QString ExamBuilder::copyTypeToExam(const QString &type, int firstNumber, int *copied)
{
    // The reference answers stay out of exam: they go into the key only.
    static const QStringList columns{"科目", "题型", "题干", "A", "B", "C", "D", "E", "分值", "图片", "题库ID"};
    const QStringList answers = QuestionDraw::copyShuffled(m_personnel, Db::Personnel, type, firstNumber, columns);
    if (copied)
        *copied = int(answers.size());
    QString key;
    for (const QString &answer : answers)
        key += answer + QLatin1Char('|');
    return key;
}

ExamBuild::Result ExamBuilder::buildExam(ExamMode examMode, const QString &paperName, const QString &option)
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
    const QStringList &types = QuestionType::names();
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
        const std::optional<QString> subject = QuestionDraw::subjectOf(option, row.subject);
        // Essay rules are drawn in mock exams too: a bank that cannot supply
        // them ends the program all the same.
        for (int t = 0; t < types.size(); ++t)
            if (!QuestionDraw::drawRule(b.m_questions, b.m_personnel, Db::Personnel, types.at(t), subject,
                                        TypeRule::parse(row.types[size_t(t)]), QuestionDraw::Pictures::Included)) {
                result.outcome = Outcome::Shortage;
                result.type = types.at(t);
                return result; // rolled back: interim stays empty
            }
    }

    // Numbers run on across the types in their fixed order.
    int next = 1;
    for (int t = 0; t < types.size(); ++t) {
        if (QuestionType::is(types.at(t), QuestionType::Essay) && examMode != ExamMode::Formal)
            break; // a mock exam shows no essay questions
        int copied = 0;
        result.answerKey += b.copyTypeToExam(types.at(t), next, &copied);
        next += copied;
    }
    result.questions = next - 1;
    tx.commit();
    return result;
}
