#pragma once
// Manual marking (dialog 129): every essay answer waiting, one ticked at a
// time with its stem, reference answer and the examinee's answer, and the
// confirmation of the points awarded.
#include "app/ScreenBase.h"
#include "results/Marking.h"

#include <optional>

class ReportModel;

class CHandworkCorrect : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 129.
    enum Ids : int {
        List = 1269,
        Stem = 1270,
        Reference = 1271,
        Answer = 1272,
        Value = 1273,
        Award = 1277,
        Confirm = 1274,
        Back = 1275,
        Exit = 1276,
    };

    explicit CHandworkCorrect(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ReportModel *answers() const;
    void fillList();
    // After a row's box changed (-1: after the list was filled).
    void tickChanged(int row);
    void correctPoints();
    void confirm();

    EssayList m_answers; // in list order
    std::optional<EssayAnswer> m_ticked;
    bool m_busy = false;
};
