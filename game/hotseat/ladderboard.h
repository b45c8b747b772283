#pragma once
// The money ladder on the right of the stage: fifteen rows so0 (question 1, lowest)
// to so14 (question 15, top), the current-question bar li and the prize marker
// sotienco, and the three milestone stars muc1..muc3.
//
// The bar and the marker keep their place as a logical "top" in twips, the way
// the game moves them (rows 300 apart, so0 at 4320, so14 at 120); the board maps
// that onto whatever height it is given, so the ladder keeps its shape when the
// window is resized.

#include <QFrame>
#include <array>

class LegacyLabel;
class ShapeBox;

class LadderBoard : public QFrame {
    Q_OBJECT
public:
    explicit LadderBoard(QWidget *parent);

    LegacyLabel *row(int index) const { return m_rows[size_t(index)]; } // so0..so14
    LegacyLabel *milestoneStar(int level) const { return m_stars[size_t(level - 1)]; } // muc1..muc3
    ShapeBox *bar() const { return m_li; }
    LegacyLabel *marker() const { return m_sotienco; }

    int liTop() const { return m_liTop; }
    void setLiTop(int twips);
    int sotiencoTop() const { return m_markerTop; }
    void setSotiencoTop(int twips);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    // Slot 0 is the top row (so14), slot 14 so0, slot 15 the parking place below it.
    static constexpr int kSlots = 16;
    QRect slotRect(double slot) const;
    void place();

    std::array<LegacyLabel *, 15> m_rows{};
    std::array<LegacyLabel *, 3> m_stars{};
    ShapeBox *m_li = nullptr;
    LegacyLabel *m_sotienco = nullptr;
    int m_liTop;
    int m_markerTop;
};
