#include "legacylabel.h"

#include "keypress.h"
#include "studiotheme.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

LegacyLabel::LegacyLabel(QWidget *parent, const QString &name, const QString &caption,
                         vn::Encoding enc)
    : QLabel(parent), m_encoding(enc)
{
    setObjectName(name);
    setMouseTracking(true);
    setCaption(caption);
}

void LegacyLabel::setCaption(const QString &legacy)
{
    m_caption = legacy;
    setText(vn::display(legacy, m_encoding));
}

void LegacyLabel::setEncoding(vn::Encoding enc)
{
    m_encoding = enc;
    setText(vn::display(m_caption, m_encoding));
}

void LegacyLabel::setForeColor(const QColor &c)
{
    m_fore = c;
    restyle();
}

void LegacyLabel::setBackColor(const QColor &c)
{
    m_back = c;
    m_opaque = true;
    restyle();
}

void LegacyLabel::setTransparent()
{
    m_opaque = false;
    restyle();
}

void LegacyLabel::setExtraStyle(const QString &css)
{
    m_extra = css;
    restyle();
}

void LegacyLabel::makeButton()
{
    setCursor(Qt::PointingHandCursor);
    setProperty("role", QStringLiteral("button"));
    setAlignment(Qt::AlignCenter);
    restyle();
}

void LegacyLabel::restyle()
{
    QString css = m_extra;
    if (m_fore.isValid())
        css += QStringLiteral("color: %1;").arg(m_fore.name());
    if (m_opaque && m_back.isValid())
        css += QStringLiteral("background-color: %1;").arg(m_back.name());
    setStyleSheet(css);
}

bool LegacyLabel::event(QEvent *e)
{
    if (e->type() == QEvent::CursorChange)
        setFocusPolicy(cursor().shape() == Qt::PointingHandCursor ? Qt::TabFocus : Qt::NoFocus);
    return QLabel::event(e);
}

void LegacyLabel::keyPressEvent(QKeyEvent *e)
{
    const bool press = e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (press && focusPolicy() != Qt::NoFocus && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!e->isAutoRepeat())
            ui::pressLikeMouse(this);
        e->accept();
        return;
    }
    QLabel::keyPressEvent(e);
}

void LegacyLabel::paintEvent(QPaintEvent *e)
{
    QLabel::paintEvent(e);
    if (!hasFocus())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    const qreal radius = qMin(r.height() / 2, 16.0);
    p.setPen(QPen(QColor(255, 255, 255, 150), 4));
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(studio::gold(), 2));
    p.drawRoundedRect(r, radius, radius);
}

void LegacyLabel::focusInEvent(QFocusEvent *e)
{
    QLabel::focusInEvent(e);
    update();
}

void LegacyLabel::focusOutEvent(QFocusEvent *e)
{
    QLabel::focusOutEvent(e);
    update();
}

bool LegacyLabel::focusNextPrevChild(bool next)
{
    // Called by the toolkit when this label loses the focus by being hidden or
    // disabled; Tab on a shown, enabled label goes on as usual.
    if (!isVisible() || !isEnabled()) {
        if (QWidget *form = window(); form && form != this)
            form->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QLabel::focusNextPrevChild(next);
}

void LegacyLabel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_pressed = true;
    QLabel::mousePressEvent(e);
}

void LegacyLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    QLabel::mouseReleaseEvent(e);
    if (wasPressed && e->button() == Qt::LeftButton && isEnabled() && rect().contains(e->position().toPoint()))
        emit clicked();
}

void LegacyLabel::mouseMoveEvent(QMouseEvent *e)
{
    QLabel::mouseMoveEvent(e);
    e->accept(); // the label is what the mouse is over, not the form behind it
    emit hovered();
}

ShapeBox::ShapeBox(QWidget *parent, const QString &name, const QColor &fill)
    : QWidget(parent), m_fill(fill)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeBox::setFillColor(const QColor &c)
{
    m_fill = c;
    update();
}

void ShapeBox::setOpaque(bool on)
{
    m_opaque = on;
    update();
}

void ShapeBox::setBorderColor(const QColor &c)
{
    m_border = c;
    update();
}

void ShapeBox::setRounded(bool on)
{
    m_rounded = on;
    update();
}

void ShapeBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QPainterPath path;
    const qreal radius = m_rounded ? qMin(r.height() / 2, 18.0) : 0;
    path.addRoundedRect(r, radius, radius);
    if (m_opaque)
        p.fillPath(path, m_fill);
    if (m_border.isValid() && m_border.alpha() > 0) {
        p.setPen(QPen(m_border, 2));
        p.drawPath(path);
    }
}
