// Import of a questions.xls with 10,000 单选题 rows through the importer
// (reading the sheet, the inserts, the duplicate removal), beside a bare
// bulk insert of the same rows into the same table, and the peak memory.
#include "BankBench.h"

#include "bank/QuestionImport.h"
#include "store/XlsReader.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

const QString kSheet = QStringLiteral(VORN_SOURCE_DIR "/bench/fixtures/questions10k.xls");

void emptyTable()
{
    CADOConn conn;
    conn.execute(QStringLiteral("delete from 单选题"), Db::Questions);
    conn.close();
}

void BM_Import10000Rows(benchmark::State &state)
{
    BenchWorkDir work;
    const double before = peakRssMiB();
    int imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        emptyTable();
        state.ResumeTiming();
        XlsWorkbook book;
        if (!book.open(kSheet))
            state.SkipWithError("cannot open the sheet");
        const ImportResult r = QuestionImport::run(book, QStringLiteral("单选题"));
        imported = r.counted;
    }
    state.counters["rows"] = imported;
    state.counters["peak_rss_MiB"] = peakRssMiB();
    state.counters["peak_rss_before_MiB"] = before;
}

void BM_BareInsert10000Rows(benchmark::State &state)
{
    BenchWorkDir work;
    // The same rows, read once outside the timing.
    XlsWorkbook book;
    book.open(kSheet);
    const std::optional<XlsSheet> sheet = book.sheet(QStringLiteral("单选题"));
    std::vector<std::vector<QByteArray>> rows;
    for (const auto &r : sheet->rows) {
        std::vector<QByteArray> cells;
        for (const auto &c : r)
            cells.push_back(c.value_or(QString()).toUtf8());
        rows.push_back(std::move(cells));
    }
    sqlite3 *db = openBare();
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into 单选题 (科目,题型,题干,答案,A,B,C,D,E,难度,对象) values (?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &insert, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3_exec(db, "delete from 单选题", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const auto &r : rows) {
            for (size_t i = 0; i < r.size(); ++i)
                sqlite3_bind_text(insert, int(i) + 1, r[i].constData(), int(r[i].size()), SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    state.counters["rows"] = double(rows.size());
    sqlite3_finalize(insert);
    sqlite3_close_v2(db);
}

} // namespace

BENCHMARK(BM_Import10000Rows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BareInsert10000Rows)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
