#include "paper/CSetPaper.h"

#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Clock.h"
#include "store/SettingsFile.h"
#include "store/Subjects.h"

#include "support/Driving.h"
#include "support/VornTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kRule = QStringLiteral("每题2.0分。员工:简单=5,中等=3,;干部:困难=2,;");

class CSetPaperTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        Clock::setFixed(QDateTime(QDate(2026, 5, 20), QTime(8, 30), Qt::LocalTime));
        Subjects::add("语文");
        Subjects::add("数学");
        SettingsFile().writeAudienceGroups({"员工", "干部", "", ""});
        bank("单选题", "语文", "员工", "简单", 5);
        bank("单选题", "语文", "员工", "中等", 3);
        bank("单选题", "语文", "干部", "困难", 2);
        bank("单选题", "数学", "员工", "简单", 4);
        bank("判断题", "语文", "员工", "简单", 6);
        bank("判断题", "数学", "干部", "困难", 2);
    }
    void TearDown() override
    {
        Clock::setFixed(QDateTime());
        VornTest::TearDown();
    }

    static void bank(const QString &type, const QString &subject, const QString &group, const QString &difficulty, int n)
    {
        CADOConn conn;
        for (int i = 0; i < n; ++i)
            conn.executeOrThrow(QStringLiteral("insert into %1 (科目,题型,题干,答案,难度,对象) values (?,?,?,?,?,?)")
                                    .arg(QuestionType::checkedTable(type)),
                                Db::Questions, {subject, type, QStringLiteral("题%1").arg(i), "A", difficulty, group});
    }

    std::unique_ptr<CSetPaper> open()
    {
        auto s = std::make_unique<CSetPaper>();
        s->show();
        return s;
    }
    // One rule of a type: difficulty, points (when the box is open), count, 确定.
    static void rule(CSetPaper &s, int type, const QString &group, const QString &difficulty, const QString &points,
                     const QString &count)
    {
        const CSetPaper::TypeControls &c = CSetPaper::controlsOf(type);
        choose(s, CSetPaper::Group, group);
        choose(s, c.difficulty, difficulty);
        if (!s.control<QLineEdit>(c.points)->isReadOnly())
            typeInto(s, c.points, points);
        typeInto(s, c.draw, count);
        click(s, c.confirm);
    }
    QList<QStringList> papers(const QString &table = "exampaper")
    {
        return outsiderRows(Db::Questions,
                            QStringLiteral("select 名称,科目,单选题,判断题,填空题,多选题,问答题,总题数,满分,创建时间,"
                                           "科目选项,保存码 from %1")
                                .arg(table));
    }
};

TEST_F(CSetPaperTest, SingleSubjectRulesAreShownStoredAndSealed)
{
    auto s = open();
    saveShot(s.get(), "CSetPaper-open");
    typeInto(*s, CSetPaper::Name, "期中考试");
    choose(*s, CSetPaper::Subject, "语文");
    choose(*s, CSetPaper::Group, "员工");
    choose(*s, CSetPaper::SingleDifficulty, "简单");
    EXPECT_EQ(s->text(CSetPaper::SingleAvailable), "5");
    EXPECT_EQ(s->text(CSetPaper::JudgeAvailable), ""); // 判断题 has no difficulty chosen yet

    rule(*s, 0, "员工", "简单", "2", "5");
    EXPECT_EQ(s->text(CSetPaper::SingleDisplay), "<语文>\n每题2.0分。\n员工:简单=5,;");
    EXPECT_TRUE(s->control(CSetPaper::SingleCount)->isVisible());
    EXPECT_TRUE(s->control<QLineEdit>(CSetPaper::SinglePoints)->isReadOnly());
    EXPECT_FALSE(s->control(CSetPaper::Subject)->isEnabled());
    EXPECT_EQ(s->text(CSetPaper::SingleDraw), "");
    EXPECT_EQ(s->text(CSetPaper::SingleAvailable), "");

    rule(*s, 0, "员工", "中等", "", "3");
    EXPECT_EQ(s->text(CSetPaper::SingleDisplay), "<语文>\n每题2.0分。\n员工:简单=5,中等=3,;");
    rule(*s, 0, "干部", "困难", "", "2");
    EXPECT_EQ(s->text(CSetPaper::SingleDisplay), "<语文>\n每题2.0分。\n员工:简单=5,中等=3,;\n干部:困难=2,;");
    EXPECT_EQ(s->text(CSetPaper::SingleCount), "10");
    EXPECT_EQ(s->text(CSetPaper::SingleTotal), "20.0");

    expectBox("一个对象同一难度只能选择一次！", Caption::Tip);
    rule(*s, 0, "员工", "简单", "", "1");
    EXPECT_EQ(s->text(CSetPaper::SingleDisplay), "<语文>\n每题2.0分。\n员工:简单=5,中等=3,;\n干部:困难=2,;");

    click(*s, CSetPaper::ShowTotals);
    EXPECT_EQ(s->text(CSetPaper::TotalCount), "10");
    EXPECT_EQ(s->text(CSetPaper::FullMarks), "20.0");
    saveShot(s.get(), "CSetPaper-rules");

    expectBox("组卷成功！", Caption::Tip);
    click(*s, CSetPaper::Save);
    expectAllShown();
    EXPECT_EQ(s->text(CSetPaper::Name), "");
    EXPECT_EQ(s->text(CSetPaper::SingleDisplay), "");
    EXPECT_FALSE(s->control(CSetPaper::SingleCount)->isVisible());
    EXPECT_EQ(papers(), (QList<QStringList>{{"期中考试", "语文", kRule, "空", "空", "空", "空", "10", "20.0",
                                             "2026/05/20 08:30:00", "单科", "087624608673644be535341b9ec89d1e"}}));

    // The same name again, with only a 判断题 rule.
    typeInto(*s, CSetPaper::Name, "期中考试");
    choose(*s, CSetPaper::Subject, "语文");
    rule(*s, 1, "员工", "简单", "1", "2");
    expectBox("您输入的试卷名称已存在！", Caption::Tip);
    click(*s, CSetPaper::Save);
    EXPECT_EQ(papers().size(), 1);
    EXPECT_EQ(s->text(CSetPaper::JudgeDisplay), "<语文>\n每题1.0分。\n员工:简单=2,;"); // the refusal keeps the inputs
}

TEST_F(CSetPaperTest, InputBoxesFilterAndRefuse)
{
    auto s = open();
    typeInto(*s, CSetPaper::Name, "卷");
    choose(*s, CSetPaper::Subject, "语文");
    choose(*s, CSetPaper::Group, "员工");
    choose(*s, CSetPaper::SingleDifficulty, "简单");
    typeInto(*s, CSetPaper::SinglePoints, "2.56");
    EXPECT_EQ(s->text(CSetPaper::SinglePoints), "2.5");
    typeInto(*s, CSetPaper::SinglePoints, "05");
    EXPECT_EQ(s->text(CSetPaper::SinglePoints), "5");
    typeText(s->control(CSetPaper::SinglePoints), "a."); // after the 5
    EXPECT_EQ(s->text(CSetPaper::SinglePoints), "5.");

    expectBox("抽取题数不能大于总题数！", Caption::Tip);
    typeInto(*s, CSetPaper::SingleDraw, "7");
    EXPECT_EQ(s->text(CSetPaper::SingleDraw), "");
    typeInto(*s, CSetPaper::SingleDraw, "4");
    EXPECT_EQ(s->text(CSetPaper::SingleSubtotal), "20.0");
    expectBox("抽取题数不能为0！", Caption::Tip);
    QTest::keyClick(s->control(CSetPaper::SingleDraw), Qt::Key_Backspace);
    expectBox("题数不能为空！", Caption::Tip);
    typeInto(*s, CSetPaper::JudgeDraw, "3"); // 判断题 without a difficulty: nothing available shown
    EXPECT_EQ(s->text(CSetPaper::JudgeDraw), "");

    expectBox("数据不能为空！", Caption::Tip);
    click(*s, CSetPaper::SingleConfirm);
    expectBox("请输入组卷数据！", Caption::Tip);
    click(*s, CSetPaper::Save);
    s->control<QLineEdit>(CSetPaper::Name)->clear();
    expectBox("请输入的试卷名称！", Caption::Tip);
    click(*s, CSetPaper::Save);
    expectAllShown();
    EXPECT_TRUE(papers().isEmpty());
}

TEST_F(CSetPaperTest, AllSubjectsPaperHasNoPrefixAndClearingOptionsGoesBackToOneSubject)
{
    auto s = open();
    typeInto(*s, CSetPaper::Name, "全科卷");
    click(*s, CSetPaper::AllSubjects);
    EXPECT_FALSE(s->control(CSetPaper::Subject)->isEnabled());
    choose(*s, CSetPaper::Group, "员工");
    choose(*s, CSetPaper::JudgeDifficulty, "简单");
    EXPECT_EQ(s->text(CSetPaper::JudgeAvailable), "6");
    rule(*s, 1, "员工", "简单", "1.5", "6");
    EXPECT_EQ(s->text(CSetPaper::JudgeDisplay), "每题1.5分。\n员工:简单=6,;");
    expectBox("组卷成功！", Caption::Tip);
    click(*s, CSetPaper::Save);
    const QList<QStringList> rows = papers();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].mid(1, 4), (QStringList{"无", "空", "每题1.5分。员工:简单=6,;", "空"}));
    EXPECT_EQ(rows[0].mid(7, 2), (QStringList{"6", "9.0"}));
    EXPECT_EQ(rows[0][10], "全科");

    click(*s, CSetPaper::ClearOptions);
    EXPECT_TRUE(s->control<QRadioButton>(CSetPaper::SingleSubject)->isChecked());
    EXPECT_EQ(s->subjectOption(), "单科");
    EXPECT_TRUE(s->control(CSetPaper::Subject)->isEnabled());
}

TEST_F(CSetPaperTest, MultiSubjectPaperIsComposedSubjectBySubjectAndFinished)
{
    auto s = open();
    click(*s, CSetPaper::MultiSubject);
    typeInto(*s, CSetPaper::Name, "综合卷");
    choose(*s, CSetPaper::Subject, "语文");
    rule(*s, 0, "员工", "简单", "2", "5");
    rule(*s, 1, "员工", "简单", "1", "6");
    expectBox("多科第1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'。", Caption::Remind,
              MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, CSetPaper::Save);
    EXPECT_FALSE(s->control(CSetPaper::Name)->isEnabled());
    EXPECT_FALSE(s->control(CSetPaper::ClearOptions)->isVisible());
    EXPECT_TRUE(s->multiSubjectOpen());
    EXPECT_EQ(s->text(CSetPaper::SinglePoints), "2"); // the points stay, locked, for the next subject
    EXPECT_TRUE(s->control<QLineEdit>(CSetPaper::SinglePoints)->isReadOnly());

    expectBox("多科组卷未完成，不能退出", Caption::Tip);
    click(*s, CSetPaper::Back);
    EXPECT_FALSE(requestedScreen());

    choose(*s, CSetPaper::Subject, "数学");
    rule(*s, 0, "员工", "简单", "", "4");
    EXPECT_EQ(s->text(CSetPaper::SingleDisplay), "<数学>\n每题2.0分。\n员工:简单=4,;");
    expectBox("多科第2个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'；\n完成组卷按'是'后再请按“多科完成”。",
              Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, CSetPaper::Save);
    EXPECT_TRUE(s->control(CSetPaper::Finish)->isVisible());
    saveShot(s.get(), "CSetPaper-multi");

    expectBox("完成多科组卷！", Caption::Tip);
    click(*s, CSetPaper::Finish);
    expectAllShown();
    EXPECT_FALSE(s->multiSubjectOpen());
    EXPECT_TRUE(s->control(CSetPaper::Name)->isEnabled());
    EXPECT_EQ(papers("testpaper").size(), 2);
    const QList<QStringList> rows = papers();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (QStringList{"综合卷", "不定", "单选题包含2个科目", "判断题包含1个科目", "空", "空", "空", "15",
                                    "24.0", "2026/05/20 08:30:00", "多科", "0196c3b9e1455e1f5ffa9e92030a2392"}));

    click(*s, CSetPaper::Back);
    EXPECT_EQ(requestedScreen(), ScreenId::TestManage);
}

TEST_F(CSetPaperTest, NoAfterALaterSubjectDropsEverySubjectRow)
{
    auto s = open();
    click(*s, CSetPaper::MultiSubject);
    typeInto(*s, CSetPaper::Name, "放弃卷");
    // No after the first subject stores nothing.
    choose(*s, CSetPaper::Subject, "语文");
    rule(*s, 0, "员工", "简单", "2", "1");
    expectBox("多科第1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'。", Caption::Remind,
              MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, CSetPaper::Save);
    EXPECT_TRUE(papers("testpaper").isEmpty());
    EXPECT_FALSE(s->multiSubjectOpen());

    typeInto(*s, CSetPaper::Name, "放弃卷");
    for (int i = 1; i <= 3; ++i) {
        if (i == 3)
            expectBox("此科目已经组卷！", Caption::Tip); // only a warning: the choice stands
        choose(*s, CSetPaper::Subject, i == 2 ? "数学" : "语文");
        rule(*s, 0, "员工", "简单", "2", "1");
        if (i == 1)
            expectBox("多科第1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'。", Caption::Remind,
                      MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
        else
            expectBox(QStringLiteral("多科第%1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'；\n"
                                     "完成组卷按'是'后再请按“多科完成”。")
                          .arg(i),
                      Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, i == 3 ? MsgAnswer::No : MsgAnswer::Yes);
        click(*s, CSetPaper::Save);
    }
    expectAllShown();
    EXPECT_TRUE(papers("testpaper").isEmpty());
    EXPECT_TRUE(papers().isEmpty());
    EXPECT_FALSE(s->multiSubjectOpen());
    EXPECT_TRUE(s->control(CSetPaper::SingleSubject)->isEnabled());
}

} // namespace
