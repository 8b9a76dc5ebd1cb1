#include "store/Encoding.h"
#include "store/SettingsFile.h"

#include "support/VornTest.h"

#include "store/CADOConn.h"

#include <QFile>
#include <QStringDecoder>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SettingsFileTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        file = SettingsFile(); // in the test's working directory
    }
    void writeRaw(const QByteArray &bytes)
    {
        QFile f(path("vornconf.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void writeGb(const QString &text) { writeRaw(Encoding::toGb(text)); }
    QByteArray readRaw() const
    {
        QFile f(path("vornconf.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The saved file must be valid GB18030 made only of headers, entries and comments.
    void expectClean(const QByteArray &bytes)
    {
        QStringDecoder decoder("GB18030");
        const QString text = decoder.decode(bytes);
        EXPECT_FALSE(decoder.hasError());
        for (const QString &line : text.split(QStringLiteral("\r\n"))) {
            if (line.isEmpty())
                continue;
            EXPECT_TRUE((line.startsWith(u'[') && line.endsWith(u']')) || line.contains(u'=') || line.startsWith(u';'))
                << line.toStdString();
            for (QChar c : line)
                EXPECT_GE(c.unicode(), 0x20) << line.toStdString();
        }
    }

    SettingsFile file{QString()};
};

} // namespace

TEST_F(SettingsFileTest, MissingFileReadsDefaultsAndIsNotCreated)
{
    EXPECT_TRUE(file.readDepartmentNames().isEmpty());
    EXPECT_TRUE(file.readPostNames(0).isEmpty());
    EXPECT_TRUE(file.readPostNames(-1).isEmpty());
    EXPECT_TRUE(file.readDepartmentTree().isEmpty());
    EXPECT_EQ(file.readAudienceGroups(), AudienceGroups{});
    EXPECT_TRUE(file.audienceGroupList().isEmpty());
    EXPECT_EQ(file.readString("department1", "name", SettingsFile::notFound()), QStringLiteral("没找到信息"));
    EXPECT_EQ(file.readInt("INFO", "Count", 7), 7);
    EXPECT_FALSE(QFile::exists(path("vornconf.ini")));
}

TEST_F(SettingsFileTest, TreeReplacesTheWholeCatalogue)
{
    DepartmentTree five;
    for (int d = 1; d <= 5; ++d)
        five << DepartmentNode{QStringLiteral("部门%1").arg(d), {QStringLiteral("岗%1").arg(d)}};
    ASSERT_TRUE(file.writeDepartmentTree(five));
    ASSERT_EQ(file.readDepartmentNames().size(), 5);

    // Two departments of one name keep their own posts; one has none.
    const DepartmentTree three{{QStringLiteral("财务部"), {QStringLiteral("会计"), QStringLiteral("出纳")}},
                               {QStringLiteral("财务部"), {QStringLiteral("审计")}},
                               {QStringLiteral("后勤"), {}}};
    ASSERT_TRUE(file.writeDepartmentTree(three));

    EXPECT_EQ(file.readDepartmentNames(), (QStringList{"财务部", "财务部", "后勤"}));
    EXPECT_EQ(file.readPostNames(0), (QStringList{"会计", "出纳"}));
    EXPECT_EQ(file.readPostNames(1), (QStringList{"审计"}));
    EXPECT_TRUE(file.readPostNames(2).isEmpty());
    EXPECT_TRUE(file.readPostNames(3).isEmpty());
    EXPECT_EQ(file.readDepartmentTree(), three);

    const QString text = Encoding::fromGb(readRaw());
    EXPECT_TRUE(text.contains(QStringLiteral("[INFO]\r\nCount=3\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("department4")));
    EXPECT_FALSE(text.contains(QStringLiteral("department5")));
    EXPECT_EQ(text.count(QStringLiteral("[INFO]")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("[department1]\r\nname=财务部\r\njob1=会计\r\njob2=出纳\r\nnumber=2\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[department3]\r\nname=后勤\r\n")));
    EXPECT_EQ(text.count(QStringLiteral("number=")), 2); // no number key without posts
    expectClean(readRaw());
}

TEST_F(SettingsFileTest, StaleSectionAboveTheCountLendsNoPosts)
{
    // department2 lies beyond Count from an older save; a new department 2
    // without posts must not inherit its posts.
    writeGb("[INFO]\r\nCount=1\r\n[department1]\r\nname=甲\r\n"
            "[department2]\r\nname=旧\r\njob1=旧岗\r\nnumber=1\r\n[department3]\r\nname=更旧\r\n");
    ASSERT_TRUE(file.writeDepartmentTree({{QStringLiteral("甲"), {}}, {QStringLiteral("乙"), {}}}));
    EXPECT_EQ(file.readDepartmentNames(), (QStringList{"甲", "乙"}));
    EXPECT_TRUE(file.readPostNames(1).isEmpty());
    // Sections above both counts are left alone.
    EXPECT_EQ(file.readString("department3", "name", ""), QStringLiteral("更旧"));
}

TEST_F(SettingsFileTest, ReadsAFileFromAGbkEditor)
{
    // Mixed letter case, CRLF, blanks around "=", comments, a value with "=",
    // a section without keys, a broken line and a repeated section.
    writeGb(QStringLiteral("; 部门设置\r\n[info]\r\ncount = 3\r\n\r\n"
                           "[DEPARTMENT1]\r\nNAME=  销售部  \r\nNumber=2\r\nJOB1=经理=主管\r\n这一行坏了\r\njob2=业务员\r\n"
                           "[department2]\r\n"
                           "[department3]\r\nname=技术部\r\nnumber=1\r\njob1=工程师\r\n"
                           "[department1]\r\nname=重复\r\n"
                           "[object]\r\nname1=干部\r\nname3=工人\r\n"));
    EXPECT_EQ(file.readDepartmentNames(), (QStringList{"销售部", "没找到信息", "技术部"}));
    EXPECT_EQ(file.readPostNames(0), (QStringList{"经理=主管", "业务员"}));
    EXPECT_TRUE(file.readPostNames(1).isEmpty());
    EXPECT_EQ(file.readPostNames(2), (QStringList{"工程师"}));
    EXPECT_EQ(file.readAudienceGroups(), (AudienceGroups{"干部", "", "工人", ""}));
    EXPECT_EQ(file.audienceGroupList(), (QStringList{"干部", "工人"}));
}

TEST_F(SettingsFileTest, CountsAndMissingNames)
{
    writeGb("[INFO]\r\nCount=abc\r\n");
    EXPECT_TRUE(file.readDepartmentNames().isEmpty());
    writeGb("[INFO]\r\nCount=-2\r\n[department1]\r\nname=x\r\n");
    EXPECT_TRUE(file.readDepartmentNames().isEmpty());
    EXPECT_EQ(file.readInt("INFO", "Count", 5), 0);
    writeGb("[INFO]\r\nCount=2x\r\n[department1]\r\nname=甲\r\nnumber=3\r\njob2=二\r\njob01=零一\r\n");
    EXPECT_EQ(file.readDepartmentNames(), (QStringList{"甲", "没找到信息"}));
    EXPECT_EQ(file.readPostNames(0), (QStringList{"没找到信息", "二", "没找到信息"}));
    // A damaged count cannot ask for billions of entries.
    writeGb("[INFO]\r\nCount=4000000000\r\n");
    EXPECT_EQ(file.readDepartmentNames().size(), SettingsFile::MaxCount);
}

TEST_F(SettingsFileTest, LongValuesAreCutTo259BytesOnWholeCharacters)
{
    const QString ascii(300, u'a');
    const QString chinese = QString(150, QChar(0x4E2D)); // 300 bytes
    const QString odd = u'a' + QString(150, QChar(0x4E2D)); // 301 bytes: the cut falls inside a character
    ASSERT_TRUE(file.writeDepartmentTree({{ascii, {chinese}}, {odd, {}}}));
    EXPECT_EQ(file.readDepartmentNames().at(0), ascii.left(259));
    EXPECT_EQ(file.readPostNames(0).at(0), chinese.left(129));
    EXPECT_EQ(file.readDepartmentNames().at(1), odd.left(130)); // 1 + 129 * 2 = 259 bytes
    ASSERT_TRUE(file.writeAudienceGroups({chinese, "", "", ""}));
    EXPECT_EQ(file.readAudienceGroups()[0], chinese.left(129));
    EXPECT_EQ(file.readString("object", "name1", ""), chinese.left(129));
}

TEST_F(SettingsFileTest, AudienceGroupsKeepOnlySlotsAfterFilledOnes)
{
    ASSERT_TRUE(file.writeAudienceGroups({"A", "B", "C", "D"}));
    EXPECT_EQ(file.readAudienceGroups(), (AudienceGroups{"A", "B", "C", "D"}));
    ASSERT_TRUE(file.writeAudienceGroups({"甲", "", "丙", "丁"}));
    EXPECT_EQ(file.readAudienceGroups(), (AudienceGroups{"甲", "", "", ""}));
    EXPECT_EQ(file.audienceGroupList(), QStringList{"甲"});
    ASSERT_TRUE(file.writeAudienceGroups({"甲", "乙", "", "丁"}));
    EXPECT_EQ(file.readAudienceGroups(), (AudienceGroups{"甲", "乙", "", ""}));

    // Only changed slots are written: the file keeps its own letter case, and
    // an absent slot that stays empty is not added.
    writeGb("[Object]\r\nNAME1=甲\r\nname2=乙\r\n");
    ASSERT_TRUE(file.writeAudienceGroups({"甲", "乙", "丙", ""}));
    EXPECT_EQ(Encoding::fromGb(readRaw()), QStringLiteral("[Object]\r\nNAME1=甲\r\nname2=乙\r\nname3=丙\r\n"));
}

TEST_F(SettingsFileTest, WritesKeepOtherSectionsAndComments)
{
    writeGb("; 本文件由程序维护\r\n[object]\r\nname1=干部\r\n[other]\r\nkey=值\r\n");
    ASSERT_TRUE(file.writeDepartmentTree({{QStringLiteral("甲"), {QStringLiteral("乙")}}}));
    const QString text = Encoding::fromGb(readRaw());
    EXPECT_TRUE(text.startsWith(QStringLiteral("; 本文件由程序维护\r\n[object]\r\nname1=干部\r\n[other]\r\nkey=值\r\n")));
    EXPECT_EQ(file.readAudienceGroups()[0], QStringLiteral("干部"));

    ASSERT_TRUE(file.deleteSection("OTHER"));
    EXPECT_EQ(file.readString("other", "key", "none"), QStringLiteral("none"));
    ASSERT_TRUE(file.writeString("Other", "Key", "新"));
    ASSERT_TRUE(file.writeString("other", "key", "新值"));
    EXPECT_EQ(file.readString("OTHER", "KEY", ""), QStringLiteral("新值"));
    EXPECT_EQ(Encoding::fromGb(readRaw()).count(QStringLiteral("ey=")), 1);
}

TEST_F(SettingsFileTest, UnicodeFilesAreReadAndSavedAsGb18030)
{
    writeRaw("\xEF\xBB\xBF" + QStringLiteral("[INFO]\nCount=1\n[department1]\nname=销售部\n[object]\nname1=干部\n").toUtf8());
    EXPECT_EQ(file.readDepartmentNames(), QStringList{"销售部"});
    ASSERT_TRUE(file.writeDepartmentTree({{QStringLiteral("技术部"), {}}}));
    EXPECT_FALSE(readRaw().startsWith("\xEF\xBB\xBF"));
    expectClean(readRaw());
    EXPECT_EQ(file.readAudienceGroups()[0], QStringLiteral("干部"));
    EXPECT_EQ(file.readDepartmentNames(), QStringList{"技术部"});

    // Without a byte-order mark the bytes are taken as GB18030: garbled, not lost.
    writeRaw(QStringLiteral("[INFO]\nCount=1\n[department1]\nname=销售部\n").toUtf8());
    ASSERT_EQ(file.readDepartmentNames().size(), 1);
    ASSERT_TRUE(file.writeAudienceGroups({"甲", "", "", ""}));
    expectClean(readRaw());
}

TEST_F(SettingsFileTest, FileThatIsNotTextReadsWhatItCan)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 7919 + 13) % 256);
    QByteArray bytes = junk + "\n[INFO]\nCount=1\n[department1]\nname=ok";
    bytes += QByteArray("\x00\x01\xff", 3);
    bytes += "\n[object]\nname1=x\n[bad\x01]\nname2=not a group\n" + junk;
    writeRaw(bytes);
    EXPECT_EQ(file.readDepartmentNames().size(), 1);
    EXPECT_EQ(file.readAudienceGroups()[0], QStringLiteral("x"));
    file.readPostNames(0);
    ASSERT_TRUE(file.writeDepartmentTree({{QStringLiteral("甲"), {QStringLiteral("乙")}}}));
    expectClean(readRaw());
    EXPECT_EQ(file.readDepartmentTree(), (DepartmentTree{{QStringLiteral("甲"), {QStringLiteral("乙")}}}));
    // The keys of a dropped section do not slide into the one before it.
    EXPECT_EQ(file.readAudienceGroups(), (AudienceGroups{"x", "", "", ""}));
}

TEST_F(SettingsFileTest, FailedWriteReportsAndLeavesNothing)
{
    const SettingsFile nowhere(path("no/such/folder/vornconf.ini"));
    EXPECT_FALSE(nowhere.writeDepartmentTree({{QStringLiteral("甲"), {}}}));
    EXPECT_FALSE(QFile::exists(path("no")));
}

// The file size limit makes the save's write really fail, in a child so the
// limit stays there. The new text (about 10 KB) is below Qt's write buffer,
// so the failure shows only when the last bytes are flushed: the old file
// must still be whole, and no temporary file may be left beside it.
TEST_F(SettingsFileTest, ASaveThatCannotBeWrittenOutKeepsTheOldFile)
{
    const DepartmentTree old{{QStringLiteral("销售部"), {QStringLiteral("经理")}}};
    ASSERT_TRUE(file.writeDepartmentTree(old));
    const QByteArray before = readRaw();
    DepartmentTree big;
    for (int d = 0; d < 200; ++d)
        big.append({QStringLiteral("部门%1").arg(d), {QStringLiteral("岗位")}});

    CADOConn::releaseCachedHandles(); // no engine handle may cross the fork
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG instead of killing the child
        const rlimit limit{2048, 2048};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        QString error;
        const bool saved = file.writeDepartmentTree(big, &error);
        ::_exit(!saved && error == QStringLiteral("文件超过了系统允许的大小") ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save must fail and say why";
    EXPECT_EQ(readRaw(), before);
    EXPECT_EQ(file.readDepartmentTree(), old);
    EXPECT_EQ(QDir(workDir()).entryList({"*vornconf*"}, QDir::Files | QDir::Hidden), QStringList{"vornconf.ini"});
}
