// Reading the department and post catalogue of a large settings file:
// 200 departments with 50 posts each. Every list a screen offers costs one
// read of the file; the whole catalogue is 1 + 200 such reads.
#include "store/SettingsFile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kDepartments = 200;
constexpr int kPosts = 50;

const SettingsFile &largeFile()
{
    static QTemporaryDir dir;
    static const SettingsFile file = [] {
        SettingsFile f(QDir(dir.path()).filePath(QStringLiteral("vornconf.ini")));
        DepartmentTree tree;
        for (int d = 1; d <= kDepartments; ++d) {
            DepartmentNode node{QStringLiteral("第%1事业部（华东区）").arg(d), {}};
            for (int p = 1; p <= kPosts; ++p)
                node.posts << QStringLiteral("岗位%1-%2高级专员").arg(d).arg(p);
            tree << node;
        }
        f.writeDepartmentTree(tree);
        f.writeAudienceGroups({QStringLiteral("干部"), QStringLiteral("工人"), QString(), QString()});
        return f;
    }();
    return file;
}

// The floor: only the bytes, as often as the catalogue reads the file.
void BM_ReadFileBytesOnly(benchmark::State &state)
{
    const QString path = largeFile().path();
    const int reads = int(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < reads; ++i) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(f.readAll());
        }
    }
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_ReadFileBytesOnly)->Arg(1)->Arg(1 + kDepartments)->Unit(benchmark::kMillisecond);

// Every department list and every post list: the goal is under 20 ms.
void BM_ReadEveryDepartmentAndPostList(benchmark::State &state)
{
    const SettingsFile &file = largeFile();
    for (auto _ : state) {
        const QStringList departments = file.readDepartmentNames();
        qsizetype posts = 0;
        for (int i = 0; i < departments.size(); ++i)
            posts += file.readPostNames(i).size();
        if (departments.size() != kDepartments || posts != kDepartments * kPosts)
            state.SkipWithError("catalogue read wrongly");
    }
}
BENCHMARK(BM_ReadEveryDepartmentAndPostList)->Unit(benchmark::kMillisecond);

void BM_ReadDepartmentNames(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(largeFile().readDepartmentNames());
}
BENCHMARK(BM_ReadDepartmentNames)->Unit(benchmark::kMicrosecond);

void BM_ReadPostNamesOfLastDepartment(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(largeFile().readPostNames(kDepartments - 1));
}
BENCHMARK(BM_ReadPostNamesOfLastDepartment)->Unit(benchmark::kMicrosecond);

// The settings screen opening: the whole tree in one read.
void BM_ReadDepartmentTree(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(largeFile().readDepartmentTree());
}
BENCHMARK(BM_ReadDepartmentTree)->Unit(benchmark::kMillisecond);

// The settings screen's save over a file of the same size.
void BM_WriteDepartmentTree(benchmark::State &state)
{
    const SettingsFile &file = largeFile();
    const DepartmentTree tree = file.readDepartmentTree();
    for (auto _ : state)
        file.writeDepartmentTree(tree);
}
BENCHMARK(BM_WriteDepartmentTree)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
