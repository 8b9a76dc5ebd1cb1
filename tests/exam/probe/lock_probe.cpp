// An X client for the keyboard lock test. Modes:
//   record  a window that reports every key it receives
//   exam    a lock made as the exam window makes it, and a text box standing
//           in for the exam window; "unlock" on stdin destroys the lock
// Each line it prints: "ready", "key <text or keysym>", "message <text>",
// "locked <0|1>", "unlocked".
#include "app/MessageBox.h"
#include "exam/KeyboardLock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class Recorder : public QLineEdit
{
protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        say(QStringLiteral("key ") + (e->text().trimmed().isEmpty() ? QString::number(e->nativeVirtualKey(), 16) : e->text()));
        QLineEdit::keyPressEvent(e);
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    MessageBox::setHandler([](const ShownMessage &m) {
        say(QStringLiteral("message ") + m.text);
        return MsgAnswer::Ok;
    });

    std::unique_ptr<ExamKeyboardLock> lock;
    Recorder box;
    box.setWindowTitle(mode);
    if (mode == QLatin1String("exam")) {
        lock = std::make_unique<ExamKeyboardLock>();
        say(QStringLiteral("locked %1").arg(lock->installed() ? 1 : 0));
        box.setGeometry(400, 300, 200, 40);
    } else {
        box.setGeometry(0, 0, 300, 200);
    }
    box.show();
    box.activateWindow();
    box.setFocus();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        const ssize_t n = ::read(STDIN_FILENO, line, sizeof line - 1);
        const QByteArray command = QByteArray(line, n > 0 ? int(n) : 0).trimmed();
        if (n <= 0 || command == "quit")
            app.quit();
        else if (command == "unlock") {
            lock.reset();
            say(QStringLiteral("unlocked"));
        }
    });
    QMetaObject::invokeMethod(&app, [] { say(QStringLiteral("ready")); }, Qt::QueuedConnection);
    return app.exec();
}
