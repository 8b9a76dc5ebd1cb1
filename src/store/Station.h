#pragma once
// Which engine serves this station: the files of its working directory (one
// desktop, the default) or the exam lab's PostgreSQL server, named by the
// station file station.ini of the working directory or by $VORN_SERVER.
//
// station.ini:
//   [server]
//   connection = host=lab-server dbname=vorn user=vorn_station sslmode=verify-full
//
// The password is in the file only when no other user can read it, or in
// the user's PostgreSQL password file (~/.pgpass).
#include <QString>

namespace Station {

inline const QString FileName = QStringLiteral("station.ini");

struct Choice
{
    QString server; // a libpq connection string; empty: the files
    QString error;  // for the user; the program does not start
};

// The station file of dir wins over the environment.
Choice read(const QString &dir);

} // namespace Station
