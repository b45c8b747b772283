#pragma once
// The life of a form of the old toolkit. A form is loaded when it is first
// shown; a form that unloads when its window closes starts afresh at the next
// opening: its controls go back to their design and it loads again when shown.
// The other forms end the program when their window closes. While the program
// ends, closing a window does nothing more: no form is shown again.

#include <QWidget>
#include <functional>

// The old toolkit's label and timer, which every form is made of.
class LegacyLabel;
class LegacyTimer;

// What a form needs of the program it belongs to.
class FormHost {
public:
    virtual bool ending() const = 0;
    virtual void endProgram() = 0;

protected:
    ~FormHost() = default;
};

class LegacyForm : public QWidget {
    Q_OBJECT
public:
    // Brings the form up over the others and gives it the focus.
    void showInFront();

protected:
    // A form whose closing ends the program, with its name (objectName) and
    // caption, on the stage's look.
    LegacyForm(FormHost &host, const QString &name, const QString &caption);
    // A form that unloads when it closes and hands back to `opener`'s form
    // (shown and raised again).
    LegacyForm(FormHost &host, const QString &name, const QString &caption, std::function<QWidget *()> opener);

    // Form_Load: what the form reads and sets up each time it is loaded.
    virtual void load() {}
    // The controls and working values as designed, before Load.
    virtual void resetControls() {}

    // Loads the form unless it is loaded.
    void ensureLoaded();
    // Shows and raises the form this one hands back to.
    void handBack();

    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    FormHost &m_host;
    std::function<QWidget *()> m_opener; // empty: closing ends the program
    bool m_loaded = false;
};
