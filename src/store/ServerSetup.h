#pragma once
// Makes an empty PostgreSQL database the home of an exam lab: the two stores
// as two schemas, the tables of what one desktop keeps in files, the initial
// password digests, and the role the stations log in with. Used by
// vorn-setup --server and by the tests.
#include <QString>

namespace ServerSetup {

struct Result
{
    QString error;           // empty on success
    QString stationRole;     // the role the stations log in as
    QString stationPassword; // made now; empty when the role existed already
};

// Creates everything on the database at connection (a libpq connection
// string of a user allowed to create schemas and roles), all of it or nothing.
// Refuses a database that holds the stores already.
Result create(const QString &connection, const QString &stationRole = QStringLiteral("vorn_station"));

// Copies the stores of the working directory dir onto a database made by
// create(), then checks every integrity code there; when one fails nothing
// is kept. Returns the error, empty on success.
QString copyFrom(const QString &connection, const QString &dir);

} // namespace ServerSetup
