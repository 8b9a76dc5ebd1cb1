// The user's reading of the engine's error texts (see Db::explain).
#include "store/CADOConn.h"

#include <utility>

namespace Db {

QString explain(const QString &engineText)
{
    for (const QChar c : engineText)
        if (c.unicode() >= 0x2E80)
            return engineText;
    // The engine's texts are fixed English phrases; the first that matches wins.
    static const std::pair<const char *, const char *> kCauses[] = {
        {"locked", "数据库文件正被另一个程序占用（例如另一份正在运行的Lumet，或打开了它的sqlcipher）。请关闭那个程序后再试。"},
        {"disk is full", "磁盘空间已满，数据无法写入数据库文件。请腾出磁盘空间后再试。"},
        {"disk i/o error", "读写数据库文件时磁盘出错：磁盘可能已满、已被移除或已损坏，也可能没有写入权限。"},
        {"readonly", "数据库文件不能写入：文件或它所在的文件夹是只读的，或没有写入权限。"},
        {"unable to open", "无法打开数据库文件：工作目录中没有这个文件，或没有访问它的权限。"},
        {"not a database", "数据库文件已损坏，或不是本程序的数据库文件。请用备份恢复。"},
        {"malformed", "数据库文件已损坏。请用备份恢复。"},
        {"no such table", "数据库文件不完整或已损坏：缺少程序需要的表（也可能正被另一份Lumet改动）。"},
        {"no such column", "数据库文件不完整或已损坏：缺少程序需要的列。"},
        {"out of memory", "内存不足。请关闭其他程序后再试。"},
        // The lab's server (PostgreSQL)
        {"server closed the connection", "与考试服务器的连接中断：网络或服务器暂时不可用。请稍后再试。"},
        {"no connection to the server", "与考试服务器的连接中断：网络或服务器暂时不可用。请稍后再试。"},
        // the server shut down or restarted by its administrator
        {"terminating connection", "与考试服务器的连接中断：网络或服务器暂时不可用。请稍后再试。"},
        {"could not connect", "无法连接考试服务器：请检查网络、服务器是否运行，以及 station.ini 中的连接串。"},
        {"connection to server", "无法连接考试服务器：请检查网络、服务器是否运行，以及 station.ini 中的连接串。"},
        {"password authentication failed", "考试服务器拒绝了登录：station.ini 中的角色或密码不对。"},
        {"permission denied", "考试站在服务器上没有这项权限。"},
        {"does not exist", "服务器上的数据库不完整：缺少程序需要的表或列。"},
    };
    const QString lower = engineText.toLower();
    QString cause = QStringLiteral("数据库操作失败。");
    for (const auto &[phrase, text] : kCauses) {
        if (lower.contains(QLatin1String(phrase))) {
            cause = QString::fromUtf8(text);
            break;
        }
    }
    return QStringLiteral("%1\n（数据库引擎的原文：%2）").arg(cause, engineText);
}

} // namespace Db
