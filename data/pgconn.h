#pragma once
// A connection to a PostgreSQL server through its client library, libpq: the
// little the server store needs of it. Every value travels as a parameter
// of the extended protocol, never inside a statement's text, so that
// neither the server's list of sessions (pg_stat_activity) nor its log of
// failed statements ever holds one: a statement is written with `?` where a
// value goes (made $1, $2, ... here) and prepared once per connection by
// name. Notices are kept quiet (the library would print them).

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>
#include <unordered_map>

struct pg_conn;
struct pg_result;

namespace db::pg {

// A statement's answer, read a row at a time as a query is: next(), then
// value(i). Values come typed as the server gave them: a boolean as bool,
// whole numbers as qint64, everything else as text; NULL as a null QVariant.
class Result {
public:
    Result() = default;
    explicit Result(pg_result *result);

    // The statement ran (with or without rows).
    bool ok() const { return m_ok; }
    // The server's code of its error (SQLSTATE); empty when the statement
    // never reached it or the connection failed.
    QString sqlState() const { return m_state; }
    QString error() const { return m_error; }

    int size() const;
    int columns() const;
    // To the next row; false past the last.
    bool next();
    QVariant value(int column) const;
    // The rows a command changed (UPDATE, DELETE, INSERT).
    qint64 affected() const;

private:
    std::shared_ptr<pg_result> m_result;
    bool m_ok = false;
    QString m_state, m_error;
    int m_row = -1;
};

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens a connection with these settings of the client library (host,
    // port, user, password, dbname, sslmode...), each given apart: nothing is
    // quoted into a text. `why`: the library's reason when it fails.
    bool open(const QList<QPair<QString, QString>> &settings, QString &why);
    void close();
    bool isOpen() const;
    // Whether the library found the connection broken.
    bool broken() const;
    // The connection's socket (for a watchdog), -1 when closed.
    int socket() const;
    // The library's last word on the connection itself.
    QString lastMessage() const;

    // Statements without values, as text: several may be joined with ";".
    Result exec(const QString &sql);
    // A statement with values: prepared on this connection once (by a name
    // of its own) and run with the values as its parameters.
    Result run(const QString &sql, const QVariantList &values);
    // The same without keeping it prepared (a statement run once).
    Result runOnce(const QString &sql, const QVariantList &values);

    // The payloads of the notifications on `channel` that have come so far,
    // read without waiting.
    QStringList notifications(const QString &channel);

private:
    pg_conn *m_conn = nullptr;
    std::unordered_map<QString, QByteArray> m_prepared; // statement -> its name
};

// sql with its placeholders `?` numbered as PostgreSQL wants them ($1, $2,
// ...): a `?` inside quotes or a quoted name is left alone.
QString numbered(const QString &sql);

} // namespace db::pg
