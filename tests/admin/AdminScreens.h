#pragma once
// Helpers of the administration screen tests: typing, clicking, choosing in
// drop-down lists, answering a modal pop-up, and the settings file.
#include "support/Driving.h"
#include "app/ScreenBase.h"
#include "store/SettingsFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

inline QString adminFixture(const QString &name)
{
    return QDir(QStringLiteral(VORN_SOURCE_DIR "/tests/admin/fixtures")).filePath(name);
}

inline void typeInto(QWidget *widget, const QString &text)
{
    typeText(widget, text);
}

inline void typeInto(ScreenBase &s, int id, const QString &text)
{
    auto *edit = s.control<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    edit->clear();
    typeInto(edit, text);
}

inline void click(ScreenBase &s, int id)
{
    auto *button = s.control<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isVisible()) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Picks the item with that text as a user does; false when it is not offered.
inline bool choose(ScreenBase &s, int id, const QString &item)
{
    auto *combo = s.control<QComboBox>(id);
    const int i = combo ? combo->findText(item) : -1;
    if (i < 0)
        return false;
    combo->setCurrentIndex(i);
    return true;
}

inline QStringList items(ScreenBase &s, int id)
{
    QStringList texts;
    auto *combo = s.control<QComboBox>(id);
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// The texts of a list's rows, columns joined by spaces (from column first).
inline QStringList rowsOf(ScreenBase &s, int id, int first = 0, int last = -1)
{
    auto *list = s.control<QTableWidget>(id);
    QStringList rows;
    if (last < 0)
        last = list->columnCount() - 1;
    for (int r = 0; r < list->rowCount(); ++r) {
        QStringList cells;
        for (int c = first; c <= last; ++c)
            cells << (list->item(r, c) ? list->item(r, c)->text() : QString());
        rows << cells.join(QLatin1Char(' '));
    }
    return rows;
}

// A double-click as the mouse makes it: a click, then the double-click.
inline void doubleClick(QTableWidget *list, const QPoint &at)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Ticks or unticks a row's check box with the mouse.
inline void tick(ScreenBase &s, int id, int row)
{
    auto *list = s.control<QTableWidget>(id);
    QTableWidgetItem *item = list->item(row, 0);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    QRect r = list->visualItemRect(item);
    // The check box sits at the left of the cell.
    const QPoint at(r.left() + 10, r.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

inline bool ticked(ScreenBase &s, int id, int row)
{
    QTableWidgetItem *item = s.control<QTableWidget>(id)->item(row, 0);
    return item && item->checkState() == Qt::Checked;
}

// Three departments with their posts in vornconf.ini.
inline void writeDepartments()
{
    SettingsFile().writeDepartmentTree({{QStringLiteral("财务部"), {QStringLiteral("会计"), QStringLiteral("出纳")}},
                                        {QStringLiteral("人事部"), {QStringLiteral("主管"), QStringLiteral("专员")}},
                                        {QStringLiteral("技术部"), {QStringLiteral("工程师"), QStringLiteral("主管")}}});
}
