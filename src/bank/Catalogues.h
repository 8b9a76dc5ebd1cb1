#pragma once
// The lists the bank screens offer: subjects from questions.mdb and the
// audience groups of the settings file.
#include <QStringList>

namespace Catalogues {

// 科目 of every row of "select * from Subject", in table order.
QStringList subjects();

// The non-empty audience groups in slot order 1 to 4.
QStringList audienceGroups();

} // namespace Catalogues
