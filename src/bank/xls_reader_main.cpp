// vorn-xls-reader FILE: writes the workbook's cells to standard output in the
// form of bank/XlsWire.h. Run by the program for every spreadsheet it reads.
#include "bank/XlsWire.h"

#include <unistd.h>

#include <cerrno>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const std::string answer = XlsWire::readWorkbook(argv[1]);
    const char *p = answer.data();
    std::size_t left = answer.size();
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 1;
        p += n;
        left -= std::size_t(n);
    }
    return 0;
}
