#include "passwordhash.h"

#include <QByteArray>
#include <QRegularExpression>
#include <crypt.h>
#include <cstring>
#include <memory>

namespace db {

bool isPasswordHash(const QString &stored)
{
    static const QRegularExpression bcrypt(QStringLiteral("^\\$2[abxy]\\$[0-9]{2}\\$[./A-Za-z0-9]{53}$"));
    return bcrypt.match(stored).hasMatch();
}

bool passwordMatches(const QString &stored, const QString &typed)
{
    if (stored.isNull())
        return false;
    if (!isPasswordHash(stored))
        return stored == typed;
    const QByteArray setting = stored.toLatin1();
    const QByteArray phrase = typed.toUtf8();
    auto data = std::make_unique<crypt_data>();
    std::memset(data.get(), 0, sizeof(crypt_data));
    const char *hashed = crypt_r(phrase.constData(), setting.constData(), data.get());
    // A failed crypt_r gives a text that starts with '*', never the setting.
    return hashed && hashed[0] != '*' && setting == QByteArray(hashed);
}

} // namespace db
