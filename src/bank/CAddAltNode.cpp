#include "bank/CAddAltNode.h"

#include "app/MessageBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

CAddAltNode::CAddAltNode(Mode mode, const QString &currentName, QWidget *parent)
    : ScreenBase(113, KeyFilterMode::None, parent)
{
    if (mode == Mode::Alt) {
        control(1226)->hide();
        setText(1227, QStringLiteral("修改为："));
        setText(1223, currentName);
    } else {
        control(1224)->hide();
        setText(1227, QStringLiteral("节点名："));
        control(1223)->hide();
        control(1225)->hide();
    }
    onClick(1001, [this] { save(); });
    onClick(1002, [this] { reject(); });
    control(1097)->setFocus();
}

void CAddAltNode::save()
{
    const QString name = text(1097);
    // ";" would break the texts later built from department and post names.
    if (name.contains(u';')) {
        MessageBox::tip(this, QStringLiteral("名称中不能含有';'！"));
        return;
    }
    m_name = name;
    accept();
}

void CAddAltNode::keyPressEvent(QKeyEvent *event)
{
    // There is no default button: Enter closes without applying the name,
    // unless a button has the focus, which it then presses.
    if (!enterWithoutDefaultButton(event))
        ScreenBase::keyPressEvent(event);
}
