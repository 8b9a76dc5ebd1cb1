#pragma once
// Exam creation (dialog 117): a stored paper, a name, a time window, a time
// limit and a pass mark, and the people chosen from the roster by
// department and post.
#include "app/ScreenBase.h"

class DepartmentPostPicker;
class QTableWidget;
class QTableWidgetItem;

class CCreateExam : public ScreenBase
{
    Q_OBJECT
public:
    explicit CCreateExam(QWidget *parent = nullptr);

    QString chosenPaper() const { return m_paper; }

private:
    QTableWidget *papers() const;
    QTableWidget *found() const;
    QTableWidget *chosen() const;
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
};
