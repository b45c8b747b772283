#include "screenaudit.h"

#include "contrast.h"
#include "legacylabel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QHash>

#include <functional>
#include <optional>

namespace screenaudit {

namespace {
QRect inWindow(const QWidget *w, const QWidget *window, const QRect &r)
{
    return r.translated(w->mapTo(window, QPoint(0, 0)));
}

QString nameOf(const QWidget *w)
{
    QString name = w->objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(w->metaObject()->className());
    if (const auto *l = qobject_cast<const QLabel *>(w))
        name += QStringLiteral(" \"%1\"").arg(l->text().left(40));
    else if (const auto *b = qobject_cast<const QAbstractButton *>(w))
        name += QStringLiteral(" \"%1\"").arg(b->text().left(40));
    return name;
}

// What of a widget the widgets around it leave to be seen, in the window.
QRect clipOf(const QWidget *w, const QWidget *window)
{
    QRect r = inWindow(w, window, w->rect());
    for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        r &= inWindow(p, window, p->rect());
    return r & window->rect();
}

// Shown, and not content that scrolls in a view (the view is checked whole).
bool shownIn(const QWidget *w, const QWidget *window)
{
    if (!w->isVisible())
        return false;
    for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (const auto *area = qobject_cast<const QAbstractScrollArea *>(p); area && area->viewport()->isAncestorOf(w))
            return false;
    return !clipOf(w, window).isEmpty();
}

bool inLayout(const QLayout *l, const QWidget *w)
{
    for (int i = 0; i < l->count(); ++i) {
        QLayoutItem *item = l->itemAt(i);
        if (item->widget() == w || (item->layout() && inLayout(item->layout(), w)))
            return true;
    }
    return false;
}

// Laid over the form by hand rather than by its layout: a panel opened over
// the stage, a decoration.
bool floating(const QWidget *w)
{
    const QWidget *p = w->parentWidget();
    return p && !(p->layout() && inLayout(p->layout(), w));
}

// A text as it is laid out: the room it may take and the rect it takes, in
// the widget.
struct Layout {
    QRect room, text;
};

Layout labelLayout(const QLabel *l)
{
    QRect cr = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    const Qt::Alignment align = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
    int m = l->indent();
    if (m < 0 && l->frameWidth())
        m = l->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - l->margin();
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
    int flags = int(align) | (l->wordWrap() ? Qt::TextWordWrap : 0);
    if (l->buddy())
        flags |= Qt::TextShowMnemonic;
    return {cr, l->fontMetrics().boundingRect(cr, flags, l->text().trimmed())};
}

Layout buttonLayout(const QAbstractButton *b)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    if (qobject_cast<const QCheckBox *>(b)) {
        element = QStyle::SE_CheckBoxContents;
        flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    } else if (qobject_cast<const QRadioButton *>(b)) {
        element = QStyle::SE_RadioButtonContents;
        flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    } else if (const auto *p = qobject_cast<const QPushButton *>(b)) {
        if (p->isDefault() || p->autoDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
    }
    const QRect room = b->style()->subElementRect(element, &opt, b);
    QRect text = b->fontMetrics().boundingRect(room, flags, b->text());
    if (!b->icon().isNull() && element == QStyle::SE_PushButtonContents)
        text.adjust(-(b->iconSize().width() + 4) / 2, 0, (b->iconSize().width() + 4) / 2, 0);
    return {room, text};
}

Layout groupTitleLayout(const QGroupBox *g)
{
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    opt.textAlignment = g->alignment();
    const QRect room = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    return {room, g->fontMetrics().boundingRect(room, Qt::AlignCenter | Qt::TextShowMnemonic, g->title())};
}

// The text a widget shows and where, or nothing for a widget without one.
std::optional<Layout> textLayout(const QWidget *w)
{
    if (const auto *l = qobject_cast<const QLabel *>(w)) {
        if (l->text().isEmpty() || !l->pixmap().isNull() || l->textFormat() == Qt::RichText
            || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text())))
            return std::nullopt;
        return labelLayout(l);
    }
    if (const auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text().isEmpty() ? std::nullopt : std::optional<Layout>(buttonLayout(b));
    if (const auto *g = qobject_cast<const QGroupBox *>(w))
        return g->title().isEmpty() ? std::nullopt : std::optional<Layout>(groupTitleLayout(g));
    return std::nullopt;
}

bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w)
        || qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
        || qobject_cast<const QAbstractSlider *>(w) || qobject_cast<const QAbstractScrollArea *>(w)
        || qobject_cast<const QProgressBar *>(w);
}

bool paintsBackground(const QWidget *w)
{
    const QString css = w->styleSheet();
    return w->autoFillBackground() || !w->property("role").toString().isEmpty()
        || css.contains(QLatin1String("background")) || css.contains(QLatin1String("border"))
        || (qobject_cast<const QFrame *>(w) && static_cast<const QFrame *>(w)->frameShape() != QFrame::NoFrame);
}

// The parts of a widget that hide what lies under them, in the window.
QList<QRect> paintedParts(const QWidget *w, const QWidget *window)
{
    const QRect whole = inWindow(w, window, w->rect());
    if (const auto *box = qobject_cast<const ShapeBox *>(w)) {
        if (box->isOpaque())
            return {whole};
        const int b = box->borderWidth() + 1;
        return {QRect(whole.left(), whole.top(), whole.width(), b), QRect(whole.left(), whole.bottom() - b + 1, whole.width(), b),
                QRect(whole.left(), whole.top(), b, whole.height()), QRect(whole.right() - b + 1, whole.top(), b, whole.height())};
    }
    if (const auto *l = qobject_cast<const QLabel *>(w)) {
        const auto *legacy = qobject_cast<const LegacyLabel *>(w);
        if ((legacy && legacy->isOpaque()) || paintsBackground(w) || !l->pixmap().isNull())
            return {whole};
        if (const auto t = textLayout(w))
            return {inWindow(w, window, t->text)};
        return {};
    }
    if (isControl(w) || paintsBackground(w))
        return {whole};
    return {};
}

// The child of `common` on the way from it to `w`.
const QWidget *branch(const QWidget *common, const QWidget *w)
{
    while (w && w->parentWidget() != common)
        w = w->parentWidget();
    return w;
}

// Whether `above` is drawn over `below` (neither holds the other), and the
// branch of their nearest common ancestor that holds `above`.
const QWidget *drawnOver(const QWidget *above, const QWidget *below)
{
    for (const QWidget *common = below->parentWidget(); common; common = common->parentWidget()) {
        const QWidget *a = branch(common, above);
        if (!a)
            continue;
        if (a == above && above->isAncestorOf(below))
            return nullptr;
        const QWidget *b = branch(common, below);
        const QObjectList &stack = common->children();
        return stack.indexOf(const_cast<QWidget *>(a)) > stack.indexOf(const_cast<QWidget *>(b)) ? a : nullptr;
    }
    return nullptr;
}

// The colour the text is drawn in against the colours drawn behind each of its
// pixels: the text itself blanked for a moment and the spot drawn again.
std::optional<double> worstContrast(QWidget *window, QWidget *w, const QRect &textRect)
{
    const QImage with = window->grab(textRect).toImage().convertToFormat(QImage::Format_RGB32);
    std::function<void()> restore;
    if (auto *l = qobject_cast<QLabel *>(w)) {
        const QString t = l->text();
        l->QLabel::setText(QString());
        restore = [l, t] { l->QLabel::setText(t); };
    } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
        const QString t = b->text();
        b->setText(QString());
        restore = [b, t] { b->setText(t); };
    } else {
        return std::nullopt;
    }
    const QImage without = window->grab(textRect).toImage().convertToFormat(QImage::Format_RGB32);
    restore();
    if (with.size() != without.size())
        return std::nullopt;
    // The ink: the designed shade of a label of the old toolkit, else the
    // drawn pixel that stands out most from what lies behind it.
    QColor ink;
    const auto *legacy = qobject_cast<const LegacyLabel *>(w);
    const bool designed = legacy && legacy->foreColor().isValid();
    if (designed)
        ink = legacy->shownForeColor();
    QList<QPoint> glyph;
    double best = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                glyph.append(QPoint(x, y));
                const double r = contrast::ratio(QColor(with.pixel(x, y)), QColor(without.pixel(x, y)));
                if (!designed && r > best) {
                    best = r;
                    ink = QColor(with.pixel(x, y));
                }
            }
    if (glyph.isEmpty()) // wholly under something drawn over it: not to be read
        return std::nullopt;
    double worst = 21;
    for (const QPoint &p : glyph)
        worst = std::min(worst, contrast::ratio(ink, QColor(without.pixel(p))));
    return worst;
}

// A list's items or a tree's rows against the view's ground: the ground is its
// commonest colour, the ink the drawn colour farthest from it.
std::optional<double> viewContrast(QWidget *view)
{
    const QImage img = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> count;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ++count[img.pixel(x, y)];
    QRgb ground = 0;
    int most = -1;
    for (auto it = count.cbegin(); it != count.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            ground = it.key();
        }
    double best = 1;
    for (auto it = count.cbegin(); it != count.cend(); ++it)
        best = std::max(best, contrast::ratio(QColor(it.key()), QColor(ground)));
    return best;
}
} // namespace

QStringList faults(QWidget *window)
{
    QStringList out;
    const QList<QWidget *> all = window->findChildren<QWidget *>();
    QList<QWidget *> shown;
    for (QWidget *w : all)
        if (shownIn(w, window))
            shown.append(w);

    for (QWidget *t : shown) {
        const auto layout = textLayout(t);
        const bool control = isControl(t);
        if (!layout && !control)
            continue;
        const QRect text = layout ? inWindow(t, window, layout->text) : clipOf(t, window);
        // Under a panel laid over it, a text is hidden, not covered.
        bool hidden = false;
        QStringList covers;
        for (const QWidget *w : shown) {
            if (w == t)
                continue;
            const QWidget *over = drawnOver(w, t);
            if (!over)
                continue;
            const QList<QRect> parts = paintedParts(w, window);
            bool overlaps = false;
            for (const QRect &p : parts)
                overlaps = overlaps || (p.intersected(text).width() > 1 && p.intersected(text).height() > 1);
            if (!overlaps)
                continue;
            if ((floating(over) && !qobject_cast<const QLabel *>(over))
                || (paintsBackground(over) && inWindow(over, window, over->rect()).contains(clipOf(t, window)))) {
                hidden = true;
                break;
            }
            // Under a label of the same text, a text is its shadow, not read.
            const auto *a = qobject_cast<const QLabel *>(w);
            const auto *b = qobject_cast<const QLabel *>(t);
            if (a && b && a->text() == b->text()) {
                hidden = true;
                break;
            }
            covers << nameOf(w);
        }
        if (hidden)
            continue;
        // A decoration laid over the form by hand may pass under a panel.
        if (!(floating(t) && qobject_cast<const QLabel *>(t)))
            for (const QString &c : covers)
                out << QStringLiteral("%1 is covered by %2").arg(nameOf(t), c);
        if (!layout)
            continue;
        // A line of text needs the height of its ink (a glyph fitted to its
        // label is not cut); lines of a wrapped text need their line spacing.
        QRect inked = text;
        const auto *wrapped = qobject_cast<const QLabel *>(t);
        const QString shownText = wrapped ? wrapped->text().trimmed() : QString();
        if (wrapped && !wrapped->wordWrap() && !shownText.contains(u'\n')) {
            const int ink = t->fontMetrics().tightBoundingRect(shownText).height();
            inked.setTop(text.center().y() - ink / 2);
            inked.setHeight(ink);
        }
        const QRect room = inWindow(t, window, layout->room).adjusted(-1, -1, 1, 1);
        if (!room.contains(inked) || !clipOf(t, window).adjusted(-1, -1, 1, 1).contains(inked))
            out << QStringLiteral("%1 is cut: its text takes %2x%3, it has %4x%5")
                       .arg(nameOf(t))
                       .arg(text.width())
                       .arg(text.height())
                       .arg(layout->room.width())
                       .arg(layout->room.height());
        if (!t->isEnabled())
            continue;
        const double needed = contrast::minimumFor(t->font());
        if (const auto worst = worstContrast(window, t, text & clipOf(t, window)); worst && *worst + 0.05 < needed)
            out << QStringLiteral("%1 reads at %2:1 on what lies behind it").arg(nameOf(t)).arg(*worst, 0, 'f', 2);
    }
    // The rows of lists and trees on their ground.
    for (QWidget *w : shown) {
        auto *view = qobject_cast<QAbstractItemView *>(w);
        if (!view || !view->model() || view->model()->rowCount(view->rootIndex()) == 0)
            continue;
        if (const auto worst = viewContrast(view->viewport()); worst && *worst < 4.5)
            out << QStringLiteral("%1: its rows read at %2:1").arg(nameOf(w)).arg(*worst, 0, 'f', 2);
    }
    return out;
}

QStringList shownTexts(QWidget *window)
{
    QStringList out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        if (!w->toolTip().isEmpty())
            out << w->toolTip();
        if (const auto *l = qobject_cast<const QLabel *>(w))
            out << l->text();
        else if (const auto *b = qobject_cast<const QAbstractButton *>(w))
            out << b->text();
        else if (const auto *g = qobject_cast<const QGroupBox *>(w))
            out << g->title();
        else if (const auto *c = qobject_cast<const QComboBox *>(w))
            for (int i = 0; i < c->count(); ++i)
                out << c->itemText(i);
        if (const auto *h = qobject_cast<const QHeaderView *>(w)) {
            for (int i = 0; h->model() && i < h->count(); ++i)
                if (!h->isSectionHidden(i))
                    out << h->model()->headerData(i, h->orientation()).toString();
        } else if (const auto *v = qobject_cast<const QAbstractItemView *>(w); v && v->model()) {
            const QModelIndex root = v->rootIndex();
            for (int r = 0; r < v->model()->rowCount(root); ++r)
                out << v->model()->index(r, 0, root).data().toString();
        }
    }
    out.removeAll(QString());
    return out;
}

} // namespace screenaudit
