#pragma once
// The editor form's CSV buttons beside the table chooser: "Nhập từ CSV…"
// (ImportCsv) reads a file, shows what it found (its questions, every fault,
// the duplicates) and asks before it appends anything to the chosen table;
// "Xuất ra CSV…" (ExportCsv) writes the chosen table to a file. Long files
// show a progress bar (csvProgress) that can stop them; nothing is written
// then. After an import the list shows the table again.

#include "csvbank.h"

#include <QObject>
#include <QString>

class EditorApp;
class EditorForm;
class QPushButton;
class QWidget;

class CsvActions : public QObject {
    Q_OBJECT
public:
    CsvActions(EditorApp &app, EditorForm &form);

    // The two buttons side by side, made on the first call.
    QWidget *buttons();

    void importFile(); // ImportCsv
    void exportFile(); // ExportCsv

    // Files at least this long (bytes), and tables at least this long (rows),
    // show the progress bar.
    static constexpr qint64 kLargeFile = 256 * 1024;
    static constexpr qint64 kLargeTable = 5000;

private:
    // A progress callback that drives a modal progress bar while `show`
    // holds (none otherwise); the bar goes when the returned holder does.
    struct Bar;
    void tell(const QString &text, int icon);
    QString faultList(const csvbank::ImportResult &r, db::QuestionTable t) const;

    EditorApp &m_app;
    EditorForm &m_form;
    QWidget *m_buttons = nullptr;
    QString m_folder; // where the last file was
};
