#include "app/CShowMap.h"

#include "app/Bitmap.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

namespace {

QSize screenRoom()
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry().size();
    return QSize(1024, 768);
}

} // namespace

CShowMap::CShowMap(const QString &imagePath, QWidget *owner)
    : ScreenBase(121, KeyFilterMode::None, owner), m_path(imagePath)
{
    setModal(false);
    const QImage image(m_path);
    m_imageSize = image.isNull() ? QSize(0, 0) : image.size();
    onClick(CloseButton, [this] { close(); });
    setMinimumSize(0, 0);
    // The whole picture, as far as the screen allows.
    const QSize room = screenRoom();
    showAt(shownSizeFor(m_imageSize, room));
    move(placeFor(size(), room));
}

CShowMap *CShowMap::showPicture(const QString &imagePath, QWidget *owner)
{
    auto *window = new CShowMap(imagePath, owner);
    window->show();
    return window;
}

void CShowMap::showAt(const QSize &shown)
{
    m_shown = shown;
    // An image that cannot be decoded has no size: its window is a small
    // empty one, so the choice is still seen and can be closed.
    const QSize client = m_imageSize.isEmpty() ? emptyClient() : clientSizeFor(m_shown);
    setFixedSize(client);
    control(CloseButton)->setGeometry(client.width() - 88, client.height() - BarHeight + 4, 80, BarHeight - 8);
    update();
}

void CShowMap::placeWithin(const QRect &area)
{
    showAt(shownSizeFor(m_imageSize, area.size()));
    move(area.topLeft());
}

QSize CShowMap::emptyClient()
{
    return QSize(160, 60);
}

QSize CShowMap::shownSizeFor(const QSize &image, const QSize &room)
{
    if (image.isEmpty())
        return QSize(0, 0);
    const QSize fit(std::max(room.width(), 1), std::max(room.height() - BarHeight, 1));
    if (image.width() <= fit.width() && image.height() <= fit.height())
        return image;
    return image.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QSize CShowMap::clientSizeFor(const QSize &shown)
{
    // Wide enough for the close button on its strip.
    return QSize(std::max(shown.width(), 100), shown.height() + BarHeight);
}

QPoint CShowMap::placeFor(const QSize &window, const QSize &screen)
{
    return QPoint(std::max((screen.width() - window.width()) / 3, 0), std::max((screen.height() - window.height()) / 3, 0));
}

void CShowMap::paintPictures(QPainter &painter)
{
    // Loaded afresh on every paint.
    const QImage image(m_path);
    if (image.isNull() || m_shown.isEmpty())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), image);
}

bool CShowMap::capturePicture(const QString &path, QString *error)
{
    if (m_imageSize.isEmpty() || m_shown.isEmpty())
        return false;
    const QImage shot = grab(pictureRect()).toImage();
    return writeBmp32(shot, path, error);
}
