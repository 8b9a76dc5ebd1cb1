// An exam lab on one server: 200 station processes each entering, drawing
// 100 questions, saving 100 answers and handing in, with the wall time, the
// hand-ins per second and the 99th percentile of a hand-in's latency; beside
// it the same work of one station on the files. And the examinee screen's
// formal query over 100,000 registrations on the server.
#include "exam/ExamList.h"
#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "store/ServerSetup.h"
#include "store/WorkDir.h"
#include "support/ServerCluster.h"

#include "ExamBench.h"
#include "exam/LabStation.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

namespace {

QString g_admin, g_station;

QString freshLab()
{
    QString error;
    const QString admin = ServerCluster::freshDatabase(&error);
    // A role of its own per database: a role made for an earlier one has no
    // password to hand on.
    static int labs = 0;
    const ServerSetup::Result made = ServerSetup::create(admin, QStringLiteral("vorn_station_%1").arg(++labs));
    if (admin.isEmpty() || !made.error.isEmpty()) {
        std::fprintf(stderr, "no lab server: %s %s\n", qPrintable(error), qPrintable(made.error));
        std::exit(1);
    }
    if (!made.stationPassword.isEmpty())
        g_station = ServerCluster::asRole(admin, made.stationRole, made.stationPassword);
    return admin;
}

// The processor seconds (user and system) the processes spent so far: the
// stations by their pids, the server as every process named "postgres".
struct Cpu
{
    double stations = 0, server = 0;
};

double cpuSeconds(const QString &pid, QByteArray *name = nullptr)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray t = f.readAll();
    const qsizetype open = t.indexOf('('), close = t.lastIndexOf(')');
    if (open < 0 || close < open)
        return 0;
    if (name)
        *name = t.mid(open + 1, close - open - 1);
    const QList<QByteArray> fields = t.mid(close + 2).split(' ');
    // utime and stime, the 14th and 15th fields of the line
    return fields.size() > 12 ? (fields[11].toDouble() + fields[12].toDouble()) / double(::sysconf(_SC_CLK_TCK)) : 0;
}

Cpu cpuNow(const std::vector<pid_t> &stations)
{
    Cpu c;
    for (pid_t pid : stations)
        c.stations += cpuSeconds(QString::number(pid));
    const QStringList all = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : all) {
        QByteArray name;
        const double s = cpuSeconds(pid, &name);
        if (name == "postgres")
            c.server += s;
    }
    return c;
}

// Runs one station per registration in processes of their own; the hand-in
// latencies in milliseconds, sorted. together: every station waits, once it
// has answered, until all have, and they hand in at once, as when the exam
// time runs out; *handInSeconds is then how long that took, *handInCpu the
// processor time it cost.
std::vector<qint64> runStations(const QList<int> &ids, const QString &root, bool together = false,
                                double *handInSeconds = nullptr, Cpu *handInCpu = nullptr)
{
    int fds[2], ready[2], go[2], done[2];
    if (::pipe(fds) != 0 || ::pipe(ready) != 0 || ::pipe(go) != 0 || ::pipe(done) != 0)
        std::exit(1);
    const std::function<void()> wait = [&] {
        ::close(go[1]);
        const char one = 1;
        char none;
        if (::write(ready[1], &one, 1) != 1 || ::read(go[0], &none, 1) != 0)
            ::_exit(7);
    };
    std::vector<pid_t> pids;
    for (int i = 0; i < ids.size(); ++i)
        pids.push_back(Lab::startStation(
            root + QStringLiteral("/s%1").arg(i), ids[i], i,
            [&](qint64 ms) {
                const qint64 v = ms;
                if (::write(fds[1], &v, sizeof v) != sizeof v)
                    ::_exit(6);
                // A station stays connected after its hand-in (its examinee
                // reads the score) until the last one has handed in.
                ::close(fds[1]);
                ::close(done[1]);
                char none;
                if (::read(done[0], &none, 1) != 0)
                    ::_exit(8);
            },
            together ? wait : std::function<void()>()));
    ::close(fds[1]);
    ::close(ready[1]);
    ::close(go[0]);
    QElapsedTimer handIn;
    if (together) {
        char one;
        for (int n = 0; n < ids.size(); ++n)
            if (::read(ready[0], &one, 1) != 1)
                break; // a station failed: the count shows it
    }
    const Cpu before = cpuNow(pids);
    handIn.start();
    ::close(go[1]);
    std::vector<qint64> latencies;
    qint64 v = 0;
    while (::read(fds[0], &v, sizeof v) == sizeof v)
        latencies.push_back(v);
    if (handInSeconds)
        *handInSeconds = handIn.elapsed() / 1000.0;
    if (handInCpu) {
        const Cpu after = cpuNow(pids);
        *handInCpu = {after.stations - before.stations, after.server - before.server};
    }
    ::close(fds[0]);
    ::close(ready[0]);
    ::close(done[1]);
    ::close(done[0]);
    for (pid_t pid : pids)
        ::waitpid(pid, nullptr, 0);
    std::sort(latencies.begin(), latencies.end());
    return latencies;
}

void report(benchmark::State &state, const std::vector<qint64> &latencies, double seconds, int stations,
            double handInSeconds = 0)
{
    if (int(latencies.size()) != stations)
        state.SkipWithError("a station failed");
    state.counters["stations"] = stations;
    state.counters["handins_per_s"] = latencies.size() / (handInSeconds > 0 ? handInSeconds : seconds);
    state.counters["p99_handin_ms"] =
        latencies.empty() ? 0 : double(latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)]);
    state.counters["wall_s"] = seconds;
}

// range(1) = 1: the stations hand in together when all have answered;
// 0: each hands in as soon as it has, while the others still draw and answer
// (an hour's work in a minute, a far heavier load than a lab's).
void BM_LabOnServer(benchmark::State &state)
{
    const int stations = int(state.range(0));
    const bool together = state.range(1) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        g_admin = freshLab();
        CADOConn::useServer(g_admin);
        const QList<int> ids = Lab::seed(stations);
        CADOConn::useServer(g_station);
        QTemporaryDir root;
        QElapsedTimer wall;
        state.ResumeTiming();
        wall.start();
        double handIn = 0;
        Cpu cpu;
        const std::vector<qint64> latencies = runStations(ids, root.path(), together, &handIn, &cpu);
        report(state, latencies, wall.elapsed() / 1000.0, stations, together ? handIn : 0);
        if (together) {
            // What one hand-in costs the processors, all stations sharing them
            // with the server here: with every hand-in at once, the last ones
            // cannot end before this times the stations over the cores.
            state.counters["handin_cpu_ms"] = (cpu.stations + cpu.server) * 1000 / stations;
            state.counters["handin_server_cpu_ms"] = cpu.server * 1000 / stations;
        }
        CADOConn::useServer(QString());
    }
}

// The same work by one station on the files of its working directory.
void BM_OneStationOnFiles(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir root;
        // The station works in the folder the files are in.
        const QString dir = root.path() + QStringLiteral("/s0");
        QString error;
        WorkDir::prepare(dir, &error);
        QDir::setCurrent(dir);
        const QList<int> ids = Lab::seed(1);
        CADOConn::releaseCachedHandles();
        QElapsedTimer wall;
        state.ResumeTiming();
        wall.start();
        const std::vector<qint64> latencies = runStations(ids, root.path());
        report(state, latencies, wall.elapsed() / 1000.0, 1);
    }
}

// The formal query of one person over 100,000 registrations (1,000 exams),
// the rows copied from files filled as the files' benchmark fills them.
void BM_FormalQueryOnServer(benchmark::State &state)
{
    static const QString server = [] {
        QTemporaryDir *dir = new QTemporaryDir; // lives as long as the benchmark
        QString error;
        WorkDir::prepare(dir->path(), &error);
        QDir::setCurrent(dir->path());
        sqlite3 *db = openKeyed(Db::Personnel);
        fillOpenExams(db, 1000, 100, [](int e, int r) {
            const bool target = r == 0 && e % 50 == 0;
            return BenchPerson{target ? QStringLiteral("王小明") : QStringLiteral("考生%1").arg(e * 100 + r),
                               target ? QStringLiteral("第3车间") : QStringLiteral("第%1车间").arg(r % 7),
                               QStringLiteral("技术员")};
        });
        sqlite3_close_v2(db);
        CADOConn conn;
        const QString empty = QStringLiteral("空");
        conn.execute(QStringLiteral("insert into exampaper (名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题,保存码) "
                                    "values ('期中试卷','语文','单科','空','空','空','空','空',?)"),
                     Db::Questions,
                     {paperCode(QStringLiteral("期中试卷"), empty, empty, empty, empty, empty, QStringLiteral("语文"),
                                QString(), QString(), QString())});
        conn.close();
        CADOConn::releaseCachedHandles();
        const QString admin = freshLab();
        const QString copied = ServerSetup::copyFrom(admin, dir->path());
        if (!copied.isEmpty())
            std::fprintf(stderr, "copy: %s\n", qPrintable(copied));
        return admin;
    }();
    CADOConn::useServer(server);
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        const ExamList::Result r = ExamList::queryFormal(QStringLiteral("王小明"), QStringLiteral("第3车间"),
                                                         QStringLiteral("技术员"), now);
        if (r.outcome != ExamList::Outcome::Listed || r.rows.size() != 20)
            state.SkipWithError("the query did not list the person's exams");
        benchmark::DoNotOptimize(r);
    }
    CADOConn::useServer(QString());
}

BENCHMARK(BM_LabOnServer)->Args({200, 1})->Args({200, 0})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OneStationOnFiles)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FormalQueryOnServer)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CADOConn::releaseCachedHandles();
    return 0;
}
