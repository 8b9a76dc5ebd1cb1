// An exam lab: station processes running the real exam code (no widgets)
// against one server. Each examinee enters, draws 100 questions, saves 100
// answers and hands in; some stations are killed mid-way, and the server is
// restarted under them.
#include "store/StoredNumbers.h"
#include "support/ServerTest.h"

#include "LabStation.h"

#include <QRandomGenerator>

#include <csignal>
#include <sys/wait.h>

namespace {

class LabSimulationTest : public ServerTest
{
protected:
    pid_t start(int registration, int i)
    {
        return Lab::startStation(m_stations.path() + QString("/s%1").arg(i), registration, i, [](qint64) {});
    }

    void asStation()
    {
        CADOConn::useServer(ServerCluster::asRole(server(), m_setup.stationRole, m_setup.stationPassword));
    }

    // Every registration: handed in once with a sound code and the score
    // its own answers earn, or not handed in at all.
    void expectAllOrNothing(const QList<int> &ids, bool allHandedIn)
    {
        CADOConn::useServer(server());
        CADOConn conn;
        for (int i = 0; i < ids.size(); ++i) {
            RecordsetPtr r = conn.openRecordset("select * from ExamRegister where ID=?", Db::Personnel, {ids[i]});
            ASSERT_EQ(r->recordCount(), 1);
            const bool handedIn = !r->isNull("成绩");
            RecordsetPtr s = conn.openRecordset("select 状态 from Sitting where 报名ID=?", Db::Personnel, {ids[i]});
            if (!handedIn) {
                EXPECT_FALSE(allHandedIn) << "station " << i;
                EXPECT_TRUE(s->recordCount() == 0 || s->getString("状态") == "进行中") << "station " << i;
                continue;
            }
            EXPECT_TRUE(resultSealed(*r)) << "station " << i;
            EXPECT_EQ(r->getString("成绩"), scoreText(i + 10)) << "station " << i << ": another station's answers?";
            ASSERT_EQ(s->recordCount(), 1);
            EXPECT_EQ(s->getString("状态"), "已交卷");
        }
        RecordsetPtr q = conn.openRecordset(
            "select count(*) as n from SittingQuestion where 场次 not in (select ID from Sitting)", Db::Personnel);
        EXPECT_EQ(q->getInt("n"), 0);
    }

    QTemporaryDir m_stations;
};

} // namespace

TEST_F(LabSimulationTest, FortyStationsHandInOnceEachWhileTheServerRestarts)
{
    constexpr int kStations = 40;
    const QList<int> ids = Lab::seed(kStations);
    ASSERT_EQ(ids.size(), kStations);
    asStation();
    std::vector<pid_t> pids;
    for (int i = 0; i < kStations; ++i)
        pids.push_back(start(ids[i], i));
    ::usleep(800 * 1000); // the stations are drawing and answering by now
    ASSERT_TRUE(ServerCluster::restart());
    for (int i = 0; i < kStations; ++i) {
        const int status = waitForChild(pids[size_t(i)], 240);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "station " << i << " status " << status;
    }
    expectAllOrNothing(ids, true);
    EXPECT_EQ(serverRows("select 考生质量 from personnel.joinexam"), (QList<QStringList>{{"40"}}));
    EXPECT_EQ(serverRows("select count(*) from personnel.sittingquestion"),
              (QList<QStringList>{{QString::number(kStations * Lab::kQuestions)}}));
}

TEST_F(LabSimulationTest, StationsKilledMidWayLeaveAllOrNothingAndResume)
{
    constexpr int kStations = 12;
    const QList<int> ids = Lab::seed(kStations);
    asStation();
    QRandomGenerator random(20261209);
    std::vector<pid_t> pids;
    for (int i = 0; i < kStations; ++i)
        pids.push_back(start(ids[i], i));
    // Kills every other station at a random moment of its run.
    for (int i = 0; i < kStations; i += 2) {
        ::usleep(random.bounded(150 * 1000));
        ::kill(pids[size_t(i)], SIGKILL);
    }
    for (pid_t pid : pids)
        waitForChild(pid, 240);
    expectAllOrNothing(ids, false);

    // The killed examinees enter again (on new stations) and finish.
    asStation();
    pids.clear();
    for (int i = 0; i < kStations; i += 2)
        pids.push_back(Lab::startStation(m_stations.path() + QString("/again%1").arg(i), ids[i], i, [](qint64) {}));
    for (pid_t pid : pids) {
        const int status = waitForChild(pid, 240);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    expectAllOrNothing(ids, true);
}
