#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "store/Schema.h"
#include "store/WorkDir.h"
#include "support/VornTest.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

class WorkDirTest : public VornTest
{
};

TEST_F(WorkDirTest, DeliversEveryStoredTableAndTheInitialDigests)
{
    CADOConn conn;
    for (const QString &file : {Db::Questions, Db::Personnel}) {
        for (const QString &table : Schema::storedTableNames(file)) {
            RecordsetPtr rs = conn.openRecordset(QStringLiteral("select * from %1").arg(table), file);
            EXPECT_TRUE(rs->isOpen()) << table.toStdString();
        }
    }
    RecordsetPtr rs = conn.openRecordset("select * from LastPass", Db::Personnel);
    ASSERT_EQ(rs->recordCount(), 3);
    const QStringList admin = passwordDigests(Account::Admin, "284615");
    const QStringList manager = passwordDigests(Account::Manager, "590372");
    for (int i = 0; i < 3; ++i, rs->moveNext()) {
        EXPECT_EQ(rs->getString("系统管理员密码"), admin.at(i));
        EXPECT_EQ(rs->getString("考试管理员密码"), manager.at(i));
    }
    EXPECT_TRUE(QDir(path("QuestionMap")).exists());
    EXPECT_TRUE(QDir(path("QuestionMap")).isEmpty());
}

TEST_F(WorkDirTest, RefusesAFolderThatHoldsData)
{
    {
        CADOConn conn;
        conn.execute("insert into examinee (姓名) values ('张三')", Db::Personnel);
    }
    QFile::remove(path(Db::Questions));
    QString error;
    EXPECT_FALSE(WorkDir::prepare(workDir(), &error));
    EXPECT_TRUE(error.contains(Db::Personnel));
    EXPECT_FALSE(QFile::exists(path(Db::Questions))) << "nothing is added beside existing data";
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 姓名 from examinee"), (QList<QStringList>{{"张三"}}));
}

TEST_F(WorkDirTest, AFolderThatCannotBeWrittenLeavesNoHalfFile)
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther);
    const QString target = dir.path();
    EXPECT_TRUE(asUnprivileged([&] {
        QString error;
        return !WorkDir::prepare(target, &error) && !error.isEmpty();
    }));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
}

TEST_F(WorkDirTest, TheSqlcipherShellOpensTheFilesWithThePassword)
{
    if (QStandardPaths::findExecutable("sqlcipher").isEmpty())
        GTEST_SKIP() << "no sqlcipher shell";
    const auto shell = [&](const QByteArray &input) {
        QProcess p;
        p.setWorkingDirectory(workDir());
        p.start("sqlcipher", {Db::Personnel});
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
    };
    CADOConn::releaseCachedHandles();
    EXPECT_EQ(shell("PRAGMA key='rtm9wzp4bj81ncd';\nselect count(*) from LastPass;\n"), "3");
    EXPECT_TRUE(shell("select count(*) from LastPass;\n").contains("not a database"));
}

// Where the program works: the folder asked for, else the current one when
// it holds a database, else the user's own; only a folder without databases
// is prepared, and one that holds only one database is never touched.
TEST_F(WorkDirTest, ChoosesTheFolderToWorkInAndPreparesOnlyAnEmptyOne)
{
    QTemporaryDir root;
    const QString home = root.filePath("home/.local/share/vorn");
    const QString empty = root.filePath("empty");
    QDir().mkpath(empty);

    WorkDir::Choice c = WorkDir::choose({}, empty, home);
    EXPECT_EQ(c.path, home);
    EXPECT_TRUE(c.prepared);
    EXPECT_TRUE(c.error.isEmpty());
    EXPECT_TRUE(QFile::exists(home + "/personnel.mdb"));
    c = WorkDir::choose({}, empty, home); // the second start finds it
    EXPECT_EQ(c.path, home);
    EXPECT_FALSE(c.prepared);

    EXPECT_EQ(WorkDir::choose({}, workDir(), home).path, QDir::cleanPath(workDir())); // run.sh's way
    c = WorkDir::choose("lab/../lab", root.path(), home); // relative to the current folder
    EXPECT_EQ(c.path, root.filePath("lab"));
    EXPECT_TRUE(c.prepared);

    const QString half = root.filePath("half");
    QDir().mkpath(half);
    QFile::copy(path(Db::Questions), half + "/" + Db::Questions);
    c = WorkDir::choose(half, empty, home);
    EXPECT_FALSE(c.prepared); // start-up explains the missing file instead
    EXPECT_FALSE(QFile::exists(half + "/" + Db::Personnel));

    QFile blocker(root.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    c = WorkDir::choose(root.filePath("file/sub"), empty, home);
    EXPECT_FALSE(c.prepared);
    EXPECT_FALSE(c.error.isEmpty());
}
