#include "app/CMyMsgDlg.h"

#include "app/MessageBox.h"

#include <QLabel>
#include <QPainter>

CMyMsgDlg::CMyMsgDlg(const QString &text, const QString &caption, int seconds, QWidget *parent)
    : ScreenBase(122, KeyFilterMode::None, parent), m_seconds(seconds)
{
    setWindowTitle(caption);
    setText(Text, text);
    setText(Countdown, QString());
    fitText();
    onClick(Ok, [this] {
        stopTimer1();
        accept();
    });
    startTimer1(1000);
}

void CMyMsgDlg::fitText()
{
    // The message box of the template holds one line and a half of 宋体; a
    // longer message (an exam name, a two-line notice) pushes the countdown
    // and the button down instead of losing its last line.
    auto *label = control<QLabel>(Text);
    const QRect box = label->geometry();
    const int needed = label->heightForWidth(box.width());
    const int grow = needed - box.height();
    if (grow <= 0)
        return;
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w == label)
            continue;
        if (w == control(Frame))
            w->resize(w->width(), w->height() + grow);
        else if (w->y() >= box.bottom())
            w->move(w->x(), w->y() + grow);
    }
    label->resize(box.width(), needed);
    setFixedSize(width(), height() + grow);
}

void CMyMsgDlg::onTimer(int timer)
{
    if (timer != 1)
        return;
    --m_seconds;
    setText(Countdown, QString::asprintf("%02d", m_seconds));
    if (m_seconds <= 0) {
        stopTimer1();
        accept();
    }
}

void CMyMsgDlg::paintPictures(QPainter &painter)
{
    if (QWidget *frame = control(Frame))
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
