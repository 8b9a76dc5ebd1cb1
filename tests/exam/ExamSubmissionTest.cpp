// submitExam's scoring and storing, checked by an outsider reading the file.
#include "exam/ExamRules.h"
#include "exam/ExamSubmission.h"
#include "store/CADOConn.h"
#include "store/Clock.h"

#include "ExamSheetSeed.h"
#include "support/VornTest.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ExamSubmissionTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        id = seedRegistration();
        key = seedExamSheet({
            {"单选题", "一", {"甲", "乙", "丙"}, "10", "A", "A"},
            {"判断题", "二", {"正确", "错误"}, "10", "B", "A"},
            {"填空题", "首都【】，城市【】", {}, "5", "北京#x", "北京#上海"},
            {"多选题", "四", {"a", "b", "c", "d"}, "10", "ABD", "ABD"},
            {"多选题", "五", {"a", "b", "c", "d"}, "10", "AB", "ABD"},
            {"问答题", "论述一", {}, "20", "我的论述", "参考论述"},
            {"问答题", "论述二", {}, "20", QVariant(), "参考二"},
        });
        Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(10, 0)));
    }

    SubmitRequest request(ExamMode mode = kFormal)
    {
        ExamHandover h = handoverFor(key, QString::number(id), mode);
        if (mode == kMock)
            h.registrationId.clear();
        return SubmitRequest{h, ExamScoring::keyEntries(key), 3000, Clock::now()};
    }

    QList<QStringList> result()
    {
        return outsiderRows(Db::Personnel, "select 成绩,考试用时,考试时间,考试名称,保存码,问答题 from ExamRegister");
    }
    int essays() { return outsiderRows(Db::Personnel, "select count(*) from quesAndAns").at(0).at(0).toInt(); }

    int id = 0;
    QString key;
};

} // namespace

TEST_F(ExamSubmissionTest, FormalExamStoresTheSealedResultAndEveryEssay)
{
    const SubmitResult r = ExamSubmission::submit(request());
    EXPECT_EQ(r.outcome, SubmitResult::Stored);
    EXPECT_EQ(r.score, "22.5"); // 10 + 2.5 + 10
    EXPECT_TRUE(r.essays);
    // printf '%s' '1张三会计年度考试22.56030002019/05/20　10:00:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(result(), (QList<QStringList>{{"22.5", "3000", "2019/05/20　10:00:00", "年度考试",
                                             "a445985da924a465e8158c083af75a28", "有"}}));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 姓名,部门,职务,考试号,考试名称,考生编号,题干,答案,ifnull(答题,'<null>'),分值 "
                                          "from quesAndAns order by ID"),
              (QList<QStringList>{{"张三", "财务部", "会计", "1", "年度考试", QString::number(id), "论述一", "参考论述", "我的论述", "20"},
                                  {"张三", "财务部", "会计", "1", "年度考试", QString::number(id), "论述二", "参考二", "<null>", "20"}}));
    EXPECT_EQ(ExamSubmission::resultMessage(request().exam, r),
              "您这次参加“年度考试”的正式考试得分为：22.5分，\n\n本成绩不包括问答题分数，待问答题手工批卷后才能计算总成绩。"
              "\n\n是否进入考试查看窗口？");
}

// An exam of an older version holds the pass mark as typed; the result is
// sealed over that text, as the score query reads it.
TEST_F(ExamSubmissionTest, TheResultIsSealedOverTheRegistrationsPassMarkText)
{
    outsiderExec(Db::Personnel, "update ExamRegister set 合格分数='060'");
    ExamSubmission::submit(request());
    // printf '%s' '1张三会计年度考试22.506030002019/05/20　10:00:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(result().at(0).at(4), "44b480a0a75040c8bd622232a25b815a");
}

TEST_F(ExamSubmissionTest, WithoutEssaysTheFlagIsEmptyTextAndTheNoteIsMissing)
{
    key = seedExamSheet({{"单选题", "一", {"甲", "乙", "丙"}, "十分", "A", "A"}, {"判断题", "二", {}, "5", QVariant(), "A"}});
    SubmitRequest q = request();
    q.timeUsed = 3600;
    const SubmitResult r = ExamSubmission::submit(q);
    EXPECT_EQ(r.score, "0"); // points that are no number count 0
    // printf '%s' '1张三会计年度考试0603600' | iconv -t gb18030 | md5sum   (+ the time)
    EXPECT_EQ(result().at(0).at(5), "");
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 问答题 is null from ExamRegister").at(0).at(0), "0");
    EXPECT_EQ(essays(), 0);
    EXPECT_FALSE(ExamSubmission::resultMessage(q.exam, r).contains("问答题"));
}

TEST_F(ExamSubmissionTest, MockExamStoresNothing)
{
    const SubmitResult r = ExamSubmission::submit(request(kMock));
    EXPECT_EQ(r.outcome, SubmitResult::Mock);
    EXPECT_EQ(r.score, "22.5");
    EXPECT_EQ(result().at(0).at(0), "");
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩 is null from ExamRegister").at(0).at(0), "1");
    EXPECT_EQ(essays(), 0);
    EXPECT_TRUE(ExamSubmission::resultMessage(request(kMock).exam, r).contains("的模拟考试得分为：22.5分，"));
}

// A station whose hand-in reached the lab's server but lost the answer hands
// the same in again: it finds itself stored, once. Another is refused.
TEST_F(ExamSubmissionTest, TheSameHandInAgainFindsItselfStoredAnotherIsRefused)
{
    const SubmitRequest first = request();
    ASSERT_EQ(ExamSubmission::submit(first).outcome, SubmitResult::Stored);
    const QList<QStringList> stored = result();
    const SubmitResult again = ExamSubmission::submit(first);
    EXPECT_EQ(again.outcome, SubmitResult::Stored);
    EXPECT_EQ(again.score, "22.5");
    EXPECT_EQ(essays(), 2);
    Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(10, 0, 1)));
    EXPECT_EQ(ExamSubmission::submit(request()).outcome, SubmitResult::AlreadySubmitted);
    EXPECT_EQ(result(), stored);
    EXPECT_EQ(essays(), 2);
}

TEST_F(ExamSubmissionTest, ADeletedRegistrationStoresNothing)
{
    outsiderExec(Db::Personnel, "delete from ExamRegister");
    EXPECT_EQ(ExamSubmission::submit(request()).outcome, SubmitResult::RegistrationGone);
    EXPECT_EQ(essays(), 0);
}

TEST_F(ExamSubmissionTest, AFailingEssayWriteLeavesTheRegistrationOpen)
{
    outsiderExec(Db::Personnel,
                 "create trigger refuse before insert on quesAndAns begin select raise(abort,'磁盘已满'); end");
    EXPECT_THROW(ExamSubmission::submit(request()), DbError);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩 is null, 保存码 from ExamRegister").at(0).at(0), "1");
    EXPECT_EQ(essays(), 0);
}

TEST_F(ExamSubmissionTest, AProcessKilledMidwayLeavesTheWholeResultOrNone)
{
    // Killed after the result, after the first essay, after the second, and not at all.
    struct Stop
    {
        const char *stage;
        int nth;
    } stops[] = {{"result", 1}, {"essay", 1}, {"essay", 2}, {"", 0}};
    for (const Stop &stop : stops) {
        outsiderExec(Db::Personnel, "update ExamRegister set 成绩=null,考试用时=null,考试时间=null,考试名称=null,问答题=null");
        outsiderExec(Db::Personnel, "delete from quesAndAns");
        CADOConn::releaseCachedHandles(); // no engine handle may cross the fork
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string at = stop.stage;
            int seen = 0;
            ExamSubmission::setStageHook([at, &seen, nth = stop.nth](const char *stage) {
                if (stage == at && ++seen == nth)
                    ::kill(::getpid(), SIGKILL);
            });
            bool ok = false;
            try {
                ok = ExamSubmission::submit(request()).outcome == SubmitResult::Stored;
            } catch (...) {
            }
            CADOConn::releaseCachedHandles();
            ::_exit(ok ? 0 : 1);
        }
        const int status = waitForChild(pid);
        const QString scored = outsiderRows(Db::Personnel, "select 成绩 is not null from ExamRegister").at(0).at(0);
        if (*stop.stage) {
            EXPECT_TRUE(WIFSIGNALED(status)) << stop.stage << stop.nth;
            EXPECT_EQ(scored, "0") << stop.stage << stop.nth;
            EXPECT_EQ(essays(), 0) << stop.stage << stop.nth;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            EXPECT_EQ(scored, "1");
            EXPECT_EQ(essays(), 2);
        }
    }
}
