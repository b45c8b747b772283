#pragma once
// `pelmaro --stats FILE`: how each question fared, one CSV row per question
// of the four game tables that has recorded answers (UTF-8 with a byte-order
// mark, as the export writes), the questions matched to their figures as the
// statistics window matches them.

#include "gamedb.h"

#include <cstdio>

namespace stats {

// The columns of the file, in order.
QStringList csvHeader();

struct CsvResult {
    bool ok = false;
    qint64 rows = 0;
    QString problem; // in English
};
CsvResult writeCsv(db::GameDb &db, const QString &path);

// Opens the database at `location` (empty: the default), writes the file and
// says what it did on err: 0 when written, 1 otherwise (a pupil's role on a
// class server is told what the window tells it).
int runCommand(const QString &location, const QString &file, std::FILE *err = stderr);

} // namespace stats
