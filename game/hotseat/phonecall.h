#pragma once
// Phone a friend (Label5): a scripted call between the host, the player and a
// friend whose name the player types, in the chat box of the call panel, with a
// 30-second countdown. The friend's advice is fixed by the correct letter.
//
// The panel unfolds with Timer13; Connect starts the ringing script (Timer6),
// whose last step starts the countdown (Timer8); Begin starts the conversation
// (Timer7). The music loop is off from Connect until the countdown ends.

#include "lifeline.h"
#include "referee/referee.h"

#include <optional>

class ChatBox;
class QLineEdit;
class QPushButton;
class QWidget;

class PhoneCall : public PanelLifeline {
    Q_OBJECT
public:
    PhoneCall(HotSeatForm &form, GameApp &app, LegacyLabel *label5);

    void confirm() override; // trunggian, " Söû duïng"
    void endScript() override;
    // 50:50 has just taken two answers of the question the call was taken on:
    // what the friend has not said yet names only what is left.
    void followBoard(const referee::FriendAdvice &advice);

protected:
    void unfolded(int step) override;
    void panelClosed() override;

private:
    void buildPanel();
    void connectClicked(); // Command1
    void ringTick();       // Timer6
    void beginClicked();   // Command2
    void talkTick();       // Timer7
    void countdownTick();  // Timer8
    QString name() const;  // the friend's name, as a VNI text
    void giveMusicBack();

    QWidget *m_picture4 = nullptr;
    QLineEdit *m_text5 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    ChatBox *m_a = nullptr;
    LegacyLabel *m_label16 = nullptr;
    QWidget *m_image10 = nullptr;
    LegacyLabel *m_ok = nullptr;

    LegacyTimer *m_timer6 = nullptr;
    LegacyTimer *m_timer7 = nullptr;
    LegacyTimer *m_timer8 = nullptr;

    // Steps of the two scripts; never reset, the call happens once a game.
    int m_ringStep = 0;
    int m_callStep = 0;
    // What the friend will say, as the referee gave it: the pair, then the
    // guess; none when the friend has nothing to say.
    std::optional<referee::FriendAdvice> m_advice;
    bool m_connected = false; // a name was taken and the ringing started
    bool m_musicHeld = false; // the music loop is off for the call
};
