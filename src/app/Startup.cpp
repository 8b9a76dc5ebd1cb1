#include "app/Startup.h"

#include "app/MessageBox.h"
#include "app/SingleInstance.h"
#include "store/CADOConn.h"

#include <QDir>

namespace Startup {

bool prepareWorkingDirectory()
{
    QString reason;
    if (!SingleInstance::lockWorkingDirectory(QDir::currentPath(), &reason)) {
        MessageBox::show(nullptr, reason, Caption::Tip, MsgIcon::Warning);
        return false;
    }
    // Opened and locked now, so a missing or damaged file is known before
    // anybody signs in or sits an exam, not at the first command.
    for (const QString &file : {Db::Questions, Db::Personnel}) {
        QString error;
        if (!CADOConn::holdFile(file, &error)) {
            const QString what = CADOConn::onServer()
                                     ? QStringLiteral("不能使用考试服务器上的%1。")
                                           .arg(file == Db::Questions ? QStringLiteral("题库") : QStringLiteral("人员和成绩数据"))
                                     : QStringLiteral("数据库文件 %1 不能使用。").arg(file);
            MessageBox::show(nullptr, QStringLiteral("程序无法启动：%1\n%2").arg(what, Db::explain(error)),
                             Caption::Default, MsgIcon::Warning);
            CADOConn::releaseCachedHandles();
            SingleInstance::release();
            return false;
        }
    }
    // A station of a lab keeps its copies of the server's pictures here.
    if (CADOConn::onServer())
        QDir().mkpath(QStringLiteral("QuestionMap"));
    return true;
}

} // namespace Startup
