// Settings files damaged in ways a fuzzing run found: names ending in a lone
// GB18030 lead byte, counts that multiply, sections repeated by the million.
#include "store/Encoding.h"
#include "store/SettingsFile.h"

#include "support/VornTest.h"

#include <QFile>
#include <QStringDecoder>

namespace {

QString storeFixture(const QString &name)
{
    return QStringLiteral(VORN_SOURCE_DIR "/tests/store/fixtures/") + name;
}

class SettingsFileDamageTest : public VornTest
{
protected:
    void install(const QString &fixture)
    {
        QFile::remove(path("vornconf.ini"));
        ASSERT_TRUE(QFile::copy(storeFixture(fixture), path("vornconf.ini")));
        QFile::setPermissions(path("vornconf.ini"), QFile::ReadOwner | QFile::WriteOwner);
    }
    void writeRaw(const QByteArray &bytes)
    {
        QFile f(path("vornconf.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readRaw() const
    {
        QFile f(path("vornconf.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool isGb18030Text(const QByteArray &bytes)
    {
        QStringDecoder decoder("GB18030");
        const QString text = decoder.decode(bytes);
        return !decoder.hasError();
    }
    SettingsFile file{QString()};
    void SetUp() override
    {
        VornTest::SetUp();
        file = SettingsFile();
    }
};

const char *const kDamaged[] = {
    "settings_key_stray_byte.ini",      "settings_section_stray_byte.ini",     "settings_dept_section_stray_byte.ini",
    "settings_fuzzer_artifact_key.ini", "settings_fuzzer_artifact_section.ini",
};

} // namespace

TEST_F(SettingsFileDamageTest, EverySaveOnADamagedFileReadsBackAsSaved)
{
    const AudienceGroups groups{QStringLiteral("干部"), QStringLiteral("工人"), QStringLiteral("学员"), QStringLiteral("外聘")};
    const DepartmentTree tree{{QStringLiteral("销售部"), {QStringLiteral("经理"), QStringLiteral("业务员")}},
                              {QStringLiteral("技术部"), {}}};
    for (const char *fixture : kDamaged) {
        SCOPED_TRACE(fixture);
        install(QString::fromLatin1(fixture));
        // Whatever the damage, the reads give a defined result.
        file.readDepartmentTree();
        file.readAudienceGroups();
        file.readPostNames(0);

        // Each save, the first one included, is what the next read sees.
        ASSERT_TRUE(file.writeAudienceGroups(groups));
        EXPECT_EQ(file.readAudienceGroups(), groups);
        ASSERT_TRUE(file.writeDepartmentTree(tree));
        EXPECT_EQ(file.readDepartmentTree(), tree);
        EXPECT_EQ(file.readDepartmentNames(), (QStringList{"销售部", "技术部"}));
        EXPECT_EQ(file.readPostNames(0), (QStringList{"经理", "业务员"}));
        EXPECT_EQ(file.readAudienceGroups(), groups);
        ASSERT_TRUE(file.writeString("object", "name1", "新"));
        EXPECT_EQ(file.readString("object", "name1", ""), QStringLiteral("新"));
        EXPECT_TRUE(isGb18030Text(readRaw()));

        // And a second round on the file the first one left.
        const AudienceGroups other{QStringLiteral("甲"), QStringLiteral("乙"), QString(), QString()};
        ASSERT_TRUE(file.writeAudienceGroups(other));
        EXPECT_EQ(file.readAudienceGroups(), other);
    }
}

TEST_F(SettingsFileDamageTest, ADamagedNameIsDroppedAndAWholeOneKept)
{
    // The stray byte makes "name1\xB8" another key than name1: it reads as
    // nothing before the save, and the save leaves only the new value.
    install("settings_key_stray_byte.ini");
    EXPECT_EQ(file.readAudienceGroups()[0], QString());
    ASSERT_TRUE(file.writeAudienceGroups({"新", "", "", ""}));
    EXPECT_EQ(readRaw(), QByteArray("[object]\r\nname1=") + Encoding::toGb(QStringLiteral("新")) + "\r\nname3=\r\nname4=\r\n");

    // A section whose name ends in the stray byte is no department1.
    install("settings_dept_section_stray_byte.ini");
    EXPECT_EQ(file.readDepartmentTree(), (DepartmentTree{{SettingsFile::notFound(), {}}}));

    // Whole names of every kind survive a save byte for byte.
    const QByteArray kept = Encoding::toGb(QStringLiteral("[其他]\r\n键=值\r\n[x]\r\n; 注释 ¤\r\nk=\xF0\x9F\x98\x80\r\n"));
    writeRaw(kept);
    ASSERT_TRUE(file.writeAudienceGroups({"新", "", "", ""}));
    EXPECT_TRUE(readRaw().startsWith(kept)) << readRaw().toHex().toStdString();
}

TEST_F(SettingsFileDamageTest, CountsCannotMultiplyIntoMillionsOfPosts)
{
    // 10,000 departments each claiming 10,000 posts it does not have.
    QByteArray bomb("[INFO]\nCount=10000\n");
    for (int d = 1; d <= 10000; ++d)
        bomb += "[department" + QByteArray::number(d) + "]\nnumber=10000\n";
    bomb += "[department2]\nname=dup\n";
    bomb.replace("[department3]\nnumber=10000\n",
                 Encoding::toGb(QStringLiteral("[department3]\nname=丙\nnumber=10000\njob5=五\njob10000=末\n")));
    writeRaw(bomb);
    const DepartmentTree tree = file.readDepartmentTree();
    ASSERT_EQ(tree.size(), 10000);
    qsizetype posts = 0;
    for (const DepartmentNode &node : tree)
        posts += node.posts.size();
    // Missing posts after the last named one are left out of the tree; the
    // ones before named posts read as missing while the tree's share lasts.
    EXPECT_EQ(tree[0].posts, QStringList());
    EXPECT_EQ(tree[2].name, QStringLiteral("丙"));
    EXPECT_EQ(tree[2].posts.size(), 10000);
    EXPECT_EQ(tree[2].posts[4], QStringLiteral("五"));
    EXPECT_EQ(tree[2].posts[3], SettingsFile::notFound());
    EXPECT_EQ(tree[2].posts.last(), QStringLiteral("末"));
    EXPECT_LE(posts, SettingsFile::MaxCount + 2);
    // One department's list is still as long as its count.
    EXPECT_EQ(file.readPostNames(0).size(), 10000);
    EXPECT_EQ(file.readDepartmentNames()[1], SettingsFile::notFound()); // the first department2 wins

    // A save of that tree keeps it.
    ASSERT_TRUE(file.writeDepartmentTree(tree));
    EXPECT_EQ(file.readDepartmentTree(), tree);
    EXPECT_LT(readRaw().size(), 2 * 1024 * 1024);
}

TEST_F(SettingsFileDamageTest, RepeatedSectionsAreSavedOnceAndReadTheSame)
{
    QByteArray bytes("[INFO]\nCount=2\n[department1]\nname=first\n[object]\nname1=g\n");
    for (int i = 0; i < 100000; ++i)
        bytes += "[a]\n[INFO]\nCount=9\n[department1]\nname=later\n";
    bytes += "[department2]\nname=second\n";
    writeRaw(bytes);
    const DepartmentTree before = file.readDepartmentTree();
    EXPECT_EQ(before, (DepartmentTree{{"first", {}}, {"second", {}}}));
    ASSERT_TRUE(file.writeAudienceGroups({"g", "h", "", ""}));
    EXPECT_EQ(file.readDepartmentTree(), before);
    EXPECT_EQ(readRaw(), QByteArray("[INFO]\r\nCount=2\r\n[department1]\r\nname=first\r\n[object]\r\nname1=g\r\nname2=h\r\nname4=\r\n"
                                    "[a]\r\n[department2]\r\nname=second\r\n"));
}
