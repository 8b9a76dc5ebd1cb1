// The stored sitting's writes: one answer saved by the exam window (the
// working table, the sitting's question row and its time left, sealed, in one
// commit that reaches the disk) and one write of the time left alone, beside
// the bare engine running the same three updates without the sync to disk.
#include "ExamWindowBench.h"

#include "exam/CVornDlg.h"
#include "exam/ExamSitting.h"
#include "exam/KeyboardLock.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Sitting.h"

#include "exam/ExamSheetSeed.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

QString g_key;
int g_registration = 0;
int g_sitting = 0;

void BM_SittingSaveAnswer(benchmark::State &state)
{
    ExamHandover h = handoverFor(g_key, QString::number(g_registration), kFormal);
    h.sittingId = g_sitting;
    CVornDlg dlg(h);
    dlg.show();
    dlg.control<QAbstractButton>(CVornDlg::Start)->click();
    dlg.showQuestion(50);
    dlg.control<QAbstractButton>(CVornDlg::SingleB)->setChecked(true);
    for (auto _ : state)
        dlg.saveAnswer(50);
}

void BM_SittingSaveTime(benchmark::State &state)
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    int left = 3600;
    for (auto _ : state)
        Sitting::saveTime(conn, g_sitting, --left);
}

// The same three updates on the bare engine, without the sync to disk.
void BM_BareSaveNoSync(benchmark::State &state)
{
    sqlite3 *db = openKeyed(QStringLiteral("bare.mdb"));
    sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    int left = 3600;
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "update exam set 答题='B' where 编号=50", nullptr, nullptr, nullptr);
        sqlite3_exec(db,
                     "update SittingQuestion set 答题='B',标记=0,保存码='0123456789abcdef0123456789abcdef' "
                     "where 场次=1 and 编号=50",
                     nullptr, nullptr, nullptr);
        const QByteArray sql = "update Sitting set 剩余秒数=" + QByteArray::number(--left)
                               + ",保存码='0123456789abcdef0123456789abcdef' where ID=1";
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db);
}

} // namespace

BENCHMARK(BM_SittingSaveAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SittingSaveTime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareSaveNoSync)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    ExamWindowBench bench(argc, argv);
    g_registration = bench.registration;
    QList<SheetQuestion> q;
    for (int i = 1; i <= 100; ++i)
        q << SheetQuestion{"单选题", QString("第%1题单选题的题干文字").arg(i), {"甲", "乙", "丙", "丁"}, "1", QVariant(), "A"};
    g_key = seedExamSheet(q);
    g_sitting = ExamSitting::start(handoverFor(g_key, QString::number(g_registration), kFormal, "60"), "1",
                                   Clock::now());
    {
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        benchmark::AddCustomContext(
            "personnel.mdb synchronous",
            conn.openRecordset(QStringLiteral("PRAGMA synchronous"), Db::Personnel)->getString("synchronous").toStdString());
        benchmark::AddCustomContext(
            "personnel.mdb journal_mode",
            conn.openRecordset(QStringLiteral("PRAGMA journal_mode"), Db::Personnel)->getString("journal_mode").toStdString());
    }
    return bench.run(argc, argv);
}
