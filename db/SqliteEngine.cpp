#include "db/SqliteEngine.h"

#include "db/ResultStore.h"
#include "db/ServerMessages.h"
#include "db/SqliteFunctions.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace ado {

using dialect::Kind;

namespace {

using store::StoredColumn;
using store::StoredResult;

// Column `i` of the statement's current row as row `row` of its stored column.
void addCell(StoredColumn &col, sqlite3_stmt *st, int i, size_t row)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: col.addInt(sqlite3_column_int64(st, i), row); break;
    case SQLITE_FLOAT: col.addReal(sqlite3_column_double(st, i), row); break;
    case SQLITE_TEXT:
        col.addBytes(store::CText, sqlite3_column_text(st, i), size_t(sqlite3_column_bytes(st, i)), row);
        break;
    case SQLITE_BLOB:
        col.addBytes(store::CBlob, sqlite3_column_blob(st, i), size_t(sqlite3_column_bytes(st, i)), row);
        break;
    default: col.addNull(row); break;
    }
}

// Steps a prepared SELECT to its end, keeping `visible` fields of each row
// and, for an updatable result, the row id that follows them. Returns the
// last step's code (SQLITE_DONE when every row was read).
int readRows(StoredResult &rs, sqlite3_stmt *st, int visible, bool withRowid)
{
    rs.cols.resize(size_t(visible));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < visible; ++i) addCell(rs.cols[size_t(i)], st, i, size_t(rs.rows));
        if (withRowid) rs.locators.addInt(sqlite3_column_int64(st, visible), size_t(rs.rows));
        ++rs.rows;
    }
    rs.fit();
    return rc;
}

// Binds a stored-form value.
void bindValue(sqlite3_stmt *st, int idx, const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(st, idx);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool: sqlite3_bind_int64(st, idx, v.toLongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: sqlite3_bind_double(st, idx, v.toDouble()); break;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray u = v.toString().toUtf8();
        sqlite3_bind_text(st, idx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

// Why the database file can't be written, as the file system tells (for
// the user the program runs as: root writes where a clerk may not).
QString readOnlyReason(const QString &path)
{
    const QByteArray file = QFile::encodeName(path);
    struct statvfs vfs;
    if (::statvfs(file.constData(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY)) return msg::readOnlyDisk();
    if (::faccessat(AT_FDCWD, file.constData(), W_OK, AT_EACCESS) != 0) return msg::readOnlyFile();
    const QString folder = QFileInfo(path).absolutePath();
    if (::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return msg::readOnlyFolder(QDir::toNativeSeparators(folder));
    return msg::readOnlyOpened();
}

// The settings' Database value that names the file `fi`, for the command a
// message suggests: the name alone for a NAME.db beside the program, else the
// absolute path (a name alone would make NAME.db beside the program instead).
QString databaseValueOf(const QFileInfo &fi)
{
    if (QCoreApplication::instance() && fi.suffix() == QLatin1String("db")
        && QDir(QCoreApplication::applicationDirPath()) == fi.absoluteDir())
        return fi.completeBaseName();
    return QDir::toNativeSeparators(fi.absoluteFilePath());
}

// "UNIQUE constraint failed: 表.列1, 表.列2" and the like: the table and the columns.
std::pair<QString, QStringList> tableAndColumns(const QString &text)
{
    const QString rest = text.section(QLatin1Char(':'), 1).trimmed();
    QString table;
    QStringList columns;
    for (const QString &part : rest.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        table = part.trimmed().section(QLatin1Char('.'), 0, 0);
        columns << part.trimmed().section(QLatin1Char('.'), 1);
    }
    return {table, columns};
}

// A money column's own check (its value a whole number of ten-thousandths)
// fails only when arithmetic went past the largest whole number: the engine
// then makes it a floating-point value.
bool isMoneyCheck(const dialect::Catalog *catalog, const QString &text)
{
    static const QRegularExpression typeofCheck(QStringLiteral("typeof\\(\"?([^\")]+)\"?\\)"));
    const QRegularExpressionMatch m = typeofCheck.match(text);
    if (!m.hasMatch() || !catalog) return false;
    for (const dialect::TableInfo &t : catalog->tables) {
        const int c = t.findColumn(m.captured(1));
        if (c >= 0 && t.columns[size_t(c)].kind == Kind::Money) return true;
    }
    return false;
}

// The rows of a PRAGMA on `db`, their first `columns` fields as text (none when it fails).
QList<QStringList> pragmaRows(sqlite3 *db, const QString &sql, int columns)
{
    QList<QStringList> out;
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    if (sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK) return out;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < columns; ++i)
            row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
        out << row;
    }
    sqlite3_finalize(st);
    return out;
}

QString quotedName(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The key a failed INSERT repeats, as the server's message names it ("B002";
// the values joined by ", " for a key of several columns): the first of the
// statement's rows whose key a stored row has, else the first its own rows
// share. The engine's message names no value: the rows of the translated
// statement (INSERT INTO "表" (...) VALUES ...) are read again for it. "" when
// it can't be told (a statement of another form, or with placeholders).
QString repeatedKey(sqlite3 *db, const QString &sql, const QString &table, const QStringList &columns)
{
    static const QRegularExpression insert(
        QStringLiteral("^INSERT INTO \"(?:[^\"]|\"\")+\" \\(([^()]*)\\) VALUES (.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = insert.match(sql);
    if (!db || !m.hasMatch() || columns.isEmpty() || table.isEmpty()) return QString();
    QStringList key, same;
    for (const QString &c : columns) {
        key << QStringLiteral("v.") + quotedName(c);
        same << QStringLiteral("t.%1 = v.%1").arg(quotedName(c));
    }
    const QString k = key.join(QStringLiteral(", "));
    const QList<QStringList> rows = pragmaRows(
        db,
        QStringLiteral("WITH v(%1) AS (VALUES %2) SELECT * FROM (SELECT %3 FROM v WHERE EXISTS (SELECT 1 FROM %4 t "
                       "WHERE %5) UNION ALL SELECT %3 FROM v GROUP BY %3 HAVING COUNT(*) > 1) LIMIT 1")
            .arg(m.captured(1), m.captured(2), k, quotedName(table), same.join(QStringLiteral(" AND "))),
        int(columns.size()));
    return rows.isEmpty() ? QString() : rows.first().join(QStringLiteral(", "));
}

// The failure `rc` of the last call on `db`, worded as the server words it.
// The condition is told by the extended result code; the engine's text only
// names the table and columns concerned. `sql`: the statement that failed,
// when known (a repeated key is then named).
QString describeError(sqlite3 *db, int rc, const dialect::Catalog *catalog, const QString &sql = QString())
{
    const int ext = db ? sqlite3_extended_errcode(db) : rc;
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    switch (ext) {
    case SQLITE_CONSTRAINT_PRIMARYKEY: {
        const auto [table, columns] = tableAndColumns(text);
        const QString keys = catalog ? KeyColumnsText(*catalog, table) : QString();
        return msg::duplicateKey(table, keys.isEmpty() ? columns.join(QStringLiteral(", ")) : keys,
                                 repeatedKey(db, sql, table, columns));
    }
    case SQLITE_CONSTRAINT_UNIQUE: {
        const auto [table, columns] = tableAndColumns(text);
        QString index = columns.join(QStringLiteral(", "));
        // The index is named as the server names it: by its name.
        for (const QStringList &ix :
             pragmaRows(db, QStringLiteral("PRAGMA index_list(%1)").arg(quotedName(table)), 5)) {
            if (ix.value(2) != QLatin1String("1")) continue;
            QStringList over;
            for (const QStringList &c :
                 pragmaRows(db, QStringLiteral("PRAGMA index_info(%1)").arg(quotedName(ix[1])), 3))
                over << c.value(2);
            if (over == columns) index = ix[1];
        }
        return msg::duplicateIndexRow(table, index, QString());
    }
    case SQLITE_CONSTRAINT_NOTNULL: {
        const auto [table, columns] = tableAndColumns(text);
        return msg::nullNotAllowed(table, columns.value(0));
    }
    case SQLITE_CONSTRAINT_CHECK:
        return isMoneyCheck(catalog, text) ? msg::arithmeticOverflow() : msg::valueDoesNotFit(text);
    case SQLITE_BUSY:
    case SQLITE_BUSY_SNAPSHOT:
    case SQLITE_BUSY_RECOVERY:
    case SQLITE_LOCKED: return msg::busy();
    // The file was deleted or moved away under the open connection: nothing
    // it writes would be kept.
    case SQLITE_READONLY_DBMOVED:
        return msg::databaseFileGone(db ? QString::fromUtf8(sqlite3_db_filename(db, "main")) : QString());
    case SQLITE_READONLY:
    case SQLITE_READONLY_DIRECTORY:
    case SQLITE_READONLY_CANTINIT:
    case SQLITE_READONLY_CANTLOCK:
    case SQLITE_READONLY_RECOVERY:
    case SQLITE_READONLY_ROLLBACK: {
        const QString file = db ? QString::fromUtf8(sqlite3_db_filename(db, "main")) : QString();
        return msg::readOnly(file, file.isEmpty() ? msg::readOnlyOpened() : readOnlyReason(file));
    }
    default: break;
    }
    switch (ext & 0xff) {
    case SQLITE_CANTOPEN: return msg::cannotOpenFile();
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return msg::fileDamaged();
    case SQLITE_FULL: return msg::diskFull();
    case SQLITE_IOERR: return msg::diskIoError();
    case SQLITE_NOMEM: return msg::outOfMemory();
    default: break;
    }
    // The program's own functions fail with a text of this catalogue already.
    for (const QString &own :
         {msg::dateConversionFailed(), msg::moneyOverflow(), msg::likeEscapeNotSingle(), msg::divisionByZero(),
          msg::arithmeticOverflow(), msg::operandTypeClash(QStringLiteral("varchar"), QStringLiteral("int"))})
        if (text == own) return text;
    return msg::engineFailure(text);
}

}  // namespace

// ============================================================================

SqliteEngine::SqliteEngine(sqlite3 *db, const QString &path) : m_db(db), m_path(path) { }

SqliteEngine::~SqliteEngine()
{
    if (m_db) sqlite3_close_v2(m_db);
}

QString SqliteEngine::describe(int rc) const { return describeError(m_db, rc, &m_catalog); }

[[noreturn]] void SqliteEngine::fail(int rc, const QString &sql)
{
    throw Error(describeError(m_db, rc, &m_catalog, sql));
}

void SqliteEngine::exec(const char *sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        sqlite3_free(err);
        fail(rc);
    }
}

sqlite3_stmt *SqliteEngine::prepare(const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, u.constData(), int(u.size()), &st, nullptr);
    if (rc != SQLITE_OK) fail(rc, sql);
    return st;
}

void SqliteEngine::loadCatalog()
{
    m_catalog.tables.clear();
    sqlite3_stmt *st = prepare(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE "
                                              "'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    QStringList names;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc);
    for (const QString &name : names) {
        dialect::TableInfo t;
        t.name = name;
        QString pragma = name;
        pragma.replace(QLatin1Char('"'), QLatin1String("\"\""));
        sqlite3_stmt *info = prepare(QStringLiteral("PRAGMA table_xinfo(\"%1\")").arg(pragma));
        while (sqlite3_step(info) == SQLITE_ROW) {
            dialect::ColumnInfo c;
            c.name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info, 1)));
            const char *type = reinterpret_cast<const char *>(sqlite3_column_text(info, 2));
            c.kind = dialect::kindFromDeclaredType(QString::fromUtf8(type ? type : ""));
            const int hidden = sqlite3_column_int(info, 6);
            if (hidden == 1) continue;
            c.generated = hidden == 2 || hidden == 3;
            c.notNull = sqlite3_column_int(info, 3) != 0;
            c.key = sqlite3_column_int(info, 5) != 0;
            t.columns.push_back(c);
        }
        sqlite3_finalize(info);
        m_catalog.tables.push_back(std::move(t));
    }
    dialect::defineComputedColumns(m_catalog, ReadSchemaFile(QStringLiteral("computed.sql")));
}

std::unique_ptr<SqliteEngine> SqliteEngine::open(const QString &path, int timeoutSeconds)
{
    const QFileInfo fi(path);
    if (!fi.exists()) throw Error(msg::databaseFileMissing(path, databaseValueOf(fi)));
    const QByteArray file = QFile::encodeName(path);
    struct stat opened { };
    const bool identified = ::stat(file.constData(), &opened) == 0;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = describeError(db, rc, nullptr);
        sqlite3_close_v2(db);
        throw Error(msg::databaseFileCannotOpen(path, why));
    }
    std::unique_ptr<SqliteEngine> e(new SqliteEngine(db, path));
    e->m_timeoutSeconds = timeoutSeconds;
    e->m_watchFile = identified;
    e->m_device = quint64(opened.st_dev);
    e->m_inode = quint64(opened.st_ino);
    sqlite3_busy_timeout(db, std::max(0, timeoutSeconds) * 1000);
    sqlite3_extended_result_codes(db, 1);
    RegisterSqliteFunctions(db);
    // No memory map (see SqliteEngine.h): the pages a list reads stay in the
    // engine's own cache instead, up to 64 MB. On the full-size generated
    // library that reads the heaviest lists (returning, the titles ranked) as
    // fast as a 1 GB map with the default 2 MB cache did, and about 1.3x
    // faster than without either.
    sqlite3_exec(db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
    try {
        e->loadCatalog();
    } catch (const Error &err) {
        throw Error(msg::databaseFileCannotOpen(path, err.Description()));
    }
    if (e->m_catalog.tables.empty()) throw Error(msg::databaseFileWithoutTables(path, databaseValueOf(fi)));
    return e;
}

void SqliteEngine::checkFile()
{
    if (!m_watchFile) return;
    struct stat now { };
    if (::stat(QFile::encodeName(m_path).constData(), &now) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) throw Error(msg::databaseFileGone(m_path));
        throw Error(msg::databaseFileCannotOpen(m_path, msg::cannotOpenFile()));
    }
    if (quint64(now.st_dev) != m_device || quint64(now.st_ino) != m_inode) {
        // Another file stands at the path (the file was put back, or replaced
        // by a copy): a transaction begun on the old one can't go on there.
        if (!sqlite3_get_autocommit(m_db)) throw Error(msg::databaseFileReplaced(m_path));
        std::unique_ptr<SqliteEngine> fresh = open(m_path, m_timeoutSeconds);
        std::swap(m_db, fresh->m_db);
        std::swap(m_catalog, fresh->m_catalog);
        m_device = fresh->m_device;
        m_inode = fresh->m_inode;
        return;
    }
    // Emptied where it stands (": > file", a copy over it that has only
    // begun): the engine would take it for a new, empty database.
    if (now.st_size == 0) throw Error(msg::databaseFileEmptied(m_path));
}

DatabaseState SqliteEngine::probe(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.exists()) return DatabaseState::Missing;
    if (fi.size() == 0) return DatabaseState::Empty;
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = describeError(db, rc, nullptr);
        sqlite3_close_v2(db);
        throw Error(msg::databaseFileCannotOpen(path, why));
    }
    sqlite3_stmt *st = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_schema WHERE type = 'table'", -1, &st, nullptr);
    int tables = -1;
    if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) tables = sqlite3_column_int(st, 0);
    const QString why = describeError(db, rc, nullptr);
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    if (tables < 0) throw Error(msg::fileIsNoDatabase(path, why));
    return tables == 0 ? DatabaseState::Empty : DatabaseState::HasTables;
}

void SqliteEngine::create(const QString &path, const QString &ddl, const QStringList &initialStatements)
{
    const DatabaseState state = probe(path);
    if (state == DatabaseState::HasTables) throw Error(msg::databaseHasTables(path));
    sqlite3 *db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = describeError(db, rc, nullptr);
        sqlite3_close_v2(db);
        throw Error(msg::databaseFileCannotCreate(path, why));
    }
    {
        std::unique_ptr<SqliteEngine> e(new SqliteEngine(db, path));
        sqlite3_extended_result_codes(db, 1);
        RegisterSqliteFunctions(db);
        try {
            e->exec("BEGIN");
            e->exec(ddl.toUtf8().constData());
            e->loadCatalog();
            for (const QString &s : initialStatements) {
                try {
                    e->execute(s);
                } catch (const Error &err) {
                    throw Error(msg::scriptStatementFailed(err.Description(), s));
                }
            }
            e->exec("COMMIT");
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            e.reset();
            if (state == DatabaseState::Missing) QFile::remove(path);
            throw;
        }
    }
}

dialect::Translation SqliteEngine::translation(const QString &sql, bool updatable)
{
    return dialect::translate(sql, m_catalog, updatable);
}

QString SqliteEngine::translate(const QString &sql) { return translation(sql).sql; }

std::shared_ptr<StoredResult> SqliteEngine::select(const dialect::Translation &tr, qint64 limit, qint64 offset)
{
    checkFile();
    const QString sql = tr.rows(limit, offset);
    sqlite3_stmt *st = prepare(sql);
    auto rs = std::make_shared<StoredResult>();
    rs->names = tr.columnNames;
    rs->kinds = tr.columnKinds;
    rs->updatable = tr.updatable;
    rs->table = tr.table;
    rs->sourceColumns = tr.sourceColumns;
    int rc;
    try {
        rc = readRows(*rs, st, int(tr.columnNames.size()), tr.updatable);
    } catch (...) {
        sqlite3_finalize(st);
        throw;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc, sql);
    return rs;
}

long SqliteEngine::execute(const QString &sql)
{
    checkFile();
    dialect::Translation tr = translation(sql);
    sqlite3_stmt *st = prepare(tr.sql);
    if (tr.type == dialect::Translation::Select) {
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) { }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) fail(rc, tr.sql);
        return -1;
    }
    if (!tr.paramKinds.empty()) {
        sqlite3_finalize(st);
        throw Error(msg::placeholdersNeedBatch());
    }
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc, tr.sql);
    return long(sqlite3_changes64(m_db));
}

long SqliteEngine::executeBatch(const QString &sql, const std::vector<QVariantList> &rows)
{
    dialect::Translation tr = translation(sql);
    if (tr.type == dialect::Translation::Select) throw Error(msg::batchStatementKind());
    checkFile();
    sqlite3_stmt *st = prepare(tr.sql);
    long total = 0;
    try {
        for (const QVariantList &row : rows) {
            if (size_t(row.size()) != tr.paramKinds.size())
                throw Error(msg::placeholderCount(int(tr.paramKinds.size()), int(row.size())));
            for (int i = 0; i < row.size(); ++i)
                bindValue(st, i + 1, dialect::toStorage(tr.paramKinds[size_t(i)], row[i]));
            const int rc = sqlite3_step(st);
            if (rc != SQLITE_DONE) fail(rc, tr.sql);
            total += long(sqlite3_changes64(m_db));
            sqlite3_reset(st);
        }
    } catch (...) {
        sqlite3_finalize(st);
        throw;
    }
    sqlite3_finalize(st);
    return total;
}

std::vector<QVariant> SqliteEngine::updateRow(const ResultSet &result, int row, const std::vector<FieldChange> &changes)
{
    const auto *rs = dynamic_cast<const StoredResult *>(&result);
    if (!rs || !rs->updatable) throw Error(msg::recordsetNotUpdatable());
    const dialect::TableInfo *t = m_catalog.find(rs->table);
    if (!t || row < 0 || row >= rs->rows) throw Error(msg::rowNotLocated());
    QStringList sets;
    std::vector<QVariant> stored;
    std::vector<QVariant> readBack;
    for (const FieldChange &ch : changes) {
        const int src = rs->sourceColumns[size_t(ch.first)];
        if (src < 0) throw Error(msg::fieldNotAColumn(rs->names.value(ch.first), t->name));
        const dialect::ColumnInfo &c = t->columns[size_t(src)];
        if (c.generated) throw Error(msg::computedColumnNotModifiable(c.name));
        QString q = c.name;
        q.replace(QLatin1Char('"'), QLatin1String("\"\""));
        sets << QStringLiteral("\"%1\" = ?%2").arg(q).arg(sets.size() + 1);
        stored.push_back(dialect::toStorage(c.kind, ch.second, c.name));
        readBack.push_back(store::readForm(c.kind, stored.back()));
    }
    if (sets.isEmpty()) return readBack;
    checkFile();
    QString tq = t->name;
    tq.replace(QLatin1Char('"'), QLatin1String("\"\""));
    sqlite3_stmt *st = prepare(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?%3")
                                   .arg(tq, sets.join(QStringLiteral(", ")))
                                   .arg(sets.size() + 1));
    for (size_t i = 0; i < stored.size(); ++i) bindValue(st, int(i) + 1, stored[i]);
    sqlite3_bind_int64(st, int(stored.size()) + 1, rs->locator(row).toLongLong());
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc);
    if (sqlite3_changes64(m_db) == 0) throw Error(msg::rowChangedSinceRead());
    return readBack;
}

QStringList SqliteEngine::integrityProblems()
{
    QStringList problems;
    sqlite3_stmt *st = prepare(QStringLiteral("PRAGMA integrity_check"));
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        if (line != QLatin1String("ok")) problems << line;
    }
    sqlite3_finalize(st);
    return problems;
}

// A transaction of the program always writes: it takes the write lock at
// once (waiting for another writer within the busy time-out), so that what it
// reads before it writes can't change under it, and it never fails half-way
// for want of the lock.
void SqliteEngine::begin()
{
    checkFile();
    exec("BEGIN IMMEDIATE");
}

void SqliteEngine::commit()
{
    checkFile();
    exec("COMMIT");
}

void SqliteEngine::rollback() { exec("ROLLBACK"); }

}  // namespace ado
