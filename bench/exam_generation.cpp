// buildExam of a 100-question paper (five types, two audience segments each)
// from a bank of 100,000 questions, next to a bare SQL draw of the same
// counts ("order by random() limit") on an unencrypted copy of the bank.
#include "exam/ExamBuilder.h"
#include "exam/ExamEntry.h"
#include "exam/ExamList.h"
#include "paper/TypeRule.h"

#include "BankBench.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int kPerType = 20000;
const char *kTypes[] = {"单选题", "判断题", "填空题", "多选题", "问答题"};
const char *kSubjects[] = {"语文", "数学"};
const char *kGroups[] = {"干部", "工人"};
const char *kLevels[] = {"简单", "中等", "困难"};
// Each type: 20 questions of 语文 in two segments.
const QString kRule = QStringLiteral("每题1.0分。干部:简单=5,中等=5,;工人:困难=5,简单=5,;");
struct Item
{
    const char *group;
    const char *level;
    int count;
};
const Item kItems[] = {{"干部", "简单", 5}, {"干部", "中等", 5}, {"工人", "困难", 5}, {"工人", "简单", 5}};

sqlite3 *g_plain = nullptr;

void fill(sqlite3 *db, bool withInterim)
{
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const char *type : kTypes) {
        if (withInterim) {
            const QByteArray create = QByteArray("create table ") + type
                                      + " (ID INTEGER PRIMARY KEY AUTOINCREMENT, 科目,题型,题干,答案,A,B,C,D,E,难度,对象,图片)";
            sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr);
            const QByteArray index = QByteArray("create index ") + "i_" + QByteArray::number(qHash(QByteArray(type)))
                                     + " on " + type + " (题型, 科目, 对象, 难度)";
            sqlite3_exec(db, index.constData(), nullptr, nullptr, nullptr);
        }
        sqlite3_stmt *insert = nullptr;
        const QByteArray sql = QByteArray("insert into ") + type
                               + " (科目,题型,题干,答案,A,B,C,D,E,难度,对象) values (?,?,?,?,?,?,?,?,?,?,?)";
        sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr);
        for (int i = 1; i <= kPerType; ++i) {
            const QByteArray stem = "第" + QByteArray::number(i) + "题：下列关于安全生产的说法中，哪一项是正确的？";
            const QByteArray cells[] = {kSubjects[i % 2], type, stem, "A", "选项内容A", "选项内容B", "选项内容C",
                                        "选项内容D", "", kLevels[(i / 2) % 3], kGroups[(i / 6) % 2]};
            for (int c = 0; c < 11; ++c)
                sqlite3_bind_text(insert, c + 1, cells[c].constData(), int(cells[c].size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    if (withInterim)
        sqlite3_exec(db, "create table interim (ID INTEGER PRIMARY KEY AUTOINCREMENT, 科目,题型,题干,答案,A,B,C,D,E,"
                         "分值,难度,对象,图片)",
                     nullptr, nullptr, nullptr);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

void addPaper()
{
    CADOConn conn;
    conn.execute(QStringLiteral("insert into exampaper (名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题) "
                                "values ('百题卷','语文','单科',?,?,?,?,?)"),
                 Db::Questions, {kRule, kRule, kRule, kRule, kRule});
}

void BM_BuildExam(benchmark::State &state)
{
    ExamEntry::recreateInterim();
    ExamEntry::recreateSheet();
    for (auto _ : state) {
        const ExamBuild::Result r =
            ExamBuilder::buildExam(ExamMode::Formal, QStringLiteral("百题卷"), QStringLiteral("单科"));
        if (r.outcome != ExamBuild::Outcome::Built || r.questions != 100)
            state.SkipWithError("the exam was not built");
        benchmark::DoNotOptimize(r);
    }
}

// The same counts drawn by the engine alone into an interim table.
void BM_BareRandomDraw(benchmark::State &state)
{
    for (auto _ : state) {
        sqlite3_exec(g_plain, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(g_plain, "delete from interim", nullptr, nullptr, nullptr);
        int drawn = 0;
        for (const char *type : kTypes) {
            const QByteArray sql = QByteArray("insert into interim (科目,题型,题干,答案,A,B,C,D,E,分值,难度,对象,图片) "
                                              "select 科目,题型,题干,答案,A,B,C,D,E,'1',难度,对象,图片 from ")
                                   + type + " where 题型=? and 科目='语文' and 对象=? and 难度=? order by random() limit ?";
            sqlite3_stmt *s = nullptr;
            sqlite3_prepare_v2(g_plain, sql.constData(), -1, &s, nullptr);
            for (const Item &item : kItems) {
                sqlite3_bind_text(s, 1, type, -1, SQLITE_STATIC);
                sqlite3_bind_text(s, 2, item.group, -1, SQLITE_STATIC);
                sqlite3_bind_text(s, 3, item.level, -1, SQLITE_STATIC);
                sqlite3_bind_int(s, 4, item.count);
                sqlite3_step(s);
                drawn += sqlite3_changes(g_plain);
                sqlite3_reset(s);
            }
            sqlite3_finalize(s);
        }
        sqlite3_exec(g_plain, "COMMIT", nullptr, nullptr, nullptr);
        if (drawn != 100)
            state.SkipWithError("the bare draw found too few rows");
    }
}

BENCHMARK(BM_BuildExam)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareRandomDraw)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchWorkDir work;
    sqlite3 *keyed = openBare();
    fill(keyed, false);
    sqlite3_close_v2(keyed);
    addPaper();
    // The unencrypted copy: the same rows in a plain file.
    sqlite3_open_v2("plain.db", &g_plain, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    fill(g_plain, true);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sqlite3_close_v2(g_plain);
    CADOConn::releaseCachedHandles();
    return 0;
}
