#pragma once
// The exam administrator's home screen (dialog 107): the roster of examinees
// with query, show all, adding and deleting, the import of examinee.xls
// through CImportExaminee, and the way to exam management and score query.
#include "admin/Roster.h"
#include "app/ScreenBase.h"

#include <functional>

class DepartmentPostPicker;
class ReportModel;

class CExamManager : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 107.
    enum Ids : int {
        QueryName = 1032,
        QueryDepartment = 1033,
        QueryPost = 1036,
        Query = 1001,
        ClearQuery = 1017,
        List = 1031,
        ShowAll = 1007,
        ClearList = 1015,
        AddDepartment = 1039,
        AddPost = 1042,
        AddName = 1045,
        Add = 1002,
        ClearAdd = 1018,
        DeleteAll = 1009,
        Import = 1003,
        ImportTemplate = 1005, // 导入模板: opens examinee.xls
        Exams = 1020,
        Scores = 1022,
        Back = 1011,
        Exit = 1013,
    };

    explicit CExamManager(QWidget *parent = nullptr);

    // The import pop-up, opened modally; Accepted when an import finished.
    // Tests may replace it.
    std::function<int(QWidget *, const QString &)> openImport;

private:
    ReportModel *list() const;
    void showRows(RosterList people);
    void queryRoster();
    void showAllExaminees();
    void addExaminee();
    void deleteExaminee(int row);
    void deleteAllExaminees();
    void importExaminees();
    void clearQuery();
    void clearAdd();

    DepartmentPostPicker *m_query = nullptr;
    DepartmentPostPicker *m_add = nullptr;
    // The people found, and the positions among them of the rows listed: a
    // row's running number is its position, so a deleted row's neighbours
    // keep theirs.
    RosterList m_people;
    std::vector<int> m_shown;
};
