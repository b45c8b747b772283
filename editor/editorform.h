#pragma once
// Form1 of the editor: choose one of the five question tables, list it, look at
// one question, compose and append new ones, and remove questions (optionally
// copying them to the trash first). Every removal renumbers the table 1..N, so a
// question's ID is always its line in the list plus one.
//
// Question texts are stored as VNI bytes and shown as Unicode Vietnamese; a text
// that is shown and not edited is written back with its stored bytes.

#include "gamedb.h"
#include "legacyform.h"

#include <QList>
#include <QMessageBox>
#include <optional>

class CsvActions;
class EditorApp;
class LegacyButton;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QuestionListModel;
class QRadioButton;
class StatsView;
class VniLineEdit;

class EditorForm : public LegacyForm {
    Q_OBJECT
public:
    explicit EditorForm(EditorApp &app);

    // The table of the option that is on.
    db::QuestionTable chosenTable() const;
    // The table the list shows (the one chosen at the last View).
    db::QuestionTable listedTable() const { return m_listTable; }
    // The rows behind the list lines, read as they are shown.
    const QuestionListModel *listModel() const;
    // The ID the next trash copy gets (Text9).
    QString nextTrashId() const { return m_text9; }
    // The preview line (Text8) as a VNI text.
    QString previewLegacy() const { return m_previewLegacy; }

    // Handlers, as the controls call them.
    void chooseTable(int option);  // Option1..Option5 (1-based)
    void view();                   // Command2
    void showQuestion(int line);   // List1 Click
    void preview();                // List1 DblClick
    void compose();                // Command9
    void save();                   // Command1
    void closeListPanel();         // Command8
    void startRemoval();           // Command3
    void saveCopyToTrash();        // Command10
    void removeQuestion();         // Command6
    void cancelRemoval();          // Command7
    // "Thống kê": the figures of the chosen table, in their own window.
    StatsView *showStats();
    // Renumbers a table 1..N and resets its selected flags, in one transaction
    // (any size; on failure the table stays as it was).
    bool renumber(db::QuestionTable t);
    bool Sapxepd() { return renumber(db::QuestionTable::Muc1); }
    bool Sapxeptb() { return renumber(db::QuestionTable::Muc2); }
    bool Sapxepk() { return renumber(db::QuestionTable::Muc3); }
    bool Sapxeptt() { return renumber(db::QuestionTable::Thuthach); }
    bool Sapxeptr() { return renumber(db::QuestionTable::Thungrac); }

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    void buildUi();
    void clearFields();
    void closeConfirmation();
    // The line selected in the list, -1 when none.
    int selectedLine() const;
    // Delete is offered from View until a table is chosen or Compose is used.
    void offerDelete(bool offered);
    // The fields as a question bound for table t; none, and the user told
    // why (`notDone` first) with the first faulty field focused, when one is
    // refused: with `whole`, as the CSV import refuses it; else only what the
    // store cannot hold.
    std::optional<db::Question> fieldsAsQuestion(db::QuestionTable t, bool whole, const QString &notDone);
    void notify(const QString &text, QMessageBox::Icon icon = QMessageBox::Warning);

    EditorApp &m_app;

    QRadioButton *m_option[5] = {};
    CsvActions *m_csv = nullptr; // the CSV buttons beside the options
    StatsView *m_stats = nullptr; // made on first use
    LegacyButton *m_command1, *m_command2, *m_command3, *m_command4, *m_command6, *m_command7, *m_command8,
        *m_command9, *m_command10;
    QFrame *m_picture1, *m_picture2, *m_picture3;
    QListView *m_list1;
    QuestionListModel *m_model;
    QLabel *m_listTitle;
    VniLineEdit *m_text1, *m_text2, *m_text3, *m_text4, *m_text5, *m_text6;
    QLineEdit *m_text7;
    QLineEdit *m_text8;
    LegacyLabel *m_label1[8] = {};
    LegacyLabel *m_label3;

    QString m_text9;
    QString m_previewLegacy;
    db::QuestionTable m_listTable = db::QuestionTable::Muc1;
    // The question a removal in progress is about (fixed when Delete is clicked).
    std::optional<db::Question> m_pending;
    db::QuestionTable m_pendingTable = db::QuestionTable::Muc1;
};
