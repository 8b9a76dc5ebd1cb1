#pragma once
// A fresh working directory for a bank benchmark, and raw engine access
// for the bare baselines.
#include "store/CADOConn.h"
#include "store/WorkDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
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

// A database file of the working directory as a bare engine handle, keyed
// (the key is checked at once, as the program checks it).
inline sqlite3 *openKeyed(const QString &file)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(QDir::current().filePath(file)).constData(), &db, SQLITE_OPEN_READWRITE,
                    nullptr);
    sqlite3_key(db, Db::Password, int(std::strlen(Db::Password)));
    sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    return db;
}

// The questions file as a bare engine handle.
inline sqlite3 *openBare()
{
    return openKeyed(Db::Questions);
}

// 40,000 单选题, 20,000 判断题 and 填空题, 10,000 多选题 and 问答题.
inline void fillBank()
{
    sqlite3 *db = openBare();
    const std::pair<const char *, int> types[] = {
        {"单选题", 40000}, {"判断题", 20000}, {"填空题", 20000}, {"多选题", 10000}, {"问答题", 10000}};
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const auto &[type, n] : types) {
        sqlite3_stmt *insert = nullptr;
        const QByteArray sql = QByteArray("insert into ") + type
                               + " (科目,题型,题干,答案,A,B,C,D,E,难度,对象) values (?,?,?,?,?,?,?,?,?,?,?)";
        sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr);
        for (int i = 1; i <= n; ++i) {
            const QByteArray subject = "科目" + QByteArray::number(i % 10);
            const QByteArray stem = "第" + QByteArray::number(i) + "题：下列关于安全生产的说法中，哪一项是正确的？";
            const QByteArray a = "选项内容A" + QByteArray::number(i);
            const QByteArray cells[] = {subject, type, stem, "A", a, "选项内容B", "选项内容C", "选项内容D", "", "中等", "干部"};
            for (int c = 0; c < 11; ++c)
                sqlite3_bind_text(insert, c + 1, cells[c].constData(), int(cells[c].size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

inline double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The bare engine's share: steps a prepared selection to its end in every
// iteration, touching the texts of columns first to last - 1, then
// finalizes it and closes db.
inline void bareRead(benchmark::State &state, sqlite3 *db, sqlite3_stmt *select, int first, int last)
{
    int rows = 0;
    for (auto _ : state) {
        rows = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            for (int c = first; c < last; ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(select, c));
            ++rows;
        }
        sqlite3_reset(select);
    }
    state.counters["rows"] = rows;
    sqlite3_finalize(select);
    sqlite3_close_v2(db);
}
