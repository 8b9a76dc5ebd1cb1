#pragma once
// The program's command line: vorn [--workdir DIR] | --version | --help.
// Read before any window system is touched, so --version and --help answer
// on a terminal without a display.
#include <QString>
#include <QStringList>

namespace CommandLine {

struct Options
{
    enum Action { Run, Version, Help, Refused } action = Run;
    QString workdir; // empty: chosen as WorkDir::choose says
    QString error;   // why the line was refused
};

// arguments without the program name.
Options parse(const QStringList &arguments);

QString helpText();
QString versionText();

} // namespace CommandLine
