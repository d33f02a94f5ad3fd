-- Version 3: no two deposits share a number. Left out where deposits
-- already do (db/SchemaVersion.cpp counts them first).
CREATE UNIQUE INDEX 充值记录_充值编号 ON 充值记录 (充值编号);
