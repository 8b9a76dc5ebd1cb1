// Draws the program's icon at the usual sizes of the hicolor theme.
//
//   vorn-make-icon FOLDER    writes FOLDER/<n>x<n>/vorn.png
//
// Shapes only, painted from fixed numbers on a 256-unit grid: no font is
// needed, so the build gives the same icon on every machine.
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    // A rounded tile in the blue of the screens' captions.
    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(0x2f, 0x6f, 0xb8));
    tile.setColorAt(1, QColor(0x1b, 0x47, 0x82));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    // An answer sheet with its lines.
    p.setBrush(QColor(0xfb, 0xfb, 0xf7));
    p.drawRoundedRect(QRectF(58, 36, 140, 184), 10, 10);
    p.setBrush(QColor(0x9a, 0xa9, 0xbd));
    for (int i = 0; i < 5; ++i)
        p.drawRoundedRect(QRectF(78, 64 + i * 30, i % 2 ? 72 : 100, 10), 5, 5);

    // A red tick across it: the mark of a right answer.
    QPainterPath tick;
    tick.moveTo(96, 150);
    tick.lineTo(130, 186);
    tick.lineTo(208, 96);
    QPen pen(QColor(0xd8, 0x32, 0x2b), 26, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    p.end();
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: vorn-make-icon FOLDER\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString sub = QStringLiteral("%1x%1").arg(size);
        if (!folder.mkpath(sub) || !drawIcon(size).save(folder.filePath(sub + QStringLiteral("/vorn.png")))) {
            err << "vorn-make-icon: cannot write " << folder.filePath(sub) << "\n";
            return 1;
        }
    }
    return 0;
}
