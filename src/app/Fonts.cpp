#include "app/Fonts.h"

#include <QFont>
#include <QFontInfo>
#include <QStringList>

#include <cmath>

namespace Fonts {

void installSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei")});
    QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg"),
                               {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
                                QStringLiteral("DejaVu Sans")});
}

int nominalAscent(const QFont &font)
{
    return int(std::lround(QFontInfo(font).pixelSize() * 7.0 / 8.0));
}

} // namespace Fonts
