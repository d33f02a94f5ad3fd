-- Version 7: the loans a statement deletes are counted off together, by
-- copy, after it (a clean-up no longer holds each copy's count for as long
-- as it deletes), and half of each page of the counts left free (a count
-- changed is written beside itself, without a new index entry).
ALTER TABLE lib_copy_loans SET (fillfactor = 50);
CLUSTER lib_copy_loans USING lib_copy_loans_pkey;
ALTER TABLE lib_copy_loans SET WITHOUT CLUSTER;
CREATE FUNCTION lib_uncount_loans() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    nestloop text := current_setting('enable_nestloop');
    mergejoin text := current_setting('enable_mergejoin');
    memory text := current_setting('work_mem');
BEGIN
    IF (SELECT count(*) FROM lib_gone_loans) <= 1000 THEN
        UPDATE public.lib_copy_loans AS c SET 借阅次数 = c.借阅次数 - g.n
            FROM (SELECT 图书编号, count(*) AS n FROM lib_gone_loans WHERE 图书编号 IS NOT NULL
                  GROUP BY 图书编号) AS g
            WHERE c.图书编号 = g.图书编号;
    ELSE
        PERFORM set_config('enable_nestloop', 'off', true), set_config('enable_mergejoin', 'off', true),
                set_config('work_mem', '64MB', true);
        UPDATE public.lib_copy_loans AS c SET 借阅次数 = c.借阅次数 - g.n
            FROM (SELECT 图书编号, count(*) AS n FROM lib_gone_loans WHERE 图书编号 IS NOT NULL
                  GROUP BY 图书编号) AS g
            WHERE c.图书编号 = g.图书编号;
        PERFORM set_config('enable_nestloop', nestloop, true), set_config('enable_mergejoin', mergejoin, true),
                set_config('work_mem', memory, true);
    END IF;
    RETURN NULL;
END
$$;
DROP TRIGGER 图书借阅_计数 ON 图书借阅;
CREATE TRIGGER 图书借阅_计数 AFTER INSERT OR UPDATE OF 图书编号 ON 图书借阅
    FOR EACH ROW EXECUTE FUNCTION lib_count_loan();
CREATE TRIGGER 图书借阅_删除计数 AFTER DELETE ON 图书借阅 REFERENCING OLD TABLE AS lib_gone_loans
    FOR EACH STATEMENT EXECUTE FUNCTION lib_uncount_loans();
