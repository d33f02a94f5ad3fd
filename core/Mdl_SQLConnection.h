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
bool CheckUserPower(const QString &PowerName);
bool LoadGridData(vb::Grid &Grid, const QString &SQL, QString &ErrText, bool ShowCount);
QString SQLQuote(const QString &Text, const QString &CaseMode = QString());
