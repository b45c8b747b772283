#include "stagepresentation.h"

#include "clearspace.h"

#include "gameapp.h"
#include "hotseattexts.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"

#include <QEvent>
#include <QFrame>
#include <QtMath>

namespace {
// The mottos, in the order the cycle shows them (VNI), cd1 on odd steps and cd2 on
// even ones.
const QString kMottos[10] = {
    QStringLiteral("Bình tænh"),   QStringLiteral("Toâi yeâu baïn"), QStringLiteral("Coá leân"),
    QStringLiteral("Quyeát thaéng"), QStringLiteral("Töï tin"),      QStringLiteral("Tin ôû baûn thaân"),
    QStringLiteral("Thaàn töôïng"), QStringLiteral("Tri thöùc"),     QStringLiteral("Töï haøo"),
    QStringLiteral("Vieät Nam")};

const QColor kGold(255, 215, 90);
const QColor kCream(255, 233, 168);
const QColor kAmber(255, 180, 40);
const QColor kIce(170, 195, 255);
const QColor kWhite(255, 255, 255);

// The fourteen glyphs: what each shows, its size, colour and place (the centre it
// drifts around, as fractions of the stage): twinkles along the running line, in
// the question panel's corners, on the margins and under the footer.
struct Glyph {
    const char16_t *text;
    int points;
    QColor colour;
    double x, y;
};
const Glyph kGlyphs[14] = {
    {u"\u2726", 13, kGold, 0.10, 0.078},  {u"$", 14, kAmber, 0.27, 0.078},     {u"\u2727", 12, kIce, 0.70, 0.078},
    {u"\u2726", 13, kGold, 0.88, 0.078},  {u"\u2605", 11, kCream, 0.035, 0.225}, {u"$", 13, kAmber, 0.715, 0.225},
    {u"\u2727", 12, kIce, 0.035, 0.55},   {u"\u2605", 11, kCream, 0.715, 0.55},  {u"\u2726", 11, kWhite, 0.009, 0.40},
    {u"$", 12, kGold, 0.757, 0.40},       {u"\u2727", 11, kIce, 0.757, 0.72},    {u"\u2726", 12, kGold, 0.20, 0.986},
    {u"$", 12, kAmber, 0.45, 0.986},      {u"\u2605", 11, kCream, 0.991, 0.50}};

// How far a glyph may wander from its place, in pixels: it drifts, bouncing back
// at the edge, and never leaves the stage however long the game lasts.
constexpr double kTether = 14;
// How far from its place a glyph may be put to cover nothing.
constexpr int kReach = 120;

double bounce(double v)
{
    if (v > kTether)
        v = 2 * kTether - v;
    else if (v < -kTether)
        v = -2 * kTether - v;
    return qBound(-kTether, v, kTether);
}

const QColor kBlue(0, 0, 255);
const QColor kDarkBlue(0, 0, 192);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kDarkRed(128, 0, 0);
} // namespace

StagePresentation::StagePresentation(QWidget *form, GameApp &app) : QObject(form), m_form(form), m_app(app)
{
    m_cd1 = new LegacyLabel(form, QStringLiteral("cd1"), hotseat::kMotto1, vn::Encoding::Vni);
    m_cd2 = new LegacyLabel(form, QStringLiteral("cd2"), hotseat::kMotto2, vn::Encoding::Vni);
    for (LegacyLabel *motto : {m_cd1, m_cd2}) {
        motto->setExtraStyle(QStringLiteral("font-size: 12pt; font-style: italic; font-weight: bold;"));
        motto->setForeColor(kCream);
        // Each random colour is drawn in a shade that reads on the running line.
        motto->setBackdrop({QColor(0x1a, 0x2a, 0x7a), QColor(0x07, 0x10, 0x3a)});
        motto->setAlignment(Qt::AlignCenter);
        // Sized for the longest motto once and for all: the running line does not
        // shift, and a new motto never makes the form lay itself out again.
        motto->ensurePolished();
        motto->setFixedSize(motto->fontMetrics().horizontalAdvance(QStringLiteral("Tin ở bản thân")) + 24,
                            motto->sizeHint().height());
        motto->setVisible(false);
    }

    m_label8 = new LegacyLabel(form, QStringLiteral("Label8"), QString(), vn::Encoding::Plain);
    m_label8->setExtraStyle(QStringLiteral("font-size: 13pt; font-weight: bold; padding-left: 10px;"));
    m_label8->setForeColor(kGold);
    // Its size never changes with the time shown, so a tick never re-lays the line out.
    m_label8->ensurePolished();
    clockTick();
    m_label8->setFixedSize(m_label8->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 ")) + 14,
                           m_label8->sizeHint().height());

    for (int i = 0; i < 14; ++i) {
        const Glyph &g = kGlyphs[i];
        auto *glyph = new LegacyLabel(form, QStringLiteral("met(%1)").arg(i), QString::fromUtf16(g.text),
                                      vn::Encoding::Plain);
        glyph->setExtraStyle(QStringLiteral("font-size: %1pt;").arg(g.points));
        glyph->setForeColor(g.colour);
        glyph->setAttribute(Qt::WA_TransparentForMouseEvents);
        // As small as the glyph's ink, so that it finds room in the gaps of the stage.
        glyph->setAlignment(Qt::AlignCenter);
        glyph->ensurePolished();
        const QRect ink = glyph->fontMetrics().tightBoundingRect(glyph->text());
        glyph->setFixedSize(ink.width() + 2, ink.height() + 2);
        glyph->setVisible(false);
        m_met[size_t(i)] = glyph;
    }

    m_timer16 = new LegacyTimer(form, "Timer16", 3000, true, this, &StagePresentation::mottoTick);
    m_timer15 = new LegacyTimer(form, "Timer15", 150, true, this, &StagePresentation::decorationTick);
    m_timer2 = new LegacyTimer(form, "Timer2", 1000, true, this, &StagePresentation::clockTick);
    for (LegacyTimer *t : {m_timer16, m_timer15, m_timer2})
        t->pauseWhileHidden(form);

    // The form's own background (Image1) answers the mouse too.
    form->setMouseTracking(true);
    form->installEventFilter(this);
}

void StagePresentation::attach(const Cast &cast)
{
    m_cast = cast;
    m_colourful = {m_cd1, m_cd2, cast.goals[0], cast.goals[1], cast.goals[2], cast.label20a};

    connect(cast.label3, &LegacyLabel::hovered, this, [this] {
        m_cast.label3->setFontPointSize(13);
        m_cast.label3->setForeColor(kBlue);
    });
    connect(cast.label9, &LegacyLabel::hovered, this, [this] {
        m_cast.label9->setFontPointSize(13);
        m_cast.label9->setForeColor(kDarkBlue);
    });
    for (LegacyLabel *button : {cast.label4, cast.stop113, cast.strart, cast.trunggian})
        connect(button, &LegacyLabel::hovered, this, [button] {
            button->setForeColor(kRed);
            button->setBold(true);
        });
    for (LegacyLabel *button : {cast.label3, cast.label9, cast.label4, cast.stop113, cast.strart, cast.trunggian})
        button->setHalo(true);
    for (int i = 0; i < 4; ++i) {
        ShapeBox *box = cast.boxes[size_t(i)];
        connect(cast.answers[size_t(i)], &LegacyLabel::hovered, this, [box] { box->setBorderWidth(2); });
    }

    // Mouse moves over the bare background of a container reach the area that
    // holds it: the answer panel, the button area, or the form itself.
    for (QWidget *w : m_form->findChildren<QWidget *>()) {
        const QMetaObject *kind = w->metaObject();
        if (kind == &QWidget::staticMetaObject || kind == &QFrame::staticMetaObject)
            w->setMouseTracking(true);
    }
    cast.answerPanel->installEventFilter(this);
    cast.buttonArea->installEventFilter(this);

    for (LegacyLabel *glyph : m_met)
        glyph->raise();
}

void StagePresentation::setDecorationsShown(bool on)
{
    m_decorationsOn = on;
    m_cd2->setVisible(on);
    m_cd1->setVisible(on);
    if (on)
        placeGlyphs();
    else
        for (LegacyLabel *glyph : m_met)
            glyph->setVisible(false);
}

bool StagePresentation::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseMove) {
        if (watched == m_cast.answerPanel) {
            for (ShapeBox *box : m_cast.boxes)
                box->setBorderWidth(1);
            return true;
        }
        if (watched == m_cast.buttonArea) {
            resetButtons();
            return true;
        }
        if (watched == m_form && m_cast.chon50)
            m_cast.chon50->setForeColor(kDarkRed);
    } else if (e->type() == QEvent::Resize && watched == m_form) {
        placeGlyphs();
    }
    return QObject::eventFilter(watched, e);
}

void StagePresentation::resetButtons()
{
    m_cast.label9->setFontPointSize(11);
    m_cast.label9->setForeColor(kBlue);
    for (LegacyLabel *button : {m_cast.label3, m_cast.stop113, m_cast.trunggian, m_cast.strart, m_cast.label4}) {
        button->setFontPointSize(12);
        button->setForeColor(kYellow);
    }
}

void StagePresentation::mottoTick()
{
    ++m_mottoStep;
    if (m_mottoStep >= 1 && m_mottoStep <= 10)
        (m_mottoStep % 2 ? m_cd1 : m_cd2)->setCaption(kMottos[m_mottoStep - 1]);
    else if (m_mottoStep == 11)
        m_mottoStep = 0;
}

void StagePresentation::decorationTick()
{
    const double w = m_form->width();
    const double h = m_form->height();
    for (int i = 0; i < 14; ++i) {
        const double r1 = m_app.random();
        const double r2 = m_app.random();
        QPointF &d = m_drift[size_t(i)];
        d.setX(bounce(d.x() + w * (r1 - 0.5) / 500));
        d.setY(bounce(d.y() + h * (r2 - 0.5) / 500));
    }
    placeGlyphs();
    for (LegacyLabel *label : m_colourful) {
        const int r = int(num::roundHalfEven(m_app.random() * 255));
        const int g = int(num::roundHalfEven(m_app.random() * 255));
        const int b = int(num::roundHalfEven(m_app.random() * 255));
        if (label)
            label->setForeColor(QColor(r, g, b));
    }
}

void StagePresentation::placeGlyphs()
{
    // The glyphs move only while they are shown.
    if (!m_decorationsOn)
        return;
    if (!m_clear) {
        const QList<const QWidget *> glyphs(m_met.cbegin(), m_met.cend());
        m_clear = new LiveClearSpace(m_form, glyphs);
    }
    const ClearSpace &clear = m_clear->map();
    for (int i = 0; i < 14; ++i) {
        LegacyLabel *glyph = m_met[size_t(i)];
        const QSize s = glyph->size();
        const QPointF d = m_drift[size_t(i)];
        const double cx = kGlyphs[i].x * m_form->width() + d.x();
        const double cy = kGlyphs[i].y * m_form->height() + d.y();
        const QPoint wanted(qRound(cx - s.width() / 2.0), qRound(cy - s.height() / 2.0));
        // The same place asked of the same map has the same answer.
        Placing &p = m_placing[size_t(i)];
        if (p.map != m_clear->changes() || p.wanted != wanted || p.size != s)
            p = {m_clear->changes(), wanted, s, clear.nearestClear(wanted, s, kReach)};
        const std::optional<QPoint> &at = p.at;
        // Most steps are a fraction of a pixel: only a whole-pixel change moves the glyph.
        if (at && glyph->pos() != *at)
            glyph->move(*at);
        if (glyph->isVisibleTo(m_form) != at.has_value())
            glyph->setVisible(at.has_value());
    }
}

void StagePresentation::clockTick()
{
    m_label8->setCaption(m_app.now().time().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' '));
}
