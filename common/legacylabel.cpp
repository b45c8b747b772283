#include "legacylabel.h"

#include "contrast.h"

#include "keypress.h"
#include "studiotheme.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

LegacyLabel::LegacyLabel(QWidget *parent, const QString &name, const QString &caption,
                         vn::Encoding enc)
    : QLabel(parent), m_encoding(enc)
{
    setObjectName(name);
    setMouseTracking(true);
    // Captions are texts, never markup; it also keeps every caption on the painted path.
    setTextFormat(Qt::PlainText);
    setCaption(caption);
}

void LegacyLabel::setCaption(const QString &legacy)
{
    m_caption = legacy;
    setText(vn::display(legacy, m_encoding));
}

void LegacyLabel::setCaptionUnlessMissing(const QString &legacy)
{
    if (!legacy.isNull())
        setCaption(legacy);
}

void LegacyLabel::setEncoding(vn::Encoding enc)
{
    m_encoding = enc;
    setText(vn::display(m_caption, m_encoding));
}

void LegacyLabel::setLeastWidth(int width)
{
    m_leastWidth = width;
    updateGeometry();
}

QSize LegacyLabel::sizeHint() const
{
    return QLabel::sizeHint().expandedTo(QSize(m_leastWidth, 0));
}

QSize LegacyLabel::minimumSizeHint() const
{
    return QLabel::minimumSizeHint().expandedTo(QSize(m_leastWidth, 0));
}

void LegacyLabel::setForeColor(const QColor &c)
{
    if (c == m_fore)
        return;
    m_fore = c;
    update();
}

void LegacyLabel::setBackColor(const QColor &c)
{
    if (m_opaque && c == m_back)
        return;
    m_back = c;
    m_opaque = true;
    update();
}

void LegacyLabel::setTransparent()
{
    if (!m_opaque)
        return;
    m_opaque = false;
    update();
}

namespace {
// The first "border-radius: <number>px" of a style, or 0. Read by hand: a
// regular expression here was the one a start compiled before its first window.
double cornerRadius(const QString &css)
{
    const QLatin1String key("border-radius");
    for (qsizetype at = css.indexOf(key); at >= 0; at = css.indexOf(key, at + 1)) {
        qsizetype i = at + key.size();
        auto skipSpace = [&] {
            while (i < css.size() && css[i].isSpace())
                ++i;
        };
        skipSpace();
        if (i >= css.size() || css[i] != u':')
            continue;
        ++i;
        skipSpace();
        const qsizetype start = i;
        while (i < css.size() && ((css[i] >= u'0' && css[i] <= u'9') || css[i] == u'.'))
            ++i;
        if (i > start && QStringView(css).mid(i).startsWith(QLatin1String("px")))
            return QStringView(css).mid(start, i - start).toDouble();
    }
    return 0;
}
} // namespace

void LegacyLabel::setExtraStyle(const QString &css)
{
    m_extra = css;
    m_radius = cornerRadius(css);
    restyle();
}

void LegacyLabel::setFontPointSize(int points)
{
    if (points == m_fontSize)
        return;
    m_fontSize = points;
    restyle();
}

void LegacyLabel::setBold(bool on)
{
    if (on == m_bold)
        return;
    m_bold = on;
    restyle();
}

void LegacyLabel::setHalo(bool on)
{
    m_halo = on;
    update();
}

void LegacyLabel::setBackdrop(const QList<QColor> &behind)
{
    m_behind = behind;
    update();
}

QList<QColor> LegacyLabel::backdrop() const
{
    if (m_behind.isEmpty())
        return {};
    if (m_opaque && m_back.isValid())
        return {m_back};
    return m_behind;
}

QColor LegacyLabel::shownForeColor() const
{
    const QList<QColor> behind = backdrop();
    if (!m_fore.isValid() || behind.isEmpty())
        return m_fore;
    const double minimum = contrast::minimumFor(font());
    if (m_shade.fore != m_fore || m_shade.minimum != minimum || m_shade.behind != behind)
        m_shade = {m_fore, behind, minimum, contrast::readableOn(m_fore, behind, minimum)};
    return m_shade.shown;
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
    if (m_fontSize > 0)
        css += QStringLiteral("font-size: %1pt;").arg(m_fontSize);
    if (m_bold)
        css += QStringLiteral("font-weight: bold;");
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

void LegacyLabel::paintFocusFrame()
{
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

void LegacyLabel::paintEvent(QPaintEvent *e)
{
    paintContents(e);
    if (hasFocus())
        paintFocusFrame();
}

void LegacyLabel::paintContents(QPaintEvent *e)
{
    const bool back = m_opaque && m_back.isValid();
    // A disabled button keeps the theme's disabled look.
    const bool greyed = !isEnabled() && property("role").toString() == QLatin1String("button");
    const bool fore = m_fore.isValid() && !greyed && textFormat() == Qt::PlainText
                      && !(textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard));
    if (!back && !fore) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    if (back) {
        // As the style sheet filled it: inside the rounded border.
        const QRectF r(rect());
        const qreal radius = qMin(m_radius, qMin(r.width(), r.height()) / 2);
        QPainterPath path;
        path.addRoundedRect(r, radius, radius);
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_back);
        p.drawPath(path);
        p.restore();
    }
    if (!fore) {
        p.end();
        QLabel::paintEvent(e);
        return;
    }
    drawFrame(&p);
    paintText(p);
}

// Plain text the way QLabel lays it out (contents rect, margin, indent, alignment,
// word wrap, mnemonics), in the label's own colour.
void LegacyLabel::paintText(QPainter &p)
{
    const QString shown = text();
    if (shown.isEmpty())
        return;
    QRect cr = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::LayoutDirection dir = shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const Qt::Alignment align = QStyle::visualAlignment(dir, alignment());
    int m = indent();
    if (m < 0 && frameWidth())
        m = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin();
    if (m > 0) {
        if (align & Qt::AlignLeft)
            cr.setLeft(cr.left() + m);
        if (align & Qt::AlignRight)
            cr.setRight(cr.right() - m);
        if (align & Qt::AlignTop)
            cr.setTop(cr.top() + m);
        if (align & Qt::AlignBottom)
            cr.setBottom(cr.bottom() - m);
    }
    QStyleOption opt;
    opt.initFrom(this);
    int flags = int(align) | (wordWrap() ? Qt::TextWordWrap : 0)
                | (dir == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
    if (buddy() && shown.contains(QLatin1Char('&'))) {
        flags |= Qt::TextShowMnemonic;
        if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &opt, this))
            flags |= Qt::TextHideMnemonic;
    }
    QPalette pal = opt.palette;
    const QColor ink = shownForeColor();
    if (m_halo) {
        const double luma = 0.299 * ink.red() + 0.587 * ink.green() + 0.114 * ink.blue();
        pal.setColor(foregroundRole(), luma < 110 ? QColor(240, 244, 255, 210) : QColor(2, 4, 24, 200));
        for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1), QPoint(-1, -1),
                               QPoint(1, 1), QPoint(-1, 1), QPoint(1, -1)})
            style()->drawItemText(&p, cr.translated(d), flags, pal, true, shown, foregroundRole());
    }
    pal.setColor(foregroundRole(), ink);
    style()->drawItemText(&p, cr, flags, pal, isEnabled(), shown, foregroundRole());
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

void ShapeBox::setInks(const QList<QPair<QColor, double>> &inks)
{
    m_inks = inks;
    update();
}

QColor ShapeBox::shownFillColor() const
{
    if (m_inks.isEmpty())
        return m_fill;
    if (m_shadedFill != m_fill || m_shadedInks != m_inks || !m_shownFill.isValid()) {
        m_shadedFill = m_fill;
        m_shadedInks = m_inks;
        m_shownFill = contrast::readableUnder(m_fill, m_inks);
    }
    return m_shownFill;
}

void ShapeBox::setBorderColor(const QColor &c)
{
    m_border = c;
    update();
}

void ShapeBox::setBorderWidth(int width)
{
    if (width == m_borderWidth)
        return;
    m_borderWidth = width;
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
    const qreal inset = 0.5 + m_borderWidth / 2.0;
    const QRectF r = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    QPainterPath path;
    const qreal radius = m_rounded ? qMin(r.height() / 2, 18.0) : 0;
    path.addRoundedRect(r, radius, radius);
    if (m_opaque)
        p.fillPath(path, shownFillColor());
    if (m_border.isValid() && m_border.alpha() > 0 && m_borderWidth > 0) {
        p.setPen(QPen(m_border, m_borderWidth));
        p.drawPath(path);
    }
}
