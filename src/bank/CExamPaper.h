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
    // The controls of dialog 109.
    enum Ids : int {
        Subject = 1053,
        SingleType = 1055,
        JudgeType = 1065,
        BlankType = 1066,
        MultipleType = 1083,
        EssayType = 1085,
        Keyword = 1051,
        Search = 1067,
        ClearOptions = 1068,
        QuestionTemplate = 1070, // opens questions.xls
        Import = 1069,
        Add = 1073, // 手动添加
        DeleteBank = 1072, // 删除题库
        Settings = 1071,
        List = 1031,
        ReadEdit = 1026, // the full text of a cell
        PageLabel = 1082,
        FirstPage = 1076,
        PreviousPage = 1078,
        NextPage = 1077,
        LastPage = 1079,
        ClearList = 1075,
        Back = 1080,
        Exit = 1081,
    };

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
