#include "csvfile.h"

#include <QIODevice>
#include <cstring>

namespace csv {

namespace {
constexpr qint64 kChunk = 64 * 1024;
const QByteArray kBom("\xEF\xBB\xBF", 3);
} // namespace

bool isUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int n = 0;
        unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            if (c == 0xE0)
                lo = 0xA0; // no overlong forms
            else if (c == 0xED)
                hi = 0x9F; // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F; // nothing above U+10FFFF
        } else {
            return false;
        }
        if (end - p <= n || p[1] < lo || p[1] > hi)
            return false;
        for (int i = 2; i <= n; ++i)
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        p += n + 1;
    }
    return true;
}

// --- Reader ---------------------------------------------------------------------

Reader::Reader(QIODevice &in, int maxFields) : m_in(in), m_maxFields(maxFields) {}

bool Reader::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        m_buf.remove(0, m_pos);
        m_pos = 0;
    }
    const qsizetype had = m_buf.size();
    m_buf.resize(had + kChunk);
    const qint64 got = m_in.read(m_buf.data() + had, kChunk);
    m_buf.resize(had + qMax<qint64>(got, 0));
    if (got < 0) {
        fail(Trouble::ReadError, QStringLiteral("The file cannot be read: %1").arg(m_in.errorString()));
        m_eof = true;
        return false;
    }
    if (got == 0) {
        m_eof = true;
        return false;
    }
    return true;
}

Reader::Result Reader::fail(Trouble t, const QString &why)
{
    if (m_trouble == Trouble::None) {
        m_trouble = t;
        m_error = why;
    }
    return Result::Bad;
}

bool Reader::start()
{
    m_started = true;
    while (m_buf.size() < 4 && fill()) {
    }
    if (m_trouble != Trouble::None)
        return false;
    if (m_buf.isEmpty()) {
        fail(Trouble::Empty, QStringLiteral("The file is empty."));
        return false;
    }
    if (m_buf.startsWith(kBom)) {
        m_pos = kBom.size();
        m_consumed = kBom.size();
    } else if (m_buf.startsWith("\xFF\xFE") || m_buf.startsWith("\xFE\xFF")) {
        fail(Trouble::NotUtf8, QStringLiteral("The file is UTF-16 text, not UTF-8: save it as CSV in UTF-8."));
        return false;
    } else if (m_buf.startsWith("PK\x03\x04")) {
        fail(Trouble::NotText, QStringLiteral("The file is a spreadsheet workbook, not CSV: save the sheet as CSV."));
        return false;
    }
    // The header line, whole, decides the separator: whichever of comma and
    // semicolon it holds outside quotes (the names themselves hold neither).
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false, lineEnded = false;
    qsizetype i = m_pos;
    while (!lineEnded) {
        if (i >= m_buf.size()) {
            if (m_buf.size() - m_pos > kFieldCap)
                break;
            const qsizetype before = m_pos;
            if (!fill())
                break;
            i -= before; // fill() dropped what was consumed before
        }
        const char c = m_buf.at(i++);
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            lineEnded = true;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == '\t')
            ++tabs;
    }
    if (m_trouble != Trouble::None)
        return false;
    if (m_pos >= m_buf.size()) {
        fail(Trouble::Empty, QStringLiteral("The file is empty."));
        return false;
    }
    if (commas == 0 && semicolons == 0 && tabs > 0) {
        fail(Trouble::TabSeparated,
             QStringLiteral("The file's columns are separated by tabs: save it as CSV, separated by commas or semicolons."));
        return false;
    }
    m_sep = semicolons > commas ? ';' : ',';
    return true;
}

bool Reader::finishField()
{
    if (m_maxFields > 0 && m_fields.size() >= m_maxFields) {
        ++m_dropped;
        m_droppedAValue = m_droppedAValue || !m_field.isEmpty();
        m_field.clear();
        return true;
    }
    if (!isUtf8(m_field)) {
        fail(Trouble::NotUtf8, QStringLiteral("The file is not UTF-8 text (row %1): save it as CSV in UTF-8 "
                                              "(\u201CCSV UTF-8\u201D, or the character set Unicode UTF-8).")
                                   .arg(m_record + 1));
        return false;
    }
    m_fields.append(QString::fromUtf8(m_field));
    m_field.clear();
    return true;
}

Reader::Result Reader::next()
{
    if (m_trouble != Trouble::None)
        return Result::Bad;
    if (m_ended)
        return Result::End;
    if (!m_started && !start())
        return Result::Bad;
    m_fields.clear();
    m_field.clear();
    m_dropped = 0;
    m_droppedAValue = false;
    enum class State { FieldStart, Unquoted, Quoted, QuoteSeen } st = State::FieldStart;
    bool any = false;
    const qint64 row = m_record + 1;
    auto endRecord = [&] {
        if (!finishField())
            return Result::Bad;
        m_record = row;
        return Result::Record;
    };
    for (;;) {
        if (m_pos >= m_buf.size() && !fill()) {
            if (m_trouble != Trouble::None)
                return Result::Bad;
            m_ended = true;
            if (st == State::Quoted)
                return fail(Trouble::OpenQuote,
                            QStringLiteral("A quoted field that starts in row %1 is never closed.").arg(row));
            if (!any)
                return Result::End;
            return endRecord();
        }
        const char *data = m_buf.constData();
        const qsizetype size = m_buf.size();
        if (st == State::Quoted) {
            // The run up to the next quote, at once.
            const void *q = std::memchr(data + m_pos, '"', size_t(size - m_pos));
            const qsizetype stop = q ? static_cast<const char *>(q) - data : size;
            if (std::memchr(data + m_pos, '\0', size_t(stop - m_pos)))
                return fail(Trouble::NotText, QStringLiteral("The file holds NUL bytes: it is not a text file."));
            m_field.append(data + m_pos, stop - m_pos);
            m_consumed += stop - m_pos;
            m_pos = stop;
            if (m_field.size() > kFieldCap)
                return fail(Trouble::FieldTooLong,
                            QStringLiteral("Row %1 holds a field longer than a megabyte: this is no question file.").arg(row));
            if (!q)
                continue;
            ++m_pos;
            ++m_consumed;
            st = State::QuoteSeen;
            continue;
        }
        const char c = data[m_pos++];
        ++m_consumed;
        if (m_skipLf) {
            m_skipLf = false;
            if (c == '\n')
                continue;
        }
        any = true;
        if (c == '\0')
            return fail(Trouble::NotText, QStringLiteral("The file holds NUL bytes: it is not a text file."));
        switch (st) {
        case State::QuoteSeen:
            // A doubled quote is one quote; after a closing quote, only the
            // end of the field or of the record, handled as after any field.
            if (c == '"') {
                m_field.append('"');
                st = State::Quoted;
                break;
            }
            if (c != m_sep && c != '\n' && c != '\r')
                return fail(Trouble::StrayQuote,
                            QStringLiteral("Row %1: a quoted field is followed by more text before the next separator.")
                                .arg(row));
            [[fallthrough]];
        case State::FieldStart:
            if (c == '"') {
                st = State::Quoted;
                break;
            }
            [[fallthrough]];
        case State::Unquoted:
            if (c == m_sep) {
                if (!finishField())
                    return Result::Bad;
                st = State::FieldStart;
            } else if (c == '\n' || c == '\r') {
                m_skipLf = c == '\r';
                return endRecord();
            } else {
                // A quote inside an unquoted field is kept as it is.
                m_field.append(c);
                st = State::Unquoted;
                if (m_field.size() > kFieldCap)
                    return fail(Trouble::FieldTooLong,
                                QStringLiteral("Row %1 holds a field longer than a megabyte: this is no question file.")
                                    .arg(row));
            }
            break;
        case State::Quoted:
            break; // handled above
        }
    }
}

// --- Writer ---------------------------------------------------------------------

Writer::Writer(QIODevice &out, char separator) : m_out(out), m_sep(separator) {}

bool Writer::begin()
{
    return m_out.write(kBom) == kBom.size();
}

QByteArray Writer::line(const QStringList &fields, char separator)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.append(separator);
        const QByteArray f = fields.at(i).toUtf8();
        const bool quote = f.contains(separator) || f.contains('"') || f.contains('\n') || f.contains('\r');
        if (!quote) {
            out.append(f);
            continue;
        }
        out.append('"');
        for (char c : f) {
            if (c == '"')
                out.append('"');
            out.append(c);
        }
        out.append('"');
    }
    out.append("\r\n");
    return out;
}

bool Writer::write(const QStringList &fields)
{
    const QByteArray l = line(fields, m_sep);
    return m_out.write(l) == l.size();
}

} // namespace csv
