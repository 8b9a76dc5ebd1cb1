#include "paper/WordDocument.h"

#include "store/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringList>

#include <pugixml.hpp>
#include <zip.h>

#include <map>
#include <memory>
#include <sstream>
#include <vector>

namespace WordDocument {

namespace {

struct Entry
{
    std::string name;
    QByteArray data;
    bool directory = false;
};

struct ZipCloser
{
    void operator()(zip_t *z) const
    {
        if (z)
            zip_discard(z);
    }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

// Every entry of the package, in the order stored. False when it is no zip.
bool readPackage(const QString &path, std::vector<Entry> *entries)
{
    int error = 0;
    ZipPtr zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!zip)
        return false;
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip.get(), zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            return false;
        Entry e;
        e.name = st.name;
        e.directory = !e.name.empty() && e.name.back() == '/';
        if (!e.directory) {
            zip_file_t *f = zip_fopen_index(zip.get(), zip_uint64_t(i), 0);
            if (!f)
                return false;
            QByteArray data;
            char buffer[65536];
            zip_int64_t n;
            while ((n = zip_fread(f, buffer, sizeof buffer)) > 0)
                data.append(buffer, qsizetype(n));
            zip_fclose(f);
            if (n < 0)
                return false;
            e.data = std::move(data);
        }
        entries->push_back(std::move(e));
    }
    return true;
}

// The package is made in memory and then written through SafeFile, so a
// full disk can never leave a cut document that looks saved.
bool writePackage(const QString &path, const std::vector<Entry> &entries, QString *error)
{
    *error = QString();
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t *memory = zip_source_buffer_create(nullptr, 0, 0, &ze);
    zip_error_fini(&ze);
    if (!memory)
        return false;
    const auto freeMemory = qScopeGuard([memory] { zip_source_free(memory); });
    zip_error_init(&ze);
    ZipPtr zip(zip_open_from_source(memory, ZIP_CREATE | ZIP_TRUNCATE, &ze));
    zip_error_fini(&ze);
    if (!zip)
        return false;
    zip_source_keep(memory); // for freeMemory: the archive lets go of its own reference
    for (const Entry &e : entries) {
        if (e.directory)
            continue;
        // The buffers outlive zip_close: entries belong to the caller.
        zip_source_t *src = zip_source_buffer(zip.get(), e.data.constData(), zip_uint64_t(e.data.size()), 0);
        if (!src)
            return false;
        const zip_int64_t index = zip_file_add(zip.get(), e.name.c_str(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(src);
            return false;
        }
        zip_set_file_compression(zip.get(), zip_uint64_t(index), ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(zip.get()) != 0)
        return false;
    zip.release();

    if (zip_source_open(memory) != 0)
        return false;
    QByteArray bytes;
    char buffer[65536];
    zip_int64_t n;
    while ((n = zip_source_read(memory, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, qsizetype(n));
    zip_source_close(memory);
    if (n < 0)
        return false;
    return SafeWrite::writeFile(path, bytes, error);
}

// The main document part named by the package relationships.
std::string mainPart(const std::vector<Entry> &entries)
{
    for (const Entry &e : entries) {
        if (e.name != "_rels/.rels")
            continue;
        pugi::xml_document rels;
        if (!rels.load_buffer(e.data.constData(), size_t(e.data.size())))
            break;
        for (pugi::xml_node r : rels.document_element().children()) {
            const std::string type = r.attribute("Type").value();
            if (type.size() >= 15 && type.compare(type.size() - 15, 15, "/officeDocument") == 0) {
                std::string target = r.attribute("Target").value();
                while (!target.empty() && target.front() == '/')
                    target.erase(0, 1);
                return target;
            }
        }
    }
    return "word/document.xml";
}

// The template's default Latin font (styles part, document defaults).
std::string latinFont(const std::vector<Entry> &entries, const std::string &mainPart)
{
    const std::string styles = mainPart.substr(0, mainPart.rfind('/') + 1) + "styles.xml";
    for (const Entry &e : entries) {
        if (e.name != styles)
            continue;
        pugi::xml_document doc;
        if (!doc.load_buffer(e.data.constData(), size_t(e.data.size())))
            return {};
        const pugi::xpath_node fonts = doc.select_node("/*/*[local-name()='docDefaults']/*[local-name()='rPrDefault']"
                                                       "/*[local-name()='rPr']/*[local-name()='rFonts']");
        for (pugi::xml_attribute a : fonts.node().attributes()) {
            const std::string name = a.name();
            if (name.size() >= 6 && name.compare(name.size() - 6, 6, ":ascii") == 0)
                return a.value();
        }
    }
    return {};
}

class Filler
{
public:
    Filler(pugi::xml_document &doc, std::string latinFont)
        : m_doc(doc)
        , m_latinFont(std::move(latinFont))
    {
        const std::string root = doc.document_element().name();
        const auto colon = root.find(':');
        m_prefix = colon == std::string::npos ? std::string() : root.substr(0, colon + 1);
        collect(doc.document_element());
    }

    QStringList missing(const QList<BookmarkText> &bookmarks) const
    {
        QStringList names;
        for (const BookmarkText &b : bookmarks) {
            const auto start = m_starts.find(b.name.toStdString());
            if (start == m_starts.end() || !m_ends.count(start->second.attribute(w("id").c_str()).value()))
                names << b.name;
        }
        return names;
    }

    // Empty on success, else why the bookmark's range cannot be written.
    QString fill(const BookmarkText &b)
    {
        pugi::xml_node s = m_starts.at(b.name.toStdString());
        pugi::xml_node e = m_ends.at(s.attribute(w("id").c_str()).value());
        const QString cannot = QStringLiteral("试卷模板中的书签%1无法写入。").arg(b.name);

        pugi::xml_node ps = paragraphOf(s), pe = paragraphOf(e);
        // A marker between paragraphs belongs to the paragraph it borders.
        if (!ps) {
            ps = nextSibling(s, "p");
            if (!ps)
                return cannot;
            ps.insert_move_after(s, ps.child(w("pPr").c_str()));
        }
        if (!pe) {
            pe = previousSibling(e, "p");
            if (!pe)
                return cannot;
            pe.append_move(e);
        }
        if (ps.parent() != pe.parent())
            return cannot;
        liftTo(s, ps, false);
        liftTo(e, pe, true);
        if (!before(ps, pe) && ps != pe)
            return cannot;

        // The first run's character properties are those of the text written.
        pugi::xml_document base;
        if (pugi::xml_node r = firstRunProperties(s, e))
            base.append_copy(r);

        if (ps == pe) {
            if (!before(s, e))
                return cannot;
            removeContentBetween(s, e);
        } else {
            removeContentBetween(s, pugi::xml_node());
            for (pugi::xml_node n = ps.next_sibling(); n && n != pe;) {
                pugi::xml_node next = n.next_sibling();
                if (n.type() == pugi::node_element && n.name() != w("sectPr"))
                    ps.parent().remove_child(n);
                n = next;
            }
            for (pugi::xml_node n = pe.first_child(); n && n != e;) {
                pugi::xml_node next = n.next_sibling();
                if (isContent(n))
                    pe.remove_child(n);
                n = next;
            }
            // The rest of the end paragraph joins the start paragraph.
            for (pugi::xml_node n = e; n;) {
                pugi::xml_node next = n.next_sibling();
                ps.append_move(n);
                n = next;
            }
            ps.parent().remove_child(pe);
        }

        const QStringList lines = xmlSafe(b.text).split(QLatin1Char('\n'));
        std::vector<pugi::xml_node> paragraphs{ps};
        pugi::xml_node current = ps;
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                pugi::xml_node p = current.parent().insert_child_after(w("p").c_str(), current);
                if (pugi::xml_node props = ps.child(w("pPr").c_str())) {
                    pugi::xml_node copy = p.append_copy(props);
                    copy.remove_child(w("sectPr").c_str());
                }
                current = p;
                paragraphs.push_back(p);
            }
            appendRuns(current, i == 0 ? e : pugi::xml_node(), lines.at(i), base.first_child(), b);
        }
        if (current != ps) {
            for (pugi::xml_node n = e; n;) {
                pugi::xml_node next = n.next_sibling();
                current.append_move(n);
                n = next;
            }
        }
        if (b.align != BookmarkText::Align::Keep)
            for (pugi::xml_node p : paragraphs)
                setAlignment(p, b.align == BookmarkText::Align::Center ? "center" : "right");
        if (b.keepIndentedWithPrevious) {
            for (size_t i = 0; i < paragraphs.size(); ++i) {
                const bool indentedNext = i + 1 < paragraphs.size() && lines.at(int(i + 1)).startsWith(QLatin1Char(' '));
                setKeep(paragraphs[i], indentedNext);
            }
        }
        return {};
    }

private:
    std::string w(const char *local) const { return m_prefix + local; }

    void collect(pugi::xml_node node)
    {
        for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element)
                continue;
            if (c.name() == w("bookmarkStart")) {
                // The first of a name counts, as word processors keep it.
                m_starts.emplace(c.attribute(w("name").c_str()).value(), c);
            } else if (c.name() == w("bookmarkEnd")) {
                m_ends.emplace(c.attribute(w("id").c_str()).value(), c);
            } else {
                collect(c);
            }
        }
    }

    pugi::xml_node paragraphOf(pugi::xml_node n) const
    {
        for (pugi::xml_node p = n.parent(); p; p = p.parent())
            if (p.name() == w("p"))
                return p;
        return {};
    }

    pugi::xml_node nextSibling(pugi::xml_node n, const char *local) const
    {
        for (pugi::xml_node s = n.next_sibling(); s; s = s.next_sibling())
            if (s.name() == w(local))
                return s;
        return {};
    }

    pugi::xml_node previousSibling(pugi::xml_node n, const char *local) const
    {
        for (pugi::xml_node s = n.previous_sibling(); s; s = s.previous_sibling())
            if (s.name() == w(local))
                return s;
        return {};
    }

    // Makes a marker nested in a run container a direct child of the
    // paragraph, beside its container.
    static void liftTo(pugi::xml_node marker, pugi::xml_node paragraph, bool isEnd)
    {
        if (marker.parent() == paragraph)
            return;
        pugi::xml_node holder = marker;
        while (holder.parent() != paragraph)
            holder = holder.parent();
        const bool last = marker.next_sibling() == pugi::xml_node();
        if (isEnd && last)
            paragraph.insert_move_after(marker, holder);
        else
            paragraph.insert_move_before(marker, holder);
    }

    static bool before(pugi::xml_node a, pugi::xml_node b)
    {
        for (pugi::xml_node n = a.next_sibling(); n; n = n.next_sibling())
            if (n == b)
                return true;
        return false;
    }

    bool isContent(pugi::xml_node n) const
    {
        if (n.type() != pugi::node_element)
            return n.type() == pugi::node_pcdata;
        const std::string name = n.name();
        return name != w("pPr") && name != w("bookmarkStart") && name != w("bookmarkEnd");
    }

    // Removes the content siblings after from up to (not including) to; a
    // null to runs to the end of the paragraph. Other bookmarks' markers stay.
    void removeContentBetween(pugi::xml_node from, pugi::xml_node to)
    {
        for (pugi::xml_node n = from.next_sibling(); n && n != to;) {
            pugi::xml_node next = n.next_sibling();
            if (isContent(n))
                from.parent().remove_child(n);
            n = next;
        }
    }

    pugi::xml_node firstRunProperties(pugi::xml_node s, pugi::xml_node e) const
    {
        // Searched in document order from the start marker to the end marker.
        for (pugi::xml_node n = s; n && n != e; n = nextInOrder(n)) {
            if (n.name() == w("r"))
                return n.child(w("rPr").c_str());
        }
        return {};
    }

    static pugi::xml_node nextInOrder(pugi::xml_node n)
    {
        if (n.first_child())
            return n.first_child();
        while (n && !n.next_sibling())
            n = n.parent();
        return n ? n.next_sibling() : pugi::xml_node();
    }

    void appendRuns(pugi::xml_node p, pugi::xml_node beforeNode, const QString &line, pugi::xml_node base,
                    const BookmarkText &b)
    {
        if (line.isEmpty())
            return;
        // The character properties of every run of the line.
        pugi::xml_document holder;
        pugi::xml_node props = base ? holder.append_copy(base) : pugi::xml_node();
        if (b.bold || b.points > 0) {
            if (!props)
                props = holder.append_child(w("rPr").c_str());
            if (b.bold) {
                for (const char *n : {"b", "bCs"})
                    props.remove_child(w(n).c_str());
                pugi::xml_node at = firstChildNotIn(props, {"rStyle", "rFonts"});
                for (const char *n : {"b", "bCs"})
                    at ? props.insert_child_before(w(n).c_str(), at) : props.append_child(w(n).c_str());
            }
            if (b.points > 0) {
                const std::string half = std::to_string(int(b.points * 2 + 0.5));
                for (const char *n : {"sz", "szCs"})
                    props.remove_child(w(n).c_str());
                pugi::xml_node at = firstChildIn(props, {"highlight", "u", "effect", "bdr", "shd", "fitText",
                                                         "vertAlign", "rtl", "cs", "em", "lang", "eastAsianLayout",
                                                         "specVanish", "oMath", "rPrChange"});
                for (const char *n : {"sz", "szCs"}) {
                    pugi::xml_node size = at ? props.insert_child_before(w(n).c_str(), at) : props.append_child(w(n).c_str());
                    size.append_attribute(w("val").c_str()) = half.c_str();
                }
            }
        }
        // A run of spaces in a Chinese line is drawn by some word processors
        // with the Chinese font, whose space is narrower than the Latin one;
        // naming the Latin font for it keeps padded columns lined up.
        std::string latin = props ? props.child(w("rFonts").c_str()).attribute(w("ascii").c_str()).value() : "";
        if (latin.empty())
            latin = m_latinFont;
        static const QRegularExpression segments(QStringLiteral(" {2,}|[^ ]+(?: (?! )[^ ]*)*| "));
        for (auto it = segments.globalMatch(line); it.hasNext();) {
            const QString piece = it.next().captured(0);
            pugi::xml_node r = beforeNode ? p.insert_child_before(w("r").c_str(), beforeNode) : p.append_child(w("r").c_str());
            if (props)
                r.append_copy(props);
            if (piece.size() >= 2 && piece.count(QLatin1Char(' ')) == piece.size() && !latin.empty()) {
                pugi::xml_node rp = r.child(w("rPr").c_str());
                if (!rp)
                    rp = r.prepend_child(w("rPr").c_str());
                pugi::xml_node fonts = rp.child(w("rFonts").c_str());
                if (!fonts)
                    fonts = rp.child(w("rStyle").c_str()) ? rp.insert_child_after(w("rFonts").c_str(), rp.child(w("rStyle").c_str()))
                                                          : rp.prepend_child(w("rFonts").c_str());
                for (const char *n : {"ascii", "hAnsi", "eastAsia"}) {
                    pugi::xml_attribute a = fonts.attribute(w(n).c_str());
                    (a ? a : fonts.append_attribute(w(n).c_str())) = latin.c_str();
                }
            }
            appendText(r, piece);
        }
    }

    void appendText(pugi::xml_node r, const QString &text)
    {
        const QStringList pieces = text.split(QLatin1Char('\t'));
        for (int i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                r.append_child(w("tab").c_str());
            if (pieces.at(i).isEmpty())
                continue;
            pugi::xml_node t = r.append_child(w("t").c_str());
            t.append_attribute("xml:space") = "preserve";
            t.text().set(pieces.at(i).toUtf8().constData());
        }
    }

    pugi::xml_node firstChildNotIn(pugi::xml_node parent, std::initializer_list<const char *> names) const
    {
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
            bool listed = false;
            for (const char *n : names)
                listed = listed || c.name() == w(n);
            if (!listed)
                return c;
        }
        return {};
    }

    pugi::xml_node firstChildIn(pugi::xml_node parent, std::initializer_list<const char *> names) const
    {
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
            for (const char *n : names)
                if (c.name() == w(n))
                    return c;
        return {};
    }

    void setAlignment(pugi::xml_node p, const char *value)
    {
        pugi::xml_node props = p.child(w("pPr").c_str());
        if (!props)
            props = p.prepend_child(w("pPr").c_str());
        props.remove_child(w("jc").c_str());
        pugi::xml_node at = firstChildIn(props, {"textDirection", "textAlignment", "textboxTightWrap", "outlineLvl",
                                                 "divId", "cnfStyle", "rPr", "sectPr", "pPrChange"});
        pugi::xml_node jc = at ? props.insert_child_before(w("jc").c_str(), at) : props.append_child(w("jc").c_str());
        jc.append_attribute(w("val").c_str()) = value;
    }

    // keepLines, and keepNext when asked, in their place at the front of the
    // paragraph properties (after a paragraph style).
    void setKeep(pugi::xml_node p, bool withNext)
    {
        pugi::xml_node props = p.child(w("pPr").c_str());
        if (!props)
            props = p.prepend_child(w("pPr").c_str());
        pugi::xml_node after = props.child(w("pStyle").c_str());
        if (withNext) {
            pugi::xml_node next = props.child(w("keepNext").c_str());
            if (!next)
                next = after ? props.insert_child_after(w("keepNext").c_str(), after)
                             : props.prepend_child(w("keepNext").c_str());
            after = next;
        } else if (pugi::xml_node next = props.child(w("keepNext").c_str())) {
            after = next; // the template's own stays
        }
        if (!props.child(w("keepLines").c_str())) {
            if (after)
                props.insert_child_after(w("keepLines").c_str(), after);
            else
                props.prepend_child(w("keepLines").c_str());
        }
    }

    pugi::xml_document &m_doc;
    std::string m_latinFont;
    std::string m_prefix;
    std::map<std::string, pugi::xml_node> m_starts;
    std::map<std::string, pugi::xml_node> m_ends;
};

struct ByteWriter : pugi::xml_writer
{
    QByteArray out;
    void write(const void *data, size_t size) override { out.append(static_cast<const char *>(data), qsizetype(size)); }
};

} // namespace

QString xmlSafe(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == u'\r') {
            out += QLatin1Char('\n');
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += c;
                out += text.at(++i);
            }
        } else if (c.isLowSurrogate() || u == 0xFFFE || u == 0xFFFF) {
            continue;
        } else if (u >= 0x20 || u == u'\t' || u == u'\n') {
            out += c;
        }
    }
    return out;
}

QString fill(const QString &templatePath, const QString &outputPath, const QList<BookmarkText> &bookmarks)
{
    if (!QFileInfo(templatePath).isFile())
        return QStringLiteral("找不到试卷模板文件：%1").arg(templatePath);
    const QString notDocx = QStringLiteral("试卷模板文件不是有效的Word文档（.docx）：%1").arg(templatePath);
    std::vector<Entry> entries;
    if (!readPackage(templatePath, &entries))
        return notDocx;
    const std::string part = mainPart(entries);
    Entry *main = nullptr;
    for (Entry &e : entries)
        if (e.name == part)
            main = &e;
    if (!main)
        return notDocx;

    pugi::xml_document doc;
    const unsigned options = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    if (!doc.load_buffer(main->data.constData(), size_t(main->data.size()), options, pugi::encoding_utf8)
        || !doc.document_element())
        return notDocx;

    Filler filler(doc, latinFont(entries, part));
    const QStringList missing = filler.missing(bookmarks);
    if (!missing.isEmpty())
        return QStringLiteral("试卷模板中缺少书签：%1").arg(missing.join(QStringLiteral("、")));
    for (const BookmarkText &b : bookmarks) {
        const QString error = filler.fill(b);
        if (!error.isEmpty())
            return error;
    }

    ByteWriter writer;
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    main->data = std::move(writer.out);

    QString error;
    if (!writePackage(outputPath, entries, &error)) {
        if (error.isEmpty())
            return QStringLiteral("无法写入文件：%1").arg(outputPath);
        return QStringLiteral("无法写入文件：%1\n原因：%2。").arg(outputPath, error);
    }
    return {};
}

} // namespace WordDocument
