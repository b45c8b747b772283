#pragma once
// Ask the audience (Label13): the host and the studio audience in the chat box of
// the vote panel, then the vote as a bar chart with the percentages beside the
// bars. The vote is fixed by the correct letter.
//
// The panel unfolds with Timer14 while the script runs on Timer9; Timer5 draws
// the bars from the numbers while the chart comes into view.

#include "lifeline.h"

#include <array>

class ChatBox;
class LifelinePanel;
class VoteBar;

class AudienceVote : public Lifeline {
    Q_OBJECT
public:
    AudienceVote(HotSeatForm &form, GameApp &app, LegacyLabel *label13);

    void offerClicked(); // Label13
    void confirm();      // trunggian, "söû duïng"
    void decline();      // stop113, "Ko söû duïng "

    bool panelOpen() const override { return m_open; }
    void closePanel() override;
    void endScript() override;
    // 50:50 has just taken two answers: a vote already given on this question
    // gives them nothing.
    void followBoard();

private:
    void buildPanel();
    void unfoldTick();   // Timer14
    void scriptTick();   // Timer9
    void barsTick();     // Timer5
    void closeClicked(); // Image11
    void showVote();     // the numbers from the vote table, kept to the board

    LifelinePanel *m_panel = nullptr;
    ChatBox *m_aaa = nullptr;
    std::array<VoteBar *, 4> m_bars{};       // Shape4, b, c, d
    std::array<LegacyLabel *, 4> m_numbers{}; // dd, dd2, dd3, dd4
    std::array<LegacyLabel *, 4> m_percent{}; // aaaaa(0..3)
    LegacyLabel *m_image11 = nullptr;

    LegacyTimer *m_timer14 = nullptr;
    LegacyTimer *m_timer9 = nullptr;
    LegacyTimer *m_timer5 = nullptr;

    // Steps of the two scripts; never reset, the vote happens once a game.
    int m_panelStep = 0;
    int m_step = 0;
    bool m_open = false; // the panel, from the confirmation until closed
    int m_row = -1;      // the vote table's row the numbers came from
    int m_votedOn = 0;   // the question (draw) they were given for
};
