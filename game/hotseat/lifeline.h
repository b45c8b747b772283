#pragma once
// What the three lifelines share: the stage dialog they are offered through (the
// host's line, the confirm button trunggian, the second button stop113, the main
// button Label4, the answer panel lock113 and the blank cover Label7), the offer
// that each makes the same way and the decline that gives the lifeline back.
//
// A lifeline lives as long as the game form: its controls and timers are the
// form's descendants, found by their names like every other control.

#include <QObject>
#include <QString>

class GameApp;
class HotSeatForm;
class LegacyLabel;
class LegacyTimer;
class QFrame;

class Lifeline : public QObject {
    Q_OBJECT
public:
    // The lifeline's button; enabled while the lifeline is still available.
    LegacyLabel *button() const { return m_button; }

    // The lifelines with a panel (the call, the vote): open from the confirmation
    // until it is closed.
    virtual bool panelOpen() const { return false; }
    // Closes the panel as its close button does; a script already running goes on unseen.
    virtual void closePanel() {}
    // The question is over: the panel closes and the scripts and timers stop.
    virtual void endScript() {}

protected:
    // `help` is the host's line while the mouse is over the button.
    Lifeline(HotSeatForm &form, GameApp &app, LegacyLabel *button, const QString &help);

    // The host asks; the confirm button reads `use`, the second button `decline`.
    void offer(const QString &hostLine, const QString &use, const QString &decline);
    // The player says no: back to the question, the lifeline available again.
    void declineOffer(bool restoreAnswers);
    LegacyTimer *makeTimer(const char *name, int intervalMs);
    // Crosses the button out: the lifeline is used up for this game.
    void markSpent();

    // The stage, as the lifelines use it.
    LegacyLabel *hostLine() const;
    LegacyLabel *confirmButton() const; // trunggian
    LegacyLabel *secondButton() const;  // stop113
    LegacyLabel *mainButton() const;    // Label4
    LegacyLabel *cover() const;         // Label7
    QFrame *answerPanel() const;        // lock113
    LegacyLabel *questionLabel() const; // Label2
    LegacyLabel *answerLabel(int answer) const; // traloi1..traloi4
    QString correctLetter() const;      // dapandung
    int correctAnswer() const;          // dapandung as 0..3 for A..D, -1 for anything else
    QString nick() const;               // frmLogin.txtUserName
    LegacyTimer *musicLoop() const;     // frmLogin.Timer1
    void hideTwoWrongAnswers();
    int questionsDrawn() const;
    // A closed panel gives the answers back only to an open question.
    void freeAnswersIfOpen();
    // Whether 50:50 took this answer (0..3 for A..D) off the question on screen.
    bool removedByFifty(int answer) const;
    // A letter the friend may name, kept to the answers on the board: a letter
    // 50:50 took becomes the wrong answer still there.
    QString onBoard(int answer) const;

    HotSeatForm &m_form;
    GameApp &m_app;
    LegacyLabel *m_button;
};
