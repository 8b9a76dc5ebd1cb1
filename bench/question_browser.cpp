// The bank browser over 100,000 questions: one search listing a page, and
// each paging command, as the screen runs them (the list filled included),
// beside the bare engine counting the same matches.
#include "BankBench.h"

#include "bank/CExamPaper.h"
#include "bank/QuestionSearch.h"
#include "store/Schema.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>

#include <benchmark/benchmark.h>

namespace {

BenchWorkDir *g_work = nullptr;

struct Screen
{
    CExamPaper screen;
    Screen()
    {
        for (int id : {CExamPaper::SingleType, CExamPaper::JudgeType, CExamPaper::BlankType, CExamPaper::MultipleType, CExamPaper::EssayType})
            screen.control<QCheckBox>(id)->setChecked(true);
    }
    void click(int id) { screen.control<QPushButton>(id)->click(); }
};

void BM_SearchFirstPage(benchmark::State &state)
{
    Screen s;
    for (auto _ : state)
        s.click(CExamPaper::Search);
    state.counters["rows_shown"] = s.screen.control<QTableWidget>(CExamPaper::List)->rowCount();
    state.counters["pages"] = s.screen.pageCount();
}

void BM_SearchKeyword(benchmark::State &state)
{
    Screen s;
    s.screen.setText(CExamPaper::Keyword, QStringLiteral("99"));
    for (auto _ : state)
        s.click(CExamPaper::Search);
    state.counters["pages"] = s.screen.pageCount();
}

// 末页 from page 1, 首页 from the last page, >> and << in the middle.
void BM_PagingLast(benchmark::State &state)
{
    Screen s;
    s.click(CExamPaper::Search);
    for (auto _ : state) {
        state.PauseTiming();
        s.click(CExamPaper::FirstPage);
        state.ResumeTiming();
        s.click(CExamPaper::LastPage);
    }
    state.counters["page"] = s.screen.currentPage();
}

void BM_PagingFirst(benchmark::State &state)
{
    Screen s;
    s.click(CExamPaper::Search);
    for (auto _ : state) {
        state.PauseTiming();
        s.click(CExamPaper::LastPage);
        state.ResumeTiming();
        s.click(CExamPaper::FirstPage);
    }
    state.counters["page"] = s.screen.currentPage();
}

void BM_PagingNextAndPrevious(benchmark::State &state)
{
    Screen s;
    s.click(CExamPaper::Search);
    s.click(CExamPaper::LastPage);
    for (int i = 0; i < 3; ++i)
        s.click(CExamPaper::PreviousPage);
    for (auto _ : state) {
        s.click(CExamPaper::NextPage); // >>
        s.click(CExamPaper::PreviousPage); // <<
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.counters["page"] = s.screen.currentPage();
}

void BM_BareCountAll(benchmark::State &state)
{
    sqlite3 *db = openBare();
    for (auto _ : state) {
        for (const char *sql : {"select count(*) from 单选题 where 题型='单选题'", "select count(*) from 判断题 where 题型='判断题'",
                                "select count(*) from 填空题 where 题型='填空题'", "select count(*) from 多选题 where 题型='多选题'",
                                "select count(*) from 问答题 where 题型='问答题'"}) {
            sqlite3_stmt *stmt = nullptr;
            sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
            sqlite3_step(stmt);
            benchmark::DoNotOptimize(sqlite3_column_int(stmt, 0));
            sqlite3_finalize(stmt);
        }
    }
    sqlite3_close_v2(db);
}

} // namespace

BENCHMARK(BM_SearchFirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeyword)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagingFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagingLast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagingNextAndPrevious)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCountAll)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchWorkDir work;
    g_work = &work;
    fillBank();
    // --without-indexes: the same runs on the bank as it was before its
    // indexes, for comparison. The handle keeps them dropped for the process.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--without-indexes") == 0) {
            CADOConn conn;
            for (const QString &sql : Schema::indexes(Db::Questions))
                conn.execute(QStringLiteral("drop index if exists %1").arg(sql.section(QLatin1Char(' '), 5, 5)),
                             Db::Questions);
            conn.close();
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            break;
        }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
