#pragma once
// The Windows faces the screens name are drawn with the installed Noto CJK faces.
class QFont;

namespace Fonts {
void installSubstitutions();

// The ascent of 宋体 at the font's size (7/8 of it). Text that the screens
// place by its top edge is placed with it: the stand-in faces have a larger
// ascent and would sit lower, over frames and borders drawn beneath it.
int nominalAscent(const QFont &font);
} // namespace Fonts
