#include "gameapp.h"

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "accounts/recoveryform.h"
#include "accounts/registerform.h"
#include "gamedb.h"
#include "hotseat/hotseatform.h"
#include "qualifying/qualifyingform.h"
#include "referee/localreferee.h"
#include "referee/serverreferee.h"
#include "sound.h"

#include <QRandomGenerator>

GameApp::GameApp(GameServices services, QObject *parent) : QObject(parent), m_services(std::move(services))
{
    if (!m_services.random)
        m_services.random = [] { return QRandomGenerator::global()->generateDouble(); };
    if (!m_services.now)
        m_services.now = [] { return QDateTime::currentDateTime(); };
    if (!m_services.message)
        m_services.message = ui::showMessage;
    if (!m_services.mixer) {
        m_ownMixer = std::make_unique<sound::Mixer>();
        m_services.mixer = m_ownMixer.get();
    }
}

GameApp::~GameApp()
{
    m_ending = true;
    delete m_hotseat.data();
    delete m_qualifying.data();
    delete m_recovery.data();
    delete m_briefing.data();
    delete m_registration.data();
    delete m_login.data();
}

void GameApp::playEffect(const QString &fileName) const
{
    if (m_services.effects)
        m_services.effects->playEffect(fileName);
}

double GameApp::random() const
{
    return m_services.random();
}

QDateTime GameApp::now() const
{
    return m_services.now();
}

QMessageBox::StandardButton GameApp::message(QWidget *parent, const ui::MessageRequest &r) const
{
    return m_services.message(parent, r);
}

QString GameApp::offlineText()
{
    return QStringLiteral("Mất kết nối với máy chủ cơ sở dữ liệu của lớp, nên việc vừa rồi chưa làm được; "
                          "chưa có gì thay đổi.\n\n"
                          "Hãy kiểm tra mạng (hoặc nhờ thầy cô kiểm tra máy chủ) rồi bấm lại nút vừa bấm.");
}

bool GameApp::toldOffline(QWidget *parent, const QString &title) const
{
    if (!db().lastWasOffline())
        return false;
    tellOffline(parent, title);
    return true;
}

void GameApp::tellOffline(QWidget *parent, const QString &title) const
{
    message(parent, {offlineText(), title, vn::Encoding::Plain, QMessageBox::Warning, QMessageBox::Ok});
}

void GameApp::start()
{
    login()->show();
}

referee::Referee &GameApp::referee()
{
    // On a class's server the server referees: the pupil's machine is not
    // trusted with anything worth money or points.
    if (!m_referee && db().isServer())
        m_referee = std::make_unique<ServerReferee>(db());
    else if (!m_referee)
        m_referee = std::make_unique<LocalReferee>(db(), m_services.now);
    return *m_referee;
}

template <typename F> F *GameApp::make(QPointer<F> &slot)
{
    if (!slot)
        slot = new F(*this);
    return slot.data();
}

LoginForm *GameApp::login() { return make(m_login); }
RegisterForm *GameApp::registration() { return make(m_registration); }
BriefingForm *GameApp::briefing() { return make(m_briefing); }
RecoveryForm *GameApp::recovery() { return make(m_recovery); }
QualifyingForm *GameApp::qualifying() { return make(m_qualifying); }
HotSeatForm *GameApp::hotseat() { return make(m_hotseat); }

bool GameApp::hasHotseat() const { return !m_hotseat.isNull(); }
bool GameApp::hasBriefing() const { return !m_briefing.isNull(); }

void GameApp::endProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    for (QWidget *w : std::initializer_list<QWidget *>{m_hotseat, m_qualifying, m_recovery, m_briefing,
                                                       m_registration, m_login})
        if (w)
            w->hide();
    if (m_services.music)
        m_services.music->setFileName(QString());
    if (m_services.endProgram)
        m_services.endProgram();
}
