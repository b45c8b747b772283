#pragma once
// A question table as a CSV file, for the questions teachers write in a
// spreadsheet: export, and import appended at the end of a table.
//
// A bank file has a header row naming the columns cauhoi, A, B, C, D and
// traloi, in any order and any letter case; a column topic may be there too
// and is not stored; any other column is refused by name, and a header of
// more than these seven. A row's cells past the seventh are counted, not kept. Rows are numbered as
// a spreadsheet shows them: the header is row 1, and a row whose cells are all
// empty is skipped. Texts are Unicode in the file and the bank's VNI texts in
// the table.
//
// Export writes a table's rows in ID order (the IDs themselves are positions
// and are not written), UTF-8 with a byte-order mark and CR LF (see csvfile.h).
// Importing an exported file into an empty table gives the same stored texts,
// byte for byte, in the same order; export names every text that would not
// come back so (a stored byte that is no Vietnamese letter).
//
// Import checks every row before it writes anything and reports every fault
// at once; then it appends the rows with the next IDs, selected unset, in one
// write transaction (BEGIN IMMEDIATE on the file, the table locked against
// other writers on a server) in which every check is made again: all rows land
// or none. The file is read as a stream, twice at most, and held in memory a
// page of rows at a time.

#include "gamedb.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <memory>

class QFileDevice;

namespace csvbank {

enum class Language { English, Vietnamese };

// What is wrong with a row, one fault per cell.
enum class FaultKind {
    Missing,    // the row ends before this column
    Empty,      // an empty (or blank) question, answer or traloi
    NotALetter, // traloi of a level table: not one of A, B, C, D
    NotAnOrder, // traloi of thuthach: not an order of ABCD
    NotEither,  // traloi of the trash: neither
    TooLong,    // longer as stored than the column holds (detail: the length)
    Unstorable, // a character the VNI text cannot hold (detail: the character)
    Beyond,     // a value in a column the header does not name
    TooWide,    // a value past the seven columns a bank file can have (detail: how many cells the row has)
    Duplicate,  // the question is in the table already, or in an earlier row
    NotExact    // export: a stored text that will not come back byte for byte
};

struct Fault {
    qint64 row = 0;  // as a spreadsheet numbers it: the header is row 1
    QString column;  // as the header names it
    FaultKind kind = FaultKind::Empty;
    QString detail;  // the text, the character or the length the reason names
    qint64 id = 0;   // Duplicate: the ID it has in the table (0: an earlier row); export: the row's ID
    qint64 firstRow = 0; // Duplicate of an earlier row: that row
};

// "row 5, column traloi: …" (English) or "Dòng 5, cột traloi: …".
QString describe(const Fault &f, db::QuestionTable t, Language lang);
// Why the cell is refused, without its place: "empty", "“E” is not one of …".
QString reason(const Fault &f, db::QuestionTable t, Language lang);

// A question's text bound for table t, as the import and the editor's Save
// judge it alike. `column`: 0..5 for cauhoi, A, B, C, D, traloi; `typed`: the
// text as the user sees it (Unicode); `stored`: the text as it would be
// stored (VNI), none when a character has no VNI form. The faults name no row
// or column; none when the text may be stored.
QList<Fault> checkText(db::QuestionTable t, int column, const QString &typed, const std::optional<QString> &stored);
// The VNI form of a typed text, none when a character has none (NUL included).
std::optional<QString> storable(const QString &typed);

// Why a file cannot be imported at all.
struct FileProblem {
    enum class Kind { None, CannotOpen, Empty, NoRows, NotText, NotUtf8, OpenQuote, StrayQuote, FieldTooLong,
                      TooManyFields, TabSeparated, Header } kind = Kind::None;
    qint64 row = 0;
    QString detail;                       // CannotOpen: the system's reason; otherwise the reader's, in English
    QStringList missing, unknown, twice;  // Header: the columns it lacks, does not know, names twice
};
QString describe(const FileProblem &p, Language lang);

// Progress of a long read or write: bytes (or rows) done of a total; false stops
// (nothing is written then).
using Progress = std::function<bool(qint64 done, qint64 total)>;

struct ImportResult {
    enum class Outcome {
        Checked,     // checkFile: read through (faults may have been found)
        Imported,    // importFile: written
        Refused,     // importFile: faults found, nothing written
        BadFile,     // the file cannot be imported at all (problem)
        StoreFailed, // the database refused or could not be read: nothing written (storeError)
        Stopped      // the progress callback said stop: nothing written
    } outcome = Outcome::BadFile;
    FileProblem problem;
    QString storeError;
    qint64 rows = 0;       // question rows in the file
    qint64 duplicates = 0; // of them, rows whose question is in the table or in an earlier row
    qint64 faultyRows = 0; // rows with a fault other than being a duplicate
    // The first kFaultsKept faults, in file order, duplicates included; how
    // many there are in all.
    static constexpr int kFaultsKept = 100;
    QList<Fault> faults;
    qint64 faultCount = 0;
    qint64 written = 0;
    qint64 firstId = 0;    // the ID the first written row got
};

// The faults of an import one a line, as describe() says them, each after
// `prefix`; when more were found than kept, a last line says how many more.
QStringList faultLines(const ImportResult &r, db::QuestionTable t, Language lang, const QString &prefix = QString());

// Reads the file and checks every row against the table; writes nothing.
ImportResult checkFile(db::GameDb &db, db::QuestionTable t, const QString &path, const Progress &progress = {});
// Appends the file's rows at the end of the table, all or nothing. Any fault
// refuses the whole file; duplicates too, unless skipDuplicates, which leaves
// them out and writes the rest.
ImportResult importFile(db::GameDb &db, db::QuestionTable t, const QString &path, bool skipDuplicates,
                        const Progress &progress = {});

struct ExportResult {
    bool ok = false;
    bool stopped = false;  // the progress callback said stop
    bool diskFull = false; // no room was left for the file
    QString problem;       // why nothing was written (the file is left as it was)
    qint64 rows = 0;
    QList<Fault> inexact;  // texts that will not import back byte for byte
};
// A file that is there and is no regular file (a pipe, a terminal,
// /dev/stdout) is written into as it is; any other is replaced whole or not
// at all.
ExportResult exportFile(db::GameDb &db, db::QuestionTable t, const QString &path, const Progress &progress = {});
// Where a CSV file is written: a regular file (or a new one) is replaced whole
// once written (a QSaveFile); a pipe or a device is written into, as renaming
// a finished copy over it would replace it.
std::unique_ptr<QFileDevice> outputFile(const QString &path);

// The table a name stands for (muc1 … thungrac, letter case ignored).
std::optional<db::QuestionTable> tableNamed(const QString &name);

// pelmaro --import TABLE FILE / --export TABLE FILE: on the database at
// `location`, without a window. Says what was done, or every fault one a line
// ("row N, column X: why"), on `err`. 0 only when all of it was done.
struct Command {
    bool import = false;
    db::QuestionTable table = db::QuestionTable::Muc1;
    QString file;
    QString location;
    bool skipDuplicates = false;
};
int runCommand(const Command &c, std::FILE *err = stderr);

} // namespace csvbank
