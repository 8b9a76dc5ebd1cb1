#include "store/SettingsFile.h"

#include "store/Encoding.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <limits>
#include <list>
#include <cstring>
#include <optional>
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

    // Every section by name (the first of each name wins), in one pass.
    QHash<QByteArray, QByteArrayView> sectionIndex() const
    {
        QHash<QByteArray, QByteArrayView> index;
        forEachSection([&](QByteArrayView n, QByteArrayView body) {
            const QByteArray key = n.toByteArray().toLower();
            if (!index.contains(key))
                index.insert(key, body);
            return true;
        });
        return index;
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

    // The posts job1 ... job<number> of a department section.
    static QStringList posts(QByteArrayView body)
    {
        std::vector<Entry> entries;
        forEachLine(body, [&](QByteArrayView line) {
            Entry e;
            if (parseEntry(line, e))
                entries.push_back(e);
            return true;
        });
        int m = 0;
        for (const Entry &e : entries)
            if (sameName(e.key, "number")) {
                m = std::min(parseCount(e.value), SettingsFile::MaxCount);
                break;
            }
        std::vector<std::optional<QByteArrayView>> jobs(size_t(m) + 1);
        for (const Entry &e : entries) {
            // "job<p>" with p written as the writer writes it: no leading zero.
            if (e.key.size() < 4 || !sameName(e.key.first(3), "job") || e.key[3] == '0')
                continue;
            qint64 p = 0;
            qsizetype i = 3;
            for (; i < e.key.size() && e.key[i] >= '0' && e.key[i] <= '9' && p <= m; ++i)
                p = p * 10 + (e.key[i] - '0');
            if (i == e.key.size() && p >= 1 && p <= m && !jobs[size_t(p)])
                jobs[size_t(p)] = e.value;
        }
        QStringList names;
        names.reserve(m);
        for (int p = 1; p <= m; ++p)
            names << (jobs[size_t(p)] ? decodeValue(*jobs[size_t(p)]) : SettingsFile::notFound());
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
// Lines no read would ever see (broken lines, keys before any section,
// control characters) are dropped, so a save leaves a clean file.
class IniDocument
{
public:
    static IniDocument load(const QString &path)
    {
        IniDocument doc;
        const QByteArray bytes = readFileBytes(path);
        Section *current = nullptr;
        forEachLine(QByteArrayView(bytes), [&](QByteArrayView raw) {
            const QByteArrayView line = trimmed(raw);
            const QString text = Encoding::fromGb(line);
            const bool binary =
                std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
            if (line.startsWith('[') && line.lastIndexOf(']') > 0) {
                // A section whose name is not text goes with all its keys.
                current = nullptr;
                if (!binary) {
                    const QString name = Encoding::fromGb(trimmed(line.sliced(1, line.lastIndexOf(']') - 1)));
                    doc.m_sections.push_back({name, fold(name), {}});
                    current = &doc.m_sections.back();
                }
                return true;
            }
            if (binary)
                return true;
            if (line.startsWith(';')) {
                (current ? current->lines : doc.m_preamble).push_back({text, {}, {}, false});
                return true;
            }
            Entry e;
            if (current && parseEntry(line, e))
                current->lines.push_back({Encoding::fromGb(e.key), e.key.toByteArray().toLower(),
                                          Encoding::fromGb(e.value), true});
            return true;
        });
        return doc;
    }

    std::optional<QString> value(const QString &section, const QString &key) const
    {
        const Section *s = find(fold(section));
        if (!s)
            return std::nullopt;
        const QByteArray k = fold(key);
        for (const Line &l : s->lines)
            if (l.entry && l.folded == k)
                return l.value;
        return std::nullopt;
    }

    // The value as a read would hand it out.
    QString readString(const QString &section, const QString &key) const
    {
        const auto v = value(section, key);
        return v ? Encoding::cutToGbBytes(*v, SettingsFile::MaxValueBytes) : QString();
    }

    int readCount(const QString &section, const QString &key) const
    {
        const auto v = value(section, key);
        return v ? std::min(parseCount(Encoding::toGb(*v)), SettingsFile::MaxCount) : 0;
    }

    void write(const QString &section, const QString &key, QString value)
    {
        // A line break would split the entry; the value stays on its line.
        value.replace(u'\r', u' ').replace(u'\n', u' ');
        const QByteArray folded = fold(section);
        Section *s = find(folded);
        if (!s) {
            m_sections.push_back({section, folded, {}});
            s = &m_sections.back();
        }
        const QByteArray k = fold(key);
        qsizetype lastEntry = -1;
        for (qsizetype i = 0; i < s->lines.size(); ++i) {
            Line &l = s->lines[i];
            if (!l.entry)
                continue;
            if (l.folded == k) {
                l.value = value;
                return;
            }
            lastEntry = i;
        }
        s->lines.insert(lastEntry + 1, {key, k, value, true});
    }

    // Every section of that name goes, so no stale copy can surface later.
    void removeSection(const QString &section)
    {
        const QByteArray folded = fold(section);
        m_sections.remove_if([&](const Section &s) { return s.folded == folded; });
        m_last = nullptr;
    }

    bool save(const QString &path) const
    {
        QString text;
        for (const Line &l : m_preamble)
            text += l.key + QStringLiteral("\r\n");
        for (const Section &s : m_sections) {
            text += u'[' + s.name + QStringLiteral("]\r\n");
            for (const Line &l : s.lines)
                text += (l.entry ? l.key + u'=' + l.value : l.key) + QStringLiteral("\r\n");
        }
        // Written beside the file and renamed over it: a failed write never
        // leaves half a file.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        const QByteArray bytes = Encoding::toGb(text);
        if (file.write(bytes) != bytes.size()) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    }

private:
    struct Line
    {
        QString key; // the whole text of a comment
        QByteArray folded;
        QString value;
        bool entry = true;
    };
    struct Section
    {
        QString name;
        QByteArray folded;
        QList<Line> lines;
    };

    static QByteArray fold(const QString &name)
    {
        return Encoding::toGb(name).toLower();
    }

    Section *find(const QByteArray &folded) const
    {
        // Writes come in runs on one section; remember the last one found.
        if (m_last && m_last->folded == folded)
            return m_last;
        for (const Section &s : m_sections)
            if (s.folded == folded)
                return m_last = const_cast<Section *>(&s);
        return nullptr;
    }

    QList<Line> m_preamble;
    std::list<Section> m_sections;
    mutable Section *m_last = nullptr;
};

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

bool SettingsFile::writeString(const QString &section, const QString &key, const QString &value) const
{
    IniDocument doc = IniDocument::load(m_path);
    doc.write(section, key, value);
    return doc.save(m_path);
}

bool SettingsFile::deleteSection(const QString &section) const
{
    IniDocument doc = IniDocument::load(m_path);
    doc.removeSection(section);
    return doc.save(m_path);
}

QStringList SettingsFile::readDepartmentNames() const
{
    const IniText text = readText(m_path);
    const auto index = text.sectionIndex();
    const auto info = index.constFind("info");
    const int n = info == index.cend() ? 0 : IniText::count(*info, "Count");
    QStringList names;
    names.reserve(n);
    for (int d = 1; d <= n; ++d) {
        const auto body = index.constFind(QByteArray("department") + QByteArray::number(d));
        const auto v = body == index.cend() ? std::nullopt : IniText::value(*body, "name");
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
    const auto index = text.sectionIndex();
    const auto info = index.constFind("info");
    const int n = info == index.cend() ? 0 : IniText::count(*info, "Count");
    DepartmentTree tree;
    tree.reserve(n);
    for (int d = 1; d <= n; ++d) {
        const auto body = index.constFind(QByteArray("department") + QByteArray::number(d));
        DepartmentNode node{notFound(), {}};
        if (body != index.cend()) {
            if (const auto v = IniText::value(*body, "name"))
                node.name = decodeValue(*v);
            node.posts = IniText::posts(*body);
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

bool SettingsFile::writeDepartmentTree(const DepartmentTree &tree) const
{
    IniDocument doc = IniDocument::load(m_path);
    const int oldCount = doc.readCount(kInfo, QStringLiteral("Count"));
    // Sections about to be written go too, even above the old count: a stale
    // section left there would lend its posts to a new department without any.
    const int last = std::max(oldCount, int(tree.size()));
    for (int d = 1; d <= last; ++d)
        doc.removeSection(departmentSection(d));
    doc.removeSection(kInfo);
    int d = 0;
    for (const DepartmentNode &department : tree) {
        const QString section = departmentSection(++d);
        doc.write(section, QStringLiteral("name"), department.name);
        int p = 0;
        for (const QString &post : department.posts)
            doc.write(section, QStringLiteral("job%1").arg(++p), post);
        if (p > 0)
            doc.write(section, QStringLiteral("number"), QString::number(p));
    }
    doc.write(kInfo, QStringLiteral("Count"), QString::number(d));
    return doc.save(m_path);
}

bool SettingsFile::writeAudienceGroups(const AudienceGroups &groups) const
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
    return doc.save(m_path);
}
