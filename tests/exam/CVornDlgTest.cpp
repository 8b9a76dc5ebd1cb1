// The exam window driven as an examinee does, over an exam table the test
// fills, with the answers checked in the file.
#include "app/Navigation.h"
#include "app/program/ScreenLoop.h"
#include "app/CShowMap.h"
#include "exam/CVornDlg.h"
#include "exam/ExamHandover.h"
#include "exam/ExamSubmission.h"
#include "exam/KeyboardLock.h"
#include "store/Clock.h"

#include "ExamSheetSeed.h"
#include "support/Driving.h"
#include "ExamWindowFixture.h"
#include "support/VornTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QTest>
#include <QTextEdit>

namespace {

using M = ExamScoring::Mark;

class CVornDlgTest : public ExamWindowTest
{
protected:
    void SetUp() override
    {
        ExamWindowTest::SetUp();
        id = seedRegistration();
    }

    std::unique_ptr<CVornDlg> open(const QList<SheetQuestion> &questions, ExamMode mode = kFormal,
                                   const QString &limit = "60")
    {
        key = seedExamSheet(questions);
        auto s = std::make_unique<CVornDlg>(
            handoverFor(key, mode == kFormal ? QString::number(id) : QString(), mode, limit));
        s->show();
        return s;
    }
    std::unique_ptr<CVornDlg> started(const QList<SheetQuestion> &questions, ExamMode mode = kFormal)
    {
        auto s = open(questions, mode);
        click(*s, CVornDlg::Start);
        return s;
    }

    void clickNumber(CVornDlg &s, int n)
    {
        QTest::mouseClick(s.numberLabel(n), Qt::LeftButton);
    }
    bool shown(CVornDlg &s, int ctrl) { return s.control(ctrl)->isVisible(); }
    QString stem(CVornDlg &s) { return s.control<QTextEdit>(CVornDlg::Stem)->toPlainText(); }
    QList<QStringList> answers()
    {
        return outsiderRows(Db::Personnel, "select 编号, ifnull(答题,'<null>') from exam order by 编号");
    }
    QString answerOf(int n)
    {
        return outsiderRows(Db::Personnel, "select ifnull(答题,'<null>') from exam where 编号=?", {n}).at(0).at(0);
    }
    bool examDropped()
    {
        return outsiderRows(Db::Personnel, "select count(*) from sqlite_master where name='exam'").at(0).at(0) == "0";
    }

    static bool countingGrab(bool on)
    {
        grabs += on ? 1 : 0;
        return true;
    }
    static inline int grabs = 0;
    int id = 0;
    QString key;
};

const QList<SheetQuestion> kSevenSingles = [] {
    QList<SheetQuestion> q;
    for (int i = 1; i <= 7; ++i)
        q << SheetQuestion{"单选题", QString("单选%1").arg(i), {"甲", "乙", "丙", "丁", "戊"}, "2", QVariant(), "A"};
    q[0].options = QStringList{"甲", "乙", "丙", "丁"}; // no E
    q[1].options = QStringList{"甲", "乙", "丙"};       // no D, no E
    q << SheetQuestion{"判断题", "天是蓝的", {"正确", "错误"}, "2", QVariant(), "A"};
    return q;
}();

// Where a user aims at an option: the centre of its box, and the start of
// its text.
QList<QPoint> aimsAt(QAbstractButton *b)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const bool radio = qobject_cast<QRadioButton *>(b);
    const QRect box = b->style()->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &opt, b);
    const QRect text = b->style()->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, b);
    return {box.center(), QPoint(text.left() + 4, box.center().y())};
}

} // namespace

TEST_F(CVornDlgTest, OpensWithTheRulesAndTheOverview)
{
    auto s = open({{"判断题", "地球是圆的", {"正确", "错误"}, "5", QVariant(), "A"},
                   {"判断题", "水往高处流", {"正确", "错误"}, "5", QVariant(), "B"},
                   {"问答题", "谈谈体会", {}, "10", QVariant(), "言之有理"}});
    EXPECT_EQ(s->windowTitle(), "Lumet");
    EXPECT_TRUE(s->keyboardLock().installed());
    EXPECT_EQ(s->size(), QSize(1024, 768));
    // No system menu, no boxes, no taskbar entry, maximised; the frame closes nothing.
    const Qt::WindowFlags flags = s->windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint));
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(s->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(s->close());
    EXPECT_TRUE(s->isVisible());
    // Pressing or double-clicking the caption does nothing.
    struct Probe : QObject
    {
        int seen = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            seen += e->type() == QEvent::NonClientAreaMouseButtonPress || e->type() == QEvent::NonClientAreaMouseButtonDblClick;
            return false;
        }
    } probe;
    s->installEventFilter(&probe);
    for (QEvent::Type type : {QEvent::NonClientAreaMouseButtonPress, QEvent::NonClientAreaMouseButtonDblClick}) {
        QMouseEvent left(type, QPointF(100, -10), QPointF(100, -10), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.get(), &left);
    }
    EXPECT_EQ(probe.seen, 0);
    QMouseEvent right(QEvent::NonClientAreaMouseButtonPress, QPointF(100, -10), QPointF(100, -10), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(s.get(), &right);
    EXPECT_EQ(probe.seen, 1); // other input is processed as usual
    s->removeEventFilter(&probe);
    EXPECT_TRUE(s->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(s->text(CVornDlg::ExamName), "年度考试");
    EXPECT_EQ(s->text(CVornDlg::ClockLabel), "2019年05月20日　10:00:00");
    EXPECT_TRUE(s->text(CVornDlg::Rules).startsWith("\t请仔细阅读以下练习规则："));
    EXPECT_EQ(s->typeCounts(), (std::array<int, 5>{0, 2, 0, 0, 1}));
    EXPECT_EQ(s->text(CVornDlg::SingleHeading), "");
    EXPECT_EQ(s->text(CVornDlg::JudgeHeading), "一、判断题");
    EXPECT_EQ(s->text(CVornDlg::EssayHeading), "二、问答题");
    EXPECT_EQ(s->numberLabel(3)->text(), "3");
    EXPECT_EQ(s->numberLabel(3)->property("ctrlId").toInt(), CVornDlg::NumberBase + 3);
    for (int ctrl : {CVornDlg::Start, CVornDlg::Back, CVornDlg::Exit, CVornDlg::Rules})
        EXPECT_TRUE(shown(*s, ctrl)) << ctrl;
    for (int ctrl : {CVornDlg::Previous, CVornDlg::Next, CVornDlg::Submit, CVornDlg::SingleA, CVornDlg::JudgeRight, CVornDlg::Blank1, CVornDlg::Essay})
        EXPECT_FALSE(shown(*s, ctrl)) << ctrl;
    saveShot(s.get(), "CVornDlg_rules");
    // Number clicks before the start do nothing.
    clickNumber(*s, 2);
    EXPECT_FALSE(s->currentNumber());

    click(*s, CVornDlg::Start);
    EXPECT_EQ(s->text(CVornDlg::TimeLimit), "答题时限:60分钟");
    EXPECT_EQ(s->text(CVornDlg::OptionsLabel), "选项");
    EXPECT_EQ(s->text(CVornDlg::Number), "1、");
    EXPECT_EQ(s->text(CVornDlg::Section), "二、");
    EXPECT_EQ(s->text(CVornDlg::TypeLine), "判断题  每题5分");
    for (int ctrl : {CVornDlg::Previous, CVornDlg::Next, CVornDlg::Submit, CVornDlg::JudgeRight, CVornDlg::JudgeWrong, CVornDlg::JudgeLetterA, CVornDlg::JudgeLetterB})
        EXPECT_TRUE(shown(*s, ctrl)) << ctrl;
    for (int ctrl : {CVornDlg::Start, CVornDlg::Back, CVornDlg::Exit, CVornDlg::Rules})
        EXPECT_FALSE(shown(*s, ctrl)) << ctrl;
    clickNumber(*s, 3);
    EXPECT_EQ(s->text(CVornDlg::Section), "五、"); // fixed per type, unlike the headings
    EXPECT_EQ(s->text(CVornDlg::Number), "3、");
    EXPECT_TRUE(shown(*s, CVornDlg::Essay));
    EXPECT_FALSE(shown(*s, CVornDlg::JudgeRight));
}

TEST_F(CVornDlgTest, SingleChoicesShowTheirOptionsAndStoreOnMoving)
{
    auto s = started(kSevenSingles);
    // Seven numbers on two rows, the next heading below them.
    EXPECT_EQ(s->numberLabel(5)->geometry().topLeft() + QPoint(0, 110), QPoint(210, 140));
    EXPECT_EQ(s->numberLabel(6)->geometry().topLeft() + QPoint(0, 110), QPoint(70, 160));
    EXPECT_EQ(s->control(CVornDlg::JudgeHeading)->geometry().top() + 110, 180);
    // Option E empty: four options.
    EXPECT_TRUE(shown(*s, CVornDlg::SingleD));
    EXPECT_FALSE(shown(*s, CVornDlg::SingleE));
    EXPECT_FALSE(shown(*s, CVornDlg::LetterE));
    EXPECT_EQ(s->control<QAbstractButton>(CVornDlg::SingleD)->text(), "丁");
    saveShot(s.get(), "CVornDlg_single");

    // 上一题 on question 1 still saves.
    click(*s, CVornDlg::SingleB);
    expectTimed("已经是第1题了！", Caption::Tip, 5);
    click(*s, CVornDlg::Previous);
    EXPECT_EQ(answerOf(1), "B");
    EXPECT_EQ(s->numberLabel(1)->mark(), M::Answered);
    EXPECT_EQ(s->numberLabel(2)->mark(), M::None);

    click(*s, CVornDlg::Next);
    EXPECT_EQ(s->text(CVornDlg::Number), "2、");
    // D and E empty: neither is offered.
    for (int ctrl : {CVornDlg::SingleD, CVornDlg::LetterD, CVornDlg::SingleE, CVornDlg::LetterE})
        EXPECT_FALSE(shown(*s, ctrl)) << ctrl;
    EXPECT_FALSE(s->control<QAbstractButton>(CVornDlg::SingleB)->isChecked());

    // Back to 1: the stored letter is checked again.
    click(*s, CVornDlg::Previous);
    EXPECT_TRUE(s->control<QAbstractButton>(CVornDlg::SingleB)->isChecked());
    // A number click loses the change; 下一题 would have stored it.
    click(*s, CVornDlg::SingleC);
    clickNumber(*s, 7);
    EXPECT_EQ(answerOf(1), "B");
    clickNumber(*s, 1);
    click(*s, CVornDlg::SingleC);
    click(*s, CVornDlg::Next);
    EXPECT_EQ(answerOf(1), "C");

    clickNumber(*s, 8);
    EXPECT_EQ(s->text(CVornDlg::TypeLine), "判断题  每题2分");
    click(*s, CVornDlg::JudgeWrong);
    expectTimed("已经是最后一题了！", Caption::Tip, 5);
    click(*s, CVornDlg::Next);
    EXPECT_EQ(answerOf(8), "B");
    expectAllShown();
}

TEST_F(CVornDlgTest, MultipleChoiceNeverStoresOneLetter)
{
    auto s = started({{"多选题", "选出偶数", {"2", "3", "4", "5", "6"}, "4", "AC", "ACE"},
                      {"多选题", "二", {"a", "b", "c"}, "4", QVariant(), "AB"}});
    EXPECT_EQ(s->text(CVornDlg::TypeLine), "多选题  每题4分(选2-5个答案)");
    EXPECT_TRUE(s->control<QAbstractButton>(CVornDlg::MultiA)->isChecked());
    EXPECT_TRUE(s->control<QAbstractButton>(CVornDlg::MultiC)->isChecked());
    click(*s, CVornDlg::MultiA);
    click(*s, CVornDlg::MultiC); // none left
    click(*s, CVornDlg::MultiE); // only E
    click(*s, CVornDlg::Next);
    EXPECT_EQ(answerOf(1), "AC"); // kept
    for (int ctrl : {CVornDlg::MultiD, CVornDlg::LetterD, CVornDlg::MultiE, CVornDlg::LetterE})
        EXPECT_FALSE(shown(*s, ctrl)) << ctrl; // no D, no E
    click(*s, CVornDlg::MultiA);
    click(*s, CVornDlg::MultiB);
    expectTimed("已经是最后一题了！", Caption::Tip, 5);
    click(*s, CVornDlg::Next);
    EXPECT_EQ(answerOf(2), "AB");
    click(*s, CVornDlg::Previous);
    click(*s, CVornDlg::MultiE);
    click(*s, CVornDlg::Next);
    EXPECT_EQ(answerOf(1), "ACE");
}

TEST_F(CVornDlgTest, BlanksAreTypedIntoTheStem)
{
    auto s = started({{"填空题", "首都是【】，最大城市是【】。", {}, "4", "北京#上海", "北京#上海"},
                      {"填空题", "长江流入【】", {}, "2", QVariant(), "东海"}});
    EXPECT_TRUE(shown(*s, CVornDlg::Blank1));
    EXPECT_TRUE(shown(*s, CVornDlg::Blank2));
    EXPECT_EQ(s->text(CVornDlg::Blank1), "北京");
    EXPECT_EQ(stem(*s), "首都是【 北京 】，最大城市是【 上海 】。");
    EXPECT_EQ(s->blankRange(2), (BlankStem::Range{16, 20}));

    auto *blank1 = s->control<QLineEdit>(CVornDlg::Blank1);
    blank1->setFocus();
    blank1->end(false);
    typeText(blank1, "#市");
    EXPECT_EQ(s->text(CVornDlg::Blank1), "北京市"); // "#" gone as typed
    EXPECT_EQ(stem(*s), "首都是【 北京市 】，最大城市是【 上海 】。");
    EXPECT_EQ(s->blankRange(1), (BlankStem::Range{4, 9}));
    EXPECT_EQ(s->blankRange(2), (BlankStem::Range{17, 21}));
    // Underlined in the box.
    QTextCursor c(s->control<QTextEdit>(CVornDlg::Stem)->document());
    c.setPosition(6);
    EXPECT_TRUE(c.charFormat().fontUnderline());
    c.setPosition(2);
    EXPECT_FALSE(c.charFormat().fontUnderline());
    saveShot(s.get(), "CVornDlg_blank");

    // Emptying both blanks makes the answer null again.
    blank1->clear();
    s->control<QLineEdit>(CVornDlg::Blank2)->clear();
    click(*s, CVornDlg::Next);
    EXPECT_EQ(answerOf(1), "<null>");
    EXPECT_FALSE(shown(*s, CVornDlg::Blank2));
    typeText(s->control<QLineEdit>(CVornDlg::Blank1), "东海");
    click(*s, CVornDlg::Previous);
    EXPECT_EQ(answerOf(2), "东海");
}

TEST_F(CVornDlgTest, ABlankWithThreeMarkersEndsTheProgram)
{
    auto s = started({{"单选题", "一", {"a", "b", "c"}, "2", QVariant(), "A"},
                      {"填空题", "【】【】【】", {}, "2", QVariant(), "a"}});
    expectBox("填空题填空符号不符合要求,将退出程序！", Caption::Tip);
    click(*s, CVornDlg::Next);
    EXPECT_TRUE(exited());
    EXPECT_FALSE(s->countdownRunning());
    EXPECT_FALSE(examDropped()); // stays until the next exam recreates it
    expectAllShown();
}

TEST_F(CVornDlgTest, EssayBoxTakesEnterAndSpaceWhileTheWindowDiscardsThem)
{
    auto s = started({{"问答题", "谈谈", {}, "10", "旧答案", "参考"},
                      {"判断题", "一", {"正确", "错误"}, "2", QVariant(), "A"}});
    auto *essay = s->control<QPlainTextEdit>(CVornDlg::Essay);
    EXPECT_EQ(essay->toPlainText(), "旧答案");
    essay->setFocus();
    essay->selectAll();
    QTest::keyClick(essay, Qt::Key_Space);
    QTest::keyClick(essay, Qt::Key_Return);
    QTest::keyClick(essay, Qt::Key_Escape);
    EXPECT_EQ(essay->toPlainText(), " \n旧答案"); // inserted before the selection, which stays
    EXPECT_TRUE(s->isVisible());
    // An empty box keeps the stored essay.
    essay->clear();
    click(*s, CVornDlg::Next);
    EXPECT_EQ(answerOf(1), "旧答案");
    // Space on a radio button does nothing; Esc does not close.
    s->control(CVornDlg::JudgeRight)->setFocus();
    QTest::keyClick(s->control(CVornDlg::JudgeRight), Qt::Key_Space);
    QTest::keyClick(s.get(), Qt::Key_Escape);
    EXPECT_FALSE(s->control<QAbstractButton>(CVornDlg::JudgeRight)->isChecked());
    EXPECT_TRUE(s->isVisible());
}

TEST_F(CVornDlgTest, LongEssaysAreKeptWhole)
{
    const QString long600 = QString(600, QChar(0x5b57));
    auto s = started({{"问答题", "写长文", {}, "10", QVariant(), "参考"}});
    s->control<QPlainTextEdit>(CVornDlg::Essay)->setPlainText(long600);
    expectBox("您确定要交卷!\n\n未答题：0道\n已标记：0道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("您这次参加“年度考试”的正式考试得分为：0分，\n\n本成绩不包括问答题分数，待问答题手工批卷后才能计算总成绩。"
              "\n\n是否进入考试查看窗口？",
              Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, CVornDlg::Submit);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 答题 from quesAndAns").at(0).at(0), long600);
}

// A 交卷 whose write fails keeps the answers and can be pressed again.
TEST_F(CVornDlgTest, AFailedHandInKeepsTheAnswersAndCanBeRepeated)
{
    auto s = started({{"问答题", "谈谈", {}, "10", QVariant(), "参考"}});
    s->control<QPlainTextEdit>(CVornDlg::Essay)->setPlainText("我的看法");
    outsiderExec(Db::Personnel, "alter table quesAndAns rename to gone");
    expectBox("您确定要交卷!\n\n未答题：0道\n已标记：0道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("交卷没有成功，成绩尚未保存。\n"
              "数据库文件不完整或已损坏：缺少程序需要的表（也可能正被另一份Lumet改动）。\n"
              "（数据库引擎的原文：no such table: quesAndAns）\n\n"
              "您的答案都已保留。请报告监考人员，问题解决后再按“交卷”。",
              Caption::Tip);
    click(*s, CVornDlg::Submit);
    expectAllShown();
    EXPECT_FALSE(exited());
    EXPECT_TRUE(shown(*s, CVornDlg::Submit));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩 is null from ExamRegister").at(0).at(0), "1");
    EXPECT_EQ(answerOf(1), "我的看法");

    outsiderExec(Db::Personnel, "alter table gone rename to quesAndAns");
    expectBox("您确定要交卷!\n\n未答题：0道\n已标记：0道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("您这次参加“年度考试”的正式考试得分为：0分，\n\n本成绩不包括问答题分数，待问答题手工批卷后才能计算总成绩。"
              "\n\n是否进入考试查看窗口？",
              Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, CVornDlg::Submit);
    EXPECT_TRUE(exited());
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 答题 from quesAndAns"), (QList<QStringList>{{"我的看法"}}));
}

TEST_F(CVornDlgTest, HandingInScoresStoresAndReviews)
{
    auto s = started({{"单选题", "一", {"a", "b", "c"}, "10", QVariant(), "A"},
                      {"填空题", "首都【】，城市【】", {}, "5", QVariant(), "北京#上海"},
                      {"判断题", "三", {"正确", "错误"}, "10", QVariant(), "A"},
                      {"多选题", "四", {"a", "b", "c", "d"}, "10", QVariant(), "ABD"}});
    click(*s, CVornDlg::SingleA);
    click(*s, CVornDlg::Next);
    typeText(s->control<QLineEdit>(CVornDlg::Blank2), "上海");
    click(*s, CVornDlg::Next);
    click(*s, CVornDlg::JudgeWrong);
    click(*s, CVornDlg::Next);
    for (int ctrl : {CVornDlg::MultiA, CVornDlg::MultiB, CVornDlg::MultiD})
        click(*s, ctrl);
    // 10 of 60 minutes left.
    for (int i = 0; i < 3000; ++i)
        s->tick(2);
    EXPECT_EQ(s->text(CVornDlg::TimeLeft), "剩余时间：00:10:00");

    // No: the countdown goes on from where it stood.
    expectBox("您确定要交卷!\n\n未答题：0道\n已标记：0道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, CVornDlg::Submit);
    EXPECT_TRUE(s->countdownRunning());
    EXPECT_EQ(s->countdown().remaining(), 600);

    Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(10, 10)));
    expectBox("您确定要交卷!\n\n未答题：0道\n已标记：0道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("您这次参加“年度考试”的正式考试得分为：22.5分，\n\n是否进入考试查看窗口？", Caption::Remind,
              MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, CVornDlg::Submit);
    expectAllShown();
    EXPECT_EQ(answerOf(4), "ABD"); // the answer on display saved first
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩,考试用时,考试时间,问答题 from ExamRegister"),
              (QList<QStringList>{{"22.5", "3000", "2019/05/20　10:10:00", ""}}));
    // printf '%s' '1张三会计年度考试22.56030002019/05/20　10:10:00' | iconv -t gb18030 | md5sum
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 保存码 from ExamRegister").at(0).at(0), "a79524ca2d22ee38356a464ad35589e0");

    // Review: question 1 with its marks and the reference.
    EXPECT_TRUE(s->reviewMode());
    EXPECT_FALSE(s->countdownRunning());
    EXPECT_FALSE(shown(*s, CVornDlg::Submit));
    EXPECT_FALSE(shown(*s, CVornDlg::TimeLeft));
    EXPECT_TRUE(shown(*s, CVornDlg::Exit));
    EXPECT_EQ(s->text(CVornDlg::Number), "1、");
    EXPECT_EQ(s->text(CVornDlg::AnswerLabel), "您的答案：A");
    EXPECT_EQ(s->text(CVornDlg::ReferenceLabel), "参考答案：A");
    EXPECT_EQ(s->numberLabel(1)->mark(), M::Right);
    EXPECT_EQ(s->numberLabel(2)->mark(), M::Half);
    EXPECT_EQ(s->numberLabel(3)->mark(), M::Wrong);
    EXPECT_EQ(s->numberLabel(4)->mark(), M::Right);
    saveShot(s.get(), "CVornDlg_review");

    // Review changes nothing.
    click(*s, CVornDlg::SingleB);
    click(*s, CVornDlg::Next);
    EXPECT_TRUE(s->control<QLineEdit>(CVornDlg::Blank1)->isReadOnly());
    EXPECT_EQ(s->text(CVornDlg::AnswerLabel), "");
    EXPECT_EQ(s->text(CVornDlg::ReferenceLabel), "参考答案：填空1：北京　　填空2：上海");
    click(*s, CVornDlg::Previous);
    EXPECT_EQ(answerOf(1), "A");
    s->tick(2);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩 from ExamRegister").at(0).at(0), "22.5");

    click(*s, CVornDlg::Exit);
    EXPECT_TRUE(exited());
    EXPECT_TRUE(examDropped());
}

TEST_F(CVornDlgTest, TimeUpSubmitsWithTheFullLimit)
{
    key = seedExamSheet({{"单选题", "一", {"a", "b", "c"}, "10", QVariant(), "A"},
                         {"问答题", "二", {}, "10", QVariant(), "参考"}});
    CVornDlg s(handoverFor(key, QString::number(id), kFormal, "1"));
    s.show();
    click(s, CVornDlg::Start);
    click(s, CVornDlg::SingleA);
    for (int i = 0; i < 59; ++i)
        s.tick(2);
    EXPECT_EQ(s.text(CVornDlg::TimeLeft), "剩余时间：00:00:01");
    expectTimed("考试时间到，强制交卷!", Caption::Remind, 10);
    expectBox("您这次参加“年度考试”的正式考试得分为：10分，\n\n本成绩不包括问答题分数，待问答题手工批卷后才能计算总成绩。"
              "\n\n是否进入考试查看窗口？",
              Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    s.tick(2);
    expectAllShown();
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩,考试用时 from ExamRegister"), (QList<QStringList>{{"10", "60"}}));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from quesAndAns").at(0).at(0), "1");
    EXPECT_TRUE(exited());
    EXPECT_TRUE(examDropped());
}

TEST_F(CVornDlgTest, ALimitOfZeroIsAnImmediateTimeOut)
{
    key = seedExamSheet({{"单选题", "一", {"a", "b", "c"}, "10", QVariant(), "A"}});
    CVornDlg s(handoverFor(key, QString::number(id), kFormal, "0"));
    s.show();
    expectTimed("考试时间到，强制交卷!", Caption::Remind, 10);
    expectBox("您这次参加“年度考试”的正式考试得分为：0分，\n\n是否进入考试查看窗口？", Caption::Remind, MsgIcon::Question,
              MsgButtons::YesNo, MsgAnswer::Yes);
    click(s, CVornDlg::Start);
    expectAllShown();
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩,考试用时 from ExamRegister"), (QList<QStringList>{{"0", "0"}}));
    EXPECT_TRUE(s.reviewMode());
    EXPECT_EQ(s.numberLabel(1)->mark(), M::Unanswered);
}

TEST_F(CVornDlgTest, MockExamStoresNothing)
{
    auto s = started({{"单选题", "一", {"a", "b", "c"}, "10", QVariant(), "A"}}, kMock);
    click(*s, CVornDlg::SingleA);
    expectBox("您确定要交卷!\n\n未答题：0道\n已标记：0道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("您这次参加“年度考试”的模拟考试得分为：10分，\n\n是否进入考试查看窗口？", Caption::Remind,
              MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, CVornDlg::Submit);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩 is null from ExamRegister").at(0).at(0), "1");
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from quesAndAns").at(0).at(0), "0");
    EXPECT_TRUE(exited());
}

TEST_F(CVornDlgTest, ADeletedRegistrationIsReportedAndNothingStored)
{
    auto s = started({{"问答题", "一", {}, "10", "答", "参考"}});
    outsiderExec(Db::Personnel, "delete from ExamRegister");
    expectBox("您确定要交卷!\n\n未答题：0道\n已标记：0道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("您的考试报名信息已被删除，本次成绩无法保存,将退出程序！", Caption::Warn, MsgIcon::Warning);
    click(*s, CVornDlg::Submit);
    expectAllShown();
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from quesAndAns").at(0).at(0), "0");
    EXPECT_TRUE(exited());
}

TEST_F(CVornDlgTest, ReturnBeforeTheStartDropsTheExam)
{
    auto s = open({{"单选题", "一", {"a", "b", "c"}, "10", QVariant(), "A"}});
    click(*s, CVornDlg::Back);
    EXPECT_EQ(requestedScreen(), ScreenId::ExamLogin);
    EXPECT_TRUE(examDropped());
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩 is null from ExamRegister").at(0).at(0), "1");
}

// The exam window object, and its lock, outlive 返回: the examinee screen it
// opens still runs under the lock, which ends with the screen loop.
TEST_F(CVornDlgTest, TheLockOutlivesReturnUntilTheProgramEnds)
{
    KeyboardLock::setGrabber(&CVornDlgTest::countingGrab);
    grabs = 0;
    key = seedExamSheet({{"单选题", "一", {"a", "b", "c"}, "10", QVariant(), "A"}});
    QStringList seen;
    bool heldUnderExamLogin = false;
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || seen.contains(modal->windowTitle()))
            return;
        seen << modal->windowTitle();
        auto *screen = qobject_cast<ScreenBase *>(modal);
        if (screen->className() == "CVornDlg") {
            QTest::mouseClick(screen->control<QAbstractButton>(CVornDlg::Back), Qt::LeftButton);
        } else {
            heldUnderExamLogin = KeyboardLock::isHeld();
            timer->deleteLater();
            modal->close(); // by the frame: the loop ends
        }
    });
    timer->start(20);
    ScreenLoop::run(ScreenId::VornDlg, handoverFor(key, QString::number(id), kFormal, "60"));
    EXPECT_EQ(seen, (QStringList{"Lumet", "Lumet—考试登录"}));
    EXPECT_TRUE(heldUnderExamLogin);
    EXPECT_EQ(grabs, 1);
    EXPECT_FALSE(KeyboardLock::isHeld()) << "the lock ends with the chain of screens";
}

TEST_F(CVornDlgTest, PicturesOpenTheirWindowOrAreReportedMissing)
{
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QDir().mkpath(path("QuestionMap"));
    ASSERT_TRUE(img.save(path("QuestionMap/单选题3.bmp")));
    QFile bad(path("QuestionMap/单选题4.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    auto s = open({{"单选题", "一", {"a", "b", "c"}, "10", QVariant(), "A", "单选题3"},
                   {"单选题", "二", {"a", "b", "c"}, "10", QVariant(), "A", "单选题9"},
                   {"单选题", "三", {"a", "b", "c"}, "10", QVariant(), "A", "单选题4"}});
    click(*s, CVornDlg::Start);
    ASSERT_NE(s->pictureWindow(), nullptr);
    EXPECT_EQ(s->pictureWindow()->imageSize(), QSize(40, 30));
    expectTimed("找不到图片文件", Caption::Tip, 5);
    click(*s, CVornDlg::Next);
    EXPECT_EQ(s->pictureWindow(), nullptr);
    click(*s, CVornDlg::Next); // not an image: an empty window, no crash
    ASSERT_NE(s->pictureWindow(), nullptr);
    EXPECT_TRUE(s->pictureWindow()->imageSize().isEmpty());
    expectAllShown();
}

TEST_F(CVornDlgTest, BadRowsGiveADefinedScreen)
{
    const QString option255 = QString(255, QChar(0x9009));
    const QString stem255 = QString(120, QChar(0x9898)) + "【】" + QString(131, QChar(0x9898)) + "【】";
    auto s = started({{"单选题", "一", {option255, option255, option255, option255, option255}, "abc", QVariant(), "A"},
                      {"填空题", stem255, {}, "2", "甲#乙", "甲#乙"}});
    EXPECT_EQ(s->text(CVornDlg::TypeLine), "单选题  每题abc分");
    EXPECT_EQ(s->control(CVornDlg::SingleA)->toolTip(), option255);
    saveShot(s.get(), "CVornDlg_long_options");
    click(*s, CVornDlg::Next);
    EXPECT_TRUE(stem(*s).contains("【 甲 】"));
    EXPECT_TRUE(stem(*s).endsWith("【 乙 】"));
}

TEST_F(CVornDlgTest, LargeExamsScrollTheOverview)
{
    QList<SheetQuestion> q;
    for (int i = 0; i < 230; ++i)
        q << SheetQuestion{i < 200 ? "单选题" : "判断题", "题", {"a", "b", "c"}, "1", QVariant(), "A"};
    auto s = started(q);
    ASSERT_EQ(s->numberLabel(230)->property("ctrlId").toInt(), CVornDlg::NumberBase + 230);
    auto *bar = s->overviewArea()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    // The last number can be reached and clicked.
    s->overviewArea()->ensureWidgetVisible(s->numberLabel(230));
    clickNumber(*s, 230);
    EXPECT_EQ(s->text(CVornDlg::Number), "230、");
}

TEST_F(CVornDlgTest, LooksRightAtEachScreenSize)
{
    for (const QSize size : {QSize(1024, 768), QSize(1366, 768), QSize(1920, 1080)}) {
        CVornDlg::setScreenSizeOverride(size);
        auto s = started({{"单选题", "中国的首都是哪座城市？", {"北京", "上海", "广州", "深圳"}, "2", "A", "A"},
                          {"单选题", "二", {"a", "b", "c"}, "2", QVariant(), "A"},
                          {"判断题", "三", {}, "2", QVariant(), "A"},
                          {"填空题", "【】", {}, "2", QVariant(), "A"},
                          {"多选题", "五", {"a", "b", "c"}, "2", QVariant(), "AB"},
                          {"问答题", "六", {}, "2", QVariant(), "A"}});
        EXPECT_EQ(s->size(), size);
        EXPECT_FALSE(s->overviewArea()->verticalScrollBar()->isVisible()) << s->overviewArea()->verticalScrollBar()->maximum();
        EXPECT_EQ(s->control(CVornDlg::Stem)->geometry(), ExamLayout::rectOf(CVornDlg::Stem, size.width(), size.height()));
        saveShot(s.get(), QString("CVornDlg_%1x%2").arg(size.width()).arg(size.height()));
    }
}

TEST_F(CVornDlgTest, ARefusedLockIsReportedOnceAndTheExamGoesOn)
{
    KeyboardLock::setGrabber([](bool) { return false; });
    key = seedExamSheet({{"判断题", "一", {"正确", "错误"}, "2", QVariant(), "A"}});
    expectBox("安装钩子失败!", Caption::Default);
    CVornDlg s(handoverFor(key, QString::number(id), kFormal));
    s.show();
    expectAllShown();
    EXPECT_FALSE(s.keyboardLock().installed());
    click(s, CVornDlg::Start);
    click(s, CVornDlg::JudgeRight);
    expectTimed("已经是最后一题了！", Caption::Tip, 5);
    click(s, CVornDlg::Next);
    EXPECT_EQ(answerOf(1), "A");
}

// Every answer control takes the click that lands where it is drawn, at the
// screen sizes the window is made for: no label lies over it.
TEST_F(CVornDlgTest, EveryAnswerControlTakesTheClickWhereItIsDrawn)
{
    for (const QSize size : {QSize(1024, 768), QSize(1280, 1024)}) {
        CVornDlg::setScreenSizeOverride(size);
        auto s = started({{"单选题", "一", {"甲", "乙", "丙", "丁", "戊"}, "2", QVariant(), "A"},
                          {"多选题", "二", {"甲", "乙", "丙", "丁", "戊"}, "2", QVariant(), "AB"},
                          {"判断题", "三", {}, "2", QVariant(), "A"},
                          {"填空题", "【】和【】", {}, "2", QVariant(), "A#B"},
                          {"问答题", "五", {}, "2", QVariant(), "A"}});
        const QString at = QString("%1x%2 ").arg(size.width()).arg(size.height());
        for (int i = 0; i < 5; ++i) {
            auto *b = s->control<QAbstractButton>(CVornDlg::SingleA + i);
            for (const QPoint &p : aimsAt(b)) {
                s->control<QAbstractButton>(CVornDlg::SingleA + (i + 1) % 5)->setChecked(true);
                clickThroughWindow(b, p);
                EXPECT_TRUE(b->isChecked()) << at.toStdString() << "single " << i << " at " << p.x() << "," << p.y();
            }
        }
        click(*s, CVornDlg::Next);
        for (int i = 0; i < 5; ++i) {
            auto *b = s->control<QAbstractButton>(CVornDlg::MultiA + i);
            for (const QPoint &p : aimsAt(b)) {
                const bool before = b->isChecked();
                clickThroughWindow(b, p);
                EXPECT_NE(b->isChecked(), before) << at.toStdString() << "multiple " << i << " at " << p.x() << "," << p.y();
            }
        }
        click(*s, CVornDlg::Next);
        for (int ctrl : {CVornDlg::JudgeRight, CVornDlg::JudgeWrong}) {
            auto *b = s->control<QAbstractButton>(ctrl);
            clickThroughWindow(b, aimsAt(b).first());
            EXPECT_TRUE(b->isChecked()) << at.toStdString() << ctrl;
        }
        // The boxes of a blank and of an essay lie open under the pointer.
        for (int ctrl : {CVornDlg::Blank1, CVornDlg::Blank2, CVornDlg::Essay}) {
            if (ctrl == CVornDlg::Blank1 || ctrl == CVornDlg::Essay)
                click(*s, CVornDlg::Next);
            QWidget *box = s->control(ctrl);
            const QPoint centre = box->mapTo(s.get(), box->rect().center());
            QWidget *under = s->childAt(centre);
            EXPECT_TRUE(under == box || box->isAncestorOf(under)) << at.toStdString() << ctrl;
        }
    }
}

// A question picture opens beside the question, whole, and closes from a
// button of its own.
TEST_F(CVornDlgTest, APictureStandsBesideTheQuestionWholeAndCloses)
{
    QDir().mkpath(path("QuestionMap"));
    QImage small(220, 160, QImage::Format_RGB32), big(900, 700, QImage::Format_RGB32);
    small.fill(Qt::blue);
    big.fill(Qt::red);
    ASSERT_TRUE(small.save(path("QuestionMap/单选题1.bmp")));
    ASSERT_TRUE(big.save(path("QuestionMap/单选题2.bmp")));
    for (const QSize size : {QSize(1024, 768), QSize(1280, 1024)}) {
        CVornDlg::setScreenSizeOverride(size);
        auto s = started({{"单选题", "一", {"甲", "乙", "丙", "丁", "戊"}, "2", QVariant(), "A", "单选题1"},
                          {"单选题", "二", {"甲", "乙", "丙", "丁", "戊"}, "2", QVariant(), "A", "单选题2"}});
        const QString at = QString("%1x%2").arg(size.width()).arg(size.height());
        const QRect screen(s->mapToGlobal(QPoint(0, 0)), size);
        for (int n = 1; n <= 2; ++n) {
            CShowMap *picture = s->pictureWindow();
            ASSERT_NE(picture, nullptr);
            const QRect window = picture->frameGeometry();
            EXPECT_TRUE(screen.contains(window)) << at.toStdString() << " picture " << n;
            for (int ctrl : {CVornDlg::Stem, CVornDlg::SingleA, CVornDlg::SingleB, CVornDlg::SingleC, CVornDlg::SingleD, CVornDlg::SingleE, CVornDlg::LetterA, CVornDlg::Previous, CVornDlg::Next, CVornDlg::Submit}) {
                QWidget *c = s->control(ctrl);
                const QRect drawn(c->mapToGlobal(QPoint(0, 0)), c->size());
                EXPECT_FALSE(window.intersects(drawn)) << at.toStdString() << " picture " << n << " covers " << ctrl;
            }
            if (n == 1) {
                EXPECT_EQ(picture->pictureRect().size(), QSize(220, 160)) << at.toStdString();
            }
            saveShot(picture, QString("CShowMap_exam_%1_%2").arg(at).arg(n));
            if (n == 1)
                click(*s, CVornDlg::Next);
        }
        saveShot(s.get(), "CVornDlg_picture_" + at);
        QPointer<CShowMap> picture = s->pictureWindow();
        auto *close = picture->control<QAbstractButton>(CShowMap::CloseButton);
        ASSERT_TRUE(close->isVisible());
        EXPECT_EQ(close->text(), "关闭");
        clickThroughWindow(close, close->rect().center());
        EXPECT_TRUE(!picture || !picture->isVisible());
    }
}

// The review marks lie under the numbers: every digit stays as it is drawn
// without a mark.
TEST_F(CVornDlgTest, ReviewMarksLeaveEveryNumberReadable)
{
    auto s = started({{"单选题", "一", {"a", "b", "c"}, "10", "A", "A"},
                      {"单选题", "二", {"a", "b", "c"}, "10", "B", "A"},
                      {"填空题", "【】【】", {}, "10", "甲#x", "甲#乙"},
                      {"单选题", "四", {"a", "b", "c"}, "10", QVariant(), "A"},
                      {"问答题", "五", {}, "10", QVariant(), "参考"},
                      {"问答题", "六", {}, "10", "答了", "参考"}});
    expectBox("您确定要交卷!\n\n未答题：2道\n已标记：0道", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("您这次参加“年度考试”的正式考试得分为：15分，\n\n本成绩不包括问答题分数，待问答题手工批卷后才能计算总成绩。"
              "\n\n是否进入考试查看窗口？",
              Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, CVornDlg::Submit);
    const QList<M> marks{M::Right, M::Wrong, M::Half, M::Unanswered, M::Essay, M::Essay};
    for (int n = 1; n <= 6; ++n) {
        NumberLabel *label = s->numberLabel(n);
        EXPECT_EQ(label->mark(), marks[n - 1]) << n;
        NumberLabel plain(n, nullptr);
        plain.setFont(label->font());
        plain.resize(label->size());
        const QImage bare = plain.grab().toImage(), marked = label->grab().toImage();
        int digitPixels = 0;
        for (int y = 0; y < bare.height(); ++y)
            for (int x = 0; x < bare.width(); ++x)
                if (qGray(bare.pixel(x, y)) < 140) {
                    ++digitPixels;
                    const QRgb p = marked.pixel(x, y);
                    ASSERT_LT(std::max({qRed(p), qGreen(p), qBlue(p)}), 170) << "number " << n << " hidden at " << x << "," << y;
                }
        EXPECT_GT(digitPixels, 5) << n;
    }
    saveShot(s->overviewArea(), "CVornDlg_review_marks");
}
