#pragma once
// Read-only pop-up text box placed over a list cell to show its whole text;
// it hides itself when the pointer leaves it.
#include <QPlainTextEdit>

class CReadEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit CReadEdit(QWidget *parent = nullptr);
    // Shows text over rect (parent coordinates).
    void popUp(const QString &text, const QRect &rect);

protected:
    void leaveEvent(QEvent *event) override;
};
