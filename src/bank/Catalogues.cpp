#include "bank/Catalogues.h"

#include "store/CADOConn.h"
#include "store/Encoding.h"

#include <QFile>

namespace Catalogues {

QStringList subjects()
{
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset(QStringLiteral("select * from Subject"), Db::Questions);
    QStringList names;
    while (!rs->isEOF()) {
        names << rs->getString(QStringLiteral("科目"));
        rs->moveNext();
    }
    conn.close();
    return names;
}

namespace {

// Thin local reader of [object] name1…name4 of vornconf.ini (GB18030,
// case-insensitive names, values cut to 259 bytes).
// TODO(settings merge): replace by SettingsFile::readAudienceGroups().
QStringList readAudienceSlots()
{
    QStringList slots(4);
    QFile file(QStringLiteral("vornconf.ini"));
    if (!file.open(QIODevice::ReadOnly))
        return slots;
    const QString text = Encoding::fromGb(file.readAll());
    bool inObject = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inObject = line.mid(1, line.indexOf(QLatin1Char(']')) - 1).trimmed().compare(
                           QLatin1String("object"), Qt::CaseInsensitive)
                       == 0;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (!inObject || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        for (int k = 1; k <= 4; ++k)
            if (key == QStringLiteral("name%1").arg(k))
                slots[k - 1] = Encoding::cutToGbBytes(line.mid(eq + 1).trimmed(), 259);
    }
    return slots;
}

} // namespace

QStringList audienceGroups()
{
    QStringList groups;
    for (const QString &g : readAudienceSlots())
        if (!g.isEmpty())
            groups << g;
    return groups;
}

} // namespace Catalogues
