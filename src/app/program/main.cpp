// Lumet: start-up. The command line first (no display needed), then one
// copy per user, the Windows faces mapped to Noto CJK, Qt's own texts in
// Chinese, the working directory chosen (and made on first use), one copy
// per working directory with both database files held, then the screen loop
// from the start screen.
#include "app/CMyMsgDlg.h"
#include "app/Fonts.h"
#include "app/MessageBox.h"
#include "app/program/CommandLine.h"
#include "app/program/ScreenLoop.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/Translations.h"
#include "store/CADOConn.h"
#include "store/Station.h"
#include "store/WorkDir.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Options options = CommandLine::parse(arguments);
    switch (options.action) {
    case CommandLine::Options::Version:
        std::fputs(CommandLine::versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Options::Help:
        std::fputs(CommandLine::helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Options::Refused:
        std::fprintf(stderr, "vorn: %s\n用 vorn --help 查看用法。\n", options.error.toLocal8Bit().constData());
        return 2;
    case CommandLine::Options::Run:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorn"));
    if (!SingleInstance::acquire())
        return 0; // a copy runs already: end silently
    Fonts::installSubstitutions();
    Translations::install(); // without them Qt's own texts stay English
    Translations::useChineseLocale();
    const WorkDir::Choice where = WorkDir::choose(options.workdir, QDir::currentPath(), WorkDir::userFolder());
    if (!where.error.isEmpty() || !QDir::setCurrent(where.path)) {
        MessageBox::show(nullptr, QStringLiteral("程序无法启动：不能使用工作目录 %1。\n%2")
                                      .arg(QDir::toNativeSeparators(where.path), where.error),
                         Caption::Tip, MsgIcon::Warning);
        SingleInstance::release();
        return 1;
    }
    const Station::Choice engine = Station::read(where.path);
    if (!engine.error.isEmpty()) {
        MessageBox::show(nullptr, QStringLiteral("程序无法启动：%1").arg(engine.error), Caption::Tip, MsgIcon::Warning);
        SingleInstance::release();
        return 1;
    }
    if (!engine.server.isEmpty())
        CADOConn::useServer(engine.server);
    if (where.prepared)
        showTimedMessage(nullptr,
                         QStringLiteral("已建立工作目录：\n%1\n题库、人员、考试和成绩都保存在这里。")
                             .arg(QDir::toNativeSeparators(where.path)),
                         Caption::Tip, 6);
    if (!Startup::prepareWorkingDirectory()) {
        SingleInstance::release();
        return 1;
    }

    // Start-up timing for the benchmark: report once the start screen shows, then end.
    if (qEnvironmentVariableIsSet("VORN_EXIT_WHEN_SHOWN")) {
        ScreenLoop::setShownHook([] {
            std::printf("shown\n");
            std::fflush(stdout);
            SingleInstance::release();
            std::_Exit(0);
        });
    }
    const int code = ScreenLoop::run(ScreenId::Login);
    CADOConn::releaseCachedHandles();
    SingleInstance::release();
    return code;
}
