-- Version 2: one text order on both engines, pinyin character by character,
-- letter case aside (db/DialectText.h). The indexes in lib_chinese, which
-- the database layer now registers in that order, are built again; the
-- searches' ties break on the key; the authors' filter list and the
-- publishers read in the order from an index. Definitions as sqlite.sql has
-- them, word for word.
DROP INDEX 图书档案_名称序;
DROP INDEX 读者档案_姓名序;
REINDEX lib_chinese;
CREATE INDEX 图书档案_名称序 ON 图书档案 (图书名称 COLLATE lib_chinese, ISBN COLLATE BINARY);
CREATE INDEX 读者档案_姓名序 ON 读者档案 (姓名 COLLATE lib_chinese, 读者编号 COLLATE BINARY);
CREATE INDEX 图书档案_作者序 ON 图书档案 (作者 COLLATE lib_chinese_ci);
CREATE INDEX 出版社_名称序 ON 出版社 (出版社名称 COLLATE lib_chinese);
