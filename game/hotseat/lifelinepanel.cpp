#include "lifelinepanel.h"

#include "hotseattexts.h"
#include "legacylabel.h"
#include "lifelinetexts.h"

#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

using namespace hotseat;

namespace {
constexpr int kGrowMs = 320;  // one piece of the frame unfolding
constexpr int kSlideMs = 420; // the box going up and away
constexpr int kMinPanelHeight = 300;
constexpr int kGlyphSize = 52;
const QColor kRibbon(255, 200, 70);
const QColor kRibbonEdge(255, 236, 170);
} // namespace

// --- the box -------------------------------------------------------------------------

PanelBox::PanelBox(QWidget *parent, const QString &name) : QWidget(parent), m_top(kBoxRestTop)
{
    setObjectName(name);
}

void PanelBox::setTop(int twips)
{
    if (twips == m_top)
        return;
    m_top = twips;
    emit topChanged();
}

const QPixmap &PanelBox::picture()
{
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = size() * dpr;
    if (m_picture.size() == pixels)
        return m_picture;
    m_picture = QPixmap(pixels);
    m_picture.setDevicePixelRatio(dpr);
    m_picture.fill(Qt::transparent);
    QPainter p(&m_picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(30, 48, 140));
    fill.setColorAt(0.45, QColor(12, 22, 82));
    fill.setColorAt(1, QColor(6, 12, 48));
    QPainterPath path;
    path.addRoundedRect(r, 24, 24);
    p.fillPath(path, fill);
    p.setPen(QPen(QColor(217, 180, 74), 3));
    p.drawPath(path);
    p.setPen(QPen(QColor(120, 150, 255, 90), 1));
    p.drawRoundedRect(r.adjusted(6, 6, -6, -6), 19, 19);
    return m_picture;
}

void PanelBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, picture());
}

void PanelBox::paintUnder(QPainter &p, const QRect &area)
{
    const QPixmap &pic = picture();
    const qreal dpr = pic.devicePixelRatio();
    p.drawPixmap(QRectF(QPointF(0, 0), QSizeF(area.size())),
                 pic, QRectF(QPointF(area.topLeft()) * dpr, QSizeF(area.size()) * dpr));
}

PanelContent::PanelContent(QWidget *parent, const QString &name, PanelBox *box) : QFrame(parent), m_box(box)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PanelContent::paintEvent(QPaintEvent *)
{
    // The content lies well inside the box's rounded border, so the box covers it whole.
    QPainter p(this);
    m_box->paintUnder(p, QRect(m_box->mapFrom(parentWidget(), pos()), size()));
}

// --- the panel -----------------------------------------------------------------------

LifelinePanel::LifelinePanel(QWidget *form, const PanelNames &names, const QString &glyph, vn::Encoding enc)
    : QObject(form), m_form(form)
{
    m_box = new PanelBox(form, QString::fromLatin1(names.box));
    m_topPiece = new ShapeBox(form, QString::fromLatin1(names.topPiece), kRibbon);
    m_bottomPiece = new ShapeBox(form, QString::fromLatin1(names.bottomPiece), kRibbon);
    for (ShapeBox *ribbon : {m_topPiece, m_bottomPiece}) {
        ribbon->setOpaque(true);
        ribbon->setBorderColor(kRibbonEdge);
    }
    m_panel = new PanelContent(form, QString::fromLatin1(names.panel), m_box);
    m_glyph = new LegacyLabel(form, QString::fromLatin1(names.glyph), glyph, enc);
    m_glyph->setAlignment(Qt::AlignCenter);
    m_glyph->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_glyph->setExtraStyle(QStringLiteral(
        "font-size: 17pt; font-weight: bold; border: 2px solid #d9b44a; border-radius: 26px;"
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff6d8, stop:1 #c9d4ff);"));
    m_glyph->setForeColor(kLifelineIdle);
    for (QWidget *w : {static_cast<QWidget *>(m_box), static_cast<QWidget *>(m_topPiece),
                       static_cast<QWidget *>(m_bottomPiece), static_cast<QWidget *>(m_panel),
                       static_cast<QWidget *>(m_glyph)})
        w->setVisible(false);

    connect(m_box, &PanelBox::topChanged, this, &LifelinePanel::place);
    // The box lies over the question; it follows it when the stage is resized.
    m_anchor = form->findChild<QWidget *>(QStringLiteral("questionPanel"));
    if (m_anchor)
        m_anchor->installEventFilter(this);
    form->installEventFilter(this);
}

bool LifelinePanel::eventFilter(QObject *, QEvent *e)
{
    if ((e->type() == QEvent::Resize || e->type() == QEvent::Move) && m_glyph->isVisible())
        place();
    return false;
}

QRect LifelinePanel::restRect() const
{
    QRect r;
    if (m_anchor && !m_anchor->size().isEmpty())
        r = QRect(m_anchor->mapTo(m_form, QPoint(0, 0)), m_anchor->size());
    else
        r = QRect(m_form->width() / 8, m_form->height() / 6, m_form->width() * 3 / 5, kMinPanelHeight);
    // Tall enough for a chat to read, reaching over the answers when it must.
    r.setHeight(qMax(r.height(), qMin(kMinPanelHeight, m_form->height() - r.top() - 12)));
    return r;
}

QRect LifelinePanel::boxRect() const
{
    const QRect rest = restRect();
    // From its rest at 1680 to -2820 the box travels from its place to just above
    // the window, ribbon and glyph included.
    const double travel = rest.bottom() + 1 + 30;
    const double done = double(kBoxRestTop - m_box->top()) / double(kBoxRestTop - kBoxGoneTop);
    return rest.translated(0, -qRound(done * travel));
}

void LifelinePanel::place()
{
    // A piece still unfolding jumps to its place.
    for (QWidget *piece : {static_cast<QWidget *>(m_box), static_cast<QWidget *>(m_topPiece),
                           static_cast<QWidget *>(m_bottomPiece)})
        for (QPropertyAnimation *a : piece->findChildren<QPropertyAnimation *>(QStringLiteral("unfold"),
                                                                                 Qt::FindDirectChildrenOnly))
            a->stop();
    const QRect b = boxRect();
    m_box->setGeometry(b);
    m_topPiece->setGeometry(b.left() + 34, b.top() - 5, b.width() - 68, 10);
    m_bottomPiece->setGeometry(b.left() + 34, b.bottom() - 4, b.width() - 68, 10);
    m_glyph->setGeometry(b.left() - 8, b.top() - 22, kGlyphSize, kGlyphSize);
    m_panel->setGeometry(b.adjusted(18, 14, -18, -12));
}

void LifelinePanel::grow(QWidget *piece, const QRect &from)
{
    auto *a = new QPropertyAnimation(piece, "geometry", piece);
    a->setObjectName(QStringLiteral("unfold"));
    a->setDuration(kGrowMs);
    a->setEasingCurve(QEasingCurve::OutCubic);
    a->setStartValue(from);
    a->setEndValue(piece->geometry());
    piece->setGeometry(from);
    a->start(QAbstractAnimation::DeleteWhenStopped);
}

void LifelinePanel::unfold(int step)
{
    switch (step) {
    case 1: {
        place();
        const QRect r = m_topPiece->geometry();
        m_topPiece->setVisible(true);
        m_topPiece->raise();
        grow(m_topPiece, QRect(r.topLeft(), QSize(0, r.height())));
        m_glyph->setVisible(true);
        m_glyph->raise();
        break;
    }
    case 2: {
        const QRect r = m_bottomPiece->geometry();
        m_bottomPiece->setVisible(true);
        m_bottomPiece->raise();
        grow(m_bottomPiece, QRect(r.topLeft(), QSize(0, r.height())));
        m_glyph->raise();
        break;
    }
    case 3: {
        const QRect r = m_box->geometry();
        m_box->setVisible(true);
        m_box->stackUnder(m_topPiece);
        grow(m_box, QRect(r.topLeft(), QSize(r.width(), 12)));
        break;
    }
    case 4:
        // Whatever is still unfolding takes its place under the content.
        place();
        m_panel->setVisible(true);
        m_panel->raise();
        m_topPiece->raise();
        m_bottomPiece->raise();
        m_glyph->raise();
        break;
    default:
        break;
    }
}

void LifelinePanel::close()
{
    m_panel->setVisible(false);
    if (m_slide)
        return; // already on its way
    auto *a = new QPropertyAnimation(m_box, "top", m_box);
    a->setObjectName(QStringLiteral("slide"));
    a->setDuration(kSlideMs);
    a->setEasingCurve(QEasingCurve::InCubic);
    a->setStartValue(m_box->top());
    a->setEndValue(kBoxGoneTop);
    connect(a, &QPropertyAnimation::finished, this, &LifelinePanel::slid);
    m_slide = a;
    a->start(QAbstractAnimation::DeleteWhenStopped);
}

void LifelinePanel::slid()
{
    m_box->setTop(kBoxGoneTop);
    for (QWidget *w : {static_cast<QWidget *>(m_box), static_cast<QWidget *>(m_bottomPiece),
                       static_cast<QWidget *>(m_topPiece), static_cast<QWidget *>(m_glyph)})
        w->setVisible(false);
}

LegacyLabel *panelCloseButton(QWidget *parent, const char *name)
{
    auto *x = new LegacyLabel(parent, QString::fromLatin1(name), QStringLiteral("\u2715"), vn::Encoding::Plain);
    x->setFixedSize(34, 34);
    x->setAlignment(Qt::AlignCenter);
    x->setCursor(Qt::PointingHandCursor);
    x->setToolTip(QStringLiteral("Đóng"));
    x->setExtraStyle(QStringLiteral(
        "font-size: 13pt; font-weight: bold; border: 2px solid #d9b44a; border-radius: 17px;"
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #2a3f9a, stop:1 #0b1440);"));
    x->setForeColor(QColor(255, 215, 90));
    return x;
}

// --- a bar of the vote -----------------------------------------------------------------

VoteBar::VoteBar(QWidget *parent, const QString &name, const QColor &colour)
    : QWidget(parent), m_twips(10), m_drawn(10), m_colour(colour)
{
    setObjectName(name);
    setMinimumSize(120, 28);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void VoteBar::setTwips(double twips)
{
    const bool same = qFuzzyCompare(m_twips + 1, twips + 1);
    m_twips = twips;
    if (same && (m_grow || qFuzzyCompare(m_drawn + 1, twips + 1)))
        return; // there already, or on its way
    if (m_grow)
        m_grow->stop();
    if (!isVisible()) {
        setDrawn(twips);
        return;
    }
    auto *a = new QPropertyAnimation(this, "drawn", this);
    a->setDuration(650);
    a->setEasingCurve(QEasingCurve::OutCubic);
    a->setStartValue(m_drawn);
    a->setEndValue(twips);
    m_grow = a;
    a->start(QAbstractAnimation::DeleteWhenStopped);
}

void VoteBar::setDrawn(double twips)
{
    m_drawn = twips;
    update();
}

void VoteBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(1, 2, -1, -2);
    const qreal radius = track.height() / 2;
    p.setPen(QPen(QColor(255, 255, 255, 45), 1));
    p.setBrush(QColor(255, 255, 255, 22));
    p.drawRoundedRect(track, radius, radius);
    // Quarter marks along the track.
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    for (int q = 1; q < 4; ++q) {
        const qreal x = track.left() + track.width() * q / 4;
        p.drawLine(QPointF(x, track.top() + 3), QPointF(x, track.bottom() - 3));
    }
    const qreal length = qBound(0.0, m_drawn / kFullBar, 1.0) * track.width();
    if (length <= 0)
        return;
    QRectF bar = track;
    bar.setWidth(qMax(length, 2.0));
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0, m_colour.lighter(150));
    g.setColorAt(0.5, m_colour);
    g.setColorAt(1, m_colour.darker(140));
    p.setPen(QPen(QColor(255, 236, 170), 1));
    p.setBrush(g);
    p.drawRoundedRect(bar, qMin(radius, bar.width() / 2), radius);
}

// --- the stopwatch -------------------------------------------------------------------------

Stopwatch::Stopwatch(QWidget *parent, const QString &name) : QWidget(parent)
{
    setObjectName(name);
    setFixedSize(sizeHint());
}

void Stopwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor gold(255, 215, 90);
    const QRectF face(3, 7, width() - 6, height() - 10);
    p.setPen(QPen(gold, 2.5));
    p.setBrush(QColor(10, 18, 64));
    p.drawEllipse(face);
    p.setBrush(gold);
    p.drawRoundedRect(QRectF(width() / 2.0 - 4, 1, 8, 5), 2, 2);
    const QPointF c = face.center();
    p.setPen(QPen(QColor(255, 255, 255), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -face.height() * 0.32));
    p.drawLine(c, c + QPointF(face.width() * 0.24, 0));
}
