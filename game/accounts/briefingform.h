#pragma once
// Form3: the briefing between login and play. Shows the balance, takes the entry
// fee while its box is ticked, and on Start saves balance and play count and opens
// the qualifying round or, when that is switched off, the hot seat.

#include "legacyform.h"

class GameApp;
class PatientSave;
class QCheckBox;

class BriefingForm : public LegacyForm {
    Q_OBJECT
public:
    explicit BriefingForm(GameApp &app);

    // The balance after the fee, as shown (sotien caption); the hot seat reads it.
    QString balanceCaption() const;

    // Hidden working values: nick (a), play count (Label6), qualifying switch (l2).
    QString nickValue() const { return m_a; }
    QString playCount() const { return m_label6; }
    QString qualifyingSwitch() const { return m_l2; }

private:
    void load() override;
    // Reads what is not read yet: the account (balance, play count) and the
    // switches. False when the server could not be reached for one of them.
    bool readStored();
    void feeClicked(bool ticked);
    void startClicked();
    void recolourTitle();
    void fitHalo();

    GameApp &m_app;
    LegacyLabel *m_tieude;
    LegacyLabel *m_sotien;
    QCheckBox *m_check1;
    LegacyLabel *m_command2;
    LegacyTimer *m_timer1;
    PatientSave *m_save;
    QString m_a = QStringLiteral("Label6");
    QString m_label6 = QStringLiteral("00");
    QString m_l2 = QStringLiteral("0");
    bool m_accountRead = false;
    bool m_switchesRead = false;
};
