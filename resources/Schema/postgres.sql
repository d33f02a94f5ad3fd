-- The library's tables for the database server (PostgreSQL 15 or later).
--
-- Types, as the database layer reads them:
--   citext COLLATE lib_chinese  text; = and keys ignore letter case (citext),
--                               LIKE and ORDER BY see the text as lib_fold and
--                               lib_order below give it
--   integer                     whole numbers
--   lib_flag                    yes/no flags, 1 or 0
--   lib_money                   money in whole ten-thousandths (12.5 is stored
--                               as 125000), as in the embedded database, so sums
--                               and differences are exact
--   timestamp(0)                date and time, to the second
--   bytea                       bytes
-- Columns are in their physical order: inserts without a column list give
-- the values in this order. Keys are primary keys (a duplicate fails). Names
-- with Latin letters are quoted, so that they keep their case ("ISBN").

CREATE EXTENSION IF NOT EXISTS citext;

-- The Chinese collation the text order is made of: signs, digits, Latin and
-- the other scripts first, then Chinese by pinyin. (The database layer's
-- embedded engine opens the same ICU locale, db/DialectText.h.)
CREATE COLLATION lib_chinese (provider = icu, locale = 'zh-u-kr-zzzz-hani');

-- The functions that indexes are made of name the collation with its schema:
-- a restore (pg_restore) builds the indexes with no schema on its search path.
--
-- A text as LIKE and the text order see it: every letter lower-cased as the
-- collation lower-cases it, the final sigma as σ (so that a Greek word does
-- not change with what follows it).
CREATE FUNCTION lib_fold(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT translate(lower(t COLLATE public.lib_chinese), 'ς', 'σ')
$$;

-- The text order of ORDER BY, as lib_order(column) COLLATE lib_chinese: the
-- folded text, a combining grapheme joiner after each of its characters,
-- then U+FFFE and the text itself. The collation ignores the joiners, but
-- reads no two characters across one as a word: it would read 沈阳, 重庆
-- and 藏文 as words (重庆 as chong-qing, before 红), which the order takes
-- character by character (重 as zhong), as the program's first server did.
-- U+FFFE, which the collation puts before every character, makes a text
-- that starts another come first; the text after it orders texts that fold
-- alike (zebra before Zebra); U+FFFE and U+FFFF in the folded text are read
-- as U+FFFD, so that U+FFFF after a start is past every text with that start
-- (a find's range, lib_order_from). The order is total: only equal texts tie.
CREATE FUNCTION lib_order(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT (regexp_replace(translate(lower(t COLLATE public.lib_chinese), U&'ς\FFFE\FFFF', U&'σ\FFFD\FFFD'), '(.)',
                           U&'\\1\034F', 'g') || U&'\FFFE' || t) COLLATE public.lib_chinese
$$;

-- Where the texts that start with `t` (as LIKE sees it) begin in that order;
-- followed by U+FFFF, where they end.
CREATE FUNCTION lib_order_from(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT regexp_replace(translate(lower(t COLLATE public.lib_chinese), U&'ς\FFFE\FFFF', U&'σ\FFFD\FFFD'), '(.)',
                          U&'\\1\034F', 'g') COLLATE public.lib_chinese
$$;

-- The text itself, from its lib_order (MIN and MAX of text compare in that order).
CREATE FUNCTION lib_order_text(k text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT substr(k, strpos(k, U&'\FFFE') + 1)
$$;

CREATE DOMAIN lib_flag AS smallint CHECK (VALUE IN (0, 1));
CREATE DOMAIN lib_money AS bigint;

CREATE TABLE 图书档案 (
    "ISBN" citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    图书名称 citext COLLATE lib_chinese,
    作者 citext COLLATE lib_chinese,
    出版社名称 citext COLLATE lib_chinese,
    出版时间 timestamp(0),
    价格 lib_money,
    每日租金 lib_money,
    可否外借 lib_flag
);

CREATE TABLE 图书库存 (
    图书编号 citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    "ISBN" citext COLLATE lib_chinese,
    入库日期 timestamp(0),
    经手人 citext COLLATE lib_chinese,
    最近读者编号 citext COLLATE lib_chinese,
    最近借阅日期 timestamp(0),
    状态 citext COLLATE lib_chinese DEFAULT '空闲'
);

CREATE TABLE 图书借阅 (
    图书借阅编号 citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    图书编号 citext COLLATE lib_chinese,
    读者编号 citext COLLATE lib_chinese,
    借书日期 timestamp(0),
    理论还书日期 timestamp(0),
    实际还书日期 timestamp(0),
    是否已还 lib_flag,
    借书经手人 citext COLLATE lib_chinese,
    还书经手人 citext COLLATE lib_chinese
);

CREATE TABLE 图书损坏 (
    图书损坏编号 citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    图书借阅编号 citext COLLATE lib_chinese,
    损坏描述 citext COLLATE lib_chinese,
    赔偿金额 lib_money,
    备注 citext COLLATE lib_chinese
);

-- 未还书总价值 is read by the reader searches and written by nothing. It is a
-- generated column after the 17 stored ones, so the 17-value insert fills
-- the stored columns in order. Its stored 0 is only a placeholder: what it is
-- computed from is defined in computed.sql, which the database layer reads.
CREATE TABLE 读者档案 (
    读者编号 citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    读者类别 citext COLLATE lib_chinese,
    姓名 citext COLLATE lib_chinese,
    性别 lib_flag,
    账户金额 lib_money,
    联系电话 citext COLLATE lib_chinese,
    地址 citext COLLATE lib_chinese,
    邮编 citext COLLATE lib_chinese,
    身份证号码 citext COLLATE lib_chinese,
    当前借书数量 integer,
    总借书数量 integer,
    总借书次数 integer,
    有损还书次数 integer,
    未还书总数 integer,
    登记日期 timestamp(0),
    经手人 citext COLLATE lib_chinese,
    状态 citext COLLATE lib_chinese,
    未还书总价值 lib_money GENERATED ALWAYS AS (0) STORED
);

CREATE TABLE 读者类别 (
    读者类别 citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    借书时间期限 integer,
    借书数量限制 integer
);

-- Deposit numbers are made from the clock; a desk that finds its number
-- taken in the same second takes the next free one, and a unique index
-- (below) keeps them apart.
CREATE TABLE 充值记录 (
    充值编号 citext COLLATE lib_chinese,
    读者编号 citext COLLATE lib_chinese,
    充值金额 lib_money,
    充值日期 timestamp(0),
    经手人 citext COLLATE lib_chinese
);

CREATE TABLE 出版社 (
    出版社名称 citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    地址 citext COLLATE lib_chinese,
    邮编 citext COLLATE lib_chinese
);

-- Exactly one row, read and written by column name.
CREATE TABLE 图书馆信息 (
    图书馆名称 citext COLLATE lib_chinese,
    负责人 citext COLLATE lib_chinese,
    联系电话 citext COLLATE lib_chinese,
    地址 citext COLLATE lib_chinese,
    邮编 citext COLLATE lib_chinese,
    租金功能 lib_flag,
    超期罚金功能 lib_flag,
    每日超期罚金 lib_money,
    徽标 bytea
);

CREATE TABLE 账户 (
    用户名 citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    密码 citext COLLATE lib_chinese,
    真实姓名 citext COLLATE lib_chinese,
    二级密码 citext COLLATE lib_chinese,
    账户类型 citext COLLATE lib_chinese,
    最后登录时间 timestamp(0),
    状态 citext COLLATE lib_chinese
);

-- The thirteen permission flags, in the order the account-types window shows them.
CREATE TABLE 账户类型 (
    账户类型 citext COLLATE lib_chinese NOT NULL PRIMARY KEY,
    修改图书馆信息权限 lib_flag,
    查看图书权限 lib_flag,
    修改图书权限 lib_flag,
    查看库存权限 lib_flag,
    修改库存权限 lib_flag,
    办理借书权限 lib_flag,
    办理还书权限 lib_flag,
    查看读者权限 lib_flag,
    修改读者权限 lib_flag,
    查看账户权限 lib_flag,
    修改账户权限 lib_flag,
    查看统计权限 lib_flag,
    打印报表权限 lib_flag
);

CREATE TABLE 账户登录 (
    用户名 citext COLLATE lib_chinese,
    登录时间 timestamp(0)
);

-- The returning window lists the open loans; lending and returning look loans up by copy and reader.
CREATE INDEX 图书借阅_是否已还 ON 图书借阅 (是否已还, 图书借阅编号, 图书编号, 读者编号);
CREATE INDEX 图书借阅_读者编号 ON 图书借阅 (读者编号, 是否已还, 图书编号);
-- A copy's loans by day, and a title's copies, from the index alone (the statistics).
CREATE INDEX 图书借阅_图书编号 ON 图书借阅 (图书编号, 借书日期);
CREATE INDEX 图书库存_ISBN ON 图书库存 ("ISBN", 图书编号);
-- The readers with the most money and the most loans (the statistics, highest first).
CREATE INDEX 读者档案_账户金额 ON 读者档案 (账户金额 NULLS FIRST);
CREATE INDEX 读者档案_总借书数量 ON 读者档案 (总借书数量 NULLS FIRST);
-- One copy is never lent twice: at most one loan of a copy is not returned.
-- (是否已还 is 0 in every row it holds; with it the planner doesn't take every
-- loan's copy for unique and guess a third of the open loans' copies.)
CREATE UNIQUE INDEX 图书借阅_一本一借 ON 图书借阅 (图书编号, 是否已还) WHERE 是否已还 = 0;
-- No two deposits share a number.
CREATE UNIQUE INDEX 充值记录_充值编号 ON 充值记录 (充值编号);
CREATE INDEX 账户登录_登录时间 ON 账户登录 (登录时间 NULLS FIRST);

-- The lists and searches read their first screen in their order straight
-- from an index: text sorts as lib_order(column) COLLATE lib_chinese (Null
-- first), so these indexes hold that, each list's order and the key after
-- it where the order needs it to be total (ties in a statement's own order
-- are broken in the order of the key's bytes, COLLATE "C"). A list without
-- an order of its own comes in its key's text order.
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

-- A copy's title without reading the copy (the loans' joins, the statistics).
CREATE INDEX 图书库存_编号_ISBN ON 图书库存 (图书编号, "ISBN");
-- Filters (the column equal to a value).
CREATE INDEX 图书档案_作者 ON 图书档案 (作者);
CREATE INDEX 图书档案_出版社名称 ON 图书档案 (出版社名称);
CREATE INDEX 图书库存_经手人 ON 图书库存 (经手人);
CREATE INDEX 读者档案_读者类别 ON 读者档案 (读者类别);
CREATE INDEX 图书损坏_图书借阅编号 ON 图书损坏 (图书借阅编号);
CREATE INDEX 充值记录_读者编号 ON 充值记录 (读者编号);
-- Finds: a LIKE with a fixed start reads the column's text as ranges, one
-- for each way the start is spelt in either case (the database layer writes
-- them before lib_fold(column) LIKE lib_fold(pattern), or alone when they
-- are the match), in the byte order these indexes keep.
CREATE INDEX 图书档案_ISBN_起首 ON 图书档案 (("ISBN"::text) text_pattern_ops);
CREATE INDEX 图书档案_图书名称_起首 ON 图书档案 ((图书名称::text) text_pattern_ops);
CREATE INDEX 图书库存_图书编号_起首 ON 图书库存 ((图书编号::text) text_pattern_ops);
CREATE INDEX 图书库存_ISBN_起首 ON 图书库存 (("ISBN"::text) text_pattern_ops);
CREATE INDEX 读者档案_读者编号_起首 ON 读者档案 ((读者编号::text) text_pattern_ops);
CREATE INDEX 读者档案_姓名_起首 ON 读者档案 ((姓名::text) text_pattern_ops);
CREATE INDEX 图书借阅_编号_起首 ON 图书借阅 ((图书借阅编号::text) text_pattern_ops);
CREATE INDEX 图书借阅_读者编号_起首 ON 图书借阅 ((读者编号::text) text_pattern_ops);
CREATE INDEX 图书借阅_图书编号_起首 ON 图书借阅 ((图书编号::text) text_pattern_ops);
CREATE INDEX 图书损坏_编号_起首 ON 图书损坏 ((图书损坏编号::text) text_pattern_ops);
CREATE INDEX 出版社_名称_起首 ON 出版社 ((出版社名称::text) text_pattern_ops);

-- Functions the translated statements call (the embedded engine has the same).

-- CONVERT(varchar(len), d, style) of a date. STABLE, as to_char is: the
-- planner then writes its expression into the statement that calls it,
-- instead of running it as a statement of its own for every date of every
-- row (a third of the server's time for the returning window's first screen).
CREATE FUNCTION lib_date_text(d timestamp, style integer, len integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
    SELECT left(CASE
        WHEN style IN (20, 120) THEN to_char(d, 'YYYY-MM-DD HH24:MI:SS')
        WHEN style IN (21, 121) THEN to_char(d, 'YYYY-MM-DD HH24:MI:SS') || '.000'
        WHEN style = 23 THEN to_char(d, 'YYYY-MM-DD')
        WHEN style = 101 THEN to_char(d, 'MM/DD/YYYY')
        WHEN style = 102 THEN to_char(d, 'YYYY.MM.DD')
        WHEN style = 108 THEN to_char(d, 'HH24:MI:SS')
        WHEN style = 111 THEN to_char(d, 'YYYY/MM/DD')
        WHEN style = 112 THEN to_char(d, 'YYYYMMDD')
        -- 0 and 100: "Mar  5 2024  2:05PM"
        ELSE to_char(d, 'Mon') || ' ' || lpad(extract(day FROM d)::integer::text, 2) || ' ' || to_char(d, 'YYYY')
             || ' ' || lpad(to_char(d, 'FMHH12'), 2) || ':' || to_char(d, 'MI')
             || CASE WHEN extract(hour FROM d) < 12 THEN 'AM' ELSE 'PM' END
    END, len)
$$;

-- CONVERT(varchar(len), m, style) of money held in ten-thousandths: style 0
-- two decimals, 1 with thousands separators, 2 four decimals; halves round
-- away from zero. A text longer than len fails, as on the server. (The
-- database layer's functions fail with SQLSTATE LB000 and the words the
-- program shows, db/ServerMessages.cpp.)
CREATE FUNCTION lib_money_text(v numeric, style integer, len integer) RETURNS text
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

-- Money in ten-thousandths from an exact number, halves away from zero,
-- refused past the money range (where the server's money ends too).
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

-- A text read as a date; '' and blanks give Null. The program writes dates
-- in ISO form ("2024-03-05", "2024-03-05 10:30:00"); the database layer reads
-- every other form itself before a statement reaches the server.
CREATE FUNCTION lib_to_date(s text) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    IF s IS NULL OR btrim(s) = '' THEN
        RETURN NULL;
    END IF;
    IF btrim(s) !~ '^\d{4}[-/.]\d{1,2}[-/.]\d{1,2}( \d{1,2}:\d{2}(:\d{2})?)?$' THEN
        RAISE EXCEPTION 'Conversion failed when converting date and/or time from character string.'
            USING ERRCODE = '22007';
    END IF;
    RETURN replace(replace(btrim(s), '/', '-'), '.', '-')::timestamp(0);
END
$$;

CREATE FUNCTION lib_now() RETURNS timestamp
LANGUAGE sql STABLE AS $$ SELECT localtimestamp(0) $$;

-- LIKE where the statement's own can't stand in (a pattern with a [set], one
-- the statement computes, an escape with a letter case), as the embedded
-- engine matches (db/DialectText.h): the folded text against the folded
-- pattern; % any run, _ one character, [abc] [a-z] [^abc] one character of
-- (or not of) a set, a range with reversed ends holding nothing and a [
-- without its ] standing for itself; the escape before a character makes
-- it stand for itself, and at the very end stands for itself.
CREATE FUNCTION lib_like(s text, pattern text, esc text DEFAULT NULL) RETURNS boolean
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

-- Each copy's loans, counted as they are made: the statistics rank the
-- titles by loans from these counts, less the loans outside the dates asked
-- for (db/DialectStatements.cpp), instead of joining every loan to its copy
-- and title each time. A lending adds to its own copy's count alone, a row
-- the lending's copy already holds, so desks lending at once wait for no
-- one they did not wait for before. Keyed by the loans' copy numbers, whether
-- or not the copy is there (the ranking joins the copies as the loans do).
-- Half of each page is left free, so that a count changed is written beside
-- itself without a new index entry: a clean-up changes every copy's count at
-- once, and holds each until it commits.
CREATE TABLE lib_copy_loans (
    图书编号 citext COLLATE lib_chinese PRIMARY KEY,
    借阅次数 bigint NOT NULL
) WITH (fillfactor = 50);
CREATE FUNCTION lib_count_loan() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP <> 'INSERT' AND OLD.图书编号 IS NOT NULL THEN
        UPDATE public.lib_copy_loans SET 借阅次数 = 借阅次数 - 1 WHERE 图书编号 = OLD.图书编号;
    END IF;
    IF TG_OP <> 'DELETE' AND NEW.图书编号 IS NOT NULL THEN
        INSERT INTO public.lib_copy_loans AS c VALUES (NEW.图书编号, 1)
        ON CONFLICT (图书编号) DO UPDATE SET 借阅次数 = c.借阅次数 + 1;
    END IF;
    RETURN NULL;
END
$$;
-- Loans deleted by one statement are counted off together, a copy at a
-- time, after it: a clean-up that deletes a million loans changes each
-- copy's count once, in a second or so, and holds it until it commits; the
-- lendings of those copies wait for no longer (counted off a loan at a time
-- it took twenty seconds). Many at once join the counts by hash, as few go
-- by the key.
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
CREATE TRIGGER 图书借阅_计数 AFTER INSERT OR UPDATE OF 图书编号 ON 图书借阅
    FOR EACH ROW EXECUTE FUNCTION lib_count_loan();
CREATE TRIGGER 图书借阅_删除计数 AFTER DELETE ON 图书借阅 REFERENCING OLD TABLE AS lib_gone_loans
    FOR EACH STATEMENT EXECUTE FUNCTION lib_uncount_loans();
-- The loans of a span of days (the ranking's loans outside the span).
CREATE INDEX 图书借阅_借书日期 ON 图书借阅 (借书日期);

-- The open loans, counted as loans are lent, returned and deleted: the
-- returning window's count of its whole list, which counting the loans
-- themselves made cost the server more than the return before it. Kept in
-- 64 rows, a connection adding to the row its process number picks, so that
-- desks lending and returning at once seldom touch one row; the row is
-- written when the transaction commits, after every other row it locks, so
-- two desks that share one never wait for each other in a circle.
CREATE TABLE lib_open_loans (
    槽 integer PRIMARY KEY,
    未还 bigint NOT NULL
);
CREATE FUNCTION lib_count_open_loan() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    d bigint := 0;
BEGIN
    IF TG_OP <> 'INSERT' AND OLD.是否已还 = 0 THEN
        d := d - 1;
    END IF;
    IF TG_OP <> 'DELETE' AND NEW.是否已还 = 0 THEN
        d := d + 1;
    END IF;
    IF d <> 0 THEN
        INSERT INTO public.lib_open_loans AS c VALUES (pg_backend_pid() % 64, d)
        ON CONFLICT (槽) DO UPDATE SET 未还 = c.未还 + d;
    END IF;
    RETURN NULL;
END
$$;
CREATE CONSTRAINT TRIGGER 图书借阅_未还_借 AFTER INSERT ON 图书借阅 DEFERRABLE INITIALLY DEFERRED
    FOR EACH ROW WHEN (NEW.是否已还 = 0) EXECUTE FUNCTION lib_count_open_loan();
CREATE CONSTRAINT TRIGGER 图书借阅_未还_删 AFTER DELETE ON 图书借阅 DEFERRABLE INITIALLY DEFERRED
    FOR EACH ROW WHEN (OLD.是否已还 = 0) EXECUTE FUNCTION lib_count_open_loan();
CREATE CONSTRAINT TRIGGER 图书借阅_未还_改 AFTER UPDATE OF 是否已还 ON 图书借阅 DEFERRABLE INITIALLY DEFERRED
    FOR EACH ROW WHEN (OLD.是否已还 IS DISTINCT FROM NEW.是否已还) EXECUTE FUNCTION lib_count_open_loan();

-- The version of these tables. Every change of this file or of sqlite.sql
-- is a step that brings a database of the version before to this one:
-- raise the number here and in sqlite.sql, and add the step
-- (ARCHITECTURE.md, "Schema versions").
CREATE TABLE lib_schema_version (version integer NOT NULL);
INSERT INTO lib_schema_version VALUES (7);
