#include "app/program/CommandLine.h"

#include "store/Installed.h"

namespace CommandLine {

Options parse(const QStringList &arguments)
{
    Options o;
    auto refuse = [&](const QString &why) {
        o.action = Options::Refused;
        o.error = why;
        return o;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--version") || a == QLatin1String("-v")) {
            o.action = Options::Version;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.action = Options::Help;
        } else if (a == QLatin1String("--workdir")) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
                return refuse(QStringLiteral("--workdir 后面应是一个目录"));
            o.workdir = arguments.at(++i);
        } else if (a.startsWith(QLatin1String("--workdir="))) {
            o.workdir = a.mid(10);
            if (o.workdir.isEmpty())
                return refuse(QStringLiteral("--workdir 后面应是一个目录"));
        } else if (a.startsWith(QLatin1Char('-'))) {
            // Qt's own options (-platform, -display …) are Qt's to read.
            if (a == QLatin1String("-platform") || a == QLatin1String("-display") || a == QLatin1String("-style"))
                ++i;
            else if (!a.startsWith(QLatin1String("-platform=")) && !a.startsWith(QLatin1String("-style=")))
                return refuse(QStringLiteral("不认识的选项：%1").arg(a));
        } else {
            return refuse(QStringLiteral("多余的参数：%1").arg(a));
        }
    }
    return o;
}

QString helpText()
{
    return QStringLiteral(
        "用法：vorn [--workdir 目录]\n"
        "鲁美考试系统（Lumet）：题库、组卷、考试与成绩管理。\n"
        "\n"
        "  --workdir 目录  在这个工作目录中运行；目录里还没有数据库时，先像 vorn-setup 一样建立\n"
        "  --version       显示版本后退出\n"
        "  --help          显示本说明后退出\n"
        "\n"
        "不给 --workdir 时：当前目录里有 questions.mdb 或 personnel.mdb 就在当前目录运行，\n"
        "否则使用本用户自己的工作目录 $XDG_DATA_HOME/vorn（默认 ~/.local/share/vorn），\n"
        "第一次启动时建立它。\n");
}

QString versionText()
{
    return QStringLiteral("vorn（鲁美考试系统 Lumet）%1\n").arg(Installed::version());
}

} // namespace CommandLine
