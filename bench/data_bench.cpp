// Database figures at scale: 100,000 accounts, 10,000 questions.

#include "benchtiming.h"
#include "gamedb.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using bench::measure;
using bench::report;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    db::GameDb d(dir.path());
    if (!d.open().usable())
        return 1;

    d.beginWrite();
    for (int i = 0; i < 100000; ++i) {
        db::Account a;
        a.nick = QStringLiteral("player%1").arg(i);
        a.pass = QStringLiteral("pw");
        a.sotien = QString::number((i * 7919) % 1000000);
        a.solan = QStringLiteral("1");
        d.insertAccount(a);
    }
    const db::QuestionTable t = db::QuestionTable::Muc1;
    for (const auto &q : d.questions(t))
        d.deleteQuestionsWithId(t, q.id);
    for (int i = 1; i <= 10000; ++i) {
        db::Question q;
        q.id = i;
        q.cauhoi = QStringLiteral("Caâu hoûi soá %1 ?").arg(i);
        q.a = q.b = q.c = q.d = QStringLiteral("Ñaùp aùn");
        q.traloi = QStringLiteral("B");
        d.appendQuestion(t, q);
    }
    d.commit();
    QSqlQuery(d.connection()).exec(QStringLiteral("ANALYZE"));

    int k = 0;
    report("nick lookup among 100,000 accounts", measure(201, [&] {
        d.findAccount(QStringLiteral("PLAYER%1").arg((k++ * 37) % 100000));
    }), 2);
    report("top five over 100,000 accounts", measure(101, [&] { d.richestAccounts(5); }), 2);
    report("last ID of a 10,000-question table", measure(201, [&] { d.lastId(t); }), 2);
    report("positioned read in a 10,000-question table", measure(201, [&] {
        d.questionAt(t, (k++ * 7919) % 10000);
    }), 2);
    // Delete the first of 10,000 rows: all 9,999 others take a new ID.
    QList<double> runs;
    for (int r = 0; r < 5; ++r) {
        d.beginWrite();
        QSqlQuery(d.connection()).exec(QStringLiteral("DELETE FROM muc1"));
        for (int i = 1; i <= 10000; ++i) {
            db::Question q;
            q.id = i;
            q.cauhoi = QStringLiteral("Caâu hoûi soá %1 ?").arg(i);
            d.appendQuestion(t, q);
        }
        d.commit();
        QElapsedTimer c;
        c.start();
        d.deleteAndRenumber(t, 1);
        runs.append(c.nsecsElapsed() / 1e6);
        if (d.lastId(t) != 9999)
            std::printf("renumbering went wrong\n");
    }
    std::sort(runs.begin(), runs.end());
    const double renumber = runs[runs.size() / 2];
    report("delete + renumber 10,000 rows (one transaction)", renumber, 300);
    return 0;
}
