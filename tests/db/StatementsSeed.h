#pragma once
// A small library the statement tests run on: titles with and without copies,
// a copy of a missing title, readers of a present and of a removed category,
// returned and open loans, damage records, deposits and logins, written with
// the program's own positional inserts.
#include "support/TempDb.h"

inline QStringList smallLibrary()
{
    return {
        QStringLiteral("INSERT 账户类型 VALUES('借阅员',0,1,0,1,0,1,1,0,0,0,0,0,0)"),
        QStringLiteral("INSERT 账户 VALUES('Zhang','pw','张三','sub','借阅员', Null, '正常')"),
        QStringLiteral("INSERT 账户 VALUES('old','pw','老员工','sub','借阅员', Null, '停用')"),
        QStringLiteral("INSERT 账户登录 VALUES ('admin','2024-05-01 09:00:00')"),
        QStringLiteral("INSERT 账户登录 VALUES ('admin','2024-05-01 18:30:00')"),
        QStringLiteral("INSERT 账户登录 VALUES ('Zhang','2024-04-30 12:00:00')"),
        QStringLiteral("INSERT 账户登录 VALUES ('old','2024-04-29 08:00:00')"),
        QStringLiteral("INSERT 出版社 VALUES ('人民出版社','北京','100000')"),
        QStringLiteral("INSERT 出版社 VALUES ('科学出版社','上海','200000')"),
        QStringLiteral("INSERT 出版社 (出版社名称) VALUES ('无地址出版社')"),
        QStringLiteral("INSERT 图书档案 VALUES('978-1','C++入门','张三','人民出版社','2020-3-5',45.5,0.1,'1')"),
        QStringLiteral("INSERT 图书档案 VALUES('978-2','数据库','李四','科学出版社','',4235.98,0,'1')"),
        QStringLiteral("INSERT 图书档案 VALUES('978-3','古籍','王五','人民出版社','1999/12/31',100,1.25,'0')"),
        QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B001','978-1','2024-01-02 10:11:12','admin')"),
        QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B002','978-1','2024-01-03 08:00:00','old')"),
        QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B003','978-3','2024-01-04 09:30:00','admin')"),
        QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B009','978-9','2024-01-05 14:00:00','admin')"),
        QStringLiteral("INSERT 读者类别 VALUES ('学生','30','5')"),
        QStringLiteral("INSERT 读者类别 VALUES ('教师','60','10')"),
        QStringLiteral("INSERT 读者档案 VALUES('R001','学生','王小明',1, 0, '13800000000','地址一','100001', 'ID1', 0, "
                       "0, 0, 0, 0, '240315','admin', '正常')"),
        QStringLiteral("INSERT 读者档案 VALUES('R002','已撤销类别','李小红',0, 0, '', '', '', '', 0, 0, 0, 0, 0, "
                       "'240316','admin', '正常')"),
        QStringLiteral("INSERT 读者档案 VALUES('R003','教师','赵老师',1, 0, '', '', '', '', 0, 0, 0, 0, 0, "
                       "'240101','Zhang', '停用')"),
        QStringLiteral("INSERT 图书借阅 VALUES('240301101010001','B001','R001','2024-03-01','2024-03-31', Null, '0', "
                       "'admin', Null)"),
        QStringLiteral("UPDATE 图书借阅 SET 实际还书日期 = '2024-03-20',是否已还 = '1',还书经手人 = 'admin' WHERE "
                       "图书借阅编号 = '240301101010001'"),
        QStringLiteral("INSERT 图书借阅 VALUES('240501090000001','B003','R001','2024-05-01','2024-05-31', Null, '0', "
                       "'old', Null)"),
        QStringLiteral("INSERT 图书借阅 VALUES('240410090000001','B002','R003','2024-04-10','2024-05-10', "
                       "'2024-04-15', '1', 'admin', 'admin')"),
        QStringLiteral("INSERT 图书损坏 VALUES('240320101010','240301101010001','封面破损',5.5,'')"),
        QStringLiteral("INSERT 图书损坏 VALUES('240415101010','240410090000001','缺页',12,'备注')"),
        QStringLiteral("INSERT 充值记录 VALUES ('240315101010','R001',100,'2024-03-15','admin')"),
        QStringLiteral("INSERT 充值记录 VALUES ('240316101010','R003',50.5,'2024-03-16','Zhang')"),
    };
}

inline void seedSmallLibrary(testsupport::TempDb &db) { db.exec(smallLibrary()); }
