#pragma once
// Base of every screen and pop-up: builds the dialog from its template, paints
// the screen's pictures under the controls, filters keys, and keeps timer 1.
#include "app/DialogTemplate.h"

#include <QDialog>
#include <QHash>

class QAbstractButton;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;

enum class KeyFilterMode {
    None,     // the standard dialog keys
    EnterEsc, // Enter and Esc are discarded
    All,      // Enter, Esc and the space bar are discarded
};

class ScreenBase : public QDialog
{
    Q_OBJECT
public:
    ScreenBase(int templateId, KeyFilterMode keys, QWidget *parent = nullptr);
    ~ScreenBase() override;

    const DialogTemplate &dialogTemplate() const { return m_template; }
    QString className() const { return m_template.className; }

    // The control with the given numeric id, or nullptr.
    QWidget *control(int id) const { return m_controls.value(id); }
    template<typename T>
    T *control(int id) const
    {
        return qobject_cast<T *>(control(id));
    }

    QString text(int id) const;
    void setText(int id, const QString &text);

    // Timer 1 of this screen; its ticks arrive at onTimer(1).
    void startTimer1(int ms);
    void stopTimer1();
    bool timer1Active() const { return m_timer1 != 0; }

    // Connects a button's click to a member of the screen.
    void onClick(int id, std::function<void()> handler);

    // A screen whose object must outlive its turn: the screen loop keeps it
    // until the program ends instead of destroying it when the next screen
    // comes (the exam window, whose object holds the keyboard lock).
    void setKeptUntilExit(bool kept) { m_keptUntilExit = kept; }
    bool keptUntilExit() const { return m_keptUntilExit; }

protected:
    virtual void onTimer(int timer) { Q_UNUSED(timer); }
    // Pictures under the controls; the default paints the screen's row of
    // the background table.
    virtual void paintPictures(QPainter &painter);

    // Pop-ups without a default button: Enter presses the focused button, or
    // else closes the pop-up as cancelled. True when the key was Enter.
    bool enterWithoutDefaultButton(QKeyEvent *event);

    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    DialogTemplate m_template;
    KeyFilterMode m_keys;
    QHash<int, QWidget *> m_controls;
    int m_timer1 = 0;
    bool m_filtering = false;
    bool m_keptUntilExit = false;

    friend class ScreenTestAccess;
};
