// The roster: the import of an examinee.xls with 10,000 people through the
// importer (reading the sheet, the inserts, the duplicate removal) beside a
// bare bulk insert of the same rows, with the peak memory; and 显示全部 over
// a roster of 100,000 people, timed until the list is painted; and exam
// management's name drop-down of the 100,000 people an exam has not
// registered, filled when the exam is ticked and opened once.
#include "BankBench.h"
#include "BenchMain.h"

#include "admin/CExamManagement.h"
#include "admin/CExamManager.h"
#include "admin/ExamCreation.h"
#include "admin/Roster.h"
#include "store/XlsReader.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

#include <benchmark/benchmark.h>

namespace {

const QString kSheet = QStringLiteral(VORN_SOURCE_DIR "/bench/fixtures/examinee10k/examinee.xls");

void emptyRoster()
{
    CADOConn conn;
    conn.execute(QStringLiteral("delete from examinee"), Db::Personnel);
    conn.close();
}

void BM_ImportExaminees10000(benchmark::State &state)
{
    BenchWorkDir work;
    const double before = peakRssMiB();
    int imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        emptyRoster();
        state.ResumeTiming();
        XlsWorkbook book;
        if (!book.open(kSheet))
            state.SkipWithError("cannot open the sheet");
        const RosterImportResult r = RosterImport::run(book);
        imported = r.counted;
    }
    state.counters["rows"] = imported;
    state.counters["peak_rss_MiB"] = peakRssMiB();
    state.counters["peak_rss_before_MiB"] = before;
}

void BM_BareInsertExaminees10000(benchmark::State &state)
{
    BenchWorkDir work;
    XlsWorkbook book;
    book.open(kSheet);
    const std::optional<XlsSheet> sheet = book.sheet(QStringLiteral("Sheet1"));
    std::vector<std::array<QByteArray, 3>> rows;
    for (const auto &r : sheet->rows)
        rows.push_back({r[0].value_or(QString()).toUtf8(), r[1].value_or(QString()).toUtf8(),
                        r[2].value_or(QString()).toUtf8()});
    CADOConn::releaseCachedHandles();
    sqlite3 *db = openKeyed(Db::Personnel);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "insert into examinee (姓名,部门,职务) values (?,?,?)", -1, &insert, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3_exec(db, "delete from examinee", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const auto &r : rows) {
            for (int i = 0; i < 3; ++i)
                sqlite3_bind_text(insert, i + 1, r[i].constData(), int(r[i].size()), SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    state.counters["rows"] = double(rows.size());
    sqlite3_finalize(insert);
    sqlite3_close_v2(db);
}

void fillRoster100000()
{
    {
        sqlite3 *db = openKeyed(Db::Personnel);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db, "insert into examinee (姓名,部门,职务) values (?,?,?)", -1, &insert, nullptr);
        for (int i = 1; i <= 100000; ++i) {
            const QByteArray cells[3] = {"考生" + QByteArray::number(i), "部门" + QByteArray::number(i % 20),
                                         "职务" + QByteArray::number(i % 7)};
            for (int c = 0; c < 3; ++c)
                sqlite3_bind_text(insert, c + 1, cells[c].constData(), int(cells[c].size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }
}

void BM_ShowAll100000(benchmark::State &state)
{
    BenchWorkDir work;
    fillRoster100000();
    CExamManager screen;
    screen.show();
    auto *list = screen.control<QTableView>(CExamManager::List);
    for (auto _ : state) {
        state.PauseTiming();
        screen.control<QPushButton>(CExamManager::ClearList)->click();
        state.ResumeTiming();
        screen.control<QPushButton>(CExamManager::ShowAll)->click();
        list->viewport()->repaint();
    }
    state.counters["rows_shown"] = list->model()->rowCount();
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

void BM_UnregisteredNames100000(benchmark::State &state)
{
    BenchWorkDir work;
    fillRoster100000();
    {
        sqlite3 *db = openKeyed(Db::Questions);
        sqlite3_exec(db, "insert into exampaper (名称,满分,问答题) values ('卷','100','空')", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }
    const ExamRequest q{QStringLiteral("年度考试"), QStringLiteral("2019/05/20 08:30"), QStringLiteral("2030/05/20 10:00"),
                        QStringLiteral("90"),      QStringLiteral("60"),               QStringLiteral("卷"),
                        QStringLiteral("100"),     QStringLiteral("空")};
    // One person outside the roster: all 100,000 remain to be registered.
    if (ExamCreation::create(q, {ExamCandidate{QStringLiteral("外来"), QStringLiteral("部门"), QStringLiteral("职务")}})
        != ExamCreation::Outcome::Created)
        state.SkipWithError("no exam");
    CExamManagement screen;
    screen.show();
    auto *exams = screen.control<QTableWidget>(CExamManagement::Exams);
    auto *names = screen.control<QComboBox>(CExamManagement::Names);
    for (auto _ : state) {
        state.PauseTiming();
        exams->item(0, 0)->setCheckState(Qt::Unchecked);
        state.ResumeTiming();
        exams->item(0, 0)->setCheckState(Qt::Checked);
        names->showPopup();
        QApplication::processEvents();
        names->hidePopup();
    }
    state.counters["names"] = names->count();
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

} // namespace

BENCHMARK(BM_ImportExaminees10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareInsertExaminees10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowAll100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnregisteredNames100000)->Unit(benchmark::kMillisecond);

VORN_WIDGET_BENCHMARK_MAIN()
