// How a game ends and what is kept: the second stage button (stop, end, no, and
// the lifelines' declines, told apart by its caption), the running total, leaving
// through the exit (the only way anything is saved) and closing the window.

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "optionspanel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>

using namespace hotseat;

void HotSeatForm::stopClicked()
{
    m_label17->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_app.playEffect(kClick);

    if (m_stop113->caption() == kEnd) {
        for (QWidget *w : {static_cast<QWidget *>(m_lock113), static_cast<QWidget *>(m_stop113),
                           static_cast<QWidget *>(m_strart), static_cast<QWidget *>(m_label4),
                           static_cast<QWidget *>(m_trunggian), static_cast<QWidget *>(m_image3),
                           static_cast<QWidget *>(m_image4)})
            w->setVisible(false);
        m_timer10->setEnabled(true);
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
    }

    m_label4->setEnabled(false);

    if (m_stop113->caption() == kNo) {
        cancelPick();
        m_label4->setEnabled(false);
        m_label7->setVisible(false);
    }

    if (m_stop113->caption() == kDeclineFifty) {
        m_trunggian->setCaption(kGoOn);
        m_lock113->setEnabled(true);
        m_label7->setVisible(false);
        showAllAnswers();
        m_chon50->setEnabled(true);
        m_label4->setCaption(kGoOnAfter);
        m_stop113->setCaption(kStop);
        m_trunggian->setVisible(false);
        m_label4->setVisible(true);
    }

    if (m_stop113->caption() == kDeclinePhone) {
        m_trunggian->setCaption(kGoOn);
        m_label7->setVisible(false);
        m_lock113->setEnabled(true);
        m_label4->setCaption(kGoOnAfter);
        m_stop113->setCaption(kStop);
        m_trunggian->setVisible(false);
        m_label4->setVisible(true);
        m_label5->setEnabled(true);
    }

    if (m_stop113->caption() == kDeclineAudience) {
        m_trunggian->setCaption(kGoOn);
        m_lock113->setEnabled(true);
        m_label7->setVisible(false);
        showAllAnswers();
        m_label13->setEnabled(true);
        m_label4->setCaption(kGoOnAfter);
        m_stop113->setCaption(kStop);
        m_trunggian->setVisible(false);
        m_label4->setVisible(true);
    }

    recomputeTotal();
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
    m_app.playEffect(kExitSound);

    // Values are bound, so any nick (quotes included) finds its own row.
    db::GameDb &store = m_app.db();
    store.updateAccount(m_app.login()->nick(), {{QStringLiteral("sotien"), m_tong->caption()},
                                                {QStringLiteral("gio"), m_gio->caption()},
                                                {QStringLiteral("phut"), m_phut->caption()}});
    db::LockRow row;
    row.hien19 = m_l[1];
    row.hienten = m_l[0];
    row.thuthach = m_l[2];
    row.hiencode = m_l[3];
    row.hien191 = m_lo[1];
    row.hienten1 = m_lo[0];
    row.thuthach1 = m_lo[2];
    row.hiencode1 = m_lo[3];
    store.writeLock(row);

    m_app.endProgram();
}

void HotSeatForm::closeEvent(QCloseEvent *e)
{
    // Closing the window ends the program; nothing of this game is saved.
    e->accept();
    m_app.endProgram();
}
