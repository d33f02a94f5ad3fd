-- Version 4: the functions that indexes are made of name their collation
-- with its schema, so that a backup restored with pg_restore (which builds
-- the indexes with no schema on its search path) gets every index. The
-- definitions are those of postgres.sql, word for word; the order they give
-- is the same, so the indexes stand as they are.

CREATE OR REPLACE FUNCTION lib_fold(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT translate(lower(t COLLATE public.lib_chinese), 'ς', 'σ')
$$;

CREATE OR REPLACE FUNCTION lib_order(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT (regexp_replace(translate(lower(t COLLATE public.lib_chinese), U&'ς\FFFE\FFFF', U&'σ\FFFD\FFFD'), '(.)',
                           U&'\\1\034F', 'g') || U&'\FFFE' || t) COLLATE public.lib_chinese
$$;

CREATE OR REPLACE FUNCTION lib_order_from(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT regexp_replace(translate(lower(t COLLATE public.lib_chinese), U&'ς\FFFE\FFFF', U&'σ\FFFD\FFFD'), '(.)',
                          U&'\\1\034F', 'g') COLLATE public.lib_chinese
$$;
