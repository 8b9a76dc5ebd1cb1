#include "support/VornTest.h"

#include "app/FileDialogs.h"

#include <QThreadPool>
#include <QWidget>
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Random.h"
#include "store/WorkDir.h"

#include <sqlite3.h>
#include <chrono>
#include <csignal>
#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

QString describe(const ShownMessage &m)
{
    return QStringLiteral("%1 \"%2\" [%3] icon=%4 buttons=%5")
        .arg(m.kind == ShownMessage::Timed ? QStringLiteral("timed") : QStringLiteral("box"), m.text, m.caption)
        .arg(int(m.icon))
        .arg(int(m.buttons));
}

void VornTest::SetUp()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    QString error;
    ASSERT_TRUE(WorkDir::prepare(m_dir->path(), &error)) << error.toStdString();
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_dir->path());

    MessageBox::setHandler([this](const ShownMessage &m) {
        m_shown << m;
        if (m_expected.empty()) {
            ADD_FAILURE() << "unexpected message: " << describe(m).toStdString();
            return m.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
        }
        ExpectedMessage e = m_expected.front();
        m_expected.pop_front();
        EXPECT_EQ(e.message.kind, m.kind) << describe(m).toStdString();
        EXPECT_EQ(e.message.text, m.text);
        EXPECT_EQ(e.message.caption, m.caption) << describe(m).toStdString();
        if (m.kind == ShownMessage::Box) {
            if (e.checkIcon) {
                EXPECT_EQ(int(e.message.icon), int(m.icon)) << describe(m).toStdString();
            }
            EXPECT_EQ(int(e.message.buttons), int(m.buttons)) << describe(m).toStdString();
        } else {
            EXPECT_EQ(e.message.seconds, m.seconds) << describe(m).toStdString();
        }
        return e.answer;
    });
    FileDialogs::setHandler([this](const FileDialogRequest &) {
        if (m_fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return QString();
        }
        QString answer = m_fileAnswers.front();
        m_fileAnswers.pop_front();
        return answer;
    });
    Nav::setExitHandler([this] { m_exited = true; });
    Nav::takeRequestedScreen();
    Clock::setFixed(QDateTime());
    Random::setSeed(std::nullopt);
}

void VornTest::TearDown()
{
    for (const ExpectedMessage &e : m_expected)
        ADD_FAILURE() << "message never shown: " << describe(e.message).toStdString();
    MessageBox::setHandler({});
    FileDialogs::setHandler({});
    Nav::setExitHandler({});
    Nav::takeRequestedScreen();
    Clock::setFixed(QDateTime());
    Random::setSeed(std::nullopt);
    CADOConn::releaseCachedHandles();
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void VornTest::expectBox(const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons,
                         MsgAnswer answer)
{
    ExpectedMessage e;
    e.message.text = text;
    e.message.caption = caption;
    e.message.icon = icon;
    e.message.buttons = buttons;
    e.answer = answer;
    m_expected.push_back(e);
}

void VornTest::expectText(const QString &text, const QString &caption)
{
    expectBox(text, caption);
    m_expected.back().checkIcon = false;
}

void VornTest::expectTimed(const QString &text, const QString &caption, int seconds)
{
    ExpectedMessage e;
    e.message.kind = ShownMessage::Timed;
    e.message.text = text;
    e.message.caption = caption;
    e.message.seconds = seconds;
    m_expected.push_back(e);
}

void VornTest::expectAllShown()
{
    for (const ExpectedMessage &e : m_expected)
        ADD_FAILURE() << "message not shown: " << describe(e.message).toStdString();
    m_expected.clear();
}

void VornTest::answerFileDialog(const QString &path)
{
    m_fileAnswers.push_back(path);
}

namespace {

sqlite3 *openOutsider(const QString &file)
{
    // The program holds its files while it runs; an outsider comes between commands.
    CADOConn::releaseCachedHandles();
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(QDir::current().filePath(file)).constData(), &db,
                        SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK) {
        ADD_FAILURE() << "outsider cannot open " << file.toStdString();
        return db;
    }
    sqlite3_key(db, Db::Password, int(qstrlen(Db::Password)));
    sqlite3_busy_timeout(db, 5000);
    return db;
}

sqlite3_stmt *prepareOutsider(sqlite3 *db, const QString &sql, const QVariantList &params)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "outsider SQL failed: " << sqlite3_errmsg(db) << " in " << sql.toStdString();
        return nullptr;
    }
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &v = params.at(i);
        if (v.isNull())
            sqlite3_bind_null(stmt, i + 1);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
            sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
        else
            sqlite3_bind_text(stmt, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
    }
    return stmt;
}

} // namespace

void VornTest::outsiderExec(const QString &file, const QString &sql, const QVariantList &params)
{
    sqlite3 *db = openOutsider(file);
    if (sqlite3_stmt *stmt = prepareOutsider(db, sql, params)) {
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            ADD_FAILURE() << "outsider SQL failed: " << sqlite3_errmsg(db) << " in " << sql.toStdString();
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
}

QList<QStringList> VornTest::outsiderRows(const QString &file, const QString &sql, const QVariantList &params)
{
    QList<QStringList> rows;
    sqlite3 *db = openOutsider(file);
    if (sqlite3_stmt *stmt = prepareOutsider(db, sql, params)) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                if (sqlite3_column_type(stmt, i) == SQLITE_NULL)
                    row << QString();
                else
                    row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)));
            }
            rows << row;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    return rows;
}

int waitForChild(int pid, int limitSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            return status;
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        ::usleep(10000);
    }
    ADD_FAILURE() << "child " << pid << " still running after " << limitSeconds << " s; killed";
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return status;
}

bool asUnprivileged(const std::function<bool()> &body)
{
    CADOConn::releaseCachedHandles(); // no engine handle may cross the fork
    // Painting a large image hands parts to the global thread pool; the
    // child would hand them to threads that exist only in the parent and
    // wait for ever. An empty pool makes the child start threads of its own.
    QThreadPool::globalInstance()->waitForDone();
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const bool ok = body();
        CADOConn::releaseCachedHandles();
        ::_exit(ok ? 0 : 1);
    }
    const int status = waitForChild(pid);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void saveShot(QWidget *widget, const QString &name)
{
    const QString dir = qEnvironmentVariable("VORN_SHOTS");
    if (!dir.isEmpty())
        widget->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
