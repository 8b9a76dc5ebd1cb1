#pragma once
// Manual entry of one question (dialog 127), opened over the bank browser.
#include "app/ScreenBase.h"

#include "app/CShowMap.h"

#include <QPointer>

struct ManualEntry;

class CAddQuestion : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 127.
    enum Ids : int {
        Subject = 1219,
        Type = 1218,
        Difficulty = 1216,
        Audience = 1231,
        Stem = 1082,
        OptionALabel = 1059,
        OptionA = 1061,
        OptionBLabel = 1268,
        OptionB = 1272,
        OptionCLabel = 1269,
        OptionC = 1273,
        OptionDLabel = 1270,
        OptionD = 1274,
        OptionELabel = 1271,
        OptionE = 1275,
        AnswerLabel = 1057,
        Answer = 1276,
        JudgeLabel = 1049,
        JudgeHint = 1278,
        Judge = 1217, // the judge answer
        Picture = 1230,
        Add = 1229,
        Clear = 1228,
        Exit = 1207,
    };

    explicit CAddQuestion(QWidget *parent = nullptr);
    ~CAddQuestion() override;

    // The picture window this screen opened, if any (tests look at it).
    CShowMap *pictureWindow() const { return m_window; }

    void done(int result) override;

private:
    void switchLayout(const QString &type);
    void choosePicture();
    void addQuestion();
    void clearScreen();
    ManualEntry readEntry() const;
    void destroyPictureWindow();
    void place(int id, int left, int top, int right, int bottom);

    QString m_picturePath;
    QPointer<CShowMap> m_window;
};
