// Exam creation records: the paper check, the checks in order, and the
// exam, registrations and counters written together and sealed.
#include "admin/ExamCreation.h"
#include "store/CADOConn.h"

#include "AdminSeed.h"
#include "support/VornTest.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ExamCreationTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        outsiderExec(Db::Questions, kInsertPaper, kPaperPlain);
        outsiderExec(Db::Questions, kInsertPaper, kPaperEssay);
    }

    static ExamRequest request()
    {
        ExamRequest q;
        q.name = "年度考试";
        q.start = "2019/05/20 08:30";
        q.end = "2019/05/20 10:00";
        q.timeLimit = "90";
        q.passMark = "100";
        q.paper = "语文卷";
        q.fullMarks = "100";
        q.essay = "空";
        return q;
    }

    static QList<ExamCandidate> people()
    {
        return {{"张三", "财务部", "会计"}, {"O'Brien", "技术部", "工程师"}, {"张三", "财务部", "会计"},
                {"李四", "财务部", "出纳"}};
    }

    int count(const QString &table)
    {
        return outsiderRows(Db::Personnel, "select count(*) from " + table).at(0).at(0).toInt();
    }
};

} // namespace

TEST_F(ExamCreationTest, PapersAreListedAndATamperedOneIsFound)
{
    QList<StoredPaper> papers;
    EXPECT_EQ(ExamCreation::loadPapers(&papers), ExamCreation::Papers::Sound);
    ASSERT_EQ(papers.size(), 2);
    EXPECT_EQ(papers[1].name, "综合卷");
    EXPECT_EQ(papers[1].essay, "干部,困难,2,10");
    EXPECT_EQ(papers[1].fullMarks, "120");

    outsiderExec(Db::Questions, "update exampaper set 满分='90' where 名称='综合卷'");
    EXPECT_EQ(ExamCreation::loadPapers(nullptr), ExamCreation::Papers::Tampered);
}

TEST_F(ExamCreationTest, WritesTheExamRegistrationsAndCountersSealed)
{
    int n = 0;
    ASSERT_EQ(ExamCreation::create(request(), people(), &n), ExamCreation::Outcome::Created);
    EXPECT_EQ(n, 1);
    const auto exam = outsiderRows(Db::Personnel, "select 考试号,考试名称,试卷名称,开始时间,结束时间,考试时限,合格分数,"
                                                  "时效,保存码,备注 from ExamArrange");
    ASSERT_EQ(exam.size(), 1);
    EXPECT_EQ(exam[0], (QStringList{"1", "年度考试", "语文卷", "2019/05/20 08:30", "2019/05/20 10:00", "90", "100",
                                    QString(), "67bef29f333150025990dc5f4151d1ff", QString()}));
    EXPECT_TRUE(exam[0][7].isNull());
    EXPECT_TRUE(exam[0][9].isNull()); // a paper without essays: offered for mock exams

    // The person chosen twice keeps the first registration.
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 姓名,部门,职务,考试号,合格分数,保存码,成绩,问答题 from ExamRegister "
                                          "order by ID"),
              (QList<QStringList>{
                  {"张三", "财务部", "会计", "1", "100", "95a4e574d58e9de561142602c7ee6af6", QString(), QString()},
                  {"O'Brien", "技术部", "工程师", "1", "100", "b01485f7d8fa4291afc6391674db500b", QString(), QString()},
                  {"李四", "财务部", "出纳", "1", "100", "a46faa5c3df3958be339888ae4e6c2db", QString(), QString()}}));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 考试号,考生质量,考生数量 from JoinExam"),
              (QList<QStringList>{{"1", "3", "8"}}));

    // A paper with essays gives the exam its essay rule as 备注.
    ExamRequest essay = request();
    essay.name = "综合考试";
    essay.paper = "综合卷";
    essay.fullMarks = "120";
    essay.essay = "干部,困难,2,10";
    // Namesakes in two departments are two people: each keeps a registration.
    ASSERT_EQ(ExamCreation::create(essay, {{"张三", "财务部", "会计"}, {"张三", "人事部", "会计"}}, &n),
              ExamCreation::Outcome::Created);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 备注 from ExamArrange where 考试号=2").at(0).at(0), "干部,困难,2,10");
    // printf '%s' '张三人事部会计2100' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 部门,保存码 from ExamRegister where 考试号='2' and 部门='人事部'"),
              (QList<QStringList>{{"人事部", "8e899a46121ea873487a1154eef82e12"}}));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 考生质量,考生数量 from JoinExam where 考试号=2"),
              (QList<QStringList>{{"2", "7"}}));
}

TEST_F(ExamCreationTest, ChecksRunInTheirOrderAndChangeNothing)
{
    using O = ExamCreation::Outcome;
    const auto with = [](auto change) {
        ExamRequest q = request();
        change(q);
        return ExamCreation::create(q, people());
    };
    EXPECT_EQ(with([](ExamRequest &q) { q.name.clear(); q.timeLimit.clear(); }), O::NoName);
    EXPECT_EQ(with([](ExamRequest &q) { q.timeLimit.clear(); q.paper.clear(); }), O::NoTimeLimit);
    EXPECT_EQ(with([](ExamRequest &q) { q.paper.clear(); q.passMark.clear(); }), O::NoPaper);
    EXPECT_EQ(with([](ExamRequest &q) { q.passMark.clear(); }), O::NoPassMark);
    EXPECT_EQ(with([](ExamRequest &q) { q.passMark = "101"; }), O::PassMarkAboveFullMarks);
    EXPECT_EQ(with([](ExamRequest &q) { q.timeLimit = "0"; }), O::ZeroTimeLimit);
    EXPECT_EQ(with([](ExamRequest &q) { q.timeLimit = "1441"; }), O::TimeLimitTooLong);
    // Too long for a whole number: not mistaken for 0 minutes.
    EXPECT_EQ(with([](ExamRequest &q) { q.timeLimit = "99999999999999999999"; }), O::TimeLimitTooLong);
    EXPECT_EQ(with([](ExamRequest &q) { q.end = "2019/05/20 08:00"; }), O::EndNotAfterStart);
    EXPECT_EQ(with([](ExamRequest &q) { q.end = q.start; }), O::EndNotAfterStart);
    EXPECT_EQ(ExamCreation::create(request(), {}), O::NoPaperOrPeople);
    EXPECT_EQ(count("ExamArrange") + count("ExamRegister") + count("JoinExam"), 0);

    EXPECT_EQ(ExamCreation::message(O::PassMarkAboveFullMarks), "合格分数不能大于满分！");
    EXPECT_EQ(ExamCreation::message(O::NoPaperOrPeople), "试卷名为空或未选取考生！");
    EXPECT_EQ(ExamCreation::message(O::TimeLimitTooLong), "答题时限不能超过1440分钟！");

    ASSERT_EQ(ExamCreation::create(request(), people()), O::Created);
    EXPECT_EQ(ExamCreation::create(request(), people()), O::NameExists);
    EXPECT_EQ(ExamCreation::message(O::NameExists), "您输入的考试名称已存在！");
    // A trailing space makes another name.
    EXPECT_EQ(with([](ExamRequest &q) { q.name += ' '; }), O::Created);

    // The paper deleted after the screen listed it.
    outsiderExec(Db::Questions, "delete from exampaper where 名称='语文卷'");
    EXPECT_EQ(with([](ExamRequest &q) { q.name = "补考"; }), O::PaperGone);
    EXPECT_EQ(count("ExamArrange"), 2);
}

TEST_F(ExamCreationTest, LeapDayAndMidnightAreStoredAsPicked)
{
    EXPECT_EQ(ExamCreation::timeText(QDate(2024, 2, 29), QTime(23, 30)), "2024/02/29 23:30");
    EXPECT_EQ(ExamCreation::timeText(QDate(2024, 3, 1), QTime(0, 0)), "2024/03/01 00:00");
    ExamRequest q = request();
    q.start = "2024/02/29 23:30";
    q.end = "2024/03/01 00:00";
    ASSERT_EQ(ExamCreation::create(q, {{"张三", "财务部", "会计"}}), ExamCreation::Outcome::Created);
    // printf '%s' '年度考试2024/02/29 23:302024/03/01 00:00100' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 保存码 from ExamArrange").at(0).at(0),
              "96c4bac6acba67990ba010d0e8134c4f");
}

// Leading zeros are not kept: a result sealed later over the pass mark
// written as a number must match what the exam and registration hold.
TEST_F(ExamCreationTest, PassMarkAndTimeLimitAreStoredAsPlainNumbers)
{
    ExamRequest q = request();
    q.passMark = "060";
    q.timeLimit = "01440";
    ASSERT_EQ(ExamCreation::create(q, {{"张三", "财务部", "会计"}}), ExamCreation::Outcome::Created);
    // printf '%s' '年度考试2019/05/20 08:302019/05/20 10:0060' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 合格分数,考试时限,保存码 from ExamArrange"),
              (QList<QStringList>{{"60", "1440", "85784f46d96957c03f0107c3b44cab89"}}));
    // printf '%s' '张三财务部会计160' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 合格分数,保存码 from ExamRegister"),
              (QList<QStringList>{{"60", "80a8caeaaa0ee188c7066ec0bd537313"}}));
}

TEST_F(ExamCreationTest, AFailingWriteLeavesNothingBehind)
{
    outsiderExec(Db::Personnel, "create trigger refuse before insert on JoinExam begin select raise(abort,'磁盘已满'); end");
    EXPECT_THROW(ExamCreation::create(request(), people()), DbError);
    EXPECT_EQ(count("ExamArrange") + count("ExamRegister") + count("JoinExam"), 0);
}

TEST_F(ExamCreationTest, AProcessKilledMidwayLeavesTheWholeExamOrNothing)
{
    // Killed right after the exam row, after the registrations, and not at all.
    for (const char *stopAt : {"exam", "registrations", ""}) {
        CADOConn::releaseCachedHandles(); // no engine handle may cross the fork
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string at = stopAt;
            ExamCreation::setStageHook([at](const char *stage) {
                if (stage == at)
                    ::kill(::getpid(), SIGKILL);
            });
            ExamRequest q = request();
            q.name = QStringLiteral("考试") + QString::fromUtf8(stopAt);
            const bool ok = ExamCreation::create(q, people()) == ExamCreation::Outcome::Created;
            CADOConn::releaseCachedHandles();
            ::_exit(ok ? 0 : 1);
        }
        const int status = waitForChild(pid);
        if (*stopAt) {
            EXPECT_TRUE(WIFSIGNALED(status)) << stopAt;
            EXPECT_EQ(count("ExamArrange") + count("ExamRegister") + count("JoinExam"), 0) << stopAt;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            EXPECT_EQ(count("ExamArrange"), 1);
            EXPECT_EQ(count("ExamRegister"), 3);
            EXPECT_EQ(outsiderRows(Db::Personnel, "select 考生质量,考生数量 from JoinExam"),
                      (QList<QStringList>{{"3", "8"}}));
        }
    }
}
