#include "exam/KeyboardLock.h"

#include "app/MessageBox.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

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
QPointer<QWidget> g_heldWindow;

xcb_connection_t *xConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootOf(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// Holds the pointer and the stacking beside the keyboard grab: made with the
// grab, destroyed with it.
class PointerGuard : public QAbstractNativeEventFilter
{
public:
    explicit PointerGuard(xcb_connection_t *c) : m_c(c), m_root(rootOf(c))
    {
        // Windows mapped on the root are announced; what the program
        // already selects there is kept.
        const xcb_get_window_attributes_cookie_t cookie = xcb_get_window_attributes(m_c, m_root);
        if (xcb_get_window_attributes_reply_t *a = xcb_get_window_attributes_reply(m_c, cookie, nullptr)) {
            m_rootMask = a->your_event_mask;
            free(a);
        }
        const uint32_t mask = m_rootMask | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        qApp->installNativeEventFilter(this);
        assertGrabs(true);
    }
    ~PointerGuard() override
    {
        qApp->removeNativeEventFilter(this);
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &m_rootMask);
        xcb_ungrab_pointer(m_c, XCB_CURRENT_TIME);
        xcb_flush(m_c);
    }

    // Grabs the pointer, confined to the held window while it is on the
    // screen. Forced after a pop-up, whose own grab ended ours (the
    // keyboard's too) when it closed.
    void assertGrabs(bool force)
    {
        if (!g_grabWindow || QApplication::activePopupWidget())
            return;
        QWindow *held = g_heldWindow && g_heldWindow->isVisible() ? g_heldWindow->windowHandle() : nullptr;
        const xcb_window_t confine = held && held->isExposed() ? xcb_window_t(held->winId()) : XCB_NONE;
        if (!force && confine == m_confined)
            return;
        if (QWindow *w = g_grabWindow->windowHandle())
            w->setKeyboardGrabEnabled(true);
        const xcb_window_t grabWindow = xcb_window_t(g_grabWindow->winId());
        m_confined = confine;
        if (!grabPointer(grabWindow, confine) && confine != XCB_NONE) {
            grabPointer(grabWindow, XCB_NONE);
            m_confined = XCB_NONE;
        }
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event);
            if (map->event == m_root && !ours(map->window) && g_heldWindow && g_heldWindow->isVisible())
                raiseOurs();
        }
        return false;
    }

private:
    bool grabPointer(xcb_window_t grabWindow, xcb_window_t confine)
    {
        // Owner events: the program's own windows get their pointer events
        // as usual; everything else is reported to the grab window, which
        // drops it.
        const uint16_t mask = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE;
        const xcb_grab_pointer_cookie_t cookie = xcb_grab_pointer(
            m_c, 1, grabWindow, mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, confine, XCB_NONE, XCB_CURRENT_TIME);
        xcb_grab_pointer_reply_t *reply = xcb_grab_pointer_reply(m_c, cookie, nullptr);
        const bool ok = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        free(reply);
        return ok;
    }

    bool ours(xcb_window_t window) const
    {
        const xcb_setup_t *setup = xcb_get_setup(m_c);
        return (window & ~setup->resource_id_mask) == setup->resource_id_base;
    }

    // The held window over every other program's window, the program's
    // other windows (pictures, messages) over it.
    void raiseOurs()
    {
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(m_c, xcb_window_t(g_heldWindow->winId()), XCB_CONFIG_WINDOW_STACK_MODE, &above);
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != g_heldWindow && w != g_grabWindow.get() && w->isVisible() && w->windowHandle())
                xcb_configure_window(m_c, xcb_window_t(w->winId()), XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_flush(m_c);
    }

    xcb_connection_t *m_c;
    xcb_window_t m_root;
    uint32_t m_rootMask = 0;
    xcb_window_t m_confined = XCB_NONE;
};

std::unique_ptr<PointerGuard> g_pointer;

bool realGrab(bool grab)
{
    if (!grab) {
        g_pointer.reset();
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
    if (!held) {
        g_grabWindow.reset();
        return false;
    }
    if (xcb_connection_t *c = xConnection())
        g_pointer = std::make_unique<PointerGuard>(c);
    return true;
}

bool grab(bool on)
{
    return g_grabber ? g_grabber(on) : realGrab(on);
}

bool g_held = false;

} // namespace

void reassert(bool force)
{
    if (g_pointer)
        g_pointer->assertGrabs(force);
}

void setHeldWindow(QWidget *window)
{
    g_heldWindow = window;
    reassert(false);
}

QWidget *heldWindow()
{
    return g_heldWindow;
}

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

void ExamKeyboardLock::holdWindow(QWidget *window)
{
    KeyboardLock::setHeldWindow(window);
}

bool ExamKeyboardLock::eventFilter(QObject *watched, QEvent *event)
{
    // The held window coming on or off the screen moves the pointer's
    // confinement; a closing pop-up ended the pointer grab with its own.
    const QEvent::Type type = event->type();
    if (type == QEvent::Expose || type == QEvent::Hide) {
        QWidget *held = KeyboardLock::heldWindow();
        auto *widget = qobject_cast<QWidget *>(watched);
        const bool heldChanged = held && (watched == held || watched == held->windowHandle());
        const bool popupClosed = type == QEvent::Hide && widget && widget->windowType() == Qt::Popup;
        if (heldChanged || popupClosed)
            QMetaObject::invokeMethod(this, [popupClosed] { KeyboardLock::reassert(popupClosed); }, Qt::QueuedConnection);
    }
    // Both the press and the release of a listed combination are dropped.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        && KeyboardLock::discards(*static_cast<QKeyEvent *>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}
