// libFuzzer driver: the bytes as a question's picture file, shown in the
// picture window and captured to a BMP as the entry screen does.
#include "app/CShowMap.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("picture"));
    const QString shot = dir.filePath(QStringLiteral("shot.bmp"));
    {
        QFile f(picture);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    CShowMap window(picture);
    window.show();
    QFile::remove(shot);
    if (window.capturePicture(shot)) {
        // What was written reads back as a picture of the window's size.
        const QImage back(shot);
        if (back.size() != window.size())
            std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A damaged header may claim a picture of gigabytes; Qt's own limit
    // refuses those, as in the program.
    QImageReader::setAllocationLimit(256);
    static QApplication app(*argc, *argv);
    return 0;
}
