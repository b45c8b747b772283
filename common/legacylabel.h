#pragma once
// A label that holds its caption as a legacy text (see vntext.h) and shows it as
// Unicode Vietnamese. Labels double as buttons: clicked() fires on a click while
// enabled, hovered() on mouse movement over it. Fore and back colours are kept
// as properties so the game can set and tests can read them.
//
// A label that shows the hand pointer is a button for the keyboard too: Tab
// reaches it, Space or Enter presses it exactly as a click would (never while
// it is hidden, disabled or covered), and a gold frame shows that it has the
// focus. When it is hidden or disabled while it has the focus, the focus goes
// back to its form rather than on to the next button, so that a key meant for
// the form is not taken by a button the player never chose.
//
// The colours are painted, not written into the style sheet: some stage labels
// change colour several times a second, and a style sheet is re-parsed and the
// label re-polished on every change. The style sheet holds only what rarely
// changes (setExtraStyle, the font overrides). The text is shown as plain text.

#include "vntext.h"

#include <QColor>
#include <QLabel>

class QPainter;

class LegacyLabel : public QLabel {
    Q_OBJECT
public:
    LegacyLabel(QWidget *parent, const QString &name, const QString &caption = QString(),
                vn::Encoding enc = vn::Encoding::VnTimes);

    QString caption() const { return m_caption; }
    void setCaption(const QString &legacy);
    // As setCaption, but a missing value (a null text, a field the row did not
    // have) leaves the caption as it was.
    void setCaptionUnlessMissing(const QString &legacy);
    vn::Encoding encoding() const { return m_encoding; }
    void setEncoding(vn::Encoding enc);

    QColor foreColor() const { return m_fore; }
    void setForeColor(const QColor &c);
    QColor backColor() const { return m_back; }
    void setBackColor(const QColor &c); // makes the label opaque
    void setTransparent();
    bool isOpaque() const { return m_opaque; }
    // Extra style sheet rules for this label (font size, border...).
    void setExtraStyle(const QString &css);
    // Font overrides over the theme and the extra style: a size in points (0: none)
    // and bold. Setting the value a label already has costs nothing.
    int fontPointSize() const { return m_fontSize; }
    void setFontPointSize(int points);
    bool isBold() const { return m_bold; }
    void setBold(bool on);
    // A thin outline of the opposite brightness around a coloured text, so that any
    // colour stays readable on the stage.
    void setHalo(bool on);
    // What lies behind the text of a transparent label (for a gradient, its
    // ends): the text is drawn in the shade of its colour that reads on all of
    // them (see contrast.h); once set, an opaque label's text reads on its back
    // colour. Without a backdrop the text is drawn in its colour as it is.
    void setBackdrop(const QList<QColor> &behind);
    QList<QColor> backdrop() const;
    // The colour the text is drawn in.
    QColor shownForeColor() const;

    // Makes the label look and act as a button: hand cursor, "button" role for the theme.
    void makeButton();
    // At least this wide, and never narrower than its caption: unlike a
    // minimum width, a layout short of room cannot cut the caption for it.
    void setLeastWidth(int width);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();
    void hovered();

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    bool focusNextPrevChild(bool next) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    void restyle();
    void paintContents(QPaintEvent *e);
    void paintText(QPainter &p);
    void paintFocusFrame();
    QString m_caption;
    vn::Encoding m_encoding;
    QColor m_fore;
    QColor m_back;
    QList<QColor> m_behind;
    bool m_opaque = false;
    bool m_pressed = false;
    bool m_bold = false;
    bool m_halo = false;
    int m_fontSize = 0;
    int m_leastWidth = 0;
    qreal m_radius = 0; // the extra style's border-radius, for the painted back colour
    QString m_extra;
    // The shade last drawn and what it was worked out from: a label repaints far
    // more often than its colours change.
    struct Shade {
        QColor fore;
        QList<QColor> behind;
        double minimum = 0;
        QColor shown;
    };
    mutable Shade m_shade;
};

// A plain filled shape (the old toolkit's rectangle shape): a fill colour shown when
// opaque, a border colour, nothing when transparent.
class ShapeBox : public QWidget {
    Q_OBJECT
public:
    ShapeBox(QWidget *parent, const QString &name, const QColor &fill = Qt::blue);
    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor &c);
    // The texts drawn over the box (their colours and the ratio each needs): the
    // fill is drawn in the shade of its colour under which they all read.
    void setInks(const QList<QPair<QColor, double>> &inks);
    QColor shownFillColor() const;
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool on);
    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    void setRounded(bool on);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor m_fill;
    QList<QPair<QColor, double>> m_inks;
    mutable QColor m_shadedFill, m_shownFill; // the fill last drawn and its readable shade
    mutable QList<QPair<QColor, double>> m_shadedInks;
    QColor m_border = QColor(255, 215, 90);
    bool m_opaque = false;
    bool m_rounded = true;
    int m_borderWidth = 2;
};
