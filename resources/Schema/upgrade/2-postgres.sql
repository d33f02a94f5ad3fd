-- Version 2: one text order on both engines, pinyin character by character,
-- letter case aside (db/DialectText.h). The functions that make it, the
-- lists' and searches' indexes in it in place of those in the collation's
-- own order, LIKE folding letters as the embedded engine does, money
-- refused past its range, the functions' failures in the program's words.
-- Definitions as postgres.sql has them, word for word.

CREATE FUNCTION lib_fold(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT translate(lower(t COLLATE lib_chinese), 'ς', 'σ')
$$;

CREATE FUNCTION lib_order(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT (regexp_replace(translate(lower(t COLLATE lib_chinese), U&'ς\FFFE\FFFF', U&'σ\FFFD\FFFD'), '(.)',
                           U&'\\1\034F', 'g') || U&'\FFFE' || t) COLLATE lib_chinese
$$;

CREATE FUNCTION lib_order_from(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT regexp_replace(translate(lower(t COLLATE lib_chinese), U&'ς\FFFE\FFFF', U&'σ\FFFD\FFFD'), '(.)',
                          U&'\\1\034F', 'g') COLLATE lib_chinese
$$;

CREATE FUNCTION lib_order_text(k text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT substr(k, strpos(k, U&'\FFFE') + 1)
$$;

DROP INDEX 图书档案_图书名称;
DROP INDEX 读者档案_姓名;
DROP INDEX 充值记录_充值编号;
CREATE INDEX 图书档案_ISBN序 ON 图书档案 ((lib_order("ISBN") COLLATE lib_chinese));
CREATE INDEX 图书档案_名称序 ON 图书档案 ((lib_order(图书名称) COLLATE lib_chinese) NULLS FIRST,
                                      ("ISBN"::text COLLATE "C"));
CREATE INDEX 图书库存_编号序 ON 图书库存 ((lib_order(图书编号) COLLATE lib_chinese));
CREATE INDEX 图书借阅_编号序 ON 图书借阅 ((lib_order(图书借阅编号) COLLATE lib_chinese));
CREATE INDEX 图书借阅_未还_编号序 ON 图书借阅 (是否已还, (lib_order(图书借阅编号) COLLATE lib_chinese));
CREATE INDEX 图书损坏_编号序 ON 图书损坏 ((lib_order(图书损坏编号) COLLATE lib_chinese));
CREATE INDEX 读者档案_编号序 ON 读者档案 ((lib_order(读者编号) COLLATE lib_chinese));
CREATE INDEX 读者档案_姓名序 ON 读者档案 ((lib_order(姓名) COLLATE lib_chinese) NULLS FIRST,
                                      (读者编号::text COLLATE "C"));
-- The authors' filter list: a DISTINCT of texts groups them as the fold has
-- them, in the text order (lib_order_from).
CREATE INDEX 图书档案_作者序 ON 图书档案 ((lib_order_from(作者) COLLATE lib_chinese) NULLS FIRST);
CREATE INDEX 出版社_名称序 ON 出版社 ((lib_order(出版社名称) COLLATE lib_chinese));
CREATE INDEX 充值记录_编号序 ON 充值记录 ((lib_order(充值编号) COLLATE lib_chinese) NULLS FIRST);

CREATE OR REPLACE FUNCTION lib_money_text(v numeric, style integer, len integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    a numeric := abs(round(v));
    cents numeric;
    whole text;
    frac text;
    result text;
BEGIN
    IF v IS NULL THEN
        RETURN NULL;
    END IF;
    IF style = 2 THEN
        whole := trunc(a / 10000)::text;
        frac := lpad((a % 10000)::text, 4, '0');
    ELSE
        cents := trunc((a + 50) / 100);
        whole := trunc(cents / 100)::text;
        frac := lpad((cents % 100)::text, 2, '0');
        IF style = 1 THEN
            whole := regexp_replace(whole, '(\d)(?=(\d{3})+$)', '\1,', 'g');
        END IF;
    END IF;
    result := whole || '.' || frac;
    IF v < 0 AND result ~ '[1-9]' THEN
        result := '-' || result;
    END IF;
    IF length(result) > len THEN
        RAISE EXCEPTION '将 money 转换为数据类型 varchar 时出现算术溢出错误。' USING ERRCODE = 'LB000';
    END IF;
    RETURN result;
END
$$;

CREATE FUNCTION lib_money(v numeric) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    r numeric := round(v);
BEGIN
    IF r < -9223372036854775808 OR r > 9223372036854775807 THEN
        RAISE EXCEPTION '出现算术溢出错误：数值超出了其数据类型（整数或 money）所能容纳的范围。' USING ERRCODE = 'LB000';
    END IF;
    RETURN r::bigint;
END
$$;

CREATE OR REPLACE FUNCTION lib_like(s text, pattern text, esc text DEFAULT NULL) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    p text;
    e text;
    re text := '';
    i integer := 1;
    n integer;
    c text;
    close integer;
    k integer;
    negate boolean;
    members text;
BEGIN
    IF s IS NULL OR pattern IS NULL THEN
        RETURN NULL;
    END IF;
    IF esc IS NOT NULL THEN
        IF length(esc) <> 1 THEN
            RAISE EXCEPTION 'LIKE 的转义符必须是单个字符。' USING ERRCODE = 'LB000';
        END IF;
        e := lib_fold(esc);
        IF length(e) <> 1 THEN
            e := esc;
        END IF;
    END IF;
    p := lib_fold(pattern);
    n := length(p);
    -- Every character of the pattern goes into the expression as \U and its
    -- code point, so that none is read as the expression's own sign.
    WHILE i <= n LOOP
        c := substr(p, i, 1);
        IF e IS NOT NULL AND c = e AND i < n THEN
            re := re || '\U' || lpad(to_hex(ascii(substr(p, i + 1, 1))), 8, '0');
            i := i + 2;
            CONTINUE;
        ELSIF c = '%' THEN
            re := re || '.*';
        ELSIF c = '_' THEN
            re := re || '.';
        ELSIF c = '[' AND strpos(substr(p, i + 2), ']') > 0 THEN
            close := i + 1 + strpos(substr(p, i + 2), ']');
            k := i + 1;
            negate := substr(p, k, 1) = '^' AND close > k + 1;
            IF negate THEN
                k := k + 1;
            END IF;
            members := '';
            WHILE k < close LOOP
                IF k + 2 < close AND substr(p, k + 1, 1) = '-' THEN
                    IF ascii(substr(p, k, 1)) <= ascii(substr(p, k + 2, 1)) THEN
                        members := members || '\U' || lpad(to_hex(ascii(substr(p, k, 1))), 8, '0') || '-\U'
                                   || lpad(to_hex(ascii(substr(p, k + 2, 1))), 8, '0');
                    END IF;
                    k := k + 3;
                ELSE
                    members := members || '\U' || lpad(to_hex(ascii(substr(p, k, 1))), 8, '0');
                    k := k + 1;
                END IF;
            END LOOP;
            IF members <> '' THEN
                re := re || '[' || CASE WHEN negate THEN '^' ELSE '' END || members || ']';
            ELSIF negate THEN
                re := re || '.';
            ELSE
                re := re || '(?!.).';  -- an empty set: no character
            END IF;
            i := close + 1;
            CONTINUE;
        ELSE
            re := re || '\U' || lpad(to_hex(ascii(c)), 8, '0');
        END IF;
        i := i + 1;
    END LOOP;
    RETURN lib_fold(s) ~ ('^(?:' || re || ')$');
END
$$;
