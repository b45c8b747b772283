// Filling the hot seat's top-five board over 100,000 accounts, as the game does on
// every activation of its form, beside the plain way of getting the same five
// (every account read in money order, the last five taken) in the same run. Once
// with money spread out, once with every account at the same money (all still at
// their first balance), where ties decide the order.

#include "../tests/game/hotseat/hotseatfixture.h"
#include "benchtiming.h"

#include <QApplication>

using bench::measure;
using bench::report;

namespace {
void addAccounts(db::GameDb &d, int count, bool sameMoney)
{
    d.beginWrite();
    for (int i = 0; i < count; ++i) {
        db::Account a;
        a.nick = QStringLiteral("player%1").arg(i);
        a.pass = QStringLiteral("pw");
        a.sotien = sameMoney ? QStringLiteral("1200") : QString::number((i * 7919) % 1000000);
        a.solan = QStringLiteral("1");
        d.insertAccount(a);
    }
    d.commit();
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    for (const bool sameMoney : {false, true}) {
        testkit::GameHarness h;
        addAccounts(*h.database, 100000, sameMoney);
        hs::Player p;
        p.lock.hienten = QStringLiteral("1");
        HotSeatForm *f = hs::enter(h, p);
        QEvent activate(QEvent::WindowActivate);
        const double board = measure(101, [&] { QApplication::sendEvent(f, &activate); });
        const double plain = measure(5, [&] { h.database->accountsByMoney().mid(100000 - 5); });
        std::printf("%s\n", sameMoney ? "100,000 accounts, all with the same money:" : "100,000 accounts:");
        report("  plain way: all accounts read in money order", plain, 0);
        report("  top-five board filled on activation", board, 1);
    }
    return 0;
}
