#pragma once
// The server dialect the windows write, read into a statement tree and written
// out again for the embedded engine.
//
// Accepted: SELECT [DISTINCT] [TOP n] ... FROM t1, t2 ... [WHERE] [GROUP BY]
// [HAVING] [UNION [ALL] ...] [ORDER BY], a table of a top-level SELECT read
// WITH (UPDLOCK [, ROWLOCK] [, NOWAIT]) to lock its rows for the transaction's
// writes; INSERT [INTO] t [(cols)] VALUES (...);
// UPDATE t SET c = e, ... [WHERE]; DELETE [FROM] t [WHERE]. Expressions: the
// comparisons, the old outer-join operators "*=" and "=*" (top-level WHERE
// conditions), LIKE, BETWEEN, IN (list or sub-query), EXISTS, IS [NOT] NULL,
// CASE, arithmetic, COUNT/SUM/AVG/MIN/MAX, CONVERT/CAST to text, int, money
// and datetime, ISNULL, UPPER, LOWER, LTRIM, RTRIM, LEN, GETDATE. Select items
// may be named "alias = expr". Anything else is refused with ado::Error.
//
// Stored forms (the engine's columns are declared with these type names):
//   TEXT ... COLLATE NOCASE  text, compared without regard to (ASCII) case
//   INTEGER                  whole numbers
//   BIT                      yes/no flags, 1 or 0
//   MONEY                    money as whole ten-thousandths (exact sums)
//   DATETIME                 text "yyyy-mm-dd hh:nn:ss"
//   BLOB                     bytes
// Values written as literals into such columns (positional inserts by column
// order, SET, comparisons, BETWEEN, IN) are converted to these forms here.

#include "db/Ado.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace dialect {

// The collation that ORDER BY gives every text item (columns of text kind and
// text expressions): Chinese by pinyin (李四, 王五, 张三, 赵六) after Latin
// letters, digits and signs, letters without regard to case, as the server's
// Chinese collation sorts. The engine registers it on its handle; columns keep
// their own NOCASE collation for keys, indexes, "=" and LIKE.
inline constexpr char kTextOrderCollation[] = "lib_chinese";
// The same order without regard to letter case at all, for <, > and BETWEEN
// of texts (on the server: lib_order_from() of both sides).
inline constexpr char kTextCompareCollation[] = "lib_chinese_ci";

enum class Kind { Unknown, Text, Int, Flag, Money, Decimal, Date, Blob, Null };

Kind kindFromDeclaredType(const QString &declaredType);

struct ColumnInfo {
    QString name;
    Kind kind = Kind::Text;
    bool generated = false;
    bool notNull = false;  // declared NOT NULL (keys are)
    bool key = false;      // (part of) the table's primary key
    // An expression in the server dialect that the translator puts wherever a
    // statement reads this column (see defineComputedColumns); empty for a
    // column read as stored.
    QString computedAs;
};

struct TableInfo {
    QString name;
    std::vector<ColumnInfo> columns;            // physical order, generated columns included
    int findColumn(const QString &name) const;  // case-insensitive; -1 when absent
};

// Which engine a catalog belongs to: the few things its SQL writes in its own way.
struct Flavour {
    enum class Engine { Sqlite, Postgres };
    Engine engine = Engine::Sqlite;
    bool postgres() const { return engine == Engine::Postgres; }
    // The hidden column that finds a stored row again.
    QString rowLocator() const { return postgres() ? QStringLiteral("ctid") : QStringLiteral("rowid"); }
};

struct Catalog {
    std::vector<TableInfo> tables;
    Flavour flavour;
    const TableInfo *find(const QString &name) const;  // case-insensitive
    TableInfo *find(const QString &name);
};

// Reads definitions of computed columns, one a line:
//   TABLE.COLUMN = expression
// in the server dialect, where "TABLE.x" stands for the row being read (tables
// of its sub-queries carry aliases of their own). A line starting with blanks
// continues the one before; "--" starts a comment. Each definition is attached
// to a generated column of the catalog; one naming a table or column the
// catalog lacks is skipped (a database of an older schema), one naming a stored
// column is refused with ado::Error.
void defineComputedColumns(Catalog &catalog, const QString &definitions);

struct Translation {
    enum Type { Select, Insert, Update, Delete };
    Type type = Select;
    QString sql;  // the engine's statement
    // SELECT only:
    QStringList columnNames;         // the fields as the server names them ("" for an unnamed expression)
    std::vector<Kind> columnKinds;   // how to read each field
    bool updatable = false;          // one table, rows located by a trailing hidden row id column
    QString table;                   // that table
    std::vector<int> sourceColumns;  // per field: the table column it reads, or -1
    // A SELECT read in parts: `sql` is body + order + the LIMIT of its TOP.
    QString body;          // without the ORDER BY and the TOP's LIMIT
    QString order;         // " ORDER BY ..." or ""
    QString countBody;     // a query with one row for each of the statement's rows (before its TOP)
    QString tiebreak;      // ORDER BY terms after `order` that make it total (see rows())
    bool pageable = true;  // false: the rows can't be read in parts (they are read whole)
    qint64 top = -1;
    // " FOR UPDATE OF ..." on the server for the tables read WITH (UPDLOCK);
    // "" on the embedded engine, whose write transaction holds the whole file.
    QString lockClause;
    // The rows from `offset` on, at most `limit` of them (-1: all), in order;
    // a part (a limit or an offset) in a total order, the same for every part.
    QString rows(qint64 limit, qint64 offset) const;
    // One row, one field: how many rows the statement gives (its TOP aside).
    QString countRows() const;
    // "?" placeholders (batch statements): the kind of value each one fills.
    std::vector<Kind> paramKinds;
};

// Translates one statement. `updatable` asks for the row locator of a
// single-table SELECT. Raises ado::Error for a statement outside the accepted forms.
Translation translate(const QString &statement, const Catalog &catalog, bool updatable = false);
// The name of the library's statement that `statement` is, as a window writes
// it, where the server runs one of its own for it (db/LibraryStatements.cpp);
// "" for every other statement.
QString libraryStatement(const QString &statement);

// Splits a script into statements at ";" outside literals and comments.
QStringList splitStatements(const QString &script);

// --- values -----------------------------------------------------------------

// A date or date-time as the server (US date order) reads it, normalised to
// "yyyy-mm-dd hh:nn:ss"; nullopt when the text is no date. Dates: "2024-03-05",
// "2024-3-5", "2024/03/05", "2024.3.5" (a four-digit year first), "3/5/2024",
// "3-5-2024", "3.5.24" (month, day, year), "240305", "20240305"; each with an
// optional time "10:30", "10:30:15", "10:30:15.250", "2:30 PM". A time alone
// is that time on 1900-01-01. Two-digit years 00-49 are 20xx, 50-99 19xx.
// Refused, as on the server: two numbers only ("3/5"), years before 1753,
// impossible days and times, words ("2024年3月5日", "明天").
std::optional<QString> normalizeDate(const QString &text);
// "12.5", "-0.10", "1e2" as whole ten-thousandths (rounded half away from zero);
// nullopt when no number.
std::optional<qint64> parseMoney(const QString &text);
// A decimal number held exactly, as the server computes with numbers
// written in a statement: digits × 10^-scale ("1.15" is 115 and 2).
struct ExactDecimal {
    __extension__ typedef __int128 Wide;
    Wide digits = 0;
    int scale = 0;
    // "1.15", "-0.5", "2e3", blanks around; nullopt when no number, or one
    // with more digits than 30 or a scale past 30.
    static std::optional<ExactDecimal> parse(const QString &text);
    Wide power() const;  // 10^scale
    QString toString() const;
    // Sums, differences and products (nullopt past 30 digits).
    std::optional<ExactDecimal> plus(const ExactDecimal &o) const;
    std::optional<ExactDecimal> times(const ExactDecimal &o) const;
    ExactDecimal negated() const { return ExactDecimal{-digits, scale}; }
};

// Money as CONVERT(varchar, m, style) shows it: 0 two decimals ("4235.98"),
// 1 with thousands separators ("4,235.98"), 2 four decimals; to the cent,
// halves away from zero. The embedded engine's one definition of it (the
// server's is lib_money_text in postgres.sql): moneyChars writes it to `out`,
// which holds kMoneyChars, and gives its length.
constexpr int kMoneyChars = 32;
int moneyChars(qint64 tenThousandths, int style, char *out);
QString moneyText(qint64 tenThousandths, int style = 0);
// Money as a plain number text, no trailing zeros ("0.3", "12", "4235.98").
QString moneyPlain(qint64 tenThousandths);
// A stored date-time text as CONVERT(varchar, d, style) shows it (0/100, 20/120,
// 23, 101, 102, 108, 111, 112, 121).
QString dateText(const QString &stored, int style);
// How a field of a date column reads as text: the date alone at midnight, else
// date and time.
QString dateDisplay(const QString &stored);

// Converts a value to the stored form of a column of `kind` (dates normalised,
// '' into a date as Null, money in ten-thousandths, flags 1/0). Raises
// ado::Error when the value does not convert.
QVariant toStorage(Kind kind, const QVariant &value, const QString &columnName = QString());

}  // namespace dialect
