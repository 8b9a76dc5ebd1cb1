#include "store/Encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Encoding {

// One stateless converter per thread: opening a converter costs more than
// converting a short text.
QStringEncoder &encoder()
{
    thread_local QStringEncoder e("GB18030", QStringEncoder::Flag::Stateless);
    return e;
}

QByteArray toGb(const QString &text)
{
    return encoder().encode(text);
}

QString fromGb(QByteArrayView bytes)
{
    thread_local QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

qsizetype gbLength(const QString &text)
{
    return toGb(text).size();
}

QString cutToGbBytes(const QString &text, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return QString();
    if (gbLength(text) <= maxBytes)
        return text;
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        qsizetype bytes = QByteArray(encoder().encode(QStringView(text).mid(i, len))).size();
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        i += len;
    }
    return text.left(i);
}

} // namespace Encoding
