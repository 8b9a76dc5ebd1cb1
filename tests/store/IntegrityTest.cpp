// Digests are compared with values computed outside the program:
//   printf '%s' TEXT | iconv -f utf-8 -t gb18030 | md5sum
#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "support/VornTest.h"

TEST(Integrity, DigestsMatchGb18030BytesComputedOutside)
{
    EXPECT_EQ(CMD5Encrypt(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(CMD5Encrypt("考试管理员"), "1c41510965c64b94a5036c952a42c10e");
    // A field of spaces is not the empty field.
    EXPECT_EQ(CMD5Encrypt("   "), "628631f07321b22d8c176c200c855e1b");
}

TEST(Integrity, ExamCodeBeforeAndAfterTheExamEnds)
{
    EXPECT_EQ(examCode("A", "2019/05/20 08:30", "2019/05/20 10:00", "60", ""),
              "c21ccaac9860f83a04fee5def59bc7b3");
    EXPECT_EQ(examCode("A", "2019/05/20 08:30", "2019/05/20 10:00", "60", "结束"),
              "c35ff82964e41d4ad909d147bc203074");
}

TEST(Integrity, RegistrationAndResultCodesCoverTheirFieldsInOrder)
{
    EXPECT_EQ(registrationCode("张三", "技术部", "工程师", "7", "60"), "c3107b30c41d44062271d0f94d39dd43");
    // ID, name, post, exam name, score, pass mark, time used, time of exam (U+3000 gap).
    EXPECT_EQ(resultCode("12", "张三", "工程师", "期中考试", "72.5", "60", "1234",
                         QStringLiteral("2019/05/20") + QChar(0x3000) + "10:00:00"),
              "fb59357111ba51ebfb5b3008c965030f");
    // Moving text between fields changes nothing, so the order is the contract.
    EXPECT_EQ(registrationCode("张三技术部", "", "工程师", "7", "60"),
              registrationCode("张三", "技术部", "工程师", "7", "60"));
}

TEST(Integrity, InitialPasswordDigestsAreSaltedPerAccount)
{
    // admin: salt first; manager: password first (md5sum of "pexo284615", "590372qv").
    const QStringList admin = passwordDigests(Account::Admin, "284615");
    EXPECT_EQ(admin.at(0), "def93623a6b3dd339926acc725a78fc8");
    EXPECT_EQ(admin.at(1), "dcdf3b84fc370037bf5e84d1a687503a");
    const QStringList manager = passwordDigests(Account::Manager, "590372");
    EXPECT_EQ(manager.at(2), "4aa8cca795219fc0eafdcadf96db5006");
}

class IntegrityDb : public VornTest
{
};

TEST_F(IntegrityDb, NullAndEmptyFieldsSealAlikeButSpacesDoNot)
{
    outsiderExec(Db::Personnel,
                 "insert into ExamArrange (考试名称,开始时间,结束时间,合格分数,时效,保存码) values (?,?,?,?,?,?)",
                 {"A", "2019/05/20 08:30", "2019/05/20 10:00", "60", QVariant(),
                  examCode("A", "2019/05/20 08:30", "2019/05/20 10:00", "60", "")});
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset("select * from ExamArrange", Db::Personnel);
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_TRUE(examSealed(*rs));
    rs->put("时效", " ");
    rs->update();
    EXPECT_FALSE(examSealed(*rs));
    rs->put("保存码", QVariant());
    rs->put("时效", QVariant());
    rs->update();
    EXPECT_FALSE(examSealed(*rs)) << "a null code never matches";
}

TEST_F(IntegrityDb, RosterCountersReportWhichRuleFailed)
{
    for (int i = 0; i < 3; ++i)
        outsiderExec(Db::Personnel, "insert into ExamRegister (姓名,考试号) values (?,?)", {QString("p%1").arg(i), "7"});
    // Each check is a command of its own, as on the screens.
    const auto check = [](const CounterRule &rule = {}) {
        CADOConn conn;
        return checkRosterCounters(conn, 7, rule);
    };
    const auto run = [](bool (*statement)(CADOConn &, int)) {
        CADOConn conn;
        return statement(conn, 7);
    };
    EXPECT_EQ(check(), CounterCheck::NotOneRow);
    {
        CADOConn conn;
        ASSERT_TRUE(insertRosterCounter(conn, 7, 3));
    }
    EXPECT_EQ(check(), CounterCheck::Ok);

    // An outsider deletes one registration: the plain count no longer matches.
    outsiderExec(Db::Personnel, "delete from ExamRegister where 姓名='p0'");
    EXPECT_EQ(check(), CounterCheck::QualityDiffers);
    ASSERT_TRUE(run(removeFromRosterCounter));
    EXPECT_EQ(check(), CounterCheck::Ok);

    outsiderExec(Db::Personnel, "update JoinExam set 考生数量=考生数量+1 where 考试号=7");
    EXPECT_EQ(check(), CounterCheck::QuantityDiffers);
    EXPECT_EQ(check({.checkQuantity = false}), CounterCheck::Ok);

    outsiderExec(Db::Personnel, "update JoinExam set 考生质量=null where 考试号=7");
    EXPECT_EQ(check(), CounterCheck::Ok);
    EXPECT_EQ(check({.checkQuantity = true, .allowNullQuality = false}),
              CounterCheck::QualityDiffers);

    ASSERT_TRUE(run(deleteRosterCounter));
    EXPECT_EQ(check(), CounterCheck::NotOneRow);
}
