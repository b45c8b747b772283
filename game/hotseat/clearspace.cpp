#include "clearspace.h"

#include "legacylabel.h"

#include <QChildEvent>
#include <QFrame>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kCell = 4;
constexpr int kEdge = 4;    // kept clear along the window's edge
constexpr int kAround = 2;  // kept clear around a text or a control
constexpr int kBorder = 8;  // a panel's border and its rounded corners

// How a label lays its text out.
int textFlags(const QLabel *l)
{
    return int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
}

// The part of a label that shows something: the whole of a filled or framed
// label or a button, otherwise the text as it is laid out.
QRect shownPart(const QLabel *l)
{
    const QString role = l->property("role").toString();
    const auto *legacy = qobject_cast<const LegacyLabel *>(l);
    const QString css = l->styleSheet();
    if (!role.isEmpty() && role != QLatin1String("title") && role != QLatin1String("money"))
        return l->rect();
    if ((legacy && legacy->isOpaque()) || css.contains(QLatin1String("border"))
        || css.contains(QLatin1String("background")))
        return l->rect();
    if (l->text().isEmpty())
        return {};
    // What lies beyond the label is cut off (a line taller than a glyph sized to
    // its ink, a running text longer than its line).
    return l->fontMetrics().boundingRect(l->contentsRect(), textFlags(l), l->text()) & l->rect();
}
} // namespace

QRect ClearSpace::labelPart(const QLabel *l, QPoint at)
{
    const QRect part = shownPart(l);
    return part.isEmpty() ? QRect() : part.translated(at).adjusted(-kAround, -kAround, kAround, kAround);
}

QList<ClearSpace::Taken> ClearSpace::taken(const QWidget *form, const QList<const QWidget *> &ignore)
{
    QList<Taken> out;
    // What is stacked above the added widgets (a panel opened over the stage)
    // hides them rather than being covered.
    const QObjectList &stack = form->children();
    qsizetype level = stack.size();
    for (const QWidget *w : ignore)
        if (w->parentWidget() == form)
            level = std::min(level, stack.indexOf(const_cast<QWidget *>(w)));
    const QList<QWidget *> all = form->findChildren<QWidget *>();
    for (const QWidget *w : all) {
        if (!w->isVisibleTo(form) || ignore.contains(w) || w->metaObject() == &QWidget::staticMetaObject)
            continue;
        const QWidget *top = w;
        bool inIgnored = false;
        for (; top->parentWidget() != form; top = top->parentWidget())
            inIgnored = inIgnored || ignore.contains(top->parentWidget());
        if (inIgnored || stack.indexOf(const_cast<QWidget *>(top)) > level)
            continue;
        const QPoint at = w->mapTo(form, QPoint(0, 0));
        if (const auto *l = qobject_cast<const QLabel *>(w)) {
            out.append({labelPart(l, at), l, at});
        } else if (qobject_cast<const QFrame *>(w) && w->metaObject() == &QFrame::staticMetaObject) {
            // A panel: its border; what lies inside it is mapped on its own.
            const QRect r(at, w->size());
            out.append({QRect(r.left(), r.top(), r.width(), kBorder), nullptr, {}});
            out.append({QRect(r.left(), r.bottom() - kBorder + 1, r.width(), kBorder), nullptr, {}});
            out.append({QRect(r.left(), r.top(), kBorder, r.height()), nullptr, {}});
            out.append({QRect(r.right() - kBorder + 1, r.top(), kBorder, r.height()), nullptr, {}});
        } else {
            out.append({QRect(at, w->size()).adjusted(-kAround, -kAround, kAround, kAround), nullptr, {}});
        }
    }
    return out;
}

QList<QRect> ClearSpace::covered(const QWidget *form, const QList<const QWidget *> &ignore)
{
    QList<QRect> out;
    for (const Taken &t : taken(form, ignore))
        if (!t.label || !t.rect.isEmpty())
            out.append(t.rect);
    return out;
}

ClearSpace::ClearSpace(const QWidget *form, const QList<const QWidget *> &ignore) : ClearSpace(form, taken(form, ignore))
{
}

ClearSpace::ClearSpace(const QWidget *form, const QList<Taken> &all)
{
    m_cols = (form->width() + kCell - 1) / kCell;
    m_rows = (form->height() + kCell - 1) / kCell;
    m_cover.assign(size_t(m_cols) * size_t(m_rows), 0);
    const QRect inside = form->rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
    mark(QRect(0, 0, form->width(), inside.top()), 1);
    mark(QRect(0, inside.bottom() + 1, form->width(), kEdge), 1);
    mark(QRect(0, 0, inside.left(), form->height()), 1);
    mark(QRect(inside.right() + 1, 0, kEdge, form->height()), 1);
    // A label that shows nothing takes no room.
    for (const Taken &t : all)
        if (!t.label || !t.rect.isEmpty())
            mark(t.rect, 1);
    sum();
}

void ClearSpace::replace(const QRect &was, const QRect &now)
{
    if (!was.isEmpty())
        mark(was, -1);
    if (!now.isEmpty())
        mark(now, 1);
}

void ClearSpace::mark(const QRect &r, int by)
{
    const int x0 = std::max(0, r.left() / kCell), x1 = std::min(m_cols - 1, r.right() / kCell);
    const int y0 = std::max(0, r.top() / kCell), y1 = std::min(m_rows - 1, r.bottom() / kCell);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            m_cover[size_t(y) * size_t(m_cols) + size_t(x)] += by;
}

void ClearSpace::sum()
{
    const size_t width = size_t(m_cols) + 1;
    m_sum.assign(width * size_t(m_rows + 1), 0);
    for (int y = 0; y < m_rows; ++y) {
        const unsigned short *cover = m_cover.data() + size_t(y) * size_t(m_cols);
        const int *above = m_sum.data() + size_t(y) * width;
        int *row = m_sum.data() + size_t(y + 1) * width;
        int inRow = 0;
        for (int x = 0; x < m_cols; ++x) {
            inRow += cover[x] != 0;
            row[x + 1] = above[x + 1] + inRow;
        }
    }
}

int ClearSpace::takenCells(int x0, int y0, int x1, int y1) const
{
    auto at = [this](int x, int y) { return m_sum[size_t(y) * size_t(m_cols + 1) + size_t(x)]; };
    return at(x1 + 1, y1 + 1) - at(x0, y1 + 1) - at(x1 + 1, y0) + at(x0, y0);
}

bool ClearSpace::isClear(const QRect &r) const
{
    if (r.isEmpty() || r.left() < 0 || r.top() < 0 || r.right() >= m_cols * kCell || r.bottom() >= m_rows * kCell)
        return false;
    return takenCells(r.left() / kCell, r.top() / kCell, r.right() / kCell, r.bottom() / kCell) == 0;
}
std::optional<QPoint> ClearSpace::nearestClear(QPoint wanted, QSize size, int reach) const
{
    if (isClear(QRect(wanted, size)))
        return wanted;
    // Ring by ring; in a ring, the nearest place first.
    const int rings = reach / kCell;
    for (int ring = 1; ring <= rings; ++ring) {
        std::optional<QPoint> best;
        int bestDistance = 0;
        for (int dy = -ring; dy <= ring; ++dy)
            // Along the ring only: its top and bottom rows whole, the sides' two cells between.
            for (int dx = -ring; dx <= ring; dx += std::abs(dy) == ring ? 1 : 2 * ring) {
                const QPoint p = wanted + QPoint(dx * kCell, dy * kCell);
                const int distance = dx * dx + dy * dy;
                if ((!best || distance < bestDistance) && isClear(QRect(p, size))) {
                    best = p;
                    bestDistance = distance;
                }
            }
        if (best)
            return best;
    }
    return std::nullopt;
}

LiveClearSpace::LiveClearSpace(QWidget *form, const QList<const QWidget *> &ignore)
    : QObject(form), m_form(form), m_ignore(ignore)
{
    watch(form);
}

void LiveClearSpace::watch(QObject *o)
{
    o->installEventFilter(this);
    for (QWidget *w : o->findChildren<QWidget *>())
        w->installEventFilter(this);
}

bool LiveClearSpace::eventFilter(QObject *watched, QEvent *e)
{
    switch (e->type()) {
    case QEvent::ChildAdded:
        if (QObject *child = static_cast<QChildEvent *>(e)->child(); child->isWidgetType()) {
            watch(child);
            m_stale = true;
        }
        break;
    case QEvent::ChildRemoved:
        m_stale = m_stale || static_cast<QChildEvent *>(e)->child()->isWidgetType();
        break;
    case QEvent::ZOrderChange: // the glyphs' place in the stack counts too
        m_stale = true;
        break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ContentsRectChange:
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::DynamicPropertyChange:
    case QEvent::ParentChange:
        if (!m_stale && !m_ignore.contains(static_cast<const QWidget *>(watched)))
            m_stale = true;
        break;
    default:
        break;
    }
    return false;
}

LiveClearSpace::Looks LiveClearSpace::looksOf(const Text &t)
{
    return {textFlags(t.label), t.legacy && t.legacy->isOpaque(), t.label->text()};
}

void LiveClearSpace::rebuild()
{
    const QList<ClearSpace::Taken> all = ClearSpace::taken(m_form, m_ignore);
    m_map = ClearSpace(m_form, all);
    m_texts.clear();
    for (const ClearSpace::Taken &t : all) {
        if (!t.label)
            continue;
        Text text;
        text.label = t.label;
        text.legacy = qobject_cast<const LegacyLabel *>(t.label);
        text.at = t.at;
        text.rect = t.rect;
        text.looks = looksOf(text);
        m_texts.append(text);
    }
    m_stale = false;
    ++m_rebuilds;
    ++m_changes;
}

const ClearSpace &LiveClearSpace::map()
{
    // A hidden form does not tell of every change (its widgets' moves wait until
    // it is shown): its map is made afresh each time.
    if (m_stale || !m_map || !m_form->isVisible()) {
        rebuild();
        return *m_map;
    }
    bool moved = false;
    for (Text &t : m_texts) {
        if (!t.label) {
            rebuild();
            return *m_map;
        }
        Looks looks = looksOf(t);
        if (looks == t.looks)
            continue;
        t.looks = std::move(looks);
        const QRect now = ClearSpace::labelPart(t.label, t.at);
        if (now != t.rect) {
            m_map->replace(t.rect, now);
            t.rect = now;
            moved = true;
        }
    }
    if (moved) {
        m_map->sum();
        ++m_changes;
    }
    return *m_map;
}
