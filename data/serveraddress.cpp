#include "serveraddress.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace db {

namespace {

const QString kSchemes[] = {QStringLiteral("postgresql://"), QStringLiteral("postgres://")};

QString decoded(const QString &part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

} // namespace

bool isServerLocation(const QString &location)
{
    for (const QString &scheme : kSchemes)
        if (location.startsWith(scheme, Qt::CaseInsensitive))
            return true;
    return false;
}

std::optional<ServerAddress> ServerAddress::parse(const QString &text, QString *why)
{
    auto fail = [why](const QString &reason) -> std::optional<ServerAddress> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    QString rest;
    for (const QString &scheme : kSchemes)
        if (text.startsWith(scheme, Qt::CaseInsensitive))
            rest = text.mid(scheme.size());
    if (!isServerLocation(text))
        return fail(QStringLiteral("A server address starts with postgresql://."));

    ServerAddress a;
    // The user part ends at the last @: a password may hold one.
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = rest.left(at);
        rest = rest.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        a.user = decoded(colon < 0 ? userInfo : userInfo.left(colon));
        if (colon >= 0)
            a.password = decoded(userInfo.mid(colon + 1));
    }
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    const QString query = question < 0 ? QString() : rest.mid(question + 1);
    if (question >= 0)
        rest = rest.left(question);
    // The database name follows the last slash; before it, the host (a socket
    // folder may hold slashes of its own) and the port.
    const qsizetype slash = rest.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || slash == rest.size() - 1)
        return fail(QStringLiteral("The server address names no database (postgresql://USER@HOST/DBNAME)."));
    a.dbname = decoded(rest.mid(slash + 1));
    QString host = rest.left(slash);
    static const QRegularExpression withPort(QStringLiteral("^(.*):([0-9]{1,5})$"));
    if (const QRegularExpressionMatch m = withPort.match(host); m.hasMatch() && !m.captured(1).endsWith(QLatin1Char(':'))) {
        a.port = m.captured(2).toInt();
        host = m.captured(1);
        if (a.port < 1 || a.port > 65535)
            return fail(QStringLiteral("The port of the server address is not a port number."));
    }
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    a.host = decoded(host);
    if (!a.host.isEmpty() && !a.host.startsWith(QLatin1Char('/'))
        && a.host.contains(QRegularExpression(QStringLiteral("[\\s/;='\\\\]"))))
        return fail(QStringLiteral("The host of the server address is not a host name."));
    static const QRegularExpression option(QStringLiteral("^([a-z_]+)=([A-Za-z0-9_.:/+-]*)$"));
    QStringList options;
    for (const QString &pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = option.match(decoded(pair));
        if (!m.hasMatch())
            return fail(QStringLiteral("The server address has a setting that cannot be used: %1")
                            .arg(m.captured(1).isEmpty() ? pair.section(QLatin1Char('='), 0, 0) : m.captured(1)));
        options << m.captured(0);
    }
    a.options = options.join(QLatin1Char(';'));
    return a;
}

QString ServerAddress::display() const
{
    QString s = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        s += user + QLatin1Char('@');
    s += host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('/')) ? QLatin1Char('[') + host + QLatin1Char(']')
                                                                              : host;
    if (port)
        s += QLatin1Char(':') + QString::number(port);
    s += QLatin1Char('/') + dbname;
    if (!options.isEmpty())
        s += QLatin1Char('?') + QString(options).replace(QLatin1Char(';'), QLatin1Char('&'));
    return s;
}

QString ServerAddress::scrub(QString text) const
{
    if (password.isEmpty())
        return text;
    const QString encoded = QString::fromUtf8(QUrl::toPercentEncoding(password));
    text.replace(password, QStringLiteral("***"));
    if (encoded != password)
        text.replace(encoded, QStringLiteral("***"));
    return text;
}

QString displayLocation(const QString &location)
{
    if (!isServerLocation(location))
        return location;
    if (const std::optional<ServerAddress> a = ServerAddress::parse(location))
        return a->display();
    // Not an address that can be read: show nothing of what may be a password.
    const qsizetype at = location.lastIndexOf(QLatin1Char('@'));
    const qsizetype scheme = location.indexOf(QLatin1String("://")) + 3;
    return at < 0 ? location : location.left(scheme) + QStringLiteral("***") + location.mid(at);
}

} // namespace db
