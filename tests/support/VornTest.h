#pragma once
// The fixture of every test that touches the program: a fresh working
// directory prepared as vorn-setup prepares one, and the seams scripted.
//
// Messages: expect() queues the next message the program must show, with
// the answer to give; an unexpected message fails the test.
#include "app/MessageBox.h"
#include "app/Navigation.h"

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <optional>

#include <gtest/gtest.h>

struct ExpectedMessage
{
    ShownMessage message;
    MsgAnswer answer = MsgAnswer::Ok;
    bool checkIcon = true;
};

class QWidget;

class VornTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString workDir() const { return m_dir->path(); }
    QString path(const QString &name) const { return QDir(workDir()).filePath(name); }

    // A message box the program must show next.
    void expectBox(const QString &text, const QString &caption, MsgIcon icon = MsgIcon::None,
                   MsgButtons buttons = MsgButtons::Ok, MsgAnswer answer = MsgAnswer::Ok);
    // A box whose icon the test does not care about.
    void expectText(const QString &text, const QString &caption);
    void expectTimed(const QString &text, const QString &caption = Caption::Tip, int seconds = 6);
    // All expected messages shown?
    void expectAllShown();
    const QList<ShownMessage> &shown() const { return m_shown; }

    // Files the next file dialogs return (empty = cancelled).
    void answerFileDialog(const QString &path);

    bool exited() const { return m_exited; }
    std::optional<ScreenId> requestedScreen() { return Nav::takeRequestedScreen(); }

    // Plain SQL on a database file, as an outsider with the password would.
    void outsiderExec(const QString &file, const QString &sql, const QVariantList &params = {});
    QList<QStringList> outsiderRows(const QString &file, const QString &sql, const QVariantList &params = {});

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    std::deque<ExpectedMessage> m_expected;
    QList<ShownMessage> m_shown;
    std::deque<QString> m_fileAnswers;
    bool m_exited = false;
};

QString describe(const ShownMessage &m);

// Waits for a forked child and returns its wait status. A child still
// running after the limit is killed and the test fails: a fork of a process
// that has threads can block on a lock another thread held, and an endless
// wait would hang the whole test program.
int waitForChild(int pid, int limitSeconds = 120);

// Runs body in a child process without root's rights (root writes anywhere),
// so read-only folders and files mean what they say. True when body did.
bool asUnprivileged(const std::function<bool()> &body);

// With VORN_SHOTS=<folder> set, saves a picture of the widget there, so a
// person can look at each screen as rendered.
void saveShot(QWidget *widget, const QString &name);

// Readable QString values in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
