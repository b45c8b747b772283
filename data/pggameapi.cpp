// The server functions of a game beside its referee's (pgreferee.cpp): the
// switches and the top five. Written as pgfunctions.cpp says every such
// function is.

#include "pgbackend_p.h"

namespace db::pg {

namespace {

const char *kGame = R"SQL(
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
            {QStringLiteral("lontaris_switches()"), QStringLiteral("lontaris_top_five()")}};
}

} // namespace db::pg
