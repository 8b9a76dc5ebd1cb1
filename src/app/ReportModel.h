#pragma once
// The rows of a report list that can run to a hundred thousand: the screen
// keeps its records, and the texts of a row are made only when the view asks
// for them, that is for the rows on screen. A check box is one flag per row.
// The dialog template puts one under every list marked "model".
#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <vector>

class QAbstractItemView;

class ReportModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The texts of a row, from the first column after the check box (as
    // ListRows takes them); a missing text leaves its cell empty.
    using RowTexts = std::function<QStringList(int row)>;

    ReportModel(const QStringList &headers, QObject *parent);

    // The model of a list built over one; null for any other list.
    static ReportModel *of(const QAbstractItemView *list);

    // Shows that many rows, every box clear; texts is kept and asked for the
    // rows painted or read.
    void show(int rows, RowTexts texts, bool checkable = false);
    // The tip of a column's cells, asked for like the texts; it stays over
    // every later show.
    void setToolTips(int column, std::function<QString(int row)> tip);
    void clear();
    // Adds rows at the end, their boxes clear; add puts the screen's records
    // of them in meanwhile.
    void append(int rows, const std::function<void()> &add);
    // Removes one row; drop takes the screen's record of it out meanwhile, so
    // the rows after it are asked for by their new positions.
    void removeRow(int row, const std::function<void()> &drop);

    int count() const { return m_rows; }
    QString text(int row, int column) const;

    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const QStringList &textsOf(int row) const;

    QStringList m_headers;
    int m_rows = 0;
    bool m_checkable = false;
    RowTexts m_texts;
    int m_tipColumn = -1;
    std::function<QString(int row)> m_tip;
    std::vector<bool> m_checked;
    // A row is painted cell by cell: its texts are made once for all of them.
    mutable int m_cachedRow = -1;
    mutable QStringList m_cached;
};
