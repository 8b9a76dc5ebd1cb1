#pragma once
// Paper management (dialog 114): the stored papers with their codes checked
// on opening, the rules of one paper, deletion, and the doors to
// composition and the printed paper.
#include "app/ScreenBase.h"

#include <functional>

class QTableWidget;

class CTestManage : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 114.
    enum Ids : int {
        List = 1240,
        SingleLabel = 1136,
        SingleDetail = 1131,
        JudgeLabel = 1137,
        JudgeDetail = 1133,
        BlankLabel = 1061,
        BlankDetail = 1063,
        MultipleLabel = 1138,
        MultipleDetail = 1134,
        EssayLabel = 1139,
        EssayDetail = 1135,
        Clear = 1242,
        Compose = 1099,
        Export = 1250,
        Back = 1244,
        Exit = 1247,
    };

    explicit CTestManage(QWidget *parent = nullptr);

    // The printed paper pop-up, opened modally with the paper's name; tests
    // replace it.
    std::function<void(QWidget *, const QString &)> openPrintedPaper;

    // Menu 132 commands on the selected row.
    enum MenuCommand { ShowDetails = 32781, DeletePaper = 32782 };
    void runMenuCommand(int command);

private:
    QTableWidget *list() const;
    // Fills the list; with check, stops at the first row whose code fails
    // and ends the program.
    void fill(bool check);
    void showMenu(const QPoint &pos);
    void showDetails();
    void deleteSelected();
    void clearDetails();
    void exportPaper();
    int selectedId() const;
};
