-- Version 1 of the schema, as the databases made before versions were recorded
-- have it: db_tst_upgrade upgrades a database made from these files. Kept as
-- it was; never edited.
--
-- Initial contents of a new database, in the program's own statement dialect
-- (run through the database layer, like every statement of the program).

-- One account type holding all thirteen permissions.
INSERT 账户类型 VALUES ('系统管理员', 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);

-- The administrator's account: user name admin, password admin.
INSERT 账户 VALUES ('admin', 'admin', '系统管理员', 'admin', '系统管理员', Null, '正常');

-- The library's own information: exactly one row.
INSERT 图书馆信息 (图书馆名称, 负责人, 联系电话, 地址, 邮编, 租金功能, 超期罚金功能, 每日超期罚金) VALUES ('城市图书馆', '系统管理员', '', '', '', 0, 0, 0.10);
