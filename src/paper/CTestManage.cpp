#include "paper/CTestManage.h"

#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "paper/CWordPaper.h"
#include "paper/Paper.h"
#include "store/CADOConn.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>

namespace {

using enum CTestManage::Ids;
constexpr int kLabels[5] = {SingleLabel, JudgeLabel, BlankLabel, MultipleLabel, EssayLabel};
constexpr int kDetails[5] = {SingleDetail, JudgeDetail, BlankDetail, MultipleDetail, EssayDetail};
constexpr int kNameColumn = 1, kIdColumn = 10;

// The printed paper pop-up, modal over the paper list.
void openWordPaper(QWidget *owner, const QString &name)
{
    CWordPaper dialog(name, owner);
    dialog.exec();
}

} // namespace

CTestManage::CTestManage(QWidget *parent)
    : ScreenBase(114, KeyFilterMode::All, parent)
{
    openPrintedPaper = openWordPaper;
    QTableWidget *table = list();
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    table->setColumnWidth(kIdColumn, 0);
    connect(table, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) { showMenu(pos); });

    onClick(Clear, [this] { clearDetails(); });
    onClick(Export, [this] { exportPaper(); });
    for (int id : {Compose, Back, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });

    runCommand(this, [this] { fill(true); });
    clearDetails();
}

QTableWidget *CTestManage::list() const
{
    return control<QTableWidget>(List);
}

void CTestManage::fill(bool check)
{
    QTableWidget *table = list();
    table->setRowCount(0);
    CADOConn conn;
    const QList<Paper> papers = PaperStore::readPapers(conn);
    conn.close();
    table->setUpdatesEnabled(false);
    int row = 0;
    for (const Paper &p : papers) {
        table->insertRow(row);
        const QStringList cells{QString::number(row + 1), p.name, p.types[0], p.types[1], p.types[2], p.types[3],
                                p.types[4], p.total, p.fullMarks, p.created, QString::number(p.id)};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            item->setTextAlignment(Qt::AlignCenter);
            table->setItem(row, c, item);
        }
        ++row;
        if (check && !p.sealed()) {
            table->setUpdatesEnabled(true);
            MessageBox::tip(this, QStringLiteral("保存的试卷信息已被篡改,将退出程序！"));
            Nav::exitProgram(this);
            return;
        }
    }
    table->setUpdatesEnabled(true);
}

int CTestManage::selectedId() const
{
    QTableWidget *table = list();
    const int row = table->currentRow();
    if (row < 0 || !table->item(row, kIdColumn) || table->selectedItems().isEmpty())
        return -1;
    return table->item(row, kIdColumn)->text().toInt();
}

void CTestManage::showMenu(const QPoint &pos)
{
    QTableWidget *table = list();
    const bool onRow = table->indexAt(pos).isValid();
    if (onRow)
        table->selectRow(table->indexAt(pos).row());
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menu132"));
    QAction *details = menu.addAction(QStringLiteral("考题详情"));
    details->setData(ShowDetails);
    QAction *remove = menu.addAction(QStringLiteral("删除试卷"));
    remove->setData(DeletePaper);
    details->setEnabled(onRow);
    remove->setEnabled(onRow);
    if (QAction *chosen = menu.exec(table->viewport()->mapToGlobal(pos)))
        runMenuCommand(chosen->data().toInt());
}

void CTestManage::runMenuCommand(int command)
{
    runCommand(this, [&] {
        if (command == ShowDetails)
            showDetails();
        else if (command == DeletePaper)
            deleteSelected();
    });
}

void CTestManage::showDetails()
{
    for (int i = 0; i < 5; ++i) {
        control(kLabels[i])->show();
        setText(kDetails[i], QString());
    }
    control(Clear)->show();
    const int id = selectedId();
    if (id < 0)
        return;
    CADOConn conn;
    const std::optional<Paper> paper = PaperStore::readPaper(conn, id);
    if (!paper)
        return;
    for (int i = 0; i < 5; ++i)
        setText(kDetails[i], paper->types[size_t(i)]);
}

void CTestManage::deleteSelected()
{
    const int id = selectedId();
    if (id < 0)
        return;
    list()->removeRow(list()->currentRow());
    CADOConn conn;
    PaperStore::deletePaper(conn, id);
    conn.close();
    fill(false);
    clearDetails();
}

void CTestManage::clearDetails()
{
    for (int i = 0; i < 5; ++i) {
        setText(kDetails[i], QString());
        control(kLabels[i])->hide();
    }
    control(Clear)->hide();
}

void CTestManage::exportPaper()
{
    QTableWidget *table = list();
    const int row = table->currentRow();
    const QTableWidgetItem *name = row >= 0 && !table->selectedItems().isEmpty() ? table->item(row, kNameColumn) : nullptr;
    if (!name || name->text().isEmpty()) {
        MessageBox::tip(this, QStringLiteral("请左键点击选择试卷！"));
        return;
    }
    const QString paperName = name->text();
    table->clearSelection();
    openPrintedPaper(this, paperName);
}
