#pragma once
// The panel that the phone call and the audience vote open over the question: a
// background box with a gold ribbon along its top and its bottom and the
// lifeline's glyph on its corner, unfolding one piece per tick of the lifeline's
// timer, and the content panel on it. Closing hides the content and slides the
// box up and away; the ribbons and the glyph go with it.
//
// The box keeps its place as a logical top in twips (resting at 1680); the slide
// animates that top to -2820, which puts the box just above the window, and the
// frame is hidden when it gets there. All pieces are children of the game form,
// so they live and die with it, and so do their animations.

#include "vntext.h"

#include <QPointer>
#include <QPropertyAnimation>
#include <QFrame>
#include <QPixmap>
#include <QWidget>

class LegacyLabel;
class QPainter;
class ShapeBox;

// The background box (Shape6, Shape7).
class PanelBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int top READ top WRITE setTop NOTIFY topChanged)
public:
    PanelBox(QWidget *parent, const QString &name);
    int top() const { return m_top; } // twips
    void setTop(int twips);
    // Paints the part of the box under a rectangle given in the box's coordinates.
    void paintUnder(QPainter &p, const QRect &area);

signals:
    void topChanged();

protected:
    void paintEvent(QPaintEvent *) override;

private:
    const QPixmap &picture();
    int m_top;
    QPixmap m_picture; // drawn once per size
};

// The content panel (Picture3, Picture5): it paints the box under it itself, so a
// change inside it repaints nothing beneath.
class PanelContent : public QFrame {
    Q_OBJECT
public:
    PanelContent(QWidget *parent, const QString &name, PanelBox *box);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    PanelBox *m_box;
};

struct PanelNames {
    const char *topPiece; // Shape1, Shape9
    const char *bottomPiece; // Shape5, Shape8
    const char *glyph;  // Label15, Label18
    const char *box;    // Shape6, Shape7
    const char *panel;  // Picture3, Picture5
};

class LifelinePanel : public QObject {
    Q_OBJECT
public:
    // `glyph` is the lifeline button's caption, shown on the frame's corner.
    LifelinePanel(QWidget *form, const PanelNames &names, const QString &glyph, vn::Encoding enc);

    QFrame *panel() const { return m_panel; }
    PanelBox *box() const { return m_box; }

    // Step 1 shows the top ribbon and the glyph, 2 the bottom ribbon, 3 the box,
    // 4 the panel; other steps change nothing.
    void unfold(int step);
    // Hides the panel and slides the box away; the frame is hidden at the end.
    void close();
    bool sliding() const { return m_slide; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QRect restRect() const;
    QRect boxRect() const; // the rest place moved by the box's top
    void place();
    void grow(QWidget *piece, const QRect &from);
    void slid();

    QWidget *m_form;
    QPointer<QWidget> m_anchor; // the question panel the box lies over
    ShapeBox *m_topPiece;
    ShapeBox *m_bottomPiece;
    LegacyLabel *m_glyph;
    PanelBox *m_box;
    QFrame *m_panel;
    QPointer<QPropertyAnimation> m_slide;
};

// The round close button of a panel (ok, Image11).
LegacyLabel *panelCloseButton(QWidget *parent, const char *name);

// One bar of the audience's vote (Shape4, b, c, d): its Width in twips, 3495 for
// 100 percent. A new length is drawn growing from the old one.
class VoteBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double drawn READ drawn WRITE setDrawn)
public:
    VoteBar(QWidget *parent, const QString &name, const QColor &colour);
    double twips() const { return m_twips; }
    void setTwips(double twips);
    double drawn() const { return m_drawn; }
    void setDrawn(double twips);
    QSize sizeHint() const override { return QSize(240, 28); }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    double m_twips;
    double m_drawn;
    QColor m_colour;
    QPointer<QPropertyAnimation> m_grow;
};

// A small stopwatch picture (Image10).
class Stopwatch : public QWidget {
    Q_OBJECT
public:
    Stopwatch(QWidget *parent, const QString &name);
    QSize sizeHint() const override { return QSize(34, 38); }

protected:
    void paintEvent(QPaintEvent *) override;
};
