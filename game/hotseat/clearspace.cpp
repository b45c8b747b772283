#include "clearspace.h"

#include "legacylabel.h"

#include <QFrame>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kCell = 4;
constexpr int kEdge = 4;    // kept clear along the window's edge
constexpr int kAround = 2;  // kept clear around a text or a control
constexpr int kBorder = 8;  // a panel's border and its rounded corners

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
    const int flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
    return l->fontMetrics().boundingRect(l->contentsRect(), flags, l->text());
}
} // namespace

QList<QRect> ClearSpace::covered(const QWidget *form, const QList<const QWidget *> &ignore)
{
    QList<QRect> out;
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
            const QRect part = shownPart(l);
            if (!part.isEmpty())
                out.append(part.translated(at).adjusted(-kAround, -kAround, kAround, kAround));
        } else if (qobject_cast<const QFrame *>(w) && w->metaObject() == &QFrame::staticMetaObject) {
            // A panel: its border; what lies inside it is mapped on its own.
            const QRect r(at, w->size());
            out.append(QRect(r.left(), r.top(), r.width(), kBorder));
            out.append(QRect(r.left(), r.bottom() - kBorder + 1, r.width(), kBorder));
            out.append(QRect(r.left(), r.top(), kBorder, r.height()));
            out.append(QRect(r.right() - kBorder + 1, r.top(), kBorder, r.height()));
        } else {
            out.append(QRect(at, w->size()).adjusted(-kAround, -kAround, kAround, kAround));
        }
    }
    return out;
}

ClearSpace::ClearSpace(const QWidget *form, const QList<const QWidget *> &ignore)
{
    m_cols = (form->width() + kCell - 1) / kCell;
    m_rows = (form->height() + kCell - 1) / kCell;
    m_cells.assign(size_t(m_cols) * size_t(m_rows), 0);
    const QRect inside = form->rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
    mark(QRect(0, 0, form->width(), inside.top()));
    mark(QRect(0, inside.bottom() + 1, form->width(), kEdge));
    mark(QRect(0, 0, inside.left(), form->height()));
    mark(QRect(inside.right() + 1, 0, kEdge, form->height()));
    for (const QRect &r : covered(form, ignore))
        mark(r);
    m_sum.assign(size_t(m_cols + 1) * size_t(m_rows + 1), 0);
    for (int y = 0; y < m_rows; ++y)
        for (int x = 0; x < m_cols; ++x)
            m_sum[size_t(y + 1) * size_t(m_cols + 1) + size_t(x + 1)] =
                m_cells[size_t(y) * size_t(m_cols) + size_t(x)] + m_sum[size_t(y) * size_t(m_cols + 1) + size_t(x + 1)]
                + m_sum[size_t(y + 1) * size_t(m_cols + 1) + size_t(x)] - m_sum[size_t(y) * size_t(m_cols + 1) + size_t(x)];
}

void ClearSpace::mark(const QRect &r)
{
    const int x0 = std::max(0, r.left() / kCell), x1 = std::min(m_cols - 1, r.right() / kCell);
    const int y0 = std::max(0, r.top() / kCell), y1 = std::min(m_rows - 1, r.bottom() / kCell);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            m_cells[size_t(y) * size_t(m_cols) + size_t(x)] = 1;
}

int ClearSpace::taken(int x0, int y0, int x1, int y1) const
{
    auto at = [this](int x, int y) { return m_sum[size_t(y) * size_t(m_cols + 1) + size_t(x)]; };
    return at(x1 + 1, y1 + 1) - at(x0, y1 + 1) - at(x1 + 1, y0) + at(x0, y0);
}

bool ClearSpace::isClear(const QRect &r) const
{
    if (r.isEmpty() || r.left() < 0 || r.top() < 0 || r.right() >= m_cols * kCell || r.bottom() >= m_rows * kCell)
        return false;
    return taken(r.left() / kCell, r.top() / kCell, r.right() / kCell, r.bottom() / kCell) == 0;
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
            for (int dx = -ring; dx <= ring; ++dx) {
                if (std::max(std::abs(dx), std::abs(dy)) != ring)
                    continue;
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
