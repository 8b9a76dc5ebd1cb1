#include "admin/CExtendTime.h"

#include "app/MessageBox.h"

CExtendTime::CExtendTime(const QString &examinee, QWidget *parent)
    : ScreenBase(133, KeyFilterMode::None, parent)
{
    setText(Examinee, QStringLiteral("考生：") + examinee);
    onClick(Save, [this] { save(); });
    onClick(Cancel, [this] { reject(); });
    control(Minutes)->setFocus();
}

void CExtendTime::save()
{
    bool ok = false;
    const int minutes = text(Minutes).trimmed().toInt(&ok);
    if (!ok || minutes < 1 || minutes > kMaxMinutes) {
        MessageBox::tip(this, QStringLiteral("请输入1到%1之间的分钟数！").arg(kMaxMinutes));
        return;
    }
    m_minutes = minutes;
    accept();
}
