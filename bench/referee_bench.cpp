// A verdict's round trip when the class's server referees the game, beside
// the game refereeing itself on the file (the baseline, measured in the same
// run): one game at a time, then 40 games answering at once against one
// server (median and 99th percentile; goal: 99th percentile under 50 ms), and
// what a whole game costs the server (its calls, their time, the rows it
// keeps). The server is one of the bench's own, fsync on, as a real one.

#include "answerstats.h"
#include "benchfill.h"
#include "gamedb.h"
#include "referee/localreferee.h"
#include "pgserver.h"
#include "referee/serverreferee.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <barrier>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Spread {
    double median = 0, p99 = 0;
};

Spread spreadOf(std::vector<double> t)
{
    if (t.empty())
        return {};
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t[std::min(t.size() - 1, size_t(double(t.size()) * 0.99))]};
}

double msSince(const QElapsedTimer &c)
{
    return double(c.nsecsElapsed()) / 1e6;
}

// Plays `games` whole games with r as `nick` (every answer right, the three
// lifelines on the first questions; the fifteenth right answer wins and the end
// pays the top prize), adding each verdict's round trip to `verdicts` and
// each game's time in the referee to `whole`. `together`: waited at before
// each verdict, so that every machine confirms its answer at the same moment.
// The right answers: from `answers` (by the question's fingerprint), as a
// player who knows them, or else asked of the referee.
using Answers = QHash<QString, QString>;
void play(referee::Referee &r, const QString &nick, int games, std::vector<double> &verdicts,
          std::vector<double> *whole = nullptr, std::atomic<int> *failed = nullptr,
          std::barrier<> *together = nullptr, const Answers *answers = nullptr)
{
    for (int g = 0; g < games; ++g) {
        double spent = 0;
        QElapsedTimer c;
        c.start();
        const bool paid = r.payFee(nick, db::LockWait::Patient).status == db::WriteStatus::Done;
        if (!paid && failed)
            ++*failed;
        spent += msSince(c);
        for (int n = 1; n <= 15; ++n) {
            c.restart();
            const referee::Question q = paid ? r.nextQuestion(1) : referee::Question{};
            if (q.outcome != referee::Outcome::Done) {
                if (together) // the others' verdicts are not held up
                    together->arrive_and_wait();
                continue;
            }
            if (n == 1)
                r.fiftyFifty();
            if (n == 2)
                r.phoneFriend();
            if (n == 3)
                r.askAudience();
            spent += msSince(c);
            const referee::Texts &t = q.texts;
            const QString right = answers && q.fresh
                                      ? answers->value(db::questionFingerprint(t.cauhoi, t.a, t.b, t.c, t.d))
                                      : r.heldAnswer(); // the teacher's own game: not timed
            if (together)
                together->arrive_and_wait();
            c.restart();
            const referee::Verdict v = r.judge(right);
            const double took = msSince(c);
            spent += took;
            verdicts.push_back(took);
            if (v.outcome != referee::Outcome::Done && failed)
                ++*failed;
        }
        c.restart();
        if (r.endGame(nick, 0, db::LockRow::asStored(), db::LockWait::Patient).status != db::WriteStatus::Done && failed)
            ++*failed;
        spent += msSince(c);
        if (whole)
            whole->push_back(spent);
    }
}

// CPU time (ms) of a process from /proc: its own, and with `children`, that
// of its children it has reaped.
double cpuOf(const QString &pid, bool children)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    // The fields after the command's closing parenthesis: state is field 3,
    // utime 14, stime 15, cutime 16, cstime 17.
    const QList<QByteArray> v = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (v.size() < 15)
        return 0;
    double ticks = v[11].toDouble() + v[12].toDouble();
    if (children)
        ticks += v[13].toDouble() + v[14].toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// CPU time (ms) the server has spent so far: the postmaster, its live
// processes, and those that ended.
double serverCpu(const testkit::PgServer &server)
{
    QFile pidFile(server.socketDir() + QStringLiteral("/data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return 0;
    const QString master = QString::fromLatin1(pidFile.readLine().trimmed());
    double ms = cpuOf(master, true);
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile st(QStringLiteral("/proc/%1/stat").arg(pid));
        if (pid.front().isDigit() && st.open(QIODevice::ReadOnly)) {
            const QByteArray stat = st.readAll();
            if (stat.mid(stat.lastIndexOf(')') + 2).split(' ').value(1) == master.toLatin1())
                ms += cpuOf(pid, false);
        }
    }
    return ms;
}

double ownCpu()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0
           + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

void line(const char *what, const Spread &s, double goal = 0)
{
    std::printf("%-52s median %8.3f ms   p99 %8.3f ms", what, s.median, s.p99);
    if (goal > 0)
        std::printf("   (goal p99 < %g ms) %s", goal, s.p99 < goal ? "ok" : "SLOW");
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
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
    constexpr int kMachines = 40;
    constexpr int kGames = 6;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.db"));
    const QString pg = server.createDatabase(QStringLiteral("bench"));
    for (const QString &where : {file, pg}) {
        const auto d = bench::opened(where);
        if (!d) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(where));
            return 1;
        }
        for (int i = 0; i < kMachines; ++i) {
            db::Account a;
            a.nick = QStringLiteral("player%1").arg(i);
            a.pass = QStringLiteral("pw");
            a.sotien = QStringLiteral("100000000");
            d->insertAccount(a);
        }
    }

    // The players know every answer (the teacher's role reads them here once):
    // the games ask the server nothing a pupil's could not.
    Answers answers;
    if (const auto d = bench::opened(pg)) {
        for (db::QuestionTable t : {db::QuestionTable::Muc1, db::QuestionTable::Muc2, db::QuestionTable::Muc3})
            for (const db::Question &q : d->questions(t))
                answers.insert(db::questionFingerprint(q), q.traloi);
    }

    // One game at a time.
    std::vector<double> fileVerdicts, serverVerdicts, serverGames;
    {
        const auto d = bench::opened(file);
        LocalReferee r(*d);
        play(r, QStringLiteral("player0"), kGames, fileVerdicts);
    }
    {
        const auto d = bench::opened(pg);
        d->logIn(QStringLiteral("player0"), QStringLiteral("pw"));
        ServerReferee r(*d);
        std::vector<double> warm; // each connection's first calls make the functions' plans: not timed
        play(r, QStringLiteral("player0"), 1, warm, nullptr, nullptr, nullptr, &answers);
        play(r, QStringLiteral("player0"), kGames, serverVerdicts, &serverGames, nullptr, nullptr, &answers);
    }
    line("verdict, the file refereeing (baseline)", spreadOf(fileVerdicts));
    line("verdict, the server refereeing, one game", spreadOf(serverVerdicts));

    // 40 games at once, each machine its own connection and account, every
    // one confirming its answer at the same moment (a class answering the
    // same question): the verdict's round trip while 39 others are judged.
    std::vector<double> crowd;
    std::mutex crowdLock;
    std::atomic<int> ready{0}, failed{0};
    std::atomic<bool> go{false};
    std::barrier together(kMachines);
    std::vector<std::thread> machines;
    for (int m = 0; m < kMachines; ++m) {
        machines.emplace_back([&, m] {
            const auto d = bench::opened(pg);
            const QString nick = QStringLiteral("player%1").arg(m);
            if (d)
                d->logIn(nick, QStringLiteral("pw"));
            ++ready;
            if (!d) {
                together.arrive_and_drop();
                return;
            }
            while (!go)
                std::this_thread::yield();
            ServerReferee r(*d);
            std::vector<double> mine, warm;
            play(r, nick, 1, warm, nullptr, &failed, &together, &answers);
            play(r, nick, kGames, mine, nullptr, &failed, &together, &answers);
            const std::lock_guard<std::mutex> hold(crowdLock);
            crowd.insert(crowd.end(), mine.begin(), mine.end());
        });
    }
    while (ready < kMachines)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const double serverBefore = serverCpu(server), clientBefore = ownCpu();
    QElapsedTimer burst;
    burst.start();
    go = true;
    for (auto &m : machines)
        m.join();
    const double wall = msSince(burst);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the backends' exits reaped
    const double serverSpent = serverCpu(server) - serverBefore, clientSpent = ownCpu() - clientBefore;
    line("verdict, the server refereeing, 40 games at once", spreadOf(crowd), 50);
    const double steps = double(kMachines) * (kGames + 1) * 35;
    std::printf("  the 40 games' %.0f calls in %.0f ms: CPU a call %.3f ms on the server, %.3f ms in the 40 "
                "machines (this bench); %d cores\n",
                steps, wall, serverSpent / steps, clientSpent / steps, int(std::thread::hardware_concurrency()));
    if (failed)
        std::printf("  (%d steps failed)\n", failed.load());

    // What a whole game costs the server.
    const Spread whole = spreadOf(serverGames);
    const double games = server.value(QStringLiteral("bench"), QStringLiteral("SELECT count(*) FROM lontaris_games")).toDouble();
    const double bytes =
        server.value(QStringLiteral("bench"),
                     QStringLiteral("SELECT sum(pg_total_relation_size(t)) FROM unnest(ARRAY['lontaris_games', "
                                    "'lontaris_drawn', 'lontaris_lifelines', 'lontaris_answers']::regclass[]) t"))
            .toDouble();
    std::printf("a whole game (fee, 15 questions, 3 lifelines, 15 verdicts, end): 35 calls, %.1f ms in all (median "
                "of %d, one game at a time)\n",
                whole.median, kGames);
    std::printf("rows it leaves on the server: 1 game, 15 drawn, 3 lifelines, 15 answers; %.0f bytes a game "
                "(tables and indexes, over %.0f games)\n",
                games > 0 ? bytes / games : 0, games);
    return 0;
}
