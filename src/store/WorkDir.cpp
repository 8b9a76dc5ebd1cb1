#include "store/WorkDir.h"

#include "store/Station.h"

#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

namespace WorkDir {

namespace {

bool exec(sqlite3 *db, const QString &sql, const QVariantList &params, QString *error)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    QList<QByteArray> keep;
    for (int i = 0; i < params.size(); ++i) {
        keep << params.at(i).toString().toUtf8();
        sqlite3_bind_text(stmt, i + 1, keep.last().constData(), int(keep.last().size()), SQLITE_STATIC);
    }
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    return true;
}

// The delivered templates; absent ones are skipped.
const char *const kTemplates[] = {"questions.xls", "examinee.xls"};

} // namespace

bool createDatabase(const QString &path, const QString &file, QString *error)
{
    const QString temp = path + QStringLiteral(".part");
    QFile::remove(temp);
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(temp).constData(), &db,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
              == SQLITE_OK;
    if (!ok)
        *error = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
    if (ok)
        ok = sqlite3_key(db, Db::Password, int(qstrlen(Db::Password))) == SQLITE_OK;
    if (ok)
        ok = exec(db, QStringLiteral("BEGIN"), {}, error);
    for (const QString &sql : Schema::storedTables(file) + Schema::indexes(file)) {
        if (ok)
            ok = exec(db, sql, {}, error);
    }
    if (ok && file == Db::Personnel) {
        const QStringList admin = passwordDigests(Account::Admin, initialPassword(Account::Admin));
        const QStringList manager = passwordDigests(Account::Manager, initialPassword(Account::Manager));
        for (int i = 0; ok && i < 3; ++i)
            ok = exec(db, QStringLiteral("INSERT INTO LastPass (系统管理员密码, 考试管理员密码) VALUES (?, ?)"),
                      {admin.at(i), manager.at(i)}, error);
    }
    if (ok)
        ok = exec(db, QStringLiteral("COMMIT"), {}, error);
    sqlite3_close_v2(db);
    if (ok && QFile::exists(path)) {
        *error = QStringLiteral("%1 已存在").arg(path);
        ok = false;
    }
    if (ok && !QFile::rename(temp, path)) {
        *error = QStringLiteral("无法写入 %1").arg(path);
        ok = false;
    }
    if (!ok)
        QFile::remove(temp);
    return ok;
}

bool prepare(const QString &dir, QString *error)
{
    QDir target(dir);
    for (const QString &file : {Db::Questions, Db::Personnel}) {
        if (QFileInfo::exists(target.filePath(file))) {
            *error = QStringLiteral("%1 已有数据库 %2，不作任何改动。").arg(QDir::toNativeSeparators(target.absolutePath()), file);
            return false;
        }
    }
    if (!target.exists() && !QDir().mkpath(target.absolutePath())) {
        *error = QStringLiteral("无法创建目录 %1").arg(QDir::toNativeSeparators(target.absolutePath()));
        return false;
    }
    if (!createDatabase(target.filePath(Db::Questions), Db::Questions, error))
        return false;
    if (!createDatabase(target.filePath(Db::Personnel), Db::Personnel, error)) {
        QFile::remove(target.filePath(Db::Questions));
        return false;
    }
    if (!target.exists(QStringLiteral("QuestionMap")) && !target.mkdir(QStringLiteral("QuestionMap"))) {
        *error = QStringLiteral("无法创建目录 QuestionMap");
        return false;
    }
    for (const char *name : kTemplates) {
        const QString source = QStringLiteral(":/res/templates/%1").arg(QLatin1String(name));
        const QString dest = target.filePath(QLatin1String(name));
        if (QFile::exists(source) && !QFile::exists(dest)) {
            QFile::copy(source, dest);
            QFile::setPermissions(dest, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    return true;
}

bool holdsDatabase(const QString &dir)
{
    const QDir d(dir);
    return QFileInfo::exists(d.filePath(Db::Questions)) || QFileInfo::exists(d.filePath(Db::Personnel));
}

Choice choose(const QString &asked, const QString &current, const QString &userFolder)
{
    Choice c;
    if (!asked.isEmpty())
        c.path = QDir(current).absoluteFilePath(asked);
    else if (holdsDatabase(current) || QFileInfo::exists(QDir(current).filePath(Station::FileName)))
        c.path = current;
    else
        c.path = userFolder;
    c.path = QDir::cleanPath(c.path);
    // A station of an exam lab keeps its stores on the server.
    if (!holdsDatabase(c.path) && !QFileInfo::exists(QDir(c.path).filePath(Station::FileName)))
        c.prepared = prepare(c.path, &c.error);
    return c;
}

QString userFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("vorn"));
}

} // namespace WorkDir
