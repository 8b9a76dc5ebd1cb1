#pragma once
// Open exams with their rosters for the benches of the examinee entry and the
// examinee screen, written with the bare engine and sealed as exam creation
// seals them.
#include "BankBench.h"
#include "store/CADOConn.h"
#include "store/Integrity.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <cstring>
#include <functional>

inline void bindText(sqlite3_stmt *s, int i, const QString &v)
{
    const QByteArray u = v.toUtf8();
    sqlite3_bind_text(s, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

struct BenchPerson
{
    QString name, department, post;
};

// Exams 1…exams, begun and open until 2099, paper 期中试卷, pass mark 60, each
// with perExam registrations (person(exam, row) names them) and its counters.
inline void fillOpenExams(sqlite3 *db, int exams, int perExam, const std::function<BenchPerson(int, int)> &person)
{
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *exam = nullptr, *reg = nullptr, *join = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into ExamArrange (考试号,考试名称,试卷名称,开始时间,结束时间,考试时限,合格分数,保存码) "
                       "values (?,?,'期中试卷',?,?,'90','60',?)",
                       -1, &exam, nullptr);
    sqlite3_prepare_v2(db, "insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values (?,?,?,?,'60',?)",
                       -1, &reg, nullptr);
    sqlite3_prepare_v2(db, "insert into JoinExam (考试号,考生质量,考生数量) values (?,?,?)", -1, &join, nullptr);
    const QString start = QStringLiteral("2019/05/20 08:30");
    const QString end = QStringLiteral("2099/12/31 23:59");
    for (int e = 1; e <= exams; ++e) {
        const QString name = QStringLiteral("第%1次安全知识考试").arg(e);
        sqlite3_bind_int(exam, 1, e);
        bindText(exam, 2, name);
        bindText(exam, 3, start);
        bindText(exam, 4, end);
        bindText(exam, 5, examCode(name, start, end, "60", QString()));
        sqlite3_step(exam);
        sqlite3_reset(exam);
        for (int r = 0; r < perExam; ++r) {
            const BenchPerson p = person(e, r);
            const QString no = QString::number(e);
            bindText(reg, 1, p.name);
            bindText(reg, 2, p.department);
            bindText(reg, 3, p.post);
            bindText(reg, 4, no);
            bindText(reg, 5, registrationCode(p.name, p.department, p.post, no, "60"));
            sqlite3_step(reg);
            sqlite3_reset(reg);
        }
        sqlite3_bind_int(join, 1, e);
        sqlite3_bind_int(join, 2, perExam);
        sqlite3_bind_int(join, 3, perExam + 5);
        sqlite3_step(join);
        sqlite3_reset(join);
    }
    sqlite3_finalize(exam);
    sqlite3_finalize(reg);
    sqlite3_finalize(join);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}
