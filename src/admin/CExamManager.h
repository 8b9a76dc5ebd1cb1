#pragma once
// The exam administrator's home screen (dialog 107): the roster of examinees
// with query, show all, adding and deleting, the import of examinee.xls
// through CImportExaminee, and the way to exam management and score query.
#include "admin/Roster.h"
#include "app/ScreenBase.h"

#include <functional>

class DepartmentPostPicker;
class QTableWidget;

class CExamManager : public ScreenBase
{
    Q_OBJECT
public:
    explicit CExamManager(QWidget *parent = nullptr);

    // The import pop-up, opened modally; Accepted when an import finished.
    // Tests may replace it.
    std::function<int(QWidget *, const QString &)> openImport;

private:
    QTableWidget *list() const;
    void showRows(const QList<RosterPerson> &rows);
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
};
