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

QString serverNotFound(const QString &server, const QString &why)
{
    return QStringLiteral("[DBNETLIB]服务器“%1”不存在或拒绝访问（%2）。").arg(server, why);
}

QString hostUnknown(const QString &host) { return QStringLiteral("找不到名为“%1”的主机").arg(host); }

QString connectionRefused(const QString &port)
{
    return QStringLiteral("连接被拒绝：该主机的端口 %1 上没有数据库服务器在接受连接").arg(port);
}

QString networkUnreachable() { return QStringLiteral("网络不可达：没有通往该主机的路由"); }

QString networkError(int errorNumber) { return QStringLiteral("网络错误，错误号 %1").arg(errorNumber); }

QString noAnswerWithin(int seconds) { return QStringLiteral("%1 秒内没有应答").arg(seconds); }

QString loginNotAnsweredWithin(int seconds)
{
    return QStringLiteral("服务器接受了连接，但 %1 秒内没有应答登录").arg(seconds);
}

QString closedByServer() { return QStringLiteral("服务器接受了连接，随即又将其关闭"); }

QString serverStartingOrStopping() { return QStringLiteral("服务器正在启动或关闭，暂不接受连接"); }

QString tooManyConnections() { return QStringLiteral("服务器的连接数已达上限"); }

QString refusedWithCode(const QString &sqlstate)
{
    return QStringLiteral("服务器拒绝了连接，错误代码 %1").arg(sqlstate);
}

QString loginFailed(const QString &user, const QString &why)
{
    return QStringLiteral("用户“%1”登录失败（%2）。").arg(user, why);
}

QString wrongPassword() { return QStringLiteral("用户名或密码不正确"); }

QString loginNotAllowedFromHere() { return QStringLiteral("服务器不允许该用户从这台计算机登录"); }

QString noRightToConnect(const QString &database) { return QStringLiteral("该用户无权连接数据库“%1”").arg(database); }

QString databaseNotFound(const QString &database)
{
    return QStringLiteral("无法打开登录所请求的数据库“%1”。登录失败。").arg(database);
}

QString connectionLost(const QString &why)
{
    return QStringLiteral("与数据库服务器的连接已断开（%1）。下一次操作时将重新连接。").arg(why);
}

QString endedByAdministrator() { return QStringLiteral("服务器的管理员结束了该连接，或服务器正在关闭"); }

QString endedUnexpectedly() { return QStringLiteral("服务器意外地关闭了连接，或网络已中断"); }

QString droppedAfterTimeout(int seconds)
{
    return QStringLiteral("上一条语句在 %1 秒内没有完成，连接已被断开").arg(seconds);
}

QString commandTimedOut(int seconds)
{
    return QStringLiteral(
               "查询超时已过期：数据库服务器在 %1 秒内没有完成该语句。程序已不再等待并断开了连接（尚未提交的更改"
               "不会保存），下一次操作时将重新连接。")
        .arg(seconds);
}

QString statementCancelled() { return QStringLiteral("语句已被数据库服务器取消（例如由服务器的管理员取消）。"); }

QString commitInDoubt(const QString &why)
{
    return QStringLiteral(
               "提交更改时没有收到数据库服务器的答复（%1），无法确认是否已保存：服务器可能已经保存了这些更改。"
               "请刷新后核对数据，确认没有保存再重新操作，不要直接重做，以免重复保存。")
        .arg(why);
}

QString engineFailure(const QString &detail) { return QStringLiteral("数据库引擎报告错误：%1").arg(detail); }

QString cannotOpenFile() { return QStringLiteral("无法打开数据库文件。"); }

QString fileDamaged() { return QStringLiteral("数据库文件已损坏，或者不是数据库文件。"); }

QString diskFull() { return QStringLiteral("磁盘已满，无法写入数据库。"); }

QString diskIoError() { return QStringLiteral("读写数据库文件时发生磁盘错误。"); }

QString outOfMemory() { return QStringLiteral("内存不足，无法完成操作。"); }

QString moneyOverflow() { return QStringLiteral("将 money 转换为数据类型 varchar 时出现算术溢出错误。"); }

QString arithmeticOverflow()
{
    return QStringLiteral("出现算术溢出错误：数值超出了其数据类型（整数或 money）所能容纳的范围。");
}

QString likeEscapeNotSingle() { return QStringLiteral("LIKE 的转义符必须是单个字符。"); }

QString transactionRolledBack() { return QStringLiteral("事务已回滚：其中有一条语句失败。"); }

// ---- statements

QString syntaxErrorNear(const QString &near) { return QStringLiteral("'%1' 附近有语法错误。").arg(near); }

QString syntaxErrorAtEnd() { return QStringLiteral("语句末尾附近有语法错误。"); }

QString selectListName() { return QStringLiteral("选择列表"); }

QString onlyOneStatement() { return QStringLiteral("一次只能运行一条语句；';' 之后还有其他内容。"); }

QString emptyStatement() { return QStringLiteral("语句为空。"); }

QString statementNotRun(const QString &keyword)
{
    return QStringLiteral("数据库层只运行 SELECT、INSERT、UPDATE 和 DELETE 语句，不运行 '%1' 语句。").arg(keyword);
}

QString missingCommentEnd() { return QStringLiteral("缺少注释结束标记 '*/'。"); }

QString unclosedQuote(bool identifier, const QString &text)
{
    return (identifier ? QStringLiteral("标识符 '%1' 后的引号不完整。")
                       : QStringLiteral("字符串 '%1' 后的引号不完整。"))
        .arg(text);
}

QString invalidObjectName(const QString &name) { return QStringLiteral("对象名 '%1' 无效。").arg(name); }

QString invalidColumnName(const QString &name) { return QStringLiteral("列名 '%1' 无效。").arg(name); }

QString ambiguousColumnName(const QString &name) { return QStringLiteral("列名 '%1' 不明确。").arg(name); }

QString unboundIdentifier(const QString &qualifier, const QString &name)
{
    return QStringLiteral("无法绑定由多个部分组成的标识符 \"%1.%2\"。").arg(qualifier, name);
}

QString objectNameNotValidHere(const QString &name) { return QStringLiteral("对象名 '%1' 在此处无效。").arg(name); }

QString selectStarWithoutTables() { return QStringLiteral("未指定表时，SELECT * 无效。"); }

QString functionArgumentCount(const QString &function, int count)
{
    return QStringLiteral("%1 函数要求有 %2 个参数。").arg(function).arg(count);
}

QString unknownFunction(const QString &function)
{
    return QStringLiteral("'%1' 不是可以识别的内置函数名称。").arg(function);
}

QString operandTypeInvalid(const QString &type, const QString &op)
{
    return QStringLiteral("操作数数据类型 %1 对于 %2 运算符无效。").arg(type, op);
}

QString operandTypeClash(const QString &type, const QString &target)
{
    return QStringLiteral("操作数类型冲突: %1 与 %2 不兼容。").arg(type, target);
}

QString convertStyleInvalid(int style, const QString &fromType)
{
    return QStringLiteral("从 %2 转换为字符串时，%1 不是有效的样式号。").arg(style).arg(fromType);
}

QString conversionFailed(const QString &value, const QString &type, const QString &column)
{
    QString out = QStringLiteral("将值 '%1' 转换成数据类型 %2 时失败").arg(value, type);
    if (!column.isEmpty()) out += QStringLiteral("（列 %1）").arg(column);
    return out + QStringLiteral("。");
}

QString unionWidthsDiffer()
{
    return QStringLiteral("使用 UNION 运算符组合的所有查询在其目标列表中的表达式数目必须相同。");
}

QString unionOrderByNotSelected()
{
    return QStringLiteral("如果语句中包含 UNION 运算符，那么 ORDER BY 子句中的项就必须出现在选择列表中。");
}

QString columnNamedTwiceInInsert(const QString &column)
{
    return QStringLiteral("在 INSERT 的列列表中多次指定了列名 '%1'。").arg(column);
}

QString valueCountMismatch() { return QStringLiteral("列名或所提供值的数目与表定义不匹配。"); }

QString computedColumnNotModifiable(const QString &column)
{
    return QStringLiteral("无法修改列 \"%1\"，因为它是计算列。").arg(column);
}

QString fieldNotAColumn(const QString &field, const QString &table)
{
    return QStringLiteral("无法更新字段 '%1'：它不是表 '%2' 的列。").arg(field, table);
}

QString nulInText(const QString &text)
{
    return QStringLiteral("文本 '%1' 含有空字符 NUL (0x00)，数据库服务器无法存储。")
        .arg(QString(text).replace(QChar(0), QStringLiteral("\\0")));
}

QString outerJoinOnlyInAndWhere(const QString &ops)
{
    return QStringLiteral("外部联接运算符 %1 只能出现在以 AND 连接的 WHERE 条件中。").arg(ops);
}

QString outerJoinNeedsTwoTables() { return QStringLiteral("外部联接运算符 *= 和 =* 只能用于含两个表的 SELECT。"); }

QString outerJoinSidesSameTable(const QString &op)
{
    return QStringLiteral("%1 的两侧必须分别是 FROM 列表中不同表的列。").arg(op);
}

QString outerJoinInnerAlsoJoined(const QString &table)
{
    return QStringLiteral("表 '%1' 是外部联接子句的内部成员。如果该表还参与常规联接子句，则不允许这样做。").arg(table);
}

QString outerJoinCycle() { return QStringLiteral("此查询的外部联接构成了循环，没有一个表能保留其全部行。"); }

QString unsupported(const QString &form) { return QStringLiteral("数据库层不支持 %1。").arg(form); }

QString unsupportedConvert(const QString &fromType, const QString &toType)
{
    return QStringLiteral("数据库层不支持用 CONVERT 将 %1 转换为 %2。").arg(fromType, toType);
}

QString unsupportedLike(const QString &type) { return QStringLiteral("数据库层不支持对 %1 值使用 LIKE。").arg(type); }

QString unsupportedTableHints()
{
    return QStringLiteral("数据库层只支持顶层 SELECT 的表提示 WITH (UPDLOCK[, ROWLOCK][, NOWAIT])。");
}

QString lockHintNeedsPlainRows()
{
    return QStringLiteral("WITH (UPDLOCK) 只能用于不含 DISTINCT、GROUP BY、HAVING、聚合函数和 UNION 的 SELECT。");
}

QString unsupportedJoinOn()
{
    return QStringLiteral("数据库层不支持 JOIN ... ON：请在 FROM 之后列出各表，并在 WHERE 中联接它们。");
}

QString unsupportedInsertForm(const QString &keyword)
{
    return QStringLiteral("数据库层不支持 INSERT %1：请用 VALUES (...) 给出值。").arg(keyword);
}

QString numbersAreNoDates(const QString &number)
{
    return QStringLiteral("数据库层不接受用数字表示日期（%1）。").arg(number);
}

QString dateArithmetic() { return QStringLiteral("数据库层不支持日期的算术运算。"); }

QString moneyTimesMoney() { return QStringLiteral("数据库层不支持两个 money 值相乘。"); }

QString divisionByMoney() { return QStringLiteral("数据库层不支持除以 money 值。"); }

QString moduloOfMoney() { return QStringLiteral("数据库层不支持 money 值的取模运算。"); }

QString computedColumnFromItself(const QString &column)
{
    return QStringLiteral("计算列 '%1' 由其自身计算得出。").arg(column);
}

QString computedColumnInvalid(const QString &table, const QString &column, const QString &why)
{
    return QStringLiteral("计算列 '%1.%2' 无效：%3").arg(table, column, why);
}

QString computedColumnDefinition(const QString &line)
{
    return QStringLiteral("计算列的定义须为 \"表.列 = 表达式\"：%1").arg(line);
}

QString computedColumnStored(const QString &column)
{
    return QStringLiteral("列 %1 是存储的列；只有生成列才能定义为计算列。").arg(column);
}

QString distinctOrderByNotSelected()
{
    return QStringLiteral("如果指定了 SELECT DISTINCT，那么 ORDER BY 子句中的项就必须出现在选择列表中。");
}

QString divisionByZero() { return QStringLiteral("遇到以零作除数错误。"); }

// ---- recordsets, connections and transactions

QString objectClosed() { return QStringLiteral("对象关闭时，不允许操作。"); }

QString objectOpen() { return QStringLiteral("对象打开时，不允许操作。"); }

QString noCurrentRecord()
{
    return QStringLiteral("BOF 或 EOF 中有一个是“真”，或者当前的记录已被删除，所需的操作要求一个当前的记录。");
}

QString connectionUnusable() { return QStringLiteral("连接无法用于执行此操作。在此上下文中它可能已被关闭或无效。"); }

QString itemNotFound() { return QStringLiteral("在对应所需名称或序数的集合中，未找到项目。"); }

QString recordsetNotUpdatable()
{
    return QStringLiteral("当前记录集不支持更新。这可能是提供程序的限制，也可能是选定锁定类型的限制。");
}

QString rowNotLocated() { return QStringLiteral("无法为更新定位行。"); }

QString rowChangedSinceRead() { return QStringLiteral("无法为更新定位行。一些值可能已在最后一次读取后更改。"); }

QString transactionsDoNotNest() { return QStringLiteral("已有事务正在运行；事务不能嵌套。"); }

QString noActiveTransaction() { return QStringLiteral("没有活动的事务。"); }

QString placeholdersNeedBatch() { return QStringLiteral("语句中含有 '?' 占位符；请用 ExecuteBatch 运行它。"); }

QString batchStatementKind() { return QStringLiteral("ExecuteBatch 只运行 INSERT、UPDATE 或 DELETE 语句。"); }

QString placeholderCount(int placeholders, int values)
{
    return QStringLiteral("语句有 %1 个占位符，而一行给出了 %2 个值。").arg(placeholders).arg(values);
}

QString resultTooLarge() { return QStringLiteral("结果过大：其中一列的数据超过 4 GB。"); }

// ---- connection strings, settings and database files

QString connectionStringInvalidNear(const QString &rest)
{
    return QStringLiteral("连接字符串在 '%1' 附近无效。").arg(rest);
}

QString connectionStringUnclosedBrace() { return QStringLiteral("连接字符串中有未闭合的 '{'。"); }

QString connectionStringNoServer() { return QStringLiteral("连接字符串没有指定服务器 (Server=...)。"); }

QString settingsNeedFourFields(const QString &line)
{
    return QStringLiteral("设置 \"%1\" 需要四个字段：服务器|用户名|密码|数据库。").arg(line);
}

QString embeddedNeedsDatabaseName()
{
    return QStringLiteral("嵌入式数据库需要数据库名 (Database=...)：其文件是程序旁的 <数据库名>.db。");
}

QString programFolderUnknown(const QString &database)
{
    return QStringLiteral("尚不知道程序所在的文件夹，找不到数据库“%1”。").arg(database);
}

QString schemaFileUnreadable(const QString &file) { return QStringLiteral("无法读取架构文件“%1”。").arg(file); }

QString databaseFileMissing(const QString &file, const QString &name)
{
    return QStringLiteral("数据库文件“%1”不存在。请用以下命令建立：librarydb create \"sqlite|UID|PWD|%2\"")
        .arg(file, name);
}

QString databaseFileCannotOpen(const QString &file, const QString &why)
{
    return QStringLiteral("无法打开数据库文件“%1”：%2").arg(file, why);
}

QString databaseFileCannotCreate(const QString &file, const QString &why)
{
    return QStringLiteral("无法建立数据库文件“%1”：%2").arg(file, why);
}

QString fileIsNoDatabase(const QString &file, const QString &why)
{
    return QStringLiteral("文件“%1”不是数据库：%2").arg(file, why);
}

QString databaseFileWithoutTables(const QString &file, const QString &name)
{
    return QStringLiteral("数据库文件“%1”中没有表。请用以下命令建表：librarydb create \"sqlite|UID|PWD|%2\"")
        .arg(file, name);
}

QString databaseFileGone(const QString &file)
{
    return QStringLiteral("数据库文件“%1”已被删除或移走。请将它放回原处；放回后，下一次操作时将重新打开它。").arg(file);
}

QString databaseFileEmptied(const QString &file)
{
    return QStringLiteral(
               "数据库文件“%1”已被清空，其中的数据已不在。请用备份恢复该文件；恢复后，下一次操作时将重新读取它。")
        .arg(file);
}

QString databaseFileReplaced(const QString &file)
{
    return QStringLiteral(
               "数据库文件“%1”在本次操作进行中被换成了另一个文件，本次操作未能完成。下一次操作时将打开新放入的文件。")
        .arg(file);
}

QString serverDatabaseWithoutTables(const QString &database, const QString &server)
{
    return QStringLiteral("数据库“%1”中没有表。请用以下命令建表：librarydb create \"%2|UID|PWD|%1\"")
        .arg(database, server);
}

QString databaseHasTables(const QString &database)
{
    return QStringLiteral("数据库“%1”中已经有表；没有建立任何内容。").arg(database);
}

QString scriptStatementFailed(const QString &why, const QString &statement)
{
    return QStringLiteral("%1\n语句：%2").arg(why, statement);
}

QString schemaVersionOlder(const QString &database, int version, int current, const QString &settings)
{
    return QStringLiteral("数据库“%1”的架构版本为 %2，本程序需要版本 %3。\n请用以下命令升级：librarydb ensure \"%4\"")
        .arg(database, QString::number(version), QString::number(current), settings);
}

QString schemaVersionNewer(const QString &database, int version, int current)
{
    return QStringLiteral("数据库“%1”的架构版本为 %2，比本程序的版本 %3 新。请使用新版本的程序。")
        .arg(database, QString::number(version), QString::number(current));
}

QString schemaStepFailed(int step, int version, const QString &why)
{
    return QStringLiteral("升级到架构版本 %1 失败，数据库仍为版本 %2：%3")
        .arg(QString::number(step), QString::number(version), why);
}

}  // namespace ado::msg
