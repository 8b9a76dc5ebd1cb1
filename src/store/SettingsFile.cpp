#include "store/SettingsFile.h"

#include "store/Encoding.h"
#include "store/SafeFile.h"
#include "store/CADOConn.h"
#include "store/SharedFiles.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <limits>
#include <deque>
#include <functional>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace {

const QString kInfo = QStringLiteral("INFO");
const QString kObject = QStringLiteral("object");

QString departmentSection(int d)
{
    return QStringLiteral("department%1").arg(d);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView v)
{
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

// Names compare without regard to ASCII letter case, as the system's
// initialisation files do; other bytes must match exactly.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && qstrnicmp(a.data(), a.size(), b.data(), b.size()) == 0;
}

// d for a section named "department<d>" (any letter case, d written without
// a leading zero, 1 <= d <= MaxCount), else 0.
int departmentNumber(QByteArrayView name)
{
    constexpr qsizetype prefix = 10; // "department"
    if (name.size() <= prefix || name.size() > prefix + 5 || !sameName(name.first(prefix), "department")
        || name[prefix] == '0')
        return 0;
    int d = 0;
    for (qsizetype i = prefix; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        d = d * 10 + (name[i] - '0');
    }
    return d <= SettingsFile::MaxCount ? d : 0;
}

// True when the bytes are whole GB18030 characters that decode to text
// without control characters (tab aside), so they read back as the same bytes.
bool isCleanGb(QByteArrayView v)
{
    const auto *p = reinterpret_cast<const unsigned char *>(v.data());
    const auto *end = p + v.size();
    auto between = [](unsigned char c, unsigned char lo, unsigned char hi) { return c >= lo && c <= hi; };
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            if (c < 0x20 && c != '\t')
                return false;
            ++p;
            continue;
        }
        if (!between(c, 0x81, 0xfe) || end - p < 2)
            return false;
        if (between(p[1], 0x40, 0x7e) || between(p[1], 0x80, 0xfe)) {
            p += 2;
            continue;
        }
        if (!between(p[1], 0x30, 0x39) || end - p < 4 || !between(p[2], 0x81, 0xfe) || !between(p[3], 0x30, 0x39))
            return false;
        // Four bytes: the Basic Multilingual Plane or the planes above it;
        // the codes between and after are unassigned.
        const long linear = ((long(c - 0x81) * 10 + (p[1] - 0x30)) * 126 + (p[2] - 0x81)) * 10 + (p[3] - 0x30);
        if (!(linear <= 39419 || (linear >= 189000 && linear <= 189000 + 0xfffff)))
            return false;
        p += 4;
    }
    return true;
}

// The file's bytes as GB18030. A file saved with a Unicode byte-order mark
// (a UTF-8 or UTF-16 editor) is converted; anything else is taken as GB18030,
// so the program's own files are never guessed at.
QByteArray normalisedBytes(QByteArray bytes)
{
    auto convert = [&](QStringDecoder::Encoding enc, qsizetype bom) {
        QStringDecoder decoder(enc, QStringDecoder::Flag::Stateless);
        return Encoding::toGb(decoder.decode(QByteArrayView(bytes).sliced(bom)));
    };
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return convert(QStringDecoder::Utf8, 3);
    if (bytes.startsWith("\xFF\xFE"))
        return convert(QStringDecoder::Utf16LE, 2);
    if (bytes.startsWith("\xFE\xFF"))
        return convert(QStringDecoder::Utf16BE, 2);
    return bytes;
}

QByteArray readFileBytes(const QString &path)
{
    // A lab's stations share the text its server holds.
    if (const std::optional<QByteArray> shared = SharedFiles::read(SharedFiles::Kind::Settings, QFileInfo(path).fileName()))
        return normalisedBytes(*shared);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return normalisedBytes(file.readAll());
}

// A value as the reader hands it out: decoded and cut to the buffer size.
QString decodeValue(QByteArrayView raw)
{
    const QString text = Encoding::fromGb(raw);
    if (raw.size() <= SettingsFile::MaxValueBytes)
        return text;
    return Encoding::cutToGbBytes(text, SettingsFile::MaxValueBytes);
}

// The leading decimal number of a value; non-numeric or negative reads as 0.
int parseCount(QByteArrayView raw)
{
    raw = trimmed(raw);
    qsizetype i = 0;
    if (i < raw.size() && (raw[i] == '+' || raw[i] == '-')) {
        if (raw[i] == '-')
            return 0;
        ++i;
    }
    qint64 value = 0;
    for (; i < raw.size() && raw[i] >= '0' && raw[i] <= '9'; ++i) {
        value = value * 10 + (raw[i] - '0');
        if (value > std::numeric_limits<int>::max())
            return std::numeric_limits<int>::max();
    }
    return int(value);
}

struct Entry
{
    QByteArrayView key;
    QByteArrayView value;
};

// Splits one line into key and value; false for blank lines, comments,
// headers and lines without "=" (those are ignored by every read).
bool parseEntry(QByteArrayView line, Entry &entry)
{
    line = trimmed(line);
    if (line.isEmpty() || line[0] == ';' || line[0] == '[')
        return false;
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0)
        return false;
    entry.key = trimmed(line.first(eq));
    if (entry.key.isEmpty())
        return false;
    entry.value = trimmed(line.sliced(eq + 1));
    return true;
}

template<typename F>
void forEachLine(QByteArrayView text, F &&f)
{
    const char *p = text.data();
    const char *end = p + text.size();
    while (p < end) {
        const char *q = p;
        while (q < end && *q != '\n' && *q != '\r')
            ++q;
        if (q > p && !f(QByteArrayView(p, q - p)))
            return;
        p = q + 1;
    }
}

// The file as read for one operation: its bytes, scanned without decoding
// anything but the values asked for.
class IniText
{
public:
    explicit IniText(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    // The body of every section in file order; f(name, body) returns false to stop.
    template<typename F>
    void forEachSection(F &&f) const
    {
        const char *data = m_bytes.constData();
        const qsizetype n = m_bytes.size();
        qsizetype pos = 0;
        bool have = false;
        QByteArrayView name;
        qsizetype bodyBegin = 0;
        while (pos < n) {
            const void *hit = std::memchr(data + pos, '[', size_t(n - pos));
            if (!hit)
                break;
            const qsizetype at = static_cast<const char *>(hit) - data;
            qsizetype lineStart = at;
            while (lineStart > 0 && isBlank(data[lineStart - 1]))
                --lineStart;
            if (lineStart > 0 && data[lineStart - 1] != '\n' && data[lineStart - 1] != '\r') {
                pos = at + 1;
                continue;
            }
            qsizetype lineEnd = at;
            while (lineEnd < n && data[lineEnd] != '\n' && data[lineEnd] != '\r')
                ++lineEnd;
            qsizetype close = lineEnd - 1;
            while (close > at && data[close] != ']')
                --close;
            pos = lineEnd;
            if (close <= at)
                continue; // "[" without "]": a broken line, not a section
            if (have && !f(name, QByteArrayView(data + bodyBegin, lineStart - bodyBegin)))
                return;
            have = true;
            name = trimmed(QByteArrayView(data + at + 1, close - at - 1));
            bodyBegin = lineEnd;
        }
        if (have)
            f(name, QByteArrayView(data + bodyBegin, n - bodyBegin));
    }

    // The first section of that name.
    std::optional<QByteArrayView> section(QByteArrayView name) const
    {
        std::optional<QByteArrayView> found;
        forEachSection([&](QByteArrayView n, QByteArrayView body) {
            if (!sameName(n, name))
                return true;
            found = body;
            return false;
        });
        return found;
    }

    // The sections the department catalogue reads, "INFO" and
    // "department<d>" for d up to the largest count (the first of each name
    // wins), in one pass. Nothing else is kept, so a file of millions of
    // sections costs no more than its bytes.
    struct Catalogue
    {
        std::optional<QByteArrayView> info;
        std::vector<std::optional<QByteArrayView>> departments; // by d, from 1
    };
    Catalogue catalogue() const
    {
        Catalogue c;
        c.departments.resize(size_t(SettingsFile::MaxCount) + 1);
        forEachSection([&](QByteArrayView n, QByteArrayView body) {
            if (sameName(n, "info")) {
                if (!c.info)
                    c.info = body;
            } else if (const int d = departmentNumber(n); d > 0 && !c.departments[size_t(d)]) {
                c.departments[size_t(d)] = body;
            }
            return true;
        });
        return c;
    }

    static std::optional<QByteArrayView> value(QByteArrayView body, QByteArrayView key)
    {
        std::optional<QByteArrayView> found;
        forEachLine(body, [&](QByteArrayView line) {
            Entry e;
            if (!parseEntry(line, e) || !sameName(e.key, key))
                return true;
            found = e.value;
            return false;
        });
        return found;
    }

    static int count(QByteArrayView body, QByteArrayView key)
    {
        const auto v = value(body, key);
        return v ? std::min(parseCount(*v), SettingsFile::MaxCount) : 0;
    }

    // The posts job1 ... job<number> of a department section; a missing
    // post reads as notFound(). With a budget (the whole tree), missing posts
    // after the last named one are left out, and missing posts before a
    // named one are read as notFound() only while the budget lasts: a
    // damaged file cannot make a tree of millions of empty posts.
    static QStringList posts(QByteArrayView body, int *placeholderBudget = nullptr)
    {
        int m = 0;
        struct Job
        {
            int position;
            QByteArrayView value;
        };
        std::vector<Job> jobs;
        bool counted = false;
        forEachLine(body, [&](QByteArrayView line) {
            Entry e;
            if (!parseEntry(line, e))
                return true;
            if (!counted && sameName(e.key, "number")) {
                m = std::min(parseCount(e.value), SettingsFile::MaxCount);
                counted = true;
                return true;
            }
            // "job<p>" with p written as the writer writes it: no leading zero.
            if (e.key.size() < 4 || e.key.size() > 8 || !sameName(e.key.first(3), "job") || e.key[3] == '0')
                return true;
            int p = 0;
            for (qsizetype i = 3; i < e.key.size(); ++i) {
                if (e.key[i] < '0' || e.key[i] > '9')
                    return true;
                p = p * 10 + (e.key[i] - '0');
            }
            if (p >= 1 && p <= SettingsFile::MaxCount)
                jobs.push_back({p, e.value});
            return true;
        });
        // The first line of each position wins.
        std::stable_sort(jobs.begin(), jobs.end(), [](const Job &a, const Job &b) { return a.position < b.position; });
        QStringList names;
        int next = 1; // the position the list has reached
        auto missingUpTo = [&](int p) {
            // Positions next .. p-1 have no name.
            int gap = p - next;
            if (placeholderBudget) {
                gap = std::min(gap, *placeholderBudget);
                *placeholderBudget -= gap;
            }
            for (int i = 0; i < gap; ++i)
                names << SettingsFile::notFound();
        };
        for (size_t i = 0; i < jobs.size(); ++i) {
            const Job &j = jobs[i];
            if (j.position > m)
                break;
            if (i > 0 && jobs[i - 1].position == j.position)
                continue;
            missingUpTo(j.position);
            names << decodeValue(j.value);
            next = j.position + 1;
        }
        if (!placeholderBudget)
            missingUpTo(m + 1);
        return names;
    }

private:
    QByteArray m_bytes;
};

IniText readText(const QString &path)
{
    return IniText(readFileBytes(path));
}

// The file as held for a write: sections with their lines, rewritten whole.
// Names and values keep their bytes, so a name is matched and written by the
// same bytes every read compares. Lines no read would ever see (broken
// lines, keys before any section, names that are not whole GB18030 text,
// control characters) are dropped, and so is a later section of a name
// already seen (reads take the first): a save leaves a clean file that
// reads back as saved. Memory and time stay linear in the file's size.
class IniDocument
{
public:
    static IniDocument load(const QString &path) { return fromBytes(readFileBytes(path)); }

    // The document of the bytes, without the sections whose names replaced()
    // picks (a save that rewrites them need not hold them first).
    static IniDocument fromBytes(QByteArray bytes, const std::function<bool(QByteArrayView)> &replaced = nullptr)
    {
        IniDocument doc;
        doc.m_bytes = std::move(bytes);
        // Room for every line that can be kept, so the lines are held once
        // and never copied while the file is read.
        qsizetype keepable = 0;
        forEachLine(QByteArrayView(doc.m_bytes), [&](QByteArrayView raw) {
            const QByteArrayView line = trimmed(raw);
            keepable += line.startsWith(';') || line.contains('=');
            return true;
        });
        doc.m_lines.reserve(size_t(keepable));
        qsizetype current = -1; // the section lines go to; -1 = none (dropped)
        bool inSection = false;
        forEachLine(QByteArrayView(doc.m_bytes), [&](QByteArrayView raw) {
            const QByteArrayView line = trimmed(raw);
            if (line.startsWith('[') && line.lastIndexOf(']') > 0) {
                // What follows "]" is no part of the name, as for every read.
                inSection = true;
                current = -1;
                const QByteArrayView name = trimmed(line.sliced(1, line.lastIndexOf(']') - 1));
                if (isCleanGb(name) && !(replaced && replaced(name)) && doc.find(name) < 0)
                    current = doc.addSection(name);
                return true;
            }
            if (line.startsWith(';')) {
                // A comment is kept as text; one that is no clean text is mended.
                const QByteArrayView text = isCleanGb(line) ? line : doc.own(mend(line));
                if (current >= 0)
                    doc.addLoadedLine(current, {text, {}});
                else if (!inSection)
                    doc.m_preamble.push_back({text, {}});
                return true;
            }
            Entry e;
            if (current < 0 || !parseEntry(line, e) || !isCleanGb(e.key))
                return true;
            if (!isCleanGb(e.value)) {
                // A value with control characters goes; one with broken
                // characters keeps what decodes, as every read hands it out.
                if (std::any_of(e.value.begin(), e.value.end(), [](char c) { return uchar(c) < 0x20 && c != '\t'; }))
                    return true;
                e.value = doc.own(mend(e.value));
            }
            doc.addLoadedLine(current, {e.key, e.value.data() ? e.value : QByteArrayView("", 0)});
            return true;
        });
        return doc;
    }

    std::optional<QByteArrayView> value(const QString &section, const QString &key) const
    {
        const qsizetype s = find(Encoding::toGb(section));
        if (s < 0)
            return std::nullopt;
        const QByteArray k = Encoding::toGb(key);
        for (const Line &l : linesOf(m_sections[size_t(s)]))
            if (l.isEntry() && sameName(l.key, k))
                return l.value;
        return std::nullopt;
    }

    // The value as a read would hand it out.
    QString readString(const QString &section, const QString &key) const
    {
        const auto v = value(section, key);
        return v ? decodeValue(*v) : QString();
    }

    void write(const QString &section, const QString &key, const QString &value)
    {
        const QByteArray name = Encoding::toGb(section);
        qsizetype s = find(name);
        if (s < 0)
            s = addSection(own(name));
        std::vector<Line> &lines = detach(m_sections[size_t(s)]);
        const QByteArray k = Encoding::toGb(key);
        size_t lastEntry = 0; // one past the last entry
        for (size_t i = 0; i < lines.size(); ++i) {
            if (!lines[i].isEntry())
                continue;
            if (sameName(lines[i].key, k)) {
                lines[i].value = ownValue(value);
                return;
            }
            lastEntry = i + 1;
        }
        lines.insert(lines.begin() + qsizetype(lastEntry), Line{own(k), ownValue(value)});
    }

    // A section of that name made afresh at the end, for a run of new entries
    // (no search: the caller removed every section of the name before). The
    // entries are encoded in one go: a save of thousands of posts makes one
    // buffer per section, not two per post.
    void appendSection(const QString &section, const QList<std::pair<QString, QString>> &entries)
    {
        QString text;
        for (const auto &[key, value] : entries) {
            QString v = value;
            v.replace(u'\r', u' ').replace(u'\n', u' ');
            text += key + u'\n' + v + u'\n';
        }
        // "\n" is one byte in GB18030 and never part of a character.
        const QByteArrayView all = own(Encoding::toGb(text));
        const qsizetype s = addSection(own(Encoding::toGb(section)));
        std::vector<Line> &lines = detach(m_sections[size_t(s)]);
        lines.reserve(size_t(entries.size()));
        qsizetype at = 0;
        auto next = [&] {
            const qsizetype end = all.indexOf('\n', at);
            const QByteArrayView part = all.sliced(at, end - at);
            at = end + 1;
            return part;
        };
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QByteArrayView key = next();
            lines.push_back({key, next()});
        }
    }

    // Every section whose name the predicate picks goes, in one pass.
    template<typename F>
    void removeSections(F &&picked)
    {
        std::erase_if(m_sections, [&](const Section &s) { return picked(s.name); });
        rebuildIndex();
    }

    bool save(const QString &path, QString *error) const
    {
        // Written beside the file and renamed over it only when every byte
        // reached the disk: a failed write keeps the old file whole. The
        // text goes out in pieces of about a megabyte, so a large file is
        // not held twice.
        SafeFile file(path);
        auto failed = [&] {
            if (error)
                *error = file.errorText();
            return false;
        };
        if (!file.open())
            return failed();
        constexpr qsizetype kPiece = 1 << 20;
        QByteArray piece;
        piece.reserve(kPiece + 4096);
        bool ok = true;
        auto flush = [&](qsizetype atLeast) {
            if (piece.size() < atLeast)
                return;
            ok = ok && file.write(piece);
            piece.resize(0);
        };
        for (const Line &l : m_preamble) {
            piece.append(l.key).append("\r\n");
            flush(kPiece);
        }
        for (const Section &s : m_sections) {
            piece.append('[').append(s.name).append("]\r\n");
            for (const Line &l : linesOf(s)) {
                piece.append(l.key);
                if (l.isEntry())
                    piece.append('=').append(l.value);
                piece.append("\r\n");
                flush(kPiece);
            }
            flush(kPiece);
        }
        flush(0);
        if (!ok || !file.commit())
            return failed();
        return true;
    }

private:
    struct Line
    {
        QByteArrayView key; // the whole text of a comment
        QByteArrayView value; // null for a comment
        bool isEntry() const { return value.data() != nullptr; }
    };
    // A section's lines as read lie in m_lines (first, count); once written
    // to, it has lines of its own in m_written.
    struct Section
    {
        QByteArrayView name;
        quint32 first = 0;
        quint32 count = 0;
        qint32 written = -1;
    };

    std::span<const Line> linesOf(const Section &s) const
    {
        if (s.written >= 0)
            return m_written[size_t(s.written)];
        return std::span<const Line>(m_lines).subspan(s.first, s.count);
    }

    std::vector<Line> &detach(Section &s)
    {
        if (s.written < 0) {
            const auto lines = linesOf(s);
            m_written.emplace_back(lines.begin(), lines.end());
            s.written = qint32(m_written.size() - 1);
        }
        return m_written[size_t(s.written)];
    }

    // The next line of the file, for the section read last.
    void addLoadedLine(qsizetype section, const Line &line)
    {
        Section &s = m_sections[size_t(section)];
        if (s.count == 0)
            s.first = quint32(m_lines.size());
        m_lines.push_back(line);
        ++s.count;
    }

    // Broken characters replaced, as a read decodes them.
    static QByteArray mend(QByteArrayView bytes)
    {
        QString text = Encoding::fromGb(bytes);
        text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
        return Encoding::toGb(text);
    }

    QByteArrayView own(QByteArray bytes)
    {
        // A deque never moves its elements, and a QByteArray's bytes stay put.
        m_owned.push_back(std::move(bytes));
        const QByteArray &b = m_owned.back();
        return QByteArrayView(b.constData() ? b.constData() : "", b.size());
    }

    QByteArrayView ownValue(QString value)
    {
        // A line break would split the entry; the value stays on its line.
        value.replace(u'\r', u' ').replace(u'\n', u' ');
        return own(Encoding::toGb(value));
    }

    static size_t hashName(QByteArrayView name)
    {
        size_t h = 1469598103934665603ull;
        for (char c : name) {
            h ^= uchar(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            h *= 1099511628211ull;
        }
        return h;
    }

    // The section of that name (letter case aside), or -1. An open-addressing
    // table of positions: no copy of any name.
    qsizetype find(QByteArrayView name) const
    {
        if (m_slots.empty())
            return -1;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hashName(name) & mask;; i = (i + 1) & mask) {
            const quint32 slot = m_slots[i];
            if (slot == 0)
                return -1;
            if (sameName(m_sections[slot - 1].name, name))
                return qsizetype(slot - 1);
        }
    }

    void insertSlot(size_t position)
    {
        const size_t mask = m_slots.size() - 1;
        size_t i = hashName(m_sections[position].name) & mask;
        while (m_slots[i] != 0)
            i = (i + 1) & mask;
        m_slots[i] = quint32(position + 1);
    }

    void rebuildIndex()
    {
        size_t n = 16;
        while (n < 2 * m_sections.size())
            n *= 2;
        m_slots.assign(n, 0);
        for (size_t i = 0; i < m_sections.size(); ++i)
            insertSlot(i);
    }

    qsizetype addSection(QByteArrayView name)
    {
        m_sections.push_back({name});
        if (2 * m_sections.size() > m_slots.size())
            rebuildIndex();
        else
            insertSlot(m_sections.size() - 1);
        return qsizetype(m_sections.size() - 1);
    }

    QByteArray m_bytes; // the file as read; names and values point into it
    std::deque<QByteArray> m_owned; // the bytes of what was written or mended
    std::vector<Line> m_preamble;
    std::vector<Line> m_lines; // the lines of the file's sections, in order
    std::deque<std::vector<Line>> m_written;
    std::vector<Section> m_sections;
    std::vector<quint32> m_slots; // 0 = empty, else section position + 1
};

// Saved as a file, then, in a lab, handed to the server for every station.
bool saveShared(const IniDocument &doc, const QString &path, QString *error)
{
    if (!doc.save(path, error))
        return false;
    if (!CADOConn::onServer())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return SharedFiles::write(SharedFiles::Kind::Settings, QFileInfo(path).fileName(), file.readAll(), error);
}

} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

QString SettingsFile::defaultPath()
{
    return QDir::current().filePath(QStringLiteral("vornconf.ini"));
}

QString SettingsFile::notFound()
{
    return QStringLiteral("没找到信息");
}

QString SettingsFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const IniText text = readText(m_path);
    const auto body = text.section(Encoding::toGb(section));
    if (!body)
        return defaultValue;
    const auto v = IniText::value(*body, Encoding::toGb(key));
    return v ? decodeValue(*v) : defaultValue;
}

int SettingsFile::readInt(const QString &section, const QString &key, int defaultValue) const
{
    const IniText text = readText(m_path);
    const auto body = text.section(Encoding::toGb(section));
    if (!body)
        return defaultValue;
    const auto v = IniText::value(*body, Encoding::toGb(key));
    return v ? parseCount(*v) : defaultValue;
}

bool SettingsFile::writeString(const QString &section, const QString &key, const QString &value, QString *error) const
{
    IniDocument doc = IniDocument::load(m_path);
    doc.write(section, key, value);
    return saveShared(doc, m_path, error);
}

bool SettingsFile::deleteSection(const QString &section, QString *error) const
{
    IniDocument doc = IniDocument::load(m_path);
    const QByteArray name = Encoding::toGb(section);
    doc.removeSections([&](QByteArrayView n) { return sameName(n, name); });
    return saveShared(doc, m_path, error);
}

QStringList SettingsFile::readDepartmentNames() const
{
    const IniText text = readText(m_path);
    const auto c = text.catalogue();
    const int n = c.info ? IniText::count(*c.info, "Count") : 0;
    QStringList names;
    names.reserve(n);
    for (int d = 1; d <= n; ++d) {
        const auto &body = c.departments[size_t(d)];
        const auto v = body ? IniText::value(*body, "name") : std::nullopt;
        names << (v ? decodeValue(*v) : notFound());
    }
    return names;
}

QStringList SettingsFile::readPostNames(int position) const
{
    // Position -1 stands for section department0, which never exists.
    if (position < 0)
        return {};
    const IniText text = readText(m_path);
    const auto body = text.section(QByteArray("department") + QByteArray::number(position + 1));
    return body ? IniText::posts(*body) : QStringList();
}

DepartmentTree SettingsFile::readDepartmentTree() const
{
    const IniText text = readText(m_path);
    const auto c = text.catalogue();
    const int n = c.info ? IniText::count(*c.info, "Count") : 0;
    DepartmentTree tree;
    tree.reserve(n);
    // Departments are capped by MaxCount, named posts by the file's lines;
    // posts without a name are what a damaged file could multiply.
    int placeholders = MaxCount;
    for (int d = 1; d <= n; ++d) {
        const auto &body = c.departments[size_t(d)];
        DepartmentNode node{notFound(), {}};
        if (body) {
            if (const auto v = IniText::value(*body, "name"))
                node.name = decodeValue(*v);
            node.posts = IniText::posts(*body, &placeholders);
        }
        tree << node;
    }
    return tree;
}

AudienceGroups SettingsFile::readAudienceGroups() const
{
    const IniText text = readText(m_path);
    AudienceGroups groups;
    if (const auto body = text.section("object")) {
        for (int k = 0; k < 4; ++k)
            if (const auto v = IniText::value(*body, QByteArray("name") + QByteArray::number(k + 1)))
                groups[size_t(k)] = decodeValue(*v);
    }
    return groups;
}

QStringList SettingsFile::audienceGroupList() const
{
    QStringList list;
    for (const QString &g : readAudienceGroups())
        if (!g.isEmpty())
            list << g;
    return list;
}

bool SettingsFile::writeDepartmentTree(const DepartmentTree &tree, QString *error) const
{
    QByteArray bytes = readFileBytes(m_path);
    const auto info = IniText(bytes).section("info");
    const int oldCount = info ? IniText::count(*info, "Count") : 0;
    // Sections about to be written go too, even above the old count: a stale
    // section left there would lend its posts to a new department without any.
    const int last = std::max(oldCount, int(tree.size()));
    IniDocument doc = IniDocument::fromBytes(std::move(bytes), [&](QByteArrayView name) {
        if (sameName(name, "info"))
            return true;
        const int d = departmentNumber(name);
        return d > 0 && d <= last;
    });
    int d = 0;
    for (const DepartmentNode &department : tree) {
        QList<std::pair<QString, QString>> entries;
        entries.reserve(department.posts.size() + 2);
        entries.append({QStringLiteral("name"), department.name});
        int p = 0;
        for (const QString &post : department.posts)
            entries.append({QStringLiteral("job%1").arg(++p), post});
        if (p > 0)
            entries.append({QStringLiteral("number"), QString::number(p)});
        doc.appendSection(departmentSection(++d), entries);
    }
    doc.appendSection(kInfo, {{QStringLiteral("Count"), QString::number(d)}});
    return saveShared(doc, m_path, error);
}

bool SettingsFile::writeAudienceGroups(const AudienceGroups &groups, QString *error) const
{
    IniDocument doc = IniDocument::load(m_path);
    for (int k = 0; k < 4; ++k) {
        const QString key = QStringLiteral("name%1").arg(k + 1);
        if (Encoding::toGb(doc.readString(kObject, key)) != Encoding::toGb(groups[size_t(k)]))
            doc.write(kObject, key, groups[size_t(k)]);
    }
    // A slot keeps a name only when the slots before it are filled.
    if (groups[1].isEmpty()) {
        doc.write(kObject, QStringLiteral("name3"), QString());
        doc.write(kObject, QStringLiteral("name4"), QString());
    } else if (groups[2].isEmpty()) {
        doc.write(kObject, QStringLiteral("name4"), QString());
    }
    return saveShared(doc, m_path, error);
}
