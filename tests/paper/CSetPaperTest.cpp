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
    static void click(CSetPaper &s, int id) { QTest::mouseClick(s.control<QAbstractButton>(id), Qt::LeftButton); }
    static void pick(CSetPaper &s, int id, const QString &item)
    {
        auto *combo = s.control<QComboBox>(id);
        combo->setCurrentIndex(combo->findText(item));
    }
    static void typeInto(CSetPaper &s, int id, const QString &text)
    {
        s.control(id)->setFocus();
        typeText(s.control(id), text);
    }
    // One rule of a type: difficulty, points (when the box is open), count, 确定.
    static void rule(CSetPaper &s, int type, const QString &group, const QString &difficulty, const QString &points,
                     const QString &count)
    {
        const CSetPaper::TypeControls &c = CSetPaper::controlsOf(type);
        pick(s, 1332, group);
        pick(s, c.difficulty, difficulty);
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
    typeInto(*s, 1330, "期中考试");
    pick(*s, 1331, "语文");
    pick(*s, 1332, "员工");
    pick(*s, 1334, "简单");
    EXPECT_EQ(s->text(1254), "5");
    EXPECT_EQ(s->text(1100), ""); // 判断题 has no difficulty chosen yet

    rule(*s, 0, "员工", "简单", "2", "5");
    EXPECT_EQ(s->text(1115), "<语文>\n每题2.0分。\n员工:简单=5,;");
    EXPECT_TRUE(s->control(1112)->isVisible());
    EXPECT_TRUE(s->control<QLineEdit>(1252)->isReadOnly());
    EXPECT_FALSE(s->control(1331)->isEnabled());
    EXPECT_EQ(s->text(1253), "");
    EXPECT_EQ(s->text(1254), "");

    rule(*s, 0, "员工", "中等", "", "3");
    EXPECT_EQ(s->text(1115), "<语文>\n每题2.0分。\n员工:简单=5,中等=3,;");
    rule(*s, 0, "干部", "困难", "", "2");
    EXPECT_EQ(s->text(1115), "<语文>\n每题2.0分。\n员工:简单=5,中等=3,;\n干部:困难=2,;");
    EXPECT_EQ(s->text(1112), "10");
    EXPECT_EQ(s->text(1259), "20.0");

    expectBox("一个对象同一难度只能选择一次！", Caption::Tip);
    rule(*s, 0, "员工", "简单", "", "1");
    EXPECT_EQ(s->text(1115), "<语文>\n每题2.0分。\n员工:简单=5,中等=3,;\n干部:困难=2,;");

    click(*s, 1124);
    EXPECT_EQ(s->text(1126), "10");
    EXPECT_EQ(s->text(1130), "20.0");
    saveShot(s.get(), "CSetPaper-rules");

    expectBox("组卷成功！", Caption::Tip);
    click(*s, 1125);
    expectAllShown();
    EXPECT_EQ(s->text(1330), "");
    EXPECT_EQ(s->text(1115), "");
    EXPECT_FALSE(s->control(1112)->isVisible());
    EXPECT_EQ(papers(), (QList<QStringList>{{"期中考试", "语文", kRule, "空", "空", "空", "空", "10", "20.0",
                                             "2026/05/20 08:30:00", "单科", "087624608673644be535341b9ec89d1e"}}));

    // The same name again, with only a 判断题 rule.
    typeInto(*s, 1330, "期中考试");
    pick(*s, 1331, "语文");
    rule(*s, 1, "员工", "简单", "1", "2");
    expectBox("您输入的试卷名称已存在！", Caption::Tip);
    click(*s, 1125);
    EXPECT_EQ(papers().size(), 1);
    EXPECT_EQ(s->text(1119), "<语文>\n每题1.0分。\n员工:简单=2,;"); // the refusal keeps the inputs
}

TEST_F(CSetPaperTest, InputBoxesFilterAndRefuse)
{
    auto s = open();
    typeInto(*s, 1330, "卷");
    pick(*s, 1331, "语文");
    pick(*s, 1332, "员工");
    pick(*s, 1334, "简单");
    typeInto(*s, 1252, "2.56");
    EXPECT_EQ(s->text(1252), "2.5");
    s->control<QLineEdit>(1252)->clear();
    typeInto(*s, 1252, "05");
    EXPECT_EQ(s->text(1252), "5");
    typeInto(*s, 1252, "a.");
    EXPECT_EQ(s->text(1252), "5.");

    expectBox("抽取题数不能大于总题数！", Caption::Tip);
    typeInto(*s, 1253, "7");
    EXPECT_EQ(s->text(1253), "");
    typeInto(*s, 1253, "4");
    EXPECT_EQ(s->text(1255), "20.0");
    expectBox("抽取题数不能为0！", Caption::Tip);
    QTest::keyClick(s->control(1253), Qt::Key_Backspace);
    expectBox("题数不能为空！", Caption::Tip);
    typeInto(*s, 1261, "3"); // 判断题 without a difficulty: nothing available shown
    EXPECT_EQ(s->text(1261), "");

    expectBox("数据不能为空！", Caption::Tip);
    click(*s, 1257);
    expectBox("请输入组卷数据！", Caption::Tip);
    click(*s, 1125);
    s->control<QLineEdit>(1330)->clear();
    expectBox("请输入的试卷名称！", Caption::Tip);
    click(*s, 1125);
    expectAllShown();
    EXPECT_TRUE(papers().isEmpty());
}

TEST_F(CSetPaperTest, AllSubjectsPaperHasNoPrefixAndClearingOptionsGoesBackToOneSubject)
{
    auto s = open();
    typeInto(*s, 1330, "全科卷");
    click(*s, 1214);
    EXPECT_FALSE(s->control(1331)->isEnabled());
    pick(*s, 1332, "员工");
    pick(*s, 1333, "简单");
    EXPECT_EQ(s->text(1100), "6");
    rule(*s, 1, "员工", "简单", "1.5", "6");
    EXPECT_EQ(s->text(1119), "每题1.5分。\n员工:简单=6,;");
    expectBox("组卷成功！", Caption::Tip);
    click(*s, 1125);
    const QList<QStringList> rows = papers();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].mid(1, 4), (QStringList{"无", "空", "每题1.5分。员工:简单=6,;", "空"}));
    EXPECT_EQ(rows[0].mid(7, 2), (QStringList{"6", "9.0"}));
    EXPECT_EQ(rows[0][10], "全科");

    click(*s, 1256);
    EXPECT_TRUE(s->control<QRadioButton>(1211)->isChecked());
    EXPECT_EQ(s->subjectOption(), "单科");
    EXPECT_TRUE(s->control(1331)->isEnabled());
}

TEST_F(CSetPaperTest, MultiSubjectPaperIsComposedSubjectBySubjectAndFinished)
{
    auto s = open();
    click(*s, 1212);
    typeInto(*s, 1330, "综合卷");
    pick(*s, 1331, "语文");
    rule(*s, 0, "员工", "简单", "2", "5");
    rule(*s, 1, "员工", "简单", "1", "6");
    expectBox("多科第1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'。", Caption::Remind,
              MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, 1125);
    EXPECT_FALSE(s->control(1330)->isEnabled());
    EXPECT_FALSE(s->control(1256)->isVisible());
    EXPECT_TRUE(s->multiSubjectOpen());
    EXPECT_EQ(s->text(1252), "2"); // the points stay, locked, for the next subject
    EXPECT_TRUE(s->control<QLineEdit>(1252)->isReadOnly());

    expectBox("多科组卷未完成，不能退出", Caption::Tip);
    click(*s, 1132);
    EXPECT_FALSE(requestedScreen());

    pick(*s, 1331, "数学");
    rule(*s, 0, "员工", "简单", "", "4");
    EXPECT_EQ(s->text(1115), "<数学>\n每题2.0分。\n员工:简单=4,;");
    expectBox("多科第2个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'；\n完成组卷按'是'后再请按“多科完成”。",
              Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, 1125);
    EXPECT_TRUE(s->control(1135)->isVisible());
    saveShot(s.get(), "CSetPaper-multi");

    expectBox("完成多科组卷！", Caption::Tip);
    click(*s, 1135);
    expectAllShown();
    EXPECT_FALSE(s->multiSubjectOpen());
    EXPECT_TRUE(s->control(1330)->isEnabled());
    EXPECT_EQ(papers("testpaper").size(), 2);
    const QList<QStringList> rows = papers();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (QStringList{"综合卷", "不定", "单选题包含2个科目", "判断题包含1个科目", "空", "空", "空", "15",
                                    "24.0", "2026/05/20 08:30:00", "多科", "0196c3b9e1455e1f5ffa9e92030a2392"}));

    click(*s, 1132);
    EXPECT_EQ(requestedScreen(), ScreenId::TestManage);
}

TEST_F(CSetPaperTest, NoAfterALaterSubjectDropsEverySubjectRow)
{
    auto s = open();
    click(*s, 1212);
    typeInto(*s, 1330, "放弃卷");
    // No after the first subject stores nothing.
    pick(*s, 1331, "语文");
    rule(*s, 0, "员工", "简单", "2", "1");
    expectBox("多科第1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'。", Caption::Remind,
              MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, 1125);
    EXPECT_TRUE(papers("testpaper").isEmpty());
    EXPECT_FALSE(s->multiSubjectOpen());

    typeInto(*s, 1330, "放弃卷");
    for (int i = 1; i <= 3; ++i) {
        if (i == 3)
            expectBox("此科目已经组卷！", Caption::Tip); // only a warning: the choice stands
        pick(*s, 1331, i == 2 ? "数学" : "语文");
        rule(*s, 0, "员工", "简单", "2", "1");
        if (i == 1)
            expectBox("多科第1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'。", Caption::Remind,
                      MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
        else
            expectBox(QStringLiteral("多科第%1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'；\n"
                                     "完成组卷按'是'后再请按“多科完成”。")
                          .arg(i),
                      Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, i == 3 ? MsgAnswer::No : MsgAnswer::Yes);
        click(*s, 1125);
    }
    expectAllShown();
    EXPECT_TRUE(papers("testpaper").isEmpty());
    EXPECT_TRUE(papers().isEmpty());
    EXPECT_FALSE(s->multiSubjectOpen());
    EXPECT_TRUE(s->control(1211)->isEnabled());
}

} // namespace
