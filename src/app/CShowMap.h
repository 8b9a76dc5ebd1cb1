#pragma once
// The question picture window: a modeless top-level window showing one
// image file at its natural size; the entry screen also stores what it
// shows as the question's BMP.
#include "app/ScreenBase.h"

// The frame the window is sized with: caption height and sizing frame.
struct WindowMetrics
{
    int captionHeight = 0;
    int frameX = 0;
    int frameY = 0;
    static WindowMetrics ofSystem();
};

class CShowMap : public ScreenBase
{
    Q_OBJECT
public:
    // owner: the modal screen the window belongs to, if any. A window of its
    // own that a modal screen owns stays usable (its close box included)
    // while that screen runs.
    explicit CShowMap(const QString &imagePath, QWidget *owner = nullptr);

    // Creates the window for the image file and shows it.
    static CShowMap *showPicture(const QString &imagePath, QWidget *owner = nullptr);

    // Writes the client area as then shown into a 32-bit BMP at path
    // (an existing file is replaced); false when it cannot be written (an
    // old file then stays, *error says why) or when the image could not be
    // decoded (*error left empty).
    bool capturePicture(const QString &path, QString *error = nullptr);

    QString imagePath() const { return m_path; }
    // The image's size; empty when it could not be decoded.
    QSize imageSize() const { return m_imageSize; }

    // The client area of the window of an image that cannot be decoded.
    static QSize emptyClient();

    // Place and outer size for an image of the given size on a screen.
    static QPoint placeFor(const QSize &image, const QSize &screen);
    static QSize outerSizeFor(const QSize &image, const WindowMetrics &m);
    static QSize clientSizeFor(const QSize &image, const WindowMetrics &m);

protected:
    void paintPictures(QPainter &painter) override;

private:
    QString m_path;
    QSize m_imageSize;
};
