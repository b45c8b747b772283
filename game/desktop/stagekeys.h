#pragma once
// The keyboard on a stage form. Each key stands for a control of the form and
// presses it exactly as a click would, and only when a click could reach it
// (see ui::pressLikeMouse); keys typed into a text box stay there. M switches
// the sound off and on. A form's own keys are told by a subclass.

#include <QObject>
#include <initializer_list>
#include <optional>

class QKeyEvent;
class QWidget;
namespace sound { class Mixer; }

class StageKeys : public QObject {
public:
    StageKeys(QWidget *form, sound::Mixer &mixer);

protected:
    // The control a key stands for in the form's present state: none when the
    // key is not the form's, null when it stands for nothing just now.
    virtual std::optional<QWidget *> controlFor(const QKeyEvent *e) const = 0;
    // A control of the form by its objectName.
    QWidget *control(const QString &name) const;
    // What a screen reader says of a control: its Vietnamese name and, where a
    // key presses it, which key (either may be empty; UTF-8).
    struct Spoken {
        const char *control;
        const char *name;
        const char *description;
    };
    void nameControls(std::initializer_list<Spoken> spoken) const;
    // 0..3 for the answer keys A..D and 1..4, else -1.
    static int answerKey(const QKeyEvent *e);
    static bool isEnter(const QKeyEvent *e);

    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QWidget *m_form;
    sound::Mixer &m_mixer;
};
