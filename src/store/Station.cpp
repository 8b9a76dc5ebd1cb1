#include "store/Station.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace Station {

Choice read(const QString &dir)
{
    Choice c;
    const QString path = QDir(dir).absoluteFilePath(FileName);
    QFile file(path);
    if (!file.exists()) {
        c.server = qEnvironmentVariable("VORN_SERVER").trimmed();
        return c;
    }
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & (S_IRWXG | S_IRWXO))) {
        c.error = QStringLiteral("站点文件 %1 其他用户也能读取，其中的连接密码可能泄露。\n"
                                 "请执行 chmod 600 %1 后再启动。")
                      .arg(QDir::toNativeSeparators(path));
        return c;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        c.error = QStringLiteral("无法读取站点文件 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString());
        return c;
    }
    bool inServer = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inServer = line.compare(QLatin1String("[server]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (inServer && eq > 0 && line.left(eq).trimmed().compare(QLatin1String("connection"), Qt::CaseInsensitive) == 0)
            c.server = line.mid(eq + 1).trimmed();
    }
    if (c.server.isEmpty())
        c.error = QStringLiteral("站点文件 %1 中没有 [server] 一节的 connection（考试服务器的连接串）。")
                      .arg(QDir::toNativeSeparators(path));
    return c;
}

} // namespace Station
