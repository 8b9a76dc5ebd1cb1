#pragma once
// Driving screens as a user does: typing into a control, and answering a
// menu or pop-up that a command opens modally.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

// Types text as keys; characters without a key of their own arrive as text,
// the way an input method hands them over.
inline void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Runs f once a visible top-level widget of type T shows up (a menu or a
// pop-up opened modally by the command under test).
template<typename T>
void whenShown(std::function<void(T *)> f)
{
    auto *timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, f] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *t = qobject_cast<T *>(w); t && t->isVisible()) {
                timer->stop();
                timer->deleteLater();
                f(t);
                return;
            }
        }
        if (++*ticks > 400) {
            ADD_FAILURE() << "expected window never shown";
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(5);
}

// Clicks the window at a pixel (window coordinates), on whatever the window
// shows there, as the user's click lands: a widget lying over the one meant
// takes the click.
inline void clickWindowAt(QWidget *window, const QPoint &at)
{
    QWidget *target = window->childAt(at);
    if (!target)
        target = window;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, at));
}

// The same for a point of a widget of that window.
inline void clickThroughWindow(QWidget *widget, const QPoint &at)
{
    clickWindowAt(widget->window(), widget->mapTo(widget->window(), at));
}
