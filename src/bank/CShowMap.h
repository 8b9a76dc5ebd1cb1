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
    explicit CShowMap(const QString &imagePath);

    // Creates the window for the image file and shows it.
    static CShowMap *showPicture(const QString &imagePath);

    // Writes the client area as then shown into a 32-bit BMP at path
    // (an existing file is replaced); false when it cannot be written.
    bool capturePicture(const QString &path);

    QString imagePath() const { return m_path; }

    // Place and outer size for an image of the given size on a screen.
    static QPoint placeFor(const QSize &image, const QSize &screen);
    static QSize outerSizeFor(const QSize &image, const WindowMetrics &m);
    static QSize clientSizeFor(const QSize &image, const WindowMetrics &m);

protected:
    void paintPictures(QPainter &painter) override;

private:
    QString m_path;
};
