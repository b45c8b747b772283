#pragma once
// The installation the database benchmarks measure on.

#include "gamedb.h"

#include <QSqlQuery>
#include <memory>

namespace bench {

// A connection of its own to the database at `location` (a file or a server's
// address), its background check done so that it does not run into a figure;
// null when it cannot be used.
inline std::unique_ptr<db::GameDb> opened(const QString &location)
{
    auto d = std::make_unique<db::GameDb>(QString());
    d->setLocation(location);
    if (!d->open().usable())
        return nullptr;
    d->waitForCheck();
    return d;
}

// n accounts and n questions in each level table, in one write; then ANALYZE.
inline bool fill(db::GameDb &d, int n)
{
    if (!d.beginWrite())
        return false;
    for (int i = 0; i < n; ++i) {
        db::Account a;
        a.nick = QStringLiteral("player%1").arg(i);
        a.pass = QStringLiteral("pw");
        a.sotien = QString::number((qint64(i) * 7919) % 1000000);
        a.solan = QStringLiteral("1");
        a.gio = QStringLiteral("0");
        a.phut = QStringLiteral("0");
        d.insertAccount(a);
    }
    for (db::QuestionTable t : {db::QuestionTable::Muc1, db::QuestionTable::Muc2, db::QuestionTable::Muc3}) {
        d.execute(QStringLiteral("DELETE FROM %1").arg(db::tableName(t)));
        for (int i = 1; i <= n; ++i) {
            db::Question q;
            q.id = i;
            q.cauhoi = QStringLiteral("Caâu hoûi soá %1 ?").arg(i);
            q.a = q.b = q.c = q.d = QStringLiteral("Ñaùp aùn");
            q.traloi = QStringLiteral("B");
            q.selected = i < 100;
            d.appendQuestion(t, q);
        }
    }
    if (!d.commit())
        return false;
    d.execute(QStringLiteral("ANALYZE"));
    return true;
}

// opened(location) with fill(n) done; null when either fails.
inline std::unique_ptr<db::GameDb> filled(const QString &location, int n)
{
    auto d = opened(location);
    if (!d || !fill(*d, n))
        return nullptr;
    return d;
}

} // namespace bench
