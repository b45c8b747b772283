#pragma once
// Form1: the hot seat. Fifteen questions drawn one at a time from the three level
// tables, the money ladder, the verdicts, stopping and leaving with the winnings.
//
// The game state lives where the rest of the game expects it: in the captions of
// the stage's controls (the buttons' captions select what a click does) and in a
// few hidden working values held as text (socauhoi, so, ttoan, dapandung, ...),
// readable through the accessors below. What is worth money or points is the
// referee's (referee/referee.h): it draws the questions, keeps their right
// answers, gives the verdicts and the lifelines' outcomes and settles the end;
// the form shows what it answers.
//
// The handlers are spread over several files by concern: hotseatform.cpp (stage
// and load), opening.cpp (opening sequence and clocks), draw.cpp (Start and the
// question draw), verdict.cpp (picks and verdicts), ladder.cpp (ladder step and
// Continue), stopping.cpp (stop, end, leave and save). Features with their own
// controls and timers are their own classes: each lifeline (fiftyfifty.cpp,
// phonecall.cpp, audiencevote.cpp, sharing lifeline.cpp and lifelinepanel.cpp),
// StagePresentation (mottos, decorations, wall clock, hover effects),
// OptionsPanel (Picture6) and TopFiveBoard (Picture2).

#include "legacyform.h"

#include <array>

class AudienceVote;
class FiftyFifty;
class GameApp;
class LadderBoard;
class OptionsPanel;
class PatientSave;
class PhoneCall;
class ShapeBox;
class StagePresentation;
class TopFiveBoard;
class QCheckBox;
class QFrame;
class QLineEdit;

class HotSeatForm : public LegacyForm {
    Q_OBJECT
    friend class Lifeline; // the lifelines work the stage's dialog
public:
    explicit HotSeatForm(GameApp &app);

    // --- hidden working values ----------------------------------------------------
    QString socauhoi() const { return m_socauhoi; }   // questions left, "15" .. "0", "END"
    QString so() const;                               // draw offset
    QString ttoan() const { return m_ttoan; }         // bound of the next draw offset
    QString levelSize(int level) const;               // m1, m2, m3
    QString questionId() const { return m_id; }       // id: ID of the question on screen
    // dapandung: the right letter once the verdict has named it ("???" when the
    // show-the-answer switch keeps it hidden). Before that the form holds none:
    // what the game's own referee holds is given instead (tests and
    // benchmarks play with it; a server's referee gives nothing).
    QString dapandung() const;
    QString cuaban() const { return m_cuaban; }       // picked letter
    QString broughtIn() const { return m_label25; }   // Label25: balance from the briefing
    QString sweepStep() const { return m_text7; }     // Text7
    QString switchValue(int n) const { return m_l[size_t(n - 1)]; }  // l1..l4
    QString unlockFlag(int n) const { return m_lo[size_t(n - 1)]; }  // lo1..lo4
    QString closingText() const { return m_label6; }  // Label6
    int drawCount() const { return m_drawCount; }
    int rightCount() const { return m_rightCount; }
    int introStep() const { return m_introStep; }
    int liTop() const;
    int sotiencoTop() const;

    // --- routines the lifelines share ---------------------------------------------
    // Takes two wrong answers off the question on screen: the referee says
    // which (its 50:50 is spent with it), and the call's advice and the vote
    // given on this question follow the new board. False when the referee
    // could not be asked (the player is told) or refused: nothing changes.
    bool hideTwoWrongAnswers();
    // Shows again the answers 50:50 took.
    void showAllAnswers();
    void cancelPick();

    // A question is on screen and still open: started, no verdict, not stopped.
    bool questionOpen() const { return m_questionOpen; }
    // The call's or the vote's panel is open (from its confirmation until it is closed).
    bool lifelinePanelOpen() const;

private:
    // hotseatform.cpp
    void buildStage();
    QWidget *buildAnswerPanel();
    QWidget *buildButtons();
    QWidget *buildSidebar();
    void load() override;
    void applyTopFiveSwitch(); // l1: the board's button and the decorations
    void markRightAnswer();    // tp

    // opening.cpp
    void introTick();       // Timer12
    void sweepTick();       // Timer11
    void closingTick();     // Timer10
    void playClockTick();   // Timer18
    void addPlayMinute();

    // draw.cpp
    void offsetTick();      // tg
    void catchUpOffset() const;
    void startClicked();    // strart
    // Asks the referee for the next question and shows it. False (and the
    // player told) when the class's server could not be reached: nothing
    // drawn, nothing changed.
    bool drawQuestion();
    void setDrawRange(qint64 range);   // counts the due ticks, then bringIntoRange
    void bringIntoRange(qint64 range);
    // Reads the size of level `level` (0..2) into m_m; false when the server
    // could not be reached (the size is then read again before the next draw).
    bool readLevelSize(int level);
    // Reads the sizes the load could not: false (and the player told) while
    // the server still cannot be reached.
    bool readUnreadSizes();

    // verdict.cpp
    void pick(int answer);  // 0..3 = A..D
    void confirmClicked();  // Label4
    void giveVerdict();
    void flashTick();       // Timer1
    void setAllBoxesOpaque(bool on);

    // ladder.cpp
    void setSocauhoi(const QString &value);
    void ladderStep();
    void continueClicked(); // trunggian
    void autoContinue();    // Timer3

    // stopping.cpp
    void stopClicked();     // stop113
    void recomputeTotal();  // tien changed
    void leaveClicked();    // Label3
    void applyOptions();    // Image13

    // The answers may be played again: the question is open, no lifeline is
    // waiting for its Yes and no panel lies over it.
    bool answersMayBeFreed() const;
    // The question is over (stop, end, leaving): the lifelines' panels close and
    // their scripts stop.
    void endLifelines();

    void setTien(const QString &text);
    QString tienText() const;
    ShapeBox *boxOf(int answer) const;           // da(0), da(2), da(1), da(3) for A..D
    LegacyLabel *backdropOf(int answer) const;   // ac, bc, cc, dc
    static int answerOf(const QString &letter);  // "A".."D" -> 0..3, else -1
    // The referee could not be reached for the step just asked: the player is told.
    void tellOffline();

    GameApp &m_app;

    // The stage.
    LegacyLabel *m_label17 = nullptr;
    LegacyLabel *m_cuaban1 = nullptr;
    LegacyLabel *m_label2 = nullptr;
    QFrame *m_lock113 = nullptr;
    std::array<LegacyLabel *, 4> m_traloi{};
    std::array<LegacyLabel *, 4> m_backdrop{}; // by answer: ac, bc, cc, dc
    std::array<ShapeBox *, 4> m_da{};          // by index of the da array
    LegacyLabel *m_strart = nullptr;
    LegacyLabel *m_label4 = nullptr;
    LegacyLabel *m_stop113 = nullptr;
    LegacyLabel *m_trunggian = nullptr;
    LegacyLabel *m_image3 = nullptr;
    LegacyLabel *m_image4 = nullptr;
    LegacyLabel *m_label3 = nullptr;
    LegacyLabel *m_label9 = nullptr;
    LegacyLabel *m_label7 = nullptr;
    LegacyLabel *m_chon50 = nullptr;
    LegacyLabel *m_label5 = nullptr;
    LegacyLabel *m_label13 = nullptr;
    LegacyLabel *m_label20 = nullptr;
    LegacyLabel *m_label20a = nullptr;
    LegacyLabel *m_sotiennhan = nullptr;
    QLineEdit *m_tien = nullptr;
    LegacyLabel *m_tong = nullptr;
    LegacyLabel *m_sl = nullptr;
    LegacyLabel *m_gio = nullptr;
    LegacyLabel *m_phut = nullptr;
    LadderBoard *m_ladder = nullptr;
    FiftyFifty *m_fiftyFifty = nullptr;
    PhoneCall *m_phoneCall = nullptr;
    AudienceVote *m_audienceVote = nullptr;

    // The stage's presentation, the options panel (Picture6 and its boxes) and the board.
    StagePresentation *m_stage = nullptr;
    OptionsPanel *m_options = nullptr;
    QFrame *m_picture6 = nullptr;
    QCheckBox *m_check31 = nullptr;
    QCheckBox *m_check1 = nullptr;
    QCheckBox *m_check2 = nullptr;
    QCheckBox *m_check4 = nullptr;
    TopFiveBoard *m_board = nullptr;

    // Timers.
    LegacyTimer *m_timer12 = nullptr;
    LegacyTimer *m_timer11 = nullptr;
    LegacyTimer *m_tg = nullptr;
    LegacyTimer *m_timer3 = nullptr;
    LegacyTimer *m_timer1 = nullptr;
    LegacyTimer *m_timer10 = nullptr;
    LegacyTimer *m_timer18 = nullptr;

    // Hidden working values, as the rest of the game reads them: text.
    QString m_socauhoi = QStringLiteral("15");
    mutable QString m_so = QStringLiteral("10"); // brought up to date by catchUpOffset()
    QString m_ttoan = QStringLiteral("20");
    std::array<QString, 3> m_m{};
    // A size the server could not give at load. While the first level's is
    // unknown there is no draw range: the offset's ticks stay due until the
    // size is read, and are then counted in the real range.
    std::array<bool, 3> m_mUnread{};
    QString m_id = QStringLiteral("0");
    // Null until a verdict names the right answer; a new question clears it.
    QString m_dapandung;
    // The answers 50:50 took off the board, bits 1 << 0..3 for A..D.
    int m_takenByFifty = 0;
    QString m_cuaban = QStringLiteral("?");
    QString m_label25;
    QString m_text7 = QStringLiteral("-300");
    std::array<QString, 4> m_l{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    std::array<QString, 4> m_lo{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    // The switches as the game started from them: leaving writes only those
    // the player changed, the others stay as stored (read or not).
    std::array<QString, 4> m_lAtLoad, m_loAtLoad;
    QString m_label6;
    // Play time as loaded, so that leaving adds only this game's minutes.
    QString m_gioAtLoad, m_phutAtLoad;
    PatientSave *m_save = nullptr;

    bool m_questionOpen = false;
    int m_drawCount = 0;
    int m_rightCount = 0;
    int m_introStep = 0;
    int m_closingShown = 0;
};
