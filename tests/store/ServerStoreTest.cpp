// The store on the lab's server: the same wrapper, statements and
// transactions as on the files, and what the server adds.
#include "store/CADOConn.h"
#include "store/Schema.h"
#include "store/Station.h"
#include "support/ServerTest.h"

#include <QFile>
#include <QProcess>

class ServerStoreTest : public ServerTest
{
};

TEST_F(ServerStoreTest, RecordsetsReadWriteAndNumberRowsAsOnTheFiles)
{
    CADOConn conn;
    ASSERT_TRUE(conn.execute("insert into examinee (姓名,部门,职务) values (?,?,?)", Db::Personnel,
                             {"O'Brien", "", QVariant()}));
    RecordsetPtr rs = conn.openRecordset("select * from examinee where 姓名=?", Db::Personnel, {"O'Brien"});
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->columnNames(), (QStringList{"ID", "姓名", "部门", "职务"})) << "the program's spelling";
    EXPECT_FALSE(rs->isNull("部门"));
    EXPECT_TRUE(rs->isNull("职务"));
    // Writing back through the recordset where the table's key is the engine's own.
    rs->put("职务", "组长");
    rs->update();
    rs->addNew();
    rs->put("姓名", "乙");
    rs->update();
    EXPECT_EQ(rs->getString("ID"), "2") << "the key is numbered by the server and read back";
    rs->moveFirst();
    rs->deleteCurrent();
    RecordsetPtr pass = conn.openRecordset("select * from LastPass", Db::Personnel);
    pass->put("系统管理员密码", "x"); // a table without ID
    pass->update();
    conn.close();
    EXPECT_EQ(serverRows("select 姓名, coalesce(职务,'-') from personnel.examinee order by id"),
              (QList<QStringList>{{"乙", "-"}}));
    EXPECT_EQ(serverRows("select count(*) from personnel.lastpass where 系统管理员密码='x'"),
              (QList<QStringList>{{"1"}}));

    // Jet's Val() and numbers written as the files' engine writes them.
    rs = conn.openRecordset("select val('72.5') as a, val(' 85分') as b, val('abc') as c, val(null) as d, "
                            "sum(val('1.50')) as e, count(*) as vN",
                            Db::Personnel);
    EXPECT_EQ(rs->getString("a"), "72.5");
    EXPECT_EQ(rs->getString("b"), "85");
    EXPECT_EQ(rs->getString("c"), "0");
    EXPECT_TRUE(rs->isNull("d"));
    EXPECT_EQ(rs->getString("e"), "1.5");
    EXPECT_EQ(rs->columnNames().last(), "vN");

    // A long list is walked row by row; one left early leaves the connection
    // ready for the next statement.
    for (int i = 0; i < 50; ++i)
        conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {QString::number(i)});
    QStringList walked;
    conn.forEachRow("select 姓名 from examinee where 姓名<>? order by ID", Db::Personnel, {"乙"},
                    [&](const CRecordset &row) {
                        walked << row.getString("姓名");
                        return walked.size() < 3;
                    });
    EXPECT_EQ(walked, (QStringList{"0", "1", "2"}));
    EXPECT_EQ(conn.openRecordset("select count(*) as n from examinee", Db::Personnel)->getString("n"), "51");
}

TEST_F(ServerStoreTest, AFailedStatementInsideATransactionLeavesTheRestAsOnTheFiles)
{
    {
        CADOConn conn;
        DbTransaction tx(conn, Db::Personnel);
        conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"留下"});
        // The server would abort the whole transaction here; the files' engine does not.
        EXPECT_FALSE(conn.execute("insert into NoSuchTable values (1)", Db::Personnel));
        conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"也留下"});
        tx.commit();
    }
    {
        CADOConn conn;
        DbTransaction tx(conn, Db::Personnel);
        conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"撤销"});
        // leaving without commit rolls back
    }
    {
        // An inner transaction left without commit undoes itself alone.
        CADOConn conn;
        DbTransaction tx(conn, Db::Personnel);
        {
            DbTransaction inner(conn, Db::Personnel);
            conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"内层撤销"});
        }
        {
            DbTransaction inner(conn, Db::Personnel);
            conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"内层留下"});
            inner.commit();
        }
        tx.commit();
    }
    EXPECT_EQ(serverRows("select 姓名 from personnel.examinee order by id"),
              (QList<QStringList>{{"留下"}, {"也留下"}, {"内层留下"}}));
}

TEST_F(ServerStoreTest, WorkingTablesStayOnEachStation)
{
    // Two stations: two working directories on one server.
    QTemporaryDir other;
    auto draw = [](const QString &who) {
        CADOConn conn;
        Schema::recreate(conn, Schema::examInterim());
        EXPECT_TRUE(conn.execute("insert into interim (题干) values (?)", Db::Personnel, {who}));
    };
    draw("甲站");
    const QString first = QDir::currentPath();
    QDir::setCurrent(other.path());
    draw("乙站");
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset("select * from interim", Db::Personnel);
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->getString("题干"), "乙站");
    conn.close();
    QDir::setCurrent(first);
    EXPECT_TRUE(serverRows("select 1 from pg_tables where tablename='interim'").isEmpty())
        << "nothing of a draw reaches the server";
}

TEST_F(ServerStoreTest, StationsMayChangeRowsButNotTables)
{
    ASSERT_FALSE(m_setup.stationPassword.isEmpty());
    CADOConn::useServer(ServerCluster::asRole(server(), m_setup.stationRole, m_setup.stationPassword));
    CADOConn conn;
    EXPECT_TRUE(conn.execute("insert into examinee (姓名) values (?)", Db::Personnel, {"甲"}));
    EXPECT_TRUE(conn.execute("update ExamRegister set 成绩=? where ID=?", Db::Personnel, {"1", 1}));
    EXPECT_FALSE(conn.execute("drop table ExamRegister", Db::Personnel));
    EXPECT_FALSE(conn.execute("create table extra (a int)", Db::Personnel));
    EXPECT_TRUE(conn.tryLock(Db::Personnel, 7));

    // A second station cannot take the same lock; it is free once the first lets go.
    const QString first = QDir::currentPath();
    QTemporaryDir other;
    QDir::setCurrent(other.path());
    CADOConn second;
    EXPECT_FALSE(second.tryLock(Db::Personnel, 7));
    QDir::setCurrent(first);
    conn.unlock(Db::Personnel, 7);
    QDir::setCurrent(other.path());
    EXPECT_TRUE(second.tryLock(Db::Personnel, 7));
    // Let go inside a transaction, as a hand-in does: held until the commit.
    {
        DbTransaction tx(second, Db::Personnel);
        second.executeOrThrow("update ExamRegister set 成绩=? where ID=?", Db::Personnel, {"2", 1});
        second.unlock(Db::Personnel, 7);
        QDir::setCurrent(first);
        EXPECT_FALSE(conn.tryLock(Db::Personnel, 7));
        QDir::setCurrent(other.path());
        tx.commit();
    }
    QDir::setCurrent(first);
    EXPECT_TRUE(conn.tryLock(Db::Personnel, 7));

    EXPECT_FALSE(ServerSetup::create(server()).error.isEmpty()) << "set up twice";
}

TEST(StationFile, ChoosesTheServerAndRefusesAFileOthersCanRead)
{
    QTemporaryDir dir;
    EXPECT_TRUE(Station::read(dir.path()).server.isEmpty()) << "no station file: the files";
    QFile f(dir.filePath(Station::FileName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# lab\n[server]\nconnection = host=lab dbname=vorn user=vorn_station password=x sslmode=require\n");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    Station::Choice c = Station::read(dir.path());
    EXPECT_TRUE(c.server.isEmpty());
    EXPECT_TRUE(c.error.contains("chmod 600")) << c.error.toStdString();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    c = Station::read(dir.path());
    EXPECT_EQ(c.server, "host=lab dbname=vorn user=vorn_station password=x sslmode=require");
    EXPECT_TRUE(c.error.isEmpty());
}
