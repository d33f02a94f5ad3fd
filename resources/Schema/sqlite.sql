-- The library's tables for the embedded engine (SQLite).
--
-- Declared types, as the database layer reads them:
--   TEXT COLLATE NOCASE  text; =, LIKE and keys ignore letter case (the database
--                        layer sorts text by pinyin in ORDER BY, with a collation
--                        of its own that the file does not name)
--   INTEGER              whole numbers
--   BIT                  yes/no flags, 1 or 0
--   MONEY                money in whole ten-thousandths (12.5 is stored as 125000),
--                        so sums and differences are exact
--   DATETIME             date and time as the text 'yyyy-mm-dd hh:nn:ss'
--   BLOB                 bytes
-- Columns are in their physical order: inserts without a column list give
-- the values in this order. Keys are primary keys (a duplicate fails).

CREATE TABLE 图书档案 (
    ISBN        TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    图书名称    TEXT COLLATE NOCASE,
    作者        TEXT COLLATE NOCASE,
    出版社名称  TEXT COLLATE NOCASE,
    出版时间    DATETIME CHECK (出版时间 IS NULL OR 出版时间 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    价格        MONEY CHECK (typeof(价格) IN ('integer', 'null')),
    每日租金    MONEY CHECK (typeof(每日租金) IN ('integer', 'null')),
    可否外借    BIT CHECK (可否外借 IN (0, 1))
);

CREATE TABLE 图书库存 (
    图书编号      TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    ISBN          TEXT COLLATE NOCASE,
    入库日期      DATETIME CHECK (入库日期 IS NULL OR 入库日期 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    经手人        TEXT COLLATE NOCASE,
    最近读者编号  TEXT COLLATE NOCASE,
    最近借阅日期  DATETIME CHECK (最近借阅日期 IS NULL OR 最近借阅日期 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    状态          TEXT COLLATE NOCASE DEFAULT '空闲'
);

CREATE TABLE 图书借阅 (
    图书借阅编号  TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    图书编号      TEXT COLLATE NOCASE,
    读者编号      TEXT COLLATE NOCASE,
    借书日期      DATETIME CHECK (借书日期 IS NULL OR 借书日期 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    理论还书日期  DATETIME CHECK (理论还书日期 IS NULL OR 理论还书日期 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    实际还书日期  DATETIME CHECK (实际还书日期 IS NULL OR 实际还书日期 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    是否已还      BIT CHECK (是否已还 IN (0, 1)),
    借书经手人    TEXT COLLATE NOCASE,
    还书经手人    TEXT COLLATE NOCASE
);

CREATE TABLE 图书损坏 (
    图书损坏编号  TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    图书借阅编号  TEXT COLLATE NOCASE,
    损坏描述      TEXT COLLATE NOCASE,
    赔偿金额      MONEY CHECK (typeof(赔偿金额) IN ('integer', 'null')),
    备注          TEXT COLLATE NOCASE
);

-- 未还书总价值 is read by the reader searches and written by nothing. It is a
-- generated column after the 17 stored ones, so the 17-value insert fills
-- the stored columns in order. Its stored 0 is only a placeholder: what it is
-- computed from is defined in computed.sql, which the database layer reads.
CREATE TABLE 读者档案 (
    读者编号      TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    读者类别      TEXT COLLATE NOCASE,
    姓名          TEXT COLLATE NOCASE,
    性别          BIT CHECK (性别 IN (0, 1)),
    账户金额      MONEY CHECK (typeof(账户金额) IN ('integer', 'null')),
    联系电话      TEXT COLLATE NOCASE,
    地址          TEXT COLLATE NOCASE,
    邮编          TEXT COLLATE NOCASE,
    身份证号码    TEXT COLLATE NOCASE,
    当前借书数量  INTEGER,
    总借书数量    INTEGER,
    总借书次数    INTEGER,
    有损还书次数  INTEGER,
    未还书总数    INTEGER,
    登记日期      DATETIME CHECK (登记日期 IS NULL OR 登记日期 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    经手人        TEXT COLLATE NOCASE,
    状态          TEXT COLLATE NOCASE,
    未还书总价值  MONEY GENERATED ALWAYS AS (0) VIRTUAL
);

CREATE TABLE 读者类别 (
    读者类别      TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    借书时间期限  INTEGER,
    借书数量限制  INTEGER
);

-- Deposit numbers are made from the clock; a desk that finds its number
-- taken in the same second takes the next free one, and a unique index
-- (below) keeps them apart.
CREATE TABLE 充值记录 (
    充值编号  TEXT COLLATE NOCASE,
    读者编号  TEXT COLLATE NOCASE,
    充值金额  MONEY CHECK (typeof(充值金额) IN ('integer', 'null')),
    充值日期  DATETIME CHECK (充值日期 IS NULL OR 充值日期 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    经手人    TEXT COLLATE NOCASE
);

CREATE TABLE 出版社 (
    出版社名称  TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    地址        TEXT COLLATE NOCASE,
    邮编        TEXT COLLATE NOCASE
);

-- Exactly one row, read and written by column name.
CREATE TABLE 图书馆信息 (
    图书馆名称    TEXT COLLATE NOCASE,
    负责人        TEXT COLLATE NOCASE,
    联系电话      TEXT COLLATE NOCASE,
    地址          TEXT COLLATE NOCASE,
    邮编          TEXT COLLATE NOCASE,
    租金功能      BIT CHECK (租金功能 IN (0, 1)),
    超期罚金功能  BIT CHECK (超期罚金功能 IN (0, 1)),
    每日超期罚金  MONEY CHECK (typeof(每日超期罚金) IN ('integer', 'null')),
    徽标          BLOB
);

CREATE TABLE 账户 (
    用户名        TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    密码          TEXT COLLATE NOCASE,
    真实姓名      TEXT COLLATE NOCASE,
    二级密码      TEXT COLLATE NOCASE,
    账户类型      TEXT COLLATE NOCASE,
    最后登录时间  DATETIME CHECK (最后登录时间 IS NULL OR 最后登录时间 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    状态          TEXT COLLATE NOCASE
);

-- The thirteen permission flags, in the order the account-types window shows them.
CREATE TABLE 账户类型 (
    账户类型          TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    修改图书馆信息权限  BIT CHECK (修改图书馆信息权限 IN (0, 1)),
    查看图书权限        BIT CHECK (查看图书权限 IN (0, 1)),
    修改图书权限        BIT CHECK (修改图书权限 IN (0, 1)),
    查看库存权限        BIT CHECK (查看库存权限 IN (0, 1)),
    修改库存权限        BIT CHECK (修改库存权限 IN (0, 1)),
    办理借书权限        BIT CHECK (办理借书权限 IN (0, 1)),
    办理还书权限        BIT CHECK (办理还书权限 IN (0, 1)),
    查看读者权限        BIT CHECK (查看读者权限 IN (0, 1)),
    修改读者权限        BIT CHECK (修改读者权限 IN (0, 1)),
    查看账户权限        BIT CHECK (查看账户权限 IN (0, 1)),
    修改账户权限        BIT CHECK (修改账户权限 IN (0, 1)),
    查看统计权限        BIT CHECK (查看统计权限 IN (0, 1)),
    打印报表权限        BIT CHECK (打印报表权限 IN (0, 1))
);

CREATE TABLE 账户登录 (
    用户名    TEXT COLLATE NOCASE,
    登录时间  DATETIME CHECK (登录时间 IS NULL OR 登录时间 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]')
);

-- The returning window lists the open loans; lending and returning look loans up by copy and reader
-- (a reader's loans still out, with their copies, from the index alone).
CREATE INDEX 图书借阅_读者编号 ON 图书借阅 (读者编号, 是否已还, 图书编号);
-- A copy's loans by day, and a title's copies, from the index alone (the statistics).
CREATE INDEX 图书借阅_图书编号 ON 图书借阅 (图书编号, 借书日期);
CREATE INDEX 图书库存_ISBN ON 图书库存 (ISBN, 图书编号);
-- The readers with the most money and the most loans (the statistics, highest first).
CREATE INDEX 读者档案_账户金额 ON 读者档案 (账户金额);
CREATE INDEX 读者档案_总借书数量 ON 读者档案 (总借书数量);
-- One copy is never lent twice: at most one loan of a copy is not returned.
CREATE UNIQUE INDEX 图书借阅_一本一借 ON 图书借阅 (图书编号) WHERE 是否已还 = 0;
-- No two deposits share a number.
CREATE UNIQUE INDEX 充值记录_充值编号 ON 充值记录 (充值编号);

-- A list reads its first screen in its order straight from an index. Text
-- sorts in the text order both engines share (the collation lib_chinese,
-- which the database layer registers on every connection: pinyin character
-- by character, letter case aside, db/DialectText.h), so the indexes that
-- serve a list's order of a text column are in that collation (or in
-- lib_chinese_ci, the same order without letter case): a program writing
-- these tables must register them too (reading needs nothing), and a file
-- whose indexes were built in another order needs REINDEX lib_chinese.
CREATE INDEX 图书借阅_未还_编号序 ON 图书借阅 (是否已还, 图书借阅编号 COLLATE lib_chinese, 图书编号, 读者编号);
CREATE INDEX 图书库存_编号序 ON 图书库存 (图书编号 COLLATE lib_chinese);
CREATE INDEX 读者档案_编号序 ON 读者档案 (读者编号 COLLATE lib_chinese);
CREATE INDEX 图书损坏_编号序 ON 图书损坏 (图书损坏编号 COLLATE lib_chinese);
CREATE INDEX 充值记录_编号序 ON 充值记录 (充值编号 COLLATE lib_chinese);
-- Searches list what a prefix finds in the order of the searched column.
-- Ties in a statement's own order are broken in the order of the key's
-- bytes; a list without an order of its own comes in its key's text order.
CREATE INDEX 图书档案_ISBN序 ON 图书档案 (ISBN COLLATE lib_chinese);
CREATE INDEX 图书档案_名称序 ON 图书档案 (图书名称 COLLATE lib_chinese, ISBN COLLATE BINARY);
CREATE INDEX 读者档案_姓名序 ON 读者档案 (姓名 COLLATE lib_chinese, 读者编号 COLLATE BINARY);
-- The authors' filter list: a DISTINCT of texts groups them without regard
-- to letter case in any script (lib_chinese_ci), in the text order.
CREATE INDEX 图书档案_作者序 ON 图书档案 (作者 COLLATE lib_chinese_ci);
CREATE INDEX 图书借阅_编号序 ON 图书借阅 (图书借阅编号 COLLATE lib_chinese);
CREATE INDEX 出版社_名称序 ON 出版社 (出版社名称 COLLATE lib_chinese);
CREATE INDEX 账户登录_登录时间 ON 账户登录 (登录时间);

-- A copy's title without reading the copy (the loans' joins, the statistics).
CREATE INDEX 图书库存_编号_ISBN ON 图书库存 (图书编号, ISBN);
-- Finds (a prefix of the column) and filters (the column equal to a value).
CREATE INDEX 图书档案_图书名称 ON 图书档案 (图书名称);
CREATE INDEX 图书档案_作者 ON 图书档案 (作者);
CREATE INDEX 图书档案_出版社名称 ON 图书档案 (出版社名称);
CREATE INDEX 图书库存_经手人 ON 图书库存 (经手人);
CREATE INDEX 读者档案_姓名 ON 读者档案 (姓名);
CREATE INDEX 读者档案_读者类别 ON 读者档案 (读者类别);
CREATE INDEX 图书损坏_图书借阅编号 ON 图书损坏 (图书借阅编号);
CREATE INDEX 充值记录_读者编号 ON 充值记录 (读者编号);

-- The open loans, counted as loans are lent, returned and deleted: the
-- returning window's count of its whole list (one writer at a time: one row).
CREATE TABLE lib_open_loans (
    槽 INTEGER PRIMARY KEY,
    未还 INTEGER NOT NULL
);
INSERT INTO lib_open_loans VALUES (0, 0);
CREATE TRIGGER 图书借阅_未还_借 AFTER INSERT ON 图书借阅 WHEN NEW.是否已还 = 0
BEGIN
    UPDATE lib_open_loans SET 未还 = 未还 + 1 WHERE 槽 = 0;
END;
CREATE TRIGGER 图书借阅_未还_删 AFTER DELETE ON 图书借阅 WHEN OLD.是否已还 = 0
BEGIN
    UPDATE lib_open_loans SET 未还 = 未还 - 1 WHERE 槽 = 0;
END;
CREATE TRIGGER 图书借阅_未还_改 AFTER UPDATE OF 是否已还 ON 图书借阅
    WHEN coalesce(OLD.是否已还 = 0, 0) <> coalesce(NEW.是否已还 = 0, 0)
BEGIN
    UPDATE lib_open_loans SET 未还 = 未还 + coalesce(NEW.是否已还 = 0, 0) - coalesce(OLD.是否已还 = 0, 0) WHERE 槽 = 0;
END;

-- The version of these tables. Every change of this file or of postgres.sql
-- is a step that brings a database of the version before to this one:
-- raise the number here and in postgres.sql, and add the step
-- (ARCHITECTURE.md, "Schema versions").
CREATE TABLE lib_schema_version (version INTEGER NOT NULL);
INSERT INTO lib_schema_version VALUES (7);
