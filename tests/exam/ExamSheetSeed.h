#pragma once
// A drawn exam as an outsider writes it into the working table exam, with the
// answer key the examinee screen would hand over.
#include "exam/ExamHandover.h"
#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "store/Schema.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

struct SheetQuestion
{
    QString type;
    QString stem;
    QStringList options; // A.. (missing ones stay null)
    QString points;
    QVariant answer;     // null = unanswered
    QString reference;
    QVariant picture = QVariant();
};

// Makes exam empty and fills it; returns the answer key.
inline QString seedExamSheet(const QList<SheetQuestion> &questions)
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    conn.execute(Schema::examSheet().drop, Db::Personnel);
    conn.execute(Schema::examSheet().create, Db::Personnel);
    QString key;
    int number = 0;
    for (const SheetQuestion &q : questions) {
        QVariantList v{++number, QStringLiteral("语文"), q.type, q.stem};
        for (int i = 0; i < 5; ++i)
            v << (i < q.options.size() ? QVariant(q.options[i]) : QVariant());
        v << q.answer << q.points << q.picture;
        conn.executeOrThrow(QStringLiteral("insert into exam (编号,科目,题型,题干,A,B,C,D,E,答题,分值,图片) "
                                           "values (?,?,?,?,?,?,?,?,?,?,?,?)"),
                            Db::Personnel, v);
        key += q.reference + QLatin1Char('|');
    }
    conn.close();
    return key;
}

// An open registration of 张三 for exam 1 with pass mark 60; returns its ID.
inline int seedRegistration()
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    conn.executeOrThrow(QStringLiteral("insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values (?,?,?,?,?,?)"),
                        Db::Personnel,
                        {QStringLiteral("张三"), QStringLiteral("财务部"), QStringLiteral("会计"), QStringLiteral("1"),
                         QStringLiteral("60"),
                         registrationCode(QStringLiteral("张三"), QStringLiteral("财务部"), QStringLiteral("会计"),
                                          QStringLiteral("1"), QStringLiteral("60"))});
    const RecordsetPtr rs = conn.openRecordset(QStringLiteral("select max(ID) as id from ExamRegister"), Db::Personnel);
    const int id = rs->getInt(QStringLiteral("id"));
    conn.close();
    return id;
}

inline ExamHandover handoverFor(const QString &key, const QString &registrationId, ExamMode mode,
                                const QString &limit = QStringLiteral("60"))
{
    ExamHandover h;
    h.answerKey = key;
    h.examName = QStringLiteral("年度考试");
    h.timeLimit = limit;
    h.registrationId = registrationId;
    h.examMode = mode;
    h.passMark = 60;
    return h;
}

inline constexpr ExamMode kFormal = ExamMode::Formal;
inline constexpr ExamMode kMock = ExamMode::Mock;
