#pragma once
// A temporary database holding the program's tables and initial contents
// (account admin/admin of type 系统管理员, the one row of 图书馆信息),
// removed with the object. Each test makes its own.
//
// By default it is an embedded database file. When the environment variable
// LIBRARY_TEST_SERVER holds a settings line "HOST|UID|PWD|DB" (DB a database
// the login may connect to), it is a fresh database on that PostgreSQL server
// instead, copied from a template made once per schema.
//
//   testsupport::TempDb db;
//   db.conn().Execute("INSERT 读者类别 VALUES ('学生', '30', '5')");
//   the four server values: db.server(), db.uid(), db.pwd(), db.database(),
//   joined as the settings line db.settings() or the string db.connectionString().

#include "TestSupport.h"
#include "db/Ado.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

struct sqlite3;

namespace testsupport {

class TempDb {
public:
    TempDb();  // raises ado::Error when the database cannot be made
    ~TempDb();
    TempDb(const TempDb &) = delete;
    TempDb &operator=(const TempDb &) = delete;

    // True when the tests run on the database server (LIBRARY_TEST_SERVER).
    static bool onServer();
    // True when the test server's login may make and drop logins of its own
    // (a superuser, or a login with CREATEROLE): a test that needs another
    // login skips without it. The suite itself needs CREATEDB alone.
    static bool mayMakeLogins();

    QString server() const { return m_server; }
    QString uid() const { return m_uid; }
    QString pwd() const { return m_pwd; }
    // The Database value: the file's absolute path, or the server database's name.
    QString database() const { return m_database; }
    // The embedded database's file (empty on the server).
    QString path() const { return onServer() ? QString() : m_database; }
    // The four settings fields joined by "|", as in Saves/Server.ini.
    QString settings() const;
    // "Driver={SQL Server};Server=...;UID=...;PWD=...;Database=...", as OpenSQLConnection builds it.
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
    // Every row of every table, each table's rows sorted, one text: two dumps
    // are equal exactly when the data is.
    QString dump();

    // Runs one statement in the engine's own SQL, beside the layer (dropping a
    // table, writing what the program never would); false with a warning when it fails.
    bool raw(const QString &nativeSql);

    // Another program holds the whole database until restore(), as one can
    // hold a desk's database: the embedded file locked for its writing, every
    // table of the server database locked by another session. Every
    // statement then waits the connection time-out and fails with lockedOutSays().
    void lockOut();
    void restore();
    static QString lockedOutSays();

    // Where schema files not built into the program are read from (the build
    // copies them beside the program).
    static QString schemaDir();

private:
    QTemporaryDir m_dir;
    QString m_server, m_uid, m_pwd, m_database;
    std::shared_ptr<void> m_lockHolder;  // the other program's connection while it holds the database
    std::unique_ptr<ado::Connection> m_conn;
};

// Another connection's lock on the whole of `table` of `db` while it lives
// (the embedded file: the whole file), as a desk in a long write holds it:
// the layer's reads there wait out the time-out and fail.
class HeldLock {
public:
    HeldLock(TempDb &db, const QString &table);
    ~HeldLock();
    HeldLock(const HeldLock &) = delete;
    HeldLock &operator=(const HeldLock &) = delete;

private:
    std::unique_ptr<ado::Connection> m_server;
    sqlite3 *m_file = nullptr;
};

}  // namespace testsupport
