// vorn-xls-reader FILE: writes the workbook's cells to standard output in the
// form of store/XlsWire.h. Run by the program for every spreadsheet it reads.
#include "store/XlsWire.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__has_feature)
#define VORN_LIMIT_MEMORY 1
#elif defined(__has_feature)
#if !__has_feature(address_sanitizer)
#define VORN_LIMIT_MEMORY 1
#endif
#endif
#ifdef VORN_LIMIT_MEMORY
    // A damaged workbook may make FreeXL ask for any amount of memory; the
    // reader dies instead of the machine swapping (the program then refuses
    // the file). An address sanitizer needs more address space than this.
    const rlimit limit{2ul << 30, 2ul << 30};
    setrlimit(RLIMIT_AS, &limit);
#endif
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
