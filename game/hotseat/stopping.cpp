// How a game ends and what is kept: the second stage button (stop, end, no, and
// the lifelines' declines, told apart by its caption), the running total, leaving
// through the exit (the only way anything is saved) and closing the window.

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "audiencevote.h"
#include "fiftyfifty.h"
#include "gameapp.h"
#include "gamedb.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "optionspanel.h"
#include "patientsave.h"
#include "phonecall.h"
#include "referee/referee.h"

#include <QCheckBox>
#include <QFrame>

using namespace hotseat;

void HotSeatForm::stopClicked()
{
    // Stopping ends the referee's game; out of reach, nothing changes.
    if (m_stop113->caption() == kStop) {
        const referee::Outcome stopped = m_app.referee().stop();
        if (stopped == referee::Outcome::Offline)
            tellOffline();
        if (stopped != referee::Outcome::Done)
            return;
    }
    m_label17->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_app.playEffect(kClick);

    if (m_stop113->caption() == kEnd) {
        for (QWidget *w : {static_cast<QWidget *>(m_lock113), static_cast<QWidget *>(m_stop113),
                           static_cast<QWidget *>(m_strart), static_cast<QWidget *>(m_label4),
                           static_cast<QWidget *>(m_trunggian), static_cast<QWidget *>(m_image3),
                           static_cast<QWidget *>(m_image4)})
            w->setVisible(false);
        m_timer10->setEnabled(true);
        endLifelines();
    }

    if (m_stop113->caption() == kStop) {
        // The player stops and takes the prize the ladder shows.
        m_label20->setEnabled(true);
        m_label20a->setEnabled(true);
        m_timer3->setLegacyInterval(0);
        m_lock113->setVisible(false);
        m_stop113->setVisible(false);
        m_cuaban1->setCaption(kStoppedHead + m_sotiennhan->caption() + kStoppedTail);
        for (QWidget *w : {static_cast<QWidget *>(m_strart), static_cast<QWidget *>(m_label4),
                           static_cast<QWidget *>(m_trunggian), static_cast<QWidget *>(m_image3),
                           static_cast<QWidget *>(m_image4)})
            w->setVisible(false);
        m_timer10->setEnabled(true);
        setTien(m_sotiennhan->caption());
        // The game is over: no lifeline is offered any more, none goes on.
        m_questionOpen = false;
        m_label7->setCaption(QString());
        m_label7->setVisible(true);
        endLifelines();
    }

    m_label4->setEnabled(false);

    if (m_stop113->caption() == kNo) {
        cancelPick();
        m_label4->setEnabled(false);
        m_label7->setVisible(false);
    }

    // The lifelines' declines give the lifeline back.
    if (m_stop113->caption() == kDeclineFifty)
        m_fiftyFifty->decline();
    if (m_stop113->caption() == kDeclinePhone)
        m_phoneCall->decline();
    if (m_stop113->caption() == kDeclineAudience)
        m_audienceVote->decline();

    recomputeTotal();
}

bool HotSeatForm::lifelinePanelOpen() const
{
    return m_phoneCall->panelOpen() || m_audienceVote->panelOpen();
}

bool HotSeatForm::answersMayBeFreed() const
{
    const QString confirm = m_trunggian->caption();
    const bool offered = confirm == kUseFifty || confirm == kUsePhone || confirm == kUseAudience;
    return m_questionOpen && !offered && !lifelinePanelOpen();
}

void HotSeatForm::endLifelines()
{
    m_phoneCall->endScript();
    m_audienceVote->endScript();
}

void HotSeatForm::recomputeTotal()
{
    m_tong->setCaption(num::text(num::value(m_app.briefing()->balanceCaption()) + num::value(tienText())));
}

void HotSeatForm::applyOptions()
{
    m_options->applyAndClose();
    applyTopFiveSwitch();
}

void HotSeatForm::leaveClicked()
{
    applyOptions();
    if (!m_save)
        m_save = new PatientSave(this, m_app);
    if (m_save->running())
        return;
    m_app.playEffect(kExitSound);

    // What this game adds to the account: the amount won (the referee's to
    // say) and the minutes played, applied to the stored values inside one
    // write together with the switches, so another session's save in between
    // is never overwritten.
    auto change = [](const QString &now, const QString &then) {
        return num::whole(num::exactDifference(now, then).value_or(QStringLiteral("0")));
    };
    const qint64 minutes = change(m_gio->caption(), m_gioAtLoad) * 60 + change(m_phut->caption(), m_phutAtLoad);
    // Only the switches this game changed: the others (set meanwhile by the
    // teacher or another machine, or never read when the server was out of
    // reach at the start) stay as stored.
    db::LockRow row = db::LockRow::asStored();
    auto changed = [](const std::array<QString, 4> &now, const std::array<QString, 4> &then, size_t i) {
        return now[i] == then[i] ? QString() : now[i];
    };
    row.hien19 = changed(m_l, m_lAtLoad, 1);
    row.hienten = changed(m_l, m_lAtLoad, 0);
    row.thuthach = changed(m_l, m_lAtLoad, 2);
    row.hiencode = changed(m_l, m_lAtLoad, 3);
    row.hien191 = changed(m_lo, m_loAtLoad, 1);
    row.hienten1 = changed(m_lo, m_loAtLoad, 0);
    row.thuthach1 = changed(m_lo, m_loAtLoad, 2);
    row.hiencode1 = changed(m_lo, m_loAtLoad, 3);

    // The game ends only once it is written; meanwhile the stage goes on, an
    // open call or vote with it: a leave given up loses no lifeline.
    const QString nick = m_app.login()->nick();
    m_label3->setEnabled(false);
    m_save->start(
        [this, nick, minutes, row] {
            const db::AccountUpdate u = m_app.referee().endGame(nick, minutes, row, db::LockWait::NoWait);
            if (u.stored)
                m_tong->setCaption(u.stored->sotien); // the stored total, whoever else saved
            return u.status;
        },
        [this] {
            endLifelines();
            m_app.endProgram();
        },
        [this] { m_label3->setEnabled(true); });
}
