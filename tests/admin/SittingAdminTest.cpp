// 延长时间 and 重新开始 on the exam management screen, for a registration
// whose exam is running in a stored sitting.
#include "admin/CExamManagement.h"
#include "admin/CExtendTime.h"
#include "admin/Roster.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Sitting.h"

#include "AdminScreens.h"
#include "AdminSeed.h"
#include "exam/ExamSheetSeed.h"
#include "support/Driving.h"
#include "support/VornTest.h"

#include <QPushButton>
#include <QTest>

namespace {


class SittingAdminTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        outsiderExec(Db::Questions, kInsertPaper, kPaperPlain);
        for (const auto &[n, d, p] : {std::tuple{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"}})
            Roster::add(n, d, p);
        seedExam("年度考试", "2019/05/20 12:00", {{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"}});
        Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(9, 0)));
        seedExamSheet({{"单选题", "一", {"甲", "乙"}, "10", QVariant(), "A"}});
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        Sitting::create(conn, 1, "1", 1800, {"A"}, Clock::now());
    }

    // 延长时间 for the ticked row, answering the pop-up with the minutes.
    void extend(CExamManagement &s, const QString &minutes)
    {
        whenShown<CExtendTime>([minutes](CExtendTime *dlg) {
            saveShot(dlg, "CExtendTime");
            EXPECT_EQ(dlg->windowTitle(), "Lumet—延长时间");
            EXPECT_EQ(dlg->text(CExtendTime::Examinee), "考生：张三");
            typeInto(*dlg, CExtendTime::Minutes, minutes);
            click(*dlg, minutes.isEmpty() ? CExtendTime::Cancel : CExtendTime::Save);
        });
        click(s, CExamManagement::ExtendTime);
    }
};

} // namespace

TEST_F(SittingAdminTest, ExtendAndStartOverARunningExamFromTheRegistrationList)
{
    CExamManagement s;
    s.show();
    tick(s, CExamManagement::Exams, 0);
    click(s, CExamManagement::ViewExaminees);
    EXPECT_EQ(rowsOf(s, CExamManagement::Registrations, 2, 5), (QStringList{"张三 财务部 会计 考试中", "李四 财务部 出纳 "}));

    expectBox("请选择一名考生！", Caption::Tip);
    click(s, CExamManagement::ExtendTime);
    tick(s, CExamManagement::Registrations, 1);
    expectBox("'李四'没有进行中的考试！", Caption::Tip);
    click(s, CExamManagement::RestartSitting);
    tick(s, CExamManagement::Registrations, 1);

    tick(s, CExamManagement::Registrations, 0);
    expectBox("已为'张三'延长10分钟。", Caption::Tip);
    extend(s, "10");
    expectAllShown();
    EXPECT_EQ(rowsOf(s, CExamManagement::Registrations, 2, 5), (QStringList{"张三 财务部 会计 考试中，延时10分", "李四 财务部 出纳 "}));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 剩余秒数,延长分钟 from Sitting"), (QList<QStringList>{{"2400", "10"}}));
    saveShot(&s, "CExamManagement_sitting");

    // Cancelled: nothing added; the row stays ticked.
    tick(s, CExamManagement::Registrations, 0);
    extend(s, "");
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 剩余秒数 from Sitting"), (QList<QStringList>{{"2400"}}));

    expectBox("让'张三'重新开始考试，已保存的答案和剩余时间都将作废，\n\n您确定吗？", Caption::Remind, MsgIcon::Question,
              MsgButtons::YesNo, MsgAnswer::No);
    click(s, CExamManagement::RestartSitting);
    EXPECT_EQ(rowsOf(s, CExamManagement::Registrations, 5, 5), (QStringList{"考试中，延时10分", ""}));
    expectBox("让'张三'重新开始考试，已保存的答案和剩余时间都将作废，\n\n您确定吗？", Caption::Remind, MsgIcon::Question,
              MsgButtons::YesNo, MsgAnswer::Yes);
    click(s, CExamManagement::RestartSitting);
    expectAllShown();
    EXPECT_EQ(rowsOf(s, CExamManagement::Registrations, 5, 5), (QStringList{"重新开始", ""}));
}
