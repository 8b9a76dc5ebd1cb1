#pragma once

#include <QImage>
#include <QString>

// Writes `image` as an uncompressed 32-bit BMP (BITMAPINFOHEADER, BI_RGB,
// bottom-up rows, bytes B G R A with the alpha kept in the fourth byte).
// Any QImage format is accepted; it is converted to ARGB32 first.
// The file is written to a temporary name and renamed into place only when
// every byte reached the disk, so on failure (false) an old file at `path`
// stays as it was and *error says why (in Chinese; empty for an image that
// cannot be written at all). An image whose BMP would pass the format's
// 4 GiB limit is refused.
bool writeBmp32(const QImage &image, const QString &path, QString *error = nullptr);

// The size in bytes of the 32-bit BMP of a width x height image, computed in
// 64 bits; above 0xFFFFFFFF a BMP cannot hold it.
qint64 bmp32FileSize(qint64 width, qint64 height);
