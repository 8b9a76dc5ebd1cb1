#pragma once
// The keyboard lock of the exam: while an exam window object exists, the
// program holds an active keyboard grab on the X server, so no other program
// and no window-manager shortcut (Super, Alt+Tab, …) receives keys; what the
// grab delivers passes through the table of discarded keys below.
//
// The grab is made on a small window of its own, mapped off-screen, so it can
// be installed when the exam window object is created (before it is shown)
// and outlives the window being hidden, as the lock must.
//
// With the keyboard the lock holds the pointer: another program's window
// receives no click while the lock lasts, and while the held window (the
// exam window) is shown, the pointer stays inside it and it is raised over
// any window another program maps. The program's own windows over it (the
// picture window, messages) take their clicks as usual. All of it ends when
// the keyboard grab ends.
#include <QObject>

class QKeyEvent;
class QWidget;

namespace KeyboardLock {

// The keys of the table.
enum class LockKey { LeftSuper, RightSuper, Escape, Tab, KeyLeftOfOne, Delete, KeypadDecimal, Other };

// The table: Super keys always; Esc with Ctrl or Alt; Tab and the key left
// of 1 with Alt; Delete and the keypad decimal with Ctrl and Alt.
bool discards(LockKey key, bool ctrl, bool alt);

// The table's key of a key event (X key symbol first, Qt's key otherwise).
LockKey keyOf(const QKeyEvent &event);
bool discards(const QKeyEvent &event);

// Test seam: replaces the grab (true = held). Unset: the real X11 grab.
using Grabber = bool (*)(bool grab);
void setGrabber(Grabber grabber);

// Whether a grab is held now.
bool isHeld();

// The window the pointer is kept in while it is shown (none: anywhere, and
// still no click reaches another program); the last one set.
void setHeldWindow(QWidget *window);
QWidget *heldWindow();
// Brings the pointer grab up to date with the held window coming on or off
// the screen; forced, takes the grabs again after a pop-up's own.
void reassert(bool force);

} // namespace KeyboardLock

// One per exam window object: installs the lock when made, removes it when
// destroyed. A refused grab shows "安装钩子失败!" (default title) once and the
// exam goes on with the window's own key filter. Nested locks share one grab,
// held while any of them exists.
class ExamKeyboardLock : public QObject
{
    Q_OBJECT
public:
    explicit ExamKeyboardLock(QWidget *messageParent = nullptr);
    ~ExamKeyboardLock() override;

    bool installed() const { return m_installed; }

    // The window kept above other programs' windows, with the pointer
    // inside it, whenever it is shown.
    void holdWindow(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_installed = false;
};
