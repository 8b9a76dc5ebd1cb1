#include "store/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qsizetype kBufferSize = 64 * 1024;
}

SafeFile::SafeFile(QString path)
    : m_path(std::move(path))
{
}

SafeFile::~SafeFile()
{
    discard();
}

bool SafeFile::open()
{
    discard();
    m_failed = false;
    m_error.clear();
    const QFileInfo target(m_path);
    m_temp = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                               + QStringLiteral(".XXXXXX"));
    m_fd = ::mkostemp(m_temp.data(), O_CLOEXEC);
    if (m_fd < 0) {
        const int err = errno;
        m_temp.clear();
        return fail(err);
    }
    // The new file gets the old one's permissions, or those of a new file.
    struct stat st {};
    mode_t mode;
    if (::stat(QFile::encodeName(m_path).constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(m_fd, mode);
    m_buffer.reserve(kBufferSize);
    return true;
}

bool SafeFile::write(QByteArrayView bytes)
{
    if (m_failed || m_fd < 0)
        return false;
    if (m_buffer.size() + bytes.size() > kBufferSize && !flushBuffer())
        return false;
    if (bytes.size() >= kBufferSize)
        return writeAll(bytes.data(), bytes.size());
    m_buffer.append(bytes);
    return true;
}

bool SafeFile::flushBuffer()
{
    if (!writeAll(m_buffer.constData(), m_buffer.size()))
        return false;
    m_buffer.resize(0);
    return true;
}

bool SafeFile::writeAll(const char *p, qsizetype left)
{
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (n == 0)
            return fail(ENOSPC);
        p += n;
        left -= n;
    }
    return true;
}

bool SafeFile::commit()
{
    if (m_failed || m_fd < 0)
        return false;
    if (!flushBuffer())
        return false;
    // A full disk may show only here, when the blocks are really allocated.
    if (::fsync(m_fd) != 0)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(m_temp.constData());
        m_temp.clear();
        return fail(err);
    }
    if (::rename(m_temp.constData(), QFile::encodeName(m_path).constData()) != 0) {
        const int err = errno;
        ::unlink(m_temp.constData());
        m_temp.clear();
        return fail(err);
    }
    m_temp.clear();
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(QFile::encodeName(QFileInfo(m_path).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void SafeFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.isEmpty()) {
        ::unlink(m_temp.constData());
        m_temp.clear();
    }
    m_buffer.clear();
}

bool SafeFile::fail(int err)
{
    m_failed = true;
    m_error = SafeWrite::reason(err);
    discard();
    return false;
}

namespace SafeWrite {

bool writeFile(const QString &path, QByteArrayView bytes, QString *error)
{
    SafeFile file(path);
    const bool ok = file.open() && file.write(bytes) && file.commit();
    if (!ok && error)
        *error = file.errorText();
    return ok;
}

QString placeFile(const QString &made, const QString &path)
{
    QFile source(made);
    QString error;
    if (!source.open(QIODevice::ReadOnly))
        error = reason(source.error() == QFileDevice::PermissionsError ? EACCES : EIO);
    else if (writeFile(path, source.readAll(), &error))
        return QString();
    return QStringLiteral("无法写入文件：%1\n原因：%2。").arg(path, error);
}

QString reason(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间已满，文件无法写完");
    case EFBIG:
        return QStringLiteral("文件超过了系统允许的大小");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有在该文件夹中写入文件的权限");
    case EROFS:
        return QStringLiteral("该磁盘是只读的");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹不存在");
    case EIO:
        return QStringLiteral("磁盘读写出错");
    default:
        return QStringLiteral("文件无法写入（%1）").arg(QString::fromLocal8Bit(std::strerror(err)));
    }
}

} // namespace SafeWrite
