#pragma once
// The game program: its services (database, sound, randomness, clock, message
// boxes) and its forms. Forms are made the first time they are shown and then
// live, hidden or shown, until the program ends; each reads what it needs from
// the others' controls through the accessors here.

#include "legacyform.h"
#include "messages.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace db { class GameDb; }
namespace sound { class EffectPlayer; class MusicPlayer; class Mixer; }
namespace referee { class Referee; }
class QSettings;

class LoginForm;
class RegisterForm;
class BriefingForm;
class RecoveryForm;
class QualifyingForm;
class HotSeatForm;
class QWidget;

struct GameServices {
    QString programDir;
    db::GameDb *db = nullptr;
    sound::EffectPlayer *effects = nullptr;
    sound::MusicPlayer *music = nullptr;
    sound::Mixer *mixer = nullptr;        // the player's volume and mute switch; a fresh one when empty
    QSettings *settings = nullptr;        // where windows keep their place; nowhere when empty
    std::function<double()> random;       // uniform in [0, 1)
    std::function<QDateTime()> now;       // the clock
    ui::MessageFn message;                // message boxes
    std::function<void()> endProgram;     // quits the event loop
};

class GameApp : public QObject, public FormHost {
    Q_OBJECT
public:
    explicit GameApp(GameServices services, QObject *parent = nullptr);
    ~GameApp() override;

    const GameServices &services() const { return m_services; }
    db::GameDb &db() const { return *m_services.db; }
    QString programDir() const { return m_services.programDir; }
    void playEffect(const QString &fileName) const;
    double random() const;
    QDateTime now() const;
    sound::Mixer &mixer() const { return *m_services.mixer; }
    QSettings *settings() const { return m_services.settings; }
    QMessageBox::StandardButton message(QWidget *parent, const ui::MessageRequest &r) const;
    // When the database step just taken gave up because the class's server
    // could not be reached, tells the player so (titled `title`) and says
    // true: what the step gave back says nothing (no account, nick or
    // question), so the form changes nothing and the player simply presses
    // its button again.
    bool toldOffline(QWidget *parent, const QString &title) const;
    // The same message, for a form that found out itself (one of several
    // reads of its own gave up).
    void tellOffline(QWidget *parent, const QString &title) const;
    // That message, the same on every form (Unicode).
    static QString offlineText();

    // Shows the login screen.
    void start();

    // Who referees the game: the right answers, the verdicts, the lifelines'
    // outcomes, the fee and the end (made on first use).
    referee::Referee &referee();

    // The forms, made on first use.
    LoginForm *login();
    RegisterForm *registration();
    BriefingForm *briefing();
    RecoveryForm *recovery();
    QualifyingForm *qualifying();
    HotSeatForm *hotseat();
    // Whether a form has been made (without making it).
    bool hasHotseat() const;
    bool hasBriefing() const;

    // Ends the program at once: every form goes away without its close handlers.
    void endProgram() override;
    bool ending() const override { return m_ending; }

private:
    template <typename F> F *make(QPointer<F> &slot);
    GameServices m_services;
    std::unique_ptr<sound::Mixer> m_ownMixer;
    std::unique_ptr<referee::Referee> m_referee;
    QPointer<LoginForm> m_login;
    QPointer<RegisterForm> m_registration;
    QPointer<BriefingForm> m_briefing;
    QPointer<RecoveryForm> m_recovery;
    QPointer<QualifyingForm> m_qualifying;
    QPointer<HotSeatForm> m_hotseat;
    bool m_ending = false;
};
