#include "store/SharedFiles.h"

#include "store/CADOConn.h"
#include "store/SafeFile.h"

#include <QFileInfo>

namespace SharedFiles {

namespace {

struct Place
{
    QString file;
    QString table;
};

Place placeOf(Kind kind)
{
    return kind == Kind::Settings ? Place{Db::Personnel, QStringLiteral("settings")}
                                  : Place{Db::Questions, QStringLiteral("pictures")};
}

} // namespace

std::optional<QByteArray> read(Kind kind, const QString &name)
{
    if (!CADOConn::onServer())
        return std::nullopt;
    const Place p = placeOf(kind);
    CADOConn conn;
    const RecordsetPtr r =
        conn.openRecordset(QStringLiteral("select content from %1 where name=?").arg(p.table), p.file, {name});
    if (!r->isOpen() || r->recordCount() == 0)
        return std::nullopt;
    return QByteArray::fromBase64(r->getString(QStringLiteral("content")).toLatin1());
}

bool write(Kind kind, const QString &name, const QByteArray &bytes, QString *error)
{
    if (!CADOConn::onServer())
        return true;
    const Place p = placeOf(kind);
    CADOConn conn;
    try {
        // Kept as base64 text: the wrapper binds every value as text.
        conn.executeOrThrow(QStringLiteral("insert into %1 (name, content) values (?, ?) on conflict (name) "
                                           "do update set content = excluded.content")
                                .arg(p.table),
                            p.file, {name, QString::fromLatin1(bytes.toBase64())});
        return true;
    } catch (const DbError &e) {
        if (error)
            *error = Db::explain(e.text());
        return false;
    }
}

bool fetch(const QString &name, const QString &path)
{
    // The server's picture wins: another station may have replaced it.
    if (const std::optional<QByteArray> bytes = read(Kind::Picture, name)) {
        SafeFile file(path);
        if (!(file.open() && file.write(*bytes) && file.commit()))
            return false;
    }
    return QFileInfo::exists(path);
}

} // namespace SharedFiles
