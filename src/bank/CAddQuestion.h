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
