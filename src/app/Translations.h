#pragma once
// Qt's own texts (file dialogs, standard buttons, edit menus) in Chinese, from
// the translations Debian ships in qt6-translations-l10n.

namespace Translations {

// Loads Qt's simplified-Chinese translations into the application; false
// when they are not installed (Qt's English texts then stay).
bool install();

// Takes them out again (tests).
void remove();

// Dates, month and day names (date pickers, file dialogs) in Chinese,
// whatever the machine's locale.
void useChineseLocale();

} // namespace Translations
