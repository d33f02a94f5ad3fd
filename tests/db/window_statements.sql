-- The statements the windows write, one a line, with the values they were
-- written with: gathered from the program running its own tests (every
-- window's reads, the lending, returning, deposit and clean-up writes, the
-- searches and lists with their filters and orders) and from the statement
-- lists of tst_statements.cpp. tst_mutations.cpp mutates them. A line
-- starting with "--" is a comment.

-- Reads
SELECT * FROM 图书档案 WHERE ISBN = '978-1'
SELECT 出版时间, 价格 FROM 图书档案 WHERE ISBN = '978-2'
SELECT * FROM 图书库存 WHERE 图书编号 = 'B001'
SELECT * FROM 图书借阅 WHERE 图书借阅编号 = '240410090000001'
SELECT * FROM 图书损坏 ORDER BY 图书损坏编号
SELECT * FROM 读者档案 WHERE 读者编号 = 'R001'
SELECT * FROM 读者档案
SELECT * FROM 读者类别 ORDER BY 借书数量限制 ASC
SELECT * FROM 充值记录 WHERE 读者编号 = 'R003'
SELECT * FROM 出版社 WHERE 出版社名称 = '无地址出版社'
SELECT * FROM 图书馆信息 WHERE 图书馆名称 = '分馆'
SELECT COUNT(*) FROM 图书馆信息
SELECT * FROM 账户 WHERE 用户名 = 'ZHANG'
SELECT * FROM 账户类型
SELECT 用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间 FROM 账户登录 WHERE 用户名 = 'zhang'
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.ISBN ASC
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN AND 出版社名称 = '科学出版社' GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN AND 作者 = '张三' GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN AND 图书档案.ISBN LIKE '978-2%' GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.价格 DESC,图书档案.ISBN ASC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN ORDER BY 图书编号 ASC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN AND 经手人 = 'ADMIN' ORDER BY 图书编号 ASC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN AND 图书库存.ISBN = '978-9' ORDER BY 图书编号 ASC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN AND 图书编号 LIKE 'b00%' ORDER BY 图书库存.入库日期 DESC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 ORDER BY 读者编号 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者档案.状态 = '停用'
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者档案.读者类别 = '已撤销类别'
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者编号 LIKE 'r00%' ORDER BY 读者档案.登记日期 DESC
SELECT 姓名, 性别, 读者档案.读者类别, CONVERT(varchar(10),账户金额,0) AS 账户余额, 状态, 借书时间期限, 当前借书数量, 借书数量限制 - 当前借书数量, 借书数量限制 FROM 读者档案, 读者类别 WHERE 读者编号 = 'R001' AND 读者档案.读者类别 = 读者类别.读者类别
SELECT 图书名称, 作者, ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END FROM 图书档案 WHERE ISBN LIKE '978-3%' ORDER BY ISBN ASC
SELECT 图书名称, 作者, ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END FROM 图书档案 WHERE 图书名称 LIKE 'c++%' ORDER BY 图书名称 ASC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN AND 图书编号 LIKE 'B009%' ORDER BY 图书编号 ASC
SELECT * FROM 出版社 WHERE 出版社名称 LIKE '人民%' ORDER BY 出版社名称 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, CONVERT(varchar(10),未还书总价值,0) AS 未还书总价值, 身份证号码, 联系电话, 地址, 邮编, 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者编号 LIKE 'R00%' ORDER BY 读者编号 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, CONVERT(varchar(10),未还书总价值,0) AS 未还书总价值, 身份证号码, 联系电话, 地址, 邮编, 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 姓名 LIKE '李%' ORDER BY 姓名 ASC
SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' END, 借书经手人, 还书经手人 FROM 读者档案, 图书档案, 图书借阅, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书借阅编号 LIKE '24%' ORDER BY 图书借阅编号 ASC
SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' END, 借书经手人, 还书经手人 FROM 读者档案, 图书档案, 图书借阅, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 是否已还 = '0' ORDER BY 图书借阅编号 ASC
SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' END, 借书经手人, 还书经手人 FROM 读者档案, 图书档案, 图书借阅, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 是否已还 = '0' AND 图书库存.ISBN LIKE '978-1%'
SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS 赔偿金额, 备注 FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案 WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 ORDER BY 图书损坏编号 DESC
SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS 赔偿金额, 备注 FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案 WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书借阅.读者编号 = 'R001' ORDER BY 图书损坏编号 DESC
SELECT 充值编号, 充值记录.读者编号, 姓名 AS 读者姓名, 读者类别, CONVERT(varchar(10),充值金额,0) AS 充值金额, 充值记录.经手人 FROM 充值记录,读者档案 WHERE 充值记录.读者编号 = 读者档案.读者编号 ORDER BY 充值编号 ASC
SELECT 图书馆名称 FROM 图书馆信息
SELECT * FROM 账户,账户类型 WHERE 用户名 = 'admin' AND 账户.账户类型 = 账户类型.账户类型
SELECT 用户名, 真实姓名, 账户类型, CONVERT(varchar(20),最后登录时间,20) AS 最后登录时间, 状态 FROM 账户 
SELECT COUNT(修改账户权限) AS 数量 FROM 账户类型 WHERE 修改账户权限 = 1 GROUP BY 修改账户权限
SELECT * FROM 账户类型 WHERE 账户类型 = '访客'
SELECT 用户名, 真实姓名, 账户类型, CONVERT(varchar(20),最后登录时间,20) AS 最后登录时间, 状态 FROM 账户 WHERE 用户名 = 'clerk'
SELECT TOP 5 出版社名称, COUNT(出版社名称) AS 图书种类 FROM 图书档案 GROUP BY 出版社名称 ORDER BY 图书种类 DESC
SELECT TOP 2 读者编号, 账户金额 FROM 读者档案 ORDER BY 账户金额 DESC
SELECT DISTINCT ISBN FROM 图书档案
SELECT 图书编号 FROM 图书库存
SELECT TOP 10 图书档案.ISBN, COUNT(图书档案.ISBN) AS 借阅次数 FROM 图书借阅, 图书档案, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 借书日期 BETWEEN '2000-01-01' AND '2024-12-31' GROUP BY 图书档案.ISBN ORDER BY 借阅次数 DESC
SELECT TOP 1 读者编号, 总借书数量 FROM 读者档案 ORDER BY 总借书数量 DESC
SELECT COUNT(*) FROM 账户类型
SELECT COUNT(*) FROM 账户
SELECT 账户类型 FROM 账户类型
SELECT * FROM 账户 WHERE 用户名 ='clerk'
SELECT * FROM 账户 WHERE 账户类型 = '职员'
SELECT  用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间 FROM 账户登录 WHERE (登录时间 BETWEEN '2000-01-01 00:00:00' AND '2024-12-31 23:59:59') ORDER BY 登录时间 DESC
SELECT TOP 1 用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间 FROM 账户登录 WHERE (用户名 = 'ADMIN') AND  (登录时间 BETWEEN '2000-01-01' AND '2024-12-31') ORDER BY 登录时间 DESC
SELECT 密码 FROM 账户 WHERE 用户名 = 'newbie'
SELECT 二级密码 FROM 账户 WHERE 用户名 = 'newbie'
SELECT 账户类型 FROM 账户 WHERE 用户名 = 'newbie'
SELECT 状态 FROM 账户 WHERE 用户名 = 'newbie'
SELECT COUNT(*) FROM 账户 WHERE 用户名 = 'newbie' AND 最后登录时间 IS NULL
SELECT * FROM 图书档案
SELECT DISTINCT 作者 FROM 图书档案
SELECT DISTINCT 出版社名称 FROM 出版社
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借
SELECT * FROM 图书库存
SELECT DISTINCT 用户名 FROM 账户
SELECT 真实姓名 FROM 账户 WHERE 用户名 = 'obrien'
SELECT DISTINCT 读者编号 FROM 读者档案
SELECT 图书名称, 作者, CONVERT(varchar(10),每日租金,0) AS 每日租金, 出版社名称, 图书档案.ISBN, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, 状态 FROM 图书档案, 图书库存 WHERE 图书编号 = 'B002' AND 图书档案.ISBN = 图书库存.ISBN
SELECT 最近读者编号, 最近借阅日期 FROM 图书库存 WHERE 图书编号 = 'B002'
SELECT 当前借书数量, 总借书数量, 总借书次数, 未还书总数 FROM 读者档案 WHERE 读者编号 = 'R001'
SELECT 当前借书数量, 总借书数量, 未还书总数 FROM 读者档案 WHERE 读者编号 = 'R001'
SELECT CONVERT(varchar(10),实际还书日期,23) FROM 图书借阅 WHERE 图书借阅编号 = '240601100000001'
SELECT * FROM 出版社 
SELECT * FROM 图书馆信息
SELECT 用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间 FROM 账户登录 ORDER BY 登录时间 DESC
SELECT CONVERT(varchar(10),账户金额,0) AS 账户余额 FROM 读者档案 WHERE 读者编号 = 'R001'
SELECT 账户金额 FROM 读者档案 WHERE 读者编号 = 'R001'
SELECT 读者编号 FROM 读者档案 WHERE 账户金额 = 0.3
Select * From 账户
SELECT 最后登录时间 FROM 账户 WHERE 用户名 = 'admin'
SELECT 图书借阅编号 FROM 图书借阅
SELECT 图书损坏编号 FROM 图书损坏
SELECT 充值编号 FROM 充值记录
SELECT ISBN FROM 图书档案
SELECT 读者编号 FROM 读者档案
SELECT 用户名 FROM 账户
SELECT 用户名 FROM 账户登录
SELECT * FROM 出版社 WHERE 1 = 1  
SELECT * FROM 出版社 WHERE 1 = 1 AND 邮编 = '200000'  
SELECT * FROM 出版社 WHERE 1 = 1 AND 出版社名称 LIKE '科%'  
SELECT * FROM 出版社 WHERE 1 = 1  ORDER BY 出版社.出版社名称 ASC
SELECT * FROM 出版社 WHERE 1 = 1  ORDER BY 出版社.出版社名称 DESC
SELECT * FROM 出版社 WHERE 1 = 1  ORDER BY 出版社.出版社名称 DESC,出版社.地址 ASC
SELECT * FROM 出版社 WHERE 1 = 1  ORDER BY 出版社.出版社名称 DESC,出版社.地址 DESC
SELECT 出版社名称, 地址 AS 所在地, 邮编 FROM 出版社 ORDER BY 邮编
SELECT * FROM 出版社 WHERE 地址 = '北京'
SELECT 出版社名称, 地址 FROM 出版社
SELECT 出版社名称, 邮编 AS 编码, 地址 FROM 出版社 WHERE 出版社名称 LIKE '无%'
SELECT COUNT(*) FROM 账户登录 WHERE 用户名 = 'admin'
SELECT 出版社名称, 地址 FROM 出版社 ORDER BY 出版社名称
SELECT 名称 FROM 无此表
SELECT COUNT(*) FROM 账户登录
SELECT CONVERT(varchar(10),账户金额,0) FROM 读者档案 WHERE 读者编号 = 'R002'
SELECT CONVERT(varchar(10),价格,0) FROM 图书档案 WHERE ISBN = '978-1'
SELECT  用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间 FROM 账户登录 WHERE (用户名 = 'clerk') AND  (登录时间 BETWEEN '2024-3-2' AND '2024-03-05') ORDER BY 登录时间 DESC
SELECT * FROM 读者类别 WHERE 读者类别 = '学生'
SELECT COUNT(*) FROM 图书借阅
SELECT ISBN FROM 图书档案 ORDER BY ISBN
SELECT COUNT(*) FROM 读者档案
SELECT * FROM 出版社   ORDER BY 出版社名称 ASC
SELECT 出版社名称 FROM 出版社 WHERE 出版社名称 = 'it''s'
SELECT * FROM 账户,账户类型
SELECT 地址 FROM 出版社 WHERE 出版社名称 = '新华出版社'
SELECT CONVERT(varchar(20), 最后登录时间, 20) FROM 账户
SELECT 用户名, CONVERT(varchar(20), 登录时间, 20) FROM 账户登录 ORDER BY 登录时间
SELECT COUNT(*) FROM 出版社
SELECT 邮编 FROM 出版社 WHERE 出版社名称 = '上海出版社'
SELECT * FROM 图书档案 WHERE 出版社名称 = '人民出版社'
SELECT * FROM 图书档案 WHERE ISBN ='978-3'
SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS 赔偿金额, 备注 FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案 WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书库存.ISBN = '978-2'  ORDER BY 图书损坏编号 DESC
SELECT COUNT(*) FROM 图书损坏
SELECT * FROM 图书损坏 WHERE 图书借阅编号 = '240301090000003'
SELECT 图书损坏编号 FROM 图书损坏 WHERE 图书损坏编号 = '240315102030'
SELECT 图书借阅编号 FROM 图书损坏 WHERE 图书损坏编号 = '240315102030'
SELECT CONVERT(varchar(10),赔偿金额,0) FROM 图书损坏 WHERE 图书损坏编号 = '240315102030'
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.ISBN DESC
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.作者 DESC
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.作者 ASC
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.作者 ASC,图书档案.ISBN ASC
SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案,图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 ORDER BY 图书档案.作者 ASC,图书档案.ISBN DESC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN  ORDER BY 图书库存.ISBN ASC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN  ORDER BY 图书库存.ISBN ASC,图书库存.图书编号 ASC
SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, 最近读者编号, 最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN  ORDER BY 图书库存.ISBN ASC,图书库存.图书编号 DESC
SELECT COUNT(*) FROM 图书档案 WHERE ISBN = '978-9'
SELECT COUNT(*) FROM 图书损坏 WHERE 图书损坏编号 = '240315102032' AND 图书借阅编号 = '240301090000004'
SELECT COUNT(*) FROM 图书损坏 WHERE 图书借阅编号 = '240301090000004'
SELECT 图书名称 FROM 图书档案 WHERE ISBN = '978-9'
SELECT 出版社名称 FROM 图书档案 WHERE ISBN = '978-9'
SELECT CONVERT(varchar(10),出版时间,23) FROM 图书档案 WHERE ISBN = '978-9'
SELECT CONVERT(varchar(10),每日租金,0) FROM 图书档案 WHERE ISBN = '978-9'
SELECT 可否外借 FROM 图书档案 WHERE ISBN = '978-9'
SELECT COUNT(*) FROM 图书库存 WHERE ISBN = '978-9'
SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 = '新华出版社' AND 地址 IS NULL
SELECT * FROM 图书损坏 WHERE 图书损坏编号 ='240310090000'
SELECT COUNT(*) FROM 图书库存 WHERE 图书编号 = 'B001'
SELECT 图书借阅编号, 损坏描述, CONVERT(varchar(10),赔偿金额,0), 备注 FROM 图书损坏 WHERE 图书损坏编号 = '240310090000'
SELECT CONVERT(varchar(20),入库日期,20) FROM 图书库存 WHERE 图书编号 = 'N1'
SELECT 经手人 FROM 图书库存 WHERE 图书编号 = 'N2'
SELECT ISBN FROM 图书库存 WHERE 图书编号 = 'N2'
SELECT * FROM 图书库存 WHERE ISBN = '978-4'
SELECT 图书编号 FROM 图书库存 WHERE 图书编号 = 'B004' AND (状态 = '借出' OR 图书编号 IN (SELECT 图书编号 FROM 图书借阅 WHERE 是否已还 = '0'))
SELECT 图书编号 FROM 图书库存 WHERE ISBN = '978-2' AND (状态 = '借出' OR 图书编号 IN (SELECT 图书编号 FROM 图书借阅 WHERE 是否已还 = '0'))
SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 = '新华出版社'
SELECT 作者 FROM 图书档案 WHERE ISBN = '978-3'
select * from 图书馆信息
SELECT 徽标 FROM 图书馆信息
SELECT 地址, 邮编 FROM 出版社 WHERE 出版社名称 = '新华出版社'
SELECT COUNT(*) FROM 出版社 WHERE 地址 = ''
SELECT 负责人, 联系电话, 地址, 邮编, 租金功能, 超期罚金功能, CONVERT(varchar(10),每日超期罚金,0) FROM 图书馆信息
SELECT 租金功能 FROM 图书馆信息
SELECT 超期罚金功能 FROM 图书馆信息
SELECT 姓名, 性别, CONVERT(varchar(10),账户金额,0) AS 账户余额, 状态 FROM 读者档案 WHERE 读者编号 = 'r001'
SELECT COUNT(*) FROM 充值记录
SELECT 读者编号 FROM 充值记录
SELECT CONVERT(varchar(10),充值金额,0) FROM 充值记录
SELECT CONVERT(varchar(10),充值日期,23) FROM 充值记录
SELECT 经手人 FROM 充值记录
SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = 'R002' AND 账户金额 = 0.3
SELECT COUNT(*) FROM 充值记录 WHERE 充值编号 = '240315102031'
SELECT SUM(充值金额) FROM 充值记录 WHERE 读者编号 = 'R002'
SELECT COUNT(*) FROM 读者类别
SELECT COUNT(*) FROM 读者类别 WHERE 读者类别 = '研究生' AND 借书时间期限 = 90 AND 借书数量限制 = 20
SELECT 借书时间期限 FROM 读者类别 WHERE 读者类别 = '学生'
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者档案.状态 = '停用'  ORDER BY 读者编号 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者档案.读者类别 = '教师'  ORDER BY 读者编号 ASC
SELECT 借书数量限制 FROM 读者类别 WHERE 读者类别 = '教师'
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者编号 LIKE 'r%'  ORDER BY 读者编号 ASC
SELECT 状态 FROM 图书库存 WHERE 图书编号 = 'S1'
SELECT 图书借阅编号 FROM 图书借阅 WHERE 图书借阅编号 = '261207111435001'
SELECT COUNT(*) FROM 图书借阅 WHERE 图书编号 = 'S1'
SELECT * FROM 读者档案 WHERE 读者类别 = '学生'
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别  ORDER BY 读者档案.读者编号 DESC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别  ORDER BY 读者档案.读者编号 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别  ORDER BY 读者档案.总借书数量 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别  ORDER BY 读者档案.总借书数量 ASC,读者档案.读者编号 ASC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别  ORDER BY 读者档案.总借书数量 ASC,读者档案.读者编号 DESC
SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人 FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别  ORDER BY 读者档案.总借书数量 DESC,读者档案.读者编号 DESC
SELECT DISTINCT 读者类别 FROM 读者类别
SELECT 当前借书数量 FROM 读者档案 WHERE 读者编号 = 'R003'
SELECT 读者类别 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT 姓名 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT 性别 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT 联系电话 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT 地址 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT 邮编 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT 身份证号码 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = 'R100' AND 当前借书数量 = 0 AND 总借书数量 = 0 AND 总借书次数 = 0 AND 有损还书次数 = 0 AND 未还书总数 = 0
SELECT CONVERT(varchar(10),登记日期,23) FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT COUNT(*) FROM 读者档案 WHERE 登记日期 BETWEEN '2024-03-01' AND '2024-03-31'
SELECT 经手人 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT 状态 FROM 读者档案 WHERE 读者编号 = 'R100'
SELECT 图书编号 FROM 图书借阅 WHERE 图书借阅编号 = '240315102030001'
SELECT 读者编号 FROM 图书借阅 WHERE 图书借阅编号 = '240315102030003'
SELECT CONVERT(varchar(10),理论还书日期,23) FROM 图书借阅 WHERE 图书借阅编号 = '240315102030003'
SELECT COUNT(*) FROM 图书借阅 WHERE 是否已还 = '0' AND 借书经手人 = 'admin' AND 实际还书日期 IS NULL AND 还书经手人 IS NULL
SELECT 最近读者编号 FROM 图书库存 WHERE 图书编号 = 'B004'
SELECT 总借书数量 FROM 读者档案 WHERE 读者编号 = 'R001'
SELECT 未还书总数 FROM 读者档案 WHERE 读者编号 = 'R001'
SELECT 总借书次数 FROM 读者档案 WHERE 读者编号 = 'R001'
SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = ''
SELECT 读者编号 FROM 图书借阅
SELECT CONVERT(varchar(10),理论还书日期,23) FROM 图书借阅
SELECT * FROM 读者档案 WHERE 读者编号 ='R003'
SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' END, 借书经手人, 还书经手人 FROM 读者档案, 图书档案, 图书借阅, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 是否已还 = '0' AND 图书借阅.图书编号 LIKE 'B%' ORDER BY 图书借阅编号 ASC
SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' END, 借书经手人, 还书经手人 FROM 读者档案, 图书档案, 图书借阅, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 是否已还 = '0' AND 图书借阅.读者编号 LIKE 'r002%' ORDER BY 图书借阅编号 ASC
SELECT 是否已还 FROM 图书借阅 WHERE 图书借阅编号 = '240301090000003'
SELECT 还书经手人 FROM 图书借阅 WHERE 图书借阅编号 = '240301090000003'
SELECT COUNT(*) FROM 图书借阅 WHERE 是否已还 = '0'
SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS 赔偿金额, 备注 FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案 WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书损坏编号 LIKE '2403%' ORDER BY 图书损坏编号 DESC
SELECT COUNT(*) FROM 图书借阅 WHERE 读者编号 = 'R001' AND 是否已还 = '0'
SELECT COUNT(*) FROM 充值记录 WHERE 读者编号 = 'R001'
SELECT COUNT(*) FROM 图书借阅 WHERE 读者编号 = 'R001'
SELECT 图书编号 FROM 图书库存 WHERE 状态 = '借出' AND 图书编号 NOT IN (SELECT 图书编号 FROM 图书借阅 WHERE 是否已还 = 0) ORDER BY 图书编号
SELECT DISTINCT 图书库存.图书编号, 状态 FROM 图书库存, 图书借阅 WHERE 图书库存.图书编号 = 图书借阅.图书编号 AND 是否已还 = 0 AND (状态 IS NULL OR 状态 <> '借出') ORDER BY 图书库存.图书编号
SELECT 图书编号, COUNT(*) FROM 图书借阅 WHERE 是否已还 = 0 GROUP BY 图书编号 HAVING COUNT(*) > 1 ORDER BY 图书编号
SELECT 读者编号, 当前借书数量, 未还书总数, (SELECT COUNT(*) FROM 图书借阅 WHERE 图书借阅.读者编号 = 读者档案.读者编号 AND 是否已还 = 0) FROM 读者档案 ORDER BY 读者编号
SELECT 图书借阅编号, 图书编号 FROM 图书借阅 WHERE 是否已还 = 0 AND 图书编号 NOT IN (SELECT 图书编号 FROM 图书库存) ORDER BY 图书借阅编号
SELECT 图书借阅编号, 读者编号 FROM 图书借阅 WHERE 是否已还 = 0 AND 读者编号 NOT IN (SELECT 读者编号 FROM 读者档案) ORDER BY 图书借阅编号
SELECT COUNT(DISTINCT 图书借阅编号) FROM 图书借阅
SELECT MIN(LEN(图书借阅编号)) FROM 图书借阅
SELECT MAX(LEN(图书借阅编号)) FROM 图书借阅
SELECT 图书借阅编号 FROM 图书借阅 WHERE 图书编号 = 'R1'

-- Inserts
INSERT 账户类型 VALUES('借阅员',0,1,0,1,0,1,1,0,0,0,0,0,0)
INSERT 账户 VALUES('Zhang','pw','张三','sub','借阅员', Null, '正常')
INSERT 账户登录 VALUES ('admin','2024-05-01 09:00:00')
INSERT 出版社 VALUES ('人民出版社','北京','100000')
INSERT 出版社 (出版社名称) VALUES ('无地址出版社')
INSERT 图书档案 VALUES('978-1','C++入门','张三','人民出版社','2020-3-5',45.5,0.1,'1')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B001','978-1','2024-01-02 10:11:12','admin')
INSERT 读者类别 VALUES ('学生','30','5')
INSERT 读者档案 VALUES('R001','学生','王小明',1, 0, '13800000000','地址一','100001', 'ID1', 0, 0, 0, 0, 0, '240315','admin', '正常')
INSERT 读者档案 VALUES('R002','已撤销类别','李小红',0, 0, '', '', '', '', 0, 0, 0, 0, 0, '240316','admin', '正常')
INSERT 图书借阅 VALUES('240301101010001','B001','R001','2024-03-01','2024-03-31', Null, '0', 'admin', Null)
INSERT 图书借阅 VALUES('240410090000001','B002','R003','2024-04-10','2024-05-10', '2024-04-15', '1', 'admin', 'admin')
INSERT 图书损坏 VALUES('240320101010','240301101010001','封面破损',5.5,'')
INSERT 充值记录 VALUES ('240315101010','R001',100,'2024-03-15','admin')
INSERT 图书馆信息 VALUES ('分馆','负责人','电话','地址','邮编',1,'0',0.5,Null)
INSERT 账户类型 VALUES ('职员', 0,1,0,1,0,1,1,1,0,0,0,0,0)
INSERT 账户 VALUES ('clerk','pw1','柜台职员','cl2nd','职员','2024-03-01 08:00:00','正常')
INSERT 账户 VALUES ('old','pw2','老员工','ol2nd','职员',Null,'停用')
INSERT 读者档案 VALUES ('R001','学生','张三',1,12.5,'','','','',0,0,0,0,0,'240101','admin','正常')
INSERT 图书档案 VALUES ('978-1','数据库原理','作者甲','人民出版社','2020-01-01',30,0.5,'1')
INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('B001','978-1','2024-01-01 10:00:00','admin')
INSERT 账户类型 VALUES ('无权限', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)
INSERT 账户 VALUES ('clerk', 'pw', '职员', 'x', '无权限', Null, '正常')
INSERT 图书借阅 VALUES('240301090000001','B1','R001','2024-01-01','2024-02-01',Null,'0','OLD',Null)
INSERT 图书借阅 VALUES('240301090000002','B2','R001','2024-01-01','2024-02-01','2024-03-10','1','admin','old')
INSERT 充值记录 VALUES('240301000001','R001',50,'2024-03-01','old')
INSERT 账户 VALUES ('zed', 'zz', 'Zed', Null, '系统管理员', Null, '正常')
INSERT 出版社 VALUES ('高等教育出版社', '北京', '100029')
INSERT 出版社 VALUES ('清华大学出版社', '北京', NULL)
INSERT 账户类型 VALUES ('借阅员', 1,0,Null,1,0,Null,1,0,Null,1,0,Null,1)
INSERT 账户 VALUES ('nopw', Null, '无', 'x', '系统管理员', Null, '正常')
INSERT 图书损坏 VALUES ('240320100000','240301090000001','封面破损',5,'')
INSERT 读者档案 VALUES('R100','教师','周九',0,0, '13900000000','北京路 1 号','100001','110101200001010011',0, 0, 0, 0, 0, '240315','admin', '正常')
INSERT 图书借阅 VALUES ('240301090000001','B001','R001','2024-03-01','2024-03-31',Null,'0','admin',Null)
INSERT 图书档案 VALUES ('978-7','无名之书','丁',Null,'2020-01-01',30,0.5,'1')
INSERT 出版社 VALUES ('另一处', Null, Null)

-- Updates
UPDATE 图书借阅 SET 实际还书日期 = '2024-03-20',是否已还 = '1',还书经手人 = 'admin' WHERE 图书借阅编号 = '240301101010001'
UPDATE 账户类型 SET 修改图书馆信息权限=0,查看图书权限=0,修改图书权限=0,查看库存权限=0,修改库存权限=0,办理借书权限=0,办理还书权限=0,查看读者权限=0,修改读者权限=0,查看账户权限=0,修改账户权限=0,查看统计权限=0,备用权限乙=1 WHERE 账户类型 = '访客'
UPDATE 账户类型 SET 修改图书馆信息权限=1,查看图书权限=0,修改图书权限=0,查看库存权限=1,修改库存权限=0,办理借书权限=1,办理还书权限=1,查看读者权限=1,修改读者权限=0,查看账户权限=0,修改账户权限=1,查看统计权限=0,打印报表权限=0 WHERE 账户类型 = '职员'
UPDATE 账户类型 SET 查看账户权限 = 0, 修改账户权限 = 0 WHERE 账户类型 = '职员'
UPDATE 读者档案 SET 账户金额 = 账户金额 + 30 WHERE (读者编号 = 'R002')
UPDATE 账户 SET 真实姓名 = '柜台甲',账户类型 = '职员',状态 = '正常' WHERE 用户名 = 'clerk'
UPDATE 图书库存 SET 状态 = '借出',最近读者编号 = 'R001',最近借阅日期 = '2024-06-01' WHERE 图书编号 = 'B002'
UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 + 1,总借书数量 = 总借书数量 + 1,总借书次数 = 总借书次数 + 1,未还书总数 = 未还书总数 + 1 WHERE 读者编号 = 'R001'
UPDATE 图书库存 SET 状态 = '空闲' WHERE 图书编号 = 'B002'
UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 - 1,未还书总数 = 未还书总数 - 1 WHERE 读者编号 = 'R001'
UPDATE 账户 SET 真实姓名 = '老员工',账户类型 = '职员',状态 = '停用',密码 = 'np' WHERE 用户名 = 'old'
UPDATE 账户 SET 真实姓名 = '柜台职员',账户类型 = '系统管理员',状态 = '停用',二级密码 = 'fresh2' WHERE 用户名 = 'clerk'
UPDATE 账户 SET 账户类型 = '已删类型' WHERE 用户名 = 'old'
UPDATE 账户 SET 真实姓名 = '王小明' WHERE 用户名 = 'admin'
UPDATE 读者档案 SET 当前借书数量 = 3, 未还书总数 = 3, 总借书数量 = 3 WHERE 读者编号 = 'R003'
UPDATE 账户 SET 二级密码 = 'adm2' WHERE 用户名 = 'admin'
UPDATE 账户类型 SET 修改图书权限 = 0
UPDATE 账户类型 SET 办理还书权限 = 0
UPDATE 账户 SET 最后登录时间 = '2020-01-02 03:04:05' WHERE 用户名 = 'admin'
UPDATE 账户 SET 状态 = '停用' WHERE 用户名 = 'clerk'
UPDATE 账户类型 SET 修改账户权限 = 1 WHERE 账户类型 = '借书员'
UPDATE 图书档案 SET 价格 = 123456789.5 WHERE ISBN = '978-1'
UPDATE 图书馆信息 SET 图书馆名称 = '河畔分馆'
UPDATE 图书馆信息 SET 图书馆名称 = Null
UPDATE 读者类别 SET  借书时间期限 ='45',借书数量限制 ='' WHERE 读者类别 ='学生'
UPDATE 账户类型 SET 修改账户权限 = 0
UPDATE 账户类型 SET 修改账户权限 = Null
UPDATE 账户 SET 账户类型 = '不存在'
UPDATE 出版社 SET  地址 ='上海',邮编 ='200001' WHERE 出版社名称 ='上海出版社'
UPDATE 账户类型 SET 修改图书权限 = 0 WHERE 账户类型 = '系统管理员'
UPDATE 账户类型 SET 修改库存权限 = 0 WHERE 账户类型 = '系统管理员'
UPDATE 账户类型 SET 查看图书权限 = 0 WHERE 账户类型 = '系统管理员'
UPDATE 图书损坏 SET 损坏描述 = '封面撕裂',赔偿金额 = 20.05,备注 = '已赔' WHERE 图书损坏编号 = '240310090000'
UPDATE 账户类型 SET 查看库存权限 = 0 WHERE 账户类型 = '系统管理员'
UPDATE 图书档案 SET 出版社名称 = '已撤销出版社' WHERE ISBN = '978-3'
UPDATE 图书借阅 SET 是否已还 = '1'
UPDATE 图书馆信息 SET 联系电话 = '010-1234', 租金功能 = 1, 超期罚金功能 = 0, 每日超期罚金 = 0.25
UPDATE 图书档案 SET  图书名称='珍本古籍（修订）',作者='作者丁',出版社名称='新华出版社',出版时间='2021-05-06',价格=88,每日租金=2,可否外借='1' WHERE ISBN='978-3'
UPDATE 账户类型 SET 修改图书馆信息权限 = 0
UPDATE 读者档案 SET 账户金额 = 0 WHERE 读者编号 = 'R002'
UPDATE 账户类型 SET 查看读者权限 = 0
UPDATE 账户类型 SET 办理借书权限 = 0
UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 + 1, 未还书总数 = 未还书总数 + 1 WHERE 读者编号 = 'R002'
UPDATE 读者档案 SET 地址 = '旧址', 经手人 = 'clerk' WHERE 读者编号 = 'R003'
UPDATE 读者档案 SET  姓名 = '王五五',性别 = 0,读者类别 = '教师',联系电话 = '123',地址 = '新址',邮编 = '',身份证号码 = '',状态 = '停用' WHERE 读者编号 = 'R003'
UPDATE 读者档案 SET 性别 = NULL, 状态 = '停用' WHERE 读者编号 = 'R005'
UPDATE 账户类型 SET 修改读者权限 = 0
UPDATE 读者档案 SET 账户金额 = 100, 总借书数量 = 7 WHERE 读者编号 = 'R001'

-- Deletes
DELETE FROM 账户 WHERE 用户名 <> 'admin'
DELETE FROM 账户类型 WHERE 账户类型 = ''
DELETE FROM 账户登录 WHERE 用户名 = 'admin'
DELETE FROM 账户登录
DELETE FROM 图书损坏 WHERE 图书借阅编号 IN (SELECT 图书借阅编号 FROM 图书借阅 WHERE 借书经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用') UNION SELECT 图书借阅编号 FROM 图书借阅 WHERE 还书经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用'))
DELETE FROM 图书借阅 WHERE 图书借阅编号 IN (SELECT 图书借阅编号 FROM 图书借阅 WHERE 借书经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用') UNION SELECT 图书借阅编号 FROM 图书借阅 WHERE 还书经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用'))
DELETE FROM 图书库存 WHERE 经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用')
DELETE FROM 充值记录 WHERE 经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用')
DELETE FROM 账户登录 WHERE 用户名 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用')
DELETE FROM 账户 WHERE 状态 = '停用'
DELETE FROM 图书损坏 WHERE 图书借阅编号 IN (SELECT 图书借阅编号 FROM 图书借阅 WHERE 是否已还 = 1 AND (实际还书日期 BETWEEN '2000-01-01' AND '2024-03-15'))
DELETE FROM 图书借阅 WHERE 是否已还 = 1 AND (实际还书日期 BETWEEN '2000-01-01' AND '2024-03-15')
DELETE FROM 图书损坏
DELETE FROM 图书借阅
DELETE FROM 图书档案 WHERE ISBN IN (SELECT 图书档案.ISBN FROM 图书档案, 图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书档案.ISBN HAVING COUNT(图书库存.ISBN) = 0)
DELETE FROM 充值记录
DELETE FROM 图书损坏 WHERE 图书借阅编号 IN (SELECT 图书借阅编号 FROM 图书借阅 WHERE 读者编号 IN (SELECT 读者编号 FROM 读者档案 WHERE 状态 = '停用'))
DELETE FROM 图书借阅 WHERE 读者编号 IN (SELECT 读者编号 FROM 读者档案 WHERE 状态 = '停用')
DELETE FROM 充值记录 WHERE 读者编号 IN (SELECT 读者编号 FROM 读者档案 WHERE 状态 = '停用')
DELETE FROM 读者档案 WHERE 状态 = '停用'
DELETE FROM 图书馆信息
DELETE 出版社 WHERE 出版社名称 ='无地址出版社'
DELETE FROM 图书损坏 WHERE 图书损坏编号 = '240312090000'
DELETE FROM 图书档案 WHERE ISBN = '978-4'
DELETE FROM 图书库存 WHERE 图书编号 = 'B004'
DELETE FROM 图书库存 WHERE ISBN = '978-2'
DELETE 读者类别 WHERE 读者类别 = '学生'
DELETE FROM 读者档案 WHERE 读者编号 = 'R002'
DELETE 读者类别 WHERE 读者类别 ='临时'
DELETE 读者档案
