-- Version 2: two deposits never share a number. Left out where deposits
-- already do (db/SchemaVersion.cpp counts them first).
CREATE UNIQUE INDEX 充值记录_充值编号_唯一 ON 充值记录 (充值编号);
