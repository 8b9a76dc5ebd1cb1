// Test main: one offscreen application for the whole run, faces, locale and
// the table of routes as in the program.
#include "app/Fonts.h"
#include "app/Translations.h"
#include "app/program/Routes.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorn"));
    Fonts::installSubstitutions();
    Translations::useChineseLocale(); // as the program does
    Routes::install();
    return RUN_ALL_TESTS();
}
