#include "exam/CExamLogin.h"
#include "exam/ExamHandover.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Sitting.h"
#include "store/SettingsFile.h"

#include "exam/ExamSeed.h"
#include "support/Driving.h"
#include "support/VornTest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {


const QString kPerson = QStringLiteral("O'Brien");

// Exams as exam creation writes them; codes computed outside the program.
struct SeedExam
{
    int number;
    const char *name;
    const char *paper;
    const char *start;
    const char *end;
    const char *code;
    const char *remark; // nullptr: no essay questions
};
const SeedExam kExams[] = {
    {1, "期中考试", "期中卷", "2026/03/01 08:00", "2026/03/31 18:00", "c1b33993fad867b9baf3f687b4cbb632", nullptr},
    {2, "未来考试", "期中卷", "2026/06/01 08:00", "2026/06/30 18:00", "2e5aa6effaa751faf7933223e318a104", nullptr},
    {3, "旧考试", "期中卷", "2026/01/10 08:00", "2026/01/20 18:00", "49adc8cae2cae3a90d0a4f25e0c35c50", nullptr},
    {4, "问答考试", "问答卷", "2026/03/01 08:00", "2026/03/31 18:00", "12e61a0e89ba2face9c4a02d78701bc5",
     "每题10.0分。干部:困难=1,;"},
};
// Registration codes of O'Brien/一车间/技术员 with pass mark 60, by exam number.
const char *kRegistrationCodes[] = {"", "ad5f069fff639872d0a2f2b7ec33905f", "db95c195064411b14ca589d49c73179c",
                                    "749e18a3bef18572b9c5a78461131c83", "a6c2e6d8055092ba255ed03e0bac1803"};

class CExamLoginTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        Clock::setFixed(QDateTime(QDate(2026, 3, 15), QTime(10, 0), Qt::LocalTime));
        ASSERT_TRUE(SettingsFile().writeDepartmentTree(
            {{QStringLiteral("一车间"), {QStringLiteral("技术员"), QStringLiteral("工人")}},
             {QStringLiteral("二车间"), {QStringLiteral("技术员")}}}));
        outsiderExec(Db::Questions, QStringLiteral("insert into exampaper ") + kPaperColumns, kMidterm);
        outsiderExec(Db::Questions, QStringLiteral("insert into exampaper ") + kPaperColumns, kEssayPaper);
        for (const SeedExam &e : kExams)
            exam(e);
        // Registered for the future exam first: it is skipped, the numbers
        // of the rows listed after it run on without a gap.
        for (int n : {2, 1, 3, 4})
            registration(n);
    }

    void exam(const SeedExam &e)
    {
        outsiderExec(Db::Personnel,
                     "insert into ExamArrange (考试号,考试名称,试卷名称,开始时间,结束时间,考试时限,合格分数,保存码,备注) "
                     "values (?,?,?,?,?,'90','60',?,?)",
                     {e.number, e.name, e.paper, e.start, e.end, e.code,
                      e.remark ? QVariant(QString::fromUtf8(e.remark)) : QVariant()});
    }
    void registration(int number)
    {
        outsiderExec(Db::Personnel,
                     "insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values (?,'一车间','技术员',?,'60',?)",
                     {kPerson, QString::number(number), kRegistrationCodes[number]});
        outsiderExec(Db::Personnel, "insert into JoinExam (考试号,考生质量,考生数量) values (?,1,6)", {number});
    }

    std::unique_ptr<CExamLogin> open()
    {
        auto s = std::make_unique<CExamLogin>();
        s->show();
        return s;
    }
    void identify(CExamLogin &s, const QString &name, const QString &dept = QStringLiteral("一车间"),
                  const QString &post = QStringLiteral("技术员"))
    {
        auto *d = s.control<QComboBox>(CExamLogin::Department);
        d->setCurrentIndex(d->findText(dept));
        auto *p = s.control<QComboBox>(CExamLogin::Post);
        p->setCurrentIndex(p->findText(post));
        typeInto(s, CExamLogin::Name, name);
    }
    // Column texts of the list rows, from column 1 to 12.
    QStringList rows(CExamLogin &s)
    {
        auto *list = s.control<QTableWidget>(CExamLogin::List);
        QStringList out;
        for (int r = 0; r < list->rowCount(); ++r) {
            QStringList cells;
            for (int c = 1; c <= 12; ++c)
                cells << (list->item(r, c) ? list->item(r, c)->text() : QString());
            out << cells.join('|');
        }
        return out;
    }
    void pick(CExamLogin &s, int row)
    {
        auto *list = s.control<QTableWidget>(CExamLogin::List);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row, 2)).center());
    }
    bool tableExists(const QString &name)
    {
        return !outsiderRows(Db::Personnel, "select name from sqlite_master where name=?", {name}).isEmpty();
    }
};

// Formal query: exams begun are listed numbered 1, 2, 3 whatever was skipped;
// an ended one is marked; hidden columns carry the paper, option, the
// registration's ID and the exam number. The name holds a single quote.
TEST_F(CExamLoginTest, FormalQueryListsBegunExamsOfThePerson)
{
    auto s = open();
    EXPECT_EQ(s->windowTitle(), "Lumet—考试登录");
    EXPECT_TRUE(tableExists("interim"));
    identify(*s, kPerson);
    click(*s, CExamLogin::Query);
    EXPECT_EQ(s->examMode(), ExamMode::Formal);
    const QStringList ids = [&] {
        QStringList r;
        for (const QStringList &row :
             outsiderRows(Db::Personnel, "select ID from ExamRegister order by cast(考试号 as int)"))
            r << row[0];
        return r;
    }();
    EXPECT_EQ(rows(*s), (QStringList{
                            "1|期中考试|2026/03/01 08:00|2026/03/31 18:00||90|60|期中卷|单科|" + ids[0] + "||1",
                            "2|旧考试|2026/01/10 08:00|2026/01/20 18:00|已结束|90|60|期中卷|单科|" + ids[2] + "||3",
                            "3|问答考试|2026/03/01 08:00|2026/03/31 18:00||90|60|问答卷|单科|" + ids[3] + "||4"}));
    auto *list = s->control<QTableWidget>(CExamLogin::List);
    EXPECT_EQ(list->rowHeight(0), 36);
    for (int c : {0, 6, 7, 8, 9, 10, 11, 12})
        EXPECT_TRUE(list->isColumnHidden(c)) << c;
    // Every shown column inside the list, the times fitting theirs.
    EXPECT_LE(list->columnViewportPosition(5) + list->columnWidth(5), list->viewport()->width());
    const QFontMetrics fm(list->font());
    EXPECT_LT(fm.horizontalAdvance(list->item(0, 3)->text()), list->columnWidth(3));
    EXPECT_GT(list->columnWidth(2), fm.horizontalAdvance(QStringLiteral("期中考试期中考试期中考试")));
    saveShot(s.get(), "CExamLogin_formal");
    expectAllShown();
}

TEST_F(CExamLoginTest, EmptyFieldsAndPeopleWithoutRegistrations)
{
    auto s = open();
    identify(*s, "");
    expectBox("查询信息不能有空格！", Caption::Remind);
    click(*s, CExamLogin::Query);
    identify(*s, "张三");
    click(*s, CExamLogin::Query); // nobody of that name: an empty list, no message
    EXPECT_TRUE(rows(*s).isEmpty());
    identify(*s, kPerson, "二车间");
    click(*s, CExamLogin::Query);
    EXPECT_TRUE(rows(*s).isEmpty());
    // The space bar is discarded: no name can hold one.
    identify(*s, "O Brien");
    EXPECT_EQ(s->text(CExamLogin::Name), "OBrien");
    expectAllShown();
    EXPECT_FALSE(exited());
}

TEST_F(CExamLoginTest, AnEditedPassMarkEndsTheProgram)
{
    outsiderExec(Db::Personnel, "update ExamRegister set 合格分数='50' where 考试号='3'");
    auto s = open();
    identify(*s, kPerson);
    expectTimed("数据库已被篡改,将退出程序！");
    click(*s, CExamLogin::Query);
    EXPECT_TRUE(exited());
}

TEST_F(CExamLoginTest, ARegistrationAddedOutsideEndsTheProgram)
{
    outsiderExec(Db::Personnel,
                 "insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values ('李四','二车间','技术员','1','60','x')");
    auto s = open();
    identify(*s, kPerson);
    expectTimed("本次考试人员数量被修改,将退出程序！");
    click(*s, CExamLogin::Query);
    EXPECT_TRUE(exited());
}

TEST_F(CExamLoginTest, ACounterThatIsNotFiveAboveTheOtherEndsTheProgram)
{
    outsiderExec(Db::Personnel, "update JoinExam set 考生数量=7 where 考试号=1");
    auto s = open();
    identify(*s, kPerson);
    expectTimed("本次考试人员数量被修改,将退出程序！");
    click(*s, CExamLogin::Query);
    EXPECT_TRUE(exited());
}

TEST_F(CExamLoginTest, AMissingCounterRowEndsTheProgram)
{
    outsiderExec(Db::Personnel, "delete from JoinExam where 考试号=1");
    auto s = open();
    identify(*s, kPerson);
    expectTimed("数据库已被篡改,将退出程序！");
    click(*s, CExamLogin::Query);
    EXPECT_TRUE(exited());
}

TEST_F(CExamLoginTest, AnExamChangedOutsideEndsTheProgram)
{
    outsiderExec(Db::Personnel, "update ExamArrange set 结束时间='2026/12/31 18:00' where 考试号=3");
    auto s = open();
    identify(*s, kPerson);
    expectTimed("考试信息已被篡改,将退出程序！");
    click(*s, CExamLogin::Query);
    EXPECT_TRUE(exited());
}

// A registration whose exam is gone stops the query; what was listed stays.
TEST_F(CExamLoginTest, AMissingExamStopsTheQueryOnly)
{
    outsiderExec(Db::Personnel, "delete from ExamArrange where 考试号=3");
    auto s = open();
    identify(*s, kPerson);
    expectTimed("考试信息已被篡改,无法进行考试！");
    click(*s, CExamLogin::Query);
    EXPECT_FALSE(exited());
    ASSERT_EQ(rows(*s).size(), 1);
    EXPECT_TRUE(rows(*s)[0].startsWith("1|期中考试|"));
}

TEST_F(CExamLoginTest, AListedExamWithoutItsPaperEndsTheProgram)
{
    outsiderExec(Db::Questions, "delete from exampaper where 名称='问答卷'");
    auto s = open();
    identify(*s, kPerson);
    expectTimed("“问答考试”找不到相应的试卷,将退出程序！");
    click(*s, CExamLogin::Query);
    EXPECT_TRUE(exited());
}

// The mock list ignores and empties the fields, and lists every begun exam
// without essays, ended ones included.
TEST_F(CExamLoginTest, MockListIsAnonymous)
{
    auto s = open();
    identify(*s, kPerson);
    click(*s, CExamLogin::Mock);
    EXPECT_EQ(s->examMode(), ExamMode::Mock);
    EXPECT_EQ(s->text(CExamLogin::Name), "");
    EXPECT_EQ(s->control<QComboBox>(CExamLogin::Department)->currentIndex(), -1);
    EXPECT_EQ(s->control<QComboBox>(CExamLogin::Post)->currentIndex(), -1);
    EXPECT_EQ(rows(*s), (QStringList{"1|期中考试|2026/03/01 08:00|2026/03/31 18:00||90|60|期中卷|单科|||1",
                                     "2|旧考试|2026/01/10 08:00|2026/01/20 18:00|已结束|90|60|期中卷|单科|||3"}));
    saveShot(s.get(), "CExamLogin_mock");

    outsiderExec(Db::Personnel, "update ExamArrange set 合格分数='0' where 考试号=3");
    expectTimed("考试信息已被篡改,将退出程序！");
    click(*s, CExamLogin::Mock);
    EXPECT_TRUE(exited());
}

// With no begun exam without essays, the mock list says so and keeps what
// the examinee typed for a formal query.
TEST_F(CExamLoginTest, NoMockExamIsSaidAndKeepsTheTypedName)
{
    outsiderExec(Db::Personnel, "update ExamArrange set 备注='x' where 考试号 in (1,3)");
    auto s = open();
    identify(*s, kPerson);
    expectBox("目前没有可以参加的模拟考试！", Caption::Tip);
    click(*s, CExamLogin::Mock);
    EXPECT_TRUE(rows(*s).isEmpty());
    EXPECT_EQ(s->text(CExamLogin::Name), kPerson);
    EXPECT_EQ(s->control<QComboBox>(CExamLogin::Post)->currentText(), "技术员");
}

// Times that are no date: a start never begins, an end counts as passed.
TEST_F(CExamLoginTest, StoredTimesThatAreNoDate)
{
    outsiderExec(Db::Personnel,
                 "insert into ExamArrange (考试号,考试名称,试卷名称,开始时间,结束时间,考试时限,合格分数,保存码) values "
                 "(5,'坏开始','期中卷','明天','2026/03/31 18:00','90','60','b9f6cca54f2b0586a3bfd05cee188ad6'),"
                 "(6,'坏结束','期中卷','2026/03/01 08:00','不详','90','60','e8e145b76ef6491d9b46d5e5444a95d4')");
    auto s = open();
    click(*s, CExamLogin::Mock);
    const QStringList listed = rows(*s);
    ASSERT_EQ(listed.size(), 3);
    EXPECT_TRUE(listed[2].startsWith("3|坏结束|2026/03/01 08:00|不详|已结束|")) << listed[2].toStdString();
    pick(*s, 2);
    expectTimed("选择的考试已结束！");
    click(*s, CExamLogin::Enter);
    EXPECT_FALSE(requestedScreen());
}

TEST_F(CExamLoginTest, EnteringNeedsAChoiceAndRefusesEndedExams)
{
    seedMidtermBank();
    auto s = open();
    identify(*s, kPerson);
    click(*s, CExamLogin::Query);
    expectBox("请选择考试！", Caption::Tip);
    click(*s, CExamLogin::Enter);
    pick(*s, 1);
    expectTimed("选择的考试已结束！");
    click(*s, CExamLogin::Enter);
    // The first press used the choice up.
    expectBox("请选择考试！", Caption::Tip);
    click(*s, CExamLogin::Enter);
    EXPECT_FALSE(requestedScreen());
    EXPECT_EQ(rows(*s).size(), 3);
    expectAllShown();
}

TEST_F(CExamLoginTest, EnteringChecksThePaper)
{
    seedMidtermBank();
    auto s = open();
    identify(*s, kPerson);
    click(*s, CExamLogin::Query);
    outsiderExec(Db::Questions, "update exampaper set 满分='100.0' where 名称='期中卷'");
    pick(*s, 0);
    expectTimed("本次考试的试卷信息已被篡改,无法进行考试！");
    click(*s, CExamLogin::Enter);
    outsiderExec(Db::Questions, "delete from exampaper where 名称='期中卷'");
    pick(*s, 0);
    expectTimed("本次考试的试卷已删除,无法考试！");
    click(*s, CExamLogin::Enter);
    EXPECT_FALSE(requestedScreen());
    EXPECT_FALSE(exited());
}

// Entering a formal exam: questions drawn into exam, interim dropped, the
// hand-over holds the key and the exam's values; the stand-in exam window
// shows the count and leads back, dropping exam.
TEST_F(CExamLoginTest, EnteringAFormalExamDrawsItAndHandsItOver)
{
    seedMidtermBank();
    auto s = open();
    identify(*s, kPerson);
    click(*s, CExamLogin::Query);
    const QString regId = outsiderRows(Db::Personnel, "select ID from ExamRegister where 考试号='1'")[0][0];
    pick(*s, 0);
    click(*s, CExamLogin::Enter);
    // What the exam window will take when it is created.
    const std::optional<Nav::Request> request = Nav::takeRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->next, ScreenId::VornDlg);
    EXPECT_FALSE(tableExists("interim"));
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*), min(编号), max(编号) from exam")[0],
              (QStringList{"10", "1", "10"}));
    const auto *h = std::any_cast<ExamHandover>(&request->handover);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->examName, "期中考试");
    EXPECT_EQ(h->timeLimit, "90");
    EXPECT_EQ(h->passMark, 60);
    EXPECT_EQ(h->registrationId, regId);
    EXPECT_EQ(h->examMode, ExamMode::Formal);
    EXPECT_EQ(h->questionCount(), 10);
}

// A bank that cannot supply the paper ends the program; the next entry finds
// empty tables.
TEST_F(CExamLoginTest, AShortBankEndsTheProgramAndLeavesNothing)
{
    seedBank("单选题", 4, "语文", "干部", "简单", "单");
    auto s = open();
    click(*s, CExamLogin::Mock);
    pick(*s, 0);
    expectBox("题库中“单选题”数量不符合考卷要求，退出程序！", Caption::Warn, MsgIcon::Warning);
    click(*s, CExamLogin::Enter);
    EXPECT_TRUE(exited());
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from exam")[0][0], "0");
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from interim")[0][0], "0");
}

// A sealed paper whose rule text composition would never write ("r1"):
// the exam is refused with a message and the screen stays, nothing drawn.
TEST_F(CExamLoginTest, AMalformedRuleRefusesTheExamAndStays)
{
    seedMidtermBank();
    outsiderExec(Db::Questions, QStringLiteral("insert into exampaper ") + kPaperColumns,
                 {"语文卷", "语文", "单科", "r1", "空", "空", "空", "空", "10", "100", "2019/05/01 09:00:00",
                  "9ac3e32e9b0b4b4ececc8403d0909f43"});
    exam({7, "语文考试", "语文卷", "2026/03/01 08:00", "2026/03/31 18:00", "dec06dffebc21d071dde1585dbff16c3", nullptr});
    auto s = open();
    click(*s, CExamLogin::Mock);
    ASSERT_EQ(rows(*s).size(), 3);
    pick(*s, 2);
    expectTimed("本次考试试卷的“单选题”出题规则已损坏,无法进行考试！");
    click(*s, CExamLogin::Enter);
    EXPECT_FALSE(exited());
    EXPECT_FALSE(requestedScreen());
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from interim")[0][0], "0");
    EXPECT_EQ(outsiderRows(Db::Personnel, "select count(*) from exam")[0][0], "0");
    // Another exam can still be entered from the same list.
    pick(*s, 0);
    click(*s, CExamLogin::Enter);
    EXPECT_EQ(requestedScreen(), ScreenId::VornDlg);
}

TEST_F(CExamLoginTest, BackAndExitDropInterim)
{
    auto s = open();
    ASSERT_TRUE(tableExists("interim"));
    click(*s, CExamLogin::Back);
    EXPECT_EQ(requestedScreen(), ScreenId::Login);
    EXPECT_FALSE(tableExists("interim"));
    s = open();
    ASSERT_TRUE(tableExists("interim"));
    click(*s, CExamLogin::Exit);
    EXPECT_TRUE(exited());
    EXPECT_FALSE(s->timer1Active());
    EXPECT_FALSE(tableExists("interim"));
    // 清空选项 empties the name and both choices.
    s = open();
    identify(*s, kPerson);
    click(*s, CExamLogin::Clear);
    EXPECT_EQ(s->text(CExamLogin::Name), "");
    EXPECT_EQ(s->control<QComboBox>(CExamLogin::Department)->currentIndex(), -1);
    EXPECT_EQ(s->control<QComboBox>(CExamLogin::Post)->currentIndex(), -1);
}

// One character a paint; a pointer resting on the text freezes the typing;
// after the last character one paint shows none and typing starts again.
TEST_F(CExamLoginTest, TheIntroductionTypesPausesAndRestarts)
{
    auto s = open();
    EXPECT_TRUE(s->timer1Active());
    QTest::qWait(50);
    const int total = int(CExamLogin::introLine1().size() + CExamLogin::introLine2().size());
    const int before = s->introStep();
    s->repaint();
    EXPECT_EQ(s->introStep(), before + 1);

    // The timer keeps it typing.
    QTest::qWait(1200);
    EXPECT_GE(s->introStep(), before + 2);

    QTest::mouseMove(s.get(), QPoint(100, 50));
    EXPECT_TRUE(s->introPaused());
    const int paused = s->introStep();
    QTest::qWait(1200);
    EXPECT_EQ(s->introStep(), paused);
    QTest::mouseMove(s.get(), QPoint(10, 300)); // below the text, beside the list
    EXPECT_FALSE(s->introPaused());

    while (s->introStep() <= total) {
        if (s->introStep() == 40)
            saveShot(s.get(), "CExamLogin_typing"); // both lines under way
        s->repaint();
    }
    s->repaint(); // the paint without typed text
    EXPECT_EQ(s->introStep(), 0);
    s->repaint();
    EXPECT_EQ(s->introStep(), 1);
    saveShot(s.get(), "CExamLogin_intro");
}

// Fully typed, both big lines stay clear of the red frame between them and
// inside the area the typing repaints (a line past it is cut off).
TEST_F(CExamLoginTest, TheTypedLinesStayInsideTheIntroductionArea)
{
    auto s = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s.get()));
    const int total = int(CExamLogin::introLine1().size() + CExamLogin::introLine2().size());
    for (int paints = 0; s->introStep() < total && paints <= total; ++paints)
        s->repaint();
    ASSERT_EQ(s->introStep(), total);
    const QImage shot = s->grab().toImage();
    saveShot(s.get(), "CExamLogin_typed");
    const auto magentaIn = [&](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 36; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                n += c.red() > 200 && c.green() < 60 && c.blue() > 200;
            }
        return n;
    };
    EXPECT_GT(magentaIn(26, 56), 100);  // line 1
    EXPECT_EQ(magentaIn(56, 84), 0);    // the frame and the text still to come
    EXPECT_GT(magentaIn(84, 115), 100); // line 2
    EXPECT_EQ(magentaIn(115, 140), 0);
}

} // namespace

// A formal exam entered again goes on from its sitting: the same questions
// and key, the saved answers, no new draw; one whose end passed in
// between is handed in with the saved answers and leaves the list.
TEST_F(CExamLoginTest, EnteringAgainResumesTheSittingOrHandsItInAfterTheEnd)
{
    seedMidtermBank();
    auto s = open();
    identify(*s, kPerson);
    click(*s, CExamLogin::Query);
    pick(*s, 0);
    click(*s, CExamLogin::Enter);
    const std::optional<Nav::Request> first = Nav::takeRequest();
    ASSERT_TRUE(first);
    const auto *h1 = std::any_cast<ExamHandover>(&first->handover);
    ASSERT_TRUE(h1);
    EXPECT_GT(h1->sittingId, 0);
    EXPECT_FALSE(h1->resumed);
    outsiderExec(Db::Personnel, "update exam set 答题='A' where 编号=1");
    const QList<QStringList> drawn = outsiderRows(Db::Personnel, "select * from exam order by 编号");
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    ASSERT_EQ(Sitting::saveAnswer(conn, h1->sittingId, 1, QStringLiteral("A"), 5000), Sitting::Write::Done);
    conn.close();
    outsiderExec(Db::Personnel, "drop table exam");

    s->show(); // the examinee screen again, after the station's restart
    pick(*s, 0);
    click(*s, CExamLogin::Enter);
    const std::optional<Nav::Request> again = Nav::takeRequest();
    ASSERT_TRUE(again);
    const auto *h2 = std::any_cast<ExamHandover>(&again->handover);
    ASSERT_TRUE(h2);
    EXPECT_TRUE(h2->resumed);
    EXPECT_EQ(h2->sittingId, h1->sittingId);
    EXPECT_EQ(h2->answerKey, h1->answerKey);
    EXPECT_EQ(outsiderRows(Db::Personnel, "select * from exam order by 编号"), drawn);

    // The end passes while the examinee is away.
    Clock::setFixed(QDateTime(QDate(2026, 4, 1), QTime(9, 0), Qt::LocalTime));
    s->show();
    click(*s, CExamLogin::Query);
    pick(*s, 0);
    // The saved "A" is wrong (the bank's answers are "答<stem>").
    expectBox(QStringLiteral("考试已于您中断期间结束，已按您保存的答案交卷。\n\n您这次参加“期中考试”的正式考试得分为：0分。"),
              Caption::Tip);
    click(*s, CExamLogin::Enter);
    expectAllShown();
    EXPECT_FALSE(requestedScreen());
    EXPECT_EQ(outsiderRows(Db::Personnel, "select 成绩,考试用时 from ExamRegister where 考试号='1'"),
              (QList<QStringList>{{"0", QString::number(90 * 60 - 5000)}}));
    EXPECT_FALSE(rows(*s).join(' ').contains(QStringLiteral("期中考试")));
}
