#pragma once
// Paper composition (dialog 115): per-type drawing rules for one subject,
// several subjects one after another, or all subjects, saved as a paper.
#include "app/ScreenBase.h"
#include "paper/PaperComposition.h"

class CSetPaper : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 115; each type has the same block of controls
    // (controlsOf).
    enum Ids : int {
        Name = 1330,
        Subject = 1331,
        Group = 1332,
        SingleSubject = 1211, // 单科
        MultiSubject = 1212, // 多科
        AllSubjects = 1214, // 全科
        ClearOptions = 1256,
        ShowTotals = 1124,
        TotalCount = 1126,
        FullMarks = 1130,
        Save = 1125,
        Finish = 1135, // 多科完成
        Back = 1132,
        SingleDifficulty = 1334,
        SingleAvailable = 1254,
        SingleSubtotal = 1255,
        SinglePoints = 1252,
        SingleDraw = 1253,
        SingleTotal = 1259,
        SingleInputsClear = 1258,
        SingleConfirm = 1257,
        SingleDisplay = 1115,
        SingleCountLabel = 1127,
        SingleCount = 1112,
        SingleTypeClear = 1113,
        JudgeDifficulty = 1333,
        JudgeAvailable = 1100,
        JudgeSubtotal = 1101,
        JudgePoints = 1260,
        JudgeDraw = 1261,
        JudgeTotal = 1102,
        JudgeInputsClear = 1104,
        JudgeConfirm = 1103,
        JudgeDisplay = 1119,
        JudgeCountLabel = 1128,
        JudgeCount = 1116,
        JudgeTypeClear = 1117,
        BlankDifficulty = 1340,
        BlankAvailable = 1341,
        BlankSubtotal = 1342,
        BlankPoints = 1343,
        BlankDraw = 1344,
        BlankTotal = 1345,
        BlankInputsClear = 1348,
        BlankConfirm = 1349,
        BlankDisplay = 1074,
        BlankCountLabel = 1351,
        BlankCount = 1346,
        BlankTypeClear = 1350,
        MultipleDifficulty = 1251,
        MultipleAvailable = 1107,
        MultipleSubtotal = 1108,
        MultiplePoints = 1105,
        MultipleDraw = 1106,
        MultipleTotal = 1109,
        MultipleInputsClear = 1111,
        MultipleConfirm = 1110,
        MultipleDisplay = 1123,
        MultipleCountLabel = 1129,
        MultipleCount = 1120,
        MultipleTypeClear = 1121,
        EssayDifficulty = 1262,
        EssayAvailable = 1136,
        EssaySubtotal = 1137,
        EssayPoints = 1133,
        EssayDraw = 1134,
        EssayTotal = 1138,
        EssayInputsClear = 1142,
        EssayConfirm = 1143,
        EssayDisplay = 1131,
        EssayCountLabel = 1139,
        EssayCount = 1140,
        EssayTypeClear = 1144,
    };

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
