#include "app/Bitmap.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <cstdint>

namespace {

std::uint32_t u32(const QByteArray &d, int at)
{
    return std::uint32_t(std::uint8_t(d[at])) | std::uint32_t(std::uint8_t(d[at + 1])) << 8
           | std::uint32_t(std::uint8_t(d[at + 2])) << 16 | std::uint32_t(std::uint8_t(d[at + 3])) << 24;
}

std::uint16_t u16(const QByteArray &d, int at)
{
    return std::uint16_t(std::uint8_t(d[at]) | std::uint8_t(d[at + 1]) << 8);
}

// Bytes B, G, R, A of pixel (x, y) in a bottom-up 32-bit BMP of the given size.
QByteArray pixelBytes(const QByteArray &d, int width, int height, int x, int y)
{
    const int offset = int(u32(d, 10));
    return d.mid(offset + ((height - 1 - y) * width + x) * 4, 4);
}

QByteArray bytes(int b, int g, int r, int a)
{
    const char raw[4] = {char(b), char(g), char(r), char(a)};
    return QByteArray(raw, 4);
}

} // namespace

TEST(Bitmap, WritesBottomUpBgraWithHeader)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("shot.bmp"));

    // Odd width: a 24-bit writer would pad rows, a 32-bit one must not.
    const int w = 3;
    const int h = 2;
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(qRgba(0, 0, 0, 255));
    img.setPixel(0, 0, qRgba(10, 20, 30, 255));   // top-left
    img.setPixel(2, 0, qRgba(200, 0, 0, 255));    // top-right
    img.setPixel(0, 1, qRgba(0, 0, 250, 255));    // bottom-left
    img.setPixel(1, 1, qRgba(40, 80, 120, 128));  // semi-transparent
    img.setPixel(2, 1, qRgba(1, 2, 3, 0));        // fully transparent, colour kept

    ASSERT_TRUE(writeBmp32(img, path));

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray d = f.readAll();

    ASSERT_EQ(d.size(), 54 + w * h * 4);
    EXPECT_EQ(d.left(2), QByteArray("BM"));
    EXPECT_EQ(u32(d, 2), std::uint32_t(d.size()));
    EXPECT_EQ(u32(d, 10), 54u);
    EXPECT_EQ(u32(d, 14), 40u);                  // BITMAPINFOHEADER
    EXPECT_EQ(std::int32_t(u32(d, 18)), w);
    EXPECT_EQ(std::int32_t(u32(d, 22)), h);      // positive: bottom-up
    EXPECT_EQ(u16(d, 26), 1);
    EXPECT_EQ(u16(d, 28), 32);
    EXPECT_EQ(u32(d, 30), 0u);                   // BI_RGB

    // The first stored row is the bottom one.
    EXPECT_EQ(d.mid(54, 4), bytes(250, 0, 0, 255));
    EXPECT_EQ(pixelBytes(d, w, h, 0, 0), bytes(30, 20, 10, 255));
    EXPECT_EQ(pixelBytes(d, w, h, 2, 0), bytes(0, 0, 200, 255));
    EXPECT_EQ(pixelBytes(d, w, h, 1, 1), bytes(120, 80, 40, 128));
    EXPECT_EQ(pixelBytes(d, w, h, 2, 1), bytes(3, 2, 1, 0));
}

TEST(Bitmap, ConvertsOtherFormats)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("rgb.bmp"));

    QImage img(2, 1, QImage::Format_RGB888);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    img.setPixel(1, 0, qRgb(250, 251, 252));
    ASSERT_TRUE(writeBmp32(img, path));

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray d = f.readAll();
    ASSERT_EQ(d.size(), 54 + 2 * 4);
    EXPECT_EQ(u16(d, 28), 32);
    EXPECT_EQ(d.mid(54, 8), bytes(3, 2, 1, 255) + bytes(252, 251, 250, 255));
}

TEST(Bitmap, FailsWithoutLeavingAFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("no/such/folder"));
    const QString path = missing + QStringLiteral("/shot.bmp");

    QImage img(4, 4, QImage::Format_ARGB32);
    img.fill(Qt::red);
    EXPECT_FALSE(writeBmp32(img, path));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(missing));

    EXPECT_FALSE(writeBmp32(QImage(), dir.filePath(QStringLiteral("null.bmp"))));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(Bitmap, SizesAreComputedIn64BitsAndWhatBmpCannotHoldIsRefused)
{
    // 2.5 GB of pixels: more than an int holds, less than a BMP does.
    EXPECT_EQ(bmp32FileSize(25000, 25000), 54 + 2'500'000'000LL);
    EXPECT_EQ(bmp32FileSize(32767, 32767), 54 + 4LL * 32767 * 32767);
    EXPECT_GT(bmp32FileSize(32768, 32768), 0xFFFFFFFFLL);

    // A picture of more than 4 GiB is refused before any pixel is read.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage huge(40000, 30000, QImage::Format_ARGB32); // never touched: costs address space only
    if (huge.isNull())
        GTEST_SKIP() << "no room for the picture";
    EXPECT_FALSE(writeBmp32(huge, dir.filePath(QStringLiteral("huge.bmp"))));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}
