// The server as the referee of a classroom's games: each game's record, the
// draws, the verdicts, the lifelines and the end, with the rules the game
// applies on one machine (game/referee/gamerules.*). Written as
// pgfunctions.cpp says every function a pupil may call is.
//
// A game is opened by its fee, under the fee's key, and every step names it
// with the session that paid it: another account's game is refused. A step
// names the question it is for (its number in the game, 1..15; the
// qualifying round's is 0), so that a step made again after its answer was
// lost finds the game's record already moved and gives the same answer,
// while a step the record does not allow (a second verdict, a lifeline
// spent, a question not drawn, the game over) is refused and changes nothing.
// No step carries an amount: the end pays what the record says was won.
//
// The right answer is copied into the game's record when its question is
// drawn and leaves the server only in a verdict (or the reveal a switch the
// teacher set allows). Each judged answer is recorded in lontaris_answers
// in the same transaction as its verdict.

#include "pgbackend_p.h"

namespace db::pg {

namespace {

const char *kReferee = R"SQL(
-- The fees of the earlier versions, which took the winnings on trust.
DROP TABLE IF EXISTS lontaris_fees;

-- One row per game, by its fee's key. state: playing, stopped, wrong, won;
-- settled: the key of its end once paid (paid: what it paid). rung: right
-- answers in the hot seat; asked: questions drawn there; open: the last one
-- drawn waits for its verdict; tbl and pos: where the draw is.
CREATE TABLE IF NOT EXISTS lontaris_games (game text PRIMARY KEY, account bigint NOT NULL, nick text,
    started timestamptz NOT NULL DEFAULT clock_timestamp(), ended timestamptz,
    state text NOT NULL DEFAULT 'playing', settled text, paid numeric,
    rung integer NOT NULL DEFAULT 0, asked integer NOT NULL DEFAULT 0, open boolean NOT NULL DEFAULT false,
    tbl text, pos bigint NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS lontaris_games_account ON lontaris_games (account);
-- Each question drawn in a game (n: 0 the qualifying round's, 1..15 the hot
-- seat's), with its right answer as stored when it was drawn, the
-- fingerprint of its texts and, once judged, the answer given.
CREATE TABLE IF NOT EXISTS lontaris_drawn (game text NOT NULL REFERENCES lontaris_games ON DELETE CASCADE,
    n integer NOT NULL, tbl text NOT NULL, rid bigint, qid bigint, fresh boolean NOT NULL, answer text,
    fingerprint text, drawn timestamptz NOT NULL DEFAULT clock_timestamp(),
    picked text, correct boolean, judged timestamptz, PRIMARY KEY (game, n));
-- The lifelines a game took (kind: fifty, call, vote), on which question,
-- and what each gave, which a step made again gives again.
CREATE TABLE IF NOT EXISTS lontaris_lifelines (game text NOT NULL REFERENCES lontaris_games ON DELETE CASCADE,
    kind text NOT NULL, n integer NOT NULL, removed integer NOT NULL DEFAULT 0, pair text, guess text,
    votes integer[], PRIMARY KEY (game, kind));
-- Every judged answer, for the teacher's figures.
CREATE TABLE IF NOT EXISTS lontaris_answers (tbl text NOT NULL, qid integer, fingerprint text NOT NULL,
    correct integer NOT NULL, fifty integer NOT NULL DEFAULT 0, phone integer NOT NULL DEFAULT 0,
    audience integer NOT NULL DEFAULT 0, seconds real NOT NULL, answered timestamptz NOT NULL, nick text);

-- Whether the role that logged in is the teacher's: a member of the role
-- that owns the game's tables.
CREATE OR REPLACE FUNCTION lontaris_teacher() RETURNS boolean
LANGUAGE plpgsql STABLE SET search_path = public, pg_temp AS $$
BEGIN
    RETURN pg_has_role(session_user, (SELECT relowner FROM pg_class WHERE oid = 'hoso'::regclass), 'MEMBER');
END $$;

-- The first 16 hex digits of SHA-256 over a question's texts joined by U+001F.
CREATE OR REPLACE FUNCTION lontaris_fingerprint(p_cauhoi text, p_a text, p_b text, p_c text, p_d text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    RETURN left(encode(sha256(convert_to(concat_ws(chr(31), coalesce(p_cauhoi, ''), coalesce(p_a, ''), coalesce(p_b, ''),
                                                   coalesce(p_c, ''), coalesce(p_d, '')), 'UTF8')), 'hex'), 16);
END $$;

-- The ladder after `won` right answers: the prize reached, the milestone secured.
CREATE OR REPLACE FUNCTION lontaris_prize(won integer) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $$
    SELECT (ARRAY[0, 100, 200, 300, 500, 1000, 2000, 4000, 8000, 12000, 18000, 25000, 32000, 50000, 75000,
                  100000])[least(greatest(won, 0), 15) + 1]::numeric
$$;
CREATE OR REPLACE FUNCTION lontaris_milestone(won integer) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $$
    SELECT lontaris_prize(CASE WHEN won >= 15 THEN 15 WHEN won >= 10 THEN 10 WHEN won >= 5 THEN 5 ELSE 0 END)
$$;

-- "A".."D" -> 0..3, anything else -1.
CREATE OR REPLACE FUNCTION lontaris_letter(p text) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$
    SELECT CASE p WHEN 'A' THEN 0 WHEN 'B' THEN 1 WHEN 'C' THEN 2 WHEN 'D' THEN 3 ELSE -1 END
$$;

-- The two answers 50:50 takes, as bits 1 << 0..3 for A..D.
CREATE OR REPLACE FUNCTION lontaris_fifty_takes(p_answer text) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$
    SELECT CASE lontaris_letter(p_answer) WHEN 0 THEN 6 WHEN 3 THEN 6 WHEN 1 THEN 5 WHEN 2 THEN 9 ELSE 0 END
$$;

-- The friend's pair and guess for this right answer (VNI, as the chat box
-- shows them), a letter 50:50 took named as the wrong answer still on the
-- board; NULLs for anything but a letter.
CREATE OR REPLACE FUNCTION lontaris_friend(p_answer text, p_removed integer, OUT pair text, OUT guess text)
LANGUAGE plpgsql IMMUTABLE SET search_path = public, pg_temp AS $$
DECLARE r integer := lontaris_letter(p_answer); p1 integer; p2 integer; g integer; x integer;
    named integer[];
BEGIN
    IF r < 0 THEN RETURN; END IF;
    p1 := (ARRAY[0, 1, 2, 0])[r + 1];
    p2 := (ARRAY[2, 2, 3, 3])[r + 1];
    g := (ARRAY[0, 2, 2, 0])[r + 1];
    named := ARRAY[p1, p2, g];
    FOR i IN 1..3 LOOP
        IF p_removed & (1 << named[i]) <> 0 THEN
            FOR x IN 0..3 LOOP
                IF x <> r AND p_removed & (1 << x) = 0 THEN named[i] := x; EXIT; END IF;
            END LOOP;
        END IF;
    END LOOP;
    pair := '>: Khaû naêng caâu ' || chr(65 + named[1]) || ' hay ' || chr(65 + named[2])
            || CASE WHEN r = 1 THEN ' ' ELSE '' END;
    guess := '>:Coù theå laø caâu ' || chr(65 + named[3]);
END $$;

-- The audience's vote for this right answer, in percent for A..D: an answer
-- 50:50 took gets nothing, its share going to the two left, half each, an
-- odd point to the one ahead (the first of equals). NULL for anything but
-- a letter.
CREATE OR REPLACE FUNCTION lontaris_votes(p_answer text, p_removed integer) RETURNS integer[]
LANGUAGE plpgsql IMMUTABLE SET search_path = public, pg_temp AS $$
DECLARE r integer := lontaris_letter(p_answer); v integer[]; freed integer := 0; k1 integer := -1; k2 integer := -1;
BEGIN
    IF r < 0 THEN RETURN NULL; END IF;
    v := CASE r WHEN 0 THEN ARRAY[42, 17, 3, 38] WHEN 1 THEN ARRAY[3, 41, 17, 39] WHEN 2 THEN ARRAY[3, 10, 44, 43]
                ELSE ARRAY[40, 3, 17, 39] END;
    FOR i IN 0..3 LOOP
        IF p_removed & (1 << i) <> 0 THEN
            freed := freed + v[i + 1];
            v[i + 1] := 0;
        ELSIF k1 < 0 THEN
            k1 := i;
        ELSIF k2 < 0 THEN
            k2 := i;
        END IF;
    END LOOP;
    IF freed > 0 AND k2 >= 0 THEN
        v[k1 + 1] := v[k1 + 1] + freed / 2;
        v[k2 + 1] := v[k2 + 1] + freed / 2;
        IF freed % 2 = 1 THEN
            IF v[k2 + 1] > v[k1 + 1] THEN v[k2 + 1] := v[k2 + 1] + 1; ELSE v[k1 + 1] := v[k1 + 1] + 1; END IF;
        END IF;
    END IF;
    RETURN v;
END $$;

-- A table's size was read by a function of its own; the draws read it themselves.
DROP FUNCTION IF EXISTS lontaris_size(text);

-- The rows of a level table (muc1, muc2, muc3) and the ID of its last
-- record (0 for none). Each table's statements stand written out, so that
-- their plans are made once a session.
CREATE OR REPLACE FUNCTION lontaris_level_size(t text, OUT n_rows bigint, OUT top bigint)
LANGUAGE plpgsql STABLE SET search_path = public, pg_temp AS $$
BEGIN
    IF t = 'muc1' THEN SELECT count(*), coalesce(max(x.id), 0) INTO n_rows, top FROM muc1 x;
    ELSIF t = 'muc2' THEN SELECT count(*), coalesce(max(x.id), 0) INTO n_rows, top FROM muc2 x;
    ELSE SELECT count(*), coalesce(max(x.id), 0) INTO n_rows, top FROM muc3 x;
    END IF;
END $$;

-- A question of a level table: the one at p_place (from 0) in the game's
-- order, or, p_place NULL, the one of rid p_rid. A row of NULLs for none.
CREATE OR REPLACE FUNCTION lontaris_level_row(t text, p_place bigint, p_rid bigint) RETURNS muc1
LANGUAGE plpgsql STABLE SET search_path = public, pg_temp AS $$
DECLARE q muc1;
BEGIN
    IF p_place IS NULL THEN
        IF t = 'muc1' THEN SELECT * INTO q FROM muc1 x WHERE x.rid = p_rid;
        ELSIF t = 'muc2' THEN SELECT * INTO q FROM muc2 x WHERE x.rid = p_rid;
        ELSE SELECT * INTO q FROM muc3 x WHERE x.rid = p_rid;
        END IF;
    ELSIF t = 'muc1' THEN SELECT * INTO q FROM muc1 x ORDER BY x.id NULLS FIRST, x.rid OFFSET p_place LIMIT 1;
    ELSIF t = 'muc2' THEN SELECT * INTO q FROM muc2 x ORDER BY x.id NULLS FIRST, x.rid OFFSET p_place LIMIT 1;
    ELSE SELECT * INTO q FROM muc3 x ORDER BY x.id NULLS FIRST, x.rid OFFSET p_place LIMIT 1;
    END IF;
    RETURN q;
END $$;

-- The game of this session's account by its key, locked; NULL for none.
CREATE OR REPLACE FUNCTION lontaris_game(p_token text, p_game text) RETURNS lontaris_games
LANGUAGE plpgsql VOLATILE SET search_path = public, pg_temp AS $$
DECLARE g lontaris_games;
BEGIN
    SELECT x.* INTO g FROM lontaris_games x
        WHERE lontaris_fits(p_game, 100) AND x.game = p_game AND x.account = lontaris_session(p_token) FOR UPDATE;
    RETURN g;
END $$;

-- A judged answer recorded for the teacher's figures, with the question's ID
-- now (a renumbering since the draw moves it).
CREATE OR REPLACE FUNCTION lontaris_record(p_game lontaris_games, p_d lontaris_drawn) RETURNS void
LANGUAGE plpgsql VOLATILE SET search_path = public, pg_temp AS $$
DECLARE q_id bigint; used text[]; who text;
BEGIN
    IF p_d.tbl IN ('muc1', 'muc2', 'muc3') THEN
        q_id := (lontaris_level_row(p_d.tbl, NULL, p_d.rid)).id;
    ELSE
        SELECT q.id INTO q_id FROM thuthach q WHERE q.rid = p_d.rid;
    END IF;
    SELECT array_agg(l.kind) INTO used FROM lontaris_lifelines l WHERE l.game = p_d.game AND l.n = p_d.n AND p_d.n > 0;
    used := coalesce(used, '{}');
    SELECT h.nick INTO who FROM hoso h WHERE h.rid = p_game.account;
    INSERT INTO lontaris_answers (tbl, qid, fingerprint, correct, fifty, phone, audience, seconds, answered, nick)
        VALUES (p_d.tbl, coalesce(q_id, p_d.qid)::integer,
                coalesce(p_d.fingerprint, lontaris_fingerprint(NULL, NULL, NULL, NULL, NULL)), p_d.correct::integer,
                ('fifty' = ANY (used))::integer, ('call' = ANY (used))::integer, ('vote' = ANY (used))::integer,
                extract(epoch FROM p_d.judged - p_d.drawn)::real, p_d.judged, coalesce(who, p_game.nick));
END $$;

-- The fee, by its key, opens a game: asked again (its answer lost), it is
-- not taken twice.
CREATE OR REPLACE FUNCTION lontaris_pay_fee(p_token text, p_fee text)
RETURNS TABLE (outcome text, rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE a bigint; f lontaris_games%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_fee, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    a := lontaris_session(p_token);
    IF a IS NULL OR p_fee IS NULL OR p_fee = '' THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    PERFORM 1 FROM hoso h WHERE h.rid = a FOR UPDATE;
    SELECT * INTO f FROM lontaris_games g WHERE g.game = p_fee;
    IF FOUND AND f.account <> a THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    IF NOT FOUND THEN
        UPDATE hoso h SET sotien = (lontaris_whole(h.sotien) - 1000)::text,
                          solan = (lontaris_whole(h.solan) + 1)::text WHERE h.rid = a;
        INSERT INTO lontaris_games (game, account, nick) SELECT p_fee, a, h.nick FROM hoso h WHERE h.rid = a;
    END IF;
    RETURN QUERY SELECT * FROM lontaris_account_answer('ok', a);
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT * FROM lontaris_account_answer('busy', NULL);
WHEN SQLSTATE 'LTINX' THEN
    RETURN QUERY SELECT * FROM lontaris_account_answer('inexact', NULL);
END $$;

-- The qualifying round's question, once a game: a row of thuthach with a
-- stored order, from a place drawn here. nothing: no question can be asked.
CREATE OR REPLACE FUNCTION lontaris_order_question(p_token text, p_game text)
RETURNS TABLE (outcome text, nothing boolean, cauhoi text, a text, b text, c text, d text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE g lontaris_games; n bigint; top bigint; place bigint; q thuthach%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    g := lontaris_game(p_token, p_game);
    IF g.game IS NULL OR g.settled IS NOT NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    IF NOT EXISTS (SELECT 1 FROM lontaris_drawn x WHERE x.game = g.game AND x.n = 0) THEN
        -- Its rows, and its size: the ID of its last record (0 for none).
        SELECT count(*), coalesce(max(x.id), 0) INTO n, top FROM thuthach x;
        IF n >= 2 THEN
            -- The counter runs over 1 .. size - 1; its place is kept inside the table.
            place := least(greatest(1 + lontaris_random(greatest(top - 1, 1)), 1), n - 1);
            SELECT t.rid, t.id, t.cauhoi, t.a, t.b, t.c, t.d, t.traloi, t.selected INTO q
                FROM (SELECT *, row_number() OVER (ORDER BY id NULLS FIRST, rid) AS k FROM thuthach) t
                WHERE t.k > place AND t.traloi <> '' ORDER BY t.k LIMIT 1;
            IF NOT FOUND AND place > 1 THEN
                SELECT t.rid, t.id, t.cauhoi, t.a, t.b, t.c, t.d, t.traloi, t.selected INTO q
                    FROM (SELECT *, row_number() OVER (ORDER BY id NULLS FIRST, rid) AS k FROM thuthach) t
                    WHERE t.k > 1 AND t.traloi <> '' ORDER BY t.k LIMIT 1;
            END IF;
        END IF;
        IF q.rid IS NULL THEN
            outcome := 'ok'; nothing := true; RETURN NEXT; RETURN;
        END IF;
        INSERT INTO lontaris_drawn (game, n, tbl, rid, qid, fresh, answer, fingerprint)
            VALUES (g.game, 0, 'thuthach', q.rid, q.id, true, q.traloi,
                    lontaris_fingerprint(q.cauhoi, q.a, q.b, q.c, q.d));
    END IF;
    -- The texts as drawn (asked again, the same question).
    RETURN QUERY SELECT 'ok'::text, false, t.cauhoi, t.a, t.b, t.c, t.d
        FROM lontaris_drawn x JOIN thuthach t ON t.rid = x.rid WHERE x.game = g.game AND x.n = 0;
    IF NOT FOUND THEN
        RETURN QUERY SELECT 'ok'::text, false, ''::text, ''::text, ''::text, ''::text, ''::text;
    END IF;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::boolean, NULL::text, NULL::text, NULL::text, NULL::text, NULL::text;
END $$;

-- The verdict on `p_given` for question p_n of game g (0: the qualifying
-- round's order, as typed; 1..15: a letter), once: the drawn question
-- judged and the answer recorded, or, given again as judged, found as it was.
-- NULL: refused (nothing drawn there, nothing given, another answer than the
-- one judged, or no verdict due: p_due).
CREATE OR REPLACE FUNCTION lontaris_verdict(g lontaris_games, p_n integer, p_given text, p_due boolean)
RETURNS lontaris_drawn
LANGUAGE plpgsql VOLATILE SET search_path = public, pg_temp AS $$
DECLARE x lontaris_drawn%ROWTYPE;
BEGIN
    SELECT * INTO x FROM lontaris_drawn d WHERE d.game = g.game AND d.n = p_n;
    IF x.game IS NULL OR p_given IS NULL OR (x.judged IS NULL AND NOT p_due)
       OR (x.judged IS NOT NULL AND x.picked IS DISTINCT FROM p_given) THEN
        RETURN NULL;
    END IF;
    IF x.judged IS NULL THEN
        UPDATE lontaris_drawn d SET picked = p_given, judged = clock_timestamp(),
                                    correct = coalesce(p_given = d.answer, false)
                                              AND (p_n = 0 OR lontaris_letter(p_given) >= 0)
            WHERE d.game = g.game AND d.n = p_n RETURNING * INTO x;
        PERFORM lontaris_record(g, x);
    END IF;
    RETURN x;
END $$;

-- The verdict on the letters typed for the qualifying question, once; the
-- same letters asked again get the same verdict.
CREATE OR REPLACE FUNCTION lontaris_judge_order(p_token text, p_game text, p_typed text)
RETURNS TABLE (outcome text, correct boolean, answer text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE g lontaris_games; x lontaris_drawn%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100) AND lontaris_fits(p_typed, 255)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    g := lontaris_game(p_token, p_game);
    IF g.game IS NOT NULL THEN
        x := lontaris_verdict(g, 0, p_typed, g.settled IS NULL);
    END IF;
    IF x.game IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    outcome := 'ok'; correct := x.correct; answer := x.answer; RETURN NEXT;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::boolean, NULL::text;
END $$;

-- The hot seat's question number p_n (the next after a right verdict, the
-- first at the start), drawn here by the game's rules: each level table
-- strictly forwards from its first row, by an offset whose range follows the
-- question last drawn and the level's size. Asked again while it waits for
-- its verdict, the same question. fresh: false when the level's table is
-- empty (the question on screen is asked again).
CREATE OR REPLACE FUNCTION lontaris_next_question(p_token text, p_game text, p_n integer)
RETURNS TABLE (outcome text, fresh boolean, id bigint, cauhoi text, a text, b text, c text, d text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE g lontaris_games; prev lontaris_drawn%ROWTYPE; cur lontaris_drawn%ROWTYPE; t text; place bigint;
    top bigint; span bigint;
    n_rows bigint; q muc1%ROWTYPE; last_id bigint;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    g := lontaris_game(p_token, p_game);
    IF g.game IS NULL OR p_n IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    IF NOT (p_n = g.asked AND g.open) THEN
        IF p_n <> g.asked + 1 OR g.open OR g.state <> 'playing' OR g.settled IS NOT NULL OR p_n > 15
           OR g.rung <> g.asked THEN
            outcome := 'refused'; RETURN NEXT; RETURN;
        END IF;
        SELECT * INTO prev FROM lontaris_drawn x WHERE x.game = g.game AND x.n = p_n - 1 AND p_n > 1;
        -- The level: a new one starts on its table's first row.
        t := CASE WHEN p_n <= 4 THEN 'muc1' WHEN p_n <= 9 THEN 'muc2' ELSE 'muc3' END;
        place := CASE WHEN p_n IN (1, 5, 10) THEN 0 ELSE g.pos END;
        SELECT z.n_rows, z.top INTO n_rows, top FROM lontaris_level_size(t) z;
        -- The ID of the question last shown.
        SELECT x.qid INTO last_id FROM lontaris_drawn x WHERE x.game = g.game AND x.n BETWEEN 1 AND p_n - 1 AND x.fresh
            ORDER BY x.n DESC LIMIT 1;
        last_id := coalesce(last_id, 0);
        span := CASE WHEN p_n IN (1, 5, 10) THEN top / 2
                     WHEN p_n IN (4, 9, 15) THEN top - last_id
                     ELSE (top - last_id) / 2 END;
        span := greatest(span, 1);
        IF n_rows > 0 THEN
            place := least(greatest(place + 1 + lontaris_random(span), 0), n_rows - 1);
            q := lontaris_level_row(t, place, NULL);
        END IF;
        IF q.rid IS NOT NULL THEN
            INSERT INTO lontaris_drawn (game, n, tbl, rid, qid, fresh, answer, fingerprint)
                VALUES (g.game, p_n, t, q.rid, q.id, true, coalesce(q.traloi, prev.answer),
                        lontaris_fingerprint(q.cauhoi, q.a, q.b, q.c, q.d));
        ELSE
            INSERT INTO lontaris_drawn (game, n, tbl, rid, qid, fresh, answer, fingerprint)
                VALUES (g.game, p_n, t, prev.rid, prev.qid, false, prev.answer, prev.fingerprint);
        END IF;
        UPDATE lontaris_games x SET asked = p_n, open = true, tbl = t, pos = place
            WHERE x.game = g.game;
    END IF;
    SELECT * INTO cur FROM lontaris_drawn x WHERE x.game = g.game AND x.n = p_n;
    IF cur.game IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    q := CASE WHEN cur.fresh THEN lontaris_level_row(cur.tbl, NULL, cur.rid) END;
    RETURN QUERY SELECT 'ok'::text, cur.fresh, CASE WHEN cur.fresh THEN cur.qid END, q.cauhoi, q.a, q.b, q.c, q.d;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::boolean, NULL::bigint, NULL::text, NULL::text, NULL::text, NULL::text,
                        NULL::text;
END $$;

-- The verdict on the letter picked for question p_n, once: a wrong one ends
-- the game, and so does the fifteenth right one. The same letter asked again
-- gets the same verdict.
CREATE OR REPLACE FUNCTION lontaris_judge(p_token text, p_game text, p_n integer, p_picked text)
RETURNS TABLE (outcome text, correct boolean, answer text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE g lontaris_games; x lontaris_drawn%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100) AND lontaris_fits(p_picked, 255)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    g := lontaris_game(p_token, p_game);
    -- Only the question last drawn, and a verdict is due while it is open.
    IF g.game IS NOT NULL AND p_n >= 1 AND p_n = g.asked THEN
        x := lontaris_verdict(g, p_n, p_picked, g.open);
    END IF;
    IF x.game IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    IF g.open THEN
        UPDATE lontaris_games y SET open = false,
                                    rung = y.rung + x.correct::integer,
                                    state = CASE WHEN NOT x.correct THEN 'wrong' WHEN y.rung + 1 >= 15 THEN 'won' ELSE y.state END,
                                    ended = CASE WHEN NOT x.correct OR y.rung + 1 >= 15 THEN clock_timestamp() ELSE y.ended END
            WHERE y.game = g.game;
    END IF;
    outcome := 'ok'; correct := x.correct; answer := x.answer; RETURN NEXT;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::boolean, NULL::text;
END $$;

-- A lifeline of the game, once, on the open question p_n: its row (kind,
-- n, what it gave), new or as taken before on that question. NULL: refused.
CREATE OR REPLACE FUNCTION lontaris_lifeline(p_token text, p_game text, p_n integer, p_kind text)
RETURNS lontaris_lifelines
LANGUAGE plpgsql VOLATILE SET search_path = public, pg_temp AS $$
DECLARE g lontaris_games; l lontaris_lifelines%ROWTYPE; x lontaris_drawn%ROWTYPE; removed integer := 0;
BEGIN
    g := lontaris_game(p_token, p_game);
    IF g.game IS NULL OR p_n IS NULL THEN RETURN NULL; END IF;
    SELECT * INTO l FROM lontaris_lifelines k WHERE k.game = g.game AND k.kind = p_kind;
    IF FOUND THEN
        RETURN CASE WHEN l.n = p_n AND p_n = g.asked THEN l END;
    END IF;
    IF NOT g.open OR p_n <> g.asked THEN RETURN NULL; END IF;
    SELECT * INTO x FROM lontaris_drawn d WHERE d.game = g.game AND d.n = p_n;
    SELECT k.removed INTO removed FROM lontaris_lifelines k WHERE k.game = g.game AND k.kind = 'fifty' AND k.n = p_n;
    removed := coalesce(removed, 0);
    l.game := g.game; l.kind := p_kind; l.n := p_n; l.removed := 0;
    IF p_kind = 'fifty' THEN
        l.removed := lontaris_fifty_takes(x.answer);
    ELSIF p_kind = 'call' THEN
        SELECT f.pair, f.guess INTO l.pair, l.guess FROM lontaris_friend(x.answer, removed) f;
    ELSE
        l.votes := lontaris_votes(x.answer, removed);
    END IF;
    INSERT INTO lontaris_lifelines VALUES (l.*);
    RETURN l;
END $$;

-- 50:50 on question p_n: the two answers it takes (bits 1 << 0..3 for A..D),
-- with the call's lines and the vote already given on it kept to the new board.
CREATE OR REPLACE FUNCTION lontaris_fifty(p_token text, p_game text, p_n integer)
RETURNS TABLE (outcome text, removed integer, pair text, guess text, votes integer[])
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE l lontaris_lifelines%ROWTYPE; x lontaris_drawn%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    l := lontaris_lifeline(p_token, p_game, p_n, 'fifty');
    IF l.game IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    SELECT * INTO x FROM lontaris_drawn d WHERE d.game = l.game AND d.n = p_n;
    outcome := 'ok'; removed := l.removed;
    IF EXISTS (SELECT 1 FROM lontaris_lifelines k WHERE k.game = l.game AND k.kind = 'call' AND k.n = p_n) THEN
        SELECT f.pair, f.guess INTO pair, guess FROM lontaris_friend(x.answer, l.removed) f;
    END IF;
    IF EXISTS (SELECT 1 FROM lontaris_lifelines k WHERE k.game = l.game AND k.kind = 'vote' AND k.n = p_n) THEN
        votes := lontaris_votes(x.answer, l.removed);
    END IF;
    RETURN NEXT;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::integer, NULL::text, NULL::text, NULL::integer[];
END $$;

-- Phone a friend on question p_n: the pair and the guess (NULL: the friend
-- has nothing to say).
CREATE OR REPLACE FUNCTION lontaris_call(p_token text, p_game text, p_n integer)
RETURNS TABLE (outcome text, pair text, guess text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE l lontaris_lifelines%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    l := lontaris_lifeline(p_token, p_game, p_n, 'call');
    IF l.game IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    outcome := 'ok'; pair := l.pair; guess := l.guess; RETURN NEXT;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::text, NULL::text;
END $$;

-- Ask the audience on question p_n: percent for A..D (NULL: no letter stored).
CREATE OR REPLACE FUNCTION lontaris_vote(p_token text, p_game text, p_n integer)
RETURNS TABLE (outcome text, votes integer[])
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE l lontaris_lifelines%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    l := lontaris_lifeline(p_token, p_game, p_n, 'vote');
    IF l.game IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    outcome := 'ok'; votes := l.votes; RETURN NEXT;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text, NULL::integer[];
END $$;

-- The right answer of the question last drawn, once it has its verdict, or
-- while the teacher's top-five switch is on.
CREATE OR REPLACE FUNCTION lontaris_reveal(p_token text, p_game text)
RETURNS TABLE (outcome text, answer text)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE x lontaris_drawn%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    SELECT d.* INTO x FROM lontaris_games g JOIN lontaris_drawn d ON d.game = g.game AND d.n = g.asked AND d.n >= 1
        WHERE g.game = p_game AND g.account = lontaris_session(p_token);
    IF x.game IS NULL OR (x.judged IS NULL AND coalesce((SELECT l.hienten FROM "lock" l ORDER BY l.rid LIMIT 1), '0') <> '1') THEN
        outcome := 'refused'; RETURN NEXT; RETURN;
    END IF;
    outcome := 'ok'; answer := x.answer; RETURN NEXT;
END $$;

-- The player stops and keeps the prize reached. Asked again, the same.
CREATE OR REPLACE FUNCTION lontaris_stop(p_token text, p_game text) RETURNS TABLE (outcome text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE g lontaris_games;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    g := lontaris_game(p_token, p_game);
    IF g.game IS NULL OR g.settled IS NOT NULL OR g.state NOT IN ('playing', 'stopped') THEN
        outcome := 'refused'; RETURN NEXT; RETURN;
    END IF;
    UPDATE lontaris_games x SET state = 'stopped', open = false, ended = coalesce(x.ended, clock_timestamp())
        WHERE x.game = g.game;
    outcome := 'ok'; RETURN NEXT;
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT 'busy'::text;
END $$;

-- The end of the game, once: it pays what the game's record says for how it
-- ended (stopped: the prize reached; won: the top prize; a wrong answer or
-- leaving: the milestone secured), adds no more minutes than have passed
-- since the fee (and the minute counted when the game opened) and, from the
-- teacher's role only, the eight switches "0" or "1" (NULL: kept as stored;
-- a pupil's are left as stored). Asked again with the same key (its answer
-- lost), it changes nothing and gives the account.
CREATE OR REPLACE FUNCTION lontaris_end_game(p_token text, p_game text, p_save text, p_minutes bigint,
                                             p_switches text[])
RETURNS TABLE (outcome text, rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE g lontaris_games; won numeric; total numeric;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_game, 100) AND lontaris_fits(p_save, 100))
       OR cardinality(p_switches) > 8 THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    g := lontaris_game(p_token, p_game);
    IF g.game IS NULL OR p_save IS NULL OR p_save = '' THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    IF g.settled IS NOT NULL AND g.settled = p_save THEN
        RETURN QUERY SELECT * FROM lontaris_account_answer('ok', g.account);
        RETURN;
    END IF;
    IF g.settled IS NOT NULL OR p_minutes IS NULL OR p_minutes < 0
       OR p_minutes > ceil(extract(epoch FROM clock_timestamp() - g.started) / 60) + 1
       OR p_switches IS NULL OR cardinality(p_switches) <> 8
       OR EXISTS (SELECT 1 FROM unnest(p_switches) s WHERE s IS NOT NULL AND s NOT IN ('0', '1')) THEN
        outcome := 'refused'; RETURN NEXT; RETURN;
    END IF;
    won := CASE g.state WHEN 'stopped' THEN lontaris_prize(g.rung) WHEN 'won' THEN lontaris_prize(15)
                        ELSE lontaris_milestone(g.rung) END;
    PERFORM 1 FROM hoso h WHERE h.rid = g.account FOR UPDATE;
    UPDATE hoso h SET sotien = (lontaris_whole(h.sotien) + won)::text WHERE h.rid = g.account AND won <> 0;
    IF p_minutes <> 0 THEN
        SELECT lontaris_whole(h.phut) + p_minutes INTO total FROM hoso h WHERE h.rid = g.account;
        UPDATE hoso h SET phut = mod(total, 60)::text,
                          gio = CASE WHEN div(total, 60) = 0 THEN h.gio ELSE (lontaris_whole(h.gio) + div(total, 60))::text END
            WHERE h.rid = g.account;
    END IF;
    -- The switches are the teacher's. Their row is every machine's: an end
    -- waits for it no longer than the lock timeout, and is then made without
    -- changing them, so that nobody holding that row holds the others' ends.
    IF lontaris_teacher() THEN
        BEGIN
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
        EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
            NULL;
        END;
    END IF;
    UPDATE lontaris_games x SET settled = p_save, paid = won, open = false, ended = coalesce(x.ended, clock_timestamp())
        WHERE x.game = g.game;
    RETURN QUERY SELECT * FROM lontaris_account_answer('ok', g.account);
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT * FROM lontaris_account_answer('busy', NULL);
WHEN SQLSTATE 'LTINX' THEN
    RETURN QUERY SELECT * FROM lontaris_account_answer('inexact', NULL);
END $$;

-- What the game's record holds as the right answer and the order of the
-- questions now asked: for the teacher's own game only (tests and
-- benchmarks play it); never granted to the pupils.
CREATE OR REPLACE FUNCTION lontaris_held_answer(p_token text, p_game text)
RETURNS TABLE (outcome text, answer text, ordered text)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF NOT lontaris_teacher() THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    RETURN QUERY SELECT 'ok'::text,
        (SELECT d.answer FROM lontaris_drawn d WHERE d.game = g.game AND d.n = g.asked AND d.n >= 1),
        (SELECT d.answer FROM lontaris_drawn d WHERE d.game = g.game AND d.n = 0)
        FROM lontaris_games g WHERE g.game = p_game AND g.account = lontaris_session(p_token);
END $$;
)SQL";

} // namespace

ApiPart refereeApi()
{
    return {kReferee,
            {QStringLiteral("lontaris_pay_fee(text, text)"),
             QStringLiteral("lontaris_order_question(text, text)"),
             QStringLiteral("lontaris_judge_order(text, text, text)"),
             QStringLiteral("lontaris_next_question(text, text, integer)"),
             QStringLiteral("lontaris_judge(text, text, integer, text)"),
             QStringLiteral("lontaris_fifty(text, text, integer)"), QStringLiteral("lontaris_call(text, text, integer)"),
             QStringLiteral("lontaris_vote(text, text, integer)"), QStringLiteral("lontaris_reveal(text, text)"),
             QStringLiteral("lontaris_stop(text, text)"),
             QStringLiteral("lontaris_end_game(text, text, text, bigint, text[])")}};
}

} // namespace db::pg
