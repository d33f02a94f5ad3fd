-- Columns the database layer computes wherever a statement reads them, in the
-- program's own statement dialect. Each is a generated column of the schema
-- (so that inserts without a column list still fill the stored columns in
-- order) whose stored value is only a placeholder.
--
-- One definition a column: TABLE.COLUMN = expression; "TABLE.x" in the
-- expression is the row being read, the tables of its sub-query carry aliases.

-- The value of a reader's copies still out: the prices of the titles of the
-- reader's loans that are not returned.
读者档案.未还书总价值 = ISNULL((SELECT SUM(lib_ov_title.价格)
        FROM 图书借阅 lib_ov_loan, 图书库存 lib_ov_copy, 图书档案 lib_ov_title
        WHERE lib_ov_loan.读者编号 = 读者档案.读者编号 AND lib_ov_loan.是否已还 = 0
          AND lib_ov_loan.图书编号 = lib_ov_copy.图书编号 AND lib_ov_copy.ISBN = lib_ov_title.ISBN), 0)
