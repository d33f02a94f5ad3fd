#include "db/Engine.h"

#include "db/Dialect.h"
#include "db/PagedResult.h"
#include "db/PostgresEngine.h"
#include "db/ResultStore.h"
#include "db/ServerMessages.h"
#include "db/SqliteEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace ado {

namespace {

// Splits "key=value;key={va;lue};..." keeping braced values whole.
QList<std::pair<QString, QString>> connectionPairs(const QString &s)
{
    QList<std::pair<QString, QString>> out;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const int eq = s.indexOf(QLatin1Char('='), i);
        if (eq < 0) {
            if (!s.mid(i).trimmed().isEmpty()) throw Error(msg::connectionStringInvalidNear(s.mid(i)));
            break;
        }
        const QString key = s.mid(i, eq - i).trimmed();
        int j = eq + 1;
        QString value;
        if (j < n && s[j] == QLatin1Char('{')) {
            // Inside braces "}}" stands for one "}"; a single "}" closes.
            int close = j + 1;
            while (close < n && !(s[close] == QLatin1Char('}') && (close + 1 >= n || s[close + 1] != QLatin1Char('}'))))
                close += s[close] == QLatin1Char('}') ? 2 : 1;
            if (close >= n) throw Error(msg::connectionStringUnclosedBrace());
            value = s.mid(j, close - j + 1);
            j = close + 1;
            const int semi = s.indexOf(QLatin1Char(';'), j);
            j = semi < 0 ? n : semi + 1;
        } else {
            const int semi = s.indexOf(QLatin1Char(';'), j);
            value = s.mid(j, (semi < 0 ? n : semi) - j);
            j = semi < 0 ? n : semi + 1;
        }
        out.append({key, value});
        i = j;
    }
    return out;
}

// A braced value without its braces, "}}" read as "}"; any other value as written.
QString unbraced(const QString &value)
{
    if (value.size() < 2 || !value.startsWith(QLatin1Char('{')) || !value.endsWith(QLatin1Char('}'))) return value;
    return value.mid(1, value.size() - 2).replace(QStringLiteral("}}"), QStringLiteral("}"));
}

}  // namespace

QString ConnectionValue(const QString &value)
{
    if (!value.contains(QLatin1Char(';')) && !value.startsWith(QLatin1Char('{'))) return value;
    return QLatin1Char('{') + QString(value).replace(QStringLiteral("}"), QStringLiteral("}}")) + QLatin1Char('}');
}

ConnectionInfo ConnectionInfo::parse(const QString &connectionString)
{
    ConnectionInfo info;
    bool haveServer = false;
    for (const auto &[key, value] : connectionPairs(connectionString)) {
        const QString k = key.toLower();
        if (k == QLatin1String("driver"))
            info.driver = value;  // kept as written, braces and all: "{SQL Server}"
        else if (k == QLatin1String("server") || k == QLatin1String("data source")) {
            info.server = unbraced(value);
            haveServer = true;
        } else if (k == QLatin1String("uid") || k == QLatin1String("user id"))
            info.uid = unbraced(value);
        else if (k == QLatin1String("pwd") || k == QLatin1String("password"))
            info.pwd = unbraced(value);
        else if (k == QLatin1String("database") || k == QLatin1String("initial catalog"))
            info.database = unbraced(value);
    }
    if (!haveServer) throw Error(msg::connectionStringNoServer());
    return info;
}

ConnectionInfo ConnectionInfo::fromSettings(const QString &settingsLine)
{
    const QStringList f = settingsLine.trimmed().split(QLatin1Char('|'));
    if (f.size() < 4) throw Error(msg::settingsNeedFourFields(settingsLine));
    ConnectionInfo info;
    info.driver = QStringLiteral("{SQL Server}");
    info.server = f[0].trimmed();
    info.uid = f[1].trimmed();
    info.pwd = f[2].trimmed();
    info.database = f[3].trimmed();
    return info;
}

QString ConnectionInfo::toString() const
{
    QString s = QStringLiteral("Driver=%1;Server=%2;UID=%3;PWD=%4")
                    .arg(driver.isEmpty() ? QStringLiteral("{SQL Server}") : driver, ConnectionValue(server),
                         ConnectionValue(uid), ConnectionValue(pwd));
    if (!database.isEmpty()) s += QStringLiteral(";Database=") + ConnectionValue(database);
    return s;
}

bool ConnectionInfo::isEmbedded() const
{
    return server.trimmed().compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0;
}

QString ConnectionInfo::embeddedPath() const
{
    const QString db = database.trimmed();
    if (db.isEmpty()) throw Error(msg::embeddedNeedsDatabaseName());
    if (QDir::isAbsolutePath(db)) return db;
    if (!QCoreApplication::instance()) throw Error(msg::programFolderUnknown(db));
    return QDir(QCoreApplication::applicationDirPath()).filePath(db + QStringLiteral(".db"));
}

namespace {
// Rows a SELECT reads at once before the rest are left to be read as asked
// for: a full screen of the tallest list, so that a window's first screen is
// all that opening it reads (each row read may cost a computed column).
constexpr qint64 kFirstRows = 64;
}  // namespace

ResultSetPtr Engine::query(const QString &sql, bool updatable)
{
    dialect::Translation tr = translation(sql, updatable);
    if (tr.type != dialect::Translation::Select) {
        execute(sql);
        return nullptr;
    }
    if (!tr.paramKinds.empty()) throw Error(msg::placeholdersNeedBatch());
    // An engine no shared owner holds (a test's own) can't be read from later.
    if (updatable || !tr.pageable || weak_from_this().expired()) return select(tr, -1, 0);
    // One row more than the first part tells whether there are more at all.
    std::shared_ptr<store::StoredResult> first = select(tr, kFirstRows + 1, 0);
    if (first->rows <= kFirstRows) return first;
    const qint64 total = count(tr);
    return std::make_shared<PagedResult>(weak_from_this(), std::move(tr), std::move(first), total);
}

ResultSetPtr Engine::queryForward(const QString &sql)
{
    dialect::Translation tr = translation(sql, false);
    if (tr.type != dialect::Translation::Select) {
        execute(sql);
        return nullptr;
    }
    if (!tr.paramKinds.empty()) throw Error(msg::placeholdersNeedBatch());
    if (!tr.pageable || weak_from_this().expired()) return select(tr, -1, 0);
    std::shared_ptr<store::StoredResult> first = select(tr, kFirstRows + 1, 0);
    if (first->rows <= kFirstRows) return first;
    return std::make_shared<PagedResult>(weak_from_this(), std::move(tr), std::move(first), -1);
}

qint64 Engine::count(const dialect::Translation &tr)
{
    dialect::Translation c;
    c.columnNames = QStringList{QString()};
    c.columnKinds = {dialect::Kind::Int};
    c.body = tr.countRows();
    const std::shared_ptr<store::StoredResult> r = select(c, -1, 0);
    const qint64 n = r->rows ? r->value(0, 0).toLongLong() : 0;
    return tr.top >= 0 ? std::min(n, tr.top) : n;
}

QString KeyColumnsText(const dialect::Catalog &catalog, const QString &table)
{
    QStringList keys;
    if (const dialect::TableInfo *t = catalog.find(table))
        for (const dialect::ColumnInfo &c : t->columns)
            if (c.key) keys << c.name;
    return keys.join(QStringLiteral(", "));
}

QString ReadSchemaFile(const QString &name, const QString &schemaDir)
{
    // The copy built into the program first, else the file in schemaDir.
    QFile f(QStringLiteral(":/Schema/") + name);
    if (!f.exists() && !schemaDir.isEmpty()) f.setFileName(QDir(schemaDir).filePath(name));
    if (!f.open(QIODevice::ReadOnly)) throw Error(msg::schemaFileUnreadable(f.fileName()));
    return QString::fromUtf8(f.readAll());
}

std::unique_ptr<Engine> OpenEngine(const ConnectionInfo &info)
{
    if (info.isEmbedded()) return SqliteEngine::open(info.embeddedPath(), info.timeoutSeconds);
    return PostgresEngine::open(info);
}

DatabaseState ProbeDatabase(const ConnectionInfo &info)
{
    if (info.isEmbedded()) return SqliteEngine::probe(info.embeddedPath());
    return PostgresEngine::probe(info);
}

void CreateDatabase(const ConnectionInfo &info, const QString &schemaDir)
{
    CreateDatabase(info, [&](const QString &name) { return ReadSchemaFile(name, schemaDir); });
}

void CreateDatabase(const ConnectionInfo &info, const std::function<QString(const QString &name)> &read)
{
    const QStringList initial = dialect::splitStatements(read(QStringLiteral("initial.sql")));
    if (info.isEmbedded())
        SqliteEngine::create(info.embeddedPath(), read(QStringLiteral("sqlite.sql")), initial);
    else
        PostgresEngine::create(info, read(QStringLiteral("postgres.sql")), initial);
}

}  // namespace ado
