// libFuzzer driver: the bytes as vornconf.ini. Every read must give a
// defined result, and each save must read back as saved.
#include "store/SettingsFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vornconf.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const SettingsFile file(path);
    file.readDepartmentNames();
    file.readPostNames(0);
    const DepartmentTree before = file.readDepartmentTree();
    file.readString(QStringLiteral("object"), QStringLiteral("name1"), QString());

    const AudienceGroups groups{QStringLiteral("干部"), QStringLiteral("工人"), QStringLiteral("学员"), QString()};
    check(file.writeAudienceGroups(groups));
    check(file.readAudienceGroups() == groups);
    // The tree as read, saved, reads back the same.
    check(file.writeDepartmentTree(before));
    check(file.readDepartmentTree() == before);
    check(file.readAudienceGroups() == groups);
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}
