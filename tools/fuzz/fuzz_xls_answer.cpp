// libFuzzer driver: the bytes as the answer of the spreadsheet reader
// process, which the program must refuse or read within its bounds however
// a dying reader garbles it.
#include "store/XlsReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    XlsWorkbook book;
    if (!book.openAnswer(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;
    for (const QString &name : book.sheetNames())
        if (const auto sheet = book.sheet(name))
            for (const auto &row : sheet->rows)
                if (row.size() != size_t(sheet->columns.size()))
                    std::abort();
    return 0;
}
