// What a command pays to reach the database: open personnel.mdb, read the
// first LastPass row, close — against a bare unencrypted engine doing the same
// on a plain copy of the file, in the same run.
#include "store/CADOConn.h"
#include "store/WorkDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "BenchMain.h"
#include <sqlite3.h>

namespace {

// Lives until the process ends; the benchmarks share one working directory.
QTemporaryDir *g_dir = nullptr;

void prepare()
{
    if (g_dir)
        return;
    g_dir = new QTemporaryDir;
    QString error;
    if (!WorkDir::prepare(g_dir->path(), &error))
        qFatal("%s", qPrintable(error));
    QDir::setCurrent(g_dir->path());
    // A plain copy of personnel.mdb for the bare engine.
    sqlite3 *db = nullptr;
    sqlite3_open_v2("personnel.mdb", &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, Db::Password, int(qstrlen(Db::Password)));
    sqlite3_exec(db, "ATTACH DATABASE 'plain.db' AS plaintext KEY ''; SELECT sqlcipher_export('plaintext'); DETACH DATABASE plaintext;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void BM_CADOConnCycle(benchmark::State &state)
{
    prepare();
    for (auto _ : state) {
        CADOConn conn;
        RecordsetPtr rs = conn.openRecordset("select * from LastPass", Db::Personnel);
        rs->moveFirst();
        benchmark::DoNotOptimize(rs->getString("系统管理员密码"));
        conn.close();
    }
}
BENCHMARK(BM_CADOConnCycle);

void BM_BareSqliteCycle(benchmark::State &state)
{
    prepare();
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2("plain.db", &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "select * from LastPass", -1, &stmt, nullptr);
        if (sqlite3_step(stmt) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
}
BENCHMARK(BM_BareSqliteCycle);

// The engine alone on the already open, keyed handle: what encryption costs.
void BM_KeyedHandleQueryOnly(benchmark::State &state)
{
    prepare();
    sqlite3 *db = nullptr;
    sqlite3_open_v2("personnel.mdb", &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, Db::Password, int(qstrlen(Db::Password)));
    if (state.range(0))
        sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "select * from LastPass", -1, &stmt, nullptr);
    for (auto _ : state) {
        sqlite3_reset(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, 0));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
BENCHMARK(BM_KeyedHandleQueryOnly)->Arg(0)->Arg(1);

// The first open of a process pays the key derivation once.
void BM_FirstOpenWithKeyDerivation(benchmark::State &state)
{
    prepare();
    for (auto _ : state) {
        CADOConn::releaseCachedHandles();
        CADOConn conn;
        benchmark::DoNotOptimize(conn.openConnection(Db::Personnel));
    }
}
BENCHMARK(BM_FirstOpenWithKeyDerivation)->Unit(benchmark::kMillisecond);

} // namespace

VORN_BENCHMARK_MAIN()
