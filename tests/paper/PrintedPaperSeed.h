#pragma once
// Bank questions and papers for the printed paper's tests.
#include "paper/Paper.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"

#include <QStringList>
#include <QVariant>

struct SeedQuestion
{
    QString type;
    QString stem;
    QString answer;
    QStringList options; // A to E; missing ones stay null
    QString subject = QStringLiteral("语文");
    QString group = QStringLiteral("员工");
    QString difficulty = QStringLiteral("简单");
    bool picture = false;
};

inline void addQuestion(const SeedQuestion &q)
{
    CADOConn conn;
    QVariantList params{q.subject, q.type, q.stem, q.answer};
    for (int i = 0; i < 5; ++i)
        params << (i < q.options.size() && !q.options.at(i).isEmpty() ? QVariant(q.options.at(i)) : QVariant());
    params << q.difficulty << q.group
           << (q.picture ? QVariant(q.type + QStringLiteral("1")) : QVariant());
    conn.executeOrThrow(QStringLiteral("insert into %1 (科目,题型,题干,答案,A,B,C,D,E,难度,对象,图片) "
                                       "values (?,?,?,?,?,?,?,?,?,?,?,?)")
                            .arg(QuestionType::checkedTable(q.type)),
                        Db::Questions, params);
}

// n questions of a type whose stems are <prefix>1 … <prefix>n.
inline void addQuestions(const QString &type, int n, const QString &prefix, SeedQuestion base = {})
{
    base.type = type;
    if (base.answer.isEmpty())
        base.answer = QStringLiteral("A");
    for (int i = 1; i <= n; ++i) {
        base.stem = prefix + QString::number(i);
        addQuestion(base);
    }
}

// A sealed paper row; rules in type order ("空" for none). Under 多科 the
// rules go to one subject row per entry of subjects, and the summary row
// gets the summed full score.
inline void storePaper(const QString &name, const QString &option, const std::array<QString, 5> &rules,
                       const QString &fullMarks, const QStringList &subjects = {QStringLiteral("语文")})
{
    CADOConn conn;
    Paper p;
    p.name = name;
    p.option = option;
    p.subject = option == SubjectOption::All     ? PaperSubjectText::None
                : option == SubjectOption::Multi ? PaperSubjectText::Various
                                                 : subjects.first();
    p.types = rules;
    p.total = QStringLiteral("1");
    p.fullMarks = fullMarks;
    p.created = QStringLiteral("2026/05/20 08:30:00");
    if (option == SubjectOption::Multi) {
        for (const QString &subject : subjects) {
            Paper row = p;
            row.subject = subject;
            PaperStore::savePaper(conn, row, true);
        }
        p.types = {PaperStore::summaryText(QStringLiteral("单选题"), int(subjects.size())), "空", "空", "空", "空"};
    }
    PaperStore::savePaper(conn, p, false);
}
