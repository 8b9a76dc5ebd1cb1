// The printed paper: a 100-question paper drawn from a bank of 100,000
// questions, numbered, assembled and written as a DOCX (the word processor
// is not started), for a 全科 paper (every subject) and a 单科 one; beside it
// the bare engine reading the ids a rule draws from, and the DOCX step alone.
#include "BankBench.h"

#include "paper/Paper.h"
#include "paper/PrintedPaper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

const QString kTemplate = QStringLiteral(VORN_BIN_DIR "/wordtest.docx");

// 40 单选题, 20 判断题, 20 填空题, 10 多选题, 10 问答题.
void storePaper(const QString &name, const QString &option, const QString &subject)
{
    CADOConn conn;
    Paper p;
    p.name = name;
    p.option = option;
    p.subject = subject;
    p.types = {QStringLiteral("每题1.0分。干部:中等=40,;"), QStringLiteral("每题1.0分。干部:中等=20,;"),
               QStringLiteral("每题1.0分。干部:中等=20,;"), QStringLiteral("每题1.0分。干部:中等=10,;"),
               QStringLiteral("每题1.0分。干部:中等=10,;")};
    p.total = QStringLiteral("100");
    p.fullMarks = QStringLiteral("100.0");
    p.created = QStringLiteral("2026/05/20 08:30:00");
    PaperStore::savePaper(conn, p, false);
}

void BM_PrintedPaper(benchmark::State &state)
{
    const QString paper = state.range(0) ? QStringLiteral("全科卷") : QStringLiteral("单科卷");
    {
        // The pop-up has opened the file already (its key is derived once).
        CADOConn warm;
        warm.execute(QStringLiteral("select 1"), Db::Questions);
    }
    int lines = 0;
    for (auto _ : state) {
        CADOConn conn;
        const PrintedPaper::Generated g = PrintedPaper::generatePrintedPaper(
            conn, paper, QStringLiteral("期末考试"), QStringLiteral("90"), QStringLiteral("60"));
        const QString out = QDir::current().filePath(QStringLiteral("bench.docx"));
        const QString error = PrintedPaper::fillTemplate(kTemplate, out, g.texts);
        if (!g.ok || !error.isEmpty()) {
            state.SkipWithError("generation failed");
            break;
        }
        PrintedPaper::dropInterim(conn);
        conn.close();
        lines = 0;
        for (const PrintedSection &s : g.texts.sections)
            lines += int(s.questions.count(QLatin1Char('\n')));
    }
    state.counters["lines"] = lines;
}

void BM_DocxOnly(benchmark::State &state)
{
    CADOConn conn;
    const PrintedPaper::Generated g = PrintedPaper::generatePrintedPaper(
        conn, QStringLiteral("全科卷"), QStringLiteral("期末考试"), QStringLiteral("90"), QStringLiteral("60"));
    conn.close();
    for (auto _ : state)
        PrintedPaper::fillTemplate(kTemplate, QDir::current().filePath(QStringLiteral("docx-only.docx")), g.texts);
}

// The bare engine reading the ids of the largest rule (40,000 单选题 of
// every subject), the selection the draw cannot avoid.
void BM_BareRuleIds(benchmark::State &state)
{
    sqlite3 *db = openBare();
    const char *sql = "select ID from 单选题 where 题型='单选题' and 对象='干部' and 难度='中等' and 图片 is null";
    int n = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        n = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            n += sqlite3_column_int(stmt, 0) > 0;
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    state.counters["rows"] = n;
}

} // namespace

// The bare engine first: the program's handle keeps the file locked.
BENCHMARK(BM_BareRuleIds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintedPaper)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocxOnly)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchWorkDir work;
    fillBank();
    storePaper(QStringLiteral("全科卷"), SubjectOption::All, PaperSubjectText::None);
    storePaper(QStringLiteral("单科卷"), SubjectOption::Single, QStringLiteral("科目3"));
    CADOConn::releaseCachedHandles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
