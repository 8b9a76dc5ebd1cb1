#pragma once
// Texts are held as UTF-8 in code and databases; wherever bytes are counted,
// cut or digested they are the bytes of GB18030 (a superset of GBK).
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Encoding {

QByteArray toGb(const QString &text);
QString fromGb(QByteArrayView bytes);

// Number of GB18030 bytes of the text.
qsizetype gbLength(const QString &text);

// The longest prefix of the text whose GB18030 bytes fit in maxBytes,
// never splitting a character.
QString cutToGbBytes(const QString &text, qsizetype maxBytes);

} // namespace Encoding
