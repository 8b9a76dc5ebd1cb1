// A working directory written by the program of December 2026 (before the
// reshaping of the store and the exam sittings): a bank of all five types,
// one paper, one exam of three registrations, two results (one essay marked,
// one waiting). Each later version must open it without a step by hand,
// verify every code in it and run an exam in it.
#include "admin/ExamCreation.h"
#include "admin/ExamManagement.h"
#include "app/Startup.h"
#include "exam/ExamBuilder.h"
#include "exam/ExamEntry.h"
#include "exam/ExamList.h"
#include "exam/ExamRules.h"
#include "exam/ExamSubmission.h"
#include "results/Marking.h"
#include "results/ScoreQuery.h"
#include "store/CADOConn.h"
#include "store/Clock.h"

#include "store/ServerSetup.h"
#include "support/ServerTest.h"
#include "support/VornTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

class OlderWorkingDirectoryTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        CADOConn::releaseCachedHandles();
        const QDir fixture(QStringLiteral(VORN_SOURCE_DIR "/tests/app/fixtures/workdir-2026-12"));
        for (const QString &name : fixture.entryList(QDir::Files)) {
            QFile::remove(path(name));
            ASSERT_TRUE(QFile::copy(fixture.filePath(name), path(name))) << name.toStdString();
            QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner);
        }
        Clock::setFixed(QDateTime(QDate(2026, 12, 20), QTime(10, 0)));
    }
};

} // namespace

// Opens the folder (on its files or on the lab's server it was copied to),
// verifies every code, lets 王五 sit the exam, and marks both waiting essays.
void opensVerifiesAndRunsAnExam()
{
    ASSERT_TRUE(Startup::prepareWorkingDirectory());

    QList<StoredPaper> papers;
    ASSERT_EQ(ExamCreation::loadPapers(&papers), ExamCreation::Papers::Sound);
    ASSERT_EQ(papers.size(), 1);
    QList<ListedExam> exams;
    ASSERT_EQ(ExamManagement::loadExams(Clock::now(), &exams), ExamManagement::Listing::Sound);
    ASSERT_EQ(exams.size(), 1);
    ScoreList scored;
    ASSERT_EQ(ScoreQuery::verify(&scored), ScoreQuery::Verification::Sound);
    ASSERT_EQ(scored.size(), 2);

    // 王五 has not sat the exam yet: he finds it, draws it and submits it.
    const ExamList::Result listed = ExamList::queryFormal("王五", "技术部", "工程师", Clock::now());
    ASSERT_EQ(listed.outcome, ExamList::Outcome::Listed);
    ASSERT_EQ(listed.rows.size(), 1);
    const ExamListRow &row = listed.rows.first();
    ASSERT_EQ(ExamEntry::checkPaper(row.paper), ExamEntry::PaperCheck::Sound);
    ExamEntry::recreateSheet();
    ExamEntry::recreateInterim();
    const ExamBuild::Result built = ExamBuilder::buildExam(ExamMode::Formal, row.paper, row.option);
    ASSERT_EQ(built.outcome, ExamBuild::Outcome::Built);
    EXPECT_EQ(built.questions, 13);
    ExamEntry::dropInterim();
    const QStringList key = ExamScoring::keyEntries(built.answerKey);
    CADOConn answers;
    for (int number = 1; number <= key.size(); ++number)
        answers.executeOrThrow("update exam set 答题=? where 编号=?", Db::Personnel, {key[number - 1], number});
    ExamHandover exam{built.answerKey, row.name, row.timeLimit, row.registrationId, ExamMode::Formal,
                      ExamEntry::passMarkValue(row.passMark)};
    answers.close();
    const SubmitResult submitted =
        ExamSubmission::submit({exam, key, 600, Clock::now()});
    ASSERT_EQ(submitted.outcome, SubmitResult::Stored);
    EXPECT_EQ(submitted.score, "24"); // every key answer right, the essay waits

    // The essays of the old and the new result are marked; every code holds.
    const EssayList waiting = Marking::waiting();
    ASSERT_EQ(waiting.size(), 2);
    for (int i = 0; i < waiting.size(); ++i)
        ASSERT_EQ(Marking::mark(waiting.at(i), 5), Marking::Outcome::Marked);
    ASSERT_EQ(ScoreQuery::verify(&scored), ScoreQuery::Verification::Sound);
    ASSERT_EQ(scored.size(), 3);
}

TEST_F(OlderWorkingDirectoryTest, OpensVerifiesAndRunsAnExam)
{
    opensVerifiesAndRunsAnExam();
}

namespace {

class OlderWorkingDirectoryOnServerTest : public ServerTest
{
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        CADOConn::releaseCachedHandles();
        const QDir fixture(QStringLiteral(VORN_SOURCE_DIR "/tests/app/fixtures/workdir-2026-12"));
        m_folder = std::make_unique<QTemporaryDir>();
        for (const QString &name : fixture.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(fixture.filePath(name), m_folder->filePath(name))) << name.toStdString();
        for (const QString &name : fixture.entryList(QDir::Files))
            QFile::setPermissions(m_folder->filePath(name), QFile::ReadOwner | QFile::WriteOwner);
        Clock::setFixed(QDateTime(QDate(2026, 12, 20), QTime(10, 0)));
    }
    std::unique_ptr<QTemporaryDir> m_folder;
};

} // namespace

TEST_F(OlderWorkingDirectoryOnServerTest, CopiedOntoTheLabServerItVerifiesAndRunsAnExam)
{
    ASSERT_EQ(ServerSetup::copyFrom(server(), m_folder->path()), QString());
    EXPECT_EQ(serverRows("select count(*) from personnel.settings"), (QList<QStringList>{{"1"}}));
    // The stations work with the rights of their role only.
    CADOConn::useServer(ServerCluster::asRole(server(), m_setup.stationRole, m_setup.stationPassword));
    opensVerifiesAndRunsAnExam();

    // A score raised with psql is found as on the files.
    ASSERT_TRUE(ServerCluster::exec(server(), "update personnel.examregister set 成绩='100' where 姓名='王五'"));
    ScoreList scored;
    EXPECT_EQ(ScoreQuery::verify(&scored), ScoreQuery::Verification::ResultTampered);
}

TEST_F(OlderWorkingDirectoryOnServerTest, AFolderWithAChangedResultIsNotCopiedAtAll)
{
    // A score raised with the database password, outside the program.
    CADOConn::useServer(QString());
    QDir::setCurrent(m_folder->path());
    {
        CADOConn conn;
        ASSERT_TRUE(conn.execute("update ExamRegister set 成绩='99' where 成绩 is not null", Db::Personnel));
    }
    CADOConn::releaseCachedHandles();
    QDir::setCurrent(workDir());
    const QString error = ServerSetup::copyFrom(server(), m_folder->path());
    EXPECT_TRUE(error.contains("保存码")) << error.toStdString();
    EXPECT_EQ(serverRows("select (select count(*) from personnel.examregister) + (select count(*) from "
                         "questions.exampaper) + (select count(*) from personnel.settings)"),
              (QList<QStringList>{{"0"}}));
    EXPECT_EQ(serverRows("select count(*) from personnel.lastpass"), (QList<QStringList>{{"3"}}))
        << "the initial digests stay";
}
