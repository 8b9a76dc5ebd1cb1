#include "results/CScoreMap.h"

#include "app/FileDialogs.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/Resources.h"
#include "store/Clock.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>
#include <QWheelEvent>

namespace {

constexpr int kToolBarHeight = 25;

// The picture holder: shows the sheet, drawn off-screen for every paint.
class ChartHolder : public QWidget
{
public:
    ChartHolder(CScoreMap *screen, QWidget *parent)
        : QWidget(parent), m_screen(screen)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.drawImage(0, 0, m_screen->sheet());
    }

private:
    CScoreMap *m_screen;
};

} // namespace

CScoreMap::CScoreMap(const ChartSelection &selection, QWidget *parent)
    : ScreenBase(120, KeyFilterMode::All, parent), m_selection(selection)
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setMovable(false);
    m_toolBar->setStyleSheet(QStringLiteral("QToolBar{background:rgb(176,196,222);border:none;spacing:2px;}"));
    const auto addCommand = [this](int id, int picture, const QString &text, const QString &tip) {
        QAction *a = m_toolBar->addAction(QIcon(QPixmap::fromImage(loadBmpResource(picture))), text);
        a->setToolTip(tip);
        a->setObjectName(QStringLiteral("cmd%1").arg(id));
        return a;
    };
    connect(addCommand(Save, 228, QStringLiteral("保存"), QStringLiteral("保存截图文件")), &QAction::triggered, this,
            [this] { save(); });
    m_toolBar->addSeparator();
    connect(addCommand(Return, 227, QStringLiteral("返回"), QStringLiteral("返回上一窗口")), &QAction::triggered,
            this, [this] {
                m_leaving = true;
                Nav::follow(this, Return);
            });

    m_holder = new ChartHolder(this, this);
    m_holder->setProperty("ctrlId", Holder);
    m_holder->setObjectName(QStringLiteral("ctrl%1").arg(Holder));
    m_holder->setGeometry(5, kToolBarHeight, ScoreChart::kSheet.width(), ScoreChart::kSheet.height());

    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    connect(m_scrollBar, &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            scrollTo(ChartScroll::LineUp);
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            scrollTo(ChartScroll::LineDown);
            break;
        case QAbstractSlider::SliderPageStepSub:
            scrollTo(ChartScroll::PageUp);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            scrollTo(ChartScroll::PageDown);
            break;
        case QAbstractSlider::SliderToMinimum:
            scrollTo(ChartScroll::Top);
            break;
        case QAbstractSlider::SliderToMaximum:
            scrollTo(ChartScroll::Bottom);
            break;
        case QAbstractSlider::SliderMove:
            scrollTo(ChartScroll::Track, m_scrollBar->sliderPosition());
            break;
        default:
            break;
        }
        // The position is ours, not the bar's own step.
        m_scrollBar->setSliderPosition(m_scroll.position());
    });
    // The template's width is narrower than the sheet, and the sheet does not
    // scroll sideways: the window is never narrower than sheet and scroll bar.
    const int fullWidth = ScoreChart::kSheet.width() + m_scrollBar->sizeHint().width();
    setMinimumWidth(fullWidth);
    resize(std::max(width(), fullWidth), height());
    placeHolder();
}

QAction *CScoreMap::command(int id) const
{
    return m_toolBar->findChild<QAction *>(QStringLiteral("cmd%1").arg(id));
}

QImage CScoreMap::sheet() const
{
    return ScoreChart::renderImage(m_selection, m_holder->size(), Clock::now().date());
}

int CScoreMap::clientWidth() const
{
    return width() - m_scrollBar->sizeHint().width();
}

void CScoreMap::placeHolder()
{
    const int barWidth = m_scrollBar->sizeHint().width();
    m_scrollBar->setGeometry(width() - barWidth, 0, barWidth, height());
    const int cw = clientWidth();
    if (cw <= ScoreChart::kSheet.width())
        m_holder->setGeometry(0, kToolBarHeight, ScoreChart::kSheet.width(), ScoreChart::kSheet.height());
    else
        m_holder->move((cw - m_holder->width()) / 2, kToolBarHeight);
    m_scroll.setPage(height() - kToolBarHeight);
    m_scrollBar->setRange(0, std::max(0, ChartScroll::kMax - m_scroll.page()));
    m_scrollBar->setPageStep(m_scroll.page());
    m_scrollBar->setValue(m_scroll.position());
    m_holder->move(m_holder->x(), kToolBarHeight - m_scroll.position());
    m_toolBar->setGeometry(0, 0, cw, kToolBarHeight);
    m_toolBar->raise();
}

void CScoreMap::scrollTo(ChartScroll::Request request, int tracked)
{
    if (!m_scroll.scroll(request, tracked))
        return;
    m_holder->move(m_holder->x(), kToolBarHeight - m_scroll.position());
    m_toolBar->raise();
    update();
}

void CScoreMap::paintPictures(QPainter &painter)
{
    painter.fillRect(rect(), QColor(240, 255, 255));
    painter.fillRect(QRect(0, 0, width(), kToolBarHeight), QColor(176, 196, 222));
}

void CScoreMap::resizeEvent(QResizeEvent *event)
{
    ScreenBase::resizeEvent(event);
    if (m_holder)
        placeHolder();
}

void CScoreMap::wheelEvent(QWheelEvent *event)
{
    if (m_scroll.wheel(event->angleDelta().y(), height())) {
        m_scrollBar->setValue(m_scroll.position());
        m_holder->move(m_holder->x(), kToolBarHeight - m_scroll.position());
        m_toolBar->raise();
        update();
    }
    event->accept();
}

void CScoreMap::closeEvent(QCloseEvent *event)
{
    // Closing the window ends the program.
    if (!m_leaving)
        Nav::exitProgram(this);
    ScreenBase::closeEvent(event);
}

void CScoreMap::save()
{
    const QString chosen = FileDialogs::saveFile(this, QString(), QString(),
                                                 QStringLiteral("所有文件(*.*);;图片文件(*.bmp)"));
    if (chosen.isEmpty())
        return;
    const QString target = ScoreChart::targetPath(chosen);
    const QString shownName = QFileInfo(chosen).fileName() + QStringLiteral(".bmp");
    if (QFileInfo::exists(target)
        && !MessageBox::confirm(this, QStringLiteral("%1文件已存在，要替换吗?").arg(shownName)))
        return;
    const bool replacing = QFileInfo::exists(target);
    QString error;
    if (!ScoreChart::save(m_selection, m_holder->size(), Clock::now().date(), target, &error)) {
        QString text = QStringLiteral("%1文件保存失败，请检查保存位置！").arg(shownName);
        if (!error.isEmpty())
            text += QStringLiteral("\n原因：%1。").arg(error);
        if (replacing)
            text += QStringLiteral("\n原有的%1文件保持不变。").arg(shownName);
        MessageBox::show(this, text, Caption::Tip);
    }
}
