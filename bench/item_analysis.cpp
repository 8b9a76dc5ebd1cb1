// Item analysis of an exam of 1,000 examinees, each asked 100 questions
// drawn from 2,000, read from their kept sittings with every row's code
// checked; beside it a bare read of the same rows, and the exports of the
// analysis (.xlsx, PDF).
#include "BankBench.h"
#include "BenchMain.h"

#include "results/ItemAnalysis.h"
#include "results/ResultExport.h"
#include "store/Integrity.h"
#include "store/Sitting.h"

#include <QDateTime>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

constexpr int kExaminees = 1000;
constexpr int kAsked = 100;
constexpr int kPool = 2000;
const QString kExam = QStringLiteral("年度大考");

struct PoolQuestion
{
    QString type;
    int bankId;
    QString reference;
    double points;
    double difficulty; // the ability needed for an even chance
};

void bind(sqlite3_stmt *s, int i, const QString &text)
{
    const QByteArray b = text.toUtf8();
    sqlite3_bind_text(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

// Per type, a fifth of the pool, and of each exam 40 单选题, 20 判断题, 20
// 填空题, 15 多选题 and 5 问答题. Abler examinees answer right more often.
void fillExam()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    const std::pair<const char *, int> mix[] = {{"单选题", 40}, {"判断题", 20}, {"填空题", 20}, {"多选题", 15},
                                                {"问答题", 5}};
    QList<QList<PoolQuestion>> pool;
    int id = 0;
    for (const auto &[type, asked] : mix) {
        QList<PoolQuestion> ofType;
        for (int i = 0; i < kPool / 5; ++i) {
            const QString t = QString::fromUtf8(type);
            const QString ref = t == "多选题" ? "AC" : t == "填空题" ? "答案" : t == "问答题" ? "要点" : "B";
            ofType << PoolQuestion{t, ++id, ref, t == "问答题" ? 5.0 : t == "多选题" ? 2.0 : 1.0, unit(random)};
        }
        pool << ofType;
    }
    {
        // The program adds the sitting tables when it opens the file.
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        conn.close();
        CADOConn::releaseCachedHandles();
    }
    sqlite3 *db = openKeyed(Db::Personnel);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *reg = nullptr, *sit = nullptr, *q = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into ExamRegister (ID,姓名,部门,职务,考试号,合格分数,成绩,考试用时,考试时间,考试名称) "
                       "values (?,?,'部门','职务','1','60',?,'600','2019/05/20　10:00:00',?)",
                       -1, &reg, nullptr);
    sqlite3_prepare_v2(db, "insert into Sitting (ID,报名ID,考试号,题数,剩余秒数,延长分钟,状态,开始时间,保存码) "
                           "values (?,?,'1',?,0,0,?,'2019/05/20 09:00:00',?)",
                       -1, &sit, nullptr);
    sqlite3_prepare_v2(db, "insert into SittingQuestion (场次,编号,题库ID,科目,题型,题干,答案,A,B,C,D,E,分值,答题,标记,保存码) "
                           "values (?,?,?,'语文',?,?,?,'甲','乙','丙','丁',null,?,?,0,?)",
                       -1, &q, nullptr);
    const QStringList options{"甲", "乙", "丙", "丁", ""};
    for (int e = 1; e <= kExaminees; ++e) {
        const double ability = unit(random);
        double total = 0;
        int number = 0;
        for (int t = 0; t < 5; ++t) {
            std::vector<int> picks(size_t(pool[t].size()));
            std::iota(picks.begin(), picks.end(), 0);
            std::shuffle(picks.begin(), picks.end(), random);
            for (int k = 0; k < mix[t].second; ++k) {
                const PoolQuestion &pq = pool[t][picks[size_t(k)]];
                const bool right = unit(random) < 0.5 + (ability - pq.difficulty) * 0.8;
                QString answer = right ? pq.reference : pq.type == "填空题" ? "不对" : pq.type == "多选题" ? "AB" : "D";
                if (pq.type == "判断题" && !right)
                    answer = "A";
                const double earned = pq.type == "问答题" ? (right ? pq.points : 1) : right ? pq.points : 0;
                total += earned;
                const QString points = QString::number(pq.points);
                const QString stem = QStringLiteral("第%1题的题干").arg(pq.bankId);
                const QString code = sittingQuestionCode(QString::number(e), QString::number(++number),
                                                         QString::number(pq.bankId), "语文", pq.type, stem,
                                                         pq.reference, options, points, QString(), answer, "0");
                sqlite3_bind_int(q, 1, e);
                sqlite3_bind_int(q, 2, number);
                sqlite3_bind_int(q, 3, pq.bankId);
                bind(q, 4, pq.type);
                bind(q, 5, stem);
                bind(q, 6, pq.reference);
                bind(q, 7, points);
                bind(q, 8, answer);
                bind(q, 9, code);
                sqlite3_step(q);
                sqlite3_reset(q);
            }
        }
        sqlite3_bind_int(reg, 1, e);
        bind(reg, 2, QStringLiteral("考生%1").arg(e));
        bind(reg, 3, QString::number(total));
        bind(reg, 4, kExam);
        sqlite3_step(reg);
        sqlite3_reset(reg);
        sqlite3_bind_int(sit, 1, e);
        sqlite3_bind_int(sit, 2, e);
        sqlite3_bind_int(sit, 3, kAsked);
        bind(sit, 4, SittingState::Submitted);
        bind(sit, 5, sittingCode(QString::number(e), "1", QString::number(kAsked), "0", "0", SittingState::Submitted,
                                 "2019/05/20 09:00:00"));
        sqlite3_step(sit);
        sqlite3_reset(sit);
    }
    for (sqlite3_stmt *s : {reg, sit, q})
        sqlite3_finalize(s);
    sqlite3_exec(db, "insert into ExamArrange (考试号,考试名称,试卷名称,合格分数) values (1,'年度大考','大考卷','60')",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

struct AnalysisWorkDir
{
    BenchWorkDir work;
    AnalysisWorkDir() { fillExam(); }
};

AnalysisWorkDir &shared()
{
    static AnalysisWorkDir dir;
    return dir;
}

void BM_ItemAnalysis1000x100(benchmark::State &state)
{
    shared();
    ItemAnalysis::Report r;
    for (auto _ : state)
        r = ItemAnalysis::analyse(ItemAnalysis::load(kExam));
    if (r.exam.examinees != kExaminees || r.tampered != 0 || r.withoutSitting != 0)
        state.SkipWithError("the seeded sittings do not load");
    state.counters["examinees"] = r.exam.examinees;
    state.counters["items"] = double(r.items.size());
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

// The same rows read bare, without codes, scoring or statistics.
void BM_BareReadOfTheSittings(benchmark::State &state)
{
    shared();
    CADOConn::releaseCachedHandles();
    sqlite3 *db = openKeyed(Db::Personnel);
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db, "select q.题库ID,q.题型,q.答案,q.答题,q.分值 from ExamRegister r join Sitting s on s.报名ID=r.ID "
                           "join SittingQuestion q on q.场次=s.ID where r.考试名称=?",
                       -1, &select, nullptr);
    bind(select, 1, kExam);
    bareRead(state, db, select, 1, 5);
}

void BM_AnalysisExports(benchmark::State &state)
{
    shared();
    const ItemAnalysis::Report r = ItemAnalysis::analyse(ItemAnalysis::load(kExam));
    const bool pdf = state.range(0) == 1;
    const QString path = QDir::current().filePath(pdf ? "bench.pdf" : "bench.xlsx");
    for (auto _ : state) {
        const QString error = pdf ? ResultExport::writeAnalysisPdf(path, r, QDateTime::currentDateTime())
                                  : ResultExport::writeAnalysis(path, r);
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
    state.SetLabel(pdf ? "pdf" : "xlsx");
    state.counters["KiB"] = double(QFileInfo(path).size()) / 1024;
}

} // namespace

BENCHMARK(BM_ItemAnalysis1000x100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadOfTheSittings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalysisExports)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

VORN_WIDGET_BENCHMARK_MAIN()
