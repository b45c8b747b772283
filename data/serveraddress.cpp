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
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    const QString query = question < 0 ? QString() : rest.mid(question + 1);
    if (question >= 0)
        rest = rest.left(question);
    // The database name follows the last slash; before it, the user part,
    // the host (a socket folder may hold slashes of its own) and the port.
    const qsizetype slash = rest.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || slash == rest.size() - 1)
        return fail(QStringLiteral("The server address names no database (postgresql://USER@HOST/DBNAME)."));
    a.dbname = decoded(rest.mid(slash + 1));
    QString authority = rest.left(slash);
    // The user part ends at an @ before the host: the one a socket folder
    // follows, else the last (a password may hold an @, or a slash, written
    // plain). Where the address has no @ of its own but a percent-encoded one
    // (a password whose @ was encoded with the rest of it), that one ends it:
    // a password is never taken for a host, to be shown or sent as one.
    QString userInfo;
    bool userInfoDecoded = false;
    qsizetype at = authority.indexOf(QLatin1String("@/"));
    if (at < 0)
        at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        userInfo = authority.left(at);
        authority = authority.mid(at + 1);
    } else if (const QString plain = decoded(authority.section(QLatin1Char('/'), 0, 0)); plain.contains(QLatin1Char('@'))) {
        const qsizetype decodedAt = plain.lastIndexOf(QLatin1Char('@'));
        userInfo = plain.left(decodedAt);
        userInfoDecoded = true;
        authority = QString::fromUtf8(QUrl::toPercentEncoding(plain.mid(decodedAt + 1), "/:[]"))
                    + authority.mid(authority.section(QLatin1Char('/'), 0, 0).size());
    }
    if (!userInfo.isNull()) {
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        const QString user = colon < 0 ? userInfo : userInfo.left(colon);
        const QString password = colon < 0 ? QString() : userInfo.mid(colon + 1);
        a.user = userInfoDecoded ? user : decoded(user);
        a.password = userInfoDecoded ? password : decoded(password);
    }
    QString host = authority;
    static const QRegularExpression withPort(QStringLiteral("^(.*):([0-9]{1,5})$"));
    if (const QRegularExpressionMatch m = withPort.match(host); m.hasMatch() && !m.captured(1).endsWith(QLatin1Char(':'))) {
        a.port = m.captured(2).toInt();
        host = m.captured(1);
        if (a.port < 1 || a.port > 65535)
            return fail(QStringLiteral("The port of the server address is not a port number."));
    }
    const bool bracketed = host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'));
    if (bracketed)
        host = host.mid(1, host.size() - 2);
    a.host = decoded(host);
    if (!a.host.isEmpty() && !a.host.startsWith(QLatin1Char('/'))
        && (a.host.contains(QRegularExpression(QStringLiteral("[\\s/;='\\\\@]")))
            || (a.host.contains(QLatin1Char(':')) && !bracketed)))
        return fail(QStringLiteral("The host of the server address is not a host name."));
    // Settings: a secret one (its name decoded first, in any letter case) is
    // kept apart and never shown; any other must be a plain name and value.
    static const QRegularExpression name(QStringLiteral("^[a-z_]+$"));
    static const QRegularExpression value(QStringLiteral("^[A-Za-z0-9_.:/+-]*$"));
    static const QRegularExpression shownName(QStringLiteral("^[A-Za-z_]{1,40}$"));
    QStringList options;
    for (const QString &pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const QString key = decoded(pair.section(QLatin1Char('='), 0, 0));
        const QString setting = decoded(pair.section(QLatin1Char('='), 1));
        const QString lower = key.toLower();
        if (lower == QLatin1String("password")) {
            a.password = setting;
            continue;
        }
        if (lower == QLatin1String("sslpassword")) {
            a.secrets.append({lower, setting});
            continue;
        }
        if (!name.match(key).hasMatch() || !value.match(setting).hasMatch())
            return fail(QStringLiteral("The server address has a setting that cannot be used%1")
                            .arg(shownName.match(key).hasMatch() ? QStringLiteral(": ") + key : QStringLiteral(".")));
        options << key + QLatin1Char('=') + setting;
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
    QStringList hidden{password};
    for (const auto &secret : secrets)
        hidden << secret.second;
    for (const QString &h : hidden) {
        if (h.isEmpty())
            continue;
        const QString encoded = QString::fromUtf8(QUrl::toPercentEncoding(h));
        text.replace(h, QStringLiteral("***"));
        if (encoded != h)
            text.replace(encoded, QStringLiteral("***"));
    }
    return text;
}

QList<QPair<QString, QString>> ServerAddress::settings() const
{
    QList<QPair<QString, QString>> out;
    for (const QString &o : options.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out.append({o.section(QLatin1Char('='), 0, 0), o.section(QLatin1Char('='), 1)});
    return out + secrets;
}

QString displayLocation(const QString &location)
{
    if (!isServerLocation(location))
        return location;
    if (const std::optional<ServerAddress> a = ServerAddress::parse(location))
        return a->display();
    // Not an address that can be read: nothing of what may hold a password
    // (all before an @) nor of the settings (which may too); the database's
    // name only where an @ ends the part that may.
    const qsizetype scheme = location.indexOf(QLatin1String("://")) + 3;
    QString rest = location.mid(scheme);
    rest = rest.left(rest.indexOf(QLatin1Char('?')) < 0 ? rest.size() : rest.indexOf(QLatin1Char('?')));
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    const qsizetype slash = rest.lastIndexOf(QLatin1Char('/'));
    return location.left(scheme) + QStringLiteral("***") + (at >= 0 && slash > at ? rest.mid(slash) : QString());
}

} // namespace db
