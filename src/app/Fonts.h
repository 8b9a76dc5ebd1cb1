#pragma once
// The Windows faces the screens name are drawn with the installed Noto CJK faces.
namespace Fonts {
void installSubstitutions();
}
