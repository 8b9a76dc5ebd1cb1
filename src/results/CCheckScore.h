#pragma once
// Score query (dialog 119): searches, the ranking of one exam, all results,
// and the export of up to 20 ticked results of one exam to the score chart.
// Every opening, query and display of all results first checks the
// integrity of the results and rosters.
#include "app/ScreenBase.h"
#include "results/ScoreQuery.h"

class DepartmentPostPicker;
class ReportModel;

class CCheckScore : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 119.
    enum Ids : int {
        Name = 1275,
        Department = 1277,
        Post = 1279,
        ExamName = 1202,
        Query = 1281,
        ClearFields = 1282,
        Rank = 1084,
        ShowAll = 1200,
        List = 1273,
        CheckAll = 1283,
        UncheckAll = 1285,
        Export = 1287,
        WithTimes = 1221,
        Reminder = 1268,
        Marking = 1292,
        ItemAnalysis = 1293,
        Back = 1289,
        Exit = 1291,
    };

    explicit CCheckScore(QWidget *parent = nullptr);

    // True when sound; otherwise the 6-second message is shown and the
    // program ends (false under a test's exit handler).
    bool verifyResults();
    // The same, handing over the scored rows it read.
    bool verifyResults(ScoreList *scored);

private:
    ReportModel *results() const;
    void fillList(ScoreList rows);
    void clearList();
    void query();
    void clearFields();
    void rank();
    void showAll();
    void exportChart();

    DepartmentPostPicker *m_picker = nullptr;
    // The rows listed, in list order; the list makes its texts from them.
    ScoreList m_rows;
};
