#pragma once
// The self-closing message: text, caption and a countdown in seconds.
#include "app/ScreenBase.h"

class CMyMsgDlg : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 122.
    enum Ids : int {
        Frame = 1232,
        Text = 1239,
        Countdown = 1233,
        Ok = 1001,
    };

    CMyMsgDlg(const QString &text, const QString &caption, int seconds, QWidget *parent = nullptr);

    int seconds() const { return m_seconds; }
    // One tick of timer 1 (what the timer delivers every second).
    void tick() { onTimer(1); }

protected:
    void onTimer(int timer) override;
    void paintPictures(QPainter &painter) override;

private:
    void fitText();

    int m_seconds;
};

// Shows CMyMsgDlg modally; returns when it closes, by its button or by the
// countdown reaching "00".
void showTimedMessage(QWidget *parent, const QString &text, const QString &caption, int seconds);
