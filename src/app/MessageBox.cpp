#include "app/MessageBox.h"

#include "store/CADOConn.h"

#include <QMessageBox>

namespace {
MessageBox::Handler g_handler;
}

namespace MessageBox {

void setHandler(Handler handler)
{
    g_handler = std::move(handler);
}

bool hasHandler()
{
    return static_cast<bool>(g_handler);
}

MsgAnswer dispatch(const ShownMessage &message)
{
    return g_handler ? g_handler(message) : MsgAnswer::Ok;
}

MsgAnswer show(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon,
               MsgButtons buttons)
{
    if (g_handler) {
        ShownMessage m;
        m.text = text;
        m.caption = caption;
        m.icon = icon;
        m.buttons = buttons;
        return g_handler(m);
    }
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    }
    if (buttons == MsgButtons::YesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
    return MsgAnswer::Ok;
}

void tip(QWidget *parent, const QString &text)
{
    show(parent, text, Caption::Tip);
}

bool confirm(QWidget *parent, const QString &text, const QString &caption)
{
    return show(parent, text, caption, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
}

void warn(QWidget *parent, const QString &text)
{
    show(parent, text, Caption::Warn, MsgIcon::Warning);
}

void plain(QWidget *parent, const QString &text)
{
    show(parent, text, Caption::Default);
}

} // namespace MessageBox

namespace {
// A database file that cannot be opened is shown the moment the store fails
// to open it, with the engine's text and the default title.
const bool g_storeReports = [] {
    CADOConn::setOpenFailureReporter(
        [](const QString &error) { MessageBox::show(nullptr, error, Caption::Default); });
    return true;
}();
} // namespace
