#pragma once
// CSV as spreadsheets write it (RFC 4180), read and written a record at a time
// so that a file of any length needs no more memory than its longest record.
//
// Reading: UTF-8 with or without a byte-order mark; records end at CR LF, LF
// or CR; a field may be quoted, and a quoted field may hold separators, line
// breaks (kept exactly as they are in the file) and quotes written twice. The
// separator is a comma or a semicolon (a spreadsheet in a locale whose decimal
// mark is a comma writes semicolons), told from the first line, the header.
// A file that is not UTF-8 text, holds NUL bytes, or leaves a quote open is
// refused with one message. A reader may be told how many fields of a record
// to keep: the fields past them are counted and looked at, not kept (a row of
// millions of commas costs no memory).
//
// Writing: UTF-8 with a byte-order mark (so that spreadsheets take it for
// Unicode), CR LF after every record, a field quoted only when it holds the
// separator, a quote or a line break.

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace csv {

class Reader {
public:
    // maxFields: the most fields of a record kept in fields() (0: all).
    explicit Reader(QIODevice &in, int maxFields = 0);

    enum class Result { Record, End, Bad };
    // Reads the next record into fields(). The first record is the header.
    Result next();
    const QStringList &fields() const { return m_fields; }
    // How many fields the record read last had, kept or not.
    qint64 fieldCount() const { return m_fields.size() + m_dropped; }
    // Whether a field past the kept ones held anything.
    bool droppedAValue() const { return m_droppedAValue; }
    // The number of the record last read, counting the header as 1: the row
    // a spreadsheet shows it in.
    qint64 record() const { return m_record; }
    // After Bad: why the file cannot be read, in English, and which kind of
    // trouble it was.
    enum class Trouble { None, Empty, NotText, NotUtf8, OpenQuote, StrayQuote, FieldTooLong, TabSeparated, ReadError };
    Trouble trouble() const { return m_trouble; }
    QString error() const { return m_error; }
    // The separator told from the header (',' until it has been read).
    char separator() const { return m_sep; }
    // Bytes of the file consumed so far (for a progress bar).
    qint64 position() const { return m_consumed; }

    // A field longer than this (in bytes) makes the file unreadable: no
    // question is that long, and a file whose quote never closes stops here
    // rather than filling the memory.
    static constexpr qsizetype kFieldCap = 1 << 20;

private:
    bool fill();                    // more bytes into m_buf; false at the end of the file
    bool start();                   // byte-order mark, empty file, separator
    Result fail(Trouble t, const QString &why);
    bool finishField();

    QIODevice &m_in;
    int m_maxFields;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    qint64 m_consumed = 0;
    bool m_eof = false;
    bool m_started = false;
    bool m_ended = false;
    bool m_skipLf = false; // the last record ended at a CR: an LF right after it belongs to it
    char m_sep = ',';
    qint64 m_record = 0;
    QByteArray m_field;
    QStringList m_fields;
    qint64 m_dropped = 0;         // fields of the record past maxFields
    bool m_droppedAValue = false; // one of them held something
    Trouble m_trouble = Trouble::None;
    QString m_error;
};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(QByteArrayView bytes);

class Writer {
public:
    explicit Writer(QIODevice &out, char separator = ',');
    // Writes the byte-order mark; call first.
    bool begin();
    bool write(const QStringList &fields);
    // The text of one record, CR LF included.
    static QByteArray line(const QStringList &fields, char separator = ',');

private:
    QIODevice &m_out;
    char m_sep;
};

} // namespace csv
