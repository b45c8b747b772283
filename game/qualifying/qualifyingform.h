#pragma once
// choi: the qualifying round. One ordering question from thuthach, four answers
// to be put in order within 20 seconds, by clicking them or typing the letters.
// A pass opens the hot seat; a failure or a time-out leaves only the way out.
//
// The caption of bdau is the round's state: "Baét ñaàu" ready, "Thoaùt" running or
// lost (a click ends the program), "Tieáp tuïc" passed (a click goes on to Form1).

#include "legacyform.h"

#include <QString>

class GameApp;
class QFrame;
class QLineEdit;
class QPushButton;
class ShapeBox;

class QualifyingForm : public LegacyForm {
    Q_OBJECT
public:
    explicit QualifyingForm(GameApp &app);

    // Hidden working values: the draw counter (Text2), the last question ID read at
    // load (m1), characters typed by the intro.
    QString drawCounter() const { return m_text2; }
    QString lastQuestionId() const { return m_m1; }
    // dapan: the right order once the verdict has named it. Before that the
    // form holds none: what the game's own referee holds is given instead
    // (tests play with it; a server's referee gives nothing), or as designed.
    QString correctAnswer() const;
    int introCount() const { return m_introCount; }
    // Whether the round found no question it could ask and only offers Exit.
    bool withoutQuestions() const { return m_noQuestions; }

protected:
    void mouseMoveEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void load() override;
    void introTick();
    void drawTick();
    void countdownTick();
    void bdauClicked();
    void start();
    void answerClicked(int index);
    void answerTextChanged();
    void submit();
    void showNoQuestions();

    GameApp &m_app;

    LegacyLabel *m_label3;
    LegacyLabel *m_label4;
    QFrame *m_picture3;
    LegacyLabel *m_label7;
    LegacyLabel *m_label8;
    LegacyLabel *m_cauhoi;
    LegacyLabel *m_answers[4];   // caua..caud
    ShapeBox *m_answerShapes[4]; // Shape2 items 2, 3, 4, 0 (A..D)
    ShapeBox *m_shape1Panel;     // Shape1(1)
    ShapeBox *m_shape1Lamp;      // Shape1(2)
    ShapeBox *m_shape4;
    LegacyLabel *m_label5;
    LegacyLabel *m_label6;
    QLineEdit *m_text1;
    QPushButton *m_command1;
    LegacyLabel *m_bdau;
    LegacyTimer *m_timer1;
    LegacyTimer *m_timer2;
    LegacyTimer *m_timer3;

    QString m_text2 = QStringLiteral("0");
    QString m_m1 = QStringLiteral("0");
    QString m_dapan; // null until the verdict
    int m_introCount = 0;
    bool m_noQuestions = false;
};
