#include "app/DialogTemplate.h"

#include "app/CReadEdit.h"
#include "app/ReportModel.h"
#include "app/Resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTableView>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTreeWidget>

#include <cmath>
#include <memory>

namespace {

QRect rectOf(const QJsonValue &v)
{
    const QJsonArray a = v.toArray();
    if (a.size() != 4)
        return QRect();
    return QRect(a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt(), a.at(3).toInt());
}

// The CJK faces standing in for 宋体 have a line much taller than their
// glyphs: drawn from the top of a label of its described height, shorter
// than that line, the glyphs would be cut at the bottom. Such a label draws
// its one line with the glyphs centred in it instead.
class TemplateLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const QFontMetrics fm(font());
        const QString line = text();
        if (height() >= fm.height() || line.isEmpty() || line.contains(QLatin1Char('\n'))) {
            QLabel::paintEvent(event);
            return;
        }
        const QRect glyphs = fm.tightBoundingRect(QStringLiteral("国图"));
        const int baseline = (height() - glyphs.height()) / 2 - glyphs.top();
        const int advance = fm.horizontalAdvance(line);
        int x = 0;
        if (alignment() & Qt::AlignRight)
            x = width() - advance;
        else if (alignment() & Qt::AlignHCenter)
            x = (width() - advance) / 2;
        QPainter painter(this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        painter.drawText(x, baseline, line);
    }
};

// A tree draws its branches as the Windows tree view does, with dotted lines
// and plus/minus buttons, whatever the application's style.
class TreeLineStyle : public QProxyStyle
{
public:
    TreeLineStyle()
        : m_windows(QStyleFactory::create(QStringLiteral("Windows")))
    {
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_IndicatorBranch && m_windows)
            m_windows->drawPrimitive(element, option, painter, widget);
        else
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    static TreeLineStyle *instance()
    {
        static QPointer<TreeLineStyle> style;
        if (!style) {
            style = new TreeLineStyle;
            style->setParent(qApp);
        }
        return style;
    }

private:
    std::unique_ptr<QStyle> m_windows;
};

QImage pictureOf(const QString &name)
{
    if (name.startsWith(QLatin1String("bmp")))
        return loadBmpResource(name.mid(3).toInt());
    if (name.startsWith(QLatin1String("png")))
        return loadPngResource(name.mid(3).toInt());
    return QImage();
}

} // namespace

DialogTemplate DialogTemplate::load(int id)
{
    DialogTemplate t;
    QFile file(QStringLiteral(":/res/dialogs/%1.json").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return t;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    t.id = o.value("id").toInt(id);
    t.className = o.value("class").toString();
    t.caption = o.value("caption").toString();
    const QJsonArray size = o.value("size").toArray();
    t.size = QSize(size.at(0).toInt(), size.at(1).toInt());
    t.pointSize = o.value("font").toInt(12);
    t.face = o.value("face").toString(QStringLiteral("宋体"));
    t.frame = o.value("frame").toString(QStringLiteral("min"));
    t.taskbar = o.value("taskbar").toBool(true);
    for (const QJsonValue &cv : o.value("controls").toArray()) {
        const QJsonObject c = cv.toObject();
        ControlTemplate ct;
        ct.id = c.value("id").toInt(-1);
        ct.kind = c.value("kind").toString();
        ct.rect = rectOf(c.value("rect"));
        ct.text = c.value("text").toString();
        ct.options = c;
        t.controls << ct;
    }
    return t;
}

QRect DialogTemplate::toPixels(const QRect &du) const
{
    const auto px = [](double v) { return int(std::lround(v)); };
    return QRect(px(du.x() * xUnit()), px(du.y() * yUnit()), px(du.width() * xUnit()), px(du.height() * yUnit()));
}

QSize DialogTemplate::pixelSize() const
{
    return toPixels(QRect(QPoint(0, 0), size)).size();
}

QFont DialogTemplate::font() const
{
    QFont f(face);
    f.setPixelSize(int(std::lround(pointSize * 96.0 / 72.0)));
    return f;
}

QWidget *createControl(const DialogTemplate &dialog, const ControlTemplate &c, QWidget *parent)
{
    QWidget *w = nullptr;
    const QString &k = c.kind;
    if (k == QLatin1String("static")) {
        auto *label = new TemplateLabel(c.text, parent);
        Qt::Alignment align = Qt::AlignTop;
        align |= c.flag("right") ? Qt::AlignRight : c.flag("center") ? Qt::AlignHCenter : Qt::AlignLeft;
        if (c.flag("vcenter"))
            align = (align & ~Qt::AlignTop) | Qt::AlignVCenter;
        label->setAlignment(align);
        label->setWordWrap(c.options.value("wrap").toBool(true));
        if (c.flag("border")) {
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            label->setMargin(2);
        }
        w = label;
    } else if (k == QLatin1String("edit")) {
        auto *edit = new QLineEdit(c.text, parent);
        edit->setReadOnly(c.flag("readonly"));
        if (c.flag("password"))
            edit->setEchoMode(QLineEdit::Password);
        if (c.flag("number"))
            edit->setValidator(new QIntValidator(0, 999999999, edit));
        if (c.flag("right"))
            edit->setAlignment(Qt::AlignRight);
        else if (c.flag("center"))
            edit->setAlignment(Qt::AlignHCenter);
        w = edit;
    } else if (k == QLatin1String("multiedit")) {
        auto *edit = new QPlainTextEdit(c.text, parent);
        edit->setReadOnly(c.flag("readonly"));
        // The margin of a Windows edit box: a one-line box of the described
        // height holds its line without a scroll bar.
        edit->document()->setDocumentMargin(1);
        w = edit;
    } else if (k == QLatin1String("button")) {
        w = new QPushButton(c.text, parent);
        static_cast<QPushButton *>(w)->setAutoDefault(false);
    } else if (k == QLatin1String("picbutton")) {
        auto *button = new QPushButton(parent);
        button->setAutoDefault(false);
        button->setFlat(true);
        const QImage face = pictureOf(c.options.value("picture").toString());
        if (!face.isNull()) {
            button->setIcon(QIcon(QPixmap::fromImage(face)));
            button->setIconSize(face.size());
        }
        button->setStyleSheet(QStringLiteral("QPushButton{border:none;padding:0;background:transparent;}"
                                             "QPushButton:pressed{padding-left:1px;padding-top:1px;}"));
        button->setCursor(Qt::PointingHandCursor);
        w = button;
    } else if (k == QLatin1String("check")) {
        w = new QCheckBox(c.text, parent);
    } else if (k == QLatin1String("radio")) {
        w = new QRadioButton(c.text, parent);
    } else if (k == QLatin1String("combo") || k == QLatin1String("combobox")) {
        auto *combo = new QComboBox(parent);
        combo->setEditable(k == QLatin1String("combobox"));
        for (const QJsonValue &item : c.options.value("items").toArray())
            combo->addItem(item.toString());
        combo->setCurrentIndex(-1);
        w = combo;
    } else if (k == QLatin1String("list")) {
        w = new QListWidget(parent);
    } else if (k == QLatin1String("listview")) {
        // A list that can run long is a view over a model that makes only the
        // texts on screen; the others keep their rows as items.
        const bool overModel = c.flag("model");
        QTableView *table = overModel ? new QTableView(parent) : new QTableWidget(parent);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setShowGrid(c.options.value("gridlines").toBool(true));
        table->verticalHeader()->setVisible(false);
        table->horizontalHeader()->setHighlightSections(false);
        table->setWordWrap(false);
        QStringList headers;
        QList<int> widths;
        for (const QJsonValue &col : c.options.value("columns").toArray()) {
            const QJsonArray pair = col.toArray();
            headers << pair.at(0).toString();
            widths << pair.at(1).toInt(60);
        }
        // The described widths hold, however narrow (the style's minimum
        // follows the font and would widen a 42-pixel column).
        table->horizontalHeader()->setMinimumSectionSize(0);
        if (overModel) {
            table->setModel(new ReportModel(headers, table));
        } else {
            auto *widget = static_cast<QTableWidget *>(table);
            widget->setColumnCount(int(headers.size()));
            widget->setHorizontalHeaderLabels(headers);
        }
        for (int i = 0; i < widths.size(); ++i)
            table->setColumnWidth(i, widths.at(i));
        w = table;
    } else if (k == QLatin1String("tree")) {
        auto *tree = new QTreeWidget(parent);
        tree->setHeaderHidden(true);
        tree->setRootIsDecorated(true); // lines and buttons at the root too
        tree->setStyle(TreeLineStyle::instance());
        w = tree;
    } else if (k == QLatin1String("group")) {
        w = new QGroupBox(c.text, parent);
    } else if (k == QLatin1String("date")) {
        auto *date = new QDateEdit(parent);
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        w = date;
    } else if (k == QLatin1String("time")) {
        auto *time = new QTimeEdit(parent);
        time->setDisplayFormat(QStringLiteral("HH:mm"));
        w = time;
    } else if (k == QLatin1String("readedit")) {
        w = new CReadEdit(parent);
    } else if (k == QLatin1String("richedit")) {
        auto *edit = new QTextEdit(parent);
        edit->setReadOnly(c.flag("readonly"));
        w = edit;
    } else {
        auto *frame = new QFrame(parent);
        if (c.flag("sunken"))
            frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        w = frame;
    }
    if (const int points = c.options.value("points").toInt()) {
        // A control whose text would not fit its fixed place at the dialog's size.
        QFont f = dialog.font();
        f.setPixelSize(int(std::lround(points * 96.0 / 72.0)));
        w->setFont(f);
    }
    w->setProperty("ctrlId", c.id);
    if (c.id >= 0)
        w->setObjectName(QStringLiteral("ctrl%1").arg(c.id));
    w->setGeometry(dialog.toPixels(c.rect));
    if (c.flag("hidden"))
        w->hide();
    if (c.flag("disabled"))
        w->setEnabled(false);
    return w;
}
