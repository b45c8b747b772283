#include "pgconn.h"

#include <libpq-fe.h>

#include <vector>

namespace db::pg {

namespace {

// The server's types the store reads as something else than text.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26;

void quiet(void *, const char *) {}

// A value as the server reads a parameter of text format; null for NULL.
QByteArray parameter(const QVariant &v, bool &isNull)
{
    isNull = v.isNull();
    if (isNull)
        return QByteArray();
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? QByteArrayLiteral("t") : QByteArrayLiteral("f");
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return QByteArray::number(v.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
        return QByteArray::number(v.toULongLong());
    case QMetaType::Double:
        return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::QByteArray:
        return v.toByteArray();
    default:
        return v.toString().toUtf8();
    }
}

} // namespace

QString numbered(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    QChar quote;
    int n = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
            out += c;
        } else if (c == u'?') {
            out += QLatin1Char('$') + QString::number(++n);
        } else {
            out += c;
        }
    }
    return out;
}

// --- Result ------------------------------------------------------------------

Result::Result(pg_result *result) : m_result(result, PQclear)
{
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    m_ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!m_ok && result) {
        m_state = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
        m_error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    }
}

int Result::size() const
{
    return m_result ? PQntuples(m_result.get()) : 0;
}

int Result::columns() const
{
    return m_result ? PQnfields(m_result.get()) : 0;
}

bool Result::next()
{
    if (m_row + 1 >= size())
        return false;
    ++m_row;
    return true;
}

QVariant Result::value(int column) const
{
    PGresult *r = m_result.get();
    if (!r || m_row < 0 || m_row >= PQntuples(r) || column < 0 || column >= PQnfields(r)
        || PQgetisnull(r, m_row, column))
        return QVariant();
    const char *text = PQgetvalue(r, m_row, column);
    switch (PQftype(r, column)) {
    case kBool:
        return QVariant(text[0] == 't');
    case kInt8:
    case kInt2:
    case kInt4:
    case kOid:
        return QVariant(QByteArray(text).toLongLong());
    default: {
        const int length = PQgetlength(r, m_row, column);
        // An empty text is a text, not NULL.
        return QVariant(length == 0 ? QString(QLatin1String("")) : QString::fromUtf8(text, length));
    }
    }
}

qint64 Result::affected() const
{
    return m_result ? QByteArray(PQcmdTuples(m_result.get())).toLongLong() : 0;
}

// --- Connection ---------------------------------------------------------------

Connection::~Connection()
{
    close();
}

bool Connection::open(const QList<QPair<QString, QString>> &settings, QString &why)
{
    close();
    std::vector<QByteArray> keys, values;
    for (const auto &[key, value] : settings) {
        keys.push_back(key.toUtf8());
        values.push_back(value.toUtf8());
    }
    std::vector<const char *> k, v;
    for (size_t i = 0; i < keys.size(); ++i) {
        k.push_back(keys[i].constData());
        v.push_back(values[i].constData());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    m_conn = PQconnectdbParams(k.data(), v.data(), 0);
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        why = m_conn ? QString::fromUtf8(PQerrorMessage(m_conn)).trimmed() : QStringLiteral("Out of memory.");
        close();
        return false;
    }
    PQsetNoticeProcessor(m_conn, quiet, nullptr);
    return true;
}

void Connection::close()
{
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
    m_prepared.clear();
}

bool Connection::isOpen() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

bool Connection::broken() const
{
    return !m_conn || PQstatus(m_conn) == CONNECTION_BAD;
}

int Connection::socket() const
{
    return m_conn ? PQsocket(m_conn) : -1;
}

QString Connection::lastMessage() const
{
    return m_conn ? QString::fromUtf8(PQerrorMessage(m_conn)).trimmed() : QString();
}

Result Connection::exec(const QString &sql)
{
    if (!m_conn)
        return Result();
    return Result(PQexec(m_conn, sql.toUtf8().constData()));
}

namespace {

struct Parameters {
    std::vector<QByteArray> bytes;
    std::vector<const char *> pointers;
    std::vector<int> lengths;

    explicit Parameters(const QVariantList &values)
    {
        bytes.reserve(size_t(values.size()));
        for (const QVariant &v : values) {
            bool isNull = false;
            bytes.push_back(parameter(v, isNull));
            pointers.push_back(isNull ? nullptr : bytes.back().constData());
            lengths.push_back(int(bytes.back().size()));
        }
    }
};

} // namespace

Result Connection::run(const QString &sql, const QVariantList &values)
{
    if (!m_conn)
        return Result();
    auto it = m_prepared.find(sql);
    if (it == m_prepared.end()) {
        const QByteArray name = "lontaris_" + QByteArray::number(qulonglong(m_prepared.size() + 1));
        Result prepared(PQprepare(m_conn, name.constData(), numbered(sql).toUtf8().constData(), 0, nullptr));
        if (!prepared.ok())
            return prepared;
        it = m_prepared.emplace(sql, name).first;
    }
    const Parameters p(values);
    return Result(PQexecPrepared(m_conn, it->second.constData(), int(p.pointers.size()), p.pointers.data(),
                                 p.lengths.data(), nullptr, 0));
}

Result Connection::runOnce(const QString &sql, const QVariantList &values)
{
    if (!m_conn)
        return Result();
    const Parameters p(values);
    return Result(PQexecParams(m_conn, numbered(sql).toUtf8().constData(), int(p.pointers.size()), nullptr,
                               p.pointers.data(), p.lengths.data(), nullptr, 0));
}

QStringList Connection::notifications(const QString &channel)
{
    QStringList out;
    if (!m_conn)
        return out;
    PQconsumeInput(m_conn);
    const QByteArray wanted = channel.toUtf8();
    while (PGnotify *n = PQnotifies(m_conn)) {
        if (wanted == n->relname)
            out << QString::fromUtf8(n->extra);
        PQfreemem(n);
    }
    return out;
}

} // namespace db::pg
