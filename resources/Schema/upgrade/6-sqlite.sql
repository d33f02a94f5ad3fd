-- Version 6: the open loans counted as they are lent and returned (the
-- returning window's count).
CREATE TABLE lib_open_loans (
    槽 INTEGER PRIMARY KEY,
    未还 INTEGER NOT NULL
);
INSERT INTO lib_open_loans SELECT 0, count(*) FROM 图书借阅 WHERE 是否已还 = 0;
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
