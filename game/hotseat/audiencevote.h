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
class VoteBar;

class AudienceVote : public PanelLifeline {
    Q_OBJECT
public:
    AudienceVote(HotSeatForm &form, GameApp &app, LegacyLabel *label13);

    void confirm() override; // trunggian, "söû duïng"
    void endScript() override;
    // 50:50 has just taken two answers: a vote already given on this question
    // gives them nothing.
    void followBoard();

private:
    void buildPanel();
    void scriptTick();   // Timer9
    void barsTick();     // Timer5
    void showVote();     // the numbers from the vote table, kept to the board

    ChatBox *m_aaa = nullptr;
    std::array<VoteBar *, 4> m_bars{};       // Shape4, b, c, d
    std::array<LegacyLabel *, 4> m_numbers{}; // dd, dd2, dd3, dd4
    std::array<LegacyLabel *, 4> m_percent{}; // aaaaa(0..3)
    LegacyLabel *m_image11 = nullptr;

    LegacyTimer *m_timer9 = nullptr;
    LegacyTimer *m_timer5 = nullptr;

    // The script's step; never reset, the vote happens once a game.
    int m_step = 0;
    int m_row = -1;      // the vote table's row the numbers came from
    int m_votedOn = 0;   // the question (draw) they were given for
};
