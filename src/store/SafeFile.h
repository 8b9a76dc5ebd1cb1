#pragma once
// The one way the program replaces a file of its own (the settings file,
// question pictures, chart pictures, printed papers): the bytes go to a
// temporary file in the target's folder, every write, the flush and the sync
// to disk are checked, and only then is the temporary file renamed over the
// target. On any failure the target stays exactly as it was and the
// temporary file is removed. (QSaveFile renames even when its last buffered
// flush fails, and ignores a failed sync: on a full disk that replaced a
// good file by an empty one.)
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class SafeFile
{
public:
    explicit SafeFile(QString path);
    ~SafeFile(); // discards what was not committed
    SafeFile(const SafeFile &) = delete;
    SafeFile &operator=(const SafeFile &) = delete;

    bool open();
    // Buffered; a failure may show here or at commit, never only afterwards.
    bool write(QByteArrayView bytes);
    // Flushes, syncs, closes and renames. False leaves the target untouched.
    bool commit();
    void discard();

    // Why the last operation failed, in Chinese, for a message to the user.
    QString errorText() const { return m_error; }

private:
    bool flushBuffer();
    bool writeAll(const char *p, qsizetype left);
    bool fail(int err);

    QString m_path;
    QByteArray m_temp; // native name of the temporary file
    QByteArray m_buffer;
    int m_fd = -1;
    bool m_failed = false;
    QString m_error;
};

namespace SafeWrite {

// Writes bytes as the whole new content of path; false (with *error) keeps
// the old file.
bool writeFile(const QString &path, QByteArrayView bytes, QString *error = nullptr);

// Writes a file a library made elsewhere (in a temporary folder) as the
// whole new content of path. Empty on success, else the message for the
// user naming path and why.
QString placeFile(const QString &made, const QString &path);

// The user's explanation of a system error number (disk full, no permission, ...).
QString reason(int err);

} // namespace SafeWrite
