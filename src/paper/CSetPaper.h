#pragma once
// Paper composition (dialog 115): per-type drawing rules for one subject,
// several subjects one after another, or all subjects, saved as a paper.
#include "app/ScreenBase.h"
#include "paper/PaperComposition.h"

class CSetPaper : public ScreenBase
{
    Q_OBJECT
public:
    explicit CSetPaper(QWidget *parent = nullptr);

    QString subjectOption() const { return m_option; }
    bool multiSubjectOpen() const { return m_multi; }
    const TypeDraft &draft(int type) const { return m_drafts[type]; }

    // Ids of one type's group of controls.
    struct TypeControls
    {
        int difficulty, available, subtotal, points, draw, total, inputsClear, confirm, display, countLabel, count,
            typeClear;
    };
    static const TypeControls &controlsOf(int type);

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setOption(const QString &option);
    void resetGroups();
    void nameChanged();
    void subjectChanged();
    void recomputeAvailable(int type);
    void recomputeAllAvailable();
    void pointsEdited(int type);
    void drawEdited(int type);
    void confirmRule(int type);
    void clearInputs(int type);
    void clearType(int type);
    void clearRule(int type);
    void showTotals();
    void save();
    void finishMulti();
    void clearOptions();
    void back();
    void emptyAndUnlockPoints();
    void abandonMulti();

    std::optional<QString> ruleSubject() const;
    void setLocked(int type, bool locked);

    QString m_option;
    bool m_multi = false;
    TypeDraft m_drafts[5];
};
