// Creating an exam for 10,000 chosen people over an ExamRegister that
// already holds 100,000 registrations: the exam row, 10,000 sealed
// registrations, the duplicate removal and the counters in one transaction,
// beside a bare insert of the same rows with their digests.
#include "BankBench.h"

#include "admin/ExamCreation.h"
#include "store/Integrity.h"

#include <benchmark/benchmark.h>

#include "BenchMain.h"

namespace {

QList<ExamCandidate> chosenPeople()
{
    QList<ExamCandidate> people;
    for (int i = 1; i <= 10000; ++i)
        people << ExamCandidate{QStringLiteral("考生%1").arg(i, 5, 10, QLatin1Char('0')),
                                QStringLiteral("部门%1").arg(i % 20), QStringLiteral("职务%1").arg(i % 7)};
    return people;
}

// 100,000 registrations of 100 earlier exams, and one paper.
void seed()
{
    CADOConn::releaseCachedHandles();
    sqlite3 *db = openKeyed(Db::Personnel);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values (?,?,?,?,?,?)", -1,
                       &insert, nullptr);
    for (int i = 0; i < 100000; ++i) {
        const QByteArray cells[6] = {"旧考生" + QByteArray::number(i), "部门", "职务", QByteArray::number(1000 + i / 1000),
                                     "60", "0123456789abcdef0123456789abcdef"};
        for (int c = 0; c < 6; ++c)
            sqlite3_bind_text(insert, c + 1, cells[c].constData(), int(cells[c].size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    db = openKeyed(Db::Questions);
    sqlite3_exec(db, "insert into exampaper (名称,满分,问答题) values ('卷','100','空')", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

void removeNewExams(sqlite3 *db)
{
    sqlite3_exec(db, "delete from ExamRegister where cast(考试号 as integer) < 1000; delete from ExamArrange; "
                     "delete from JoinExam",
                 nullptr, nullptr, nullptr);
}

void BM_CreateExamFor10000(benchmark::State &state)
{
    BenchWorkDir work;
    seed();
    const QList<ExamCandidate> people = chosenPeople();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CADOConn::releaseCachedHandles();
        sqlite3 *db = openKeyed(Db::Personnel);
        removeNewExams(db);
        sqlite3_close_v2(db);
        ExamRequest q;
        q.name = QStringLiteral("考试%1").arg(++round);
        q.start = QStringLiteral("2019/05/20 08:30");
        q.end = QStringLiteral("2019/05/20 10:00");
        q.timeLimit = QStringLiteral("90");
        q.passMark = QStringLiteral("60");
        q.paper = QStringLiteral("卷");
        q.fullMarks = QStringLiteral("100");
        q.essay = QStringLiteral("空");
        state.ResumeTiming();
        if (ExamCreation::create(q, people) != ExamCreation::Outcome::Created)
            state.SkipWithError("not created");
    }
    state.counters["registrations"] = double(people.size());
}

void BM_BareInsert10000WithDigests(benchmark::State &state)
{
    BenchWorkDir work;
    seed();
    const QList<ExamCandidate> people = chosenPeople();
    sqlite3 *db = openKeyed(Db::Personnel);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values (?,?,?,?,?,?)", -1,
                       &insert, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        removeNewExams(db);
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const ExamCandidate &p : people) {
            const QByteArray cells[6] = {p.name.toUtf8(), p.department.toUtf8(), p.post.toUtf8(), "1", "60",
                                         registrationCode(p.name, p.department, p.post, QStringLiteral("1"),
                                                          QStringLiteral("60"))
                                             .toUtf8()};
            for (int c = 0; c < 6; ++c)
                sqlite3_bind_text(insert, c + 1, cells[c].constData(), int(cells[c].size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(insert);
    sqlite3_close_v2(db);
    state.counters["registrations"] = double(people.size());
}

} // namespace

BENCHMARK(BM_CreateExamFor10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareInsert10000WithDigests)->Unit(benchmark::kMillisecond);

VORN_BENCHMARK_MAIN()
