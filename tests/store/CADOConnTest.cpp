#include "app/Command.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Schema.h"
#include "store/TextTable.h"
#include "store/WorkDir.h"
#include "support/VornTest.h"

#include <QFile>

#include <sys/stat.h>

class CADOConnTest : public VornTest
{
};

TEST_F(CADOConnTest, NullAndEmptyStayDistinctAndQuotesAreJustText)
{
    CADOConn conn;
    ASSERT_TRUE(conn.execute("insert into examinee (姓名,部门,职务) values (?,?,?)", Db::Personnel,
                             {"O'Brien", "", QVariant()}));
    RecordsetPtr rs = conn.openRecordset("select * from examinee where 姓名=?", Db::Personnel, {"O'Brien"});
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->getString("姓名"), "O'Brien");
    EXPECT_FALSE(rs->isNull("部门"));
    EXPECT_TRUE(rs->isNull("职务"));
    EXPECT_EQ(rs->getString("职务"), "") << "a null reads as empty text";
    EXPECT_EQ(rs->getString("id"), "1") << "column names are matched without case";
    EXPECT_THROW(rs->getString("没有这列"), DbError);
}

TEST_F(CADOConnTest, RecordsetAddsChangesAndDeletesRows)
{
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset("select * from examinee", Db::Personnel);
    EXPECT_EQ(rs->recordCount(), 0);
    EXPECT_TRUE(rs->isEOF());
    EXPECT_TRUE(rs->isBOF());
    for (const char *name : {"甲", "乙", "丙"}) {
        rs->addNew();
        rs->put("姓名", QString::fromUtf8(name));
        rs->put("部门", "技术部");
        rs->update();
    }
    EXPECT_EQ(rs->getString("ID"), "3") << "the key is numbered by the engine and read back";
    EXPECT_EQ(rs->recordCount(), 3);

    rs = conn.openRecordset("select * from examinee order by ID", Db::Personnel);
    rs->moveLast();
    EXPECT_EQ(rs->getString("姓名"), "丙");
    rs->movePrevious();
    rs->put("职务", "组长");
    rs->moveFirst(); // moving on writes the pending change, as ADO does
    EXPECT_EQ(rs->getString("姓名"), "甲");
    rs->move(2);
    EXPECT_EQ(rs->getString("姓名"), "丙");
    rs->moveNext();
    EXPECT_TRUE(rs->isEOF());
    EXPECT_THROW(rs->moveNext(), DbError);
    EXPECT_THROW(rs->getString("姓名"), DbError);

    rs->moveFirst();
    rs->deleteCurrent();
    EXPECT_EQ(rs->recordCount(), 2);
    rs->moveNext();
    EXPECT_EQ(rs->getString("姓名"), "乙");
    conn.close();

    EXPECT_EQ(outsiderRows(Db::Personnel, "select 姓名, 职务 from examinee order by ID"),
              (QList<QStringList>{{"乙", "组长"}, {"丙", ""}}));
}

TEST_F(CADOConnTest, FailuresOfStatementsAreSilentUntilUsed)
{
    CADOConn conn;
    EXPECT_FALSE(conn.execute(Schema::examInterim().drop, Db::Personnel)) << "dropping a table never made";
    RecordsetPtr rs = conn.openRecordset("select * from NoSuchTable", Db::Personnel);
    EXPECT_FALSE(rs->isOpen());
    try {
        rs->recordCount();
        FAIL() << "using an unopened recordset must raise";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains("no such table")) << e.text().toStdString();
    }
    // A joined or computed selection reads, but cannot be written.
    RecordsetPtr count = conn.openRecordset("select count(*) as n from LastPass", Db::Personnel);
    EXPECT_EQ(count->getInt("n"), 3);
    EXPECT_THROW(count->put("n", 1), DbError);
}

TEST_F(CADOConnTest, ALongSelectionIsWalkedRowByRowAndPackedWithItsNulls)
{
    CADOConn conn;
    for (const QVariantList &row : {QVariantList{"张三", "财务部", QVariant()}, QVariantList{"李四", "", "出纳"},
                                    QVariantList{"O'Brien", "技术部", "主管"}})
        ASSERT_TRUE(conn.execute("insert into examinee (姓名,部门,职务) values (?,?,?)", Db::Personnel, row));
    const QString sql = "select 姓名,部门,职务 from examinee where ID>=? order by ID";
    TextTable packed(3);
    const auto walk = [&](int stopAfter) {
        packed.clear();
        conn.forEachRow(sql, Db::Personnel, {1}, [&](const CRecordset &r) {
            for (const char *column : {"姓名", "部门", "职务"})
                packed.add(r.value(column));
            return packed.size() < stopAfter;
        });
    };
    walk(2);
    EXPECT_EQ(packed.size(), 2) << "the walk stops where the visitor asks";
    // The statement it stopped in is used again from the start.
    walk(99);
    ASSERT_EQ(packed.size(), 3);
    EXPECT_EQ(packed.value(0, 0), "张三");
    EXPECT_EQ(packed.value(0, 2), std::nullopt) << "null stays apart from the empty text";
    EXPECT_EQ(packed.value(1, 1), "");
    EXPECT_EQ(packed.value(1, 2), "出纳");
    EXPECT_EQ(packed.text(2, 0), "O'Brien");
    EXPECT_EQ(packed.value(2, 2), "主管");
    EXPECT_EQ(packed.value(3, 0), std::nullopt) << "past the last row";

    try {
        conn.forEachRow("select * from NoSuchTable", Db::Personnel, {}, [](const CRecordset &) { return true; });
        FAIL() << "a failed selection must raise";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains("no such table")) << e.text().toStdString();
    }
}

TEST_F(CADOConnTest, WorkingTablesAreCreatedAndDropped)
{
    CADOConn conn;
    for (const Schema::WorkTable *t : {&Schema::examInterim(), &Schema::examSheet()}) {
        conn.execute(t->drop, t->file);
        EXPECT_TRUE(conn.execute(t->create, t->file)) << t->create.toStdString();
    }
    for (const Schema::WorkTable *t :
         {&Schema::browserInterim1(), &Schema::printInterim(), &Schema::printSheet()}) {
        conn.execute(t->drop, t->file);
        EXPECT_TRUE(conn.execute(t->create, t->file)) << t->create.toStdString();
    }
    RecordsetPtr rs = conn.openRecordset("select * from exam", Db::Personnel);
    EXPECT_EQ(rs->columnNames(), (QStringList{"ID", "编号", "科目", "题型", "题干", "A", "B", "C", "D", "E",
                                              "答题", "分值", "图片", "题库ID"}));
    EXPECT_TRUE(conn.execute("Drop Table exam", Db::Personnel));
}

TEST_F(CADOConnTest, ValReadsTheLeadingNumberAsJetDoes)
{
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset(
        "select val('72.5') as a, val(' 85分') as b, val('abc') as c, val('') as d, val('-3e2x') as e",
        Db::Personnel);
    EXPECT_EQ(rs->getString("a"), "72.5");
    EXPECT_EQ(rs->getString("b"), "85");
    EXPECT_EQ(rs->getString("c"), "0");
    EXPECT_EQ(rs->getString("d"), "0");
    EXPECT_EQ(rs->getString("e"), "-300");
    // Ordering scores as numbers, not as texts.
    for (const char *s : {"9", "85", "100", "72.5"})
        conn.execute("insert into ExamRegister (成绩) values (?)", Db::Personnel, {QString::fromLatin1(s)});
    rs = conn.openRecordset("select 成绩 from ExamRegister order by val(成绩) desc", Db::Personnel);
    QStringList order;
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        order << rs->getString("成绩");
    EXPECT_EQ(order, (QStringList{"100", "85", "72.5", "9"}));
}

TEST_F(CADOConnTest, TransactionsKeepAllOrNothing)
{
    {
        CADOConn conn;
        DbTransaction tx(conn, Db::Personnel);
        conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"留下"});
        tx.commit();
    }
    {
        CADOConn conn;
        DbTransaction tx(conn, Db::Personnel);
        conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"撤销"});
        EXPECT_THROW(conn.executeOrThrow("insert into NoSuchTable values (1)", Db::Personnel), DbError);
        // leaving without commit rolls back
    }
    {
        CADOConn conn;
        conn.beginTransaction(Db::Personnel);
        conn.execute("insert into examinee (姓名) values (?)", Db::Personnel, {"未提交"});
        conn.close(); // closing with an open transaction rolls it back
    }
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 姓名 from examinee"), (QList<QStringList>{{"留下"}}));
}

TEST_F(CADOConnTest, InsideATransactionTheOtherFileIsRefusedByName)
{
    CADOConn conn;
    DbTransaction tx(conn, Db::Personnel);
    conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"甲"});
    try {
        conn.executeOrThrow("insert into Subject (科目) values (?)", Db::Questions, {"数学"});
        ADD_FAILURE() << "a statement for questions.mdb ran on personnel.mdb";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains("personnel.mdb")) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains("questions.mdb")) << e.text().toStdString();
        EXPECT_FALSE(e.alreadyReported());
    }
    EXPECT_FALSE(conn.execute("delete from examinee", Db::Questions));
    RecordsetPtr rs = conn.openRecordset("select * from Subject", Db::Questions);
    EXPECT_FALSE(rs->isOpen());
    EXPECT_THROW(rs->recordCount(), DbError);
    EXPECT_THROW(conn.beginTransaction(Db::Questions), DbError);
    // The transaction on its own file carries on.
    conn.executeOrThrow("insert into examinee (姓名) values (?)", Db::Personnel, {"乙"});
    tx.commit();
    // Once it has ended the wrapper serves the other file again.
    EXPECT_TRUE(conn.execute("insert into Subject (科目) values (?)", Db::Questions, {"数学"}));
    conn.close();
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 姓名 from examinee order by ID"),
              (QList<QStringList>{{"甲"}, {"乙"}}));
    EXPECT_EQ(outsiderRows(Db::Questions, "select 科目 from Subject"), (QList<QStringList>{{"数学"}}));
}

TEST_F(CADOConnTest, TheFilesAreEncryptedWithTheDatabasePassword)
{
    QFile f(path(Db::Personnel));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.read(16).startsWith("SQLite format 3")) << "a plain engine must not read the file";
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from LastPass"), (QList<QStringList>{{"3"}}));
}

TEST_F(CADOConnTest, AMissingFileIsReportedAndNeverCreated)
{
    CADOConn::releaseCachedHandles();
    QFile::remove(path(Db::Personnel));
    // The likely causes in Chinese, the engine's own text after them.
    expectBox("无法打开数据库文件：工作目录中没有这个文件，或没有访问它的权限。\n"
              "（数据库引擎的原文：unable to open database file）",
              Caption::Default);
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset("select * from LastPass", Db::Personnel);
    EXPECT_FALSE(rs->isOpen());
    EXPECT_FALSE(conn.execute("delete from LastPass", Db::Personnel)) << "later operations fail, silently";
    EXPECT_FALSE(QFile::exists(path(Db::Personnel)));

    // A command on the missing file reports it once, not once more at its edge.
    expectBox(Db::explain("unable to open database file"), Caption::Default);
    runCommand(nullptr, [] {
        CADOConn again;
        again.openRecordset("select * from LastPass", Db::Personnel)->recordCount();
    });
}

TEST_F(CADOConnTest, DamagedFilesAreRefusedAndLeftAsTheyWere)
{
    CADOConn::releaseCachedHandles();
    // Empty file: the engine would happily take it for a new database.
    QFile(path(Db::Personnel)).open(QIODevice::WriteOnly | QIODevice::Truncate);
    expectBox("数据库文件已损坏，或不是本程序的数据库文件。请用备份恢复。\n"
              "（数据库引擎的原文：file is encrypted or is not a database）",
              Caption::Default);
    {
        CADOConn conn;
        EXPECT_FALSE(conn.openConnection(Db::Personnel));
    }
    EXPECT_EQ(QFileInfo(path(Db::Personnel)).size(), 0);

    // Text that is no database.
    {
        QFile f(path(Db::Questions));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(5000, 'x'));
    }
    expectText(Db::explain("file is encrypted or is not a database"), Caption::Default);
    {
        CADOConn conn;
        EXPECT_FALSE(conn.openConnection(Db::Questions));
    }
    EXPECT_EQ(QFileInfo(path(Db::Questions)).size(), 5000);
}

TEST_F(CADOConnTest, AFileKeyedWithAnotherPasswordIsRefusedAtOpen)
{
    CADOConn::releaseCachedHandles();
    // Re-key the file with another password, as a stranger's file would be.
    outsiderExec(Db::Questions, "PRAGMA rekey='another-password'");
    expectBox(Db::explain("file is encrypted or is not a database"), Caption::Default);
    CADOConn conn;
    EXPECT_FALSE(conn.openConnection(Db::Questions));
}

TEST_F(CADOConnTest, AReplacedFileIsOpenedAfreshNotThroughTheOldHandle)
{
    {
        CADOConn conn;
        conn.execute("insert into examinee (姓名) values ('旧')", Db::Personnel);
    }
    QFile::remove(path(Db::Personnel));
    QString error;
    ASSERT_TRUE(WorkDir::createDatabase(path(Db::Personnel), Db::Personnel, &error)) << error.toStdString();
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset("select * from examinee", Db::Personnel);
    EXPECT_EQ(rs->recordCount(), 0);
}

TEST_F(CADOConnTest, AReadOnlyFolderReportsFailedWritesAndKeepsTheData)
{
    QFile::setPermissions(workDir(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(path(Db::Personnel), QFile::ReadOwner | QFile::ReadOther);
    const bool reported = asUnprivileged([] {
        QString shownText;
        MessageBox::setHandler([&](const ShownMessage &m) {
            shownText = m.text;
            return MsgAnswer::Ok;
        });
        CADOConn conn;
        // Reading still works; the write is refused with the engine's text.
        if (conn.openRecordset("select * from LastPass", Db::Personnel)->recordCount() != 3)
            return false;
        runCommand(nullptr, [&] {
            conn.executeOrThrow("insert into examinee (姓名) values ('x')", Db::Personnel);
        });
        return shownText.startsWith("数据库文件不能写入") && shownText.contains("readonly");
    });
    QFile::setPermissions(workDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(path(Db::Personnel), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(reported);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from examinee"), (QList<QStringList>{{"0"}}));
}

TEST_F(CADOConnTest, RunCommandReportsTheEngineTextAndCarriesOn)
{
    expectBox(Db::explain("no such table: Nowhere"), Caption::Tip);
    bool after = false;
    runCommand(nullptr, [] {
        CADOConn conn;
        conn.openRecordset("select * from Nowhere", Db::Personnel)->recordCount();
    });
    after = true;
    EXPECT_TRUE(after);
}

TEST(QuestionTypes, OnlyTheFiveNamesPassAsTableNames)
{
    EXPECT_EQ(QuestionType::names().size(), 5);
    EXPECT_EQ(QuestionType::checkedTable("多选题"), "多选题");
    EXPECT_THROW(QuestionType::checkedTable("单选题; drop table Subject"), DbError);
}
