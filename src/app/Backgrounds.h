#pragma once
// The pictures each screen paints under its controls, one row per picture.
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

class QPainter;

struct BackgroundPicture
{
    enum Kind { Png, Bmp } kind = Png;
    int id = 0;
    QPoint at;
    QSize size;         // empty = the picture's natural size
    bool brush = false; // fill the rectangle at..size with the picture as a pattern
};

QList<BackgroundPicture> backgroundOf(const QString &screenClass);

// Draws a screen's pictures with alpha blending at fixed client positions.
void paintBackground(QPainter &painter, const QString &screenClass);
void paintPicture(QPainter &painter, const BackgroundPicture &picture);
