#pragma once
// A temporary embedded database holding the program's tables and initial
// contents (account admin/admin of type 系统管理员, the one row of 图书馆信息),
// removed with the object. Each test makes its own.
//
//   testsupport::TempDb db;
//   db.conn().Execute("INSERT 读者类别 VALUES ('学生', '30', '5')");
//   SQLServer/SQLUID/SQLPassword/SQLDB style settings: db.settings()
//   ("sqlite|u|p|/tmp/.../library.db") or db.connectionString().

#include "db/Ado.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

class TempDb {
public:
    TempDb();  // raises ado::Error when the database cannot be made
    ~TempDb();
    TempDb(const TempDb &) = delete;
    TempDb &operator=(const TempDb &) = delete;

    QString path() const { return m_path; }  // absolute path of the database file
    // The four settings fields joined by "|" (server "sqlite", database = path).
    QString settings() const;
    QString server() const { return QStringLiteral("sqlite"); }
    QString database() const { return m_path; }
    // "Driver={SQL Server};Server=sqlite;UID=u;PWD=p;Database=<path>", as OpenSQLConnection builds it.
    QString connectionString() const;

    // A connection to it, opened on first use and kept for the object's life.
    ado::Connection &conn();
    // Runs statements one by one on conn().
    void exec(const QStringList &statements);
    // Reads a SELECT on conn(): every row as the texts a grid shows (Null as "").
    QList<QStringList> rows(const QString &select);
    // The field names of a SELECT, and the text of its first field of its first row ("" when none).
    QStringList header(const QString &select);
    QString scalar(const QString &select);

    // Where schema files not built into the program are read from (the build
    // copies them beside the program).
    static QString schemaDir();

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<ado::Connection> m_conn;
};

}  // namespace testsupport
