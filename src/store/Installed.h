#pragma once
// Where the program's own files are: beside the running executable in a
// build folder, else where the Debian package puts them under /usr.
#include <QString>

namespace Installed {

// The program's version ("1.0.0").
QString version();

// A helper program (vorn-xls-reader): beside the executable, else in the
// package's private folder (/usr/libexec/vorn).
QString helperProgram(const QString &name);

// A data file (wordtest.docx): beside the executable, else in the package's
// data folder (/usr/share/vorn).
QString dataFile(const QString &name);

} // namespace Installed
