// The examinee entry of the start screen: exam codes, ending due exams,
// registrations and counters, tampered by plain SQL as an outsider would.
#include "admin/CLogin.h"
#include "admin/ExamineeEntry.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"
#include "support/VornTest.h"

#include <QAbstractButton>
#include <QFile>
#include <QTest>

namespace {

const QString kTampered = QStringLiteral("数据库已被篡改,无法进行考试！");

class ExamineeEntryTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(9, 0), Qt::LocalTime));
    }

    // An exam as exam creation writes it, with one registration and its counters.
    int addExam(const QString &name, const QString &end, const QString &validity = QString())
    {
        const QString start = QStringLiteral("2019/05/20 08:30");
        outsiderExec(Db::Personnel,
                     "insert into ExamArrange (考试名称,试卷名称,开始时间,结束时间,考试时限,合格分数,时效,保存码) "
                     "values (?,'P',?,?,'60','60',?,?)",
                     {name, start, end, validity.isEmpty() ? QVariant() : QVariant(validity),
                      examCode(name, start, end, "60", validity)});
        const int examNo = outsiderRows(Db::Personnel, "select max(考试号) from ExamArrange").at(0).at(0).toInt();
        const QString no = QString::number(examNo);
        outsiderExec(Db::Personnel,
                     "insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values ('张三','办公室','科员',?,'60',?)",
                     {no, registrationCode("张三", "办公室", "科员", no, "60")});
        outsiderExec(Db::Personnel, "insert into JoinExam (考试号,考生质量,考生数量) values (?,1,6)", {examNo});
        return examNo;
    }

    QStringList exam(int examNo)
    {
        return outsiderRows(Db::Personnel, "select 时效, 保存码 from ExamArrange where 考试号=?", {examNo}).value(0);
    }

    // Presses 我要考试 on a fresh start screen; the screen it asked for.
    std::optional<ScreenId> enter()
    {
        CLogin login;
        QTest::mouseClick(login.control<QAbstractButton>(CLogin::TakeExam), Qt::LeftButton);
        return requestedScreen();
    }
};

} // namespace

TEST_F(ExamineeEntryTest, NoExamWarnsAndStays)
{
    expectBox("考试信息为空,无法进行考试！", Caption::Warn, MsgIcon::Warning);
    EXPECT_EQ(enter(), std::nullopt);
    EXPECT_FALSE(exited());
}

TEST_F(ExamineeEntryTest, SoundDataOpensTheExamineeScreen)
{
    const int open = addExam("A", "2019/05/20 10:00");
    EXPECT_EQ(enter(), ScreenId::ExamLogin);
    EXPECT_FALSE(exited());
    EXPECT_EQ(exam(open).at(0), QString()); // not ended
}

TEST_F(ExamineeEntryTest, PassedExamIsEndedAndResealedOnce)
{
    const int passed = addExam("A", "2019/05/20 08:59");
    const int ended = addExam("B", "2019/05/19 10:00", "结束");
    const QStringList endedBefore = exam(ended);
    EXPECT_EQ(enter(), ScreenId::ExamLogin);
    EXPECT_EQ(exam(passed), QStringList({"结束", examCode("A", "2019/05/20 08:30", "2019/05/20 08:59", "60", "结束")}));
    EXPECT_EQ(exam(ended), endedBefore);

    const ExamineeEntry::Result again = ExamineeEntry::check(Clock::now());
    EXPECT_EQ(again.outcome, ExamineeEntry::Outcome::Ready);
    EXPECT_EQ(again.endedExams, 0);
}

TEST_F(ExamineeEntryTest, DueMeansNotLaterThanNowWithinHalfASecond)
{
    const QDateTime now(QDate(2019, 5, 20), QTime(10, 0, 0, 0), Qt::LocalTime);
    EXPECT_TRUE(ExamineeEntry::isDue("", "2019/05/20 10:00", now.addMSecs(-400)));
    EXPECT_TRUE(ExamineeEntry::isDue("", "2019/05/20 09:59", now));
    EXPECT_FALSE(ExamineeEntry::isDue("", "2019/05/20 10:00", now.addMSecs(-600)));
    EXPECT_FALSE(ExamineeEntry::isDue("结束", "2019/05/20 09:00", now));
    EXPECT_FALSE(ExamineeEntry::isDue("", "明天", now));
    EXPECT_FALSE(ExamineeEntry::isDue("", "", now));
}

TEST_F(ExamineeEntryTest, EndThatIsNoDateIsNeverEndedAndAnEditFailsTheCode)
{
    // Sealed by the program with such an end, it simply stays open.
    const int odd = addExam("A", "不是日期");
    EXPECT_EQ(enter(), ScreenId::ExamLogin);
    EXPECT_EQ(exam(odd).at(0), QString());

    const int edited = addExam("B", "2019/05/20 08:00");
    outsiderExec(Db::Personnel, "update ExamArrange set 结束时间='随时' where 考试号=?", {edited});
    const QStringList before = exam(edited);
    expectBox("考试信息已被篡改,无法进行考试！", Caption::Warn, MsgIcon::Warning);
    EXPECT_EQ(enter(), std::nullopt);
    EXPECT_TRUE(exited());
    EXPECT_EQ(exam(edited), before);
}

TEST_F(ExamineeEntryTest, MissingRegistrationsOrCountersEndTheProgram)
{
    addExam("A", "2019/05/20 10:00");
    outsiderExec(Db::Personnel, "delete from JoinExam");
    expectBox(kTampered, Caption::Warn, MsgIcon::Warning);
    EXPECT_EQ(enter(), std::nullopt);
    EXPECT_TRUE(exited());
}

TEST_F(ExamineeEntryTest, EmptyRosterEndsTheProgramEvenWithCounters)
{
    addExam("A", "2019/05/20 10:00");
    outsiderExec(Db::Personnel, "delete from ExamRegister");
    EXPECT_EQ(ExamineeEntry::check(Clock::now()).outcome, ExamineeEntry::Outcome::RegistrationsMissing);
}

TEST_F(ExamineeEntryTest, ChangedPassMarkOfAnOpenRegistrationEndsTheProgram)
{
    addExam("A", "2019/05/20 10:00");
    // A scored registration carries a result code and is not checked here.
    outsiderExec(Db::Personnel,
                 "insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码,成绩) values ('李四','办公室','科员','1','60','r','80')");
    EXPECT_EQ(enter(), ScreenId::ExamLogin);

    outsiderExec(Db::Personnel, "update ExamRegister set 合格分数='0' where 姓名='张三'");
    expectBox(kTampered, Caption::Warn, MsgIcon::Warning);
    EXPECT_EQ(enter(), std::nullopt);
    EXPECT_TRUE(exited());
}

TEST_F(ExamineeEntryTest, DatabaseErrorIsReportedAndTheScreenStays)
{
    addExam("A", "2019/05/20 10:00");
    outsiderExec(Db::Personnel, "drop table JoinExam");
    expectBox(Db::explain("no such table: JoinExam"), Caption::Tip);
    EXPECT_EQ(enter(), std::nullopt);
    EXPECT_FALSE(exited());
}

TEST_F(ExamineeEntryTest, MissingDatabaseIsReportedOnce)
{
    CADOConn::releaseCachedHandles();
    ASSERT_TRUE(QFile::remove(path(Db::Personnel)));
    expectBox(Db::explain("unable to open database file"), Caption::Default);
    EXPECT_EQ(enter(), std::nullopt);
    EXPECT_FALSE(exited());
}
