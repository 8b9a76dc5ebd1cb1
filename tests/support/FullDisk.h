#pragma once
// A genuinely full disk: a small file system of its own (tmpfs) mounted on a
// folder, filled up to the last byte on request. Mounting needs the right to
// mount (root in a container that allows it); tests skip without it.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class FullDisk
{
public:
    FullDisk(const QString &folder, int kib)
        : m_folder(folder)
    {
        QDir().mkpath(folder);
        const QByteArray options = "size=" + QByteArray::number(kib) + "k";
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0)
            m_mounted = true;
        else
            m_why = QStringLiteral("cannot mount a small tmpfs here (%1): no full disk to test on")
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString why() const { return m_why; }
    QString path(const QString &name) const { return QDir(m_folder).filePath(name); }

    // Writes a filler file until the disk refuses one more byte.
    void fill()
    {
        const int fd = ::open(QFile::encodeName(path(QStringLiteral(".filler"))).constData(),
                              O_WRONLY | O_CREAT | O_APPEND, 0600);
        static const char block[4096] = {};
        while (::write(fd, block, sizeof block) > 0) {
        }
        while (::write(fd, block, 1) > 0) {
        }
        ::close(fd);
    }

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_why;
};
