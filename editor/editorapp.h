#pragma once
// The question editor program: its services (the database, message boxes, the
// way to end the program) and its two forms, made on first use. The access-code
// form stays alive, hidden, once the editor form is up.

#include "legacyform.h"
#include "messages.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace db { class GameDb; }

class EditorLoginForm;
class EditorForm;

struct EditorServices {
    db::GameDb *db = nullptr;
    ui::MessageFn message;            // message boxes; a real one when empty
    std::function<void()> endProgram; // quits the event loop
    // The file an open (save false) or save dialog chose, starting from
    // `suggested`; empty when cancelled. A real file dialog when empty.
    std::function<QString(QWidget *parent, bool save, const QString &suggested)> chooseFile;
};

class EditorApp : public QObject, public FormHost {
    Q_OBJECT
public:
    // The access code the game's options panel reveals.
    static QString accessCode();
    // What a pupil's role on a class server is told (the bank is the teacher's).
    static QString teachersOnly();

    explicit EditorApp(EditorServices services, QObject *parent = nullptr);
    ~EditorApp() override;

    db::GameDb &db() const { return *m_services.db; }
    QMessageBox::StandardButton message(QWidget *parent, const ui::MessageRequest &r) const;
    QString chooseFile(QWidget *parent, bool save, const QString &suggested) const;

    // Shows the access-code form.
    void start();

    EditorLoginForm *login();
    EditorForm *editor();
    bool hasEditor() const { return !m_editor.isNull(); }

    // Ends the editor at once: the forms go away without asking anything.
    void endProgram() override;
    bool ending() const override { return m_ending; }

private:
    EditorServices m_services;
    QPointer<EditorLoginForm> m_login;
    QPointer<EditorForm> m_editor;
    bool m_ending = false;
};
