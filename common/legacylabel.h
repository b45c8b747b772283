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

#include "vntext.h"

#include <QColor>
#include <QLabel>

class LegacyLabel : public QLabel {
    Q_OBJECT
public:
    LegacyLabel(QWidget *parent, const QString &name, const QString &caption = QString(),
                vn::Encoding enc = vn::Encoding::VnTimes);

    QString caption() const { return m_caption; }
    void setCaption(const QString &legacy);
    vn::Encoding encoding() const { return m_encoding; }
    void setEncoding(vn::Encoding enc);

    QColor foreColor() const { return m_fore; }
    void setForeColor(const QColor &c);
    QColor backColor() const { return m_back; }
    void setBackColor(const QColor &c); // makes the label opaque
    void setTransparent();
    bool isOpaque() const { return m_opaque; }
    // Extra style sheet rules for this label (font size, border...), kept under the colours.
    void setExtraStyle(const QString &css);

    // Makes the label look and act as a button: hand cursor, "button" role for the theme.
    void makeButton();

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
    QString m_caption;
    vn::Encoding m_encoding;
    QColor m_fore;
    QColor m_back;
    bool m_opaque = false;
    bool m_pressed = false;
    QString m_extra;
};

// A plain filled shape (the old toolkit's rectangle shape): a fill colour shown when
// opaque, a border colour, nothing when transparent.
class ShapeBox : public QWidget {
    Q_OBJECT
public:
    ShapeBox(QWidget *parent, const QString &name, const QColor &fill = Qt::blue);
    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor &c);
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool on);
    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &c);
    void setRounded(bool on);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor m_fill;
    QColor m_border = QColor(255, 215, 90);
    bool m_opaque = false;
    bool m_rounded = true;
};
