#pragma once
// Where on a form something added over it (the stage's glyphs) may lie without
// covering anything: not over a text (the text itself, not its label's empty
// room), a control, a filled label, a panel's border, nor within a few pixels
// of the window's edge. The form is mapped into 4-pixel cells; asking whether
// a rectangle is clear is then a constant-time look-up.
//
// LiveClearSpace keeps the map of a form current for the stage's ticks: it is
// made again only when the form changes what it was made from (a widget shown,
// hidden, moved, resized, restacked, restyled, added or removed), and a label
// whose text is laid out anew only moves its own part of it.

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <optional>
#include <vector>

class LegacyLabel;
class QLabel;
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

    // Two maps that keep the same cells clear.
    bool operator==(const ClearSpace &other) const
    {
        return m_cols == other.m_cols && m_rows == other.m_rows && m_sum == other.m_sum;
    }

private:
    friend class LiveClearSpace;
    // One thing the map keeps clear of: its place on the form and, for a label,
    // the label (whose part is its text, or all of it when it is filled).
    struct Taken {
        QRect rect;
        const QLabel *label = nullptr;
        QPoint at; // the label's top left on the form
    };
    // Everything on the form the map is made from; a label that shows nothing
    // yet is there too, with an empty rectangle.
    static QList<Taken> taken(const QWidget *form, const QList<const QWidget *> &ignore);
    // The rectangle a label keeps clear, at `at` on the form.
    static QRect labelPart(const QLabel *l, QPoint at);
    ClearSpace(const QWidget *form, const QList<Taken> &all);
    // One rectangle of the map moved (a text laid out anew).
    void replace(const QRect &was, const QRect &now);
    void mark(const QRect &r, int by);
    void sum();
    int takenCells(int x0, int y0, int x1, int y1) const; // inclusive
    int m_cols = 0, m_rows = 0;
    std::vector<unsigned short> m_cover; // how many rectangles cover each cell
    std::vector<int> m_sum; // summed-area table of the covered cells, (m_cols + 1) × (m_rows + 1)
};

class LiveClearSpace : public QObject {
    Q_OBJECT
public:
    // Watches `form` and everything on it; `ignore` as for ClearSpace.
    LiveClearSpace(QWidget *form, const QList<const QWidget *> &ignore);

    // The map as the form is now.
    const ClearSpace &map();
    // Counts what map() did: the times it was made afresh, and the times it
    // changed at all (made afresh or a text's part moved).
    int rebuilds() const { return m_rebuilds; }
    int changes() const { return m_changes; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void watch(QObject *o);
    void rebuild();
    // What a label's part depends on besides its geometry, font and style (those
    // come with events of their own): nothing tells when it changes.
    struct Looks {
        int flags = 0;
        bool opaque = false;
        QString text;
        bool operator==(const Looks &) const = default;
    };
    // A label on the map: where it is, its part as the map has it, and how it looked then.
    struct Text {
        QPointer<const QLabel> label;
        const LegacyLabel *legacy = nullptr;
        QPoint at;
        QRect rect;
        Looks looks;
    };
    static Looks looksOf(const Text &t);
    QWidget *m_form;
    QList<const QWidget *> m_ignore;
    std::optional<ClearSpace> m_map;
    QList<Text> m_texts;
    bool m_stale = true;
    int m_rebuilds = 0;
    int m_changes = 0;
};
