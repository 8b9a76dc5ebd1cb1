#include "app/CShowMap.h"
#include "support/VornTest.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

TEST(CShowMap, PlacedAndSizedFromTheImageAndTheFrame)
{
    // The whole picture with the close strip below it; scaled down, keeping
    // its proportions, only where the room is too small.
    EXPECT_EQ(CShowMap::shownSizeFor(QSize(300, 200), QSize(1024, 768)), QSize(300, 200));
    EXPECT_EQ(CShowMap::clientSizeFor(QSize(300, 200)), QSize(300, 200 + CShowMap::BarHeight));
    EXPECT_EQ(CShowMap::shownSizeFor(QSize(2000, 1000), QSize(1000, 532)), QSize(1000, 500));
    EXPECT_EQ(CShowMap::shownSizeFor(QSize(0, 0), QSize(1024, 768)), QSize(0, 0));
    EXPECT_EQ(CShowMap::placeFor(QSize(300, 232), QSize(1024, 768)), QPoint(241, 178));
}

TEST(CShowMap, CapturesTheClientAreaAsA32BitBmp)
{
    QTemporaryDir dir;
    QImage img(120, 80, QImage::Format_RGB32);
    img.fill(qRgb(10, 120, 240));
    const QString jpg = dir.filePath("pic.jpg");
    ASSERT_TRUE(img.save(jpg, "JPG", 100));

    CShowMap window(jpg);
    window.show();
    saveShot(&window, "CShowMap");
    EXPECT_EQ(window.windowTitle(), "考题图片");
    const QString bmp = dir.filePath("out.bmp");
    ASSERT_TRUE(window.capturePicture(bmp));
    QFile f(bmp);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(30);
    EXPECT_EQ(head.left(2), "BM");
    EXPECT_EQ(int(uchar(head[28])), 32);
    const QImage shot(bmp);
    EXPECT_EQ(shot.size(), QSize(120, 80)); // the picture, whole
    const QRgb p = shot.pixel(10, 10);
    EXPECT_NEAR(qBlue(p), 240, 6);
    EXPECT_NEAR(qRed(p), 10, 6);
}

TEST(CShowMap, AnImageThatCannotBeDecodedGivesAnEmptyWindow)
{
    QTemporaryDir dir;
    const QString broken = dir.filePath("broken.bmp");
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM not really a bitmap");
    f.close();
    CShowMap window(broken);
    window.show();
    saveShot(&window, "CShowMap-undecodable");
    // A small empty frame the user sees and can close; nothing drawn in it.
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.imageSize().isEmpty());
    EXPECT_EQ(window.size(), CShowMap::emptyClient());
    const QImage shown = window.grab().toImage();
    const QRgb ground = shown.pixel(0, 0);
    for (int y = 0; y < shown.height() - CShowMap::BarHeight; y += 7) // above the close button
        for (int x = 0; x < shown.width(); x += 7)
            ASSERT_EQ(shown.pixel(x, y), ground) << x << "," << y;
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.capturePicture(dir.filePath("out.bmp")));
    EXPECT_FALSE(QFile::exists(dir.filePath("out.bmp")));
}
