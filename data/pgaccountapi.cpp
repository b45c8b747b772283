// The server functions of the accounts: log in, look a nick up, register,
// recover and change a password, and the count of wrong passwords that holds
// a nick back. Written as pgfunctions.cpp says every such function is.

#include "pgbackend_p.h"

namespace db::pg {

namespace {

const char *kAccounts = R"SQL(
-- Wrong passwords, counted by nick and machine (the role that logged in and
-- its address: lontaris_machine): five from one machine within a minute hold
-- that nick back on that machine for a minute, in which no password of it is
-- checked there; another machine is held back only by its own tries. A right
-- password clears its machine's count. Recovery details and the password
-- change's old password count as passwords. Only the owner reads the table.
DO $do$
BEGIN
    -- The earlier versions counted by nick alone; the last hour's tries go.
    IF to_regclass('lontaris_logins') IS NOT NULL AND NOT EXISTS (
           SELECT 1 FROM pg_attribute WHERE attrelid = to_regclass('lontaris_logins') AND attname = 'machine') THEN
        DROP TABLE lontaris_logins;
    END IF;
END $do$;
CREATE TABLE IF NOT EXISTS lontaris_logins (nickkey text NOT NULL, machine text NOT NULL, failures integer NOT NULL,
    since timestamptz NOT NULL, held_until timestamptz, PRIMARY KEY (nickkey, machine));

-- A whole number from 0 to n - 1, each as likely, from the server's secure
-- source (a draw past the last whole multiple of n is drawn again).
CREATE OR REPLACE FUNCTION lontaris_random(n bigint) RETURNS bigint
LANGUAGE plpgsql VOLATILE SET search_path = public, pg_temp AS $$
DECLARE b bytea; r bigint; below bigint;
BEGIN
    IF n IS NULL OR n <= 1 THEN RETURN 0; END IF;
    below := 4294967296 - 4294967296 % n;
    LOOP
        b := gen_random_bytes(4);
        r := (get_byte(b, 0)::bigint << 24) | (get_byte(b, 1)::bigint << 16) | (get_byte(b, 2)::bigint << 8)
             | get_byte(b, 3)::bigint;
        IF r < below THEN RETURN r % n; END IF;
    END LOOP;
END $$;

-- The password a recovery sets: ten characters of an alphabet without
-- look-alikes (no i, l, o, 0, 1), drawn from the secure source.
CREATE OR REPLACE FUNCTION lontaris_new_password() RETURNS text
LANGUAGE sql VOLATILE SET search_path = public, pg_temp AS $$
    SELECT string_agg(substr('abcdefghjkmnpqrstuvwxyz23456789', 1 + lontaris_random(31)::integer, 1), '')
    FROM generate_series(1, 10)
$$;

-- A new password for the account `rid` (a password the caller has proved it
-- may set): the outcome of the call.
CREATE OR REPLACE FUNCTION lontaris_set_pass(p_rid bigint, p_new text) RETURNS text
LANGUAGE plpgsql SET search_path = public, pg_temp AS $$
BEGIN
    IF p_new IS NULL OR p_new = '' THEN RETURN 'refused'; END IF;
    UPDATE hoso h SET pass = p_new WHERE h.rid = p_rid;
    RETURN 'ok';
END $$;

CREATE OR REPLACE FUNCTION lontaris_held(p_key text, p_machine text) RETURNS boolean
LANGUAGE sql STABLE SET search_path = public, pg_temp AS $$
    SELECT EXISTS (SELECT 1 FROM lontaris_logins l
                   WHERE l.nickkey = p_key AND l.machine = p_machine AND l.held_until > clock_timestamp())
$$;

CREATE OR REPLACE FUNCTION lontaris_wrong(p_key text, p_machine text) RETURNS void
LANGUAGE sql SET search_path = public, pg_temp AS $$
    INSERT INTO lontaris_logins AS l (nickkey, machine, failures, since) VALUES (p_key, p_machine, 1, clock_timestamp())
    ON CONFLICT (nickkey, machine) DO UPDATE
        SET failures = CASE WHEN l.since > clock_timestamp() - interval '1 minute' THEN l.failures + 1 ELSE 1 END,
            since = CASE WHEN l.since > clock_timestamp() - interval '1 minute' THEN l.since ELSE clock_timestamp() END;
    UPDATE lontaris_logins l SET failures = 0, since = clock_timestamp(), held_until = clock_timestamp() + interval '1 minute'
        WHERE l.nickkey = p_key AND l.machine = p_machine AND l.failures >= 5;
$$;

CREATE OR REPLACE FUNCTION lontaris_login(p_nick text, p_pass text)
RETURNS TABLE (outcome text, token text, rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE k text; m text := lontaris_machine(); r hoso%ROWTYPE; t text;
BEGIN
    IF NOT (lontaris_fits(p_nick, 255) AND lontaris_fits(p_pass, 255)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    IF p_nick IS NULL OR p_pass IS NULL THEN outcome := 'wrong'; RETURN NEXT; RETURN; END IF;
    k := lontaris_key(p_nick);
    IF lontaris_held(k, m) THEN outcome := 'held'; RETURN NEXT; RETURN; END IF;
    SELECT * INTO r FROM hoso h WHERE h.nickkey = k ORDER BY h.rid LIMIT 1;
    IF NOT FOUND OR r.pass IS NULL OR crypt(p_pass, r.pass) <> r.pass THEN
        PERFORM lontaris_wrong(k, m);
        outcome := 'wrong'; RETURN NEXT; RETURN;
    END IF;
    DELETE FROM lontaris_logins l WHERE l.nickkey = k AND l.machine = m;
    -- What has had its time goes at a login, never waiting for another's.
    DELETE FROM lontaris_logins l WHERE l.ctid IN (SELECT o.ctid FROM lontaris_logins o
        WHERE coalesce(o.held_until, o.since) < clock_timestamp() - interval '1 hour' FOR UPDATE SKIP LOCKED);
    DELETE FROM lontaris_sessions s WHERE s.ctid IN (SELECT o.ctid FROM lontaris_sessions o
        WHERE o.made < now() - interval '2 days' FOR UPDATE SKIP LOCKED);
    t := encode(gen_random_bytes(24), 'hex');
    INSERT INTO lontaris_sessions (token, account) VALUES (t, r.rid);
    RETURN QUERY SELECT 'ok'::text, t, r.rid, r.nick, r.sotien, r.solan, r.gio, r.phut;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::text, NULL::bigint, NULL::text, NULL::text, NULL::text, NULL::text, NULL::text;
END $$;

CREATE OR REPLACE FUNCTION lontaris_player(p_token text)
RETURNS TABLE (outcome text, rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
    SELECT * FROM lontaris_account_answer(CASE WHEN lontaris_session(p_token) IS NULL THEN 'refused' ELSE 'ok' END,
                                          lontaris_session(p_token))
$$;

CREATE OR REPLACE FUNCTION lontaris_nick_taken(p_nick text) RETURNS TABLE (outcome text, nick text)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF NOT lontaris_fits(p_nick, 255) THEN outcome := 'toolong'; RETURN NEXT; RETURN; END IF;
    RETURN QUERY SELECT 'ok'::text, h.nick FROM hoso h WHERE h.nickkey = lontaris_key(p_nick) ORDER BY h.rid LIMIT 1;
END $$;

-- A new account with the starting money, unless the nick's key has one.
-- The birth date is month/day/year of the form's three boxes.
CREATE OR REPLACE FUNCTION lontaris_register(p_nick text, p_pass text, p_ngaysinh text, p_mail text, p_cauhoi text,
                                             p_traloi text)
RETURNS TABLE (outcome text, rid bigint, nick text, ngaysinh text, sotien text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE k text; made bigint;
BEGIN
    IF NOT (lontaris_fits(p_nick, 255) AND lontaris_fits(p_pass, 255) AND lontaris_fits(p_ngaysinh, 767)
            AND lontaris_fits(p_mail, 255) AND lontaris_fits(p_cauhoi, 255) AND lontaris_fits(p_traloi, 255)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    IF p_nick IS NULL OR p_nick = '' OR p_pass IS NULL OR p_pass = '' THEN
        outcome := 'refused'; RETURN NEXT; RETURN;
    END IF;
    k := lontaris_key(p_nick);
    INSERT INTO lontaris_nicks AS c (nickkey) VALUES (k) ON CONFLICT (nickkey) DO UPDATE SET nickkey = c.nickkey;
    IF EXISTS (SELECT 1 FROM hoso h WHERE h.nickkey = k) THEN
        outcome := 'taken'; RETURN NEXT; RETURN;
    END IF;
    INSERT INTO hoso AS h (nick, pass, ngaysinh, mail, cauhoibimat, traloiibimat, sotien)
        VALUES (p_nick, p_pass, p_ngaysinh, p_mail, p_cauhoi, p_traloi, '1200')
        RETURNING h.rid INTO made;
    RETURN QUERY SELECT 'ok'::text, h.rid, h.nick, h.ngaysinh, h.sotien FROM hoso h WHERE h.rid = made;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::bigint, NULL::text, NULL::text, NULL::text;
END $$;

-- A fresh password (lontaris_new_password, given back in `pass`) for the
-- account whose stored nick is p_nick exactly and whose birth date (the
-- recovery form's 2/2/4 digits), secret question and answer are as given.
-- The details are compared without a lock: a wrong attempt holds nothing of
-- the account.
CREATE OR REPLACE FUNCTION lontaris_recover(p_nick text, p_ngaysinh text, p_cauhoi text, p_traloi text)
RETURNS TABLE (outcome text, pass text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE k text; m text := lontaris_machine(); r hoso%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_nick, 255) AND lontaris_fits(p_ngaysinh, 10) AND lontaris_fits(p_cauhoi, 255)
            AND lontaris_fits(p_traloi, 255)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    IF p_nick IS NULL OR p_nick = '' THEN outcome := 'wrong'; RETURN NEXT; RETURN; END IF;
    k := lontaris_key(p_nick);
    IF lontaris_held(k, m) THEN outcome := 'held'; RETURN NEXT; RETURN; END IF;
    SELECT * INTO r FROM hoso h WHERE h.nickkey = k ORDER BY h.rid LIMIT 1;
    IF NOT FOUND OR r.nick IS DISTINCT FROM p_nick OR r.ngaysinh IS NULL OR r.ngaysinh <> p_ngaysinh
       OR r.cauhoibimat IS NULL OR r.cauhoibimat <> p_cauhoi OR r.traloiibimat IS NULL OR r.traloiibimat <> p_traloi THEN
        PERFORM lontaris_wrong(k, m);
        outcome := 'wrong'; RETURN NEXT; RETURN;
    END IF;
    pass := lontaris_new_password();
    outcome := lontaris_set_pass(r.rid, pass);
    IF outcome <> 'ok' THEN pass := NULL; END IF;
    RETURN NEXT;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::text;
END $$;

CREATE OR REPLACE FUNCTION lontaris_change_password(p_nick text, p_old text, p_new text) RETURNS TABLE (outcome text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE k text; m text := lontaris_machine(); r hoso%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_nick, 255) AND lontaris_fits(p_old, 255) AND lontaris_fits(p_new, 255)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    IF p_nick IS NULL OR p_nick = '' THEN outcome := 'wrong'; RETURN NEXT; RETURN; END IF;
    k := lontaris_key(p_nick);
    IF lontaris_held(k, m) THEN outcome := 'held'; RETURN NEXT; RETURN; END IF;
    SELECT * INTO r FROM hoso h WHERE h.nickkey = k ORDER BY h.rid LIMIT 1;
    IF NOT FOUND OR r.pass IS NULL OR p_old IS NULL OR crypt(p_old, r.pass) <> r.pass THEN
        PERFORM lontaris_wrong(k, m);
        outcome := 'wrong'; RETURN NEXT; RETURN;
    END IF;
    outcome := lontaris_set_pass(r.rid, p_new); RETURN NEXT;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text;
END $$;
)SQL";

} // namespace

ApiPart accountApi()
{
    return {kAccounts,
            {QStringLiteral("lontaris_login(text, text)"), QStringLiteral("lontaris_player(text)"),
             QStringLiteral("lontaris_nick_taken(text)"),
             QStringLiteral("lontaris_register(text, text, text, text, text, text)"),
             QStringLiteral("lontaris_recover(text, text, text, text)"),
             QStringLiteral("lontaris_change_password(text, text, text)")}};
}

} // namespace db::pg
