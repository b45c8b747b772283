#pragma once
// What the three lifelines share: the stage dialog they are offered through (the
// host's line, the confirm button trunggian, the second button stop113, the main
// button Label4, the answer panel lock113 and the blank cover Label7), the offer
// that each makes the same way and the decline that gives the lifeline back.
//
// A lifeline lives as long as the game form: its controls and timers are the
// form's descendants, found by their names like every other control.

#include "legacytimer.h"

#include <QObject>
#include <QString>

class GameApp;
class HotSeatForm;
class LegacyLabel;
class LifelinePanel;
class QFrame;
struct PanelNames;
namespace referee { enum class Outcome; }

class Lifeline : public QObject {
    Q_OBJECT
public:
    // The lifeline's button; enabled while the lifeline is still available.
    LegacyLabel *button() const { return m_button; }

    // The player takes the offer (the confirm button reading its `use`): the
    // referee gives the lifeline's outcome. Out of reach (the player told) or
    // refused, the offer stays as it is.
    virtual void confirm() = 0;
    // The player says no (the second button reading its `decline`): back to the
    // question, the lifeline available again.
    void decline();

    // The lifelines with a panel (the call, the vote): open from the confirmation
    // until it is closed.
    virtual bool panelOpen() const { return false; }
    // Closes the panel as its close button does; a script already running goes on unseen.
    virtual void closePanel() {}
    // The question is over: the panel closes and the scripts and timers stop.
    virtual void endScript() {}

protected:
    // What a lifeline says: `help` is the host's line while the mouse is over
    // the button; its offer has the host say `offer`, the confirm button read
    // `use` and the second button `decline`.
    struct Texts {
        QString help;
        QString offer;
        QString use;
        QString decline;
    };
    // A click on `button` offers the lifeline; `restoreOnDecline`: a decline
    // shows the answers again.
    Lifeline(HotSeatForm &form, GameApp &app, LegacyLabel *button, const Texts &texts, bool restoreOnDecline);

    // A timer of the form's, off until enabled, its ticks handled by `handler`.
    template <typename Self> LegacyTimer *makeTimer(const char *name, int intervalMs, void (Self::*handler)())
    {
        return new LegacyTimer(formObject(), name, intervalMs, false, static_cast<Self *>(this), handler);
    }
    // Crosses the button out: the lifeline is used up for this game.
    void markSpent();
    // Whether the referee answered; out of reach, the player is told.
    bool answered(referee::Outcome outcome);
    // Taking the call or the vote closes the other's panel.
    void closeOtherPanels();
    // The stage dialog goes back to the question: the confirm button hidden,
    // reading Continue again, the main button shown, the second button reading
    // Stop and the cover lifted.
    void backToQuestion();

    // The stage, as the lifelines use it.
    LegacyLabel *hostLine() const;
    LegacyLabel *confirmButton() const; // trunggian
    LegacyLabel *secondButton() const;  // stop113
    LegacyLabel *mainButton() const;    // Label4
    LegacyLabel *cover() const;         // Label7
    QFrame *answerPanel() const;        // lock113
    LegacyLabel *questionLabel() const; // Label2
    LegacyLabel *answerLabel(int answer) const; // traloi1..traloi4
    QString nick() const;               // frmLogin.txtUserName
    LegacyTimer *musicLoop() const;     // frmLogin.Timer1
    bool hideTwoWrongAnswers();
    int questionsDrawn() const;
    // A closed panel gives the answers back only to an open question.
    void freeAnswersIfOpen();

    HotSeatForm &m_form;
    GameApp &m_app;
    LegacyLabel *m_button;

private:
    QObject *formObject() const;
    // The host asks; the lifeline's button is clicked.
    void offerClicked();

    Texts m_texts;
    bool m_restoreOnDecline;
};

// A lifeline with a panel (the call, the vote): the confirmation opens it, and
// it unfolds one piece a tick of its timer, until it is closed.
class PanelLifeline : public Lifeline {
    Q_OBJECT
public:
    bool panelOpen() const override { return m_open; }
    void closePanel() override;
    void endScript() override;

protected:
    // `unfoldTimer` names the timer the panel unfolds with.
    PanelLifeline(HotSeatForm &form, GameApp &app, LegacyLabel *button, const Texts &texts, bool restoreOnDecline,
                  const PanelNames &names, const char *unfoldTimer);

    // The confirmation's first steps: the panel starts unfolding over the
    // locked answers, the button is crossed out and the lifeline's sound plays.
    void openPanel();
    // After each step of the unfolding.
    virtual void unfolded(int step) { Q_UNUSED(step); }
    // Once the panel has closed, before the answers are freed.
    virtual void panelClosed() {}

    LifelinePanel *m_panel;

private:
    void unfoldTick();

    LegacyTimer *m_unfold;
    int m_panelStep = 0; // never reset: the panel opens once a game
    bool m_open = false;
};
