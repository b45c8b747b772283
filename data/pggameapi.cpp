// The server functions of a game: the entry fee, the game's end, the
// switches and the top five. Written as pgfunctions.cpp says every such
// function is.

#include "pgbackend_p.h"

namespace db::pg {

namespace {

const char *kGame = R"SQL(
-- The fee, by its key: asked again (its answer lost), it is not taken twice.
CREATE OR REPLACE FUNCTION lontaris_pay_fee(p_token text, p_fee text)
RETURNS TABLE (outcome text, rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE a bigint; f lontaris_fees%ROWTYPE;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_fee, 100)) THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    a := lontaris_session(p_token);
    IF a IS NULL OR p_fee IS NULL OR p_fee = '' THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    PERFORM 1 FROM hoso h WHERE h.rid = a FOR UPDATE;
    SELECT * INTO f FROM lontaris_fees WHERE fee = p_fee;
    IF FOUND AND f.account <> a THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    IF NOT FOUND THEN
        UPDATE hoso h SET sotien = (lontaris_whole(h.sotien) - 1000)::text,
                          solan = (lontaris_whole(h.solan) + 1)::text WHERE h.rid = a;
        INSERT INTO lontaris_fees (fee, account) VALUES (p_fee, a);
    END IF;
    RETURN QUERY SELECT * FROM lontaris_account_answer('ok', a);
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT * FROM lontaris_account_answer('busy', NULL);
WHEN SQLSTATE 'LTINX' THEN
    RETURN QUERY SELECT * FROM lontaris_account_answer('inexact', NULL);
END $$;

-- The end of the game a fee of this session paid for, once: the winnings one
-- of the ladder's amounts (the numeric-prefix rule, blanks between digits
-- ignored), no more minutes than have passed since the fee (and the minute
-- counted when the game opened), the eight switches "0" or "1", or NULL for
-- one kept as stored (a game that could not read them, or did not change
-- it). Asked again with the same save key (its answer lost), it changes
-- nothing and gives the account.
CREATE OR REPLACE FUNCTION lontaris_end_game(p_token text, p_fee text, p_save text, p_money text, p_minutes bigint,
                                             p_switches text[])
RETURNS TABLE (outcome text, rid bigint, nick text, sotien text, solan text, gio text, phut text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp SET lock_timeout = '2s' AS $$
DECLARE a bigint; f lontaris_fees%ROWTYPE; won numeric; total numeric;
BEGIN
    IF NOT (lontaris_fits(p_token, 100) AND lontaris_fits(p_fee, 100) AND lontaris_fits(p_save, 100)
            AND lontaris_fits(p_money, 20)) OR cardinality(p_switches) > 8 THEN
        outcome := 'toolong'; RETURN NEXT; RETURN;
    END IF;
    IF NOT lontaris_alone() THEN outcome := 'busy'; RETURN NEXT; RETURN; END IF;
    a := lontaris_session(p_token);
    IF a IS NULL OR p_save IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    SELECT * INTO f FROM lontaris_fees WHERE fee = p_fee AND account = a FOR UPDATE;
    IF NOT FOUND THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    IF f.saved IS NOT NULL AND f.saved = p_save THEN
        RETURN QUERY SELECT * FROM lontaris_account_answer('ok', a);
        RETURN;
    END IF;
    IF f.saved IS NOT NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    won := coalesce(substring(regexp_replace(coalesce(p_money, ''), '[[:space:]]', '', 'g') from '^[0-9]{1,7}'), '0')::numeric;
    IF won NOT IN (0, 100, 200, 300, 500, 1000, 2000, 4000, 8000, 12000, 18000, 25000, 32000, 50000, 75000, 100000)
       OR p_minutes IS NULL OR p_minutes < 0
       OR p_minutes > ceil(extract(epoch FROM clock_timestamp() - f.paid) / 60) + 1
       OR p_switches IS NULL OR cardinality(p_switches) <> 8
       OR EXISTS (SELECT 1 FROM unnest(p_switches) s WHERE s IS NOT NULL AND s NOT IN ('0', '1')) THEN
        outcome := 'refused'; RETURN NEXT; RETURN;
    END IF;
    UPDATE hoso h SET sotien = (lontaris_whole(h.sotien) + won)::text WHERE h.rid = a;
    IF p_minutes <> 0 THEN
        SELECT lontaris_whole(h.phut) + p_minutes INTO total FROM hoso h WHERE h.rid = a;
        UPDATE hoso h SET phut = mod(total, 60)::text,
                          gio = CASE WHEN div(total, 60) = 0 THEN h.gio ELSE (lontaris_whole(h.gio) + div(total, 60))::text END
            WHERE h.rid = a;
    END IF;
    -- The switches row is every machine's: a save waits for it no longer than
    -- the lock timeout, and is then made without changing them, so that
    -- nobody holding that row holds the others' saves.
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
    UPDATE lontaris_fees SET saved = p_save WHERE fee = p_fee;
    RETURN QUERY SELECT * FROM lontaris_account_answer('ok', a);
EXCEPTION WHEN lock_not_available OR deadlock_detected THEN
    RETURN QUERY SELECT * FROM lontaris_account_answer('busy', NULL);
WHEN SQLSTATE 'LTINX' THEN
    RETURN QUERY SELECT * FROM lontaris_account_answer('inexact', NULL);
END $$;

CREATE OR REPLACE FUNCTION lontaris_switches()
RETURNS TABLE (outcome text, hienten text, thuthach text, hien19 text, hiencode text, hienten1 text, thuthach1 text,
               hien191 text, hiencode1 text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
    SELECT 'ok'::text, l.hienten, l.thuthach, l.hien19, l.hiencode, l.hienten1, l.thuthach1, l.hien191, l.hiencode1
    FROM "lock" l ORDER BY l.rid LIMIT 1
$$;

-- The five richest, nick and money only, each cut to what the board holds.
CREATE OR REPLACE FUNCTION lontaris_top_five() RETURNS TABLE (outcome text, rid bigint, nick text, sotien text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
    SELECT 'ok'::text, h.rid, lontaris_elided(h.nick, 24), lontaris_elided(h.sotien, 24)
    FROM hoso h ORDER BY h.money DESC NULLS LAST, h.rid DESC LIMIT 5
$$;
)SQL";

} // namespace

ApiPart gameApi()
{
    return {kGame,
            {QStringLiteral("lontaris_pay_fee(text, text)"),
             QStringLiteral("lontaris_end_game(text, text, text, text, bigint, text[])"),
             QStringLiteral("lontaris_switches()"), QStringLiteral("lontaris_top_five()")}};
}

} // namespace db::pg
