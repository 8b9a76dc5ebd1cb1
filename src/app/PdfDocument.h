#pragma once
// A print-ready A4 PDF written with Qt's PDF writer: text flows down the
// page and onto the next, blocks that must stay whole move to a new page.
// The pages go to a temporary file first and reach the target through the
// safe file write, so a failed export never leaves half a report.
// Lengths are in millimetres.
#include <QFont>
#include <QString>

#include <memory>

class QPainter;
class QPdfWriter;
class QTemporaryDir;

class PdfDocument
{
public:
    explicit PdfDocument(const QString &title);
    ~PdfDocument();
    PdfDocument(const PdfDocument &) = delete;
    PdfDocument &operator=(const PdfDocument &) = delete;

    // 宋体 (as the screens substitute it) at the given size, Latin text in
    // DejaVu Serif.
    static QFont font(double points, bool bold = false);

    double width() const; // of the text area
    double y() const { return m_y; }
    // Starts a new page unless height fits below the current line.
    void ensureRoom(double height);
    void newPage();
    // Wrapped text across the text area (or from x with the given width);
    // a paragraph taller than the room left goes on line by line.
    void paragraph(const QString &text, const QFont &font, Qt::Alignment align = Qt::AlignLeft);
    void skip(double height) { m_y += height; }
    // Height of text wrapped into width.
    double textHeight(const QString &text, const QFont &font, double width) const;
    // Draws inside a rectangle of the text area's coordinates (x from its
    // left edge, y from the page's text top), without moving on.
    void text(double x, double y, double w, double h, const QString &text, const QFont &font,
              int flags = Qt::AlignLeft | Qt::AlignVCenter);
    QPainter &painter();
    // Millimetres to device units.
    double unit() const { return m_unit; }

    // Ends the document and writes it to path; empty on success, else the
    // message for the user.
    QString finish(const QString &path);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    QString m_temp;
    double m_unit = 1;
    double m_y = 0;
};
