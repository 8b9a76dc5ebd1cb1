// vorn-setup DIR: prepares DIR as a working directory of the program.
// vorn-setup --server URL [--from DIR]: makes an empty PostgreSQL database
// the home of an exam lab, and copies a working directory onto it.
#include "store/ServerSetup.h"
#include "store/WorkDir.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString usage = QStringLiteral("用法: vorn-setup DIR\n"
                                         "      vorn-setup --server 连接串 [--from DIR] [--station-role 角色名]\n");
    if (args.size() == 1 && !args.at(0).startsWith(QLatin1String("--"))) {
        QString error;
        if (!WorkDir::prepare(args.at(0), &error)) {
            err << "vorn-setup: " << error << "\n";
            return 1;
        }
        return 0;
    }
    QString server, from, role = QStringLiteral("vorn_station");
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--server") && hasValue)
            server = args.at(++i);
        else if (a == QLatin1String("--from") && hasValue)
            from = args.at(++i);
        else if (a == QLatin1String("--station-role") && hasValue)
            role = args.at(++i);
        else {
            err << usage;
            return 2;
        }
    }
    if (server.isEmpty()) {
        err << usage;
        return 2;
    }
    const ServerSetup::Result made = ServerSetup::create(server, role);
    if (!made.error.isEmpty()) {
        err << "vorn-setup: " << made.error << "\n";
        return 1;
    }
    out << "考试服务器上的数据已建好。\n";
    if (!made.stationPassword.isEmpty())
        out << "考试站登录用的角色 " << made.stationRole << " 的密码是: " << made.stationPassword
            << "\n请把它写进每台考试站的 station.ini（只允许所有者读取），本程序不会再次显示它。\n";
    if (!from.isEmpty()) {
        const QString error = ServerSetup::copyFrom(server, from);
        if (!error.isEmpty()) {
            err << "vorn-setup: " << error << "\n";
            return 1;
        }
        out << "已从 " << from << " 复制题库、试卷、考生、考试和成绩，所有保存码均已核对。\n";
    }
    return 0;
}
