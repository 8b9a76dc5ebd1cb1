// Reading and saving the settings file when it is large or built to hurt:
// the files of tools/make_big_settings.py (50 MB of departments with posts,
// millions of tiny or repeated sections, counts that multiply, one 50 MB
// line, ...). Goal: the read and the save each under a second, with memory
// a small multiple of the file. The files are written into a temporary
// folder on start (about 600 MB, some 20 s); set VORN_BIG_SETTINGS_DIR to a
// folder that already holds them to skip that.
#include "store/SettingsFile.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>
#include <string>

namespace {

const char *const kFiles[] = {"realistic50.ini", "sections50.ini", "sections1.ini", "postbomb.ini",
                              "oneline50.ini",   "brackets50.ini", "openhdr50.ini",  "blankbr50.ini",
                              "newlines50.ini",  "keys50.ini",     "utf16_50.ini",   "noeq50.ini",
                              "dupinfo.ini"};

QString bigDir()
{
    static QTemporaryDir scratch;
    static const QString dir = [] {
        const QString given = qEnvironmentVariable("VORN_BIG_SETTINGS_DIR");
        if (!given.isEmpty())
            return given;
        QProcess::execute(QStringLiteral("python3"),
                          {QStringLiteral("-c"),
                           QStringLiteral("import os,runpy; os.chdir('%1'); runpy.run_path('%2')")
                               .arg(scratch.path(), QStringLiteral(VORN_SOURCE_DIR "/tools/make_big_settings.py"))});
        return scratch.path();
    }();
    return dir;
}

// Peak resident memory since the last reset, in MiB (Linux).
void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}
double peakMemoryMiB()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
    return 0;
}

// A working copy, so a save never changes the generated file.
QString freshCopy(const QString &name)
{
    const QString copy = QDir(bigDir()).filePath(QStringLiteral("work.ini"));
    QFile::remove(copy);
    QFile::copy(QDir(bigDir()).filePath(name), copy);
    return copy;
}

void BM_Read(benchmark::State &state, const QString &name)
{
    const SettingsFile file(QDir(bigDir()).filePath(name));
    resetPeakMemory();
    qsizetype posts = 0;
    for (auto _ : state) {
        const DepartmentTree tree = file.readDepartmentTree();
        posts = 0;
        for (const DepartmentNode &node : tree)
            posts += node.posts.size();
        benchmark::DoNotOptimize(file.readAudienceGroups());
    }
    state.counters["posts"] = double(posts);
    state.counters["file_MiB"] = double(QFile(file.path()).size()) / (1 << 20);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// The settings screen's save of the tree it read.
void BM_Save(benchmark::State &state, const QString &name)
{
    const DepartmentTree tree = SettingsFile(QDir(bigDir()).filePath(name)).readDepartmentTree();
    resetPeakMemory();
    bool ok = true;
    for (auto _ : state) {
        state.PauseTiming();
        const SettingsFile file(freshCopy(name));
        state.ResumeTiming();
        ok = file.writeDepartmentTree(tree) && ok;
    }
    if (!ok)
        state.SkipWithError("save failed");
    state.counters["file_MiB"] = double(QFile(QDir(bigDir()).filePath(name)).size()) / (1 << 20);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (const char *f : kFiles) {
        const QString name = QString::fromLatin1(f);
        benchmark::RegisterBenchmark((std::string("BM_Read/") + f).c_str(), BM_Read, name)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark((std::string("BM_Save/") + f).c_str(), BM_Save, name)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
