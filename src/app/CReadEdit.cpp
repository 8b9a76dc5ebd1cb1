#include "app/CReadEdit.h"

CReadEdit::CReadEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setAttribute(Qt::WA_Hover);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the text wraps
    hide();
}

void CReadEdit::popUp(const QString &text, const QRect &rect)
{
    setPlainText(text);
    setGeometry(rect);
    show();
    raise();
}

void CReadEdit::leaveEvent(QEvent *event)
{
    QPlainTextEdit::leaveEvent(event);
    hide();
}
