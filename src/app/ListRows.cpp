#include "app/ListRows.h"

#include <QTableWidget>

namespace ListRows {

namespace {

QTableWidgetItem *centred(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

void put(QTableWidget *list, int row, const QStringList &texts, bool checkable)
{
    int column = 0;
    if (checkable) {
        auto *box = new QTableWidgetItem;
        box->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        box->setCheckState(Qt::Unchecked);
        list->setItem(row, column++, box);
    }
    for (const QString &t : texts) {
        if (column >= list->columnCount())
            break;
        list->setItem(row, column++, centred(t));
    }
}

} // namespace

void append(QTableWidget *list, const QStringList &texts, bool checkable)
{
    const bool blocked = list->blockSignals(true);
    const int row = list->rowCount();
    list->insertRow(row);
    put(list, row, texts, checkable);
    list->blockSignals(blocked);
}

void fill(QTableWidget *list, const QList<QStringList> &rows, bool checkable)
{
    const bool blocked = list->blockSignals(true);
    list->setUpdatesEnabled(false);
    list->setRowCount(0);
    list->setRowCount(int(rows.size()));
    // The view learns of the new rows from setRowCount; one change signal per
    // cell would cost more than making the cells.
    const bool modelBlocked = list->model()->blockSignals(true);
    for (int r = 0; r < rows.size(); ++r)
        put(list, r, rows.at(r), checkable);
    list->model()->blockSignals(modelBlocked);
    list->setUpdatesEnabled(true);
    list->viewport()->update();
    list->blockSignals(blocked);
}

QString text(const QTableWidget *list, int row, int column)
{
    const QTableWidgetItem *item = list->item(row, column);
    return item ? item->text() : QString();
}

void setText(QTableWidget *list, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = list->item(row, column))
        item->setText(text);
    else
        list->setItem(row, column, centred(text));
}

bool isChecked(const QTableWidget *list, int row)
{
    const QTableWidgetItem *item = list->item(row, 0);
    return item && item->checkState() == Qt::Checked;
}

void setChecked(QTableWidget *list, int row, bool checked)
{
    if (QTableWidgetItem *item = list->item(row, 0))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void setAllChecked(QTableWidget *list, bool checked)
{
    for (int r = 0; r < list->rowCount(); ++r)
        setChecked(list, r, checked);
}

} // namespace ListRows
