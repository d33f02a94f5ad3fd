-- Version 1: the tables a database was made with before databases recorded
-- their version; the record is all this step adds.
CREATE TABLE lib_schema_version (version INTEGER NOT NULL);
