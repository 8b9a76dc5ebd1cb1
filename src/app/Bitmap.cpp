#include "app/Bitmap.h"

#include "store/SafeFile.h"

#include <QByteArray>

#include <cstdint>
#include <limits>

namespace {

void putU16(char *at, std::uint16_t v)
{
    at[0] = char(v & 0xff);
    at[1] = char((v >> 8) & 0xff);
}

void putU32(char *at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char((v >> (8 * i)) & 0xff);
}

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kHeaderSize = kFileHeaderSize + kInfoHeaderSize;

} // namespace

qint64 bmp32FileSize(qint64 width, qint64 height)
{
    return kHeaderSize + width * height * 4;
}

bool writeBmp32(const QImage &image, const QString &path, QString *error)
{
    if (image.isNull())
        return false;
    const qint64 width = image.width();
    const qint64 height = image.height();
    const qint64 fileSize = bmp32FileSize(width, height);
    if (fileSize > qint64(std::numeric_limits<std::uint32_t>::max()))
        return false;
    const qint64 pixelBytes = fileSize - kHeaderSize;

    // Non-premultiplied, so semi-transparent pixels keep their true colour.
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    if (src.isNull())
        return false;

    char header[kHeaderSize] = {};
    char *d = header;
    // BITMAPFILEHEADER
    d[0] = 'B';
    d[1] = 'M';
    putU32(d + 2, std::uint32_t(fileSize));
    putU32(d + 10, kHeaderSize);

    // BITMAPINFOHEADER; a positive height means rows are stored bottom-up.
    char *h = d + kFileHeaderSize;
    putU32(h + 0, kInfoHeaderSize);
    putU32(h + 4, std::uint32_t(width));
    putU32(h + 8, std::uint32_t(height));
    putU16(h + 12, 1);  // planes
    putU16(h + 14, 32); // bits per pixel
    putU32(h + 16, 0);  // BI_RGB
    putU32(h + 20, std::uint32_t(pixelBytes));
    const int xRes = src.dotsPerMeterX() > 0 ? src.dotsPerMeterX() : 2835;
    const int yRes = src.dotsPerMeterY() > 0 ? src.dotsPerMeterY() : 2835;
    putU32(h + 24, std::uint32_t(xRes));
    putU32(h + 28, std::uint32_t(yRes));
    // Colours used / important stay 0.

    SafeFile file(path);
    auto fail = [&] {
        if (error)
            *error = file.errorText();
        return false;
    };
    if (!file.open() || !file.write(QByteArrayView(header, kHeaderSize)))
        return fail();
    // Row by row, so a large picture never needs a second copy in memory.
    // Rows of 4-byte pixels are already 4-byte aligned: no padding.
    QByteArray row(width * 4, Qt::Uninitialized);
    for (qint64 y = height - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(src.constScanLine(int(y)));
        char *out = row.data();
        for (qint64 x = 0; x < width; ++x) {
            const QRgb px = line[x];
            *out++ = char(qBlue(px));
            *out++ = char(qGreen(px));
            *out++ = char(qRed(px));
            *out++ = char(qAlpha(px));
        }
        if (!file.write(row))
            return fail();
    }
    return file.commit() || fail();
}
