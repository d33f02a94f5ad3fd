// librarydb: makes and inspects the program's database through the same
// database layer the program uses.
//
//   librarydb create "SERVER|UID|PWD|DATABASE"   make the tables and initial contents
//                                                (refused when the database has tables)
//   librarydb ensure "SERVER|UID|PWD|DATABASE"   the same when the database is missing or
//                                                empty; a database of an older schema
//                                                version is upgraded step by step (one
//                                                line a step), one of a newer version
//                                                refused; otherwise nothing is done. It says
//                                                the version it found and what it did
//   librarydb check "SERVER|UID|PWD|DATABASE"    list every violation of what must hold of
//                                                the data (tools/Invariants.h); exit 1
//                                                when there is one, else print "ok"
//   librarydb sql "SERVER|UID|PWD|DATABASE" "STATEMENT"
//                                                run one statement in the program's
//                                                dialect: a SELECT prints a tab-separated
//                                                header and one line per row (Null as
//                                                empty); others print the rows touched
//   librarydb sql --translate "SERVER|UID|PWD|DATABASE" "STATEMENT"
//                                                print the statement the engine would run
//                                                for it, without running it
//
// The settings are those of Saves/Server.ini. With SERVER "sqlite" the database
// is the file DATABASE.db beside this program (or DATABASE itself when it is an
// absolute path). The schema is built into the program; a schema file missing
// there is read from the folder Schema/ beside it.
// Errors go to standard error and the exit status is 1; a command or arguments
// not understood print the usage to standard error and exit 2.

#include "db/Ado.h"
#include "db/Engine.h"
#include "db/SchemaVersion.h"
#include "tools/Invariants.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>

namespace {

int usage()
{
    QTextStream err(stderr);
    err << "usage: librarydb create \"SERVER|UID|PWD|DATABASE\"\n"
           "       librarydb ensure \"SERVER|UID|PWD|DATABASE\"\n"
           "       librarydb check \"SERVER|UID|PWD|DATABASE\"\n"
           "       librarydb sql [--translate] \"SERVER|UID|PWD|DATABASE\" \"STATEMENT\"\n";
    return 2;
}

// A connection to the database that waits a second for another program's writing.
void open(ado::Connection &conn, const ado::ConnectionInfo &info)
{
    conn.ConnectionTimeout = 1;
    conn.Open(info.toString());
}

// The database as a message names it: the embedded file, or the server database.
QString place(const ado::ConnectionInfo &info)
{
    return QDir::toNativeSeparators(info.isEmbedded() ? info.embeddedPath() : info.database);
}

QString schemaDir() { return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Schema")); }

QString clean(QString s)
{
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return s;
}

int runSelect(const ado::ConnectionInfo &info, const QString &statement)
{
    QTextStream out(stdout);
    ado::Connection conn;
    open(conn, info);
    ado::Recordset rs;
    rs.Open(statement, conn, ado::adOpenKeyset, ado::adLockReadOnly);
    const ado::ResultSetPtr r = rs.result();
    QStringList header;
    for (int c = 0; c < r->columnCount(); ++c) header << clean(r->columnName(c));
    out << header.join(QLatin1Char('\t')) << '\n';
    for (int row = 0; row < r->rowCount(); ++row) {
        QStringList line;
        for (int c = 0; c < r->columnCount(); ++c) line << clean(r->text(row, c));
        out << line.join(QLatin1Char('\t')) << '\n';
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool translateOnly =
        args.size() > 1 && args[0] == QLatin1String("sql") && args[1] == QLatin1String("--translate");
    if (translateOnly) args.removeAt(1);
    if (args.size() < 2) return usage();
    const QString cmd = args[0];
    QTextStream err(stderr);
    QTextStream out(stdout);
    try {
        const ado::ConnectionInfo info = ado::ConnectionInfo::fromSettings(args[1]);
        if (cmd == QLatin1String("create") && args.size() == 2) {
            if (ado::ProbeDatabase(info) == ado::DatabaseState::HasTables) {
                err << "librarydb: the database already has tables; nothing was created.\n";
                return 1;
            }
            ado::CreateDatabase(info, schemaDir());
            out << "created " << place(info) << '\n';
            return 0;
        }
        if (cmd == QLatin1String("ensure") && args.size() == 2) {
            if (ado::ProbeDatabase(info) != ado::DatabaseState::HasTables) {
                ado::CreateDatabase(info, schemaDir());
                out << "created " << place(info) << '\n';
                return 0;
            }
            // Said in every case, also when there is nothing to do: an
            // administrator learns which version the database was at.
            const QString where = place(info);
            const int current = ado::CurrentSchemaVersion();
            int found = 0;
            {
                ado::Connection conn;
                open(conn, info);
                found = ado::SchemaVersion(conn);
            }
            if (found == current)
                out << where << ": schema version " << found << ", the current one; nothing to do\n";
            else if (found < current)
                out << where << ": schema version " << found << ", upgrading to " << current << '\n';
            ado::UpgradeDatabase(info, [&](const QString &line) { out << line << Qt::endl; });
            if (found < current) out << where << ": now at schema version " << current << '\n';
            return 0;
        }
        if (cmd == QLatin1String("check") && args.size() == 2) {
            ado::Connection conn;
            conn.ConnectionTimeout = 1;
            conn.Open(info.toString());
            const QStringList violations = CheckInvariants(conn);
            for (const QString &v : violations) out << v << '\n';
            if (violations.isEmpty()) out << "ok\n";
            return violations.isEmpty() ? 0 : 1;
        }
        if (cmd == QLatin1String("sql") && args.size() == 3) {
            const QString statement = args[2];
            if (translateOnly) {
                ado::Connection conn;
                open(conn, info);
                out << conn.Translate(statement) << '\n';
                return 0;
            }
            const QString head = statement.trimmed().section(QRegularExpression(QStringLiteral("\\s")), 0, 0);
            if (head.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0) return runSelect(info, statement);
            ado::Connection conn;
            open(conn, info);
            out << conn.Execute(statement) << '\n';
            return 0;
        }
        return usage();
    } catch (const ado::Error &e) {
        err << "librarydb: " << e.Description() << '\n';
        return 1;
    }
}
