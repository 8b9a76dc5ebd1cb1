#pragma once
// The question bank browser (dialog 109): search by subject, types and a
// stem keyword, 50 rows a page; delete on double-click; whole cell on
// right-click; the doors to entry, import, clearing and the settings screen.
#include "app/ScreenBase.h"

class QTableWidget;

class CExamPaper : public ScreenBase
{
    Q_OBJECT
public:
    explicit CExamPaper(QWidget *parent = nullptr);

    int currentPage() const { return m_page; }
    int pageCount() const { return m_pageCount; }

    // The pop-ups, opened modally; tests replace them.
    std::function<void(QWidget *)> openEntry;
    std::function<int(QWidget *, const QString &)> openImport;
    std::function<int(QWidget *)> openDelete;

private:
    QTableWidget *list() const;
    void search();
    void clearOptions();
    void clearList();
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void deleteRow(int row);
    void showCell(const QPoint &pos);
    void chooseImport();
    void leave(int control);
    void setPagingVisible(bool visible);

    int m_page = 1;
    int m_pageCount = 0;
    int m_clickedRow = -1;
    int m_clickedColumn = -1;
};
