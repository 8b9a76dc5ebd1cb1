#include "exam/KeyboardLock.h"

#include "support/VornTest.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>


namespace {

using KeyboardLock::LockKey;

TEST(KeyboardLockTable, DiscardsExactlyTheListedCombinations)
{
    struct Row
    {
        LockKey key;
        bool ctrl, alt, discarded;
    };
    const Row rows[] = {
        {LockKey::LeftSuper, false, false, true},    {LockKey::RightSuper, false, false, true},
        {LockKey::LeftSuper, true, true, true},      {LockKey::Escape, false, false, false},
        {LockKey::Escape, true, false, true},        {LockKey::Escape, false, true, true},
        {LockKey::Tab, false, false, false},         {LockKey::Tab, true, false, false},
        {LockKey::Tab, false, true, true},           {LockKey::KeyLeftOfOne, false, false, false},
        {LockKey::KeyLeftOfOne, false, true, true},  {LockKey::Delete, true, false, false},
        {LockKey::Delete, false, true, false},       {LockKey::Delete, true, true, true},
        {LockKey::KeypadDecimal, true, false, false}, {LockKey::KeypadDecimal, true, true, true},
        {LockKey::Other, true, true, false},
    };
    for (const Row &r : rows)
        EXPECT_EQ(KeyboardLock::discards(r.key, r.ctrl, r.alt), r.discarded)
            << int(r.key) << " ctrl=" << r.ctrl << " alt=" << r.alt;

    // Key events as the X server delivers them (key symbol) and as Qt names them.
    const auto event = [](int key, Qt::KeyboardModifiers mods, quint32 keysym) {
        return QKeyEvent(QEvent::KeyPress, key, mods, 0, keysym, 0);
    };
    EXPECT_TRUE(KeyboardLock::discards(event(Qt::Key_Super_L, Qt::NoModifier, 0xffeb)));
    EXPECT_TRUE(KeyboardLock::discards(event(Qt::Key_Tab, Qt::AltModifier, 0xff09)));
    EXPECT_FALSE(KeyboardLock::discards(event(Qt::Key_Tab, Qt::NoModifier, 0xff09)));
    EXPECT_FALSE(KeyboardLock::discards(event(Qt::Key_F, Qt::AltModifier, 0x66)));
    EXPECT_TRUE(KeyboardLock::discards(event(Qt::Key_QuoteLeft, Qt::AltModifier, 0x60)));
    EXPECT_TRUE(KeyboardLock::discards(event(Qt::Key_Escape, Qt::ControlModifier, 0)));
    EXPECT_FALSE(KeyboardLock::discards(event(Qt::Key_Delete, Qt::ControlModifier, 0xffff)));
    EXPECT_TRUE(KeyboardLock::discards(event(Qt::Key_Delete, Qt::ControlModifier | Qt::AltModifier, 0xffff)));
    EXPECT_TRUE(KeyboardLock::discards(
        event(Qt::Key_Period, Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier, 0xffae)));
}

class KeyboardLockLifecycle : public VornTest
{
protected:
    static inline int grabs = 0, releases = 0;
    static inline bool refuse = false;
    static bool fakeGrab(bool on)
    {
        if (on && refuse)
            return false;
        ++(on ? grabs : releases);
        return true;
    }
    void SetUp() override
    {
        VornTest::SetUp();
        grabs = releases = 0;
        refuse = false;
        KeyboardLock::setGrabber(&KeyboardLockLifecycle::fakeGrab);
    }
    void TearDown() override
    {
        KeyboardLock::setGrabber(nullptr);
        VornTest::TearDown();
    }
};

TEST_F(KeyboardLockLifecycle, HeldWhileAnyExamWindowObjectLives)
{
    auto first = std::make_unique<ExamKeyboardLock>();
    EXPECT_TRUE(first->installed());
    auto second = std::make_unique<ExamKeyboardLock>();
    EXPECT_EQ(grabs, 1);
    second.reset();
    EXPECT_TRUE(KeyboardLock::isHeld()); // the first window's lock stays in force
    first.reset();
    EXPECT_FALSE(KeyboardLock::isHeld());
    EXPECT_EQ(releases, 1);
}

TEST_F(KeyboardLockLifecycle, ARefusedGrabIsReportedOnceAndTheExamGoesOn)
{
    refuse = true;
    expectBox("安装钩子失败!", Caption::Default);
    ExamKeyboardLock lock;
    expectAllShown();
    EXPECT_FALSE(lock.installed());
    EXPECT_FALSE(KeyboardLock::isHeld());
}

// A real X server (Xvfb), a second X client that records its keys, and keys
// sent with xdotool.
class KeyboardLockOnX : public ::testing::Test
{
protected:
    void SetUp() override
    {
        xvfb = QStandardPaths::findExecutable("Xvfb");
        xdotool = QStandardPaths::findExecutable("xdotool");
        if (xvfb.isEmpty() || xdotool.isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed: the lock was not tried on a real X server";
        // The server picks a free display and writes its number to stdout.
        server.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        ASSERT_TRUE(server.waitForStarted());
        QDeadlineTimer up(10000);
        while (!up.hasExpired() && !server.canReadLine())
            server.waitForReadyRead(100);
        const QByteArray number = server.readLine().trimmed();
        ASSERT_FALSE(number.isEmpty()) << "Xvfb did not start";
        display = QStringLiteral(":") + QString::fromLatin1(number);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
    }
    void TearDown() override
    {
        for (QProcess *p : {&recorder, &exam, &hog, &intruder}) {
            p->kill();
            p->waitForFinished();
        }
        server.terminate();
        server.waitForFinished();
    }

    void startProbe(QProcess &p, const QString &mode)
    {
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VORN_BIN_DIR "/vorn-lock-probe"), {mode});
        ASSERT_TRUE(p.waitForStarted());
        ASSERT_TRUE(waitFor(p, "ready")) << output(p).toStdString();
    }
    QString output(QProcess &p)
    {
        seen[&p] += QString::fromUtf8(p.readAllStandardOutput());
        return seen[&p];
    }
    bool waitFor(QProcess &p, const QString &line, int ms = 5000)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            if (output(p).split('\n').contains(line))
                return true;
            p.waitForReadyRead(50);
        }
        return false;
    }
    QString xdo(const QStringList &args)
    {
        QProcess x;
        x.setProcessEnvironment(env);
        x.start(xdotool, args);
        x.waitForFinished();
        return QString::fromLatin1(x.readAllStandardOutput()).trimmed();
    }
    // Moves the pointer as far towards a point as it may go; where it is
    // then and the top-level window under it.
    struct Pointer
    {
        QPoint at;
        QString window;
    };
    Pointer pointTo(int x, int y)
    {
        QHash<QString, QString> v;
        for (const QString &line : xdo({"mousemove", QString::number(x), QString::number(y), "getmouselocation", "--shell"})
                                       .split('\n'))
            v[line.section('=', 0, 0)] = line.section('=', 1);
        return {QPoint(v.value("X").toInt(), v.value("Y").toInt()), v.value("WINDOW")};
    }
    QString windowNamed(const QString &name) { return xdo({"search", "--name", "^" + name + "$"}).section('\n', 0, 0); }
    // Gives the X input focus to the recorder's window, as a user's click would.
    void focusRecorder() { xdo({"search", "--name", "^record$", "windowfocus", "--sync"}); }

    QString xvfb, xdotool, display;
    QProcessEnvironment env;
    QProcess server, recorder, exam, hog, intruder;
    QHash<QProcess *, QString> seen;
};

TEST_F(KeyboardLockOnX, NoOtherClientReceivesKeysWhileTheExamWindowObjectLives)
{
    startProbe(recorder, "record");
    focusRecorder();
    xdo({"key", "a"});
    ASSERT_TRUE(waitFor(recorder, "key a")) << "the recorder must receive keys before the lock";

    startProbe(exam, "exam");
    ASSERT_TRUE(output(exam).contains("locked 1")) << output(exam).toStdString();
    focusRecorder();
    for (const char *keys : {"super", "Super_R", "alt+Tab", "ctrl+Escape", "alt+Escape", "alt+grave", "b"})
        xdo({"key", keys});
    ASSERT_TRUE(waitFor(exam, "key b"));
    QThread::msleep(200);
    EXPECT_EQ(output(recorder), "ready\nkey a\n"); // nothing reached the other client
    const QString examKeys = output(exam);
    for (const char *keysym : {"key ffeb", "key ffec", "key ff09", "key ff1b", "key `"})
        EXPECT_FALSE(examKeys.contains(keysym)) << keysym << " reached the exam window:\n" << examKeys.toStdString();

    exam.write("unlock\n");
    ASSERT_TRUE(waitFor(exam, "unlocked"));
    focusRecorder();
    xdo({"key", "c"});
    EXPECT_TRUE(waitFor(recorder, "key c")) << "keys must reach other programs again once the lock is gone";
}

TEST_F(KeyboardLockOnX, AGrabHeldByAnotherClientIsReportedAndTheWindowStillTakesKeys)
{
    startProbe(hog, "exam"); // holds the keyboard first
    ASSERT_TRUE(output(hog).contains("locked 1"));
    startProbe(exam, "exam");
    const QString out = output(exam);
    EXPECT_TRUE(out.contains("locked 0")) << out.toStdString();
    EXPECT_TRUE(out.contains("message 安装钩子失败!")) << out.toStdString();

    // The end of the holding program ends its grab.
    hog.kill();
    hog.waitForFinished();
    xdo({"search", "--name", "^exam$", "windowfocus", "--sync"});
    xdo({"key", "d"});
    EXPECT_TRUE(waitFor(exam, "key d"));
}

// Another program's window mapped over the exam window goes under it, and
// the pointer stays inside the exam window, where the program's own windows
// take their clicks; all of it ends with the lock.
TEST_F(KeyboardLockOnX, TheExamWindowStaysOnTopAndKeepsThePointerUntilTheLockEnds)
{
    startProbe(exam, "exam");
    ASSERT_TRUE(output(exam).contains("locked 1")) << output(exam).toStdString();
    const QRect examWindow(400, 300, 200, 40);
    // The pointer cannot leave it.
    QDeadlineTimer confined(5000);
    while (!confined.hasExpired() && !examWindow.contains(pointTo(10, 10).at))
        QThread::msleep(50);
    EXPECT_TRUE(examWindow.contains(pointTo(10, 10).at)) << "the pointer left the exam window";

    startProbe(intruder, "intrude"); // over the exam window's place
    const QString examId = windowNamed("exam");
    QDeadlineTimer raised(5000);
    while (!raised.hasExpired() && pointTo(450, 320).window != examId)
        QThread::msleep(50);
    EXPECT_EQ(pointTo(450, 320).window, examId) << "another program's window stays over the exam window";

    // A click aimed at the other window lands in the exam window; the
    // program's own small window over it takes its click.
    pointTo(360, 260);
    xdo({"click", "1"});
    EXPECT_TRUE(waitFor(exam, "click exam"));
    pointTo(560, 320);
    xdo({"click", "1"});
    EXPECT_TRUE(waitFor(exam, "click picture"));
    EXPECT_FALSE(output(intruder).contains("click")) << output(intruder).toStdString();

    exam.write("unlock\n");
    ASSERT_TRUE(waitFor(exam, "unlocked"));
    EXPECT_EQ(pointTo(10, 10).at, QPoint(10, 10)) << "the pointer must move freely once the lock is gone";
    pointTo(360, 260);
    xdo({"click", "1"});
    EXPECT_TRUE(waitFor(intruder, "click intrude")) << "clicks must reach other programs again";
}

} // namespace
