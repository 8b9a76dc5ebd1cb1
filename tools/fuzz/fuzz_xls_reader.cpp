// libFuzzer driver: the bytes as a .xls file through the whole spreadsheet
// reader, in one process: what vorn-xls-reader does with FreeXL, then the
// program's reading of its answer. A crash inside freexl_* is the library's:
// the program survives it, as FreeXL runs only in the reader process (see
// src/store/XlsWire.h); anything else is ours.
#include "store/XlsReader.h"
#include "store/XlsWire.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.xls"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const std::string answer = XlsWire::readWorkbook(QFile::encodeName(path).constData());
    XlsWorkbook book;
    if (book.openAnswer(QByteArrayView(answer.data(), qsizetype(answer.size()))))
        for (const QString &name : book.sheetNames())
            book.sheet(name);
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}
