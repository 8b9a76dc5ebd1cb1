// Results: verifyResults over 100,000 scored registrations in 1,000 exams
// beside a bare read of the same rows with the same digests; 显示全部 of the
// score query over those results, timed until the list is painted; the
// manual marking screen opened over 100,000 waiting essays (four for each of
// 25,000 of those results), until its list is painted, beside a bare read of
// the columns it keeps; and the chart of 20 examinees rendered and saved as
// a BMP.
#include "BankBench.h"
#include "BenchMain.h"

#include "results/CCheckScore.h"
#include "results/CHandworkCorrect.h"
#include "results/ScoreChart.h"
#include "results/ScoreQuery.h"
#include "store/Integrity.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QPushButton>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kExams = 1000;
constexpr int kPerExam = 100;

sqlite3 *openPersonnel()
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2("personnel.mdb", &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, Db::Password, int(std::strlen(Db::Password)));
    sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    return db;
}

// 100,000 sealed results, 100 in each of 1,000 exams, with their counters.
void fillResults()
{
    sqlite3 *db = openPersonnel();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into ExamRegister (ID,姓名,部门,职务,考试号,合格分数,保存码,成绩,考试用时,考试时间,考试名称,问答题) "
                       "values (?,?,?,?,?,?,?,?,?,?,?,'')",
                       -1, &insert, nullptr);
    int id = 0;
    for (int exam = 1; exam <= kExams; ++exam) {
        const QString examName = QStringLiteral("考试%1").arg(exam);
        for (int k = 0; k < kPerExam; ++k) {
            ++id;
            const QString name = QStringLiteral("考生%1").arg(id), post = QStringLiteral("职务%1").arg(id % 7);
            const QString score = QString::number(40 + id % 60), time = QString::number(600 + id % 3000);
            const QString when = QStringLiteral("2019/05/20　10:00:00");
            const QString code = resultCode(QString::number(id), name, post, examName, score, QStringLiteral("60"),
                                            time, when);
            const QByteArray cells[] = {name.toUtf8(), "部门", post.toUtf8(), QByteArray::number(exam), "60",
                                        code.toUtf8(),  score.toUtf8(), time.toUtf8(), when.toUtf8(),
                                        examName.toUtf8()};
            sqlite3_bind_int(insert, 1, id);
            for (int c = 0; c < 10; ++c)
                sqlite3_bind_text(insert, c + 2, cells[c].constData(), int(cells[c].size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        const QByteArray counter = "insert into JoinExam values (" + QByteArray::number(exam) + ","
                                   + QByteArray::number(kPerExam) + "," + QByteArray::number(kPerExam + 5) + ")";
        sqlite3_exec(db, counter.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

struct ResultsWorkDir
{
    BenchWorkDir work;
    ResultsWorkDir() { fillResults(); }
};

ResultsWorkDir &shared()
{
    static ResultsWorkDir dir;
    return dir;
}

void BM_VerifyResults100000(benchmark::State &state)
{
    shared();
    bool sound = false;
    for (auto _ : state)
        sound = ScoreQuery::verify() == ScoreQuery::Verification::Sound;
    if (!sound)
        state.SkipWithError("the seeded results do not verify");
}

// The same rows read bare and digested the same way, without the counters.
void BM_BareReadAndDigest100000(benchmark::State &state)
{
    shared();
    CADOConn::releaseCachedHandles();
    sqlite3 *db = openPersonnel();
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db,
                       "select ID,姓名,职务,考试名称,成绩,合格分数,考试用时,考试时间,保存码 from ExamRegister "
                       "where 成绩 is not null",
                       -1, &select, nullptr);
    int matched = 0;
    for (auto _ : state) {
        matched = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            QString text;
            for (int c = 0; c < 8; ++c)
                text += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(select, c)));
            const QString code = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(select, 8)));
            matched += CMD5Encrypt(text) == code;
        }
        sqlite3_reset(select);
    }
    state.counters["rows"] = matched;
    sqlite3_finalize(select);
    sqlite3_close_v2(db);
}

void BM_ShowAllResults100000(benchmark::State &state)
{
    shared();
    CCheckScore screen;
    screen.show();
    auto *list = screen.control<QTableView>(CCheckScore::List);
    for (auto _ : state) {
        // The list empties itself first, as the command does.
        screen.control<QPushButton>(CCheckScore::ShowAll)->click(); // verifyResults included
        list->viewport()->repaint();
    }
    state.counters["rows_shown"] = list->model()->rowCount();
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

constexpr int kEssayResults = 25000;
constexpr int kEssaysEach = 4;

// The essays of the first 25,000 results waiting, four each, with the exams
// of those results on a sealed paper whose essays are worth 5 points.
void fillEssays()
{
    sqlite3 *questions = openKeyed(Db::Questions);
    // printf '%s' '期中卷空空空空每题5.0分。干部:困难=3,;语文315.02019/05/01 09:00:00' | iconv -t gb18030 | md5sum
    sqlite3_exec(questions,
                 "insert into exampaper (名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题,总题数,满分,创建时间,保存码) "
                 "values ('期中卷','语文','单科','空','空','空','空','每题5.0分。干部:困难=3,;','3','15.0',"
                 "'2019/05/01 09:00:00','447797cc9473d77b24b59a21e4664d07')",
                 nullptr, nullptr, nullptr);
    sqlite3_close_v2(questions);

    sqlite3 *db = openPersonnel();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *exam = nullptr;
    sqlite3_prepare_v2(db, "insert into ExamArrange (考试号,考试名称,试卷名称,合格分数) values (?,?,'期中卷','60')", -1,
                       &exam, nullptr);
    for (int e = 1; e <= kEssayResults / kPerExam; ++e) {
        const QByteArray name = QStringLiteral("考试%1").arg(e).toUtf8();
        sqlite3_bind_int(exam, 1, e);
        sqlite3_bind_text(exam, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_step(exam);
        sqlite3_reset(exam);
    }
    sqlite3_finalize(exam);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into quesAndAns (姓名,部门,职务,考试号,考试名称,考生编号,题干,答案,答题,分值) "
                       "select 姓名,部门,职务,考试号,考试名称,ID,?,?,?,'5' from ExamRegister where ID=?",
                       -1, &insert, nullptr);
    const QString reference = QStringLiteral("一要落实安全生产责任制，二要加强隐患排查治理，三要开展教育培训。").repeated(2);
    const QString answer = QStringLiteral("安全生产要坚持预防为主，落实岗位责任，定期检查设备，发现隐患及时整改上报。").repeated(4);
    for (int id = 1; id <= kEssayResults; ++id) {
        for (int k = 1; k <= kEssaysEach; ++k) {
            const QByteArray cells[] = {
                QStringLiteral("论述题%1：请结合本岗位的工作实际，论述如何做好安全生产管理工作。").arg(k).toUtf8(),
                reference.toUtf8(), answer.toUtf8()};
            for (int c = 0; c < 3; ++c)
                sqlite3_bind_text(insert, c + 1, cells[c].constData(), int(cells[c].size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 4, id);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

void seedEssays()
{
    shared();
    static const bool seeded = (fillEssays(), true);
    (void)seeded;
}

// The columns the marking list keeps, read bare: what the engine costs alone
// (the rows are long, so the encrypted pages are many).
void BM_BareReadEssays100000(benchmark::State &state)
{
    seedEssays();
    CADOConn::releaseCachedHandles();
    sqlite3 *db = openPersonnel();
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db, "select ID,姓名,部门,职务,考试名称,题干,分值,考生编号 from quesAndAns", -1, &select, nullptr);
    bareRead(state, db, select, 0, 8);
}

void BM_MarkingList100000(benchmark::State &state)
{
    seedEssays();
    int rows = 0;
    for (auto _ : state) {
        auto screen = std::make_unique<CHandworkCorrect>(); // fills its list
        screen->show();
        auto *list = screen->control<QAbstractItemView>(CHandworkCorrect::List);
        list->viewport()->repaint();
        rows = list->model()->rowCount();
        state.PauseTiming();
        screen.reset();
        state.ResumeTiming();
    }
    state.counters["rows_shown"] = rows;
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

void BM_ChartOf20RenderAndSave(benchmark::State &state)
{
    QTemporaryDir dir;
    ChartSelection s;
    for (int i = 1; i <= 20; ++i) {
        s.names += QStringLiteral("考生姓名%1号很长的名字;").arg(i);
        s.departments += QStringLiteral("财务部;");
        s.posts += QStringLiteral("会计;");
        s.scores += QStringLiteral("%1;").arg(70 + i);
        s.passFlags += QStringLiteral("是;");
        s.timesUsed += QStringLiteral("00:10:00;");
        s.examDates += QStringLiteral("2019/05/20;");
        s.rowNumbers += QStringLiteral("%1;").arg(i);
    }
    s.examName = QStringLiteral("年度考试");
    s.paperName = QStringLiteral("语文卷");
    const QString path = dir.filePath(QStringLiteral("成绩.bmp"));
    for (auto _ : state)
        if (!ScoreChart::save(s, ScoreChart::kSheet, QDate(2019, 5, 22), path))
            state.SkipWithError("cannot save");
}

} // namespace

BENCHMARK(BM_VerifyResults100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadAndDigest100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowAllResults100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadEssays100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkingList100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartOf20RenderAndSave)->Unit(benchmark::kMillisecond);

VORN_WIDGET_BENCHMARK_MAIN()
