#include "csvbank.h"

#include "csvfile.h"
#include "editorwidgets.h"
#include "vntext.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <unordered_map>

namespace csvbank {

using db::QuestionTable;

namespace {

// The stored columns in the order a bank file lists them.
const char *const kColumns[6] = {"cauhoi", "A", "B", "C", "D", "traloi"};
constexpr int kTraloi = 5;
const QLatin1String kTopic("topic");
// The most fields a record of a bank file can use: the stored columns and the topic.
constexpr int kMaxFields = 7;

// How many rows go to the store a statement batch, and how often progress is told.
constexpr int kWriteRows = 1000;
constexpr int kProgressRows = 256;

// A question as compared for duplicates: letter case, Unicode form and runs
// of blanks do not make two questions different.
struct Key {
    size_t a = 0, b = 0;
    bool operator==(const Key &o) const { return a == o.a && b == o.b; }
};
struct KeyHash {
    size_t operator()(const Key &k) const { return k.a ^ (k.b * 0x9E3779B97F4A7C15ULL); }
};
Key keyOf(const QString &unicode)
{
    const QString folded = vn::toNfc(unicode).simplified().toCaseFolded();
    // Two independent hashes: 128 bits, so that two different questions
    // never pass for one, and the memory held is a few words a question.
    return {qHash(folded, 0x5bd1e995u), qHash(folded, 0x27d4eb2fu)};
}
struct Origin {
    qint64 id = 0;  // in the table
    qint64 row = 0; // or an earlier row of the file
};
using Seen = std::unordered_map<Key, Origin, KeyHash>;

bool isOrder(const QString &s)
{
    if (s.size() != 4)
        return false;
    for (QChar letter : {QLatin1Char('A'), QLatin1Char('B'), QLatin1Char('C'), QLatin1Char('D')})
        if (s.count(letter) != 1)
            return false;
    return true;
}

bool isLetter(const QString &s)
{
    return s.size() == 1 && s.at(0) >= QLatin1Char('A') && s.at(0) <= QLatin1Char('D');
}

FileProblem fromReader(const csv::Reader &r)
{
    using T = csv::Reader::Trouble;
    using K = FileProblem::Kind;
    FileProblem p;
    p.detail = r.error();
    p.row = r.record() + 1;
    switch (r.trouble()) {
    case T::None: p.kind = K::None; break;
    case T::Empty: p.kind = K::Empty; break;
    case T::NotText: p.kind = K::NotText; break;
    case T::NotUtf8: p.kind = K::NotUtf8; break;
    case T::OpenQuote: p.kind = K::OpenQuote; break;
    case T::StrayQuote: p.kind = K::StrayQuote; break;
    case T::FieldTooLong: p.kind = K::FieldTooLong; break;
    case T::TabSeparated: p.kind = K::TabSeparated; break;
    case T::ReadError: p.kind = K::CannotOpen; break;
    }
    return p;
}

bool blank(const QStringList &fields)
{
    for (const QString &f : fields)
        if (!f.isEmpty())
            return false;
    return true;
}

// One run through a file: the check, or the import with every check again.
class Pass {
public:
    Pass(db::GameDb &db, QuestionTable t, bool write, bool skipDuplicates, const Progress &progress)
        : m_db(db), m_t(t), m_write(write), m_skip(skipDuplicates), m_progress(progress)
    {
    }
    ImportResult run(const QString &path);

private:
    bool readHeader(csv::Reader &reader);
    bool readTable();
    // Checks one row; the question as stored when it is fit to be written.
    std::optional<db::Question> checkRow(const csv::Reader &reader, bool &duplicate);
    void fault(qint64 row, int column, FaultKind kind, const QString &detail = QString())
    {
        m_rowFaulty = true;
        Fault f;
        f.row = row;
        f.column = columnName(column);
        f.kind = kind;
        f.detail = detail;
        keep(f);
    }
    // Every fault is counted; the first ones are kept to be told.
    void keep(const Fault &f)
    {
        if (m_r.faultCount++ < ImportResult::kFaultsKept)
            m_r.faults.append(f);
    }
    // A column as the header names it; one past its columns by its place.
    QString columnName(int column) const
    {
        return column < m_width ? m_names.at(column) : QString::number(column + 1);
    }
    bool flush();
    ImportResult done(ImportResult::Outcome o)
    {
        if (m_inWrite)
            m_db.rollback();
        m_inWrite = false;
        m_r.outcome = o;
        return std::move(m_r);
    }

    db::GameDb &m_db;
    QuestionTable m_t;
    bool m_write, m_skip;
    const Progress &m_progress;
    ImportResult m_r;
    bool m_inWrite = false;
    bool m_rowFaulty = false; // the row checked last has a fault other than being a duplicate
    int m_where[6] = {-1, -1, -1, -1, -1, -1}; // the file's column of each stored column
    QStringList m_names;                       // the header's names, as written
    int m_width = 0;                           // how many columns the header names
    Seen m_seen;
    qint64 m_nextId = 1;
    QList<db::Question> m_batch;
};

bool Pass::readHeader(csv::Reader &reader)
{
    // The first row that is not blank.
    csv::Reader::Result res;
    while ((res = reader.next()) == csv::Reader::Result::Record && blank(reader.fields())) {
    }
    if (res == csv::Reader::Result::Bad) {
        m_r.problem = fromReader(reader);
        return false;
    }
    if (res == csv::Reader::Result::End) {
        m_r.problem.kind = FileProblem::Kind::Empty;
        return false;
    }
    m_names = reader.fields();
    m_width = int(m_names.size());
    FileProblem &p = m_r.problem;
    if (reader.fieldCount() > kMaxFields) {
        p.kind = FileProblem::Kind::TooManyFields;
        p.row = reader.record();
        p.detail = QString::number(reader.fieldCount());
        return false;
    }
    for (int i = 0; i < m_width; ++i) {
        const QString name = m_names[i].trimmed();
        m_names[i] = name;
        int known = -1;
        for (int c = 0; c < 6; ++c)
            if (name.compare(QLatin1String(kColumns[c]), Qt::CaseInsensitive) == 0)
                known = c;
        if (known < 0 && name.compare(kTopic, Qt::CaseInsensitive) == 0)
            continue;
        if (known < 0)
            p.unknown.append(name.isEmpty() ? QStringLiteral("#%1").arg(i + 1) : name);
        else if (m_where[known] >= 0)
            p.twice.append(name);
        else
            m_where[known] = i;
    }
    for (int c = 0; c < 6; ++c)
        if (m_where[c] < 0)
            p.missing.append(QLatin1String(kColumns[c]));
    if (!p.missing.isEmpty() || !p.unknown.isEmpty() || !p.twice.isEmpty()) {
        p.kind = FileProblem::Kind::Header;
        return false;
    }
    return true;
}

bool Pass::readTable()
{
    // The questions the table holds already, as keys; on an import read in
    // the write transaction, after the table was locked.
    const bool ok = m_db.forEachQuestion(
        m_t,
        [&](const QList<db::Question> &page) {
            for (const db::Question &q : page)
                m_seen.emplace(keyOf(vn::decode(q.cauhoi, vn::Encoding::Vni)), Origin{q.id, 0});
            return true;
        },
        !m_write);
    if (!ok) {
        m_r.storeError = m_db.lastError();
        return false;
    }
    if (m_write) {
        const std::optional<qint64> next = m_db.nextId(m_t);
        if (!next) {
            m_r.storeError = m_db.lastError();
            return false;
        }
        m_nextId = *next;
    }
    return true;
}

std::optional<db::Question> Pass::checkRow(const csv::Reader &reader, bool &duplicate)
{
    const QStringList &fields = reader.fields();
    const qint64 row = reader.record();
    duplicate = false;
    m_rowFaulty = false;
    db::Question q;
    QString *stored[6] = {&q.cauhoi, &q.a, &q.b, &q.c, &q.d, &q.traloi};
    for (int c = 0; c < 6; ++c) {
        const int at = m_where[c];
        if (at >= fields.size()) {
            fault(row, at, FaultKind::Missing);
            continue;
        }
        const QString &text = fields.at(at);
        const std::optional<QString> legacy = c == kTraloi ? std::optional<QString>(text) : storable(text);
        for (const Fault &f : checkText(m_t, c, text, legacy))
            fault(row, at, f.kind, f.detail);
        *stored[c] = legacy ? *legacy : QString();
    }
    for (int i = m_width; i < fields.size(); ++i)
        if (!fields.at(i).isEmpty())
            fault(row, i, FaultKind::Beyond, fields.at(i));
    if (reader.droppedAValue())
        fault(row, kMaxFields, FaultKind::TooWide, QString::number(reader.fieldCount()));
    const bool faulty = m_rowFaulty;
    if (faulty)
        ++m_r.faultyRows;
    // A question seen before is a duplicate, whatever else is wrong with
    // either; the first one seen keeps its place.
    const int at = m_where[0];
    if (at < fields.size() && !fields.at(at).trimmed().isEmpty()) {
        const auto [it, fresh] = m_seen.try_emplace(keyOf(fields.at(at)), Origin{0, row});
        if (!fresh) {
            duplicate = true;
            ++m_r.duplicates;
            Fault f;
            f.row = row;
            f.column = columnName(at);
            f.kind = FaultKind::Duplicate;
            f.id = it->second.id;
            f.firstRow = it->second.row;
            keep(f);
        }
    }
    if (faulty)
        return std::nullopt;
    q.selected = false;
    return q;
}

bool Pass::flush()
{
    if (m_batch.isEmpty())
        return true;
    if (!m_db.insertQuestions(m_t, m_batch)) {
        m_r.storeError = m_db.lastError();
        return false;
    }
    m_r.written += m_batch.size();
    m_batch.clear();
    return true;
}

ImportResult Pass::run(const QString &path)
{
    using O = ImportResult::Outcome;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_r.problem.kind = FileProblem::Kind::CannotOpen;
        m_r.problem.detail = file.errorString();
        return done(O::BadFile);
    }
    csv::Reader reader(file, kMaxFields);
    if (!readHeader(reader))
        return done(O::BadFile);
    if (m_write) {
        if (!m_db.beginWrite(db::LockWait::Patient)) {
            m_r.storeError = m_db.lastError();
            return done(O::StoreFailed);
        }
        m_inWrite = true;
        if (!m_db.holdQuestionTable(m_t)) {
            m_r.storeError = m_db.lastError();
            return done(O::StoreFailed);
        }
    }
    if (!readTable())
        return done(O::StoreFailed);
    const qint64 total = file.size();
    bool refused = false; // a fault that keeps the file out: nothing more is written
    csv::Reader::Result res;
    while ((res = reader.next()) == csv::Reader::Result::Record) {
        if (blank(reader.fields()) && !reader.droppedAValue())
            continue;
        ++m_r.rows;
        bool duplicate = false;
        std::optional<db::Question> q = checkRow(reader, duplicate);
        refused = refused || !q || (duplicate && !m_skip);
        if (m_write && !refused && !duplicate) {
            q->id = m_nextId++;
            if (m_r.firstId == 0)
                m_r.firstId = q->id;
            m_batch.append(*q);
            if (m_batch.size() >= kWriteRows && !flush())
                return done(O::StoreFailed);
        }
        if (m_progress && m_r.rows % kProgressRows == 0 && !m_progress(reader.position(), total))
            return done(O::Stopped);
    }
    if (res == csv::Reader::Result::Bad) {
        m_r.problem = fromReader(reader);
        return done(O::BadFile);
    }
    if (m_r.rows == 0) {
        m_r.problem.kind = FileProblem::Kind::NoRows;
        return done(O::BadFile);
    }
    if (m_progress)
        m_progress(total, total);
    if (!m_write)
        return done(O::Checked);
    if (refused || m_r.rows == m_r.duplicates) {
        m_r.written = 0;
        m_r.firstId = 0;
        return done(O::Refused);
    }
    if (!flush())
        return done(O::StoreFailed);
    m_inWrite = false;
    if (!m_db.commit()) {
        m_r.storeError = m_db.lastError();
        m_r.written = 0;
        return done(O::StoreFailed);
    }
    return done(O::Imported);
}

} // namespace

std::optional<QString> storable(const QString &typed)
{
    if (typed.contains(QChar(0)))
        return std::nullopt;
    return vn::encode(typed, vn::Encoding::Vni);
}

QList<Fault> checkText(QuestionTable t, int column, const QString &typed, const std::optional<QString> &stored)
{
    QList<Fault> out;
    auto add = [&out](FaultKind kind, const QString &detail = QString()) {
        Fault f;
        f.kind = kind;
        f.detail = detail;
        out.append(f);
    };
    if (typed.trimmed().isEmpty()) {
        add(FaultKind::Empty);
        return out;
    }
    if (column == kTraloi) {
        const bool fits = t == QuestionTable::Thuthach   ? isOrder(typed)
                          : t == QuestionTable::Thungrac ? isOrder(typed) || isLetter(typed)
                                                         : isLetter(typed);
        if (!fits)
            add(t == QuestionTable::Thuthach   ? FaultKind::NotAnOrder
                : t == QuestionTable::Thungrac ? FaultKind::NotEither
                                               : FaultKind::NotALetter,
                typed);
        return out;
    }
    if (!stored) {
        const char32_t bad = typed.contains(QChar(0)) ? 0 : vn::firstUnstorable(typed, vn::Encoding::Vni);
        add(FaultKind::Unstorable, vn::describeCharacter(bad));
    }
    const qsizetype length = stored ? stored->size() : vn::encodeLossy(typed, vn::Encoding::Vni).size();
    if (length > db::kQuestionTextSize)
        add(FaultKind::TooLong, QString::number(length));
    return out;
}

QStringList faultLines(const ImportResult &r, QuestionTable t, Language lang, const QString &prefix)
{
    QStringList lines;
    for (const Fault &f : r.faults)
        lines << prefix + describe(f, t, lang);
    if (const qint64 more = r.faultCount - r.faults.size(); more > 0)
        lines << (lang == Language::English ? QStringLiteral("… and %1 more").arg(more)
                                            : QStringLiteral("… và %1 lỗi nữa").arg(more));
    return lines;
}

ImportResult checkFile(db::GameDb &db, QuestionTable t, const QString &path, const Progress &progress)
{
    return Pass(db, t, false, false, progress).run(path);
}

ImportResult importFile(db::GameDb &db, QuestionTable t, const QString &path, bool skipDuplicates,
                        const Progress &progress)
{
    return Pass(db, t, true, skipDuplicates, progress).run(path);
}

std::optional<QuestionTable> tableNamed(const QString &name)
{
    for (QuestionTable t : db::kAllQuestionTables)
        if (db::tableName(t).compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return std::nullopt;
}

// --- export -------------------------------------------------------------------

std::unique_ptr<QFileDevice> outputFile(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return std::make_unique<QFile>(path);
    return std::make_unique<QSaveFile>(path);
}

ExportResult exportFile(db::GameDb &db, QuestionTable t, const QString &path, const Progress &progress)
{
    ExportResult r;
    const std::unique_ptr<QFileDevice> file = outputFile(path);
    auto *whole = qobject_cast<QSaveFile *>(file.get());
    // Why the file could not be written. A file replaced whole knows it once
    // closed (a write that runs out of room half-way says no more than that
    // it failed): its commit after a failed write closes it, drops it and
    // leaves the file that was there.
    auto failed = [&] {
        if (whole && whole->isOpen())
            whole->commit();
        r.problem = file->errorString();
        r.diskFull = r.problem == qt_error_string(ENOSPC);
        return r;
    };
    if (!file->open(QIODevice::WriteOnly))
        return failed();
    csv::Writer out(*file);
    QStringList header;
    for (const char *c : kColumns)
        header << QLatin1String(c);
    bool written = out.begin() && out.write(header);
    const qint64 total = db.countQuestions(t).value_or(0);
    bool stopped = false;
    const bool read = db.forEachQuestion(t, [&](const QList<db::Question> &page) {
        for (const db::Question &q : page) {
            ++r.rows;
            const QString *stored[6] = {&q.cauhoi, &q.a, &q.b, &q.c, &q.d, &q.traloi};
            QStringList fields;
            for (int c = 0; c < 6; ++c) {
                fields << vn::decode(*stored[c], vn::Encoding::Vni);
                // Only a text with a byte above ASCII can change on its way back.
                const bool plain = std::all_of(stored[c]->cbegin(), stored[c]->cend(),
                                               [](QChar ch) { return ch.unicode() < 0x80; });
                if (!plain && vn::encode(fields.last(), vn::Encoding::Vni) != *stored[c]) {
                    Fault f;
                    f.row = r.rows + 1;
                    f.column = QLatin1String(kColumns[c]);
                    f.kind = FaultKind::NotExact;
                    f.id = q.id;
                    r.inexact.append(f);
                }
            }
            written = written && out.write(fields);
        }
        if (progress && !progress(r.rows, total)) {
            stopped = true;
            return false;
        }
        return written;
    });
    if (!written)
        return failed();
    if (!read || stopped) {
        if (whole)
            whole->cancelWriting();
        r.stopped = stopped;
        r.problem = stopped ? QStringLiteral("Stopped.") : db.lastError();
        return r;
    }
    if (whole ? !whole->commit() : !file->flush())
        return failed();
    r.ok = true;
    return r;
}

} // namespace csvbank
