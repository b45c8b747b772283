// The server functions that read the question tables for the draws: a
// table's size and whether its IDs run 1..N, rows by ID or by place, the
// last ID. Written as pgfunctions.cpp says every such function is.

#include "pgbackend_p.h"

namespace db::pg {

namespace {

const char *kBank = R"SQL(
CREATE OR REPLACE FUNCTION lontaris_facts(p_table text) RETURNS TABLE (outcome text, version bigint, n bigint, dense boolean)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE t text := lontaris_table(p_table);
BEGIN
    IF t IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    RETURN QUERY EXECUTE format('SELECT ''ok''::text, (SELECT c.version FROM lontaris_changes c WHERE c.tbl = $1), '
        'count(*), count(*) = 0 OR (count(DISTINCT id) = count(*) AND count(id) = count(*) AND min(id) = 1 '
        'AND max(id) = count(*)) FROM %I', t) USING t;
END $$;

-- Rows with the table's change counter, from the same snapshot: by ID
-- (from_id <= ID < from_id + count) or by place (offset, limit), and the
-- first answered one from an ID or a place on; a page at the most. The
-- right answers go to the teacher's role only: the server referees the
-- pupils' games (pgreferee.cpp).
CREATE OR REPLACE FUNCTION lontaris_rows(p_table text, p_by_id boolean, p_from bigint, p_count bigint,
                                         p_answered boolean)
RETURNS TABLE (outcome text, version bigint, rid bigint, id bigint, cauhoi text, a text, b text, c text, d text,
               traloi text, selected boolean)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE t text := lontaris_table(p_table);
    cols text := '''ok''::text, (SELECT k.version FROM lontaris_changes k WHERE k.tbl = $1), rid, id, cauhoi, a, b, c, d, '
                 'CASE WHEN $4 THEN traloi END, selected';
BEGIN
    IF t IS NULL OR p_by_id IS NULL OR p_from IS NULL OR p_count IS NULL OR p_answered IS NULL OR p_count < 0
       OR p_count > 1000 THEN
        outcome := 'refused'; RETURN NEXT; RETURN;
    END IF;
    IF p_by_id AND p_answered THEN
        RETURN QUERY EXECUTE format('SELECT %s FROM %I WHERE id >= $2 AND traloi <> '''' ORDER BY id NULLS FIRST, rid LIMIT 1', cols, t)
            USING t, p_from, NULL::bigint, lontaris_teacher();
    ELSIF p_by_id THEN
        RETURN QUERY EXECUTE format('SELECT %s FROM %I WHERE id >= $2 AND id < $2 + $3 ORDER BY id NULLS FIRST, rid', cols, t)
            USING t, p_from, p_count, lontaris_teacher();
    ELSIF p_answered THEN
        RETURN QUERY EXECUTE format('SELECT %s FROM (SELECT *, row_number() OVER (ORDER BY id NULLS FIRST, rid) AS n FROM %I) s '
            'WHERE n > $2 AND traloi <> '''' ORDER BY n LIMIT 1', cols, t) USING t, p_from, NULL::bigint, lontaris_teacher();
    ELSE
        RETURN QUERY EXECUTE format('SELECT %s FROM %I ORDER BY id NULLS FIRST, rid LIMIT $3 OFFSET greatest($2, 0)', cols, t)
            USING t, p_from, p_count, lontaris_teacher();
    END IF;
END $$;

CREATE OR REPLACE FUNCTION lontaris_last_id(p_table text) RETURNS TABLE (outcome text, id bigint)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE t text := lontaris_table(p_table);
BEGIN
    IF t IS NULL THEN outcome := 'refused'; RETURN NEXT; RETURN; END IF;
    RETURN QUERY EXECUTE format('SELECT ''ok''::text, id FROM %I ORDER BY id DESC NULLS LAST, rid DESC LIMIT 1', t);
END $$;
)SQL";

} // namespace

ApiPart bankApi()
{
    return {kBank,
            {QStringLiteral("lontaris_facts(text)"), QStringLiteral("lontaris_rows(text, boolean, bigint, bigint, boolean)"),
             QStringLiteral("lontaris_last_id(text)")}};
}

} // namespace db::pg
