#pragma once
// Reading a written DOCX back, as an outsider: the parts of the zip, and for
// each bookmark the paragraphs inside it with their alignment and the
// character formatting of its runs.
#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <pugixml.hpp>
#include <zip.h>

#include <map>
#include <set>
#include <string>

// The named part of a zip, or a null array.
inline QByteArray zipPart(const QString &path, const char *name)
{
    int error = 0;
    zip_t *z = zip_open(path.toUtf8().constData(), ZIP_RDONLY, &error);
    if (!z)
        return {};
    QByteArray out;
    if (zip_file_t *f = zip_fopen(z, name, 0)) {
        char buf[8192];
        zip_int64_t n;
        out = QByteArray("");
        while ((n = zip_fread(f, buf, sizeof buf)) > 0)
            out.append(buf, qsizetype(n));
        zip_fclose(f);
    }
    zip_discard(z);
    return out;
}

// A zip made of the given parts (name, text), as a template an organisation
// might bring.
inline bool writeZip(const QString &path, const QList<std::pair<const char *, QByteArray>> &parts)
{
    int error = 0;
    zip_t *z = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return false;
    for (const auto &[name, data] : parts) {
        zip_source_t *s = zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
        zip_file_add(z, name, s, ZIP_FL_OVERWRITE);
    }
    return zip_close(z) == 0;
}

struct MarkContent
{
    QStringList lines;       // one per paragraph the bookmark touches
    QStringList aligns;      // w:jc of those paragraphs ("" = none)
    QStringList keeps;       // "next", "lines", "next lines" or "" by w:keepNext and w:keepLines
    QSet<QString> sizes;     // w:sz of its runs ("" = none)
    int runs = 0, boldRuns = 0;
};

struct DocxContent
{
    bool parsed = false;
    QMap<QString, MarkContent> marks;
    QString allText; // every paragraph, joined by line breaks
};

inline DocxContent readDocx(const QString &path)
{
    DocxContent out;
    const QByteArray xml = zipPart(path, "word/document.xml");
    pugi::xml_document doc;
    if (xml.isNull()
        || !doc.load_buffer(xml.constData(), size_t(xml.size()), pugi::parse_default | pugi::parse_ws_pcdata_single))
        return out;
    out.parsed = true;
    std::map<std::string, QString> names; // id -> name
    std::set<QString> active;
    QStringList paragraphs;
    for (pugi::xpath_node pn : doc.select_nodes("//w:p")) {
        const pugi::xml_node p = pn.node();
        const QString jc = QString::fromUtf8(p.child("w:pPr").child("w:jc").attribute("w:val").value());
        QStringList keepList;
        if (p.child("w:pPr").child("w:keepNext"))
            keepList << QStringLiteral("next");
        if (p.child("w:pPr").child("w:keepLines"))
            keepList << QStringLiteral("lines");
        const QString keep = keepList.join(QLatin1Char(' '));
        for (const QString &m : active) {
            out.marks[m].lines << QString();
            out.marks[m].aligns << jc;
            out.marks[m].keeps << keep;
        }
        QString text;
        for (pugi::xpath_node dn : p.select_nodes(".//*")) {
            const pugi::xml_node d = dn.node();
            const std::string name = d.name();
            if (name == "w:bookmarkStart") {
                const QString m = QString::fromUtf8(d.attribute("w:name").value());
                names[d.attribute("w:id").value()] = m;
                active.insert(m);
                out.marks[m].lines << QString();
                out.marks[m].aligns << jc;
                out.marks[m].keeps << keep;
            } else if (name == "w:bookmarkEnd") {
                active.erase(names[d.attribute("w:id").value()]);
            } else if (name == "w:t" || name == "w:tab") {
                const QString t = name == "w:t" ? QString::fromUtf8(d.text().get()) : QStringLiteral("\t");
                text += t;
                for (const QString &m : active)
                    out.marks[m].lines.last() += t;
            } else if (name == "w:r") {
                for (const QString &m : active) {
                    MarkContent &c = out.marks[m];
                    ++c.runs;
                    c.boldRuns += d.child("w:rPr").child("w:b") ? 1 : 0;
                    c.sizes << QString::fromUtf8(d.child("w:rPr").child("w:sz").attribute("w:val").value());
                }
            }
        }
        paragraphs << text;
    }
    out.allText = paragraphs.join(QLatin1Char('\n'));
    return out;
}
