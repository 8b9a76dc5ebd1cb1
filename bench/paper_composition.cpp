// Papers: the available count of one rule over a bank of 100,000 questions
// (what the user waits for after each change of subject, group or
// difficulty) beside the bare count on an unencrypted copy, and the paper
// management screen opening over 1,000 stored papers.
#include "BankBench.h"

#include "paper/CTestManage.h"
#include "paper/Paper.h"

#include <QApplication>
#include <QFile>
#include <QTableWidget>

#include <benchmark/benchmark.h>

namespace {

void BM_AvailableCount(benchmark::State &state)
{
    const bool all = state.range(0) != 0;
    int n = 0;
    for (auto _ : state) {
        CADOConn conn; // a command opens and closes its own wrapper
        n = PaperStore::availableCount(conn, QStringLiteral("单选题"), QStringLiteral("科目3"), QStringLiteral("干部"),
                                       QStringLiteral("中等"), all);
        conn.close();
    }
    state.counters["count"] = n;
}

void BM_BareCountUnencrypted(benchmark::State &state)
{
    const bool all = state.range(0) != 0;
    sqlite3 *db = nullptr;
    sqlite3_open_v2("plain.db", &db, SQLITE_OPEN_READONLY, nullptr);
    const char *sql = all ? "select count(*) from 单选题 where 题型='单选题' and 对象='干部' and 难度='中等'"
                          : "select count(*) from 单选题 where 题型='单选题' and 科目='科目3' and 对象='干部' and 难度='中等'";
    int n = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        sqlite3_step(stmt);
        n = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    state.counters["count"] = n;
}

void BM_TestManageOpen(benchmark::State &state)
{
    int rows = 0;
    for (auto _ : state) {
        CTestManage screen;
        rows = screen.control<QTableWidget>(CTestManage::List)->rowCount();
    }
    state.counters["papers"] = rows;
}

// A plain (unencrypted) copy of the questions file, indexes included.
void makePlainCopy()
{
    // The bare handle opens without create, and so does what it attaches.
    QFile(QStringLiteral("plain.db")).open(QIODevice::WriteOnly);
    sqlite3 *db = openBare();
    for (const char *sql : {"ATTACH DATABASE 'plain.db' AS plaintext KEY ''", "SELECT sqlcipher_export('plaintext')",
                            "DETACH DATABASE plaintext"})
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "plain copy: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
    sqlite3_close_v2(db);
}

void storePapers(int n)
{
    CADOConn conn;
    DbTransaction tx(conn, Db::Questions);
    for (int i = 0; i < n; ++i) {
        Paper p;
        p.name = QStringLiteral("试卷%1").arg(i);
        p.subject = QStringLiteral("科目%1").arg(i % 10);
        p.option = SubjectOption::Single;
        p.types = {QStringLiteral("每题2.0分。员工:简单=5,中等=3,;干部:困难=2,;"), QStringLiteral("每题1.0分。员工:简单=10,;"),
                   TypeRule::Empty, TypeRule::Empty, QStringLiteral("每题10.0分。干部:困难=2,;")};
        p.total = QStringLiteral("32");
        p.fullMarks = QStringLiteral("50.0");
        p.created = QStringLiteral("2026/05/20 08:30:00");
        PaperStore::savePaper(conn, p, false);
    }
    tx.commit();
}

} // namespace

BENCHMARK(BM_AvailableCount)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCountUnencrypted)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TestManageOpen)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchWorkDir work;
    fillBank();
    makePlainCopy();
    storePapers(1000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
