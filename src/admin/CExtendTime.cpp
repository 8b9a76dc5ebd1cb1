#include "admin/CExtendTime.h"

#include "app/MessageBox.h"

CExtendTime::CExtendTime(const QString &examinee, QWidget *parent)
    : ScreenBase(131, KeyFilterMode::None, parent)
{
    setText(1232, QStringLiteral("考生：") + examinee);
    onClick(1001, [this] { save(); });
    onClick(1002, [this] { reject(); });
    control(1234)->setFocus();
}

void CExtendTime::save()
{
    bool ok = false;
    const int minutes = text(1234).trimmed().toInt(&ok);
    if (!ok || minutes < 1 || minutes > kMaxMinutes) {
        MessageBox::tip(this, QStringLiteral("请输入1到%1之间的分钟数！").arg(kMaxMinutes));
        return;
    }
    m_minutes = minutes;
    accept();
}
