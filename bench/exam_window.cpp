// The exam window over a 190-question exam: showing a question, saving an
// answer and one full paint; and submitExam of a 190-question exam with 10
// essays next to the bare engine writing the same rows in one transaction.
#include "ExamWindowBench.h"

#include "exam/CVornDlg.h"
#include "exam/ExamRules.h"
#include "exam/ExamSubmission.h"
#include "exam/KeyboardLock.h"
#include "store/CADOConn.h"
#include "store/Clock.h"

#include "exam/ExamSheetSeed.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstring>

namespace {

QString g_key;
int g_registration = 0;

// 190 questions of every type in type order, the last 10 of them essays.
QList<SheetQuestion> exam190()
{
    QList<SheetQuestion> q;
    const QStringList opts{"甲选项的文字", "乙选项的文字", "丙选项的文字", "丁选项的文字", "戊选项的文字"};
    for (int i = 0; i < 60; ++i)
        q << SheetQuestion{"单选题", QString("第%1题单选题的题干文字").arg(i + 1), opts, "1", QVariant(), "A"};
    for (int i = 0; i < 40; ++i)
        q << SheetQuestion{"判断题", "判断题的题干", {"正确", "错误"}, "1", QVariant(), "B"};
    for (int i = 0; i < 40; ++i)
        q << SheetQuestion{"填空题", "首都是【】，最大城市是【】。", {}, "2", "北京#x", "北京#上海"};
    for (int i = 0; i < 40; ++i)
        q << SheetQuestion{"多选题", "多选题的题干", opts, "2", "ABD", "ABD"};
    for (int i = 0; i < 10; ++i)
        q << SheetQuestion{"问答题", "论述题的题干", {}, "10", QString(100, QChar(0x5b57)), "参考答案"};
    return q;
}

struct Window
{
    CVornDlg dlg;
    Window() : dlg(handoverFor(g_key, QString::number(g_registration), kFormal))
    {
        dlg.show();
        dlg.control<QAbstractButton>(CVornDlg::Start)->click();
    }
};

void BM_ShowQuestion(benchmark::State &state)
{
    Window w;
    int n = 0, shown = 0;
    for (auto _ : state)
        shown += w.dlg.showQuestion(n++ % 190 + 1) ? 1 : 0;
    if (shown != n)
        state.SkipWithError("a question was not shown");
}

void BM_SaveAnswer(benchmark::State &state)
{
    Window w;
    w.dlg.showQuestion(150); // a multiple choice with its ticks
    for (auto _ : state)
        w.dlg.saveAnswer(150);
}

void BM_FullPaint(benchmark::State &state)
{
    Window w;
    w.dlg.showQuestion(120);
    for (auto _ : state) {
        w.dlg.refreshMarks(); // reads the answered rows, as every paint does
        benchmark::DoNotOptimize(w.dlg.grab());
    }
}

void reopen()
{
    CADOConn conn;
    conn.execute("update ExamRegister set 成绩=null,考试用时=null,考试时间=null,考试名称=null,问答题=null", Db::Personnel);
    conn.execute("delete from quesAndAns", Db::Personnel);
    conn.close();
}

void BM_SubmitExam(benchmark::State &state)
{
    const SubmitRequest q{handoverFor(g_key, QString::number(g_registration), kFormal),
                          ExamScoring::keyEntries(g_key), 3000, Clock::now()};
    for (auto _ : state) {
        state.PauseTiming();
        reopen();
        state.ResumeTiming();
        benchmark::DoNotOptimize(ExamSubmission::submit(q));
    }
}

// The same writes straight on the engine: the result into the registration
// and ten essay rows, one transaction, on a copy of the file.
void BM_BareWrites(benchmark::State &state)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2("bare.mdb", &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, Db::Password, int(std::strlen(Db::Password)));
    sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    const QByteArray essay = QString(100, QChar(0x5b57)).toUtf8();
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3_exec(db, "update ExamRegister set 成绩=null; delete from quesAndAns", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(db,
                     "update ExamRegister set 成绩='60',考试用时='3000',考试时间='2019/05/20　10:00:00',"
                     "考试名称='年度考试',保存码='0123456789abcdef0123456789abcdef',问答题='有' where ID=1",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt *ins = nullptr;
        sqlite3_prepare_v2(db,
                           "insert into quesAndAns (姓名,部门,职务,考试号,考试名称,考生编号,题干,答案,答题,分值) "
                           "values ('张三','财务部','会计','1','年度考试','1','论述题的题干','参考答案',?,'10')",
                           -1, &ins, nullptr);
        for (int i = 0; i < 10; ++i) {
            sqlite3_bind_text(ins, 1, essay.constData(), int(essay.size()), SQLITE_STATIC);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db);
}

} // namespace

BENCHMARK(BM_ShowQuestion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SubmitExam)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareWrites)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    ExamWindowBench bench(argc, argv);
    g_registration = bench.registration;
    g_key = seedExamSheet(exam190());
    return bench.run(argc, argv);
}
