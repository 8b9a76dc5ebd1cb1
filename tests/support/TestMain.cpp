// Test main: one offscreen application for the whole run, faces mapped as in
// the program.
#include "app/Fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorn"));
    Fonts::installSubstitutions();
    return RUN_ALL_TESTS();
}
