// Draws the pictures under res/pictures from scratch.
//
//   QT_QPA_PLATFORM=offscreen vorn-make-pictures [folder]
//
// Everything is painted with QPainter from fixed numbers, so running it twice
// gives the same files (given the same fonts). The program's screens place
// edit boxes and buttons at fixed pixels over these pictures; keep the
// coordinates in drawStartScreen() in step with the login window.

#include "app/Bitmap.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const QString kSerif = QStringLiteral("Noto Serif CJK SC"); // stands in for 宋体
const QString kSans = QStringLiteral("Noto Sans CJK SC");

constexpr double kPi = 3.14159265358979323846;

QFont makeFont(const QString &family, double pixelSize, bool bold = false)
{
    QFont f(family);
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Small fixed-seed generator; std distributions differ between libraries.
class Rng
{
public:
    explicit Rng(std::uint32_t seed) : m_state(seed ? seed : 1) {}
    double next() // [0, 1)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return double(m_state) / 4294967296.0;
    }
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    std::uint32_t m_state;
};

QImage transparentImage(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void setupPainter(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// Text as a path whose bounding box is centred on the origin.
QPainterPath centredText(const QString &text, const QFont &font)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF r = path.boundingRect();
    path.translate(-r.center());
    return path;
}

// Draws text centred on `centre` using the font's metrics (not the ink box),
// so lines of mixed glyphs share a baseline.
void drawTextCentred(QPainter &p, const QPointF &centre, const QString &text, const QFont &font)
{
    p.setFont(font);
    const QFontMetricsF fm(font);
    const double w = fm.horizontalAdvance(text);
    const double baseline = centre.y() + (fm.ascent() - fm.descent()) / 2.0;
    p.drawText(QPointF(centre.x() - w / 2.0, baseline), text);
}

// Text whose right edge is at `right` and whose visual centre is at `cy`.
void drawTextRight(QPainter &p, double right, double cy, const QString &text, const QFont &font)
{
    p.setFont(font);
    const QFontMetricsF fm(font);
    const double w = fm.horizontalAdvance(text);
    const double baseline = cy + (fm.ascent() - fm.descent()) / 2.0;
    p.drawText(QPointF(right - w, baseline), text);
}

// Places one glyph per character along the upper part of an ellipse, spaced
// evenly by arc length, each turned to follow the curve.
void drawTextOnUpperArc(QPainter &p, const QPointF &centre, double rx, double ry, double spanDeg,
                        const QString &text, const QFont &font, const QColor &color)
{
    // Sample the arc from left to right over the top (angles measured from
    // the upward direction, clockwise).
    const int samples = 720;
    const double half = spanDeg / 2.0 * kPi / 180.0;
    std::vector<QPointF> pts;
    std::vector<double> lens;
    double total = 0;
    for (int i = 0; i <= samples; ++i) {
        const double a = -half + 2 * half * i / samples;
        const QPointF pt(centre.x() + rx * std::sin(a), centre.y() - ry * std::cos(a));
        if (!pts.empty())
            total += std::hypot(pt.x() - pts.back().x(), pt.y() - pts.back().y());
        pts.push_back(pt);
        lens.push_back(total);
    }
    const int n = int(text.size());
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    for (int k = 0; k < n; ++k) {
        if (text.at(k).isSpace())
            continue;
        const double want = n == 1 ? total / 2 : total * k / (n - 1);
        int i = 0;
        while (i < samples && lens[i] < want)
            ++i;
        const int j = i > 0 ? i - 1 : 0;
        const int jn = i < samples ? i + 1 : samples;
        const QPointF tangent = pts[jn] - pts[j];
        const double angle = std::atan2(tangent.y(), tangent.x()) * 180.0 / kPi;
        p.save();
        p.translate(pts[i]);
        p.rotate(angle);
        QPainterPath glyph = centredText(QString(text.at(k)), font);
        p.drawPath(glyph);
        p.restore();
    }
    p.restore();
}

// ---------------------------------------------------------------------------
// Emblem: monitor in a circle, slogan on the upper arc, short name below.

QImage drawEmblem()
{
    QImage img = transparentImage(100, 100);
    QPainter p(&img);
    setupPainter(p);
    const QPointF c(50, 50);

    // Disc with a gold rim and a thin inner ring.
    QRadialGradient disc(c + QPointF(-12, -14), 60);
    disc.setColorAt(0.0, QColor(255, 252, 240));
    disc.setColorAt(1.0, QColor(246, 228, 196));
    p.setPen(QPen(QColor(214, 168, 62), 3.0));
    p.setBrush(disc);
    p.drawEllipse(c, 47.5, 47.5);
    p.setPen(QPen(QColor(178, 28, 30), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 43.5, 43.5);
    p.setPen(QPen(QColor(178, 28, 30, 150), 0.8));
    p.drawEllipse(c, 31.0, 31.0);

    // Slogan between the two rings.
    drawTextOnUpperArc(p, c, 37.3, 37.3, 156, QStringLiteral("公平 公正 公开"),
                       makeFont(kSans, 10.5, true), QColor(178, 28, 30));

    // Two small stars closing the band at the sides.
    auto star = [&](const QPointF &at, double r) {
        QPainterPath s;
        for (int i = 0; i < 10; ++i) {
            const double a = -kPi / 2 + i * kPi / 5;
            const double rr = (i % 2) ? r * 0.42 : r;
            const QPointF pt(at.x() + rr * std::cos(a), at.y() + rr * std::sin(a));
            if (i == 0)
                s.moveTo(pt);
            else
                s.lineTo(pt);
        }
        s.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(178, 28, 30));
        p.drawPath(s);
    };
    star(QPointF(50 - 36.8 * std::sin(118 * kPi / 180), 50 - 36.8 * std::cos(118 * kPi / 180)), 3.6);
    star(QPointF(50 + 36.8 * std::sin(118 * kPi / 180), 50 - 36.8 * std::cos(118 * kPi / 180)), 3.6);

    // Monitor: frame, screen, neck and foot.
    const QRectF frame(33, 31, 34, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 64, 78));
    p.drawRoundedRect(frame, 2.5, 2.5);
    QLinearGradient screen(frame.topLeft(), frame.bottomRight());
    screen.setColorAt(0.0, QColor(120, 190, 240));
    screen.setColorAt(1.0, QColor(36, 96, 176));
    p.setBrush(screen);
    const QRectF glass = frame.adjusted(2.2, 2.2, -2.2, -3.6);
    p.drawRect(glass);
    // A sheen and a few "lines of text" on the screen.
    p.setBrush(QColor(255, 255, 255, 70));
    QPainterPath sheen;
    sheen.moveTo(glass.topLeft());
    sheen.lineTo(glass.left() + glass.width() * 0.55, glass.top());
    sheen.lineTo(glass.left(), glass.top() + glass.height() * 0.7);
    sheen.closeSubpath();
    p.drawPath(sheen);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(40, 38), QPointF(56, 38));
    p.drawLine(QPointF(40, 42), QPointF(60, 42));
    p.drawLine(QPointF(40, 46), QPointF(52, 46));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 210, 220));
    p.drawEllipse(QPointF(50, 53.2), 0.9, 0.9);
    p.setBrush(QColor(60, 64, 78));
    QPainterPath neck;
    neck.moveTo(46.5, 55);
    neck.lineTo(53.5, 55);
    neck.lineTo(55, 60);
    neck.lineTo(45, 60);
    neck.closeSubpath();
    p.drawPath(neck);
    p.drawRoundedRect(QRectF(40, 59.5, 20, 2.6), 1.2, 1.2);

    // Short name.
    p.setPen(QColor(178, 28, 30));
    drawTextCentred(p, QPointF(50, 70.5), QStringLiteral("Lumet"), makeFont(kSerif, 12, true));

    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// Pale brush-like writing of the product name, rising to the right.

// Fills a glyph path like a loaded brush: soft halo, body, and a slightly
// darker rim, all partly transparent.
void brushFill(QPainter &p, const QPainterPath &path, const QColor &ink, double halo)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = 3; i >= 1; --i) {
        QColor c = ink;
        c.setAlphaF(ink.alphaF() * 0.10);
        p.setPen(QPen(c, halo * i, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(path);
    QColor rim = ink.darker(115);
    rim.setAlphaF(std::min(1.0, ink.alphaF() * 0.8));
    p.setPen(QPen(rim, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

void drawBrushName(QPainter &p, const QPointF &centre, double angleDeg, double glyphPx,
                   double spacing, const QColor &ink)
{
    const QString name = QStringLiteral("鲁美考试系统");
    const QFont font = makeFont(kSerif, glyphPx, true);
    // Slight changes of size, lift and tilt per character read as handwriting.
    const double scale[] = {1.06, 0.96, 1.02, 0.94, 1.04, 0.98};
    const double lift[] = {0.0, 0.05, -0.04, 0.03, -0.02, 0.04};
    const double tilt[] = {-3, 2, -1, 3, -2, 1};
    const int n = int(name.size());
    p.save();
    p.translate(centre);
    p.rotate(-angleDeg);
    for (int i = 0; i < n; ++i) {
        const double x = (i - (n - 1) / 2.0) * glyphPx * spacing;
        p.save();
        p.translate(x, lift[i] * glyphPx);
        p.rotate(tilt[i]);
        p.scale(scale[i], scale[i]);
        // Italic slant, like a quick running hand.
        QTransform shear;
        shear.shear(-0.22, 0);
        p.setTransform(shear, true);
        brushFill(p, centredText(QString(name.at(i)), font), ink, glyphPx * 0.02);
        p.restore();
    }
    p.restore();
}

QImage drawWatermark()
{
    QImage img = transparentImage(400, 266);
    QPainter p(&img);
    setupPainter(p);
    drawBrushName(p, QPointF(200, 133), 30.0, 62, 1.02, QColor(236, 120, 150, 105));
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// Score chart page: title, ink-wash landscape, pale watermark.

// A ridge line from left to right: a few sine waves plus fixed-seed jitter.
QPainterPath mountainRange(double width, double baseY, double height, double peaks, double phase,
                           std::uint32_t seed, double bottom)
{
    Rng rng(seed);
    const int steps = 160;
    std::vector<double> jitter(steps + 1);
    double j = 0;
    for (double &v : jitter) {
        j = j * 0.82 + rng.range(-1.0, 1.0);
        v = j;
    }
    QPainterPath path;
    path.moveTo(-10, bottom);
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double x = -10 + (width + 20) * t;
        const double wave = 0.55 * std::sin(t * peaks * kPi + phase)
                            + 0.30 * std::sin(t * peaks * 2.3 * kPi + phase * 1.7)
                            + 0.15 * std::sin(t * peaks * 5.1 * kPi + phase * 0.6);
        const double h = std::max(0.0, (wave + 0.35) / 1.35);
        const double y = baseY - height * h * h + jitter[i] * height * 0.025;
        path.lineTo(x, y);
    }
    path.lineTo(width + 10, bottom);
    path.closeSubpath();
    return path;
}

void fillMist(QPainter &p, const QPainterPath &ridge, double top, double bottom, const QColor &ink)
{
    // Dark at the crest, fading into mist towards the foot.
    QLinearGradient g(0, top, 0, bottom);
    QColor a = ink;
    QColor b = ink;
    b.setAlpha(0);
    g.setColorAt(0.0, a);
    a.setAlpha(ink.alpha() * 2 / 3);
    g.setColorAt(0.35, a);
    g.setColorAt(1.0, b);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(ridge);
}

void drawPine(QPainter &p, const QPointF &foot, double height, const QColor &ink, std::uint32_t seed)
{
    Rng rng(seed);
    p.save();
    // Leaning, slightly crooked trunk.
    const QPointF top(foot.x() + height * 0.12, foot.y() - height);
    QPainterPath stem;
    stem.moveTo(foot);
    stem.cubicTo(QPointF(foot.x() - height * 0.10, foot.y() - height * 0.35),
                 QPointF(foot.x() + height * 0.18, foot.y() - height * 0.65), top);
    p.setPen(QPen(ink, height * 0.045, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);

    // Flat clumps of needles on short branches, alternating sides, the top
    // one crowning the trunk; each clump is a few overlapping ink dabs.
    const int clumps = 5;
    for (int i = 0; i < clumps; ++i) {
        const bool crown = i == clumps - 1;
        const double t = crown ? 1.0 : 0.38 + 0.52 * i / (clumps - 2);
        const QPointF on = stem.pointAtPercent(t);
        const double side = crown ? 0.0 : (i % 2 ? 1.0 : -1.0);
        const double reach = height * (0.26 - 0.12 * t);
        const QPointF c(on.x() + side * reach, on.y() - height * 0.015);
        if (!crown) {
            p.setPen(QPen(ink, height * 0.022, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(on, c);
        }
        const double w = height * (crown ? 0.30 : 0.38 - 0.16 * t);
        const double hh = w * 0.32;
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 3; ++k) {
            QColor dab = ink;
            dab.setAlpha(ink.alpha() * (k == 1 ? 5 : 3) / 5);
            p.setBrush(dab);
            const double dx = (k - 1) * w * 0.22 + rng.range(-1.0, 1.0) * w * 0.04;
            const double dy = (k == 1 ? -hh * 0.25 : 0) + rng.range(-1.0, 1.0) * hh * 0.1;
            const double ww = w * (k == 1 ? 0.62 : 0.46);
            QPainterPath d;
            d.moveTo(c.x() + dx - ww / 2, c.y() + dy + hh * 0.25);
            d.cubicTo(QPointF(c.x() + dx - ww * 0.35, c.y() + dy - hh * 0.75),
                      QPointF(c.x() + dx + ww * 0.35, c.y() + dy - hh * 0.75),
                      QPointF(c.x() + dx + ww / 2, c.y() + dy + hh * 0.25));
            d.quadTo(QPointF(c.x() + dx, c.y() + dy + hh * 0.5),
                     QPointF(c.x() + dx - ww / 2, c.y() + dy + hh * 0.25));
            p.drawPath(d);
        }
    }
    p.restore();
}

void drawBoat(QPainter &p, const QPointF &at, double len, const QColor &ink)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPainterPath hull;
    hull.moveTo(at.x() - len / 2, at.y() - len * 0.08);
    hull.quadTo(QPointF(at.x(), at.y() + len * 0.16), QPointF(at.x() + len / 2, at.y() - len * 0.1));
    hull.quadTo(QPointF(at.x(), at.y() + len * 0.03), QPointF(at.x() - len / 2, at.y() - len * 0.08));
    p.drawPath(hull);
    // Fisherman with a hat and a pole.
    p.drawEllipse(QPointF(at.x() + len * 0.08, at.y() - len * 0.13), len * 0.05, len * 0.08);
    QPainterPath hat;
    hat.moveTo(at.x() + len * 0.0, at.y() - len * 0.19);
    hat.lineTo(at.x() + len * 0.08, at.y() - len * 0.27);
    hat.lineTo(at.x() + len * 0.16, at.y() - len * 0.19);
    hat.closeSubpath();
    p.drawPath(hat);
    p.setPen(QPen(ink, len * 0.018, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(at.x() + len * 0.1, at.y() - len * 0.1),
               QPointF(at.x() - len * 0.45, at.y() - len * 0.42));
    // Ripples.
    QColor r = ink;
    r.setAlpha(ink.alpha() / 2);
    p.setPen(QPen(r, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(at.x() - len * 0.6, at.y() + len * 0.1), QPointF(at.x() - len * 0.2, at.y() + len * 0.1));
    p.drawLine(QPointF(at.x() + len * 0.25, at.y() + len * 0.12), QPointF(at.x() + len * 0.7, at.y() + len * 0.12));
    p.drawLine(QPointF(at.x() - len * 0.2, at.y() + len * 0.2), QPointF(at.x() + len * 0.35, at.y() + len * 0.2));
    p.restore();
}

void drawBirds(QPainter &p, const QPointF &at, double size, const QColor &ink)
{
    const QPointF offs[] = {{0, 0}, {1.6, 0.7}, {3.0, -0.4}};
    p.save();
    p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (const QPointF &o : offs) {
        const QPointF c = at + o * size;
        QPainterPath b;
        b.moveTo(c.x() - size * 0.5, c.y() - size * 0.1);
        b.quadTo(QPointF(c.x() - size * 0.25, c.y() - size * 0.3), c);
        b.quadTo(QPointF(c.x() + size * 0.25, c.y() - size * 0.3), QPointF(c.x() + size * 0.5, c.y() - size * 0.12));
        p.drawPath(b);
    }
    p.restore();
}

QImage drawChartPage()
{
    const int w = 656;
    const int h = 928;
    QImage img = transparentImage(w, h);
    QPainter p(&img);
    setupPainter(p);

    // Rice-paper ground with a faint warm tone and soft fibres.
    QLinearGradient paper(0, 0, 0, h);
    paper.setColorAt(0.0, QColor(255, 254, 250));
    paper.setColorAt(1.0, QColor(250, 247, 238));
    p.fillRect(img.rect(), paper);
    {
        Rng rng(232);
        for (int i = 0; i < 260; ++i) {
            const QPointF a(rng.range(0, w), rng.range(0, h));
            const double ang = rng.range(0, kPi);
            const double len = rng.range(6, 22);
            p.setPen(QPen(QColor(200, 185, 150, int(rng.range(8, 20))), 0.8));
            p.drawLine(a, a + QPointF(std::cos(ang) * len, std::sin(ang) * len));
        }
    }

    // Pale sun.
    QRadialGradient sun(QPointF(505, 600), 38);
    sun.setColorAt(0.0, QColor(226, 120, 110, 70));
    sun.setColorAt(0.8, QColor(226, 120, 110, 55));
    sun.setColorAt(1.0, QColor(226, 120, 110, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(505, 600), 38, 38);

    drawBirds(p, QPointF(150, 585), 9, QColor(90, 90, 90, 110));

    // Mountains from far (pale) to near (darker).
    fillMist(p, mountainRange(w, 760, 150, 2.2, 0.4, 11, h), 610, 800, QColor(150, 158, 165, 60));
    fillMist(p, mountainRange(w, 800, 170, 1.6, 2.3, 23, h), 640, 840, QColor(120, 126, 132, 85));
    fillMist(p, mountainRange(w, 860, 120, 2.8, 4.1, 37, h), 740, 900, QColor(80, 84, 88, 110));

    // Near bank on the lower left with pines.
    QPainterPath bank;
    bank.moveTo(-10, h + 10);
    bank.lineTo(-10, 835);
    bank.cubicTo(QPointF(60, 815), QPointF(120, 825), QPointF(170, 858));
    bank.cubicTo(QPointF(210, 884), QPointF(280, 905), QPointF(360, h + 10));
    bank.closeSubpath();
    // The near bank hides the hills behind it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(251, 248, 241));
    p.drawPath(bank);
    fillMist(p, bank, 820, 940, QColor(55, 58, 60, 150));
    drawPine(p, QPointF(52, 832), 100, QColor(45, 48, 50, 160), 1);
    drawPine(p, QPointF(104, 830), 74, QColor(45, 48, 50, 135), 2);
    drawPine(p, QPointF(142, 842), 50, QColor(45, 48, 50, 115), 3);

    // Water and a small boat.
    drawBoat(p, QPointF(430, 888), 58, QColor(60, 62, 64, 150));

    // Pale diagonal watermark.
    drawBrushName(p, QPointF(w / 2.0, 470), 33.0, 84, 1.04, QColor(225, 120, 135, 34));

    // Title.
    const QFont title = makeFont(kSerif, 40, true);
    // Set glyph by glyph for wider letter spacing.
    const QString titleText = QStringLiteral("考试成绩统计");
    QPainterPath t;
    for (int i = 0; i < titleText.size(); ++i) {
        QPainterPath g = centredText(QString(titleText.at(i)), title);
        g.translate(w / 2.0 + (i - (titleText.size() - 1) / 2.0) * 50, 62);
        t.addPath(g);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 20, 20, 50));
    p.drawPath(t.translated(1.5, 1.5));
    p.setBrush(QColor(200, 22, 28));
    p.drawPath(t);
    // Thin red rule with a diamond under the title.
    p.setPen(QPen(QColor(200, 22, 28, 160), 1.2));
    p.drawLine(QPointF(w / 2.0 - 170, 98), QPointF(w / 2.0 - 10, 98));
    p.drawLine(QPointF(w / 2.0 + 10, 98), QPointF(w / 2.0 + 170, 98));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 22, 28, 190));
    QPainterPath diamond;
    diamond.moveTo(w / 2.0, 93);
    diamond.lineTo(w / 2.0 + 5, 98);
    diamond.lineTo(w / 2.0, 103);
    diamond.lineTo(w / 2.0 - 5, 98);
    diamond.closeSubpath();
    p.drawPath(diamond);

    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// Oval stamp: the name along the top, an empty box for a score below.

QImage drawStamp()
{
    QImage img = transparentImage(130, 78);
    QPainter p(&img);
    setupPainter(p);
    const QColor red(214, 30, 36, 235);
    const QPointF c(65, 39);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(red, 2.6));
    p.drawEllipse(c, 62.5, 36.5);
    p.setPen(QPen(red, 0.9));
    p.drawEllipse(c, 58.5, 33.0);

    drawTextOnUpperArc(p, c + QPointF(0, 9), 47, 26.5, 126, QStringLiteral("鲁美考试系统"),
                       makeFont(kSans, 13, true), red);

    // Box for the score.
    p.setPen(QPen(red, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(37.5, 43.5, 55, 22));

    // Uneven ink, as from a real seal: knock small specks out of the strokes.
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    Rng rng(233);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const QPointF at(rng.range(0, 130), rng.range(0, 78));
        const double r = rng.range(0.3, 0.9);
        p.setBrush(QColor(0, 0, 0, int(rng.range(90, 200))));
        p.drawEllipse(at, r, r);
    }
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// Start screen.

// An auspicious cloud: a few bumps on a flat base, with curls inside.
void drawCloud(QPainter &p, const QPointF &at, double s, const QColor &fill, const QColor &line)
{
    QPainterPath body;
    body.addEllipse(QPointF(at.x() - 1.0 * s, at.y()), 0.75 * s, 0.6 * s);
    body.addEllipse(QPointF(at.x(), at.y() - 0.35 * s), 0.85 * s, 0.8 * s);
    body.addEllipse(QPointF(at.x() + 1.05 * s, at.y() - 0.05 * s), 0.7 * s, 0.62 * s);
    body.addRoundedRect(QRectF(at.x() - 1.6 * s, at.y() - 0.1 * s, 3.2 * s, 0.7 * s), 0.35 * s, 0.35 * s);
    body = body.simplified();
    p.save();
    p.setBrush(fill);
    p.setPen(QPen(line, std::max(1.0, s * 0.08)));
    p.drawPath(body);
    // Spiral curls.
    auto curl = [&](const QPointF &c, double r, bool mirror) {
        QPainterPath sp;
        const int turns = 90;
        for (int i = 0; i <= turns; ++i) {
            const double t = double(i) / turns;
            const double a = t * 1.6 * 2 * kPi * (mirror ? -1 : 1);
            const double rr = r * (1.0 - 0.8 * t);
            const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
            if (i == 0)
                sp.moveTo(pt);
            else
                sp.lineTo(pt);
        }
        p.setBrush(Qt::NoBrush);
        p.drawPath(sp);
    };
    curl(QPointF(at.x(), at.y() - 0.35 * s), 0.45 * s, false);
    curl(QPointF(at.x() - 1.0 * s, at.y() + 0.05 * s), 0.32 * s, true);
    curl(QPointF(at.x() + 1.05 * s, at.y() - 0.02 * s), 0.3 * s, false);
    p.restore();
}

void drawLantern(QPainter &p, const QPointF &top, double w, double h)
{
    const QColor gold(240, 196, 90);
    p.save();
    const double cx = top.x();
    const double bodyTop = top.y() + h * 0.18;
    const double bodyH = h * 0.62;
    // Cord.
    p.setPen(QPen(gold, 1.5));
    p.drawLine(QPointF(cx, top.y()), QPointF(cx, bodyTop));
    // Caps.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 170, 60));
    p.drawRoundedRect(QRectF(cx - w * 0.28, bodyTop - 3, w * 0.56, 7), 2, 2);
    p.drawRoundedRect(QRectF(cx - w * 0.28, bodyTop + bodyH - 4, w * 0.56, 7), 2, 2);
    // Body.
    QRadialGradient glow(QPointF(cx - w * 0.12, bodyTop + bodyH * 0.4), w * 0.7);
    glow.setColorAt(0.0, QColor(255, 92, 60));
    glow.setColorAt(0.6, QColor(222, 30, 30));
    glow.setColorAt(1.0, QColor(150, 10, 14));
    p.setBrush(glow);
    p.setPen(QPen(QColor(120, 8, 10), 1));
    p.drawEllipse(QRectF(cx - w / 2, bodyTop + 2, w, bodyH - 3));
    // Ribs.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(250, 200, 100, 150), 1.1));
    for (double f : {0.22, 0.5}) {
        p.drawEllipse(QRectF(cx - w / 2 * f, bodyTop + 2, w * f, bodyH - 3));
    }
    p.drawLine(QPointF(cx, bodyTop + 2), QPointF(cx, bodyTop + bodyH - 1));
    // 福 on the lantern.
    p.setPen(QColor(255, 222, 120));
    drawTextCentred(p, QPointF(cx, bodyTop + bodyH * 0.5), QStringLiteral("福"),
                    makeFont(kSerif, w * 0.42, true));
    // Tassel.
    const double tasselTop = bodyTop + bodyH + 3;
    p.setPen(QPen(gold, 1.2));
    p.drawLine(QPointF(cx, tasselTop), QPointF(cx, tasselTop + 5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 190, 80));
    p.drawEllipse(QPointF(cx, tasselTop + 6), 2.6, 2.6);
    QPainterPath tassel;
    tassel.moveTo(cx - 2, tasselTop + 7);
    tassel.lineTo(cx + 2, tasselTop + 7);
    tassel.lineTo(cx + w * 0.14, top.y() + h);
    tassel.lineTo(cx - w * 0.14, top.y() + h);
    tassel.closeSubpath();
    p.setBrush(QColor(222, 40, 40));
    p.drawPath(tassel);
    p.setPen(QPen(QColor(170, 20, 20), 0.7));
    for (int i = -2; i <= 2; ++i)
        p.drawLine(QPointF(cx + i * 0.6, tasselTop + 9), QPointF(cx + i * w * 0.05, top.y() + h - 1));
    p.restore();
}

// A band of the Greek-key ("回" pattern) along a line.
void drawKeyBand(QPainter &p, double y, double x0, double x1, double cell, const QColor &c)
{
    p.save();
    p.setPen(QPen(c, 1.3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const double u = cell / 4.0;
    for (double x = x0; x + cell <= x1 + 0.1; x += cell) {
        QPainterPath k;
        k.moveTo(x, y + 4 * u);
        k.lineTo(x, y);
        k.lineTo(x + 3 * u, y);
        k.lineTo(x + 3 * u, y + 3 * u);
        k.lineTo(x + 1 * u, y + 3 * u);
        k.lineTo(x + 1 * u, y + 1 * u);
        k.lineTo(x + 2 * u, y + 1 * u);
        k.lineTo(x + 2 * u, y + 2 * u);
        k.moveTo(x, y + 4 * u);
        k.lineTo(x + 4 * u, y + 4 * u);
        p.drawPath(k);
    }
    p.restore();
}

void drawLoginPanel(QPainter &p, double centreX, const QString &heading, double labelRight,
                    double editX)
{
    const QRectF panel(centreX - 168, 168, 336, 222);
    // Drop shadow, then a cream card with a gold double border.
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        p.setBrush(QColor(40, 0, 0, 12));
        p.drawRoundedRect(panel.translated(2, 3).adjusted(-i, -i, i, i), 10 + i, 10 + i);
    }
    QLinearGradient card(panel.topLeft(), panel.bottomLeft());
    card.setColorAt(0.0, QColor(255, 250, 238));
    card.setColorAt(1.0, QColor(250, 238, 214));
    p.setBrush(card);
    p.setPen(QPen(QColor(226, 178, 74), 2.5));
    p.drawRoundedRect(panel, 10, 10);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(190, 40, 36, 150), 1));
    p.drawRoundedRect(panel.adjusted(5, 5, -5, -5), 7, 7);

    // Heading band.
    const double hy = 195;
    p.setPen(QColor(160, 18, 22));
    drawTextCentred(p, QPointF(centreX, hy), heading, makeFont(kSerif, 22, true));
    p.setPen(QPen(QColor(214, 160, 60), 1.4));
    const double half = 88;
    p.drawLine(QPointF(centreX - half - 46, hy), QPointF(centreX - half - 6, hy));
    p.drawLine(QPointF(centreX + half + 6, hy), QPointF(centreX + half + 46, hy));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 36));
    for (double dx : {-half - 50.0, half + 50.0}) {
        QPainterPath d;
        d.moveTo(centreX + dx, hy - 4);
        d.lineTo(centreX + dx + 4, hy);
        d.lineTo(centreX + dx, hy + 4);
        d.lineTo(centreX + dx - 4, hy);
        d.closeSubpath();
        p.drawPath(d);
    }
    p.setPen(QPen(QColor(214, 160, 60, 160), 1));
    p.drawLine(QPointF(panel.left() + 24, 222), QPointF(panel.right() - 24, 222));

    // Labels and the places of the edit boxes.
    const QFont label = makeFont(kSerif, 17, true);
    p.setPen(QColor(96, 30, 20));
    drawTextRight(p, labelRight, 259, QStringLiteral("用户名："), label);
    drawTextRight(p, labelRight, 309, QStringLiteral("密\u3000码："), label);
    for (double y : {246.0, 296.0}) {
        const QRectF box(editX, y, 180, 26);
        p.setPen(QPen(QColor(200, 160, 110), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(-1.5, -1.5, 1.5, 1.5));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(box);
    }
}

QImage drawStartScreen()
{
    const int w = 800;
    const int h = 600;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    setupPainter(p);

    // Deep red ground, a little brighter in the middle.
    QLinearGradient ground(0, 0, 0, h);
    ground.setColorAt(0.0, QColor(150, 12, 16));
    ground.setColorAt(0.45, QColor(178, 20, 24));
    ground.setColorAt(1.0, QColor(118, 6, 10));
    p.fillRect(img.rect(), ground);
    QRadialGradient warm(QPointF(400, 330), 420);
    warm.setColorAt(0.0, QColor(230, 60, 40, 60));
    warm.setColorAt(1.0, QColor(230, 60, 40, 0));
    p.fillRect(img.rect(), warm);

    // Faint gold lattice of small diamonds all over.
    p.setPen(QPen(QColor(255, 200, 90, 14), 1));
    for (int k = -h; k < w + h; k += 28) {
        p.drawLine(QPointF(k, 0), QPointF(k + h, h));
        p.drawLine(QPointF(k, 0), QPointF(k - h, h));
    }

    // Scattered pale clouds in the lower part, kept very faint so the
    // buttons placed there stay clear.
    drawCloud(p, QPointF(70, 470), 26, QColor(255, 210, 110, 16), QColor(255, 210, 110, 40));
    drawCloud(p, QPointF(720, 500), 30, QColor(255, 210, 110, 16), QColor(255, 210, 110, 40));
    drawCloud(p, QPointF(400, 560), 18, QColor(255, 210, 110, 12), QColor(255, 210, 110, 30));

    // Bottom border.
    p.fillRect(QRectF(0, 572, w, 28), QColor(100, 4, 8, 120));
    p.setPen(QPen(QColor(226, 178, 74), 1.5));
    p.drawLine(QPointF(0, 572.5), QPointF(w, 572.5));
    drawKeyBand(p, 578, 4, w - 4, 16, QColor(226, 178, 74, 170));

    // Banner across the top.
    QLinearGradient banner(0, 0, 0, 150);
    banner.setColorAt(0.0, QColor(206, 32, 30));
    banner.setColorAt(1.0, QColor(160, 14, 18));
    p.fillRect(QRectF(0, 0, w, 150), banner);
    QRadialGradient bannerGlow(QPointF(400, 70), 330);
    bannerGlow.setColorAt(0.0, QColor(255, 120, 60, 70));
    bannerGlow.setColorAt(1.0, QColor(255, 120, 60, 0));
    p.fillRect(QRectF(0, 0, w, 150), bannerGlow);
    drawCloud(p, QPointF(235, 38), 20, QColor(255, 205, 100, 40), QColor(255, 215, 120, 120));
    drawCloud(p, QPointF(580, 122), 16, QColor(255, 205, 100, 40), QColor(255, 215, 120, 120));
    drawCloud(p, QPointF(630, 30), 14, QColor(255, 205, 100, 30), QColor(255, 215, 120, 100));
    drawCloud(p, QPointF(190, 120), 13, QColor(255, 205, 100, 30), QColor(255, 215, 120, 100));
    p.fillRect(QRectF(0, 132, w, 18), QColor(120, 6, 10, 110));
    drawKeyBand(p, 135, 4, w - 4, 12, QColor(240, 196, 90, 190));
    p.setPen(QPen(QColor(240, 196, 90), 2));
    p.drawLine(QPointF(0, 131), QPointF(w, 131));
    p.drawLine(QPointF(0, 149), QPointF(w, 149));

    drawLantern(p, QPointF(52, 0), 50, 112);
    drawLantern(p, QPointF(118, 0), 38, 84);
    drawLantern(p, QPointF(748, 0), 50, 112);
    drawLantern(p, QPointF(682, 0), 38, 84);

    // Title in gold with a dark shadow.
    {
        const QFont latin = makeFont(kSerif, 44, true);
        const QFont cjk = makeFont(kSerif, 46, true);
        QPainterPath title;
        title.addText(0, 0, latin, QStringLiteral("Lumet"));
        const double gap = 18;
        const double latinW = QFontMetricsF(latin).horizontalAdvance(QStringLiteral("Lumet"));
        title.addText(latinW + gap, 0, cjk, QStringLiteral("鲁美考试系统"));
        const QRectF r = title.boundingRect();
        title.translate(QPointF(400, 68) - r.center());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 0, 0, 150));
        p.drawPath(title.translated(2.5, 3));
        QLinearGradient gold(0, r.top() - r.center().y() + 68, 0, r.bottom() - r.center().y() + 68);
        gold.setColorAt(0.0, QColor(255, 244, 190));
        gold.setColorAt(0.5, QColor(252, 210, 100));
        gold.setColorAt(1.0, QColor(220, 150, 40));
        p.setBrush(gold);
        p.setPen(QPen(QColor(130, 40, 10, 160), 0.8));
        p.drawPath(title);
        // Subtitle line.
        p.setPen(QColor(255, 225, 150, 220));
        drawTextCentred(p, QPointF(400, 112), QStringLiteral("公平 · 公正 · 公开"),
                        makeFont(kSerif, 15, false));
    }

    drawLoginPanel(p, 198, QStringLiteral("考试管理员登录"), 145, 150);
    drawLoginPanel(p, 594, QStringLiteral("系统管理员登录"), 541, 546);

    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// Button faces.

QImage drawButton(int w, int h, const QColor &top, const QColor &bottom, const QColor &textColor,
                  const QString &text, double textPx, const QColor &rim)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    setupPainter(p);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0.0, top.lighter(118));
    g.setColorAt(0.48, top);
    g.setColorAt(0.52, bottom.lighter(106));
    g.setColorAt(1.0, bottom);
    p.fillRect(img.rect(), g);
    // Raised edge: light top-left, dark bottom-right.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(rim);
    p.drawRect(0, 0, w - 1, h - 1);
    p.setPen(QColor(255, 255, 255, 110));
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 2);
    p.setPen(QColor(0, 0, 0, 70));
    p.drawLine(1, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, 1, w - 2, h - 2);
    p.setRenderHint(QPainter::Antialiasing, true);

    const QFont f = makeFont(kSans, textPx, true);
    QPainterPath t = centredText(text, f);
    t.translate(w / 2.0, h / 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawPath(t.translated(1, 1));
    p.setBrush(textColor);
    p.drawPath(t);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// 16 x 16 toolbar pictures.

// Toolbar pictures may be read by a loader that ignores alpha in 32-bit BMPs,
// so the colour under transparent pixels is the usual light toolbar grey.
QImage matteForToolbar(const QImage &art)
{
    const QColor matte(240, 240, 240);
    QImage src = art.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        auto *o = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(in[x]);
            auto mix = [&](int c, int m) { return (c * a + m * (255 - a) + 127) / 255; };
            o[x] = qRgba(mix(qRed(in[x]), matte.red()), mix(qGreen(in[x]), matte.green()),
                         mix(qBlue(in[x]), matte.blue()), a);
        }
    }
    return out;
}

QImage drawReturnIcon()
{
    QImage img = transparentImage(16, 16);
    QPainter p(&img);
    setupPainter(p);
    const QColor ink(22, 110, 60);
    // A hook: from lower right up and over to the left, ending in an arrowhead.
    QPainterPath shaft;
    shaft.moveTo(13.0, 14.0);
    shaft.lineTo(13.0, 9.0);
    shaft.cubicTo(QPointF(13.0, 6.2), QPointF(11.5, 5.0), QPointF(9.0, 5.0));
    shaft.lineTo(5.5, 5.0);
    p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shaft);
    QPainterPath head;
    head.moveTo(0.5, 5.0);
    head.lineTo(6.5, 0.0);
    head.lineTo(6.5, 10.0);
    head.closeSubpath();
    p.setPen(QPen(ink, 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(40, 150, 80));
    p.drawPath(head);
    p.end();
    return matteForToolbar(img);
}

QImage drawSaveIcon()
{
    QImage img = transparentImage(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Body with the top-right corner cut.
    QPolygon body;
    body << QPoint(1, 1) << QPoint(13, 1) << QPoint(15, 3) << QPoint(15, 15) << QPoint(1, 15);
    p.setPen(QColor(20, 40, 90));
    p.setBrush(QColor(50, 90, 170));
    p.drawPolygon(body);
    // Metal shutter with its slot.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 206, 214));
    p.drawRect(QRect(4, 2, 8, 5));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRect(9, 3, 2, 3));
    // White label with ruled lines.
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRect(3, 9, 10, 6));
    p.setPen(QColor(150, 160, 180));
    p.drawLine(4, 11, 11, 11);
    p.drawLine(4, 13, 11, 13);
    p.end();
    return matteForToolbar(img);
}

// ---------------------------------------------------------------------------

bool savePng(const QImage &img, const QString &path)
{
    return img.save(path, "PNG");
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("res/pictures");
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << "\n";
        return 1;
    }

    bool ok = true;
    auto put = [&](bool written, const QString &name) {
        if (!written) {
            QTextStream(stderr) << "cannot write " << dir.filePath(name) << "\n";
            ok = false;
        }
    };

    put(savePng(drawEmblem(), dir.filePath("png162.png")), "png162.png");
    put(savePng(drawWatermark(), dir.filePath("png253.png")), "png253.png");
    put(savePng(drawChartPage(), dir.filePath("png232.png")), "png232.png");
    put(savePng(drawStamp(), dir.filePath("png233.png")), "png233.png");

    put(writeBmp32(drawStartScreen(), dir.filePath("bmp161.bmp")), "bmp161.bmp");
    put(writeBmp32(drawButton(180, 30, QColor(124, 64, 176), QColor(86, 36, 138), Qt::white,
                              QStringLiteral("登 录"), 16, QColor(60, 20, 100)),
                   dir.filePath("bmp159.bmp")),
        "bmp159.bmp");
    put(writeBmp32(drawButton(120, 40, QColor(160, 24, 28), QColor(112, 8, 14), Qt::white,
                              QStringLiteral("我要考试"), 18, QColor(226, 178, 74)),
                   dir.filePath("bmp154.bmp")),
        "bmp154.bmp");
    put(writeBmp32(drawButton(100, 50, QColor(255, 178, 72), QColor(240, 128, 28),
                              QColor(196, 16, 20), QStringLiteral("退 出"), 20, QColor(170, 70, 10)),
                   dir.filePath("bmp155.bmp")),
        "bmp155.bmp");
    put(writeBmp32(drawReturnIcon(), dir.filePath("bmp227.bmp")), "bmp227.bmp");
    put(writeBmp32(drawSaveIcon(), dir.filePath("bmp228.bmp")), "bmp228.bmp");

    return ok ? 0 : 1;
}
