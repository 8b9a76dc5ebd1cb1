#pragma once
// Quick filling of the question tables for the bank tests and benches.
#include "store/CADOConn.h"
#include "store/QuestionType.h"

#include <QDir>
#include <QString>

inline QString bankFixture(const QString &name)
{
    return QDir(QStringLiteral(VORN_SOURCE_DIR "/tests/bank/fixtures")).filePath(name);
}

// Appends n questions of a type; stems are "<prefix><i>" from 1.
inline void seedQuestions(const QString &type, int n, const QString &subject = QStringLiteral("语文"),
                          const QString &prefix = QStringLiteral("题"))
{
    CADOConn conn;
    DbTransaction tx(conn, Db::Questions);
    const QString sql = QStringLiteral("insert into %1 (科目,题型,题干,答案,A,B,C,难度,对象) values (?,?,?,?,?,?,?,?,?)")
                            .arg(QuestionType::checkedTable(type));
    for (int i = 1; i <= n; ++i)
        conn.executeOrThrow(sql, Db::Questions,
                            {subject, type, prefix + QString::number(i), QStringLiteral("A"), QStringLiteral("甲"),
                             QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("简单"), QStringLiteral("干部")});
    tx.commit();
    conn.close();
}
