// Lumet: start-up. One copy per user, the Windows faces mapped to Noto CJK,
// Qt's own texts in Chinese, one copy per working directory with both
// database files held, then the screen loop from the start screen.
#include "app/Fonts.h"
#include "app/program/ScreenLoop.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/Translations.h"
#include "store/CADOConn.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorn"));
    if (!SingleInstance::acquire())
        return 0; // a copy runs already: end silently
    Fonts::installSubstitutions();
    Translations::install(); // without them Qt's own texts stay English
    Translations::useChineseLocale();
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
