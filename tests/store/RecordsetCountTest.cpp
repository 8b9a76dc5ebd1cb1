// The static cursor's row count and end tests after rows are deleted; the
// count is kept rather than recounted, so it must follow every deletion.
#include "store/CADOConn.h"
#include "support/VornTest.h"

class RecordsetCountTest : public VornTest
{
};

TEST_F(RecordsetCountTest, CountAndEndFollowDeletionsAndAdditions)
{
    for (const char *name : {"甲", "乙", "丙"})
        outsiderExec(Db::Personnel, "insert into examinee (姓名,部门,职务) values (?,'d','p')", {QString::fromUtf8(name)});
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset("select * from examinee", Db::Personnel);
    ASSERT_EQ(rs->recordCount(), 3);
    rs->moveNext();
    rs->deleteCurrent();
    EXPECT_EQ(rs->recordCount(), 2);
    EXPECT_THROW(rs->deleteCurrent(), DbError); // a deleted row cannot go twice
    EXPECT_EQ(rs->recordCount(), 2);

    QStringList seen;
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        seen << rs->getString("姓名");
    EXPECT_EQ(seen, QStringList({"甲", "丙"}));

    rs->addNew();
    rs->put("姓名", "丁");
    rs->update();
    EXPECT_EQ(rs->recordCount(), 3);
    for (int i = 0; i < 3; ++i) {
        rs->moveFirst();
        rs->deleteCurrent();
    }
    EXPECT_EQ(rs->recordCount(), 0);
    EXPECT_TRUE(rs->isEOF());
    EXPECT_TRUE(rs->isBOF());
}
