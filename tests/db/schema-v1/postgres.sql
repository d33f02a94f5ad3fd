-- Version 1 of the schema, as the databases made before versions were recorded
-- have it: db_tst_upgrade upgrades a database made from these files. Kept as
-- it was; never edited.
--
-- The library's tables for the database server (PostgreSQL 15 or later).
--
-- Types, as the database layer reads them:
--   citext COLLATE lib_chinese  text; =, LIKE and keys ignore letter case
--                               (citext), ORDER BY sorts by pinyin (lib_chinese)
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

-- Text order of the server's Chinese collation: signs, digits, Latin and the
-- other scripts first, then Chinese by pinyin. Letter case does not count
-- (citext compares the lower-cased texts).
CREATE COLLATION lib_chinese (provider = icu, locale = 'zh-u-kr-zzzz-hani');

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

-- Deposit numbers are made from the clock; two deposits in one second share
-- a number, so it is not a key.
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
-- Every index on text is in the column's own order (pinyin), so the lists read
-- their first screen in their order straight from an index.
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
-- Null first, as the lists sort (the deposits by number, the login log by time, newest first).
CREATE INDEX 充值记录_充值编号 ON 充值记录 (充值编号 NULLS FIRST);
CREATE INDEX 账户登录_登录时间 ON 账户登录 (登录时间 NULLS FIRST);

-- A copy's title without reading the copy (the loans' joins, the statistics).
CREATE INDEX 图书库存_编号_ISBN ON 图书库存 (图书编号, "ISBN");
-- The searches by title and by name, in their order (Null first, then the key).
CREATE INDEX 图书档案_图书名称 ON 图书档案 (图书名称 NULLS FIRST, "ISBN");
CREATE INDEX 读者档案_姓名 ON 读者档案 (姓名 NULLS FIRST, 读者编号);
-- Filters (the column equal to a value).
CREATE INDEX 图书档案_作者 ON 图书档案 (作者);
CREATE INDEX 图书档案_出版社名称 ON 图书档案 (出版社名称);
CREATE INDEX 图书库存_经手人 ON 图书库存 (经手人);
CREATE INDEX 读者档案_读者类别 ON 读者档案 (读者类别);
CREATE INDEX 图书损坏_图书借阅编号 ON 图书损坏 (图书借阅编号);
CREATE INDEX 充值记录_读者编号 ON 充值记录 (读者编号);
-- Finds: a LIKE with a fixed start reads the column's text as ranges, one
-- for each way the start is spelt in either case (the database layer writes
-- them before lower(column) LIKE lower(pattern), or alone when they are the
-- match), in the byte order these indexes keep.
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

-- CONVERT(varchar(len), d, style) of a date.
CREATE FUNCTION lib_date_text(d timestamp, style integer, len integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
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
-- away from zero. A text longer than len fails, as on the server.
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
        RAISE EXCEPTION 'Arithmetic overflow error converting money to data type varchar.' USING ERRCODE = '22003';
    END IF;
    RETURN result;
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

-- The server's LIKE where ILIKE can't stand in (a pattern with a [set], or
-- one the statement computes): % any run, _ one character, [abc] [a-z] [^abc]
-- one character of (or not of) a set, an optional escape character; letters
-- compared without regard to case.
CREATE FUNCTION lib_like(s text, pattern text, esc text DEFAULT NULL) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    re text := '';
    i integer := 1;
    n integer := length(pattern);
    c text;
    close integer;
    body text;
BEGIN
    IF s IS NULL OR pattern IS NULL THEN
        RETURN NULL;
    END IF;
    IF esc IS NOT NULL AND length(esc) <> 1 THEN
        RAISE EXCEPTION 'The escape of LIKE must be a single character.' USING ERRCODE = '22019';
    END IF;
    WHILE i <= n LOOP
        c := substr(pattern, i, 1);
        IF esc IS NOT NULL AND c = esc AND i < n THEN
            re := re || regexp_replace(substr(pattern, i + 1, 1), '([^[:alnum:]])', '\\\1', 'g');
            i := i + 2;
            CONTINUE;
        ELSIF c = '%' THEN
            re := re || '.*';
        ELSIF c = '_' THEN
            re := re || '.';
        ELSIF c = '[' AND strpos(substr(pattern, i + 2), ']') > 0 THEN
            close := i + 1 + strpos(substr(pattern, i + 2), ']');
            body := substr(pattern, i + 1, close - i - 1);
            IF left(body, 1) = '^' AND length(body) > 1 THEN
                re := re || '[^' || regexp_replace(substr(body, 2), '([\\\]\[^])', '\\\1', 'g') || ']';
            ELSE
                re := re || '[' || regexp_replace(body, '([\\\]\[^])', '\\\1', 'g') || ']';
            END IF;
            i := close + 1;
            CONTINUE;
        ELSE
            re := re || regexp_replace(c, '([^[:alnum:]])', '\\\1', 'g');
        END IF;
        i := i + 1;
    END LOOP;
    -- Letter case of every script, not only ASCII (the database's own ctype).
    RETURN (s COLLATE lib_chinese) ~* ('^(?:' || re || ')$');
END
$$;
