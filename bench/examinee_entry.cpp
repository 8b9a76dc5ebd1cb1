// The examinee entry over 1,000 open exams and 100,000 open registrations,
// next to the bare engine reading the same rows and digesting the same bytes.
#include "admin/ExamineeEntry.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Encoding.h"
#include "store/Integrity.h"
#include "store/WorkDir.h"

#include <QCoreApplication>
#include <QCryptographicHash>
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

sqlite3 *g_bare = nullptr;

// Exams still open (their end far ahead), each with its roster and counters,
// all sealed as exam creation seals them.
void fill(sqlite3 *db)
{
    fillOpenExams(db, kExams, kPerExam, [](int, int r) {
        return BenchPerson{QStringLiteral("考生%1").arg(r), QStringLiteral("第%1车间").arg(r % 7),
                           QStringLiteral("技术员")};
    });
}

QString text(sqlite3_stmt *s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)), sqlite3_column_bytes(s, i));
}

// Reads the columns, digests their GB18030 bytes and compares with the stored
// code; returns the number of rows that match.
int readAndDigest(const char *sql, int fields)
{
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(g_bare, sql, -1, &s, nullptr);
    int matched = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        QString joined;
        for (int i = 0; i < fields; ++i)
            joined += text(s, i);
        const QByteArray digest =
            QCryptographicHash::hash(Encoding::toGb(joined), QCryptographicHash::Md5).toHex();
        if (QString::fromLatin1(digest) == text(s, fields))
            ++matched;
    }
    sqlite3_finalize(s);
    return matched;
}

void BM_ExamineeEntry(benchmark::State &state)
{
    const QDateTime now = Clock::now();
    for (auto _ : state) {
        const ExamineeEntry::Result r = ExamineeEntry::check(now);
        if (r.outcome != ExamineeEntry::Outcome::Ready || r.endedExams != 0)
            state.SkipWithError("the entry did not pass");
        benchmark::DoNotOptimize(r);
    }
}

void BM_BareReadAndDigest(benchmark::State &state)
{
    for (auto _ : state) {
        int matched = readAndDigest("select 考试名称,开始时间,结束时间,合格分数,时效,保存码 from ExamArrange", 5);
        matched += readAndDigest(
            "select 姓名,部门,职务,考试号,合格分数,保存码 from ExamRegister where 成绩 is null", 5);
        if (matched != kExams + kExams * kPerExam)
            state.SkipWithError("rows do not match their codes");
        benchmark::DoNotOptimize(matched);
    }
}

BENCHMARK(BM_ExamineeEntry)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareReadAndDigest)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sqlite3_close_v2(g_bare);
    CADOConn::releaseCachedHandles();
    return 0;
}
