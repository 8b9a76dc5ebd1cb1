#include "app/CShowMap.h"

#include "app/Bitmap.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QStyle>

WindowMetrics WindowMetrics::ofSystem()
{
    QStyle *style = QApplication::style();
    WindowMetrics m;
    m.captionHeight = style->pixelMetric(QStyle::PM_TitleBarHeight);
    m.frameX = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    m.frameY = m.frameX;
    return m;
}

CShowMap::CShowMap(const QString &imagePath, QWidget *owner)
    : ScreenBase(121, KeyFilterMode::None, owner), m_path(imagePath)
{
    setModal(false);
    const QImage image(m_path);
    m_imageSize = image.isNull() ? QSize(0, 0) : image.size();
    QSize screenSize(1024, 768);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        screenSize = screen->geometry().size();
    // An image that cannot be decoded has no size: its window is a small
    // empty frame, so the choice is still seen and can be closed.
    const QSize client = m_imageSize.isEmpty() ? emptyClient() : clientSizeFor(m_imageSize, WindowMetrics::ofSystem());
    setMinimumSize(0, 0);
    setFixedSize(client);
    move(placeFor(m_imageSize, screenSize));
}

CShowMap *CShowMap::showPicture(const QString &imagePath, QWidget *owner)
{
    auto *window = new CShowMap(imagePath, owner);
    window->show();
    return window;
}

QSize CShowMap::emptyClient()
{
    // Room for the caption with its close box.
    return QSize(160, 60);
}

QPoint CShowMap::placeFor(const QSize &image, const QSize &screen)
{
    return QPoint((screen.width() - image.width()) / 3, (screen.height() - image.height()) / 3);
}

QSize CShowMap::outerSizeFor(const QSize &image, const WindowMetrics &m)
{
    return QSize(image.width() + m.frameX / 2, image.height() + m.frameY / 2 + m.captionHeight);
}

QSize CShowMap::clientSizeFor(const QSize &image, const WindowMetrics &m)
{
    // The outer size less the caption and the frame on both sides.
    const QSize outer = outerSizeFor(image, m);
    return QSize(qMax(0, outer.width() - 2 * m.frameX), qMax(0, outer.height() - m.captionHeight - 2 * m.frameY));
}

void CShowMap::paintPictures(QPainter &painter)
{
    // Loaded afresh on every paint, drawn at natural size from the top left.
    const QImage image(m_path);
    if (!image.isNull())
        painter.drawImage(QPoint(0, 0), image);
}

bool CShowMap::capturePicture(const QString &path, QString *error)
{
    const QSize client = size();
    if (m_imageSize.isEmpty() || client.isEmpty())
        return false;
    const QImage shot = grab(QRect(QPoint(0, 0), client)).toImage();
    return writeBmp32(shot, path, error);
}
