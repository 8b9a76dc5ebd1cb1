#include "app/ScreenBase.h"

#include "app/Backgrounds.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTextEdit>

ScreenBase::ScreenBase(int templateId, KeyFilterMode keys, QWidget *parent)
    : QDialog(parent), m_template(DialogTemplate::load(templateId)), m_keys(keys)
{
    setWindowTitle(m_template.caption);
    setFont(m_template.font());
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (m_template.frame != QLatin1String("none"))
        flags |= Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
    if (m_template.frame == QLatin1String("min"))
        flags |= Qt::WindowMinimizeButtonHint;
    if (m_template.frame == QLatin1String("sizing"))
        flags |= Qt::WindowMinMaxButtonsHint;
    if (!m_template.taskbar)
        flags |= Qt::Tool;
    setWindowFlags(flags);

    for (const ControlTemplate &c : std::as_const(m_template.controls)) {
        QWidget *w = createControl(m_template, c, this);
        if (c.id >= 0)
            m_controls.insert(c.id, w);
    }
    if (m_template.frame == QLatin1String("sizing"))
        resize(m_template.pixelSize());
    else
        setFixedSize(m_template.pixelSize());
}

ScreenBase::~ScreenBase()
{
    if (m_filtering)
        qApp->removeEventFilter(this);
}

QString ScreenBase::text(int id) const
{
    QWidget *w = control(id);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *e = qobject_cast<QPlainTextEdit *>(w))
        return e->toPlainText();
    if (auto *e = qobject_cast<QTextEdit *>(w))
        return e->toPlainText();
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentText();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    return QString();
}

void ScreenBase::setText(int id, const QString &text)
{
    QWidget *w = control(id);
    if (auto *line = qobject_cast<QLineEdit *>(w))
        line->setText(text);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(w))
        plain->setPlainText(text);
    else if (auto *rich = qobject_cast<QTextEdit *>(w))
        rich->setPlainText(text);
    else if (auto *c = qobject_cast<QComboBox *>(w))
        c->setCurrentText(text);
    else if (auto *l = qobject_cast<QLabel *>(w))
        l->setText(text);
    else if (auto *b = qobject_cast<QAbstractButton *>(w))
        b->setText(text);
}

void ScreenBase::startTimer1(int ms)
{
    stopTimer1();
    m_timer1 = startTimer(ms);
}

void ScreenBase::stopTimer1()
{
    if (m_timer1) {
        killTimer(m_timer1);
        m_timer1 = 0;
    }
}

void ScreenBase::timerEvent(QTimerEvent *event)
{
    if (m_timer1 && event->timerId() == m_timer1) {
        onTimer(1);
        return;
    }
    QDialog::timerEvent(event);
}

void ScreenBase::onClick(int id, std::function<void()> handler)
{
    if (auto *b = control<QAbstractButton>(id))
        connect(b, &QAbstractButton::clicked, this, [handler = std::move(handler)] { handler(); });
}

void ScreenBase::paintPictures(QPainter &painter)
{
    paintBackground(painter, className());
}

void ScreenBase::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    paintPictures(painter);
}

void ScreenBase::showEvent(QShowEvent *event)
{
    if (m_keys != KeyFilterMode::None && !m_filtering) {
        // Filter at the application so every control of the screen, even one
        // made later, is covered before it sees the key.
        qApp->installEventFilter(this);
        m_filtering = true;
    }
    QDialog::showEvent(event);
}

void ScreenBase::hideEvent(QHideEvent *event)
{
    if (m_filtering) {
        qApp->removeEventFilter(this);
        m_filtering = false;
    }
    QDialog::hideEvent(event);
}

bool ScreenBase::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QDialog::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool enterEsc = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    const bool space = key == Qt::Key_Space;
    if (enterEsc || (space && m_keys == KeyFilterMode::All))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool ScreenBase::enterWithoutDefaultButton(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
        button->click();
    else
        reject();
    return true;
}
