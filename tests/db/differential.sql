-- The statements the differential test (tst_differential.cpp) runs on the
-- embedded engine and on the server, on the same data: each must give the
-- same fields and the same rows in the same order on both, touch the same
-- rows and leave the same data, or be refused on both in the same words.
--
-- One statement a line; a line starting with blanks continues the one before.
-- A line starting with "--" is a comment, but for these directives:
--   -- @data             the statements after it make the data (run on both)
--   -- @compare          the statements after it are compared; a write runs in
--                        a transaction that is rolled back after the comparison
--   -- @include FILE     FILE's statements (one a line, "--" comments), here
--   -- @each N = a | b   a statement holding {N} runs once for each value
--                        ("001..120" stands for 001, 002, ... 120); several
--                        names in one statement run every combination
-- The data is the small library of the statement tests (StatementsSeed.h)
-- and what follows: texts a collation may sort as words (沈阳, 重庆, 藏文),
-- accented and differently cased Latin, pinyin with tone marks, letters whose
-- case folds across scripts (Σ, İ, the Kelvin sign), characters a collation
-- ignores or puts last (U+200B, U+FFFD, U+FFFF), equal values
-- that ties in an order or a ranking must break, rows written out of key
-- order, and enough readers that a list is read in parts.

-- @data
INSERT 读者类别 VALUES ('重庆学生', '30', '5')
INSERT 读者类别 VALUES ('沈阳教师', '60', '10')
INSERT 读者类别 VALUES ('藏文班', '15', '5')
INSERT 读者类别 VALUES ('Élite', '30', '8')
INSERT 读者类别 VALUES ('ecole', '30', '8')
INSERT 读者类别 VALUES ('A班', '7', '5')
INSERT 出版社 VALUES ('重庆出版社', '重庆', '400000')
INSERT 出版社 VALUES ('沈阳出版社', '沈阳', '110000')
INSERT 出版社 VALUES ('藏文出版社', '拉萨', '850000')
INSERT 出版社 VALUES ('红旗出版社', '北京', '100001')
INSERT 出版社 VALUES ('Éditions Ouest', 'Nantes', '44000')
INSERT 出版社 VALUES ('editions est', 'Metz', '57000')
INSERT 出版社 VALUES ('中华书局', '北京', '100002')
INSERT 出版社 VALUES ('O''Reilly', 'Sebastopol', '95472')
INSERT 图书档案 VALUES ('978-7-5366-9', '重庆森林', '沈阳', '重庆出版社', '2001-05-06', 39.9, 0.5, '1')
INSERT 图书档案 VALUES ('978-7-5366-1', '重逢', '重庆', '重庆出版社', '2002-01-01', 12.35, 0.1, '1')
INSERT 图书档案 VALUES ('978-7-5366-5', '重量', '藏文', '重庆出版社', '2003-01-01', 12.35, 0.1, '0')
INSERT 图书档案 VALUES ('978-7-5313-2', '红楼梦', '曹雪芹', '红旗出版社', '1982-03-01', 59.7, 1, '1')
INSERT 图书档案 VALUES ('978-7-5313-1', '藏文字典', '藏文', '藏文出版社', '1999-09-09', 88, 0.8, '1')
INSERT 图书档案 VALUES ('978-7-5313-3', '藏书', '沈从文', '藏文出版社', '', 20, 0.2, '1')
INSERT 图书档案 VALUES ('978-7-5205-8', '沈阳故宫', '沈阳', '沈阳出版社', '2010-10-10', 45, 0.3, '1')
INSERT 图书档案 VALUES ('978-7-5205-2', '沈从文选集', '沈从文', '沈阳出版社', '2011-11-11', 45, 0.3, '1')
INSERT 图书档案 VALUES ('978-7-1010-7', '中国', '张三', '中华书局', '2000-02-29', 10, 0.1, '1')
INSERT 图书档案 VALUES ('979-10-01', 'Éclair', 'Émile', 'Éditions Ouest', '2015-01-01', 9.99, 0.05, '1')
INSERT 图书档案 VALUES ('979-10-03', 'ÉMILE', 'émile', 'Éditions Ouest', '2015-01-02', 9.99, 0.05, '1')
INSERT 图书档案 VALUES ('979-10-02', 'émile', 'ÉMILE', 'editions est', '2015-01-03', 9.99, 0.05, '1')
INSERT 图书档案 VALUES ('979-10-04', 'Ecole', 'ecole', 'editions est', '2015-01-04', 9.99, 0.05, '1')
INSERT 图书档案 VALUES ('979-10-05', 'ecole', 'Ecole', 'editions est', '2015-01-05', 9.99, 0.05, '1')
INSERT 图书档案 VALUES ('979-10-06', 'ā字', 'ā', 'O''Reilly', '2016-01-01', 1, 0, '1')
INSERT 图书档案 VALUES ('979-10-07', 'á字', 'á', 'O''Reilly', '2016-01-01', 1, 0, '1')
INSERT 图书档案 VALUES ('979-10-08', 'a字', 'a', 'O''Reilly', '2016-01-01', 1, 0, '1')
INSERT 图书档案 VALUES ('979-10-09', 'A字', 'A', 'O''Reilly', '2016-01-01', 1, 0, '1')
INSERT 图书档案 VALUES ('979-10-10', 'Zebra', 'zebra', 'O''Reilly', '2016-01-01', 1, 0, '1')
INSERT 图书档案 VALUES ('979-10-11', 'zebra', 'Zebra', 'O''Reilly', '2016-01-01', 1, 0, '1')
INSERT 图书档案 VALUES ('979-10-12', Null, Null, Null, Null, Null, Null, '0')
INSERT 图书档案 VALUES ('979-10-13', '', '', '', '', 0, 0, '0')
INSERT 图书档案 VALUES ('979-10-14', '100%纯', 'a_b', '[注]', '2017-07-07', 0.613, 1.15, '1')
INSERT 图书档案 VALUES ('979-10-15', 'a_b', '100%', 'O''Reilly', '2017-07-08', 0.005, 0.015, '1')
INSERT 图书档案 VALUES ('979-10-16', '[注]', 'O''Brien', '中华书局', '2017-07-09', 1234567.89, 9.995, '1')
INSERT 图书档案 VALUES ('979-10-17', 'O''Brien', '[注]', '中华书局', '2017-07-10', 0.0001, 0.0049, '1')
INSERT 图书档案 VALUES ('979-10-18', 'c++入门', 'c', '人民出版社', '2018-01-01', 45.5, 0.1, '1')
INSERT 图书档案 VALUES ('979-10-19', 'C语言', 'C', '人民出版社', '2018-01-02', 45.5, 0.1, '1')
INSERT 图书档案 VALUES ('979-10-20', '重庆', '重', '重庆出版社', '2018-01-03', 8, 0.1, '1')
INSERT 图书档案 VALUES ('979-10-21', '重', '重庆', '重庆出版社', '2018-01-04', 8, 0.1, '1')
INSERT 图书档案 VALUES ('979-10-22', '沈', '沈阳', '沈阳出版社', '2018-01-05', 8, 0.1, '1')
INSERT 图书档案 VALUES ('979-10-23', '藏', '藏文', '藏文出版社', '2018-01-06', 8, 0.1, '1')
INSERT 图书档案 VALUES ('979-10-24', '9-0', '[9-0]', '中华书局', '2018-01-07', 8, 0.1, '1')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('沈阳-002', '978-7-5205-8', '2024-02-01 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('沈阳-001', '978-7-5205-8', '2024-02-01 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('沈-001', '978-7-5205-2', '2024-02-01 09:00:00', 'Zhang')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('重庆-001', '978-7-5366-9', '2024-02-02 09:00:00', 'Zhang')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('重-001', '978-7-5366-1', '2024-02-02 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('藏文-01', '978-7-5313-1', '2024-02-03 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('藏-01', '978-7-5313-3', '2024-02-03 09:00:00', 'old')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('红-1', '978-7-5313-2', '2024-02-04 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('b010', '979-10-01', '2024-02-05 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('É-1', '979-10-03', '2024-02-05 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('e-2', '979-10-02', '2024-02-05 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('E-3', '979-10-04', '2024-02-05 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('c-1', '979-10-18', '2024-02-06 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('C-2', '979-10-19', '2024-02-06 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('9-0', '979-10-24', '2024-02-07 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('[注]-1', '979-10-16', '2024-02-07 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('100%-1', '979-10-14', '2024-02-07 09:00:00', 'admin')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('a_b-1', '979-10-15', '2024-02-07 09:00:00', 'admin')
-- @each N = 01..12
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('K{N}', '978-7-5313-2', '2024-03-01 08:00:00', 'Zhang')
INSERT 读者档案 VALUES ('R012', '重庆学生', '重庆', 1, 20, '', '重庆', '400000', '', 0, 3, 1, 0, 0, '240101', 'admin', '正常')
INSERT 读者档案 VALUES ('R010', '沈阳教师', '沈阳', 0, 20, '', '沈阳', '110000', '', 0, 3, 1, 0, 0, '240102', 'admin', '正常')
INSERT 读者档案 VALUES ('R011', '学生', '沈从文', 1, 20, '', '', '', '', 0, 3, 1, 0, 0, '240103', 'Zhang', '正常')
INSERT 读者档案 VALUES ('R013', '藏文班', '藏文', 0, 20, '', '拉萨', '', '', 0, 3, 1, 0, 0, '240104', 'admin', '停用')
INSERT 读者档案 VALUES ('R019', '学生', '藏', 1, 20, '', '', '', '', 0, 3, 1, 0, 0, '240104', 'admin', '正常')
INSERT 读者档案 VALUES ('R014', 'Élite', 'Éclair', 1, 20, '', '', '', '', 0, 3, 1, 0, 0, '240105', 'admin', '正常')
INSERT 读者档案 VALUES ('R016', 'ecole', 'émile', 0, 20, '', '', '', '', 0, 3, 1, 0, 0, '240106', 'admin', '正常')
INSERT 读者档案 VALUES ('R015', 'ecole', 'ÉMILE', 1, 20, '', '', '', '', 0, 3, 1, 0, 0, '240107', 'admin', '正常')
INSERT 读者档案 VALUES ('R017', '无此类别', 'Ecole', 0, 20, '', '', '', '', 0, 3, 1, 0, 0, '240108', 'admin', '正常')
INSERT 读者档案 VALUES ('R018', 'A班', '红楼', 1, 20, '', '', '', '', 0, 3, 1, 0, 0, '240109', 'admin', '正常')
INSERT 读者档案 VALUES ('r020', 'A班', 'ecole', 1, 20, '', '', '', '', 0, 3, 1, 0, 0, '240109', 'admin', '正常')
INSERT 读者档案 VALUES ('R021', 'A班', Null, 1, Null, Null, Null, Null, Null, 0, 0, 0, 0, 0, Null, Null, Null)
INSERT 读者档案 VALUES ('R022', 'A班', '', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240110', '', '')
INSERT 读者档案 VALUES ('R023', 'A班', 'O''Brien', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240110', '', '正常')
INSERT 读者档案 VALUES ('R024', 'A班', '100%', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240110', '', '正常')
INSERT 读者档案 VALUES ('R025', 'A班', 'a_b', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240110', '', '正常')
INSERT 读者档案 VALUES ('R026', 'A班', 'ā', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240110', '', '正常')
INSERT 读者档案 VALUES ('R027', 'A班', 'a', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240110', '', '正常')
INSERT 读者档案 VALUES ('R028', 'A班', 'Á', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240110', '', '正常')
INSERT 读者档案 VALUES ('R030', 'A班', 'ΟΔΟΣ', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R031', 'A班', 'οδος2', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R032', 'A班', 'İstanbul', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R033', 'A班', 'istanbul', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R034', 'A班', 'Kelvin', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R035', 'A班', 'kelvin', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R036', 'A班', '沈￿', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R037', 'A班', '沈�', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R038', 'A班', '沈​阳', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R039', 'A班', 'ǅemal', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
INSERT 读者档案 VALUES ('R040', 'A班', 'straße', 0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240111', '', '正常')
-- @each N = 001..120
INSERT 读者档案 VALUES ('S{N}', '学生', '沈阳{N}', 1, 5, '', '', '', '', 0, 1, 1, 0, 0, '240201', 'admin', '正常')
-- @each N = 01..40
INSERT 读者档案 VALUES ('T{N}', '教师', '沈{N}', 0, 5, '', '', '', '', 0, 1, 1, 0, 0, '240202', 'admin', '正常')
INSERT 读者档案 VALUES ('U{N}', '重庆学生', '重庆{N}', 0, 5, '', '', '', '', 0, 1, 1, 0, 0, '240203', 'admin', '正常')
INSERT 读者档案 VALUES ('V{N}', '藏文班', '藏文{N}', 0, 5, '', '', '', '', 0, 1, 1, 0, 0, '240204', 'admin', '正常')
INSERT 图书借阅 VALUES ('240601090000001', '沈阳-001', 'R010', '2024-06-01', '2024-07-01', '2024-06-10', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240601090000002', '重庆-001', 'R010', '2024-06-01', '2024-07-01', '2024-06-10', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240602090000001', '藏文-01', 'R012', '2024-06-02', '2024-07-02', Null, '0', 'admin', Null)
INSERT 图书借阅 VALUES ('240602090000002', '红-1', 'R012', '2024-06-02', '2024-07-02', Null, '0', 'admin', Null)
INSERT 图书借阅 VALUES ('240603090000001', 'b010', 'R014', '2024-06-03', '2024-07-03', '2024-06-04', '1', 'Zhang', 'admin')
INSERT 图书借阅 VALUES ('240603090000002', 'É-1', 'R015', '2024-06-03', '2024-07-03', '2024-06-04', '1', 'Zhang', 'admin')
INSERT 图书借阅 VALUES ('240603090000003', 'e-2', 'R016', '2024-06-03', '2024-07-03', Null, '0', 'Zhang', Null)
INSERT 图书借阅 VALUES ('240604090000001', 'c-1', 'R017', '2024-06-04', '2024-07-04', '2024-06-05', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240604090000002', 'C-2', 'R018', '2024-06-04', '2024-07-04', '2024-06-05', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240605090000001', '沈-001', 'R011', '2024-06-05', '2024-07-05', '2024-06-06', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240605090000002', '重-001', 'R011', '2024-06-05', '2024-07-05', '2024-06-06', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240605090000003', '藏-01', 'R013', '2024-06-05', '2024-07-05', '2024-06-06', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240606090000001', '9-0', 'R019', '2024-06-06', '2024-07-06', '2024-06-07', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240606090000002', '[注]-1', 'R019', '2024-06-06', '2024-07-06', '2024-06-07', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240606090000003', '100%-1', 'R019', '2024-06-06', '2024-07-06', '2024-06-07', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240606090000004', 'a_b-1', 'R019', '2024-06-06', '2024-07-06', '2024-06-07', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240607090000001', 'E-3', 'R018', '2024-06-07', '2024-07-07', '2024-06-08', '1', 'admin', 'admin')
INSERT 图书借阅 VALUES ('240607090000002', '沈阳-002', 'R018', '2024-06-07', '2024-07-07', '2024-06-08', '1', 'admin', 'admin')
INSERT 图书损坏 VALUES ('240610101010', '240601090000001', '沈阳：封面破损', 5.5, '')
INSERT 图书损坏 VALUES ('240610101011', '240601090000002', '重庆：缺页', 0.613, Null)
INSERT 图书损坏 VALUES ('240610101012', '240603090000001', 'Éclair', 12, 'émile')
INSERT 充值记录 VALUES ('240315101012', 'R010', 10, '2024-03-15', 'admin')
INSERT 充值记录 VALUES ('240315101011', 'R012', 20, '2024-03-15', 'Zhang')
INSERT 充值记录 VALUES ('240101000000', 'R014', 0.5, '2024-01-01', 'admin')
INSERT 充值记录 VALUES (Null, 'R013', 0.5, '2024-01-01', '沈阳')
INSERT 充值记录 VALUES (Null, 'R011', 1, '2024-01-02', 'admin')
INSERT 账户类型 VALUES ('访客', 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0)
INSERT 账户类型 VALUES ('重庆馆员', 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0)
INSERT 账户类型 VALUES ('Agent', 0, 1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0)
INSERT 账户 VALUES ('zoe', 'pw', '左', 'sub', '访客', Null, '正常')
INSERT 账户 VALUES ('沈阳', 'pw', '沈阳', 'sub', '重庆馆员', '2024-01-01 08:00:00', '正常')
INSERT 账户 VALUES ('Bob', 'pw', 'Bob', 'sub', 'Agent', Null, '停用')
INSERT 账户 VALUES ('alice', 'pw', 'Alice', 'sub', 'Agent', Null, '正常')
INSERT 账户 VALUES ('重庆', 'pw', '重庆', 'sub', '重庆馆员', Null, '正常')
INSERT 账户登录 VALUES ('沈阳', '2024-05-01 09:00:00')
INSERT 账户登录 VALUES ('zoe', '2024-05-01 09:00:00')
INSERT 账户登录 VALUES ('Bob', '2024-05-01 09:00:00')
INSERT 账户登录 VALUES ('alice', '2024-05-02 10:00:00')

-- @compare
-- The windows' statements as the program's own tests write them.
-- @include window_statements.sql

-- The general search, each kind with starts a clerk may type: words a
-- collation may read as one (沈阳, 重庆, 藏文), letters of either case with
-- and without accents, LIKE's own signs, and reversed or open sets.
-- @each P = 沈 | 沈阳 | 重 | 重庆 | 藏 | 藏文 | 红 | R0 | r0 | S1 | 97 | 978-7 | 979-10-1 | B | b0 | 24 | 2406 | É | é | e | E | ec | émile | a | ā | Á | c | C+ | z | O'' | 1 | 9 | [9-0] | [0-9] | [a-c] | [^a] | [ | % | _ | 100% | a_ | [注 | \ | 9-0 | 沈% | %阳 | ΟΔΟΣ | οδοσ | i | İ | k | K | ǆ | STRASSE | 沈�
SELECT 图书名称, 作者, ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END FROM 图书档案 WHERE ISBN LIKE '{P}%' ORDER BY ISBN ASC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN AND 图书编号 LIKE '{P}%' ORDER BY 图书编号 ASC
SELECT 图书名称, 作者, ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END FROM 图书档案 WHERE 图书名称 LIKE '{P}%' ORDER BY 图书名称 ASC
SELECT * FROM 出版社 WHERE 出版社名称 LIKE '{P}%' ORDER BY 出版社名称 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, CONVERT(varchar(10),未还书总价值,0) AS 未还书总价值, 身份证号码, 联系电话, 地址, 邮编, 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者编号 LIKE '{P}%' ORDER BY 读者编号 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, CONVERT(varchar(10),未还书总价值,0) AS 未还书总价值, 身份证号码, 联系电话, 地址, 邮编, 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 姓名 LIKE '{P}%' ORDER BY 姓名 ASC
SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' END, 借书经手人, 还书经手人 FROM 读者档案, 图书档案, 图书借阅, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书借阅编号 LIKE '{P}%' ORDER BY 图书借阅编号 ASC
SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS 赔偿金额, 备注 FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案 WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书损坏编号 LIKE '{P}%' ORDER BY 图书损坏编号 DESC

-- The finds of the titles, copies and readers lists (every keystroke).
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN AND 图书档案.ISBN LIKE '{P}%' GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN AND 图书编号 LIKE '{P}%' ORDER BY 图书编号 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者编号 LIKE '{P}%' ORDER BY 读者编号 ASC

-- The lists as they open, and sorted by each field either way (alone, and
-- after a first sort that ties).
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN ORDER BY 图书编号 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 ORDER BY 读者编号 ASC
-- @each D = ASC | DESC
-- @each F = ISBN | 图书名称 | 作者 | 出版社名称 | 出版时间 | 价格 | 每日租金 | 可否外借
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.{F} {D}
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.可否外借 ASC,图书档案.{F} {D}
-- @each F = 图书编号 | ISBN | 入库日期 | 经手人 | 最近读者编号 | 最近借阅日期 | 状态
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN ORDER BY 图书库存.{F} {D}
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN ORDER BY 图书库存.状态 DESC,图书库存.{F} {D}
-- @each F = 读者编号 | 读者类别 | 姓名 | 性别 | 账户金额 | 联系电话 | 地址 | 邮编 | 身份证号码 | 当前借书数量 | 总借书数量 | 总借书次数 | 有损还书次数 | 未还书总数 | 登记日期 | 经手人 | 状态 | 未还书总价值
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 ORDER BY 读者档案.{F} {D}
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 ORDER BY 读者档案.性别 ASC,读者档案.{F} {D}

-- The filters, with every value their lists offer.
-- @each V = 人民出版社 | 科学出版社 | 重庆出版社 | 沈阳出版社 | 藏文出版社 | Éditions Ouest | editions est | éditions ouest | EDITIONS EST | O''Reilly | 无此出版社
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN AND 出版社名称 = '{V}' GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借
-- @each V = 张三 | 沈阳 | 重庆 | 藏文 | 沈从文 | Émile | émile | ÉMILE | ecole | ECOLE | ā | a | A | á | [注] | 100% | a_b
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN AND 作者 = '{V}' GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借
-- @each V = 978-1 | 978-7-5205-8 | 978-7-5313-2 | 979-10-01 | 979-10-24
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN AND 图书库存.ISBN = '{V}' ORDER BY 图书编号 ASC
SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS 赔偿金额, 备注 FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案 WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书库存.ISBN = '{V}' ORDER BY 图书损坏编号 DESC
-- @each V = admin | ADMIN | Zhang | zhang | old | 沈阳
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN AND 经手人 = '{V}' ORDER BY 图书编号 ASC
-- @each V = 正常 | 停用
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者档案.状态 = '{V}' ORDER BY 读者编号 ASC
-- @each V = 学生 | 教师 | 重庆学生 | 沈阳教师 | 藏文班 | Élite | élite | ECOLE | a班 | 无此类别
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者档案.读者类别 = '{V}' ORDER BY 读者编号 ASC
-- @each V = R001 | R010 | r012 | S001
SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS 赔偿金额, 备注 FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案 WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书借阅.读者编号 = '{V}' ORDER BY 图书损坏编号 DESC

-- The lists' choices and the windows' other reads, without an order of their own.
SELECT DISTINCT 作者 FROM 图书档案
SELECT DISTINCT 出版社名称 FROM 出版社
SELECT DISTINCT ISBN FROM 图书档案
SELECT DISTINCT 用户名 FROM 账户
SELECT DISTINCT 读者编号 FROM 读者档案
SELECT DISTINCT 读者类别 FROM 读者类别
SELECT * FROM 读者类别 ORDER BY 借书数量限制 ASC
SELECT * FROM 读者类别
SELECT * FROM 出版社
SELECT * FROM 账户类型
SELECT 账户类型 FROM 账户类型
SELECT * FROM 账户
Select * From 账户
SELECT 用户名, 真实姓名, 账户类型, CONVERT(varchar(20),最后登录时间,20) AS 最后登录时间, 状态 FROM 账户
SELECT * FROM 充值记录
SELECT 充值编号, 充值记录.读者编号, 姓名 AS 读者姓名, 读者类别, CONVERT(varchar(10),充值金额,0) AS 充值金额, 充值记录.经手人 FROM 充值记录,读者档案 WHERE 充值记录.读者编号 = 读者档案.读者编号 ORDER BY 充值编号 ASC
SELECT 用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间 FROM 账户登录 ORDER BY 登录时间 DESC
SELECT * FROM 图书档案
SELECT * FROM 图书库存
SELECT * FROM 图书借阅
SELECT * FROM 图书损坏
SELECT * FROM 读者档案
SELECT * FROM 账户登录
SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' END, 借书经手人, 还书经手人 FROM 读者档案, 图书档案, 图书借阅, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 是否已还 = '0' ORDER BY 图书借阅编号 ASC

-- The statistics: counts, and rankings whose values tie.
SELECT DISTINCT ISBN FROM 图书档案
SELECT 图书编号 FROM 图书库存
SELECT TOP 5 出版社名称, COUNT(出版社名称) AS 图书种类 FROM 图书档案 GROUP BY 出版社名称 ORDER BY 图书种类 DESC
SELECT DISTINCT 读者编号 FROM 读者档案
SELECT TOP 10 读者编号, 账户金额 FROM 读者档案 ORDER BY 账户金额 DESC
SELECT TOP 10 读者编号, 总借书数量 FROM 读者档案 ORDER BY 总借书数量 DESC
-- @each R = '2000-01-01' AND '2024-12-31' | '2024-06-01' AND '2024-06-03' | '2024-06-05' AND '2024-06-01' | '2024-6-6' AND '2024-06-06'
SELECT TOP 10 图书档案.ISBN, COUNT(图书档案.ISBN) AS 借阅次数 FROM 图书借阅, 图书档案, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 借书日期 BETWEEN {R} GROUP BY 图书档案.ISBN ORDER BY 借阅次数 DESC

-- The text order: every kind of text item, with and without an index.
SELECT 图书名称 FROM 图书档案 ORDER BY 图书名称
SELECT 图书名称 FROM 图书档案 ORDER BY 图书名称 DESC
SELECT 作者, 图书名称 FROM 图书档案 ORDER BY 作者, 图书名称
SELECT 姓名 FROM 读者档案 WHERE 读者编号 LIKE 'R%' ORDER BY 姓名
SELECT 姓名 AS 名 FROM 读者档案 WHERE 读者编号 LIKE 'R%' ORDER BY 名 DESC
SELECT 姓名 FROM 读者档案 WHERE 读者编号 LIKE 'R%' ORDER BY 1
SELECT UPPER(姓名) AS 大写 FROM 读者档案 WHERE 读者编号 LIKE 'R%' ORDER BY 大写
SELECT LOWER(姓名) FROM 读者档案 WHERE 读者编号 LIKE 'R%' ORDER BY 1
SELECT 姓名 + 读者编号 AS 名号 FROM 读者档案 WHERE 读者编号 LIKE 'R%' ORDER BY 名号
SELECT DISTINCT 姓名 FROM 读者档案 WHERE 读者编号 LIKE 'R%' ORDER BY 姓名
SELECT DISTINCT 作者 FROM 图书档案 ORDER BY 作者 DESC
SELECT 作者 FROM 图书档案 UNION SELECT 姓名 FROM 读者档案 WHERE 读者编号 LIKE 'R%' ORDER BY 1
SELECT 作者 FROM 图书档案 UNION ALL SELECT 出版社名称 FROM 出版社 ORDER BY 1 DESC
SELECT 出版社名称, COUNT(*) AS 种类 FROM 图书档案 GROUP BY 出版社名称 ORDER BY 出版社名称
SELECT 出版社名称, COUNT(*) AS 种类 FROM 图书档案 GROUP BY 出版社名称
SELECT 作者, MIN(图书名称) AS 最前, MAX(图书名称) AS 最后 FROM 图书档案 GROUP BY 作者 ORDER BY 作者
SELECT MIN(姓名), MAX(姓名) FROM 读者档案
SELECT COUNT(*) FROM 读者档案 WHERE 姓名 < '重'
SELECT COUNT(*) FROM 读者档案 WHERE 姓名 BETWEEN '沈' AND '沈阳9'
SELECT 姓名 FROM 读者档案 WHERE 姓名 > 'ecole' AND 读者编号 LIKE 'R%' ORDER BY 姓名
SELECT 姓名 FROM 读者档案 WHERE 姓名 IN ('沈阳', 'ÉMILE', 'ecole', 'A') ORDER BY 姓名
SELECT TOP 3 姓名 FROM 读者档案 ORDER BY 姓名
SELECT TOP 3 姓名 FROM 读者档案 ORDER BY 姓名 DESC
SELECT TOP 5 读者编号, 读者类别 FROM 读者档案 ORDER BY 读者类别
SELECT 读者编号, 姓名 FROM 读者档案 WHERE 姓名 LIKE '%阳1%' ORDER BY 姓名
SELECT 读者编号 FROM 读者档案 WHERE 姓名 LIKE '沈_0%' ORDER BY 读者编号 DESC
SELECT 读者编号, 姓名 FROM 读者档案 WHERE 姓名 NOT LIKE '沈%' AND 姓名 NOT LIKE '重%' AND 姓名 NOT LIKE '藏%' ORDER BY 姓名

-- LIKE with every kind of pattern: sets, reversed and open ones, escapes,
-- a trailing escape, wildcards in the text.
-- @each P = [9-0]% | [0-9]% | [z-a]% | [a-c]% | [^a-c]% | [a-]% | [-a]% | [a-c-e]% | []% | [^]% | [%]% | [_]% | [[]注]% | %[注]% | [注% | _ | __ | % | %% | 沈_ | 沈__ | %阳 | %阳% | ÉMILE | émile | E% | é% | [É]% | [e-f]% | [é]% | ā% | a% | [ā]% | 100[%]% | a[_]b | O''% | %''% | 沈 | '' | \%
SELECT 读者编号, 姓名 FROM 读者档案 WHERE 姓名 LIKE '{P}' ORDER BY 读者编号
SELECT ISBN, 作者 FROM 图书档案 WHERE 作者 LIKE '{P}' ORDER BY 作者
-- @each P = 100!%% | a!_b | !%% | !!% | 沈! | 沈!! | ! | a!b% | [!]% | !
SELECT ISBN, 图书名称 FROM 图书档案 WHERE 图书名称 LIKE '{P}' ESCAPE '!' ORDER BY ISBN
SELECT 读者编号 FROM 读者档案 WHERE 姓名 LIKE '{P}' ESCAPE '!' ORDER BY 读者编号
SELECT ISBN FROM 图书档案 WHERE 图书名称 LIKE '%' ESCAPE ''
SELECT ISBN FROM 图书档案 WHERE 图书名称 LIKE '%' ESCAPE 'ab'
SELECT ISBN FROM 图书档案 WHERE 图书名称 LIKE 作者 ORDER BY ISBN
SELECT ISBN FROM 图书档案 WHERE 图书名称 LIKE 作者 + '%' ORDER BY ISBN
SELECT ISBN FROM 图书档案 WHERE 价格 LIKE '9%'
SELECT ISBN FROM 图书档案 WHERE 出版时间 LIKE '2015%'
SELECT 读者编号 FROM 读者档案 WHERE 当前借书数量 LIKE '0%' AND 读者编号 LIKE 'R0%' ORDER BY 读者编号

-- Arithmetic as the dialect means it: exact money, halves away from zero,
-- division by zero refused, whole numbers in their range, no text for a number.
SELECT ISBN, 价格 * 1.15 AS 价格 FROM 图书档案 WHERE ISBN LIKE '979-10-1%' ORDER BY ISBN
SELECT ISBN, CONVERT(varchar(20), 价格 * 1.15, 0) AS 价格 FROM 图书档案 WHERE ISBN LIKE '979-10-1%' ORDER BY ISBN
SELECT ISBN, CONVERT(varchar(20), 每日租金 * 0.5, 0) AS 租金, CONVERT(varchar(20), 每日租金 * -0.5, 2) AS 负 FROM 图书档案 WHERE ISBN LIKE '979-10-1%' ORDER BY ISBN
SELECT ISBN, 价格 * 3, 价格 / 3, 价格 / 2.5, 价格 + 0.00005, 价格 - 1 FROM 图书档案 WHERE ISBN LIKE '979-10-1%' ORDER BY ISBN
SELECT ISBN, 价格 / 每日租金 FROM 图书档案 WHERE ISBN = '979-10-14'
SELECT ISBN, 价格 / 每日租金 FROM 图书档案 WHERE ISBN = '979-10-13'
SELECT ISBN, 价格 / 0 FROM 图书档案 WHERE ISBN = '979-10-14'
SELECT 读者编号, 总借书数量 / 当前借书数量 FROM 读者档案 WHERE 读者编号 = 'R010'
SELECT 读者编号, 总借书数量 / 0 FROM 读者档案 WHERE 读者编号 = 'R010'
SELECT 读者编号, 总借书数量 % 0 FROM 读者档案 WHERE 读者编号 = 'R010'
SELECT 读者编号, 总借书数量 / 2, 总借书数量 % 2, -总借书数量 / 2, 总借书数量 * 1.5 FROM 读者档案 WHERE 读者编号 = 'R010'
SELECT 7 / 2, -7 / 2, 7 % 3, -7 % 3, 7 / 2.0, 1 / 0
SELECT 2147483647 + 1
SELECT 读者编号, 总借书数量 + 2147483647 FROM 读者档案 WHERE 读者编号 = 'R010'
SELECT 读者编号, 总借书数量 * 1000000000 FROM 读者档案 WHERE 读者编号 = 'R010'
SELECT SUM(价格), AVG(价格), SUM(每日租金), AVG(每日租金), MIN(价格), MAX(价格) FROM 图书档案
SELECT AVG(总借书数量), SUM(总借书数量), AVG(当前借书数量) FROM 读者档案
SELECT CONVERT(varchar(10), 0.613 * 1.15), CONVERT(varchar(10), CONVERT(money, 0.613) * 1.15, 0)
SELECT CONVERT(int, 价格), CONVERT(int, 2.5), CONVERT(int, -2.5), CONVERT(money, 2.00005) FROM 图书档案 WHERE ISBN = '979-10-14'
UPDATE 读者档案 SET 账户金额 = 账户金额 + 0.613 * 1.15 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 账户金额 = 账户金额 * 1.15 WHERE 读者编号 LIKE 'R01%'
UPDATE 读者档案 SET 账户金额 = 账户金额 / 0 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = 总借书数量 / 0 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = 2147483648 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = -2147483649 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = 2147483647 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = 总借书数量 + 2147483647 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = 'abc' WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = '12' WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = ' 12 ' WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = '1.5' WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = 1.5 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 总借书数量 = 姓名 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 账户金额 = 922337203685477.5807 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 账户金额 = 922337203685477.5808 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 账户金额 = -922337203685477.5808 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 账户金额 = 账户金额 + 922337203685477 WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 账户金额 = 'abc' WHERE 读者编号 = 'R010'
UPDATE 读者档案 SET 账户金额 = 姓名 WHERE 读者编号 = 'R010'
INSERT 读者类别 VALUES ('新类', 'abc', '5')
INSERT 读者类别 VALUES ('新类', '30', '99999999999')
INSERT 读者类别 VALUES ('新类', 30.5, 5)
INSERT 读者类别 VALUES ('新类', '', '5')
INSERT 读者档案 VALUES ('X1', '学生', 'x', 1, 9999999999999999, '', '', '', '', 0, 0, 0, 0, 0, '240101', 'admin', '正常')
INSERT 读者档案 VALUES ('X1', '学生', 'x', 1, 1, '', '', '', '', 3000000000, 0, 0, 0, 0, '240101', 'admin', '正常')
INSERT 读者档案 VALUES ('X1', '学生', 'x', 2, 1, '', '', '', '', 0, 0, 0, 0, 0, '240101', 'admin', '正常')
UPDATE 图书档案 SET 价格 = 价格 * 1.15 WHERE ISBN LIKE '979-10-1%'
UPDATE 图书档案 SET 每日租金 = 价格 / 3 WHERE ISBN LIKE '979-10-1%'

-- Writes whose rows are chosen by text: case and accents as the finds see them.
UPDATE 读者档案 SET 状态 = '停用' WHERE 姓名 LIKE '沈%'
UPDATE 读者档案 SET 状态 = '停用' WHERE 姓名 LIKE 'É%'
UPDATE 读者档案 SET 状态 = '停用' WHERE 姓名 = 'émile'
DELETE 读者档案 WHERE 姓名 LIKE '重庆%'
DELETE FROM 图书档案 WHERE 图书名称 LIKE '[9-0]%'
DELETE 账户 WHERE 用户名 = 'BOB'
