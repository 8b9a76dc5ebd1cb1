#pragma once
// Prepares a working directory as delivered: both encrypted databases with
// every stored table, LastPass holding the initial digests, the empty picture
// folder and the spreadsheet templates. Used by vorn-setup and by the tests.
#include <QString>

namespace WorkDir {

// Creates dir if needed. Refuses a directory that already holds either
// database; never overwrites anything. On failure nothing new is left behind
// but the directory itself.
bool prepare(const QString &dir, QString *error);

// Creates one database file (Db::Questions or Db::Personnel) at path with its
// stored tables; the file appears whole or not at all.
bool createDatabase(const QString &path, const QString &file, QString *error);

} // namespace WorkDir
