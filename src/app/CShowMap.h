#pragma once
// The question picture window: a modeless top-level window showing one
// image file whole, with a "关闭" button below it (a window manager's frame
// may be missing); the entry screen also stores what it shows as the
// question's BMP.
#include "app/ScreenBase.h"

#include <QRect>

class CShowMap : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 121.
    enum Ids : int {
        CloseButton = 2, // below the picture
    };
    // Height of the strip below the picture that holds the close button.
    static constexpr int BarHeight = 32;

    // owner: the modal screen the window belongs to, if any. A window of its
    // own that a modal screen owns stays usable (its close button included)
    // while that screen runs.
    explicit CShowMap(const QString &imagePath, QWidget *owner = nullptr);

    // Creates the window for the image file and shows it.
    static CShowMap *showPicture(const QString &imagePath, QWidget *owner = nullptr);

    // Moves the window into area (screen coordinates), the picture scaled
    // down, never up, until the window fits.
    void placeWithin(const QRect &area);

    // Writes the picture as then shown into a 32-bit BMP at path (an
    // existing file is replaced); false when it cannot be written (an old
    // file then stays, *error says why) or when the image could not be
    // decoded (*error left empty).
    bool capturePicture(const QString &path, QString *error = nullptr);

    QString imagePath() const { return m_path; }
    // The image's size; empty when it could not be decoded.
    QSize imageSize() const { return m_imageSize; }
    // Where the picture is drawn in the window.
    QRect pictureRect() const { return QRect(QPoint(0, 0), m_shown); }

    // The client area of the window of an image that cannot be decoded.
    static QSize emptyClient();

    // The picture's shown size: the image, scaled down keeping its
    // proportions when the window (picture and close strip) would not fit
    // into room.
    static QSize shownSizeFor(const QSize &image, const QSize &room);
    // The window's client size for a shown picture size.
    static QSize clientSizeFor(const QSize &shown);
    // Place for a window of the given size on a screen.
    static QPoint placeFor(const QSize &window, const QSize &screen);

protected:
    void paintPictures(QPainter &painter) override;

private:
    void showAt(const QSize &shown);

    QString m_path;
    QSize m_imageSize;
    QSize m_shown;
};
