#include "bank/CExamPaper.h"

#include "app/CReadEdit.h"
#include "app/Command.h"
#include "app/FileDialogs.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/ShellOpen.h"
#include "bank/CAddQuestion.h"
#include "bank/CExamInandout.h"
#include "bank/QuestionSearch.h"
#include "bank/QuestionStore.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Schema.h"
#include "store/Subjects.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableWidget>

namespace {

using enum CExamPaper::Ids;
constexpr int kTypeChecks[5] = {SingleType, JudgeType, BlankType, MultipleType, EssayType}; // in type order
constexpr int kPaging[4] = {FirstPage, PreviousPage, NextPage, LastPage};
constexpr int kColumns = 13;
constexpr int kTypeColumn = 2, kIdColumn = 12;

} // namespace

CExamPaper::CExamPaper(QWidget *parent)
    : ScreenBase(109, KeyFilterMode::All, parent)
{
    openEntry = [](QWidget *owner) {
        CAddQuestion entry(owner);
        entry.exec();
    };
    openImport = [](QWidget *owner, const QString &path) { return CExamInandout::runImport(owner, path); };
    openDelete = [](QWidget *owner) { return CExamInandout::runDelete(owner); };

    QTableWidget *table = list();
    table->setColumnCount(kColumns);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    table->setColumnWidth(kIdColumn, 0);

    runCommand(this, [this] {
        auto *subjects = control<QComboBox>(Subject);
        subjects->addItems(Subjects::readSubjects());
        subjects->setCurrentIndex(-1);
    });

    // Whatever the table held, the screen starts with an empty interim1.
    CADOConn conn;
    Schema::recreate(conn, Schema::browserInterim1());
    conn.close();

    setPagingVisible(false);
    control(ReadEdit)->hide();
    control(ReadEdit)->setParent(table);

    onClick(Search, [this] { runCommand(this, [this] { search(); }); });
    onClick(ClearOptions, [this] { clearOptions(); });
    onClick(FirstPage, [this] { runCommand(this, [this] { firstPage(); }); });
    onClick(PreviousPage, [this] { runCommand(this, [this] { previousPage(); }); });
    onClick(NextPage, [this] { runCommand(this, [this] { nextPage(); }); });
    onClick(LastPage, [this] { runCommand(this, [this] { lastPage(); }); });
    onClick(ClearList, [this] { clearList(); });
    onClick(QuestionTemplate, [] { ShellOpen::open(QDir::current().absoluteFilePath(QStringLiteral("questions.xls"))); });
    onClick(Import, [this] { chooseImport(); });
    onClick(DeleteBank, [this] { openDelete(this); });
    onClick(Add, [this] { openEntry(this); });
    onClick(Settings, [this] { leave(Settings); });
    onClick(Back, [this] { leave(Back); });
    onClick(Exit, [this] { leave(Exit); });
    connect(table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { deleteRow(row); });
    connect(table, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) { showCell(pos); });
}

QTableWidget *CExamPaper::list() const
{
    return control<QTableWidget>(List);
}

void CExamPaper::setPagingVisible(bool visible)
{
    for (int id : kPaging)
        control(id)->setVisible(visible);
    control(PageLabel)->setVisible(visible);
}

void CExamPaper::search()
{
    SearchQuery query;
    for (int i = 0; i < 5; ++i)
        if (control<QCheckBox>(kTypeChecks[i])->isChecked())
            query.types << QuestionType::names().at(i);
    if (query.types.isEmpty()) {
        MessageBox::show(this, QStringLiteral("题型为必选！"), Caption::Tip);
        return;
    }
    QTableWidget *table = list();
    table->setRowCount(0);
    query.subject = text(Subject);
    query.keyword = text(Keyword);

    CADOConn conn;
    const SearchPage page = QuestionSearch::page(conn, query, m_page);
    conn.close();
    // No match: the list stays empty and the paging controls keep their state.
    if (page.total == 0)
        return;

    table->setUpdatesEnabled(false);
    table->setRowCount(int(page.rows.size()));
    for (int r = 0; r < page.rows.size(); ++r) {
        const SearchRow &row = page.rows.at(r);
        const QStringList cells{QString::number(row.number),
                                row.subject,
                                row.type,
                                row.stem,
                                row.answer,
                                row.options[0].value_or(QString()),
                                row.options[1].value_or(QString()),
                                row.options[2].value_or(QString()),
                                row.options[3].value_or(QString()),
                                row.options[4].value_or(QString()),
                                row.difficulty.value_or(QString()),
                                row.audience.value_or(QString()),
                                QString::number(row.id)};
        for (int c = 0; c < kColumns; ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            item->setTextAlignment(c == 3 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
            table->setItem(r, c, item);
        }
    }
    table->setUpdatesEnabled(true);
    m_pageCount = page.pageCount;
    setPagingVisible(true);
    setText(PageLabel, QString::asprintf("第 %d 页  ", m_page) + QString::asprintf("共 %d 页", m_pageCount));
}

void CExamPaper::clearOptions()
{
    setText(Keyword, QString());
    for (int id : kTypeChecks)
        control<QCheckBox>(id)->setChecked(false);
    control<QComboBox>(Subject)->setCurrentIndex(-1);
}

void CExamPaper::clearList()
{
    list()->setRowCount(0);
    setPagingVisible(false);
}

void CExamPaper::firstPage()
{
    if (m_page == 1)
        return;
    m_page = 1;
    search();
}

void CExamPaper::previousPage()
{
    if (m_page <= 1)
        return;
    --m_page;
    search();
}

void CExamPaper::nextPage()
{
    if (m_page + 1 <= m_pageCount)
        ++m_page;
    search();
}

void CExamPaper::lastPage()
{
    if (m_page == m_pageCount)
        return;
    m_page = m_pageCount;
    search();
}

void CExamPaper::deleteRow(int row)
{
    QTableWidget *table = list();
    if (table->rowCount() == 0 || row < 0 || row >= table->rowCount())
        return;
    const QString type = table->item(row, kTypeColumn)->text();
    const QString id = table->item(row, kIdColumn)->text();
    table->removeRow(row);
    if (QuestionStore::deletePictureFile(type, id))
        MessageBox::show(this, QStringLiteral("有图片文件被删除"), Caption::Tip);
    QuestionStore::deleteQuestion(type, id.toInt());
}

void CExamPaper::showCell(const QPoint &pos)
{
    QTableWidget *table = list();
    const QModelIndex index = table->indexAt(pos);
    if (!index.isValid())
        return;
    m_clickedRow = index.row();
    m_clickedColumn = index.column();
    if (m_clickedColumn == 0 || table->rowCount() == 0)
        return;
    const QRect cell = table->visualRect(index).translated(table->viewport()->pos());
    auto *box = control<CReadEdit>(ReadEdit);
    const QTableWidgetItem *item = table->item(m_clickedRow, m_clickedColumn);
    box->popUp(item ? item->text() : QString(), QRect(cell.left(), cell.top(), table->columnWidth(m_clickedColumn), 100));
    box->setFocus();
}

void CExamPaper::chooseImport()
{
    const QString path = FileDialogs::openFile(this, QString(), QString(), QStringLiteral("所有文件 (*.*);;Excel (*.xls)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).fileName() != QLatin1String("questions.xls")) {
        MessageBox::show(this, QStringLiteral("请选择'questions.xls'文件"), Caption::Tip);
        return;
    }
    if (openImport(this, path) == QDialog::Accepted)
        list()->setRowCount(0);
}

void CExamPaper::leave(int controlId)
{
    CADOConn conn;
    Schema::drop(conn, Schema::browserInterim1());
    conn.close();
    Nav::follow(this, controlId);
}
