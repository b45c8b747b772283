#pragma once
// What moves on the hot seat's stage by itself or under the mouse, without
// deciding anything about the game: the motto labels cd1/cd2 (Timer16, a new
// motto every three seconds), the fourteen decoration glyphs met(0..13) that
// drift around their places and the labels that take a random colour (Timer15),
// the wall clock Label8 (Timer2), and the hover effects on the stage buttons,
// the answers and the two areas that reset them.
//
// The stage's own timers stop while the form is hidden or minimised.

#include <QObject>
#include <QPointF>
#include <QSize>
#include <array>
#include <optional>

class GameApp;
class LegacyLabel;
class LegacyTimer;
class LiveClearSpace;
class ShapeBox;
class QWidget;

class StagePresentation : public QObject {
    Q_OBJECT
public:
    // Makes the mottos, the clock, the glyphs and the timers on `form`.
    StagePresentation(QWidget *form, GameApp &app);

    LegacyLabel *motto1() const { return m_cd1; }
    LegacyLabel *motto2() const { return m_cd2; }
    LegacyLabel *wallClock() const { return m_label8; }

    // The form's controls the stage acts on, once the form has made them.
    struct Cast {
        LegacyLabel *label20a = nullptr;              // takes random colours with the goals
        std::array<LegacyLabel *, 3> goals{};         // Label23, Label29, Label31
        LegacyLabel *label3 = nullptr, *label9 = nullptr, *label4 = nullptr, *stop113 = nullptr,
                    *strart = nullptr, *trunggian = nullptr, *chon50 = nullptr;
        std::array<LegacyLabel *, 4> answers{};       // traloi1..traloi4
        std::array<ShapeBox *, 4> boxes{};            // the da box behind A, B, C, D
        QWidget *answerPanel = nullptr;               // lock113
        QWidget *buttonArea = nullptr;                // imgBlue(0)
    };
    void attach(const Cast &cast);

    // The top-five switch shows or hides the glyphs and both mottos.
    void setDecorationsShown(bool on);

    int mottoStep() const { return m_mottoStep; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void mottoTick();       // Timer16
    void decorationTick();  // Timer15
    void clockTick();       // Timer2
    // Each glyph at its place plus its drift, or the nearest place where it
    // covers nothing; a glyph with no such place near it waits out of sight.
    void placeGlyphs();
    void resetButtons();    // the mouse over imgBlue(0)

    QWidget *m_form;
    GameApp &m_app;
    LegacyLabel *m_cd1;
    LegacyLabel *m_cd2;
    LegacyLabel *m_label8;
    std::array<LegacyLabel *, 14> m_met{};
    std::array<QPointF, 14> m_drift{}; // each glyph's offset from its place, in pixels
    LiveClearSpace *m_clear = nullptr; // where the glyphs may lie, made once they are first placed
    // Each glyph's last placing: the map it was found on, the place and size asked, the answer.
    struct Placing {
        int map = -1;
        QPoint wanted;
        QSize size;
        std::optional<QPoint> at;
    };
    std::array<Placing, 14> m_placing{};
    LegacyTimer *m_timer16;
    LegacyTimer *m_timer15;
    LegacyTimer *m_timer2;
    std::array<LegacyLabel *, 6> m_colourful{}; // cd1, cd2, Label23, Label29, Label31, Label20a
    Cast m_cast;
    int m_mottoStep = 0;
    bool m_decorationsOn = false;
};
