#include "bank/CAddAltNode.h"

#include "app/MessageBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

CAddAltNode::CAddAltNode(Mode mode, const QString &currentName, QWidget *parent)
    : ScreenBase(113, KeyFilterMode::None, parent)
{
    if (mode == Mode::Alt) {
        control(AddTitle)->hide();
        setText(NameLabel, QStringLiteral("修改为："));
        setText(CurrentName, currentName);
    } else {
        control(AltTitle)->hide();
        setText(NameLabel, QStringLiteral("节点名："));
        control(CurrentName)->hide();
        control(CurrentLabel)->hide();
    }
    onClick(Save, [this] { save(); });
    onClick(Cancel, [this] { reject(); });
    control(Name)->setFocus();
}

void CAddAltNode::save()
{
    const QString name = text(Name);
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
