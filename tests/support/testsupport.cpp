#include "testsupport.h"

#include "accounts/loginform.h"
#include "backend.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "passwordhash.h"
#include "pgserver.h"

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/types.h>

namespace testkit {

void backdateFees(db::GameDb &d, int minutes)
{
    if (!d.isServer())
        return;
    if (!d.execute(QStringLiteral("UPDATE lontaris_games SET started = started - make_interval(mins => %1)").arg(minutes)))
        qWarning("the fees cannot be backdated: %s", qPrintable(d.lastError()));
}

qint64 servingPid(db::GameDb &d)
{
    QVariantList row;
    if (!d.isServer() || !d.execute(QStringLiteral("SELECT pg_backend_pid()"), &row) || row.isEmpty())
        return 0;
    return row.constFirst().toLongLong();
}

bool execAll(db::GameDb &d, const QStringList &statements)
{
    for (const QString &sql : statements)
        if (!d.execute(sql))
            return false;
    return true;
}

StoppedProcess::StoppedProcess(qint64 pid) : m_pid(pid)
{
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGSTOP);
}

void StoppedProcess::resume()
{
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGCONT);
    m_pid = 0;
}

QString asTyped(const QString &stored, const QString &typed)
{
    return db::isPasswordHash(stored) && db::passwordMatches(stored, typed) ? typed : stored;
}

bool onServer()
{
    return qEnvironmentVariableIntValue("LONTARIS_TEST_SERVER") == 1;
}

namespace {
PgServer *g_server = nullptr;
int g_databases = 0;
} // namespace

PgServer *testServer()
{
    if (g_server || !onServer())
        return g_server;
    if (const QString why = PgServer::unavailable(); !why.isEmpty()) {
        std::fprintf(stderr, "SKIP: %s\n", qPrintable(why));
        std::exit(77);
    }
    g_server = new PgServer;
    if (!g_server->start())
        qFatal("the test server does not start: %s", qPrintable(g_server->error()));
    qAddPostRoutine([] {
        delete g_server;
        g_server = nullptr;
    });
    // One database made from the shipped default, copied for every harness.
    const QString seed = g_server->createDatabase(QStringLiteral("seed"));
    db::GameDb d{QString()};
    d.setLocation(seed);
    if (seed.isEmpty() || !d.open().usable())
        qFatal("the test server cannot hold the game: %s", qPrintable(g_server->error()));
    return g_server;
}

QString freshLocation()
{
    PgServer *server = testServer();
    if (!server)
        return QString();
    const QString name = QStringLiteral("t%1").arg(++g_databases);
    if (!server->exec(QStringLiteral("postgres"), {QStringLiteral("CREATE DATABASE %1 TEMPLATE seed").arg(name)}))
        qFatal("a test database cannot be made: %s", qPrintable(server->error()));
    return server->url(name);
}

bool holdWriteLock(db::GameDb &other, db::QuestionTable t)
{
    if (!other.beginWrite())
        return false;
    if (!other.isServer())
        return true; // BEGIN IMMEDIATE: the whole file
    return execAll(other, {QStringLiteral("SELECT rid FROM hoso FOR UPDATE"),
                           QStringLiteral("SELECT rid FROM \"lock\" FOR UPDATE"),
                           QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(db::tableName(t))});
}

bool refuseWrites(db::GameDb &d, const QString &table, const QString &op, bool refuse, const QString &newRowCondition)
{
    if (!d.isServer())
        return d.execute(refuse ? QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE %1 ON main.%2 WHEN %3 "
                                                 "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                                      .arg(op, table, newRowCondition)
                                : QStringLiteral("DROP TRIGGER temp.refuse"));
    if (!refuse)
        return d.execute(QStringLiteral("DROP TRIGGER refuse ON %1").arg(table));
    return execAll(d, {QStringLiteral("CREATE OR REPLACE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                                      "$$ BEGIN RAISE EXCEPTION 'refused'; END $$"),
                       QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 FOR EACH ROW WHEN (%3) EXECUTE FUNCTION refuse()")
                           .arg(op, table, newRowCondition)});
}

ProgramFolder::ProgramFolder()
{
    m_dir.setAutoRemove(true);
}

GameServices ScriptedServices::make(const QString &programDir, db::GameDb *db)
{
    GameServices g;
    g.programDir = programDir;
    g.db = db;
    g.effects = &effects;
    g.music = &music;
    g.random = [this] {
        if (randoms.empty())
            return 0.5;
        const double v = randoms.front();
        randoms.pop_front();
        return v;
    };
    g.now = [this] { return clock; };
    g.message = [this](QWidget *, const ui::MessageRequest &r) {
        messages.append(r);
        if (answers.empty())
            return QMessageBox::Ok;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    };
    g.endProgram = [this] { ++endCount; };
    return g;
}

QString ScriptedServices::lastMessageText() const
{
    if (messages.isEmpty())
        return QString();
    return vn::display(messages.last().text, messages.last().encoding);
}

std::unique_ptr<db::GameDb> harnessDatabase(const ProgramFolder &folder, const QString &location)
{
    auto d = std::make_unique<db::GameDb>(folder.path());
    if (!location.isEmpty())
        d->setLocation(location);
    const db::OpenResult r = d->open();
    if (!r.usable())
        qFatal("test database: %s", qPrintable(r.detail));
    return d;
}

QStringList widgetSnapshot(QWidget *form, bool colours)
{
    QStringList out;
    for (QWidget *w : form->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty())
            continue;
        QString line = QStringLiteral("%1 %2%3").arg(w->objectName()).arg(w->isVisibleTo(form)).arg(w->isEnabled());
        if (auto *l = qobject_cast<LegacyLabel *>(w))
            line += l->caption() + (colours ? l->foreColor().name() + l->backColor().name() : QString());
        if (auto *s = qobject_cast<ShapeBox *>(w))
            line += QStringLiteral(" %1 %2").arg(s->isOpaque()).arg(s->fillColor().name());
        if (auto *e = qobject_cast<QLineEdit *>(w))
            line += e->text();
        out << line;
    }
    return out;
}

GameHarness::GameHarness() : location(freshLocation())
{
    database = harnessDatabase(folder, location);
    app = std::make_unique<GameApp>(s.make(folder.path(), database.get()));
}

std::unique_ptr<db::GameDb> openDatabase(const ProgramFolder &folder, const QString &location)
{
    auto d = std::make_unique<db::GameDb>(folder.path());
    if (!location.isEmpty())
        d->setLocation(location);
    if (!d->open().usable())
        return nullptr;
    return d;
}

db::Account account(const QString &nick, const QString &sotien)
{
    db::Account a;
    a.nick = nick;
    a.pass = QStringLiteral("pw");
    a.sotien = sotien;
    a.solan = QStringLiteral("0");
    a.gio = QStringLiteral("0");
    a.phut = QStringLiteral("0");
    return a;
}

std::unique_ptr<db::GameDb> opened(const QString &location)
{
    auto d = std::make_unique<db::GameDb>(QString());
    d->setLocation(location);
    const db::OpenResult r = d->open();
    if (!r.usable())
        qWarning("open: %s", qPrintable(r.detail));
    return r.usable() ? std::move(d) : nullptr;
}

bool withRawConnection(const QString &file, const std::function<bool(QSqlDatabase &)> &work)
{
    const QString name = QStringLiteral("raw-%1").arg(quintptr(&file));
    bool ok = true;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        c.setDatabaseName(file);
        ok = c.open() && work(c);
        c.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool rawExec(const QString &file, const QStringList &statements)
{
    return withRawConnection(file, [&](QSqlDatabase &c) {
        for (const QString &s : statements) {
            QSqlQuery q(c);
            if (!q.exec(s)) {
                qWarning("%s: %s", qPrintable(s), qPrintable(q.lastError().text()));
                return false;
            }
        }
        return true;
    });
}

QStringList sideFiles(const QString &dbPath)
{
    QStringList out;
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        if (QFile::exists(dbPath + QLatin1String(suffix)))
            out << QLatin1String(suffix);
    return out;
}

std::unique_ptr<db::GameDb> GameHarness::another() const
{
    return openDatabase(folder, location);
}

GameHarness::~GameHarness()
{
    app.reset();
    database.reset();
}

bool cutOff(const GameHarness &h, bool cut)
{
    const QString name = h.location.section(QLatin1Char('/'), -1);
    QStringList sql{QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS %2").arg(name, cut ? "false" : "true")};
    if (cut)
        sql << QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '%1' "
                              "AND pid <> pg_backend_pid()")
                       .arg(name);
    PgServer *server = testServer();
    if (!server || !server->exec(QStringLiteral("postgres"), sql)) {
        qWarning("%s", server ? qPrintable(server->error()) : "no test server");
        return false;
    }
    return true;
}

db::Account GameHarness::addAccount(const QString &nick, const QString &pass, const QString &sotien,
                                    const QString &solan)
{
    db::Account a;
    a.nick = nick;
    a.pass = pass;
    a.ngaysinh = QStringLiteral("3/15/1990");
    a.mail = QStringLiteral("sinh viên");
    a.cauhoibimat = QString();
    a.traloiibimat = QString();
    a.sotien = sotien;
    a.solan = solan.isNull() ? QStringLiteral("") : solan;
    a.gio = QStringLiteral("0");
    a.phut = QStringLiteral("0");
    if (!database->insertAccount(a))
        qFatal("addAccount: %s", qPrintable(database->lastError()));
    return a;
}

void GameHarness::setLock(const QString &thuthach, const QString &hienten, const QString &hien19)
{
    db::LockRow l;
    l.thuthach = thuthach;
    l.hienten = hienten;
    l.hien19 = hien19;
    database->writeLock(l);
}

void GameHarness::login(const QString &nick, const QString &pass)
{
    LoginForm *f = app->login();
    f->show();
    auto *user = child<QLineEdit>(f, QStringLiteral("txtUserName"));
    auto *pw = child<QLineEdit>(f, QStringLiteral("txtPassword"));
    user->clear();
    type(user, nick);
    pw->clear();
    type(pw, pass);
    pressKey(pw, Qt::Key_Return);
}

QWidget *widget(QObject *root, const QString &name)
{
    if (root->objectName() == name && root->isWidgetType())
        return static_cast<QWidget *>(root);
    QWidget *w = root->findChild<QWidget *>(name);
    if (!w)
        qWarning("no widget named %s under %s", qPrintable(name), qPrintable(root->objectName()));
    return w;
}

void click(QWidget *w)
{
    if (!w) {
        qWarning("click on a missing widget");
        return;
    }
    // A check box or option button reacts on its indicator and label, which sit at
    // its left edge however wide a layout makes it.
    const bool leftAligned = qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w);
    const QPoint at = leftAligned ? QPoint(qMin(10, w->width() / 2), w->height() / 2) : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
}

void type(QWidget *w, const QString &text)
{
    // One key per character; a character beyond the first plane (an emoji) is
    // one key with both halves of its text.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        const QString typed = ch.isHighSurrogate() && i + 1 < text.size() ? text.mid(i++, 2) : QString(ch);
        const int key = ch.unicode() < 0x80 ? QChar(ch).toUpper().unicode() : 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

void pressKey(QWidget *w, Qt::Key key, Qt::KeyboardModifiers mods)
{
    QTest::keyClick(w, key, mods);
}

bool tick(QObject *form, const QString &timerName, int times)
{
    auto *t = form->findChild<LegacyTimer *>(timerName);
    if (!t) {
        qWarning("no timer %s", qPrintable(timerName));
        return false;
    }
    bool all = true;
    for (int i = 0; i < times; ++i)
        all = t->fire() && all;
    return all;
}

QString caption(QObject *root, const QString &name)
{
    auto *l = qobject_cast<LegacyLabel *>(widget(root, name));
    return l ? l->caption() : QStringLiteral("<missing %1>").arg(name);
}

QList<Sample> referenceSamples()
{
    QList<Sample> out;
    QFile f(QStringLiteral(LONTARIS_REFERENCE_DIR "/samples.tsv"));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList p = lines[i].split(QLatin1Char('\t'));
        if (p.size() >= 3)
            out.append({p[0], p[1], p[2]});
    }
    return out;
}

namespace {

QStringList storedRows(db::Backend &b, bool passwords)
{
    QStringList out;
    auto text = [](const QString &s) -> QString { return s.isNull() ? QStringLiteral("<NULL>") : QLatin1Char('[') + s + QLatin1Char(']'); };
    for (std::optional<qint64> after;;) {
        const auto rows = b.accountRows(after, 1000);
        if (!rows || rows->isEmpty())
            break;
        for (const auto &a : *rows) {
            const QString pass = passwords || a.pass.isNull() ? text(a.pass) : QStringLiteral("[password]");
            out << QStringList{text(a.nick), pass, text(a.ngaysinh), text(a.mail), text(a.cauhoibimat),
                               text(a.traloiibimat), text(a.sotien), text(a.solan), text(a.gio), text(a.phut)}
                       .join(QLatin1Char(' '));
            after = a.rowId;
        }
    }
    for (const auto &l : b.lockRows().value_or(QList<db::LockRow>()))
        out << QStringList{l.hienten, l.thuthach, l.hien19, l.hiencode, l.hienten1, l.thuthach1, l.hien191, l.hiencode1}.join(QLatin1Char(' '));
    for (db::QuestionTable t : db::kAllQuestionTables) {
        out << db::tableName(t);
        for (std::optional<qint64> after;;) {
            const auto rows = b.questionRows(t, after, 1000);
            if (!rows || rows->isEmpty())
                break;
            for (const auto &q : *rows) {
                out << QStringList{QString::number(q.id), text(q.cauhoi), text(q.a), text(q.b), text(q.c), text(q.d),
                                   text(q.traloi), QString::number(q.selected)}
                           .join(QLatin1Char(' '));
                after = q.rowId;
            }
        }
    }
    return out;
}

} // namespace

QStringList everyRow(db::GameDb &d, bool passwords)
{
    QStringList out;
    d.withBackend([&](db::Backend &b) { out = storedRows(b, passwords); });
    return out;
}

} // namespace testkit
