#include "app/ReportModel.h"

#include <QAbstractItemView>

ReportModel::ReportModel(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent)
    , m_headers(headers)
{
}

ReportModel *ReportModel::of(const QAbstractItemView *list)
{
    return list ? qobject_cast<ReportModel *>(list->model()) : nullptr;
}

void ReportModel::show(int rows, RowTexts texts, bool checkable)
{
    beginResetModel();
    m_rows = rows;
    m_texts = std::move(texts);
    m_checkable = checkable;
    m_checked.assign(size_t(rows), false);
    m_cachedRow = -1;
    m_cached.clear();
    endResetModel();
}

void ReportModel::setToolTips(int column, std::function<QString(int row)> tip)
{
    m_tipColumn = column;
    m_tip = std::move(tip);
}

void ReportModel::clear()
{
    show(0, {}, m_checkable);
}

void ReportModel::append(int rows, const std::function<void()> &add)
{
    if (rows <= 0)
        return;
    beginInsertRows({}, m_rows, m_rows + rows - 1);
    add();
    m_rows += rows;
    m_checked.resize(size_t(m_rows), false);
    m_cachedRow = -1;
    endInsertRows();
}

void ReportModel::removeRow(int row, const std::function<void()> &drop)
{
    if (row < 0 || row >= m_rows)
        return;
    beginRemoveRows({}, row, row);
    drop();
    --m_rows;
    m_checked.erase(m_checked.begin() + row);
    m_cachedRow = -1;
    endRemoveRows();
}

const QStringList &ReportModel::textsOf(int row) const
{
    if (row != m_cachedRow) {
        m_cached = m_texts ? m_texts(row) : QStringList();
        m_cachedRow = row;
    }
    return m_cached;
}

QString ReportModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows)
        return {};
    const int at = column - (m_checkable ? 1 : 0);
    const QStringList &texts = textsOf(row);
    return at >= 0 && at < texts.size() ? texts.at(at) : QString();
}

bool ReportModel::isChecked(int row) const
{
    return m_checkable && row >= 0 && row < m_rows && m_checked[size_t(row)];
}

void ReportModel::setChecked(int row, bool checked)
{
    if (!m_checkable || row < 0 || row >= m_rows || m_checked[size_t(row)] == checked)
        return;
    m_checked[size_t(row)] = checked;
    const QModelIndex box = index(row, 0);
    Q_EMIT dataChanged(box, box, {Qt::CheckStateRole});
}

void ReportModel::setAllChecked(bool checked)
{
    if (!m_checkable || m_rows == 0)
        return;
    m_checked.assign(size_t(m_rows), checked);
    Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, 0), {Qt::CheckStateRole});
}

int ReportModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ReportModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant ReportModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const bool box = m_checkable && index.column() == 0;
    switch (role) {
    case Qt::DisplayRole:
        return box ? QVariant() : QVariant(text(index.row(), index.column()));
    case Qt::CheckStateRole:
        return box ? QVariant(isChecked(index.row()) ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::TextAlignmentRole:
        return box ? QVariant() : QVariant(Qt::AlignCenter);
    case Qt::ToolTipRole:
        return index.column() == m_tipColumn && m_tip && index.row() < m_rows ? QVariant(m_tip(index.row()))
                                                                              : QVariant();
    default:
        return {};
    }
}

bool ReportModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !m_checkable || index.column() != 0)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ReportModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_checkable && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
