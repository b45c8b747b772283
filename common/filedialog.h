#pragma once
// Choosing a file in the programs' own look and language: Qt's own file dialog
// rather than the desktop's, which speaks the desktop's language and ignores
// the stage's colours.

#include <QString>

class QFileDialog;
class QWidget;

namespace ui {

// A dialog to open an existing file (or, with `save`, to name one to write, a
// file that exists asked about first), opening on `suggested` (a folder, or a
// file's path), offering `filter` ("CSV (*.csv);;Mọi tệp (*)").
QFileDialog *fileDialog(QWidget *parent, bool save, const QString &title, const QString &suggested,
                        const QString &filter);

// Runs that dialog; the chosen file, or empty when the user cancels.
QString chooseFile(QWidget *parent, bool save, const QString &title, const QString &suggested,
                   const QString &filter);

} // namespace ui
