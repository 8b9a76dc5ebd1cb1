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

// Whether dir holds either database: a working directory already, perhaps damaged.
bool holdsDatabase(const QString &dir);

struct Choice
{
    QString path;
    bool prepared = false; // made now, as vorn-setup makes one
    QString error;         // set when the folder could not be prepared
};

// The folder the program works in: asked (--workdir) when given, else the
// current folder when it holds a database (run.sh, set-ups of older
// versions), else the user's own folder under the XDG data folder. A chosen
// folder without databases is prepared.
Choice choose(const QString &asked, const QString &current, const QString &userFolder);

// $XDG_DATA_HOME/vorn, by default ~/.local/share/vorn.
QString userFolder();

} // namespace WorkDir
