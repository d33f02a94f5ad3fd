// The rows a statement reads, as the embedded engine keeps them: values of
// every type, Null against empty, columns whose values change type or length
// part way, money and dates, and how little memory the rows take.

#include "db/SqliteEngine.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

// A database of our own tables (untyped columns keep whatever is written).
class Db {
public:
    explicit Db(const QString &ddl)
    {
        path = dir.filePath(QStringLiteral("t.db"));
        ado::SqliteEngine::create(path, ddl, {});
        engine = ado::SqliteEngine::open(path, 1);
    }

    // Writes the rows as they stand: no conversion by the database layer.
    void insert(const QString &table, const QList<QVariantList> &rows)
    {
        sqlite3_exec(engine->handle(), "BEGIN", nullptr, nullptr, nullptr);
        for (const QVariantList &row : rows) {
            QStringList marks;
            for (int i = 0; i < row.size(); ++i) marks << QStringLiteral("?");
            const QByteArray sql =
                QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(QLatin1Char(','))).toUtf8();
            sqlite3_stmt *st = nullptr;
            QCOMPARE(sqlite3_prepare_v2(engine->handle(), sql.constData(), -1, &st, nullptr), SQLITE_OK);
            for (int i = 0; i < row.size(); ++i) {
                const QVariant &v = row[i];
                if (!v.isValid()) {
                    sqlite3_bind_null(st, i + 1);
                } else if (v.typeId() == QMetaType::LongLong) {
                    sqlite3_bind_int64(st, i + 1, v.toLongLong());
                } else if (v.typeId() == QMetaType::Double) {
                    sqlite3_bind_double(st, i + 1, v.toDouble());
                } else if (v.typeId() == QMetaType::QByteArray) {
                    const QByteArray b = v.toByteArray();
                    sqlite3_bind_blob(st, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                } else {
                    const QByteArray u = v.toString().toUtf8();
                    sqlite3_bind_text(st, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
                }
            }
            const int rc = sqlite3_step(st);
            sqlite3_finalize(st);
            QCOMPARE(rc, SQLITE_DONE);
        }
        sqlite3_exec(engine->handle(), "COMMIT", nullptr, nullptr, nullptr);
    }

    ado::ResultSetPtr query(const QString &sql) { return engine->query(sql, false); }

    QTemporaryDir dir;
    QString path;
    std::shared_ptr<ado::SqliteEngine> engine;
};

QVariant I(qint64 v) { return QVariant(qlonglong(v)); }
QVariant R(double v) { return QVariant(v); }
QVariant T(const QString &v) { return QVariant(v); }
QVariant B(const QByteArray &v) { return QVariant(v); }
const QVariant N;

// What an untyped column reads as: the value as written, a grid's text of it.
QString shown(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong: return QString::number(v.toLongLong());
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::QString: return v.toString();
    default: return QString();  // Null, binary
    }
}

// Every cell of `r` against the rows written (column by column).
void compareAll(const ado::ResultSet &r, const QList<QVariantList> &rows)
{
    QCOMPARE(r.rowCount(), int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        for (int col = 0; col < rows[row].size(); ++col) {
            const QVariant &want = rows[row][col];
            const QString where = QStringLiteral("row %1 column %2").arg(row).arg(col);
            QVERIFY2(r.isNull(row, col) == !want.isValid(), qPrintable(where));
            const QVariant got = r.value(row, col);
            QVERIFY2(got.isValid() == want.isValid(), qPrintable(where));
            if (want.isValid()) {
                QVERIFY2(got.typeId() == want.typeId(), qPrintable(where + QStringLiteral(": ") + got.typeName()));
                QVERIFY2(got == want, qPrintable(where + QStringLiteral(": ") + got.toString()));
            }
            QVERIFY2(r.text(row, col) == shown(want), qPrintable(where + QStringLiteral(": ") + r.text(row, col)));
        }
    }
}

}  // namespace

class TestResultSet : public QObject {
    Q_OBJECT

private slots:
    void valuesOfEveryType();
    void columnsThatChangeTypePartWay();
    void lengthsAndNullsOverManyRows();
    void moneyAndDates();
    void rowsTakeLittleMoreThanTheirValues();
};

void TestResultSet::valuesOfEveryType()
{
    Db db(QStringLiteral("CREATE TABLE t (a, b, c, d, e);"));
    const QList<QVariantList> rows = {
        {I(1), T("x"), N, R(1.5), B(QByteArray("\x00\xff", 2))},
        {N, T(""), N, N, B(QByteArray("abc"))},
        {I(-5), N, N, R(-0.25), N},
        {I(2147483647), T("汉字"), N, R(1e300), B(QByteArray("z"))},
        {I(-2147483648LL), T("😀 é"), N, R(3.0), N},
    };
    db.insert(QStringLiteral("t"), rows);
    const ado::ResultSetPtr r = db.query(QStringLiteral("SELECT a, b, c, d, e FROM t"));
    QCOMPARE(r->columnCount(), 5);
    QCOMPARE(r->columnName(1), QStringLiteral("b"));
    compareAll(*r, rows);
    // An empty text is a text, not Null.
    QVERIFY(!r->isNull(1, 1));
    QVERIFY(!r->value(1, 1).toString().isNull());
    QCOMPARE(r->value(1, 1).typeId(), int(QMetaType::QString));

    // No rows: the fields are still named.
    const ado::ResultSetPtr none = db.query(QStringLiteral("SELECT a, b FROM t WHERE 1 = 0"));
    QCOMPARE(none->rowCount(), 0);
    QCOMPARE(none->columnCount(), 2);
    QVERIFY(none->memoryBytes() >= 0);
}

void TestResultSet::columnsThatChangeTypePartWay()
{
    Db db(QStringLiteral("CREATE TABLE t (m, n, o, p, q);"));
    const QList<QVariantList> rows = {
        {I(7), T("ab"), N, I(1), B(QByteArray("\x01", 1))},
        {T("text"), T("cd"), N, I(5000000000LL), T("t")},  // p no longer fits 32 bits
        {R(2.5), N, R(3.25), N, N},
        {B(QByteArray("\x02\x03", 2)), I(5), T("x"), I(-7), I(9)},
        {N, R(0.5), I(4), R(0.125), T("")},
        {I(8), T("ab"), B(QByteArray("q")), I(-4000000000LL), R(-1)},
    };
    db.insert(QStringLiteral("t"), rows);
    compareAll(*db.query(QStringLiteral("SELECT m, n, o, p, q FROM t")), rows);
}

void TestResultSet::lengthsAndNullsOverManyRows()
{
    Db db(QStringLiteral("CREATE TABLE t (code, late, spaced, empties, flags);"));
    QList<QVariantList> rows;
    for (int i = 0; i < 300; ++i) {
        const QString code = QStringLiteral("B%1").arg(i, 7, 10, QLatin1Char('0'));
        QVariantList row;
        row << T(code);                                                     // equal lengths throughout
        row << (i == 150 ? T("短") : T(code));                              // one differs late
        row << (i == 64 || i == 130 ? N : T(code));                         // equal lengths, two Nulls
        row << (i == 299 ? T("z") : T(""));                                 // empty texts, then one not
        row << (i % 64 == 0 || i % 64 == 63 ? N : I(i % 3 == 0 ? -i : i));  // Nulls at word edges
        rows << row;
    }
    db.insert(QStringLiteral("t"), rows);
    compareAll(*db.query(QStringLiteral("SELECT code, late, spaced, empties, flags FROM t")), rows);
}

void TestResultSet::moneyAndDates()
{
    Db db(QStringLiteral("CREATE TABLE t (price MONEY, day DATETIME, flag BIT);"));
    db.insert(QStringLiteral("t"), {{I(125000), T("2024-03-05 00:00:00"), I(1)},
                                    {I(-1), T("2024-03-05 14:05:09"), I(0)},
                                    {N, N, N},
                                    {I(0), T("not a date"), I(1)}});
    const ado::ResultSetPtr r = db.query(QStringLiteral("SELECT price, day, flag FROM t"));
    QCOMPARE(r->value(0, 0), QVariant(12.5));
    QCOMPARE(r->text(0, 0), QStringLiteral("12.5"));
    QCOMPARE(r->value(1, 0), QVariant(-0.0001));
    QCOMPARE(r->text(1, 0), QStringLiteral("-0.0001"));
    QCOMPARE(r->text(3, 0), QStringLiteral("0"));
    QCOMPARE(r->value(0, 1).toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    QCOMPARE(r->text(0, 1), QStringLiteral("2024-03-05"));
    QCOMPARE(r->value(1, 1).toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
    QCOMPARE(r->text(1, 1), QStringLiteral("2024-03-05 14:05:09"));
    QCOMPARE(r->value(3, 1), QVariant(QStringLiteral("not a date")));
    QCOMPARE(r->value(1, 2), QVariant(qlonglong(0)));
    for (int c = 0; c < 3; ++c) {
        QVERIFY(r->isNull(2, c));
        QVERIFY(!r->value(2, c).isValid());
        QCOMPARE(r->text(2, c), QString());
    }
}

void TestResultSet::rowsTakeLittleMoreThanTheirValues()
{
    Db db(QStringLiteral("CREATE TABLE t (code, name, n);"));
    const int count = 20000;
    QList<QVariantList> rows;
    qint64 dataBytes = 0;  // text as UTF-8, integers as 8 bytes
    for (int i = 0; i < count; ++i) {
        const QString code = QStringLiteral("B%1").arg(i, 7, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("图书%1").arg(i * 7919 % 100000);
        rows << QVariantList{T(code), T(name), I(i % 5)};
        dataBytes += code.toUtf8().size() + name.toUtf8().size() + 8;
    }
    db.insert(QStringLiteral("t"), rows);
    const ado::ResultSetPtr r = db.query(QStringLiteral("SELECT code, name, n FROM t"));
    QCOMPARE(r->rowCount(), count);
    QCOMPARE(r->text(count - 1, 0), QStringLiteral("B0019999"));
    QCOMPARE(r->text(12345, 1), QStringLiteral("图书%1").arg(12345 * 7919 % 100000));
    // Values held as the engine hands them, with at most a 4-byte offset per
    // text of varying length: about as wide as the values themselves.
    QVERIFY2(r->memoryBytes() < dataBytes * 5 / 4, qPrintable(QString::number(r->memoryBytes())));
    QVERIFY(r->memoryBytes() > dataBytes / 2);
}

QTEST_GUILESS_MAIN(TestResultSet)
#include "tst_resultset.moc"
