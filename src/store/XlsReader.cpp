#include "store/XlsReader.h"

#include "store/Installed.h"
#include "store/Schema.h"
#include "store/XlsWire.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <freexl.h>

#include <cmath>
#include <cstring>

namespace {

QString s_program;
int s_timeLimitMs = XlsWorkbook::DefaultTimeLimitMs;

QString describe(int rc)
{
    switch (rc) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("文件不存在或无法读取");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("内存不足");
    case FREEXL_UNSUPPORTED_CHARSET:
        return QStringLiteral("不支持的字符集");
    case XlsWire::kGaveUp:
        // FreeXL gives up on some workbooks without saying why (one with a
        // text of 10,000 characters in a cell, for instance).
        return QStringLiteral("文件内容无法读取");
    default:
        return QStringLiteral("不是Excel 97-2003格式的文件");
    }
}

const QString kDamaged = QStringLiteral("文件已损坏，无法读取");

// Bounds-checked reading of the reader's answer; any overrun makes it bad.
class AnswerReader
{
public:
    explicit AnswerReader(QByteArrayView bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    bool ok() const { return m_ok; }
    qsizetype left() const { return m_end - m_p; }

    bool expect(const char *literal)
    {
        const std::size_t n = std::strlen(literal);
        if (!take(n) || std::memcmp(m_p - n, literal, n) != 0)
            return m_ok = false;
        return true;
    }
    std::uint8_t u8() { return take(1) ? std::uint8_t(m_p[-1]) : 0; }
    std::uint32_t u32()
    {
        if (!take(4))
            return 0;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(std::uint8_t(m_p[i - 4])) << (8 * i);
        return v;
    }
    double f64()
    {
        if (!take(8))
            return 0;
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= std::uint64_t(std::uint8_t(m_p[i - 8])) << (8 * i);
        double d;
        std::memcpy(&d, &v, sizeof d);
        return d;
    }
    QString text()
    {
        const std::uint32_t n = u32();
        if (!take(n))
            return QString();
        return QString::fromUtf8(m_p - n, qsizetype(n));
    }

private:
    bool take(std::uint64_t n)
    {
        if (!m_ok || n > std::uint64_t(left()))
            return m_ok = false;
        m_p += n;
        return true;
    }

    const char *m_p;
    const char *m_end;
    bool m_ok = true;
};

// One cell read as the imports see it: every value as text, empty as null.
XlsCell readCell(AnswerReader &in)
{
    switch (XlsWire::Cell(in.u8())) {
    case XlsWire::Cell::Empty:
        return std::nullopt;
    case XlsWire::Cell::Int:
        return QString::number(std::int32_t(in.u32()));
    case XlsWire::Cell::Double: {
        const double d = in.f64();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    }
    case XlsWire::Cell::Text: {
        const QString s = in.text();
        if (s.isEmpty())
            return std::nullopt;
        return s;
    }
    }
    in.expect("\x01"); // an unknown type: the answer is bad (see ok())
    return std::nullopt;
}

std::optional<XlsSheet> readSheet(AnswerReader &in)
{
    const std::uint32_t rowCount = in.u32();
    const std::uint32_t columnCount = in.u32();
    // Every cell takes at least one byte: counts past what is left are garbage.
    if (!in.ok() || rowCount > XlsWire::kMaxRows || columnCount > XlsWire::kMaxColumns
        || std::uint64_t(rowCount) * columnCount > std::uint64_t(in.left())) {
        in.expect("\x01");
        return std::nullopt;
    }
    XlsSheet sheet;
    if (rowCount == 0 || columnCount == 0) {
        // Nothing follows for an empty sheet.
        return sheet;
    }
    std::vector<bool> headerBlank;
    for (std::uint32_t c = 0; c < columnCount; ++c) {
        const XlsCell name = readCell(in);
        sheet.columns << name.value_or(QStringLiteral("F%1").arg(c + 1));
        headerBlank.push_back(!name.has_value());
    }
    sheet.rows.reserve(rowCount - 1);
    for (std::uint32_t r = 1; r < rowCount && in.ok(); ++r) {
        std::vector<XlsCell> row(columnCount);
        bool any = false;
        for (std::uint32_t c = 0; c < columnCount; ++c) {
            row[c] = readCell(in);
            any = any || row[c].has_value();
        }
        if (any)
            sheet.rows.push_back(std::move(row));
    }
    // Formatting can stretch a sheet past its last column; a column without
    // a name and without a value is no column.
    while (!sheet.columns.isEmpty() && headerBlank.back()) {
        const size_t last = size_t(sheet.columns.size() - 1);
        bool used = false;
        for (const auto &row : sheet.rows)
            used = used || row[last].has_value();
        if (used)
            break;
        sheet.columns.removeLast();
        headerBlank.pop_back();
        for (auto &row : sheet.rows)
            row.pop_back();
    }
    return sheet;
}

} // namespace

int XlsSheet::column(const QString &name) const
{
    return int(columns.indexOf(name));
}

XlsCompleteRows XlsSheet::completeRows(const QList<int> &required) const
{
    XlsCompleteRows out;
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::vector<XlsCell> &cells = rows[r];
        bool complete = true;
        for (int c : required)
            complete = complete && c >= 0 && size_t(c) < cells.size() && cells[size_t(c)].has_value();
        if (complete)
            out.rows.push_back({&cells, int(r) + 2});
    }
    out.skipped = int(rows.size() - out.rows.size());
    for (const XlsRow &row : out.rows) {
        for (const XlsCell &cell : *row.cells) {
            if (cell && cell->size() > Schema::MaxText) {
                out.tooLongRow = row.sheetRow;
                return out;
            }
        }
    }
    return out;
}

XlsWorkbook::~XlsWorkbook()
{
    close();
}

QString XlsWorkbook::readerProgram()
{
    if (!s_program.isEmpty())
        return s_program;
    // Beside the running executable (vorn, the tests and the benchmarks are
    // built into one folder), else where the package installs it.
    return Installed::helperProgram(QStringLiteral("vorn-xls-reader"));
}

void XlsWorkbook::setReader(const QString &program, int timeLimitMs)
{
    s_program = program;
    s_timeLimitMs = program.isEmpty() ? DefaultTimeLimitMs : timeLimitMs;
}

bool XlsWorkbook::fail(const QString &error)
{
    close();
    m_error = error;
    return false;
}

bool XlsWorkbook::open(const QString &path)
{
    close();
    m_error.clear();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return fail(describe(FREEXL_FILE_NOT_FOUND));

    QProcess child;
    child.setProgram(readerProgram());
    child.setArguments({info.absoluteFilePath()});
    child.setStandardInputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    child.start(QIODevice::ReadOnly);
    if (!child.waitForStarted(s_timeLimitMs))
        return fail(QStringLiteral("无法启动表格读取程序"));

    QByteArray answer;
    auto stop = [&child] {
        child.kill();
        child.waitForFinished(-1);
    };
    for (;;) {
        answer += child.readAllStandardOutput();
        if (quint64(answer.size()) > XlsWire::kMaxAnswerBytes + 16) {
            stop();
            return fail(QStringLiteral("文件内容过多，无法读取"));
        }
        if (child.state() == QProcess::NotRunning)
            break;
        const qint64 left = s_timeLimitMs - clock.elapsed();
        if (left <= 0) {
            stop();
            return fail(QStringLiteral("读取超时，文件可能已损坏"));
        }
        if (!child.waitForReadyRead(int(left)) && child.state() != QProcess::NotRunning)
            child.waitForFinished(int(std::max<qint64>(1, s_timeLimitMs - clock.elapsed())));
    }
    answer += child.readAllStandardOutput();
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return fail(kDamaged);
    if (quint64(answer.size()) > XlsWire::kMaxAnswerBytes)
        return fail(QStringLiteral("文件内容过多，无法读取"));
    return openAnswer(answer);
}

bool XlsWorkbook::openAnswer(QByteArrayView answer)
{
    close();
    m_error.clear();
    AnswerReader in(answer);
    in.expect(XlsWire::kMagic);
    if (in.u8() != XlsWire::kVersion)
        return fail(kDamaged);
    const std::uint8_t status = in.u8();
    if (status == std::uint8_t(XlsWire::Status::OpenFailed)) {
        const int rc = int(std::int32_t(in.u32()));
        if (!in.expect(XlsWire::kEnd) || in.left() != 0)
            return fail(kDamaged);
        return fail(describe(rc));
    }
    if (status != std::uint8_t(XlsWire::Status::Opened))
        return fail(kDamaged);
    const std::uint32_t count = in.u32();
    // Each name takes at least four bytes.
    if (!in.ok() || count > XlsWire::kMaxSheets || std::uint64_t(count) * 4 > std::uint64_t(in.left()))
        return fail(kDamaged);
    QStringList names;
    for (std::uint32_t i = 0; i < count && in.ok(); ++i)
        names << in.text();
    std::vector<std::optional<XlsSheet>> data;
    data.reserve(count);
    for (std::uint32_t i = 0; i < count && in.ok(); ++i) {
        const std::uint8_t readable = in.u8();
        if (readable > 1)
            return fail(kDamaged);
        data.push_back(readable ? readSheet(in) : std::nullopt);
    }
    if (!in.ok() || !in.expect(XlsWire::kEnd) || in.left() != 0)
        return fail(kDamaged);
    m_sheets = std::move(names);
    m_data = std::move(data);
    m_open = true;
    return true;
}

void XlsWorkbook::close()
{
    m_open = false;
    m_sheets.clear();
    m_data.clear();
}

std::optional<XlsSheet> XlsWorkbook::sheet(const QString &name)
{
    const qsizetype index = m_sheets.indexOf(name);
    if (!m_open || index < 0)
        return std::nullopt;
    return m_data[size_t(index)];
}
