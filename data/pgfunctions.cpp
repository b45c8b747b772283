// The game's own operations on the server: functions that run with the rights
// of the teacher's role that made them (SECURITY DEFINER, a fixed
// search_path) and check what they are asked. The pupils' group role
// lontaris_pupil may call them and nothing else: no right on any table.
//
// A login starts a session (a random token kept on the server); the fee and
// the game's end name it, so that each charges or pays only the account that
// logged in. A fee has a key of its own; a game's end names the fee it ends,
// once, with winnings on the ladder and no more minutes than have passed
// since the fee. Passwords are kept as bcrypt hashes (pgcrypto): a trigger
// hashes whatever password is written, by any role.

#include "pgbackend.h"
#include "pgbackend_p.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace db {

using namespace pg;

namespace {

// What a function raises when it refuses; the program tells these apart.
// LTINX: a stored number cannot be computed exactly; LTREF: refused; LTLIM:
// too many wrong passwords for that nick a moment ago, not checked.
const char *kApi = R"SQL(
CREATE EXTENSION IF NOT EXISTS pgcrypto;
CREATE TABLE IF NOT EXISTS lontaris_sessions (token text PRIMARY KEY, account bigint NOT NULL,
    made timestamptz NOT NULL DEFAULT now());
CREATE TABLE IF NOT EXISTS lontaris_fees (fee text PRIMARY KEY, account bigint NOT NULL,
    paid timestamptz NOT NULL DEFAULT now(), saved text);
CREATE TABLE IF NOT EXISTS lontaris_logins (nickkey text PRIMARY KEY, failures integer NOT NULL,
    since timestamptz NOT NULL, held_until timestamptz);

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

CREATE OR REPLACE FUNCTION lontaris_session(p_token text) RETURNS bigint
LANGUAGE plpgsql STABLE SET search_path = public, pg_temp AS $$
DECLARE a bigint;
BEGIN
    SELECT account INTO a FROM lontaris_sessions WHERE token = p_token;
    IF a IS NULL THEN
        RAISE EXCEPTION 'Not logged in.' USING ERRCODE = 'LTREF';
    END IF;
    RETURN a;
END $$;

-- Wrong passwords, counted by nick whichever machine types them (in a table
-- only the teacher's role reads): five within a minute hold that nick back
-- for a minute, in which no password of it is checked; a right one starts
-- the count again. The tries of one nick wait for one another.
CREATE OR REPLACE FUNCTION lontaris_held_back(p_key text) RETURNS void
LANGUAGE plpgsql SET search_path = public, pg_temp AS $$
BEGIN
    PERFORM pg_advisory_xact_lock(hashtext('lontaris login ' || p_key));
    IF EXISTS (SELECT 1 FROM lontaris_logins l WHERE l.nickkey = p_key AND l.held_until > clock_timestamp()) THEN
        RAISE EXCEPTION 'Too many wrong passwords for this nick: it may try again in a minute.' USING ERRCODE = 'LTLIM';
    END IF;
END $$;

CREATE OR REPLACE FUNCTION lontaris_wrong_password(p_key text) RETURNS void
LANGUAGE plpgsql SET search_path = public, pg_temp AS $$
DECLARE t timestamptz := clock_timestamp();
BEGIN
    INSERT INTO lontaris_logins AS l (nickkey, failures, since) VALUES (p_key, 1, t)
    ON CONFLICT (nickkey) DO UPDATE
        SET failures = CASE WHEN l.since > t - interval '1 minute' THEN l.failures + 1 ELSE 1 END,
            since = CASE WHEN l.since > t - interval '1 minute' THEN l.since ELSE t END;
    UPDATE lontaris_logins l SET failures = 0, since = t, held_until = t + interval '1 minute'
        WHERE l.nickkey = p_key AND l.failures >= 5;
END $$;

CREATE OR REPLACE FUNCTION lontaris_login(p_key text, p_pass text)
RETURNS TABLE (token text, rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE r hoso%ROWTYPE; t text;
BEGIN
    IF p_key IS NULL THEN
        RETURN;
    END IF;
    PERFORM lontaris_held_back(p_key);
    SELECT * INTO r FROM hoso h WHERE h.nickkey = p_key ORDER BY h.rid LIMIT 1;
    IF NOT FOUND OR r.pass IS NULL OR p_pass IS NULL OR crypt(p_pass, r.pass) <> r.pass THEN
        PERFORM lontaris_wrong_password(p_key);
        RETURN;
    END IF;
    DELETE FROM lontaris_logins l WHERE l.nickkey = p_key
                                     OR coalesce(l.held_until, l.since) < clock_timestamp() - interval '1 hour';
    DELETE FROM lontaris_sessions s WHERE s.made < now() - interval '2 days';
    t := encode(gen_random_bytes(24), 'hex');
    INSERT INTO lontaris_sessions (token, account) VALUES (t, r.rid);
    RETURN QUERY SELECT t, r.rid, r.nick, r.sotien, r.solan, r.gio, r.phut;
END $$;

CREATE OR REPLACE FUNCTION lontaris_player(p_token text)
RETURNS TABLE (rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
    SELECT h.rid, h.nick, h.sotien, h.solan, h.gio, h.phut FROM hoso h WHERE h.rid = lontaris_session(p_token)
$$;

CREATE OR REPLACE FUNCTION lontaris_nick_taken(p_key text) RETURNS TABLE (nick text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
    SELECT h.nick FROM hoso h WHERE h.nickkey = p_key ORDER BY h.rid LIMIT 1
$$;

-- The nick is checked and the row made under a lock of that nick's key: two
-- machines registering one nick at the same moment make one account.
CREATE OR REPLACE FUNCTION lontaris_register(p_key text, p_nick text, p_pass text, p_ngaysinh text, p_mail text,
                                             p_cauhoi text, p_traloi text)
RETURNS TABLE (rid bigint, nick text, ngaysinh text, sotien text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE made bigint;
BEGIN
    IF p_nick IS NULL OR p_nick = '' OR p_key IS NULL OR p_pass IS NULL OR p_pass = '' THEN
        RAISE EXCEPTION 'A nick and a password are needed.' USING ERRCODE = 'LTREF';
    END IF;
    PERFORM pg_advisory_xact_lock(hashtext('lontaris nick ' || p_key));
    IF EXISTS (SELECT 1 FROM hoso h WHERE h.nickkey = p_key) THEN
        RETURN;
    END IF;
    INSERT INTO hoso AS h (nick, pass, ngaysinh, mail, cauhoibimat, traloiibimat, sotien, nickkey)
        VALUES (p_nick, p_pass, p_ngaysinh, p_mail, p_cauhoi, p_traloi, '1200', p_key)
        RETURNING h.rid INTO made;
    RETURN QUERY SELECT h.rid, h.nick, h.ngaysinh, h.sotien FROM hoso h WHERE h.rid = made;
END $$;

CREATE OR REPLACE FUNCTION lontaris_recover(p_key text, p_nick text, p_ngaysinh text, p_cauhoi text, p_traloi text,
                                            p_new text) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE r hoso%ROWTYPE;
BEGIN
    -- The details stand for a password: counted as wrong ones are.
    IF p_key IS NULL THEN
        RETURN false;
    END IF;
    PERFORM lontaris_held_back(p_key);
    SELECT * INTO r FROM hoso h WHERE h.nickkey = p_key ORDER BY h.rid LIMIT 1 FOR UPDATE;
    IF NOT FOUND OR p_new IS NULL OR p_new = '' OR r.nick IS DISTINCT FROM p_nick OR r.nick IS NULL
       OR r.ngaysinh IS NULL OR r.ngaysinh <> p_ngaysinh OR r.cauhoibimat IS NULL OR r.cauhoibimat <> p_cauhoi
       OR r.traloiibimat IS NULL OR r.traloiibimat <> p_traloi THEN
        PERFORM lontaris_wrong_password(p_key);
        RETURN false;
    END IF;
    UPDATE hoso SET pass = p_new WHERE hoso.rid = r.rid;
    RETURN true;
END $$;

CREATE OR REPLACE FUNCTION lontaris_change_password(p_key text, p_old text, p_new text) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE r hoso%ROWTYPE;
BEGIN
    -- A password is checked here too: under the same count as the login.
    IF p_key IS NULL THEN
        RETURN false;
    END IF;
    PERFORM lontaris_held_back(p_key);
    SELECT * INTO r FROM hoso h WHERE h.nickkey = p_key ORDER BY h.rid LIMIT 1 FOR UPDATE;
    IF NOT FOUND OR r.pass IS NULL OR p_old IS NULL OR crypt(p_old, r.pass) <> r.pass THEN
        PERFORM lontaris_wrong_password(p_key);
        RETURN false;
    END IF;
    IF p_new IS NULL OR p_new = '' THEN
        RETURN false;
    END IF;
    UPDATE hoso SET pass = p_new WHERE hoso.rid = r.rid;
    RETURN true;
END $$;

-- The fee, by its key: asked again (its answer lost), it is not taken twice.
CREATE OR REPLACE FUNCTION lontaris_pay_fee(p_token text, p_fee text)
RETURNS TABLE (rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE a bigint := lontaris_session(p_token); f lontaris_fees%ROWTYPE;
BEGIN
    IF p_fee IS NULL OR length(p_fee) > 100 THEN
        RAISE EXCEPTION 'No key for the fee.' USING ERRCODE = 'LTREF';
    END IF;
    PERFORM 1 FROM hoso h WHERE h.rid = a FOR UPDATE;
    SELECT * INTO f FROM lontaris_fees WHERE fee = p_fee;
    IF FOUND AND f.account <> a THEN
        RAISE EXCEPTION 'That key belongs to another fee.' USING ERRCODE = 'LTREF';
    END IF;
    IF NOT FOUND THEN
        UPDATE hoso h SET sotien = (lontaris_whole(h.sotien) - 1000)::text,
                          solan = (lontaris_whole(h.solan) + 1)::text WHERE h.rid = a;
        INSERT INTO lontaris_fees (fee, account) VALUES (p_fee, a);
    END IF;
    RETURN QUERY SELECT h.rid, h.nick, h.sotien, h.solan, h.gio, h.phut FROM hoso h WHERE h.rid = a;
END $$;

-- The end of the game a fee paid for, once: the winnings one of the ladder's
-- amounts (the numeric-prefix rule, blanks between digits ignored), no more
-- minutes than have passed since the fee (and the minute counted when the
-- game opened), the switches "0" or "1", or NULL for one kept as stored (a
-- game that could not read them, or did not change it). Asked again with the
-- same key (its answer lost), it changes nothing and gives the account.
CREATE OR REPLACE FUNCTION lontaris_end_game(p_token text, p_fee text, p_save text, p_money text, p_minutes bigint,
                                             p_switches text[])
RETURNS TABLE (rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE a bigint := lontaris_session(p_token); f lontaris_fees%ROWTYPE; won numeric; total numeric;
BEGIN
    SELECT * INTO f FROM lontaris_fees WHERE fee = p_fee AND account = a FOR UPDATE;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'No fee was paid for this game.' USING ERRCODE = 'LTREF';
    END IF;
    IF f.saved IS NOT NULL AND f.saved = p_save THEN
        RETURN QUERY SELECT h.rid, h.nick, h.sotien, h.solan, h.gio, h.phut FROM hoso h WHERE h.rid = a;
        RETURN;
    END IF;
    IF f.saved IS NOT NULL THEN
        RAISE EXCEPTION 'This game''s end is saved already.' USING ERRCODE = 'LTREF';
    END IF;
    won := coalesce(substring(regexp_replace(coalesce(p_money, ''), '[[:space:]]', '', 'g') from '^[0-9]{1,7}'), '0')::numeric;
    IF won NOT IN (0, 100, 200, 300, 500, 1000, 2000, 4000, 8000, 12000, 18000, 25000, 32000, 50000, 75000, 100000) THEN
        RAISE EXCEPTION 'Not an amount of the ladder.' USING ERRCODE = 'LTREF';
    END IF;
    IF p_minutes IS NULL OR p_minutes < 0
       OR p_minutes > ceil(extract(epoch FROM clock_timestamp() - f.paid) / 60) + 1 THEN
        RAISE EXCEPTION 'More play time than has passed since the fee.' USING ERRCODE = 'LTREF';
    END IF;
    IF p_switches IS NULL OR cardinality(p_switches) <> 8
       OR EXISTS (SELECT 1 FROM unnest(p_switches) s WHERE s IS NOT NULL AND s NOT IN ('0', '1')) THEN
        RAISE EXCEPTION 'A switch is not 0 or 1.' USING ERRCODE = 'LTREF';
    END IF;
    UPDATE hoso h SET sotien = (lontaris_whole(h.sotien) + won)::text WHERE h.rid = a;
    IF p_minutes <> 0 THEN
        SELECT lontaris_whole(h.phut) + p_minutes INTO total FROM hoso h WHERE h.rid = a;
        UPDATE hoso h SET phut = mod(total, 60)::text,
                          gio = CASE WHEN div(total, 60) = 0 THEN h.gio ELSE (lontaris_whole(h.gio) + div(total, 60))::text END
            WHERE h.rid = a;
    END IF;
    UPDATE "lock" l SET hien19 = coalesce(p_switches[1], l.hien19), hienten = coalesce(p_switches[2], l.hienten),
                        thuthach = coalesce(p_switches[3], l.thuthach), hiencode = coalesce(p_switches[4], l.hiencode),
                        hien191 = coalesce(p_switches[5], l.hien191), hienten1 = coalesce(p_switches[6], l.hienten1),
                        thuthach1 = coalesce(p_switches[7], l.thuthach1),
                        hiencode1 = coalesce(p_switches[8], l.hiencode1)
        WHERE l.rid = (SELECT min(k.rid) FROM "lock" k)
          AND (l.hien19, l.hienten, l.thuthach, l.hiencode, l.hien191, l.hienten1, l.thuthach1, l.hiencode1)
              IS DISTINCT FROM (coalesce(p_switches[1], l.hien19), coalesce(p_switches[2], l.hienten),
                                coalesce(p_switches[3], l.thuthach), coalesce(p_switches[4], l.hiencode),
                                coalesce(p_switches[5], l.hien191), coalesce(p_switches[6], l.hienten1),
                                coalesce(p_switches[7], l.thuthach1), coalesce(p_switches[8], l.hiencode1));
    UPDATE lontaris_fees SET saved = p_save WHERE fee = p_fee;
    RETURN QUERY SELECT h.rid, h.nick, h.sotien, h.solan, h.gio, h.phut FROM hoso h WHERE h.rid = a;
END $$;

CREATE OR REPLACE FUNCTION lontaris_switches()
RETURNS TABLE (hienten text, thuthach text, hien19 text, hiencode text, hienten1 text, thuthach1 text, hien191 text,
               hiencode1 text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
    SELECT l.hienten, l.thuthach, l.hien19, l.hiencode, l.hienten1, l.thuthach1, l.hien191, l.hiencode1
    FROM "lock" l ORDER BY l.rid LIMIT 1
$$;

CREATE OR REPLACE FUNCTION lontaris_top_five() RETURNS TABLE (rid bigint, nick text, sotien text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
    SELECT h.rid, h.nick, h.sotien FROM hoso h ORDER BY h.money DESC NULLS LAST, h.rid DESC LIMIT 5
$$;

-- The question tables, read by the draws: one of the five, checked.
CREATE OR REPLACE FUNCTION lontaris_table(p_table text) RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
    IF p_table IS NULL OR p_table NOT IN ('muc1', 'muc2', 'muc3', 'thuthach', 'thungrac') THEN
        RAISE EXCEPTION 'No such question table.' USING ERRCODE = 'LTREF';
    END IF;
    RETURN p_table;
END $$;

CREATE OR REPLACE FUNCTION lontaris_facts(p_table text) RETURNS TABLE (version bigint, n bigint, dense boolean)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    RETURN QUERY EXECUTE format('SELECT (SELECT c.version FROM lontaris_changes c WHERE c.tbl = $1), count(*), '
        'count(*) = 0 OR (count(DISTINCT id) = count(*) AND count(id) = count(*) AND min(id) = 1 AND max(id) = count(*)) '
        'FROM %I', lontaris_table(p_table)) USING p_table;
END $$;

-- Rows with the table's change counter, from the same snapshot: by ID
-- (from_id <= ID < to_id) or by place (offset, limit), and the first
-- answered one from an ID or a place on.
CREATE OR REPLACE FUNCTION lontaris_rows(p_table text, p_by_id boolean, p_from bigint, p_count bigint,
                                         p_answered boolean)
RETURNS TABLE (version bigint, rid bigint, id bigint, cauhoi text, a text, b text, c text, d text, traloi text,
               selected boolean)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE t text := lontaris_table(p_table);
    cols text := '(SELECT k.version FROM lontaris_changes k WHERE k.tbl = $1), rid, id, cauhoi, a, b, c, d, traloi, selected';
BEGIN
    IF p_by_id AND p_answered THEN
        RETURN QUERY EXECUTE format('SELECT %s FROM %I WHERE id >= $2 AND traloi <> '''' ORDER BY id NULLS FIRST, rid LIMIT 1', cols, t)
            USING p_table, p_from;
    ELSIF p_by_id THEN
        RETURN QUERY EXECUTE format('SELECT %s FROM %I WHERE id >= $2 AND id < $2 + $3 ORDER BY id NULLS FIRST, rid', cols, t)
            USING p_table, p_from, p_count;
    ELSIF p_answered THEN
        RETURN QUERY EXECUTE format('SELECT %s FROM (SELECT *, row_number() OVER (ORDER BY id NULLS FIRST, rid) AS n FROM %I) s '
            'WHERE n > $2 AND traloi <> '''' ORDER BY n LIMIT 1', cols, t) USING p_table, p_from;
    ELSE
        RETURN QUERY EXECUTE format('SELECT %s FROM %I ORDER BY id NULLS FIRST, rid LIMIT $3 OFFSET $2', cols, t)
            USING p_table, p_from, p_count;
    END IF;
END $$;

CREATE OR REPLACE FUNCTION lontaris_last_id(p_table text) RETURNS TABLE (id bigint)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    RETURN QUERY EXECUTE format('SELECT id FROM %I ORDER BY id DESC NULLS LAST, rid DESC LIMIT 1', lontaris_table(p_table));
END $$;

-- The version of these functions: a database whose functions are older is
-- brought up to date by the next start of the teacher's role. The first
-- version's mark stays, so that a program of that version (whose calls these
-- functions take as they were) does not put its own functions back.
CREATE OR REPLACE FUNCTION lontaris_api_1() RETURNS integer LANGUAGE sql IMMUTABLE AS $$ SELECT 1 $$;
CREATE OR REPLACE FUNCTION lontaris_api_2() RETURNS integer LANGUAGE sql IMMUTABLE AS $$ SELECT 2 $$;
)SQL";

// The functions a pupil's role may call; every other is the owner's alone.
const char *const kPupilFunctions[] = {
    "lontaris_login(text, text)", "lontaris_player(text)", "lontaris_nick_taken(text)",
    "lontaris_register(text, text, text, text, text, text, text)",
    "lontaris_recover(text, text, text, text, text, text)", "lontaris_change_password(text, text, text)",
    "lontaris_pay_fee(text, text)", "lontaris_end_game(text, text, text, text, bigint, text[])",
    "lontaris_switches()", "lontaris_top_five()", "lontaris_facts(text)",
    "lontaris_rows(text, boolean, bigint, bigint, boolean)", "lontaris_last_id(text)", "lontaris_api_1()",
    "lontaris_api_2()"};

// The pupils' group role: made when this role may make roles (else an
// administrator makes it, see the README), given the database and the
// functions, and nothing of the tables.
QString pupilRoleBlock()
{
    QStringList grants;
    for (const char *f : kPupilFunctions)
        grants << QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO lontaris_pupil;").arg(QLatin1String(f));
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
    s << QString::fromUtf8(kApi);
    // Functions may be called by anyone unless taken back: the game's are
    // not, but for the money order of the top five (any writer of hoso needs it).
    s << QStringLiteral("DO $do$ DECLARE f regprocedure; BEGIN FOR f IN SELECT p.oid::regprocedure FROM pg_proc p "
                        "WHERE p.pronamespace = 'public'::regnamespace AND p.proname LIKE 'lontaris\\_%' "
                        "AND p.proname <> 'lontaris_money' LOOP "
                        "EXECUTE format('REVOKE ALL ON FUNCTION %s FROM PUBLIC', f); END LOOP; END $do$");
    s << pupilRoleBlock();
    return s;
}

bool PgBackend::installApi(QString &why)
{
    // Quietly: what exists already is no news (a copy prints nothing but its own lines).
    if (!runText(QStringLiteral("SET LOCAL client_min_messages = warning"))) {
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
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT pg_has_role((SELECT relowner FROM pg_class WHERE oid = 'hoso'::regclass), "
                               "'MEMBER'), to_regprocedure('lontaris_api_2()') IS NOT NULL, "
                               "CASE WHEN to_regrole('lontaris_pupil') IS NULL OR to_regprocedure('lontaris_api_2()') IS NULL "
                               "THEN false ELSE has_function_privilege('lontaris_pupil', 'lontaris_api_2()', 'EXECUTE') END"))
        || !q.next()) {
        noteError(q.lastError());
        return false;
    }
    m_owner = q.value(0).toBool();
    m_hasApi = q.value(1).toBool();
    m_pupilsLetIn = q.value(2).toBool();
    return true;
}

} // namespace db
