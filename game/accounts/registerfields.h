#pragma once
// Pieces the registration and recovery forms share: the fixed list of secret
// questions, the rule that turns a typed day or month into a plain number, and
// small builders for the account input boxes, their captions, the status line
// and the round close picture (the login screen has one too).

#include "messages.h"

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <utility>

class LegacyLabel;
class QComboBox;
class QLineEdit;
class QWidget;

namespace accounts {

// Longest text any account box takes (nick, passwords, occupation, answer, date parts).
constexpr int kFieldMaxLength = 255;

// The secret questions, in list order, as stored (VNtimes legacy texts).
const QStringList &secretQuestions();
// Fills a choice-only list with the questions (shown decoded, legacy text as item
// data); nothing is chosen.
void fillSecretQuestions(QComboBox *box);
// The legacy text of the chosen question, or "" when none is chosen.
QString chosenQuestion(const QComboBox *box);

// The whole number a typed day or month begins with, without leading zeros:
// "05" -> "5", "12ab" -> "12", " 1 2" -> "12". Text that does not begin with a
// digit, or whose number is 0, gives "". Only digits count (no sign, no decimal
// part); any length of digits is kept as it is, so nothing overflows.
QString leadingNumber(const QString &text);

// Typed text as a value to store: never a null string (an empty box is "").
QString typedValue(const QString &text);

// A text box for account data. mask: the character shown for each typed one
// (0 for none).
QLineEdit *makeBox(QWidget *parent, const QString &name, char mask = 0);
// Hides what is typed in a box behind one character per typed one.
void setMask(QLineEdit *box, char mask);
// The caption of an input box, in the forms' light gold.
LegacyLabel *fieldLabel(QWidget *parent, const char *name, const QString &caption);
// The round close picture in a corner of the form; the caller says what a click does.
LegacyLabel *closePicture(QWidget *parent, const QString &name);
// The status line along the bottom of the form (xem).
LegacyLabel *statusLine(QWidget *parent);
// One of the capsule buttons of the form's bottom row (Command1, Command2).
LegacyLabel *commandButton(QWidget *parent, const char *name, const QString &caption);

// Typed text that a legacy text cannot hold (an emoji, a letter of another
// language) is refused before anything is looked up or stored: the first box
// (in the order given, with its name as the player reads it) holding such a
// character gets the focus, and the message naming the character is returned.
// A text box or an editable list box.
std::optional<ui::MessageRequest> refuseUnstorable(std::initializer_list<std::pair<QWidget *, const char *>> boxes);

} // namespace accounts
