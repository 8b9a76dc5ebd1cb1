#pragma once
// Rows of the short report lists, held as items: centred texts, and in the
// lists with check boxes an empty first column holding the box. A list that
// can run long sits over a ReportModel instead.
#include <QStringList>

class QTableWidget;

namespace ListRows {

// Appends a row; with checkable, column 0 is the check box and the texts
// start in column 1.
void append(QTableWidget *list, const QStringList &texts, bool checkable = false);
void fill(QTableWidget *list, const QList<QStringList> &rows, bool checkable = false);

QString text(const QTableWidget *list, int row, int column);
void setText(QTableWidget *list, int row, int column, const QString &text);

bool isChecked(const QTableWidget *list, int row);
void setChecked(QTableWidget *list, int row, bool checked);
void setAllChecked(QTableWidget *list, bool checked);

} // namespace ListRows
