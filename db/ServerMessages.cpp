#include "db/ServerMessages.h"

namespace ado::msg {

QString duplicateKey(const QString &table, const QString &column, const QString &value)
{
    QString out = QStringLiteral("违反了 PRIMARY KEY 约束。不能在对象“%1”中插入重复键（列“%2”）。").arg(table, column);
    if (!value.isEmpty()) out += QStringLiteral("重复键值为 (%1)。").arg(value);
    return out;
}

QString duplicateIndexRow(const QString &table, const QString &index, const QString &value)
{
    QString out = QStringLiteral("不能在具有唯一索引“%2”的对象“%1”中插入重复键的行。").arg(table, index);
    if (!value.isEmpty()) out += QStringLiteral("重复键值为 (%1)。").arg(value);
    return out;
}

QString nullNotAllowed(const QString &table, const QString &column)
{
    return QStringLiteral("不能将值 NULL 插入列“%1”，表“%2”；列不允许有 Null 值。").arg(column, table);
}

QString valueDoesNotFit(const QString &detail) { return QStringLiteral("值不符合列的要求（%1）。").arg(detail); }

QString busy() { return QStringLiteral("数据库正忙（另一处正在写入），等待超时。请稍后再试。"); }

QString dateConversionFailed() { return QStringLiteral("从字符串转换日期和/或时间时，转换失败。"); }

QString readOnly(const QString &database, const QString &why)
{
    return QStringLiteral("数据库“%1”是只读的，无法写入（%2）。").arg(database, why);
}

QString readOnlyDisk() { return QStringLiteral("文件所在的磁盘是只读的"); }

QString readOnlyFile() { return QStringLiteral("文件只读，当前用户无权写入"); }

QString readOnlyFolder(const QString &folder)
{
    return QStringLiteral("文件所在的文件夹“%1”不允许写入，无法在其中建立日志文件").arg(folder);
}

QString readOnlyOpened() { return QStringLiteral("数据库文件只能以只读方式打开"); }

QString readOnlyServer() { return QStringLiteral("服务器将该数据库设为只读"); }

QString serverNotFound(const QString &server)
{
    return QStringLiteral("[DBNETLIB]服务器“%1”不存在或拒绝访问。").arg(server);
}

QString loginFailed(const QString &user) { return QStringLiteral("用户“%1”登录失败。").arg(user); }

QString databaseNotFound(const QString &database)
{
    return QStringLiteral("无法打开登录所请求的数据库“%1”。登录失败。").arg(database);
}

QString connectionLost(const QString &detail)
{
    return QStringLiteral("与数据库服务器的连接已断开（%1）。").arg(detail);
}

}  // namespace ado::msg
