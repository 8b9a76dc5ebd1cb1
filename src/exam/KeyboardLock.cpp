#include "exam/KeyboardLock.h"

#include "app/MessageBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include <memory>

namespace KeyboardLock {

namespace {

// X key symbols of the table's keys.
constexpr quint32 XK_Super_L = 0xffeb, XK_Super_R = 0xffec, XK_Escape = 0xff1b, XK_Tab = 0xff09,
                  XK_ISO_Left_Tab = 0xfe20, XK_grave = 0x60, XK_asciitilde = 0x7e, XK_dead_grave = 0xfe50,
                  XK_Delete = 0xffff, XK_KP_Decimal = 0xffae, XK_KP_Delete = 0xff9f;

// The window the grab is made on. While the grab is held the server sends
// every key to it; when another program's window took the input focus (a
// click on it), Qt hands those keys to this window, which passes them on to
// the exam window, so the examinee can still type.
class GrabWindow : public QWidget
{
public:
    GrabWindow()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint
                               | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(-10, -10, 1, 1);
    }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)
            return QWidget::event(e);
        if (QWidget *target = examWindow()) {
            QWidget *receiver = target->focusWidget() ? target->focusWidget() : target;
            const auto *k = static_cast<QKeyEvent *>(e);
            QKeyEvent copy(k->type(), k->key(), k->modifiers(), k->nativeScanCode(), k->nativeVirtualKey(),
                           k->nativeModifiers(), k->text(), k->isAutoRepeat(), ushort(k->count()));
            QCoreApplication::sendEvent(receiver, &copy);
        }
        return true;
    }

private:
    QWidget *examWindow() const
    {
        if (QWidget *w = QApplication::activeModalWidget())
            return w;
        if (QWidget *w = QApplication::activeWindow(); w && w != this)
            return w;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != this && w->isVisible() && !w->isMinimized())
                return w;
        return nullptr;
    }
};

Grabber g_grabber = nullptr;
int g_locks = 0; // lock objects alive
std::unique_ptr<QWidget> g_grabWindow;

bool realGrab(bool grab)
{
    if (!grab) {
        if (g_grabWindow) {
            if (QWindow *w = g_grabWindow->windowHandle())
                w->setKeyboardGrabEnabled(false);
            g_grabWindow.reset();
        }
        return true;
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false; // no X server: nothing can be grabbed
    g_grabWindow = std::make_unique<GrabWindow>();
    g_grabWindow->show();
    QWindow *window = g_grabWindow->windowHandle();
    // A window becomes viewable once the server has mapped it.
    bool held = false;
    for (int attempt = 0; attempt < 50 && !held; ++attempt) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        held = window && window->setKeyboardGrabEnabled(true);
    }
    if (!held)
        g_grabWindow.reset();
    return held;
}

bool grab(bool on)
{
    return g_grabber ? g_grabber(on) : realGrab(on);
}

bool g_held = false;

} // namespace

bool discards(LockKey key, bool ctrl, bool alt)
{
    switch (key) {
    case LockKey::LeftSuper:
    case LockKey::RightSuper:
        return true;
    case LockKey::Escape:
        return ctrl || alt;
    case LockKey::Tab:
    case LockKey::KeyLeftOfOne:
        return alt;
    case LockKey::Delete:
    case LockKey::KeypadDecimal:
        return ctrl && alt;
    case LockKey::Other:
        return false;
    }
    return false;
}

LockKey keyOf(const QKeyEvent &e)
{
    switch (e.nativeVirtualKey()) {
    case XK_Super_L:
        return LockKey::LeftSuper;
    case XK_Super_R:
        return LockKey::RightSuper;
    case XK_Escape:
        return LockKey::Escape;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        return LockKey::Tab;
    case XK_grave:
    case XK_asciitilde:
    case XK_dead_grave:
        return LockKey::KeyLeftOfOne;
    case XK_KP_Decimal:
    case XK_KP_Delete:
        return LockKey::KeypadDecimal;
    case XK_Delete:
        return LockKey::Delete;
    default:
        break;
    }
    switch (e.key()) {
    case Qt::Key_Super_L:
        return LockKey::LeftSuper;
    case Qt::Key_Super_R:
        return LockKey::RightSuper;
    case Qt::Key_Escape:
        return LockKey::Escape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return LockKey::Tab;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
    case Qt::Key_Dead_Grave:
        return LockKey::KeyLeftOfOne;
    case Qt::Key_Delete:
        return (e.modifiers() & Qt::KeypadModifier) ? LockKey::KeypadDecimal : LockKey::Delete;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return (e.modifiers() & Qt::KeypadModifier) ? LockKey::KeypadDecimal : LockKey::Other;
    default:
        return LockKey::Other;
    }
}

bool discards(const QKeyEvent &e)
{
    return discards(keyOf(e), e.modifiers() & Qt::ControlModifier, e.modifiers() & Qt::AltModifier);
}

void setGrabber(Grabber grabber)
{
    g_grabber = grabber;
}

bool isHeld()
{
    return g_held;
}

// Shared by the lock objects.
bool acquire()
{
    if (g_locks++ > 0)
        return g_held;
    g_held = grab(true);
    return g_held;
}

void release()
{
    if (g_locks == 0 || --g_locks > 0)
        return;
    if (g_held)
        grab(false);
    g_held = false;
}

} // namespace KeyboardLock

ExamKeyboardLock::ExamKeyboardLock(QWidget *messageParent)
{
    m_installed = KeyboardLock::acquire();
    qApp->installEventFilter(this);
    if (!m_installed)
        MessageBox::plain(messageParent, QStringLiteral("安装钩子失败!"));
}

ExamKeyboardLock::~ExamKeyboardLock()
{
    qApp->removeEventFilter(this);
    KeyboardLock::release();
}

bool ExamKeyboardLock::eventFilter(QObject *watched, QEvent *event)
{
    // Both the press and the release of a listed combination are dropped.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        && KeyboardLock::discards(*static_cast<QKeyEvent *>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}
