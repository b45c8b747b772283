#pragma once
// Shared by the account tests: a form's boxes by name, typing over them as a
// player does, and the registration and recovery forms opened from the login
// screen and filled in.

#include "accounts/loginform.h"
#include "accounts/recoveryform.h"
#include "accounts/registerform.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLineEdit>

namespace acc {

inline QLineEdit *box(QWidget *f, const char *name)
{
    return testkit::child<QLineEdit>(f, QString::fromLatin1(name));
}

inline QComboBox *combo(QWidget *f, const char *name)
{
    return testkit::child<QComboBox>(f, QString::fromLatin1(name));
}

// Types over what the box holds.
inline void typeInto(QLineEdit *b, const QString &text)
{
    b->clear();
    testkit::type(b, text);
}

inline void typeInto(QComboBox *c, const QString &text)
{
    typeInto(c->lineEdit(), text);
}

// Picks a secret question with the keyboard (Down moves through the list).
inline void chooseQuestion(QComboBox *c, int position)
{
    c->setFocus();
    for (int i = c->currentIndex(); i < position; ++i)
        testkit::pressKey(c, Qt::Key_Down);
}

// Types over each named box in turn (a combo box: its line), then picks the
// secret question (its place in the list, -1 for none) and types the answer.
inline void fillIn(QWidget *f, const QList<std::pair<const char *, QString>> &boxes, int question,
                   const QString &answer)
{
    for (const auto &[name, text] : boxes) {
        QWidget *w = testkit::widget(f, QString::fromLatin1(name));
        auto *c = qobject_cast<QComboBox *>(w);
        typeInto(c ? c->lineEdit() : qobject_cast<QLineEdit *>(w), text);
    }
    if (question >= 0)
        chooseQuestion(combo(f, "bimat"), question);
    typeInto(box(f, "traloi"), answer);
}

// What a player types into the registration panel.
struct Entry {
    QString nick = QStringLiteral("Lan Anh");
    QString p1 = QStringLiteral("mk123");
    QString p2 = QStringLiteral("mk123");
    QString day = QStringLiteral("15");
    QString month = QStringLiteral("3");
    QString year = QStringLiteral("1990");
    QString mail = QStringLiteral("giáo viên");
    int question = 1; // list position, -1 for none
    QString answer = QStringLiteral("con mèo");
};

// Opens registration from the login screen's link and confirms the introduction.
inline RegisterForm *openPanel(testkit::GameHarness &h)
{
    h.app->start();
    testkit::click(testkit::widget(h.app->login(), QStringLiteral("Label1")));
    RegisterForm *f = h.app->registration();
    if (!testkit::widget(f, QStringLiteral("Frame1"))->isVisible())
        return f;
    testkit::click(testkit::widget(f, QStringLiteral("Check1")));
    testkit::click(testkit::widget(f, QStringLiteral("cmdOK")));
    return f;
}

inline void fill(RegisterForm *f, const Entry &e)
{
    fillIn(f, {{"id", e.nick}, {"p1", e.p1}, {"p2", e.p2}, {"thang", e.day}, {"ngay", e.month}, {"nam", e.year},
               {"mail", e.mail}},
           e.question, e.answer);
}

// What a player types to recover a password.
struct Proof {
    QString nick = QStringLiteral("Hoa");
    QString day = QStringLiteral("05");
    QString month = QStringLiteral("03");
    QString year = QStringLiteral("1990");
    int question = 3;
    QString answer = QStringLiteral("đọc sách");
};

inline RecoveryForm *openRecovery(testkit::GameHarness &h)
{
    h.app->start();
    testkit::click(testkit::widget(h.app->login(), QStringLiteral("Label2")));
    return h.app->recovery();
}

inline void fill(RecoveryForm *f, const Proof &p)
{
    fillIn(f, {{"id", p.nick}, {"thang", p.day}, {"ngay", p.month}, {"nam", p.year}}, p.question, p.answer);
}

} // namespace acc
