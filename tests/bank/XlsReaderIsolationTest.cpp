// The spreadsheet reader process: damaged workbooks that crash FreeXL or
// make it read past its buffers, a reader that hangs or talks nonsense.
#include "bank/CExamInandout.h"
#include "store/XlsReader.h"
#include "store/XlsWire.h"

#include "bank/BankSeed.h"
#include "support/VornTest.h"

#include <QFile>
#include <QProcess>

namespace {

class XlsReaderIsolationTest : public VornTest
{
protected:
    void TearDown() override
    {
        XlsWorkbook::setReader(QString());
        VornTest::TearDown();
    }
    // A stand-in reader: a shell script with the given body.
    void useReaderScript(const QString &body, int timeLimitMs = XlsWorkbook::DefaultTimeLimitMs)
    {
        const QString script = path("reader.sh");
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        XlsWorkbook::setReader(script, timeLimitMs);
    }
    static QByteArray answerFor(const QString &fixture)
    {
        return QByteArray::fromStdString(XlsWire::readWorkbook(QFile::encodeName(bankFixture(fixture)).constData()));
    }
};

} // namespace

TEST_F(XlsReaderIsolationTest, TheReaderSitsBesideTheProgramWhateverTheWorkingFolder)
{
    EXPECT_EQ(XlsWorkbook::readerProgram(), VORN_BIN_DIR "/vorn-xls-reader");
    EXPECT_NE(QDir::currentPath(), QStringLiteral(VORN_BIN_DIR));
    XlsWorkbook book;
    ASSERT_TRUE(book.open(bankFixture("questions.xls"))) << book.error().toStdString();
    EXPECT_TRUE(book.isOpen());
}

TEST_F(XlsReaderIsolationTest, DamagedWorkbooksAreRefusedAndNothingIsImported)
{
    // The first kills FreeXL inside freexl_open; the other two make it read
    // past its buffers, and what FreeXL then says depends on what lies there.
    const struct
    {
        const char *file;
        const char *error; // when it is fixed
    } cases[] = {
        {"xls_freexl_segv.xls", "文件已损坏，无法读取"},
        {"xls_freexl_heap_overread.xls", nullptr},
        {"xls_freexl_iconv_overread.xls", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        XlsWorkbook book;
        EXPECT_FALSE(book.open(bankFixture(c.file)));
        EXPECT_FALSE(book.isOpen());
        EXPECT_TRUE(book.sheetNames().isEmpty());
        EXPECT_FALSE(book.error().isEmpty());
        if (c.error) {
            EXPECT_EQ(book.error(), QString::fromUtf8(c.error));
        }
        expectText(QStringLiteral("无法打开Excel文件（%1），导入失败！").arg(book.error()), Caption::Tip);
        EXPECT_EQ(CExamInandout::runImport(nullptr, bankFixture(c.file)), QDialog::Rejected);
    }
    for (const QString &type : QuestionType::names())
        EXPECT_TRUE(outsiderRows(Db::Questions, "select * from " + type).isEmpty()) << type.toStdString();
    // A workbook read after a damaged one is read whole.
    XlsWorkbook book;
    ASSERT_TRUE(book.open(bankFixture("questions.xls")));
    EXPECT_EQ(book.sheet("单选题")->rows.size(), 12u);
}

TEST_F(XlsReaderIsolationTest, AHangingReaderIsStoppedAtTheTimeLimit)
{
    useReaderScript("exec sleep 30", 300);
    QElapsedTimer clock;
    clock.start();
    expectText("无法打开Excel文件（读取超时，文件可能已损坏），导入失败！", Caption::Tip);
    EXPECT_EQ(CExamInandout::runImport(nullptr, bankFixture("questions.xls")), QDialog::Rejected);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from 单选题").isEmpty());
}

TEST_F(XlsReaderIsolationTest, AnAnswerThatIsNotWholeIsRefused)
{
    // Nonsense, a crash after half an answer, a missing reader.
    useReaderScript("echo garbage");
    XlsWorkbook book;
    EXPECT_FALSE(book.open(bankFixture("questions.xls")));
    EXPECT_EQ(book.error(), "文件已损坏，无法读取");

    QFile half(path("half.bin"));
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    const QByteArray whole = answerFor("questions.xls");
    half.write(whole.left(whole.size() / 2));
    half.close();
    useReaderScript("cat half.bin; kill -SEGV $$");
    EXPECT_FALSE(book.open(bankFixture("questions.xls")));
    EXPECT_EQ(book.error(), "文件已损坏，无法读取");

    XlsWorkbook::setReader(path("no-such-reader"));
    EXPECT_FALSE(book.open(bankFixture("questions.xls")));
    EXPECT_EQ(book.error(), "无法启动表格读取程序");
}

TEST(XlsAnswer, EveryCutOrFlippedAnswerIsRefusedOrReadWithinBounds)
{
    const QByteArray whole =
        QByteArray::fromStdString(XlsWire::readWorkbook(QFile::encodeName(bankFixture("questions.xls")).constData()));
    XlsWorkbook book;
    ASSERT_TRUE(book.openAnswer(whole));
    EXPECT_EQ(book.sheet("填空题")->rows[0][3].value_or("null"), "12");
    for (qsizetype n = 0; n < whole.size(); ++n) {
        EXPECT_FALSE(book.openAnswer(QByteArrayView(whole).first(n))) << n;
        EXPECT_FALSE(book.isOpen());
    }
    // A count or length made huge must not be believed.
    for (qsizetype at = 6; at < whole.size(); ++at) {
        QByteArray bad = whole;
        bad[at] = char(0xff);
        if (book.openAnswer(bad)) {
            for (const QString &name : book.sheetNames()) {
                if (const auto s = book.sheet(name)) {
                    for (const auto &row : s->rows) {
                        EXPECT_EQ(row.size(), size_t(s->columns.size()));
                    }
                }
            }
        }
    }
}
