// Exam management records: the exam list with the ending of due exams,
// deletion, and the registrations with their checks, removal and adding.
#include "admin/ExamManagement.h"
#include "store/CADOConn.h"

#include "AdminSeed.h"
#include "support/VornTest.h"

namespace {

const QDateTime kTen(QDate(2019, 5, 20), QTime(10, 0));

class ExamManagementTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        outsiderExec(Db::Questions, kInsertPaper, kPaperPlain);
        for (const auto &[n, d, p] : {std::tuple{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"},
                                      {"王五", "人事部", "主管"}, {"王五", "技术部", "工程师"},
                                      {"O'Brien", "技术部", "主管"}})
            Roster::add(n, d, p);
        m_first = seedExam("年度考试", "2019/05/20 10:00", {{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"}});
        m_second = seedExam("补考", "2019/05/20 12:00", {{"张三", "财务部", "会计"}});
    }

    QList<QStringList> exam(int n)
    {
        return outsiderRows(Db::Personnel, "select 时效,保存码 from ExamArrange where 考试号=?", {n});
    }
    QList<QStringList> counters(int n)
    {
        return outsiderRows(Db::Personnel, "select 考生质量,考生数量 from JoinExam where 考试号=?", {n});
    }
    static QStringList names(const QList<ListedRegistration> &rows)
    {
        QStringList n;
        for (const ListedRegistration &r : rows)
            n << r.name + (r.taken ? "*" : "");
        return n;
    }

    int m_first = 0;
    int m_second = 0;
};

} // namespace

TEST_F(ExamManagementTest, ADueExamIsEndedAndResealedAndShownAsLoaded)
{
    QList<ListedExam> listed;
    ASSERT_EQ(ExamManagement::loadExams(kTen.addMSecs(-400), &listed), ExamManagement::Listing::Sound);
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0].name, "年度考试");
    EXPECT_EQ(listed[0].number, "1");
    EXPECT_EQ(listed[0].passMark, "100");
    EXPECT_EQ(listed[0].validity, ""); // as loaded
    EXPECT_EQ(exam(m_first), (QList<QStringList>{{"结束", "28501beb2a0627b61f9e9b773943a446"}}));
    EXPECT_TRUE(exam(m_second)[0][0].isNull());

    listed.clear();
    ASSERT_EQ(ExamManagement::loadExams(kTen, &listed), ExamManagement::Listing::Sound);
    EXPECT_EQ(listed[0].validity, "结束");
    EXPECT_EQ(listed[1].validity, "");
}

TEST_F(ExamManagementTest, ATamperedExamIsNeverResealedAndKeepsFailing)
{
    outsiderExec(Db::Personnel, "update ExamArrange set 合格分数='50' where 考试号=1");
    const QList<QStringList> before = exam(m_first);
    EXPECT_EQ(ExamManagement::loadExams(kTen, nullptr), ExamManagement::Listing::Tampered);
    EXPECT_EQ(exam(m_first), before);
    EXPECT_EQ(ExamManagement::loadExams(kTen.addDays(1), nullptr), ExamManagement::Listing::Tampered);
    EXPECT_TRUE(exam(m_first)[0][0].isNull());

    // An end that is no date never ends the exam, and fails the code.
    outsiderExec(Db::Personnel, "update ExamArrange set 合格分数='100', 结束时间='明天' where 考试号=1");
    EXPECT_EQ(ExamManagement::loadExams(kTen.addDays(1), nullptr), ExamManagement::Listing::Tampered);
    EXPECT_TRUE(exam(m_first)[0][0].isNull());
}

TEST_F(ExamManagementTest, DeletingAnExamLeavesNothingOfItBehind)
{
    outsiderExec(Db::Personnel, "update ExamRegister set 成绩='85' where 考试号='1' and 姓名='李四'");
    for (const char *n : {"1", "2"})
        outsiderExec(Db::Personnel, "insert into quesAndAns (姓名,考试号,题干) values ('张三',?,'说说看')", {n});
    ExamManagement::deleteExam(m_first);
    for (const char *table : {"ExamArrange", "JoinExam"})
        EXPECT_EQ(outsiderRows(Db::Personnel, QString("select 考试号 from %1").arg(table)),
                  (QList<QStringList>{{"2"}}))
            << table;
    for (const char *table : {"ExamRegister", "quesAndAns"})
        EXPECT_EQ(outsiderRows(Db::Personnel, QString("select 考试号 from %1").arg(table)),
                  (QList<QStringList>{{"2"}}))
            << table;
}

TEST_F(ExamManagementTest, ViewingChecksCountersAndOpenRegistrations)
{
    QList<ListedRegistration> rows;
    ASSERT_EQ(ExamManagement::viewRegistrations(m_first, &rows), ExamManagement::View::Shown);
    EXPECT_EQ(names(rows), (QStringList{"张三", "李四"}));

    // A taken registration carries a result code and is not checked here.
    outsiderExec(Db::Personnel, "update ExamRegister set 成绩='85', 保存码='x' where 考试号='1' and 姓名='李四'");
    ASSERT_EQ(ExamManagement::viewRegistrations(m_first, &rows), ExamManagement::View::Shown);
    EXPECT_EQ(names(rows), (QStringList{"张三", "李四*"}));

    outsiderExec(Db::Personnel, "update ExamRegister set 合格分数='60' where 考试号='1' and 姓名='张三'");
    EXPECT_EQ(ExamManagement::viewRegistrations(m_first, &rows), ExamManagement::View::RegistrationTampered);
    outsiderExec(Db::Personnel, "update ExamRegister set 合格分数='100' where 考试号='1' and 姓名='张三'");

    // Only 考生质量 is compared; a null one passes.
    outsiderExec(Db::Personnel, "update JoinExam set 考生数量=99 where 考试号=1");
    EXPECT_EQ(ExamManagement::viewRegistrations(m_first, nullptr), ExamManagement::View::Shown);
    outsiderExec(Db::Personnel, "delete from ExamRegister where 考试号='1' and 姓名='张三'");
    EXPECT_EQ(ExamManagement::viewRegistrations(m_first, nullptr), ExamManagement::View::CountDiffers);
    outsiderExec(Db::Personnel, "update JoinExam set 考生质量=null where 考试号=1");
    EXPECT_EQ(ExamManagement::viewRegistrations(m_first, nullptr), ExamManagement::View::Shown);

    outsiderExec(Db::Personnel, "delete from JoinExam where 考试号=1");
    EXPECT_EQ(ExamManagement::viewRegistrations(m_first, nullptr), ExamManagement::View::CounterRowsNotOne);
    outsiderExec(Db::Personnel, "delete from JoinExam");
    EXPECT_EQ(ExamManagement::viewRegistrations(m_first, nullptr), ExamManagement::View::NoCounters);
}

TEST_F(ExamManagementTest, RemovingAndRegisteringKeepTheCountersTrue)
{
    outsiderExec(Db::Personnel, "update ExamRegister set 成绩='85' where 考试号='1' and 姓名='李四'");
    QList<int> ids;
    for (const QStringList &r : outsiderRows(Db::Personnel, "select ID from ExamRegister where 考试号='1'"))
        ids << r[0].toInt();
    EXPECT_EQ(ExamManagement::removeRegistrations(ids, m_first), 1);
    EXPECT_EQ(names(ExamManagement::registrations(m_first)), QStringList{"李四*"});
    EXPECT_EQ(counters(m_first), (QList<QStringList>{{"1", "6"}}));
    EXPECT_EQ(ExamManagement::viewRegistrations(m_first, nullptr), ExamManagement::View::Shown);

    // Not registered for exam 1: everyone but 李四, 王五 twice, and the
    // other 李四 of 财务部, who holds another post.
    Roster::add("李四", "财务部", "会计");
    EXPECT_EQ(ExamManagement::unregisteredNames(m_first), (QStringList{"张三", "王五", "王五", "O'Brien", "李四"}));
    const auto wang = ExamManagement::unregisteredPerson("王五", m_first);
    ASSERT_TRUE(wang);
    EXPECT_EQ(wang->department, "人事部");

    using ExamManagement::Register;
    EXPECT_EQ(ExamManagement::registerPerson("", "", "", "年度考试", "1", "100"), Register::Missing);
    EXPECT_EQ(ExamManagement::registerPerson("王五", "人事部", "主管", "年度考试", "", "100"), Register::Missing);
    EXPECT_EQ(ExamManagement::registerPerson("O'Brien", "技术部", "主管", "年度考试", "1", "100"), Register::Registered);
    EXPECT_EQ(ExamManagement::registerPerson("王五", "人事部", "主管", "年度考试", "1", "100"), Register::Registered);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 姓名,保存码 from ExamRegister where 考试号='1' order by ID").mid(1),
              (QList<QStringList>{{"O'Brien", "69834b9090339d370f0b9a0774f6bb4a"},
                                  {"王五", "24f1cdfba49a3a8e64a0b5be0b278298"}}));
    EXPECT_EQ(counters(m_first), (QList<QStringList>{{"3", "8"}}));
    EXPECT_EQ(ExamManagement::unregisteredPerson("王五", m_first)->department, "技术部");

    ASSERT_EQ(ExamManagement::loadExams(kTen, nullptr), ExamManagement::Listing::Sound);
    EXPECT_EQ(ExamManagement::registerPerson("张三", "财务部", "会计", "年度考试", "1", "100"), Register::Ended);
    EXPECT_EQ(counters(m_first), (QList<QStringList>{{"3", "8"}}));
}

TEST_F(ExamManagementTest, AFailureHalfWayKeepsEverythingAsItWas)
{
    outsiderExec(Db::Personnel, "create trigger keep before delete on quesAndAns begin select raise(abort,'只读'); end");
    outsiderExec(Db::Personnel, "insert into quesAndAns (姓名,考试号,题干) values ('张三','1','说说看')");
    EXPECT_THROW(ExamManagement::deleteExam(m_first), DbError);
    EXPECT_EQ(exam(m_first).size(), 1);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select ID from ExamRegister where 考试号='1'").size(), 2);
    EXPECT_EQ(counters(m_first), (QList<QStringList>{{"2", "7"}}));

    outsiderExec(Db::Personnel, "create trigger fixed before update on JoinExam begin select raise(abort,'只读'); end");
    try {
        ExamManagement::registerPerson("王五", "人事部", "主管", "年度考试", "1", "100");
        ADD_FAILURE() << "no error";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(), "只读");
    }
    EXPECT_EQ(outsiderRows(Db::Personnel, "select ID from ExamRegister where 考试号='1'").size(), 2);
    QList<int> ids;
    for (const QStringList &r : outsiderRows(Db::Personnel, "select ID from ExamRegister where 考试号='1'"))
        ids << r[0].toInt();
    EXPECT_THROW(ExamManagement::removeRegistrations(ids, m_first), DbError);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select ID from ExamRegister where 考试号='1'").size(), 2);
    EXPECT_EQ(ExamManagement::viewRegistrations(m_first, nullptr), ExamManagement::View::Shown);
}
