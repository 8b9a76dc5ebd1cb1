#pragma once
// A throwaway PostgreSQL cluster of the test process: made with initdb in a
// temporary folder, run by an unprivileged user on a private socket, and
// stopped when the process ends. Never a system service.
#include <QList>
#include <QString>
#include <QStringList>

namespace ServerCluster {

// A connection string of the cluster's superuser to a new, empty database;
// empty with *error set when no cluster could be started.
QString freshDatabase(QString *error);

// The connection string of role/password to the database of connection.
QString asRole(const QString &connection, const QString &role, const QString &password);

// Plain SQL as the superuser, as an outsider with psql would; rows as text.
QList<QStringList> rows(const QString &connection, const QString &sql);
bool exec(const QString &connection, const QString &sql);

// pg_ctl restart of the running cluster (connections are cut).
bool restart();
// pg_ctl stop, and start again: a server away for a while.
bool stop();
bool start();

} // namespace ServerCluster
