// An X client for the keyboard lock test. Modes:
//   record  a window that reports every key and click it receives
//   intrude the same, mapped later over the exam window's place
//   exam    a lock made as the exam window makes it, a text box standing in
//           for the exam window that the lock holds, and a small window of
//           its own over it standing in for the picture window; "unlock" on
//           stdin destroys the lock
// Each line it prints: "ready", "key <text or keysym>", "click <window>",
// "message <text>", "locked <0|1>", "unlocked".
#include "app/MessageBox.h"
#include "exam/KeyboardLock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
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
    void mousePressEvent(QMouseEvent *e) override
    {
        say(QStringLiteral("click ") + windowTitle());
        QLineEdit::mousePressEvent(e);
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
    Recorder picture;
    picture.setWindowTitle(QStringLiteral("picture"));
    if (mode == QLatin1String("exam")) {
        lock = std::make_unique<ExamKeyboardLock>();
        say(QStringLiteral("locked %1").arg(lock->installed() ? 1 : 0));
        box.setGeometry(400, 300, 200, 40);
        lock->holdWindow(&box);
    } else if (mode == QLatin1String("intrude")) {
        box.setGeometry(350, 250, 300, 200);
    } else {
        box.setGeometry(0, 0, 300, 200);
    }
    box.show();
    box.activateWindow();
    box.setFocus();
    if (mode == QLatin1String("exam")) {
        picture.setGeometry(540, 305, 50, 30);
        picture.show();
    }

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
