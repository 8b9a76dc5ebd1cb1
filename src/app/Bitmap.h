#pragma once

#include <QImage>
#include <QString>

// Writes `image` as an uncompressed 32-bit BMP (BITMAPINFOHEADER, BI_RGB,
// bottom-up rows, bytes B G R A with the alpha kept in the fourth byte).
// Any QImage format is accepted; it is converted to ARGB32 first.
// The file is written to a temporary name and renamed into place, so on
// failure (false) nothing is left at `path`.
bool writeBmp32(const QImage &image, const QString &path);
