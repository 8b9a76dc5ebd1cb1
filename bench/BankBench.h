#pragma once
// A fresh working directory for a bank benchmark, and raw engine access
// for the bare baselines.
#include "store/CADOConn.h"
#include "store/WorkDir.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

struct BenchWorkDir
{
    QTemporaryDir dir;
    BenchWorkDir()
    {
        QString error;
        if (!dir.isValid() || !WorkDir::prepare(dir.path(), &error)) {
            std::fprintf(stderr, "cannot prepare a working directory: %s\n", qPrintable(error));
            std::exit(1);
        }
        QDir::setCurrent(dir.path());
    }
};

// The questions file opened as a bare engine handle, keyed.
inline sqlite3 *openBare()
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2("questions.mdb", &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, Db::Password, int(std::strlen(Db::Password)));
    sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    return db;
}

inline double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}
