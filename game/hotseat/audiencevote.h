#pragma once
// Ask the audience (Label13): the host and the studio audience in the chat box of
// the vote panel, then the vote as a bar chart with the percentages beside the
// bars. The vote is fixed by the correct letter.
//
// The panel unfolds with Timer14 while the script runs on Timer9; Timer5 draws
// the bars from the numbers while the chart comes into view.

#include "lifeline.h"
#include "referee/referee.h"

#include <array>
#include <optional>

class ChatBox;
class VoteBar;

class AudienceVote : public PanelLifeline {
    Q_OBJECT
public:
    AudienceVote(HotSeatForm &form, GameApp &app, LegacyLabel *label13);

    void confirm() override; // trunggian, "söû duïng"
    void endScript() override;
    // 50:50 has just taken two answers of the question the vote was taken on:
    // the vote gives them nothing, already on screen or still to come.
    void followBoard(const referee::Votes &votes);

private:
    void buildPanel();
    void scriptTick();   // Timer9
    void barsTick();     // Timer5
    void showVote();     // the numbers as the referee gave them

    ChatBox *m_aaa = nullptr;
    std::array<VoteBar *, 4> m_bars{};       // Shape4, b, c, d
    std::array<LegacyLabel *, 4> m_numbers{}; // dd, dd2, dd3, dd4
    std::array<LegacyLabel *, 4> m_percent{}; // aaaaa(0..3)
    LegacyLabel *m_image11 = nullptr;

    LegacyTimer *m_timer9 = nullptr;
    LegacyTimer *m_timer5 = nullptr;

    // The script's step; never reset, the vote happens once a game.
    int m_step = 0;
    // The vote as the referee gave it; none when it gives no numbers.
    std::optional<referee::Votes> m_votes;
    bool m_shown = false; // its numbers are on the chart
};
