#include "app/PdfDocument.h"

#include "store/SafeFile.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTextOption>

namespace {

constexpr double kPageWidth = 210, kPageHeight = 297, kMargin = 18;
constexpr int kResolution = 300;

} // namespace

PdfDocument::PdfDocument(const QString &title)
    : m_dir(std::make_unique<QTemporaryDir>())
{
    m_temp = m_dir->filePath(QStringLiteral("report.pdf"));
    m_writer = std::make_unique<QPdfWriter>(m_temp);
    m_writer->setTitle(title);
    m_writer->setCreator(QStringLiteral("Lumet"));
    m_writer->setResolution(kResolution);
    m_writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Millimeter));
    m_unit = kResolution / 25.4;
    m_painter = std::make_unique<QPainter>(m_writer.get());
}

PdfDocument::~PdfDocument()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

QFont PdfDocument::font(double points, bool bold)
{
    // Latin letters and digits from DejaVu Serif (fontconfig's own font):
    // in the Latin runs of Noto CJK, Qt's PDF writer loses the digits' text,
    // so a report searched or copied would read "A3" as "A".
    QFont f(QStringList{QStringLiteral("DejaVu Serif"), QStringLiteral("宋体")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

double PdfDocument::width() const
{
    return kPageWidth - 2 * kMargin;
}

QPainter &PdfDocument::painter()
{
    return *m_painter;
}

void PdfDocument::newPage()
{
    m_writer->newPage();
    m_y = 0;
}

void PdfDocument::ensureRoom(double height)
{
    if (m_y > 0 && m_y + height > kPageHeight - 2 * kMargin)
        newPage();
}

double PdfDocument::textHeight(const QString &text, const QFont &font, double w) const
{
    const QFontMetricsF fm(font, m_writer.get());
    const QRectF r = fm.boundingRect(QRectF(0, 0, w * m_unit, 1e6), Qt::TextWordWrap, text);
    return r.height() / m_unit;
}

void PdfDocument::text(double x, double y, double w, double h, const QString &s, const QFont &font, int flags)
{
    m_painter->setFont(font);
    m_painter->setPen(Qt::black);
    m_painter->drawText(QRectF(x * m_unit, y * m_unit, w * m_unit, h * m_unit), flags, s);
}

void PdfDocument::paragraph(const QString &s, const QFont &font, Qt::Alignment align)
{
    // Line by line, so a long paragraph continues on the next page.
    for (const QString &line : s.split(QLatin1Char('\n'))) {
        QTextLayout layout(line.isEmpty() ? QStringLiteral(" ") : line, font, m_writer.get());
        QTextOption option(align);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        QList<QTextLine> lines;
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(width() * m_unit);
            lines << l;
        }
        layout.endLayout();
        m_painter->setFont(font);
        m_painter->setPen(Qt::black);
        for (QTextLine &l : lines) {
            const double h = l.height() / m_unit;
            ensureRoom(h);
            l.draw(m_painter.get(), QPointF(0, m_y * m_unit - l.y()));
            m_y += h;
        }
    }
}

QString PdfDocument::finish(const QString &path)
{
    if (!m_painter->end())
        return QStringLiteral("无法生成PDF文件：%1").arg(path);
    m_writer.reset();
    return SafeWrite::placeFile(m_temp, path);
}
