// vorn-setup DIR: prepares DIR as a working directory of the program.
#include "store/WorkDir.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: vorn-setup DIR\n";
        return 2;
    }
    QString error;
    if (!WorkDir::prepare(args.at(1), &error)) {
        err << "vorn-setup: " << error << "\n";
        return 1;
    }
    return 0;
}
