// The examinee screen's formal query of one person registered for 20 exams,
// with 100,000 registrations over 1,000 exams, next to the bare engine
// running the same selections.
#include "exam/ExamList.h"
#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "store/WorkDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "ExamBench.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kExams = 1000;
constexpr int kPerExam = 100;
constexpr int kTargetExams = 20;
const QString kTarget = QStringLiteral("王小明");
const QString kDept = QStringLiteral("第3车间");
const QString kPost = QStringLiteral("技术员");

sqlite3 *g_bare = nullptr;

// Exams begun and open, each with 100 registrations and its counters; the
// target person holds one registration in every 50th exam.
void fill(sqlite3 *db)
{
    fillOpenExams(db, kExams, kPerExam, [](int e, int r) {
        const bool target = r == 0 && e % (kExams / kTargetExams) == 0;
        return BenchPerson{target ? kTarget : QStringLiteral("考生%1").arg(e * kPerExam + r),
                           target ? kDept : QStringLiteral("第%1车间").arg(r % 7), kPost};
    });
}

void addPaper()
{
    CADOConn conn;
    conn.execute(QStringLiteral("insert into exampaper (名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题) "
                                "values ('期中试卷','语文','单科','空','空','空','空','空')"),
                 Db::Questions);
}

void BM_FormalQuery(benchmark::State &state)
{
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        const ExamList::Result r = ExamList::queryFormal(kTarget, kDept, kPost, now);
        if (r.outcome != ExamList::Outcome::Listed || r.rows.size() != kTargetExams)
            state.SkipWithError("the query did not list the person's exams");
        benchmark::DoNotOptimize(r);
    }
}

int countRows(sqlite3_stmt *s)
{
    int n = 0;
    while (sqlite3_step(s) == SQLITE_ROW)
        ++n;
    sqlite3_reset(s);
    return n;
}

// The same selections on the bare engine, with the same indexes: the
// person's registrations, and for each the count, the counter row and the
// exam row.
void BM_BareSelections(benchmark::State &state)
{
    sqlite3_stmt *regs = nullptr, *count = nullptr, *join = nullptr, *exam = nullptr;
    sqlite3_prepare_v2(g_bare, "select * from ExamRegister where 姓名=? and 部门=? and 职务=? and 成绩 is null", -1,
                       &regs, nullptr);
    sqlite3_prepare_v2(g_bare, "select count(*) from ExamRegister where 考试号=?", -1, &count, nullptr);
    sqlite3_prepare_v2(g_bare, "select * from JoinExam where 考试号=?", -1, &join, nullptr);
    sqlite3_prepare_v2(g_bare, "select * from ExamArrange where 考试号=?", -1, &exam, nullptr);
    for (auto _ : state) {
        bindText(regs, 1, kTarget);
        bindText(regs, 2, kDept);
        bindText(regs, 3, kPost);
        int listed = 0;
        while (sqlite3_step(regs) == SQLITE_ROW) {
            const int no = sqlite3_column_int(regs, 4);
            sqlite3_bind_int(count, 1, no);
            sqlite3_bind_int(join, 1, no);
            sqlite3_bind_int(exam, 1, no);
            countRows(count);
            countRows(join);
            listed += countRows(exam);
        }
        sqlite3_reset(regs);
        if (listed != kTargetExams)
            state.SkipWithError("bare selections found other rows");
    }
    for (sqlite3_stmt *s : {regs, count, join, exam})
        sqlite3_finalize(s);
}

BENCHMARK(BM_FormalQuery)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareSelections)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString error;
    if (!dir.isValid() || !WorkDir::prepare(dir.path(), &error)) {
        std::fprintf(stderr, "cannot prepare a working directory: %s\n", qPrintable(error));
        return 1;
    }
    QDir::setCurrent(dir.path());
    g_bare = openKeyed(Db::Personnel);
    fill(g_bare);
    addPaper();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sqlite3_close_v2(g_bare);
    CADOConn::releaseCachedHandles();
    return 0;
}
