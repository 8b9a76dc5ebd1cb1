#include "app/CMyMsgDlg.h"

#include "app/MessageBox.h"

#include <QPainter>

CMyMsgDlg::CMyMsgDlg(const QString &text, const QString &caption, int seconds, QWidget *parent)
    : ScreenBase(122, KeyFilterMode::None, parent), m_seconds(seconds)
{
    setWindowTitle(caption);
    setText(1239, text);
    setText(1233, QString());
    onClick(1001, [this] {
        stopTimer1();
        accept();
    });
    startTimer1(1000);
}

void CMyMsgDlg::onTimer(int timer)
{
    if (timer != 1)
        return;
    --m_seconds;
    setText(1233, QString::asprintf("%02d", m_seconds));
    if (m_seconds <= 0) {
        stopTimer1();
        accept();
    }
}

void CMyMsgDlg::paintPictures(QPainter &painter)
{
    if (QWidget *frame = control(1232))
        painter.fillRect(frame->geometry(), Qt::white);
}

void showTimedMessage(QWidget *parent, const QString &text, const QString &caption, int seconds)
{
    if (MessageBox::hasHandler()) {
        ShownMessage m;
        m.kind = ShownMessage::Timed;
        m.text = text;
        m.caption = caption;
        m.seconds = seconds;
        MessageBox::dispatch(m);
        return;
    }
    CMyMsgDlg dialog(text, caption, seconds, parent);
    dialog.exec();
}
