#pragma once
// Driving screens as a user does: typing into a control, clicking it,
// choosing in its lists, and answering a menu or pop-up that a command opens
// modally. Controls are named by their screen's enum (CLogin::AdminSignIn).
#include "app/ScreenBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
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

// Types into a control of the screen; a one-line box is emptied first.
inline void typeInto(ScreenBase &s, int id, const QString &text)
{
    QWidget *box = s.control(id);
    ASSERT_NE(box, nullptr) << id;
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->clear();
    box->setFocus();
    typeText(box, text);
}

// Clicks a visible button of the screen; a radio button or check box is
// clicked on its indicator, the way a user ticks it.
inline void click(ScreenBase &s, int id)
{
    auto *button = s.control<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isVisible()) << id;
    const bool option = qobject_cast<QRadioButton *>(button) || qobject_cast<QCheckBox *>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, option ? QPoint(8, button->height() / 2) : QPoint());
}

// Picks the item with that text in a drop-down list as a user does; false
// when the list does not offer it.
inline bool choose(ScreenBase &s, int id, const QString &item)
{
    auto *combo = s.control<QComboBox>(id);
    const int i = combo ? combo->findText(item) : -1;
    if (i < 0)
        return false;
    combo->setCurrentIndex(i);
    return true;
}

// The items a drop-down list offers.
inline QStringList items(ScreenBase &s, int id)
{
    QStringList texts;
    auto *combo = s.control<QComboBox>(id);
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// The texts of a list's rows, columns joined by spaces (from column first),
// as the list shows them, whether it holds items or sits over a model.
inline QStringList rowsOf(ScreenBase &s, int id, int first = 0, int last = -1)
{
    const QAbstractItemModel *model = s.control<QTableView>(id)->model();
    QStringList rows;
    if (last < 0)
        last = model->columnCount() - 1;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = first; c <= last; ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(QLatin1Char(' '));
    }
    return rows;
}

inline int rowCountOf(ScreenBase &s, int id)
{
    return s.control<QTableView>(id)->model()->rowCount();
}

// A double-click as the mouse makes it: a click, then the double-click.
inline void doubleClick(QAbstractItemView *list, const QPoint &at)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Ticks or unticks a row's check box with the mouse.
inline void tick(ScreenBase &s, int id, int row)
{
    auto *list = s.control<QTableView>(id);
    const QModelIndex box = list->model()->index(row, 0);
    ASSERT_TRUE(box.isValid());
    list->scrollTo(box);
    const QRect r = list->visualRect(box);
    // The check box sits at the left of the cell.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 10, r.center().y()));
}

inline bool ticked(ScreenBase &s, int id, int row)
{
    const QModelIndex box = s.control<QTableView>(id)->model()->index(row, 0);
    return box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
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
