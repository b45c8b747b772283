// Every data-layer operation on the two backends side by side: the SQLite file
// (the baseline, measured in the same run) and a PostgreSQL server on this
// machine, reached through its Unix socket. The server is one of the bench's
// own (initdb in a temporary folder, fsync on, as a real server has it).
//
// Single operations run on an installation of 10,000 accounts and 10,000
// questions per level; then delete + renumber of a 10,000-row table, the copy
// of a 100,000-row installation, and the saves per second of 20 machines
// saving at once. Goals: the server within 3x of the file for single
// operations; 20 machines at least 500 saves per second together. The
// server's writes wait for the commit to reach its disk, which the file's
// (WAL, synchronous=NORMAL) do not: the writes are also measured on a copy
// whose commits are not waited for (synchronous_commit = off), the like
// for like of the file.

#include "backend.h"
#include "benchfill.h"
#include "benchtiming.h"
#include "gamedb.h"
#include "pgserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>
#include <vector>

using bench::measure;
using bench::opened;
using bench::measureAfter;
using bench::timeOnce;
using db::QuestionTable;

namespace {

struct Figure {
    const char *what;
    double file = 0, server = 0;
    double goal = 3; // the server within this many times the file; 0: none
};

void print(const Figure &f)
{
    const double ratio = f.file > 0 ? f.server / f.file : 0;
    std::printf("%-46s %10.3f ms %10.3f ms  %6.2fx", f.what, f.file, f.server, ratio);
    if (f.goal > 0)
        std::printf("   goal <= %gx: %s", f.goal, ratio <= f.goal ? "ok" : "SLOW");
    std::printf("\n");
    std::fflush(stdout);
}

// Saves per second of `clients` machines saving at once for `seconds`, each
// on its own account (or on one of five, shared).
double savesPerSecond(const QString &location, int clients, int accounts, double seconds)
{
    std::atomic<bool> go{false}, stop{false};
    std::atomic<int> ready{0};
    std::atomic<long> saves{0}, failed{0};
    std::vector<std::thread> machines;
    for (int c = 0; c < clients; ++c) {
        machines.emplace_back([&, c] {
            const auto d = opened(location);
            ++ready;
            if (!d)
                return;
            while (!go)
                std::this_thread::yield();
            const QString nick = QStringLiteral("player%1").arg(c % accounts);
            while (!stop) {
                const db::WriteStatus s = d->saveGameEnd(nick, {QStringLiteral("100"), {}, 1}, db::LockRow()).status;
                (s == db::WriteStatus::Done ? saves : failed) += 1;
            }
        });
    }
    while (ready < clients)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    QElapsedTimer clock;
    clock.start();
    go = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(int(seconds * 1000)));
    stop = true;
    for (auto &m : machines)
        m.join();
    const double elapsed = clock.nsecsElapsed() / 1e9;
    if (failed)
        std::printf("  (%ld saves failed)\n", failed.load());
    return saves / elapsed;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Read through `| head`, the bench still runs to its end and stops its server.
    std::signal(SIGPIPE, SIG_IGN);
    if (const QString why = testkit::PgServer::unavailable(); !why.isEmpty()) {
        std::printf("%s\n", qPrintable(why));
        return 0;
    }
    testkit::PgServer server(true);
    if (!server.start()) {
        std::fprintf(stderr, "the bench server does not start: %s\n", qPrintable(server.error()));
        return 1;
    }
    QTemporaryDir dir;
    constexpr int n = 10000;
    const QString file = dir.filePath(QStringLiteral("bench.db"));
    if (!bench::filled(file, n))
        return 1;
    const QString pg = server.createDatabase(QStringLiteral("bench"));
    if (const db::CopyResult r = db::copyInstallation(file, pg); !r.ok) {
        std::fprintf(stderr, "cannot copy to the server: %s\n", qPrintable(r.detail));
        return 1;
    }
    server.exec(QStringLiteral("bench"), {QStringLiteral("VACUUM ANALYZE")});
    server.exec(QStringLiteral("postgres"), {QStringLiteral("CREATE DATABASE bench_lazy TEMPLATE bench"),
                                             QStringLiteral("ALTER DATABASE bench_lazy SET synchronous_commit = off")});

    std::printf("%d accounts and %d questions per level; the file is the baseline\n", n, n);
    std::printf("%-46s %13s %13s  %7s\n", "", "file", "server", "server/file");
    QList<Figure> figures;
    auto both = [&](const char *what, double goal, const std::function<double(db::GameDb &)> &f) {
        Figure fig{what, 0, 0, goal};
        for (const QString &location : {file, pg}) {
            const auto d = opened(location);
            (location == file ? fig.file : fig.server) = f(*d);
        }
        print(fig);
        figures.append(fig);
    };
    // The same writes on a copy of the server database whose commits are not
    // waited for (synchronous_commit = off): the durability of the file,
    // whose WAL is not flushed at each commit either.
    const QString lazy = server.url(QStringLiteral("bench_lazy"));
    auto lazyToo = [&](const char *what, const std::function<double(db::GameDb &)> &f) {
        Figure fig{what, 0, 0, 3};
        fig.file = figures.last().file;
        fig.server = f(*opened(lazy));
        print(fig);
    };
    both("open an existing database", 0, [&](db::GameDb &d) {
        const QString location = d.isServer() ? pg : file;
        return measure(11, [&] {
            db::GameDb again{QString()};
            again.setLocation(location);
            again.open(); // the file's whole check goes on behind
        });
    });
    both("question draw (count + row at a position)", 3, [&](db::GameDb &d) {
        int k = 0;
        return measure(501, [&] {
            const int count = d.questionCount(QuestionTable::Muc1);
            d.questionAt(QuestionTable::Muc1, (qint64(k++) * 7919) % count);
        });
    });
    both("nick lookup", 3, [&](db::GameDb &d) {
        int k = 0;
        return measure(501, [&] { d.findAccount(QStringLiteral("PLAYER%1").arg((k++ * 37) % n)); });
    });
    // As the game does it: the briefing has read the account when it loaded
    // (untimed), then the fee is saved.
    const auto fee = [&](db::GameDb &d) {
        int k = 0;
        QString nick;
        return measureAfter(
            201, [&] { d.findAccount(nick = QStringLiteral("player%1").arg((k++ * 37) % n)); },
            [&] { d.addToAccount(nick, {QStringLiteral("-1000"), QStringLiteral("1"), 0}); });
    };
    both("entry fee saved (account read at load)", 3, fee);
    lazyToo("  the same, commits not waited for", fee);
    const auto gameEnd = [&](db::GameDb &d) {
        int k = 0;
        QString nick;
        db::LockRow lock;
        return measureAfter(
            201, [&] { d.findAccount(nick = QStringLiteral("player%1").arg((k++ * 37) % n)); },
            [&] {
                lock.hienten = QString::number(k % 2); // the switches change every other save
                d.saveGameEnd(nick, {QStringLiteral("5000"), {}, 7}, lock);
            });
    };
    both("game end saved (winnings, time, switches)", 3, gameEnd);
    lazyToo("  the same, commits not waited for", gameEnd);
    const auto unread = [&](db::GameDb &d) {
        int k = 0;
        return measure(201, [&] {
            d.addToAccount(QStringLiteral("player%1").arg((k++ * 37 + 5) % n), {QStringLiteral("-1000"), QStringLiteral("1"), 0});
        });
    };
    both("entry fee saved, the account not read before", 3, unread);
    lazyToo("  the same, commits not waited for", unread);
    both("top five", 3, [&](db::GameDb &d) { return measure(201, [&] { d.richestAccounts(5); }); });
    // The game's own operations, as a player's machine makes them (on the
    // server: calls of its functions, which check what they are asked). The
    // server checks a password against its bcrypt hash, which is slow on
    // purpose; the file compares the text.
    both("log in (password checked)", 0, [&](db::GameDb &d) {
        int k = 0;
        return measure(51, [&] { d.logIn(QStringLiteral("player%1").arg((k++ * 37) % n), QStringLiteral("pw")); });
    });
    both("a game: fee, then its end saved (logged in)", 3, [&](db::GameDb &d) {
        const QString nick = QStringLiteral("player7");
        d.logIn(nick, QStringLiteral("pw"));
        return measure(101, [&] {
            d.payFee(nick);
            d.endGame(nick, {QStringLiteral("1000"), {}, 0}, db::LockRow());
        });
    });
    both("top five (nicks and money only)", 3, [&](db::GameDb &d) { return measure(201, [&] { d.topFive(); }); });
    both("editor's list page (40 rows)", 3, [&](db::GameDb &d) {
        int k = 0;
        return measure(201, [&] { d.questionsFrom(QuestionTable::Muc2, (k++ * 997) % (n - 40), 40); });
    });
    const auto append = [&](db::GameDb &d) {
        db::Question q;
        q.cauhoi = QStringLiteral("Caâu hoûi môùi");
        return measure(51, [&] { d.appendAtEnd(QuestionTable::Muc3, q); });
    };
    both("append a question at the end", 3, append);
    lazyToo("  the same, commits not waited for", append);
    const auto renumber = [&](db::GameDb &d) {
        const qint64 before = d.questionCount(QuestionTable::Muc2);
        const double ms = measure(7, [&] { d.deleteAndRenumber(QuestionTable::Muc2, 1); });
        if (d.lastId(QuestionTable::Muc2) != before - 7 || d.questionAt(QuestionTable::Muc2, 0)->id != 1)
            std::printf("  renumbering went wrong\n");
        return ms;
    };
    both("delete the first of 10,000 questions + renumber", 3, renumber);
    lazyToo("  the same, commits not waited for", renumber);

    // A pupil's save while the editor removes and renumbers all the time: on
    // the file it waits for the whole renumbering (one write lock); on the
    // server it never waits for it (the renumbering locks only its table).
    {
        Figure longest{"longest save while the editor renumbers", 0, 0, 3};
        Figure typical{"median save while the editor renumbers", 0, 0, 3};
        for (const QString &location : {file, pg}) {
            std::atomic<bool> stop{false};
            std::thread editor([&] {
                const auto e = opened(location);
                while (e && !stop)
                    e->deleteAndRenumber(QuestionTable::Muc3, 1);
            });
            const auto d = opened(location);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            QList<double> t;
            for (int i = 0; i < 100; ++i) {
                const QString nick = QStringLiteral("player%1").arg(i);
                d->findAccount(nick);
                t.append(timeOnce([&] { d->saveGameEnd(nick, {QStringLiteral("100"), {}, 1}, db::LockRow()); }));
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
            stop = true;
            editor.join();
            std::sort(t.begin(), t.end());
            (location == file ? longest.file : longest.server) = t.last();
            (location == file ? typical.file : typical.server) = t[t.size() / 2];
        }
        print(typical);
        print(longest);
    }

    // The copy of a 100,000-row installation (100,000 accounts and 100,000
    // questions per level), from the file to a new file (baseline), to the
    // server, and from the server back to a file.
    constexpr int big = 100000;
    const QString bigFile = dir.filePath(QStringLiteral("big.db"));
    {
        const auto d = bench::filled(bigFile, big);
        if (!d)
            return 1;
        // Passwords as a copy back from a server leaves them (bcrypt hashes,
        // which a server keeps as they are): the copy measures the moving of
        // rows. Hashing passwords as typed is measured on its own below.
        QSqlQuery q(d->connection());
        if (!q.exec(QStringLiteral("UPDATE hoso SET pass = '$2a$06$abcdefghijklmnopqrstuuXOw8daVruAKMR3X3ty3bsuEmsp0E2Ba'")))
            return 1;
    }
    auto timedCopy = [](const QString &from, const QString &to) {
        db::CopyResult r;
        const double ms = timeOnce([&] { r = db::copyInstallation(from, to); });
        if (!r.ok)
            std::printf("  copy failed: %s\n", qPrintable(r.detail));
        return ms;
    };
    Figure copyTo{"copy 100,000 rows a table: file -> file | server", 0, 0, 3};
    copyTo.file = timedCopy(bigFile, dir.filePath(QStringLiteral("copy.db")));
    const QString bigPg = server.createDatabase(QStringLiteral("big"));
    copyTo.server = timedCopy(bigFile, bigPg);
    print(copyTo);
    Figure copyBack{"copy 100,000 rows a table: file | server -> file", 0, 0, 3};
    copyBack.file = timedCopy(bigFile, dir.filePath(QStringLiteral("copy2.db")));
    copyBack.server = timedCopy(bigPg, dir.filePath(QStringLiteral("back.db")));
    print(copyBack);
    {
        // A copy in of passwords as typed hashes each (bcrypt, cost 6), on purpose slow.
        constexpr int plain = 1000;
        const QString plainFile = dir.filePath(QStringLiteral("plain.db"));
        const auto d = bench::filled(plainFile, plain);
        if (!d)
            return 1;
        Figure hashing{"copy 1,000 rows a table, passwords as typed", 0, 0, 0};
        hashing.file = timedCopy(plainFile, dir.filePath(QStringLiteral("plain2.db")));
        hashing.server = timedCopy(plainFile, server.createDatabase(QStringLiteral("plain")));
        print(hashing);
    }

    std::printf("\n%-46s %13s %13s  %7s\n", "saves per second, all machines together", "file", "server", "");
    for (auto [clients, accounts] : {std::pair{20, 20}, std::pair{20, 5}}) {
        const double onFile = savesPerSecond(file, clients, accounts, 3);
        const double onServer = savesPerSecond(pg, clients, accounts, 3);
        const QString what = QStringLiteral("%1 machines, %2 accounts").arg(clients).arg(accounts);
        std::printf("%-46s %10.0f /s %10.0f /s   goal >= 500/s: %s\n", qPrintable(what), onFile, onServer,
                    onServer >= 500 ? "ok" : "SLOW");
    }
    return 0;
}
