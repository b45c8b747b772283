#pragma once
// Where on a form something added over it (the stage's glyphs) may lie without
// covering anything: not over a text (the text itself, not its label's empty
// room), a control, a filled label, a panel's border, nor within a few pixels
// of the window's edge. The form is mapped once into 4-pixel cells; asking
// whether a rectangle is clear is then a constant-time look-up.

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>
#include <vector>

class QWidget;

class ClearSpace {
public:
    // Maps the visible widgets of `form` except those in `ignore`.
    ClearSpace(const QWidget *form, const QList<const QWidget *> &ignore);

    bool isClear(const QRect &r) const;
    // The clear place for a rectangle of `size` nearest to `wanted` (its top
    // left), searched outwards in whole cells up to `reach` pixels; `wanted`
    // itself when it is clear.
    std::optional<QPoint> nearestClear(QPoint wanted, QSize size, int reach) const;

    // What the map keeps clear of, in form coordinates. A panel stacked above
    // the ignored widgets hides them and is left out.
    static QList<QRect> covered(const QWidget *form, const QList<const QWidget *> &ignore);

private:
    void mark(const QRect &r);
    int taken(int x0, int y0, int x1, int y1) const; // cells, inclusive
    int m_cols = 0, m_rows = 0;
    std::vector<int> m_sum; // summed-area table, (m_cols + 1) × (m_rows + 1)
    std::vector<unsigned char> m_cells;
};
