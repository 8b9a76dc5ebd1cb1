// The bank browser over 100,000 questions: one search listing a page, and
// each paging command, as the screen runs them (the list filled included),
// beside the bare engine counting the same matches.
#include "BankBench.h"

#include "bank/CExamPaper.h"
#include "bank/QuestionSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>

#include <benchmark/benchmark.h>

namespace {

// 40,000 单选题, 20,000 判断题 and 填空题, 10,000 多选题 and 问答题.
void fillBank()
{
    sqlite3 *db = openBare();
    const std::pair<const char *, int> types[] = {
        {"单选题", 40000}, {"判断题", 20000}, {"填空题", 20000}, {"多选题", 10000}, {"问答题", 10000}};
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const auto &[type, n] : types) {
        sqlite3_stmt *insert = nullptr;
        const QByteArray sql = QByteArray("insert into ") + type
                               + " (科目,题型,题干,答案,A,B,C,D,E,难度,对象) values (?,?,?,?,?,?,?,?,?,?,?)";
        sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr);
        for (int i = 1; i <= n; ++i) {
            const QByteArray subject = "科目" + QByteArray::number(i % 10);
            const QByteArray stem = "第" + QByteArray::number(i) + "题：下列关于安全生产的说法中，哪一项是正确的？";
            const QByteArray a = "选项内容A" + QByteArray::number(i);
            const QByteArray cells[] = {subject, type, stem, "A", a, "选项内容B", "选项内容C", "选项内容D", "", "中等", "干部"};
            for (int c = 0; c < 11; ++c)
                sqlite3_bind_text(insert, c + 1, cells[c].constData(), int(cells[c].size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

BenchWorkDir *g_work = nullptr;

struct Screen
{
    CExamPaper screen;
    Screen()
    {
        for (int id : {1055, 1065, 1066, 1083, 1085})
            screen.control<QCheckBox>(id)->setChecked(true);
    }
    void click(int id) { screen.control<QPushButton>(id)->click(); }
};

void BM_SearchFirstPage(benchmark::State &state)
{
    Screen s;
    for (auto _ : state)
        s.click(1067);
    state.counters["rows_shown"] = s.screen.control<QTableWidget>(1031)->rowCount();
    state.counters["pages"] = s.screen.pageCount();
}

void BM_SearchKeyword(benchmark::State &state)
{
    Screen s;
    s.screen.setText(1051, QStringLiteral("99"));
    for (auto _ : state)
        s.click(1067);
    state.counters["pages"] = s.screen.pageCount();
}

// 末页 from page 1, 首页 from the last page, >> and << in the middle.
void BM_PagingLast(benchmark::State &state)
{
    Screen s;
    s.click(1067);
    for (auto _ : state) {
        state.PauseTiming();
        s.click(1076);
        state.ResumeTiming();
        s.click(1079);
    }
    state.counters["page"] = s.screen.currentPage();
}

void BM_PagingFirst(benchmark::State &state)
{
    Screen s;
    s.click(1067);
    for (auto _ : state) {
        state.PauseTiming();
        s.click(1079);
        state.ResumeTiming();
        s.click(1076);
    }
    state.counters["page"] = s.screen.currentPage();
}

void BM_PagingNextAndPrevious(benchmark::State &state)
{
    Screen s;
    s.click(1067);
    s.click(1079);
    for (int i = 0; i < 3; ++i)
        s.click(1078);
    for (auto _ : state) {
        s.click(1077); // >>
        s.click(1078); // <<
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
