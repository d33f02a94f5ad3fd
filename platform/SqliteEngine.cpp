#include "platform/SqliteEngine.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace ado {

using dialect::Kind;

namespace {

// ----------------------------------------------------------------------------
// A read result, stored column by column: per cell one type byte and one
// 8-byte slot (the integer, the double's bits, or where the text lies in the
// one UTF-16 buffer shared by all cells).
// ----------------------------------------------------------------------------

enum CellType : uint8_t { CNull = 0, CInt = 1, CReal = 2, CText = 3, CBlob = 4, CLongText = 5 };

constexpr int kLenBits = 24;
constexpr qint64 kLenMask = (qint64(1) << kLenBits) - 1;

size_t decodeUtf8(const unsigned char *s, size_t n, char16_t *out) {
    size_t i = 0, o = 0;
    while (i < n) {
        // Runs of ASCII, eight bytes at a time where possible.
        while (i + 8 <= n) {
            uint64_t w;
            std::memcpy(&w, s + i, 8);
            if (w & 0x8080808080808080ULL) break;
            for (int k = 0; k < 8; ++k) out[o + size_t(k)] = char16_t(s[i + size_t(k)]);
            i += 8;
            o += 8;
        }
        if (i >= n) break;
        const unsigned c = s[i];
        if (c < 0x80) {
            out[o++] = char16_t(c);
            ++i;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < n) {
            out[o++] = char16_t(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
            i += 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < n) {
            out[o++] = char16_t(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
            i += 3;
        } else if ((c & 0xF8) == 0xF0 && i + 3 < n) {
            uint32_t cp = ((c & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
            cp -= 0x10000;
            out[o++] = char16_t(0xD800 + (cp >> 10));
            out[o++] = char16_t(0xDC00 + (cp & 0x3FF));
            i += 4;
        } else {
            out[o++] = u'\uFFFD';
            ++i;
        }
    }
    return o;
}

// Stored value -> the value a field reads as.
QVariant readForm(Kind kind, const QVariant &stored) {
    if (!stored.isValid() || stored.isNull()) return QVariant();
    switch (kind) {
    case Kind::Money:
        if (stored.typeId() == QMetaType::LongLong || stored.typeId() == QMetaType::Int)
            return double(stored.toLongLong()) / 10000.0;
        return stored;
    case Kind::Date: {
        const QDateTime d = QDateTime::fromString(stored.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return d.isValid() ? QVariant(d) : stored;
    }
    default: return stored;
    }
}

class SqliteResult final : public ResultSet {
public:
    struct Column {
        std::vector<uint8_t> type;
        std::vector<qint64> slot;
    };

    QStringList names;
    std::vector<Kind> kinds;
    std::vector<Column> cols;
    std::unique_ptr<char16_t[]> buf;
    size_t textUsed = 0, textCap = 0;
    std::vector<QByteArray> blobs;
    std::vector<QString> longTexts;
    std::vector<qint64> rowids;
    int rows = 0;
    bool updatable = false;
    QString table;
    std::vector<int> sourceColumns;

    int rowCount() const override { return rows; }
    int columnCount() const override { return int(names.size()); }
    QString columnName(int col) const override { return names.value(col); }
    qint64 memoryBytes() const override {
        qint64 b = qint64(textCap) * 2 + qint64(rowids.capacity()) * 8;
        for (const Column &c : cols) b += qint64(c.type.capacity()) + qint64(c.slot.capacity()) * 8;
        for (const QByteArray &x : blobs) b += x.size();
        return b;
    }
    bool isNull(int row, int col) const override { return cols[size_t(col)].type[size_t(row)] == CNull; }

    QString textAt(qint64 slot) const {
        return QString(reinterpret_cast<const QChar *>(buf.get() + (slot >> kLenBits)), qsizetype(slot & kLenMask));
    }

    QVariant raw(int row, int col) const {
        const Column &c = cols[size_t(col)];
        const qint64 s = c.slot[size_t(row)];
        switch (c.type[size_t(row)]) {
        case CInt: return qlonglong(s);
        case CReal: {
            double d;
            std::memcpy(&d, &s, sizeof d);
            return d;
        }
        case CText: return textAt(s);
        case CLongText: return longTexts[size_t(s)];
        case CBlob: return blobs[size_t(s)];
        default: return QVariant();
        }
    }

    QVariant value(int row, int col) const override { return readForm(kinds[size_t(col)], raw(row, col)); }

    QString text(int row, int col) const override {
        const Column &c = cols[size_t(col)];
        const qint64 s = c.slot[size_t(row)];
        const Kind k = kinds[size_t(col)];
        switch (c.type[size_t(row)]) {
        case CInt:
            if (k == Kind::Money) return dialect::moneyPlain(s);
            return QString::number(s);
        case CReal: {
            double d;
            std::memcpy(&d, &s, sizeof d);
            if (k == Kind::Money) d /= 10000.0;
            return QString::number(d, 'g', 15);
        }
        case CText:
            if (k == Kind::Date) return dialect::dateDisplay(textAt(s));
            return textAt(s);
        case CLongText: return longTexts[size_t(s)];
        default: return QString();
        }
    }

    char16_t *reserveText(size_t extra) {
        if (textUsed + extra > textCap) {
            size_t cap = std::max<size_t>(textCap * 2, 4096);
            while (cap < textUsed + extra) cap *= 2;
            std::unique_ptr<char16_t[]> grown(new char16_t[cap]);
            if (textUsed) std::memcpy(grown.get(), buf.get(), textUsed * sizeof(char16_t));
            buf = std::move(grown);
            textCap = cap;
        }
        return buf.get() + textUsed;
    }

    void read(sqlite3_stmt *st, int visible, bool withRowid) {
        cols.resize(size_t(visible));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            for (int i = 0; i < visible; ++i) {
                Column &c = cols[size_t(i)];
                switch (sqlite3_column_type(st, i)) {
                case SQLITE_INTEGER:
                    c.type.push_back(CInt);
                    c.slot.push_back(sqlite3_column_int64(st, i));
                    break;
                case SQLITE_FLOAT: {
                    const double d = sqlite3_column_double(st, i);
                    qint64 bits;
                    std::memcpy(&bits, &d, sizeof bits);
                    c.type.push_back(CReal);
                    c.slot.push_back(bits);
                    break;
                }
                case SQLITE_TEXT: {
                    const unsigned char *p = sqlite3_column_text(st, i);
                    const size_t n = size_t(sqlite3_column_bytes(st, i));
                    char16_t *out = reserveText(n);
                    const size_t len = decodeUtf8(p, n, out);
                    if (len > size_t(kLenMask)) {
                        c.type.push_back(CLongText);
                        c.slot.push_back(qint64(longTexts.size()));
                        longTexts.emplace_back(reinterpret_cast<const QChar *>(out), qsizetype(len));
                    } else {
                        c.type.push_back(CText);
                        c.slot.push_back((qint64(textUsed) << kLenBits) | qint64(len));
                        textUsed += len;
                    }
                    break;
                }
                case SQLITE_BLOB: {
                    const char *p = static_cast<const char *>(sqlite3_column_blob(st, i));
                    const int n = sqlite3_column_bytes(st, i);
                    c.type.push_back(CBlob);
                    c.slot.push_back(qint64(blobs.size()));
                    blobs.emplace_back(p, n);
                    break;
                }
                default:
                    c.type.push_back(CNull);
                    c.slot.push_back(0);
                    break;
                }
            }
            if (withRowid) rowids.push_back(sqlite3_column_int64(st, visible));
            ++rows;
        }
        lastRc = rc;
        // Give back what the doubling left unused.
        if (textCap > textUsed + textUsed / 4 + 4096) {
            std::unique_ptr<char16_t[]> fit(new char16_t[textUsed ? textUsed : 1]);
            if (textUsed) std::memcpy(fit.get(), buf.get(), textUsed * sizeof(char16_t));
            buf = std::move(fit);
            textCap = textUsed;
        }
        for (Column &c : cols) {
            c.type.shrink_to_fit();
            c.slot.shrink_to_fit();
        }
    }

    int lastRc = SQLITE_DONE;
};

// ----------------------------------------------------------------------------
// Functions the translated statements call
// ----------------------------------------------------------------------------

void resultQString(sqlite3_context *ctx, const QString &s) {
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

// lib_date_text(stored, style, length): CONVERT(varchar(length), date, style)
void fnDateText(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int style = sqlite3_value_int(argv[1]);
    const int len = sqlite3_value_int(argv[2]);
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    if ((style == 23 || style == 20 || style == 120) && n >= 19) {
        const int take = std::min(style == 23 ? 10 : 19, len);
        sqlite3_result_text(ctx, s, take, SQLITE_TRANSIENT);
        return;
    }
    resultQString(ctx, dialect::dateText(QString::fromUtf8(s, n), style < 0 ? 0 : style).left(len));
}

// lib_money_text(tenThousandths, style, length): CONVERT(varchar(length), money, style)
void fnMoneyText(sqlite3_context *ctx, int, sqlite3_value **argv) {
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 v = type == SQLITE_FLOAT ? std::llround(sqlite3_value_double(argv[0])) : sqlite3_value_int64(argv[0]);
    const int style = sqlite3_value_int(argv[1]);
    const int len = sqlite3_value_int(argv[2]);
    char buf[48];
    int k;
    if (style <= 0) {
        const bool neg = v < 0;
        const unsigned long long a = neg ? (unsigned long long)(-(v + 1)) + 1 : (unsigned long long)v;
        const unsigned long long cents = (a + 50) / 100;
        k = std::snprintf(buf, sizeof buf, "%s%llu.%02llu", neg && cents ? "-" : "", cents / 100, cents % 100);
    } else {
        const QByteArray u = dialect::moneyText(v, style).toUtf8();
        k = int(u.size());
        std::memcpy(buf, u.constData(), size_t(std::min<int>(k, sizeof buf - 1)));
    }
    if (k > len) {
        sqlite3_result_error(ctx, "Arithmetic overflow error converting money to data type varchar.", -1);
        return;
    }
    sqlite3_result_text(ctx, buf, k, SQLITE_TRANSIENT);
}

// lib_to_date(text): a text read as a date, normalised; '' gives Null.
void fnToDate(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                                        sqlite3_value_bytes(argv[0]));
    if (s.trimmed().isEmpty()) {
        sqlite3_result_null(ctx);
        return;
    }
    if (auto d = dialect::normalizeDate(s)) {
        resultQString(ctx, *d);
        return;
    }
    sqlite3_result_error(ctx, "Conversion failed when converting date and/or time from character string.", -1);
}

// The server's LIKE: % any run, _ any one character, [abc] [a-z] [^abc] one
// character of (or not of) a set, an optional escape character; letters
// compared without regard to case.
bool likeMatch(const char16_t *p, int pn, const char16_t *s, int sn, int esc) {
    auto fold = [](char16_t c) { return QChar(c).toCaseFolded().unicode(); };
    int pi = 0, si = 0, starP = -1, starS = -1;
    while (si < sn) {
        if (pi < pn) {
            const char16_t pc = p[pi];
            int len = 1;
            bool matched = false;
            if (esc >= 0 && pc == esc && pi + 1 < pn) {
                matched = fold(p[pi + 1]) == fold(s[si]);
                len = 2;
            } else if (pc == u'%') {
                starP = ++pi;
                starS = si;
                continue;
            } else if (pc == u'_') {
                matched = true;
            } else if (pc == u'[') {
                int close = -1;
                for (int k = pi + 2; k < pn; ++k)
                    if (p[k] == u']') {
                        close = k;
                        break;
                    }
                if (close < 0) {
                    matched = fold(pc) == fold(s[si]);
                } else {
                    int k = pi + 1;
                    const bool negate = p[k] == u'^' && close > k + 1;
                    if (negate) ++k;
                    bool in = false;
                    const char16_t c = fold(s[si]);
                    for (; k < close; ++k) {
                        if (k + 2 < close && p[k + 1] == u'-') {
                            if (c >= fold(p[k]) && c <= fold(p[k + 2])) in = true;
                            k += 2;
                        } else if (fold(p[k]) == c) {
                            in = true;
                        }
                    }
                    matched = in != negate;
                    len = close - pi + 1;
                }
            } else {
                matched = fold(pc) == fold(s[si]);
            }
            if (matched) {
                pi += len;
                ++si;
                continue;
            }
        }
        if (starP < 0) return false;
        pi = starP;
        si = ++starS;
    }
    while (pi < pn && p[pi] == u'%') ++pi;
    return pi == pn;
}

// like(pattern, text[, escape]): "text LIKE pattern [ESCAPE escape]"
void fnLike(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    int esc = -1;
    if (argc == 3) {
        const auto *e = static_cast<const char16_t *>(sqlite3_value_text16(argv[2]));
        if (sqlite3_value_bytes16(argv[2]) != 2) {
            sqlite3_result_error(ctx, "The escape of LIKE must be a single character.", -1);
            return;
        }
        esc = e[0];
    }
    const auto *p = static_cast<const char16_t *>(sqlite3_value_text16(argv[0]));
    const int pn = sqlite3_value_bytes16(argv[0]) / 2;
    const auto *t = static_cast<const char16_t *>(sqlite3_value_text16(argv[1]));
    const int tn = sqlite3_value_bytes16(argv[1]) / 2;
    sqlite3_result_int(ctx, likeMatch(p, pn, t, tn, esc) ? 1 : 0);
}

void fnNow(sqlite3_context *ctx, int, sqlite3_value **) {
    resultQString(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

// Binds a stored-form value.
void bindValue(sqlite3_stmt *st, int idx, const QVariant &v) {
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

QString describeError(sqlite3 *db, int rc) {
    const int ext = db ? sqlite3_extended_errcode(db) : rc;
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    auto tableAndColumn = [&](const QString &prefix) {
        QString rest = msg.mid(prefix.size()).trimmed();
        const QString first = rest.section(QLatin1Char(','), 0, 0).trimmed();
        return std::make_pair(first.section(QLatin1Char('.'), 0, 0), first.section(QLatin1Char('.'), 1));
    };
    switch (ext) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE: {
        const auto tc = tableAndColumn(QStringLiteral("UNIQUE constraint failed:"));
        return QStringLiteral("Violation of PRIMARY KEY constraint of table '%1'. Cannot insert duplicate key in column '%2'.")
            .arg(tc.first, tc.second);
    }
    case SQLITE_CONSTRAINT_NOTNULL: {
        const auto tc = tableAndColumn(QStringLiteral("NOT NULL constraint failed:"));
        return QStringLiteral("Cannot insert the value NULL into column '%1', table '%2'; column does not allow nulls.")
            .arg(tc.second, tc.first);
    }
    case SQLITE_CONSTRAINT_CHECK:
        return QStringLiteral("The value does not fit the column (%1).").arg(msg);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("The database is busy (another program is writing to it); the time-out expired.");
    default: return msg;
    }
}

}  // namespace

// ============================================================================

SqliteEngine::SqliteEngine(sqlite3 *db) : m_db(db) {}

SqliteEngine::~SqliteEngine() {
    if (m_db) sqlite3_close_v2(m_db);
}

void SqliteEngine::registerFunctions(sqlite3 *db) {
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "lib_date_text", 3, det, nullptr, fnDateText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_money_text", 3, det, nullptr, fnMoneyText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_to_date", 1, det, nullptr, fnToDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_now", 0, SQLITE_UTF8, nullptr, fnNow, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, fnLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 3, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, fnLike, nullptr, nullptr, nullptr);
}

[[noreturn]] void SqliteEngine::fail(int rc, const QString &) { throw Error(describeError(m_db, rc)); }

void SqliteEngine::exec(const char *sql) {
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        sqlite3_free(err);
        fail(rc);
    }
}

sqlite3_stmt *SqliteEngine::prepare(const QString &sql) {
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, u.constData(), int(u.size()), &st, nullptr);
    if (rc != SQLITE_OK) fail(rc, sql);
    return st;
}

void SqliteEngine::loadCatalog() {
    m_catalog.tables.clear();
    sqlite3_stmt *st = prepare(QStringLiteral(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
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
            t.columns.push_back(c);
        }
        sqlite3_finalize(info);
        m_catalog.tables.push_back(std::move(t));
    }
}

std::unique_ptr<SqliteEngine> SqliteEngine::open(const QString &path, int timeoutSeconds) {
    const QFileInfo fi(path);
    if (!fi.exists())
        throw Error(QStringLiteral("The database file '%1' does not exist. Make it with: librarydb create \"sqlite|UID|PWD|%2\"")
                        .arg(path, fi.completeBaseName()));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = describeError(db, rc);
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("Cannot open the database file '%1': %2").arg(path, msg));
    }
    std::unique_ptr<SqliteEngine> e(new SqliteEngine(db));
    sqlite3_busy_timeout(db, std::max(0, timeoutSeconds) * 1000);
    sqlite3_extended_result_codes(db, 1);
    registerFunctions(db);
    try {
        e->loadCatalog();
    } catch (const Error &err) {
        throw Error(QStringLiteral("Cannot open the database file '%1': %2").arg(path, err.Description()));
    }
    if (e->m_catalog.tables.empty())
        throw Error(QStringLiteral("The database file '%1' holds no tables. Make them with: librarydb create \"sqlite|UID|PWD|%2\"")
                        .arg(path, fi.completeBaseName()));
    return e;
}

DatabaseState SqliteEngine::probe(const QString &path) {
    const QFileInfo fi(path);
    if (!fi.exists()) return DatabaseState::Missing;
    if (fi.size() == 0) return DatabaseState::Empty;
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = describeError(db, rc);
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("Cannot open the database file '%1': %2").arg(path, msg));
    }
    sqlite3_stmt *st = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_schema WHERE type = 'table'", -1, &st, nullptr);
    int tables = -1;
    if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) tables = sqlite3_column_int(st, 0);
    const QString msg = describeError(db, rc);
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    if (tables < 0) throw Error(QStringLiteral("The file '%1' is not a database: %2").arg(path, msg));
    return tables == 0 ? DatabaseState::Empty : DatabaseState::HasTables;
}

void SqliteEngine::create(const QString &path, const QString &ddl, const QStringList &initialStatements) {
    const DatabaseState state = probe(path);
    if (state == DatabaseState::HasTables)
        throw Error(QStringLiteral("The database '%1' already has tables; nothing was created.").arg(path));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = describeError(db, rc);
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("Cannot create the database file '%1': %2").arg(path, msg));
    }
    {
        std::unique_ptr<SqliteEngine> e(new SqliteEngine(db));
        sqlite3_extended_result_codes(db, 1);
        registerFunctions(db);
        try {
            e->exec("BEGIN");
            e->exec(ddl.toUtf8().constData());
            e->loadCatalog();
            for (const QString &s : initialStatements) {
                try {
                    e->execute(s);
                } catch (const Error &err) {
                    throw Error(QStringLiteral("%1\nStatement: %2").arg(err.Description(), s));
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

dialect::Translation SqliteEngine::translation(const QString &sql, bool updatable) {
    return dialect::translate(sql, m_catalog, updatable);
}

QString SqliteEngine::translate(const QString &sql) { return translation(sql).sql; }

ResultSetPtr SqliteEngine::query(const QString &sql, bool updatable) {
    dialect::Translation tr = translation(sql, updatable);
    if (tr.type != dialect::Translation::Select) {
        execute(sql);
        return nullptr;
    }
    sqlite3_stmt *st = prepare(tr.sql);
    auto rs = std::make_shared<SqliteResult>();
    rs->names = tr.columnNames;
    rs->kinds = tr.columnKinds;
    rs->updatable = tr.updatable;
    rs->table = tr.table;
    rs->sourceColumns = tr.sourceColumns;
    rs->read(st, int(tr.columnNames.size()), tr.updatable);
    sqlite3_finalize(st);
    if (rs->lastRc != SQLITE_DONE) fail(rs->lastRc, tr.sql);
    return rs;
}

long SqliteEngine::execute(const QString &sql) {
    dialect::Translation tr = translation(sql);
    sqlite3_stmt *st = prepare(tr.sql);
    if (tr.type == dialect::Translation::Select) {
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) fail(rc, tr.sql);
        return -1;
    }
    if (!tr.paramKinds.empty()) {
        sqlite3_finalize(st);
        throw Error(QStringLiteral("The statement holds '?' placeholders; run it with ExecuteBatch."));
    }
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc, tr.sql);
    return long(sqlite3_changes64(m_db));
}

long SqliteEngine::executeBatch(const QString &sql, const std::vector<QVariantList> &rows) {
    dialect::Translation tr = translation(sql);
    if (tr.type == dialect::Translation::Select) throw Error(QStringLiteral("ExecuteBatch runs INSERT, UPDATE or DELETE only."));
    sqlite3_stmt *st = prepare(tr.sql);
    long total = 0;
    try {
        for (const QVariantList &row : rows) {
            if (size_t(row.size()) != tr.paramKinds.size())
                throw Error(QStringLiteral("The statement has %1 placeholders; a row gives %2 values.")
                                .arg(tr.paramKinds.size())
                                .arg(row.size()));
            for (int i = 0; i < row.size(); ++i) bindValue(st, i + 1, dialect::toStorage(tr.paramKinds[size_t(i)], row[i]));
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

std::vector<QVariant> SqliteEngine::updateRow(const ResultSet &result, int row, const std::vector<FieldChange> &changes) {
    const auto *rs = dynamic_cast<const SqliteResult *>(&result);
    if (!rs || !rs->updatable)
        throw Error(QStringLiteral("Current Recordset does not support updating. This may be a limitation of the provider, "
                                   "or of the selected locktype."));
    const dialect::TableInfo *t = m_catalog.find(rs->table);
    if (!t || row < 0 || row >= rs->rows) throw Error(QStringLiteral("Row cannot be located for updating."));
    QStringList sets;
    std::vector<QVariant> stored;
    std::vector<QVariant> readBack;
    for (const FieldChange &ch : changes) {
        const int src = rs->sourceColumns[size_t(ch.first)];
        if (src < 0)
            throw Error(QStringLiteral("The field '%1' cannot be updated: it is not a column of table '%2'.")
                            .arg(rs->names.value(ch.first), t->name));
        const dialect::ColumnInfo &c = t->columns[size_t(src)];
        if (c.generated)
            throw Error(QStringLiteral("The column \"%1\" cannot be modified because it is a computed column.").arg(c.name));
        QString q = c.name;
        q.replace(QLatin1Char('"'), QLatin1String("\"\""));
        sets << QStringLiteral("\"%1\" = ?%2").arg(q).arg(sets.size() + 1);
        stored.push_back(dialect::toStorage(c.kind, ch.second, c.name));
        readBack.push_back(readForm(c.kind, stored.back()));
    }
    if (sets.isEmpty()) return readBack;
    QString tq = t->name;
    tq.replace(QLatin1Char('"'), QLatin1String("\"\""));
    sqlite3_stmt *st = prepare(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?%3")
                                   .arg(tq, sets.join(QStringLiteral(", ")))
                                   .arg(sets.size() + 1));
    for (size_t i = 0; i < stored.size(); ++i) bindValue(st, int(i) + 1, stored[i]);
    sqlite3_bind_int64(st, int(stored.size()) + 1, rs->rowids[size_t(row)]);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc);
    if (sqlite3_changes64(m_db) == 0)
        throw Error(QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read."));
    return readBack;
}

void SqliteEngine::begin() { exec("BEGIN"); }
void SqliteEngine::commit() { exec("COMMIT"); }
void SqliteEngine::rollback() { exec("ROLLBACK"); }

}  // namespace ado
