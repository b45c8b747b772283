#pragma once
// Picture6: the hidden options panel of the hot seat. Four switches that the
// player unlocks by reaching goals and may then turn on or off: top five and
// decorations (Check31), the editor's code (Check4, with the code display
// Picture8), the correct answer after a wrong one (Check2), skipping the
// qualifying round (Check1); the goal under each box, "lock everything again"
// (Label26, once per run) and apply-and-close (Image13).
//
// The switch values l1..l4 and unlock flags lo1..lo4 stay the form's (the ladder
// unlocks, the verdict reads l2, leaving saves them all); the panel works on them
// in place. Index 0 of each array is switch 1 (l1, lo1).

#include <QFrame>
#include <array>

class LegacyLabel;
class QCheckBox;

class OptionsPanel : public QFrame {
    Q_OBJECT
public:
    OptionsPanel(QWidget *form, std::array<QString, 4> &values, std::array<QString, 4> &unlocks);

    QCheckBox *check31() const { return m_check31; }
    QCheckBox *check4() const { return m_check4; }
    QCheckBox *check2() const { return m_check2; }
    QCheckBox *check1() const { return m_check1; }
    LegacyLabel *image13() const { return m_image13; }
    // The goal labels under the boxes: Label23, Label29, Label31.
    std::array<LegacyLabel *, 3> goals() const { return {m_label23, m_label29, m_label31}; }

    // The boxes take the values the switches hold (when the form loads).
    void showValues();
    // Label20 / Label20a: opens the panel; `broughtIn` is the balance brought in
    // from the briefing (Label25), which unlocks the code switch at 1,000,000.
    void open(double broughtIn);
    // The panel part of Image13: closes it and copies the boxes into l1..l4.
    void applyAndClose();
    // Label26: every switch off and locked again.
    void lockAll();
    // On a class server the switches are the teacher's: a pupil's panel shows
    // them, lets none be changed and says who sets them.
    void setTeacherSets(bool teacherSets);
    bool teacherSets() const { return m_teacherSets; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void place();

    std::array<QString, 4> &m_l;
    std::array<QString, 4> &m_lo;
    QCheckBox *m_check31;
    QCheckBox *m_check4;
    QCheckBox *m_check2;
    QCheckBox *m_check1;
    LegacyLabel *m_label23;
    LegacyLabel *m_label29;
    LegacyLabel *m_label31;
    QFrame *m_picture8;
    LegacyLabel *m_label26;
    LegacyLabel *m_image13;
    LegacyLabel *m_teacherNote;
    bool m_teacherSets = false;
};
