#include "app/Resources.h"

#include <QHash>

namespace {

QImage cached(const QString &path)
{
    // Screens repaint often; decode each picture once.
    static QHash<QString, QImage> images;
    auto it = images.find(path);
    if (it == images.end())
        it = images.insert(path, QImage(path));
    return *it;
}

} // namespace

QImage loadPngResource(int id)
{
    return cached(QStringLiteral(":/res/pictures/png%1.png").arg(id));
}

QImage loadBmpResource(int id)
{
    return cached(QStringLiteral(":/res/pictures/bmp%1.bmp").arg(id));
}
