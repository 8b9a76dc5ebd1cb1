// Time from process start to the start screen shown (offscreen), measured on
// the real program in a prepared working directory.
#include "store/WorkDir.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "BenchMain.h"
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

void BM_StartToStartScreenShown(benchmark::State &state)
{
    QTemporaryDir work;
    QTemporaryDir runtime;
    QString error;
    if (!WorkDir::prepare(work.path(), &error))
        qFatal("%s", qPrintable(error));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("VORN_EXIT_WHEN_SHOWN", "1");
    const QByteArray program = VORN_BIN_DIR "/vorn";
    const QByteArray dir = work.path().toLocal8Bit();
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, dir.constData());
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        char *argv[] = {const_cast<char *>(program.constData()), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ) != 0)
            state.SkipWithError("cannot start vorn");
        int status = 0;
        waitpid(pid, &status, 0);
        posix_spawn_file_actions_destroy(&actions);
    }
}
BENCHMARK(BM_StartToStartScreenShown)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

} // namespace

VORN_BENCHMARK_MAIN()
