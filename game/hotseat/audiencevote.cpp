#include "audiencevote.h"

#include "chatbox.h"
#include "gameapp.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "lifelinepanel.h"
#include "lifelinetexts.h"
#include "numtext.h"
#include "referee/referee.h"
#include "studiotheme.h"

#include <QFrame>
#include <QGridLayout>
#include <QVBoxLayout>

using namespace hotseat;

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QColor kBarColour(236, 160, 32);
} // namespace

AudienceVote::AudienceVote(HotSeatForm &form, GameApp &app, LegacyLabel *label13)
    : PanelLifeline(form, app, label13, {kAudienceHelp, kAudienceOffer, kUseAudience, kDeclineAudience}, true,
                    {"Shape9", "Shape8", "Label18", "Shape7", "Picture5"}, "Timer14")
{
    buildPanel();
    m_timer9 = makeTimer("Timer9", 1800, &AudienceVote::scriptTick);
    m_timer5 = makeTimer("Timer5", 500, &AudienceVote::barsTick);
    connect(m_image11, &LegacyLabel::clicked, this, &AudienceVote::closePanel);
}

void AudienceVote::buildPanel()
{
    QFrame *p5 = m_panel->panel();

    // The chart, under the chat box until the audience has answered.
    auto *chart = new QWidget(p5);
    auto *hh = new LegacyLabel(chart, QStringLiteral("hh"), kVoteHeading);
    hh->setAlignment(Qt::AlignCenter);
    hh->setExtraStyle(QStringLiteral("font-size: 15pt; font-weight: bold;"));
    hh->setForeColor(studio::gold());
    auto *rows = new QGridLayout;
    rows->setHorizontalSpacing(12);
    rows->setVerticalSpacing(10);
    static const char *const barNames[4] = {"Shape4", "b", "c", "d"};
    static const char *const numberNames[4] = {"dd", "dd2", "dd3", "dd4"};
    for (int i = 0; i < 4; ++i) {
        auto *letter = new LegacyLabel(chart, QStringLiteral("voteLetter%1").arg(i),
                                       QString(QLatin1Char(char('A' + i))), vn::Encoding::Plain);
        letter->setExtraStyle(QStringLiteral("font-size: 14pt; font-weight: bold;"));
        letter->setForeColor(QColor(255, 180, 40));
        m_bars[size_t(i)] = new VoteBar(chart, QString::fromLatin1(barNames[i]), kBarColour);
        auto *number = new LegacyLabel(chart, QString::fromLatin1(numberNames[i]),
                                       QString::fromLatin1(kVotesDesigned[i]), vn::Encoding::Plain);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        number->setLeastWidth(40);
        auto *percent = new LegacyLabel(chart, QStringLiteral("aaaaa(%1)").arg(i), QStringLiteral("%"),
                                        vn::Encoding::Plain);
        for (LegacyLabel *l : {number, percent}) {
            l->setExtraStyle(QStringLiteral("font-size: 14pt; font-weight: bold;"));
            l->setForeColor(QColor(255, 255, 255));
            l->setVisible(false); // shown with the vote
        }
        m_numbers[size_t(i)] = number;
        m_percent[size_t(i)] = percent;
        rows->addWidget(letter, i, 0);
        rows->addWidget(m_bars[size_t(i)], i, 1);
        rows->addWidget(number, i, 2);
        rows->addWidget(percent, i, 3);
    }
    rows->setColumnStretch(1, 1);
    // The numbers' column keeps its width while they are hidden.
    rows->setColumnMinimumWidth(2, 44);
    rows->setColumnMinimumWidth(3, 22);
    auto *cv = new QVBoxLayout(chart);
    cv->setContentsMargins(40, 4, 50, 8);
    cv->setSpacing(14);
    cv->addWidget(hh);
    cv->addStretch(1);
    cv->addLayout(rows);
    cv->addStretch(2);

    m_aaa = new ChatBox(p5, QStringLiteral("aaa"));
    m_aaa->setLegacyText(kAudienceIdle);
    m_image11 = panelCloseButton(p5, "Image11");

    auto *grid = new QGridLayout(p5);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->addWidget(chart, 0, 0);
    grid->addWidget(m_aaa, 0, 0);
    grid->addWidget(m_image11, 0, 0, Qt::AlignTop | Qt::AlignRight);
    m_image11->raise();
}

// --- offer, confirm, decline ----------------------------------------------------------

void AudienceVote::confirm()
{
    const referee::Vote vote = m_app.referee().askAudience();
    if (!answered(vote.outcome))
        return;
    m_votes = vote.votes;
    closeOtherPanels();
    openPanel();
    backToQuestion();
    m_timer9->setEnabled(true);
}

// --- the vote --------------------------------------------------------------------------

void AudienceVote::scriptTick()
{
    ++m_step;
    switch (m_step) {
    case 1: m_aaa->setLegacyText(kMcAudience1 + kCrLf + kMcAudience1b); break;
    case 2: m_aaa->appendLine(kMcAudience2); break;
    case 3: m_aaa->setLegacyText(kMcQuestion + questionLabel()->caption()); break;
    case 4:
        m_aaa->appendLine(kMcAnswers + answerLabel(0)->caption() + QStringLiteral("  B.") + answerLabel(1)->caption()
                          + QStringLiteral("  C.") + answerLabel(2)->caption() + QStringLiteral("  D.")
                          + answerLabel(3)->caption());
        break;
    case 5: m_aaa->appendLine(kMcAudience5); break;
    case 6: {
        m_aaa->appendLine(kAudienceMurmur);
        for (VoteBar *bar : m_bars)
            bar->setTwips(10);
        // No vote (no letter stored) leaves the numbers as they are.
        if (m_votes) {
            m_shown = true;
            showVote();
        }
        break;
    }
    case 7:
    case 8: m_aaa->appendLine(kAudienceMurmur); break;
    case 9: m_aaa->setVisible(false); break; // the chart comes into view
    case 10:
        m_timer5->setEnabled(true);
        for (int i = 0; i < 4; ++i) {
            m_numbers[size_t(i)]->setVisible(true);
            m_percent[size_t(i)]->setVisible(true);
        }
        m_app.playEffect(kLifelineOn);
        break;
    case 11: m_timer5->setEnabled(false); break;
    default: break; // the script is over; the timer idles
    }
}

void AudienceVote::barsTick()
{
    for (int i = 0; i < 4; ++i)
        m_bars[size_t(i)]->setTwips(num::value(m_numbers[size_t(i)]->caption()) * kFullBar / 100);
}

void AudienceVote::showVote()
{
    for (int i = 0; i < 4; ++i)
        m_numbers[size_t(i)]->setCaption(QString::number((*m_votes)[size_t(i)]));
}

void AudienceVote::followBoard(const referee::Votes &votes)
{
    m_votes = votes;
    if (!m_shown)
        return;
    showVote();
    if (m_step >= 10) // the bars are drawn already
        barsTick();
}

void AudienceVote::endScript()
{
    PanelLifeline::endScript();
    for (LegacyTimer *t : {m_timer9, m_timer5})
        t->setEnabled(false);
}
