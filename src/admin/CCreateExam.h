#pragma once
// Exam creation (dialog 117): a stored paper, a name, a time window, a time
// limit and a pass mark, and the people chosen from the roster by
// department and post.
#include "admin/Roster.h"
#include "app/ScreenBase.h"

class DepartmentPostPicker;
class QTableWidget;
class ReportModel;
class QTableWidgetItem;

class CCreateExam : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 117.
    enum Ids : int {
        Name = 1146,
        StartDate = 1141,
        StartTime = 1143,
        EndDate = 1149,
        EndTime = 1152,
        TimeLimit = 1187,
        PassMark = 1188,
        Papers = 1158,
        PaperLabel = 1213, // 试卷名称, shown once a paper is chosen
        PaperName = 1189,
        Department = 1153,
        Post = 1155,
        Show = 1144,
        ClearFilter = 1166,
        Found = 1160,
        CheckAllFound = 1168,
        UncheckAllFound = 1170,
        Move = 1173, // >>
        Chosen = 1163,
        CheckAllChosen = 1176,
        UncheckAllChosen = 1178,
        Remove = 1181,
        Save = 1183,
        Back = 1185,
        Exit = 1186,
    };

    explicit CCreateExam(QWidget *parent = nullptr);

    QString chosenPaper() const { return m_paper; }

private:
    QTableWidget *papers() const;
    ReportModel *listOf(int id) const;
    // Shows the people in the left (Found) or right (Chosen) list.
    void showPeople(int id, RosterList people);
    void openCreateExam();
    void choosePaper(QTableWidgetItem *changed);
    void showCandidates();
    void clearFilter();
    void moveCandidates();
    void removeChosen();
    void createExam();

    DepartmentPostPicker *m_filter = nullptr;
    QString m_paper;
    QString m_fullMarks;
    QString m_essay;
    bool m_choosing = false;
    // The people of the left and the right list, in list order.
    RosterList m_found;
    RosterList m_chosen;
};
