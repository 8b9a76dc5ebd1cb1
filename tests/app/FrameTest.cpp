#include "admin/CAdmin.h"
#include "admin/CLogin.h"
#include "app/CMyMsgDlg.h"
#include "app/CReadEdit.h"
#include "app/Navigation.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/program/ScreenLoop.h"
#include "results/CCheckScore.h"
#include "store/CADOConn.h"
#include "support/VornTest.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class FrameTest : public VornTest
{
protected:
    // Starts the real program on the working directory, offscreen, with the
    // per-user lock kept in runtimeDir.
    void startCopy(QProcess &copy, const QString &runtimeDir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtimeDir);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        copy.setProcessEnvironment(env);
        copy.setWorkingDirectory(workDir());
        copy.start(VORN_BIN_DIR "/vorn", {});
    }
};

TEST_F(FrameTest, TimedMessageCountsDownToZeroAndCloses)
{
    CMyMsgDlg dialog("考试时间到！", Caption::Tip, 5);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Vorn提示");
    EXPECT_EQ(dialog.text(CMyMsgDlg::Text), "考试时间到！");
    EXPECT_EQ(dialog.text(CMyMsgDlg::Countdown), "") << "empty until the first tick";
    dialog.tick();
    saveShot(&dialog, "CMyMsgDlg");
    EXPECT_TRUE(dialog.timer1Active());
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(dialog.isVisible());
        dialog.tick();
        seen << dialog.text(CMyMsgDlg::Countdown);
    }
    EXPECT_EQ(seen, (QStringList{"03", "02", "01", "00"}));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.timer1Active());
}

TEST_F(FrameTest, TimedMessageClosesAtOnceOnItsButton)
{
    MessageBox::setHandler({}); // the real dialog, driven through the event loop
    bool clicked = false;
    QTimer::singleShot(50, [&] {
        auto *dialog = qobject_cast<CMyMsgDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->tick();
        EXPECT_EQ(dialog->text(CMyMsgDlg::Countdown), "05");
        QTest::mouseClick(dialog->control<QPushButton>(CMyMsgDlg::Ok), Qt::LeftButton);
        EXPECT_FALSE(dialog->timer1Active());
        clicked = true;
    });
    showTimedMessage(nullptr, "数据库已被篡改,将退出程序！", Caption::Tip, 6);
    EXPECT_TRUE(clicked);
}

// A message longer than the template's box (an exam's name in it) shows
// every line: the countdown and the button move down, the window grows.
TEST_F(FrameTest, TimedMessageShowsEveryLineOfALongMessage)
{
    const QString text = QStringLiteral("“二〇二六年度全体员工安全生产知识考试”找不到相应的试卷,将退出程序！");
    CMyMsgDlg dialog(text, Caption::Tip, 6);
    dialog.show();
    saveShot(&dialog, "CMyMsgDlg-long");
    auto *label = dialog.control<QLabel>(CMyMsgDlg::Text);
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_LE(label->geometry().bottom(), dialog.control(CMyMsgDlg::Countdown)->y());
    EXPECT_LE(dialog.control(CMyMsgDlg::Ok)->geometry().bottom(), dialog.height());

    CMyMsgDlg shortOne(QStringLiteral("考试时间到！"), Caption::Tip, 6);
    EXPECT_EQ(shortOne.size(), shortOne.dialogTemplate().pixelSize());
}

TEST_F(FrameTest, StartScreenDiscardsEnterEscAndSpace)
{
    CLogin login;
    login.show();
    auto *user = login.control<QLineEdit>(CLogin::ManagerName);
    ASSERT_NE(user, nullptr);
    QTest::keyClicks(user, "ad min");
    EXPECT_EQ(user->text(), "admin");
    QTest::keyClick(user, Qt::Key_Escape);
    QTest::keyClick(user, Qt::Key_Return);
    QTest::keyClick(user, Qt::Key_Enter);
    EXPECT_TRUE(login.isVisible()) << "Esc never closes the screen";
    // Space on a focused button would press it; here it must not.
    auto *exit = login.control<QPushButton>(CLogin::Exit);
    exit->setFocus();
    QTest::keyClick(exit, Qt::Key_Space);
    EXPECT_FALSE(exited());
    QTest::mouseClick(exit, Qt::LeftButton);
    EXPECT_TRUE(exited());
}

TEST_F(FrameTest, StartScreenLaysOutItsPicturesAndButtons)
{
    CLogin login;
    login.show();
    EXPECT_EQ(login.windowTitle(), "Lumet—登录Login");
    EXPECT_EQ(login.size(), QSize(792, 590)) << "396 x 295 dialog units of 宋体 12";
    for (int id : {CLogin::ManagerSignIn, CLogin::AdminSignIn, CLogin::TakeExam, CLogin::Exit}) {
        auto *b = login.control<QPushButton>(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_TRUE(b->text().isEmpty());
        EXPECT_FALSE(b->icon().isNull()) << "picture face of button " << id;
    }
    EXPECT_FALSE(login.control(CLogin::HiddenButton)->isVisible());
    for (int id : {CLogin::ManagerName, CLogin::ManagerPassword, CLogin::AdminName, CLogin::AdminPassword}) {
        auto *e = login.control<QLineEdit>(id);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->echoMode(), QLineEdit::Normal) << "passwords are shown in clear";
    }
    saveShot(&login, "CLogin");
    const QImage shot = login.grab().toImage();
    const QImage background(":/res/pictures/bmp161.bmp");
    ASSERT_FALSE(background.isNull());
    EXPECT_EQ(shot.pixel(5, 5), background.pixel(5, 5)) << "the background fills the screen";
    EXPECT_NE(shot.pixel(430, 470), background.pixel(430, 470)) << "the emblem is drawn at 380,420";
}

namespace {

// Runs steps one after another, each on the modal screen shown at that time.
void drive(QList<std::function<void(QWidget *)>> steps)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, steps]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (steps.isEmpty()) {
            timer->deleteLater();
            return;
        }
        auto step = steps.takeFirst();
        step(modal);
    });
    timer->start();
}

} // namespace

TEST_F(FrameTest, ScreenLoopFollowsSwitchesAndEndsWhenAScreenIsClosedByItsFrame)
{
    QStringList titles;
    drive({
        [&](QWidget *w) {
            titles << w->windowTitle();
            Nav::switchScreen(static_cast<ScreenBase *>(w), ScreenId::CheckScore);
        },
        [&](QWidget *w) {
            titles << w->windowTitle();
            auto *screen = qobject_cast<ScreenBase *>(w);
            ASSERT_NE(screen, nullptr);
            // The score query's "返回" leads to the exam administrator's screen.
            QTest::mouseClick(screen->control<QPushButton>(CCheckScore::Back), Qt::LeftButton);
        },
        [&](QWidget *w) {
            titles << w->windowTitle();
            w->close(); // the frame's close box
        },
    });
    EXPECT_EQ(ScreenLoop::run(ScreenId::Login), 0);
    EXPECT_EQ(titles, (QStringList{"Lumet—登录Login", "Lumet—成绩查询", "Lumet—考试管理员管理"}));
    EXPECT_FALSE(exited()) << "closing by the frame ends the loop, not through exitProgram";
}

TEST_F(FrameTest, NavigationTableNamesEveryExitOnce)
{
    QSet<QPair<QString, int>> seen;
    for (const Nav::Route &r : Nav::routes()) {
        EXPECT_FALSE(seen.contains({r.screenClass, r.control})) << r.screenClass.toStdString() << r.control;
        seen.insert({r.screenClass, r.control});
    }
    EXPECT_EQ(Nav::routeOf("CAdmin", CAdmin::QuestionBank)->target, ScreenId::ExamPaper);
    EXPECT_FALSE(Nav::routeOf("CLogin", CLogin::Exit)->target.has_value()) << "退出 is the exit";
}

TEST_F(FrameTest, ReadEditHidesWhenThePointerLeaves)
{
    QWidget owner;
    owner.resize(300, 200);
    owner.show();
    CReadEdit edit(&owner);
    edit.popUp("第一行\n第二行", QRect(10, 10, 200, 80));
    EXPECT_TRUE(edit.isVisible());
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_EQ(edit.toPlainText(), "第一行\n第二行");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&edit, &leave);
    EXPECT_FALSE(edit.isVisible());
}

TEST_F(FrameTest, ASecondCopyEndsSilentlyWithoutAWindow)
{
    QTemporaryDir runtime;
    QProcess first;
    startCopy(first, runtime.path());
    ASSERT_TRUE(first.waitForStarted());
    QTest::qWait(1500);
    ASSERT_EQ(first.state(), QProcess::Running) << "the first copy shows its start screen and waits";

    QProcess second;
    startCopy(second, runtime.path());
    ASSERT_TRUE(second.waitForFinished(5000)) << "the second copy must end by itself";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(second.readAllStandardError().isEmpty());

    first.kill();
    first.waitForFinished();
}

// Copies whose runtime folders differ (another session, another user) still
// share the working directory: the second one says why it stops. Once the
// first is gone, even killed, the folder is free again.
TEST_F(FrameTest, ASecondCopyOnTheSameWorkingDirectorySaysWhyItStops)
{
    QTemporaryDir runtime;
    QProcess first;
    startCopy(first, runtime.path());
    ASSERT_TRUE(first.waitForStarted());
    for (int i = 0; i < 100 && !QFile::exists(path(SingleInstance::WorkDirLockName)); ++i)
        QTest::qWait(50);
    ASSERT_EQ(first.state(), QProcess::Running);

    expectBox(QStringLiteral("另一份Lumet（进程号 %1）正在使用工作目录 %2。\n"
                             "两份程序同时使用同一组数据库会互相破坏考试数据，本程序将退出。")
                  .arg(first.processId())
                  .arg(workDir()),
              Caption::Tip, MsgIcon::Warning);
    EXPECT_FALSE(Startup::prepareWorkingDirectory());
    expectAllShown();

    first.kill();
    first.waitForFinished();
    EXPECT_TRUE(Startup::prepareWorkingDirectory());
    SingleInstance::release();
}

// Both files are opened before the start screen: a missing one is explained
// and the program ends, rather than at the first command that needs it.
TEST_F(FrameTest, StartUpEndsWhenADatabaseFileCannotBeOpened)
{
    CADOConn::releaseCachedHandles();
    ASSERT_TRUE(QFile::remove(path("personnel.mdb")));
    expectBox("程序无法启动：数据库文件 personnel.mdb 不能使用。\n"
              "无法打开数据库文件：工作目录中没有这个文件，或没有访问它的权限。\n"
              "（数据库引擎的原文：unable to open database file）",
              Caption::Default, MsgIcon::Warning);
    EXPECT_FALSE(Startup::prepareWorkingDirectory());
    expectAllShown();
}
