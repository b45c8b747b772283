// The game's own operations on the server: functions that run with the rights
// of the teacher's role that made them and check what they are asked. The
// pupils' group role lontaris_pupil may call them and nothing else: no right
// on any table.
//
// HOW EVERY FUNCTION A PUPIL MAY CALL IS WRITTEN (a new one keeps to it):
//
// 1. Called as a statement of its own, exactly
//        SELECT * FROM lontaris_NAME($1, $2, ...)
//    every value a parameter of the extended protocol (PgBackend::call), never
//    a literal in the text: pg_stat_activity and the server's log show the
//    statement's text, never its parameters (unless an administrator asks
//    for log_statement = all).
//
// 2. Declared RETURNS TABLE (outcome text, ...): the first column says how the
//    call went.
//      'ok'       on every row of an answer, which may have no rows at all
//                 (nothing found, nothing to list);
//      a refusal  is one row: its word in `outcome`, every other column NULL.
//    A refusal changes nothing (but for the count of wrong passwords, which
//    is what 'wrong' is for). It is never raised as an error: an error's
//    report in the server's log names the statement it ended, and a
//    refusal is no fault of the server's. The words:
//      'refused'  not a call the game makes: not logged in, a key of another
//                 account's, an amount that is not on the ladder, a game's
//                 end made already, a question table that is not one...
//      'wrong'    a password (or a recovery's details) not as stored: counted
//      'held'     that nick is held back on this machine after wrong
//                 passwords; nothing was checked
//      'busy'     a lock was not had within the function's lock timeout, or
//                 the call did not stand alone (lontaris_alone); the same
//                 call may simply be made again
//      'inexact'  a stored number cannot be computed exactly
//      'taken'    the nick has an account already (in any letter case)
//      'toolong'  a value longer than the game's forms let anybody type
//                 (lontaris_fits: refused whole, never cut)
//
// 3. LANGUAGE plpgsql (or sql) SECURITY DEFINER SET search_path = public,
//    pg_temp. One that locks a row also SET lock_timeout = '2s', which no
//    caller can lift for the call; it first bounds its values (5), then
//        IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
//    and it ends with
//        EXCEPTION WHEN lock_not_available OR deadlock_detected THEN <the 'busy' row>
//    (and WHEN SQLSTATE 'LTINX' THEN <the 'inexact' row> where it computes
//    money with lontaris_whole). Rows are given only once every lock is had.
//
// 4. It locks only rows of the game's own tables, which no pupil can read or
//    lock, and only rows the caller has a right to: the account of its own
//    session, its own machine's count of wrong passwords, a nick it claims.
//    A row every machine shares (the switches) is waited for no longer than
//    the lock timeout, and then left as it is. No advisory lock: any role may
//    take any key. A wrong attempt locks nothing of the account it names.
//
// 5. Every value is bounded (lontaris_fits, 'toolong') before anything else
//    is done with it, with the limits of the forms that send it (255
//    characters a box; the recovery's birth date 2/2/4 digits; keys of 100
//    characters), and what it gives back is bounded too (the top five's
//    nicks, elided).
//
// 6. Listed with its argument types in its part's pupil functions (ApiPart),
//    which grants it to lontaris_pupil; every other function is the owner's.
//    A change to any function's arguments or answer is a new version: the
//    mark lontaris_api_N below goes up, the older marks are dropped with
//    the functions whose calls no longer fit (a program of that version then
//    finds the functions missing instead of misreading them).
//
// The parts: the accounts (pgaccountapi.cpp: log in, register, recover and
// change a password, the hold-back), the game (pggameapi.cpp: the switches,
// the top five), the referee (pgreferee.cpp: the fee, each game's record,
// the draws, the verdicts, the lifelines, the game's end), the question
// bank's reads (pgbankapi.cpp). A new part lives in a file of its own and is
// added to parts() below.
//
// A login starts a session (a random token kept on the server); the fee and
// the game's end name it, so that each charges or pays only the account that
// logged in. Passwords are kept as bcrypt hashes (pgcrypto): a trigger hashes
// whatever password is written, by any role; another keeps the nick's key
// (lontaris_key: compatibility form and case folding) whoever writes a nick.

#include "pgbackend.h"
#include "pgbackend_p.h"

#include <QStringList>

namespace db {

using namespace pg;

namespace {

// The version of the functions' calls, and the older marks dropped with the
// calls that no longer fit.
constexpr int kApiVersion = 4;
// The functions' revision within their version (their mark's value): a
// teacher's program of a later revision makes them anew, with the same calls
// (pupils' machines of the version go on as they are).
constexpr int kApiRevision = kApiVersion * 100 + 1;

const char *kCommon = R"SQL(
CREATE EXTENSION IF NOT EXISTS pgcrypto;

-- The earlier versions' functions, whose calls take other arguments or give
-- other answers: dropped, their marks with them.
DROP FUNCTION IF EXISTS lontaris_api_1();
DROP FUNCTION IF EXISTS lontaris_api_2();
DROP FUNCTION IF EXISTS lontaris_api_3();
DROP FUNCTION IF EXISTS lontaris_held_back(text);
DROP FUNCTION IF EXISTS lontaris_wrong_password(text);
DROP FUNCTION IF EXISTS lontaris_login(text, text);
DROP FUNCTION IF EXISTS lontaris_player(text);
DROP FUNCTION IF EXISTS lontaris_nick_taken(text);
DROP FUNCTION IF EXISTS lontaris_register(text, text, text, text, text, text, text);
DROP FUNCTION IF EXISTS lontaris_recover(text, text, text, text, text, text);
DROP FUNCTION IF EXISTS lontaris_recover(text, text, text, text, text);
DROP FUNCTION IF EXISTS lontaris_change_password(text, text, text);
DROP FUNCTION IF EXISTS lontaris_pay_fee(text, text);
DROP FUNCTION IF EXISTS lontaris_end_game(text, text, text, text, bigint, text[]);
DROP FUNCTION IF EXISTS lontaris_switches();
DROP FUNCTION IF EXISTS lontaris_top_five();
DROP FUNCTION IF EXISTS lontaris_facts(text);
DROP FUNCTION IF EXISTS lontaris_rows(text, boolean, bigint, bigint, boolean);
DROP FUNCTION IF EXISTS lontaris_last_id(text);

CREATE TABLE IF NOT EXISTS lontaris_sessions (token text PRIMARY KEY, account bigint NOT NULL,
    made timestamptz NOT NULL DEFAULT now());
-- The nicks registrations have claimed: two machines registering one nick
-- at the same moment wait for one another on its row.
CREATE TABLE IF NOT EXISTS lontaris_nicks (nickkey text PRIMARY KEY);

-- Whether a value is no longer than n characters (NULL is).
CREATE OR REPLACE FUNCTION lontaris_fits(p text, n integer) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT p IS NULL OR (octet_length(p) <= 4 * n AND length(p) <= n) $$;

-- A text cut to n characters for a board that holds no more: an ellipsis
-- says it was.
CREATE OR REPLACE FUNCTION lontaris_elided(p text, n integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN length(p) > n THEN left(p, n - 1) || '…' ELSE p END $$;

-- Whether a call stands alone: its statement is the call and nothing else
-- (the values parameters), nothing before it in its transaction wrote or
-- locked a row, and the transaction began with it. Then the rows it locks
-- are let go as it returns: nobody keeps them by calling it in a
-- transaction of their own, or beside a statement that waits.
CREATE OR REPLACE FUNCTION lontaris_alone() RETURNS boolean
LANGUAGE plpgsql VOLATILE SET search_path = public, pg_temp AS $$
BEGIN
    RETURN pg_current_xact_id_if_assigned() IS NULL
       AND clock_timestamp() < transaction_timestamp() + interval '1 second'
       AND current_query() ~ '^SELECT \* FROM lontaris_[a-z0-9_]+\((\$[0-9]+(, \$[0-9]+)*)?\)$';
END $$;

-- The machine a call comes from: the role it logged in as and its address.
CREATE OR REPLACE FUNCTION lontaris_machine() RETURNS text
LANGUAGE sql STABLE AS $$ SELECT session_user || ' ' || coalesce(host(inet_client_addr()), 'local') $$;

CREATE OR REPLACE FUNCTION lontaris_is_hash(p text) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$ SELECT p ~ '^\$2[abxy]\$[0-9]{2}\$[./A-Za-z0-9]{53}$' $$;

CREATE OR REPLACE FUNCTION lontaris_hash_pass() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF NEW.pass IS NOT NULL AND NOT lontaris_is_hash(NEW.pass) THEN
        NEW.pass := crypt(NEW.pass, gen_salt('bf'));
    END IF;
    RETURN NEW;
END $$;
CREATE OR REPLACE TRIGGER hoso_pass BEFORE INSERT OR UPDATE OF pass ON hoso
    FOR EACH ROW EXECUTE FUNCTION lontaris_hash_pass();
UPDATE hoso SET pass = pass WHERE pass IS NOT NULL AND NOT lontaris_is_hash(pass);

-- The key a nick is found by: its compatibility form (full-width letters,
-- ligatures) in lower case, by Unicode's rules whatever the database's
-- locale (ICU's root collation, else C.UTF-8). Computed here, never taken
-- from a client: a trigger keeps it for whoever writes a nick.
DO $do$
DECLARE body text := 'SELECT lower(p)';
BEGIN
    IF current_setting('server_encoding') = 'UTF8' THEN
        body := format('SELECT lower(normalize(p, NFKC) COLLATE %s)',
                       coalesce((SELECT quote_ident(collname) FROM pg_collation
                                 WHERE collname IN ('und-x-icu', 'C.utf8', 'C.UTF-8') AND collencoding IN (-1, 6)
                                 ORDER BY collname = 'und-x-icu' DESC, collname LIMIT 1), '"default"'));
    END IF;
    EXECUTE format('CREATE OR REPLACE FUNCTION lontaris_key(p text) RETURNS text LANGUAGE sql IMMUTABLE '
                   'PARALLEL SAFE AS %L', body);
END $do$;
CREATE OR REPLACE FUNCTION lontaris_keep_key() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    NEW.nickkey := lontaris_key(NEW.nick);
    RETURN NEW;
END $$;
CREATE OR REPLACE TRIGGER hoso_nickkey BEFORE INSERT OR UPDATE OF nick, nickkey ON hoso
    FOR EACH ROW EXECUTE FUNCTION lontaris_keep_key();
UPDATE hoso SET nickkey = lontaris_key(nick) WHERE nickkey IS DISTINCT FROM lontaris_key(nick);

-- A whole number of text, as the game writes them; none: NULL or empty text.
CREATE OR REPLACE FUNCTION lontaris_whole(t text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE SET search_path = public, pg_temp AS $$
BEGIN
    IF t IS NULL OR t = '' THEN RETURN 0; END IF;
    IF t !~ '^-?[0-9]{1,60}$' THEN
        RAISE EXCEPTION 'A stored number cannot be computed exactly.' USING ERRCODE = 'LTINX';
    END IF;
    RETURN t::numeric;
END $$;

-- The account a session's token stands for; NULL for none.
CREATE OR REPLACE FUNCTION lontaris_session(p_token text) RETURNS bigint
LANGUAGE plpgsql STABLE SET search_path = public, pg_temp AS $$
BEGIN
    RETURN (SELECT s.account FROM lontaris_sessions s WHERE lontaris_fits(p_token, 100) AND s.token = p_token);
END $$;

-- The answer of a function that gives the player's account: 'ok' and the
-- account as stored now (nick and money, no password or secret), or a
-- refusal's one row.
CREATE OR REPLACE FUNCTION lontaris_account_answer(p_outcome text, p_account bigint)
RETURNS TABLE (outcome text, rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql STABLE SET search_path = public, pg_temp AS $$
BEGIN
    IF p_outcome = 'ok' THEN
        RETURN QUERY SELECT p_outcome, h.rid, h.nick, h.sotien, h.solan, h.gio, h.phut FROM hoso h
            WHERE h.rid = p_account;
    ELSIF p_outcome <> 'ok' THEN
        RETURN QUERY SELECT p_outcome, NULL::bigint, NULL::text, NULL::text, NULL::text, NULL::text, NULL::text;
    END IF;
END $$;

-- One of the question tables; NULL for any other name.
CREATE OR REPLACE FUNCTION lontaris_table(p_table text) RETURNS text
LANGUAGE sql IMMUTABLE AS $$ SELECT p_table WHERE p_table IN ('muc1', 'muc2', 'muc3', 'thuthach', 'thungrac') $$;

-- The pupils' sessions are bounded by the server whatever their client
-- (any role may lift them in its own session, so the functions above do not
-- rest on them): no statement and no idle transaction longer than 10 s, and
-- a connection whose network went is found out within half a minute (so it
-- does not hold a place of its role's connection limit). The teacher's
-- programs lift the idle bound in their own sessions for their long work.
DO $do$
BEGIN
    EXECUTE format('ALTER DATABASE %I SET statement_timeout = %L', current_database(), '10s');
    EXECUTE format('ALTER DATABASE %I SET idle_in_transaction_session_timeout = %L', current_database(), '10s');
    EXECUTE format('ALTER DATABASE %I SET tcp_keepalives_idle = 10', current_database());
    EXECUTE format('ALTER DATABASE %I SET tcp_keepalives_interval = 5', current_database());
    EXECUTE format('ALTER DATABASE %I SET tcp_keepalives_count = 3', current_database());
EXCEPTION WHEN insufficient_privilege THEN
    RAISE WARNING 'The database is not the teacher''s role''s own: its sessions are not bounded (see the README).';
END $do$;
)SQL";

// The parts of the game's functions, in the order they are made.
const QList<ApiPart> &parts()
{
    static const QList<ApiPart> all = {accountApi(), gameApi(), refereeApi(), bankApi()};
    return all;
}

// The pupils' group role: made when this role may make roles (else an
// administrator makes it, see the README), given the database and the
// functions, and nothing of the tables.
QString pupilRoleBlock()
{
    QStringList grants;
    for (const ApiPart &part : parts())
        for (const QString &f : part.pupilFunctions)
            grants << QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO lontaris_pupil;").arg(f);
    grants << QStringLiteral("GRANT EXECUTE ON FUNCTION lontaris_api_%1() TO lontaris_pupil;").arg(kApiVersion);
    return QStringLiteral(R"SQL(DO $do$
BEGIN
    IF to_regrole('lontaris_pupil') IS NULL THEN
        BEGIN
            CREATE ROLE lontaris_pupil NOLOGIN;
        EXCEPTION WHEN insufficient_privilege THEN
            RETURN;
        END;
    END IF;
    BEGIN
        EXECUTE format('GRANT CONNECT ON DATABASE %I TO lontaris_pupil', current_database());
    EXCEPTION WHEN insufficient_privilege THEN
        NULL;
    END;
    REVOKE ALL ON ALL TABLES IN SCHEMA public FROM lontaris_pupil;
    REVOKE ALL ON ALL SEQUENCES IN SCHEMA public FROM lontaris_pupil;
    %1
END $do$)SQL")
        .arg(grants.join(QLatin1String("\n    ")));
}

} // namespace

QStringList pg::apiStatements()
{
    QStringList s;
    s << QString::fromUtf8(kCommon);
    for (const ApiPart &part : parts())
        s << QString::fromUtf8(part.sql);
    s << QStringLiteral("CREATE OR REPLACE FUNCTION lontaris_api_%1() RETURNS integer LANGUAGE sql IMMUTABLE AS "
                        "$$ SELECT %2 $$")
             .arg(kApiVersion)
             .arg(kApiRevision);
    // Functions may be called by anyone unless taken back: the game's are
    // not, but for the money order of the top five (any writer of hoso
    // needs it) and the nick's key (the same), which read nothing.
    s << QStringLiteral("DO $do$ DECLARE f regprocedure; BEGIN FOR f IN SELECT p.oid::regprocedure FROM pg_proc p "
                        "WHERE p.pronamespace = 'public'::regnamespace AND p.proname LIKE 'lontaris\\_%' "
                        "AND p.proname NOT IN ('lontaris_money', 'lontaris_key') LOOP "
                        "EXECUTE format('REVOKE ALL ON FUNCTION %s FROM PUBLIC', f); END LOOP; END $do$");
    s << pupilRoleBlock();
    return s;
}

bool PgBackend::installApi(QString &why)
{
    // Quietly: what exists already is no news (a copy prints nothing but its own lines).
    if (!runText(QStringLiteral("SET LOCAL client_min_messages = error"))) {
        why = QStringLiteral("%1: %2").arg(location(), m_lastError);
        return false;
    }
    for (const QString &st : apiStatements()) {
        if (!runText(st)) {
            why = QStringLiteral("The game's server functions cannot be made in %1: %2").arg(location(), m_lastError);
            return false;
        }
    }
    return true;
}

bool PgBackend::readRole()
{
    // The owner of the game's tables (or a superuser) is the teacher's role.
    // The functions' version: this program's, none (an older one's, or none
    // made yet), or a newer one's (this program is the older one).
    const QString mark = QStringLiteral("lontaris_api_%1()").arg(kApiVersion);
    pg::Result r = run(
        QStringLiteral("SELECT pg_has_role((SELECT relowner FROM pg_class WHERE oid = 'hoso'::regclass), 'MEMBER'), "
                       "to_regprocedure(?) IS NOT NULL, "
                       "CASE WHEN to_regrole('lontaris_pupil') IS NULL OR to_regprocedure(?) IS NULL THEN false "
                       "ELSE has_function_privilege('lontaris_pupil', to_regprocedure(?), 'EXECUTE') END, "
                       "(SELECT max(substring(p.proname FROM '^lontaris_api_([0-9]+)$')::integer) FROM pg_proc p "
                       "WHERE p.pronamespace = 'public'::regnamespace AND p.proname ~ '^lontaris_api_[0-9]+$'), "
                       // The mark's revision, read from its text (calling it needs a right to).
                       "(SELECT substring(p.prosrc FROM '[0-9]{1,9}')::integer FROM pg_proc p "
                       "WHERE p.oid = to_regprocedure(?))"),
        {mark, mark, mark, mark});
    if (!r.ok() || !r.next())
        return false;
    m_owner = r.value(0).toBool();
    m_hasApi = r.value(1).toBool();
    m_pupilsLetIn = r.value(2).toBool();
    m_newerApi = !r.value(3).isNull() && r.value(3).toLongLong() > kApiVersion;
    m_apiRevision = m_hasApi ? r.value(4).toInt() : 0;
    m_newerFunctions = m_newerApi || m_apiRevision > kApiRevision;
    return true;
}

void PgBackend::refreshApi()
{
    if (!m_owner || !m_hasApi || m_newerApi || m_apiRevision >= kApiRevision || !mayMakeTables())
        return;
    // Under the schema lock, looked at again: another of the teacher's
    // machines may have made them meanwhile. Any failure leaves them as they
    // are, and the start goes on.
    QString why;
    if (beginUnderSchemaLock() && readRole() && m_hasApi && !m_newerApi && m_apiRevision < kApiRevision
        && installApi(why) && commit()) {
        readRole();
        return;
    }
    rollback();
    readRole();
}

} // namespace db
