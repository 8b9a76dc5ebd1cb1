#pragma once
// What one desktop keeps as files of its working directory and an exam lab
// shares on its server, so every station reads the same: the settings text
// (departments, posts, audience groups) and the question pictures. On one
// desktop these do nothing and the files are used as they are.
#include <QByteArray>
#include <QString>

#include <optional>

namespace SharedFiles {

enum class Kind { Settings, Picture };

// The bytes the lab's server holds for the file named name; nullopt on one
// desktop, or when the server holds none (the station's file is used then).
std::optional<QByteArray> read(Kind kind, const QString &name);

// Stores the bytes on the lab's server; true on one desktop (nothing to do).
bool write(Kind kind, const QString &name, const QByteArray &bytes, QString *error = nullptr);

// A picture the station has not seen yet is fetched into path; true when
// path now exists (or on one desktop).
bool fetch(const QString &name, const QString &path);

} // namespace SharedFiles
