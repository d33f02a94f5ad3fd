#pragma once
// A plain handle on a library database beside the database layer: a sqlite3
// handle with nothing registered on it (the engine's built-in collations and
// LIKE), or a libpq connection. The benchmarks run their limits on it, the
// engine's best plan for the rows a window shows; the generator loads the
// server through it.
#include "db/Engine.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

struct pg_conn;

namespace bench {

class NativeDb {
public:
    static std::unique_ptr<NativeDb> open(const ado::ConnectionInfo &info);
    virtual ~NativeDb() = default;

    virtual bool isServer() const = 0;

    struct Result {
        long rows = 0;
        qint64 bytes = 0;  // the values as the engine hands them: text bytes, 8 a number
        std::vector<QStringList> kept;
    };
    // Runs one SELECT and reads every value of every row; keeps the first
    // `keep` rows as text. Raises ado::Error when the engine refuses it.
    virtual Result query(const QString &sql, int keep = 0) = 0;
    // Runs statements that return no rows (several in one text).
    virtual void exec(const QString &sql) = 0;

    QString scalar(const QString &sql);
};

// A libpq connection to `database` on the server `info` names; raises ado::Error.
pg_conn *connectServer(const ado::ConnectionInfo &info, const QString &database);
// Runs statements on it; raises ado::Error with the server's message.
void execServer(pg_conn *conn, const QString &sql);

// A name as the server's SQL writes it: double-quoted.
QString quoteName(const QString &name);

}  // namespace bench
