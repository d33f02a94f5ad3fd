#pragma once
// The shared connection and the procedures through which windows reach the database.
#include "db/Ado.h"

#include <QString>

namespace vb {
class Grid;
}

// The only database connection of the program.
ado::Connection &SQLConn();

void OpenSQLConnection(ado::Connection &Conn, const QString &ServerName, const QString &LoginName,
                       const QString &LoginPassword, const QString &DBName);
bool CheckLogin(const QString &UserName, const QString &UserPassword);
// Why the last CheckLogin that matched could not record the login (the stamp
// or the log row): the database's description of the first refused write; ""
// when both were written.
QString CheckLoginWriteError();
// What a login refused by the last CheckLogin says, when it is not a wrong
// name or password: the database's description (CheckReadError), or that the
// account is disabled (状态 "停用"), which logs in, unlocks and is switched to
// no more. "" for a wrong name or password.
QString CheckLoginRefusal();
bool CheckUserPower(const QString &PowerName);
// The library keeps an account that may change the accounts: one not
// "停用" whose type holds 修改账户权限. A save of an account or an account
// type calls LockAccountAdministrators in its transaction before it writes
// (it locks every account type, in key order, so that two desks' saves take
// turns, and counts those accounts), then RequireAccountAdministrator after
// the write with that count, which raises a Refusal when the write leaves none.
long LockAccountAdministrators();
void RequireAccountAdministrator(long before);
// Why the last CheckLogin or CheckUserPower could not read its answer: the
// database's description ("" when it read it). A check that could not read
// still refuses, but its refusal says this, not "wrong password" or "no
// permission".
QString CheckReadError();
// What a refusal of the last CheckUserPower says: "您没有权限完成当前操作！",
// or the database's description when the permission could not be read.
QString PowerRefusedText();
// CountSQL, when given, is a statement whose one value is how many rows SQL
// gives, read far more cheaply than SQL's own count (which reads every row
// its joins need): the caller answers for it (see Frm_ReturnBook).
bool LoadGridData(vb::Grid &Grid, const QString &SQL, QString &ErrText, bool ShowCount,
                  const QString &CountSQL = QString());
QString SQLQuote(const QString &Text, const QString &CaseMode = QString());
// Whether a date box's text is a date that a statement may carry as typed: the
// windows read it as a date (vb::IsDate) and the database stores it as that
// same day and time. "2024年1月5日" and "1/5" (no year), which the database
// does not read, "1-5-24", which the two read as different days, and years
// before 1753 are no such date: a date box treats them as any text that is no date.
bool IsSQLDate(const QString &Text);
