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
            MessageBox::show(nullptr,
                             QStringLiteral("程序无法启动：数据库文件 %1 不能使用。\n%2").arg(file, Db::explain(error)),
                             Caption::Default, MsgIcon::Warning);
            CADOConn::releaseCachedHandles();
            SingleInstance::release();
            return false;
        }
    }
    return true;
}

} // namespace Startup
