#include "app/Backgrounds.h"

#include "app/Resources.h"

#include <QHash>
#include <QPainter>

QList<BackgroundPicture> backgroundOf(const QString &screenClass)
{
    using P = BackgroundPicture;
    // The watermark of the roster, the bank browser, the paper list and the
    // settings sits in a free part of its screen, not under its buttons
    // (the roster's has no free place at its natural size).
    static const QHash<QString, QList<BackgroundPicture>> table{
        {"CLogin",
         {{P::Bmp, 161, {0, 0}, {800, 600}, true}, {P::Png, 162, {380, 420}, {}}, {P::Png, 253, {35, 285}, {}}}},
        {"CAdmin", {{P::Png, 162, {550, 220}, {}}, {P::Png, 253, {230, 40}, {}}}},
        {"CExamManager", {{P::Png, 253, {305, 560}, {160, 106}}}},
        {"CExamManagement", {{P::Png, 253, {260, 540}, {160, 106}}}},
        {"CCreateExam", {{P::Png, 253, {550, 5}, {200, 133}}}},
        {"CCheckScore", {{P::Png, 253, {650, 10}, {200, 133}}}},
        {"CExamLogin", {{P::Png, 253, {80, 520}, {200, 133}}}},
        {"CExamPaper", {{P::Png, 253, {460, 510}, {200, 133}}}},
        {"CTestManage", {{P::Png, 253, {660, 425}, {210, 140}}}},
        {"CVariouSet", {{P::Png, 253, {650, 400}, {200, 133}}}},
    };
    return table.value(screenClass);
}

void paintPicture(QPainter &painter, const BackgroundPicture &p)
{
    const QImage image = p.kind == BackgroundPicture::Png ? loadPngResource(p.id) : loadBmpResource(p.id);
    if (image.isNull())
        return;
    const QSize size = p.size.isEmpty() ? image.size() : p.size;
    const QRect target(p.at, size);
    if (p.brush) {
        painter.fillRect(target, QBrush(image));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, size != image.size());
    painter.drawImage(target, image);
}

void paintBackground(QPainter &painter, const QString &screenClass)
{
    for (const BackgroundPicture &p : backgroundOf(screenClass))
        paintPicture(painter, p);
}
