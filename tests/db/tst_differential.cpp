// The same statements on the embedded engine and on the server, on the same
// data: each must give the same fields and the same rows in the same order,
// touch the same rows and leave the same data, or be refused in the same
// words. The statements and the data are differential.sql (which includes
// window_statements.sql); this file only runs them.
//
// Both engines are needed at once: the test runs in the server pass
// (LIBRARY_TEST_SERVER set), making an embedded database beside the
// server's; in the embedded pass it says so and skips.
#include "StatementsSeed.h"
#include "support/TempDb.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>
#include <memory>

using testsupport::TempDb;

namespace {

// ---------------------------------------------------------------- the list

struct Statement {
    QString sql;
    QString source;  // file and line, for the report
    bool data = false;
};

// "001..120" -> 001 ... 120; anything else stands for itself.
QStringList expandRange(const QString &value)
{
    static const QRegularExpression range(QStringLiteral("^(\\d+)\\.\\.(\\d+)$"));
    const QRegularExpressionMatch m = range.match(value);
    if (!m.hasMatch()) return {value};
    QStringList out;
    const int width = int(m.captured(1).size());
    for (int i = m.captured(1).toInt(); i <= m.captured(2).toInt(); ++i)
        out << QStringLiteral("%1").arg(i, width, 10, QLatin1Char('0'));
    return out;
}

// Every statement `line` stands for with the values of its {NAME}s.
QStringList expand(const QString &line, const QMap<QString, QStringList> &values)
{
    static const QRegularExpression slot(QStringLiteral("\\{([^{}\\s]+)\\}"));
    const QRegularExpressionMatch m = slot.match(line);
    if (!m.hasMatch()) return {line};
    const QStringList choices = values.value(m.captured(1));
    if (choices.isEmpty()) return {line};  // no list: the braces are the statement's own
    QStringList out;
    for (const QString &v : choices) {
        QString one = line;
        one.replace(m.captured(0), v);
        out << expand(one, values);
    }
    return out;
}

QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

std::vector<Statement> readStatements(const QString &path)
{
    std::vector<Statement> out;
    QMap<QString, QStringList> values;
    bool data = false;
    const QStringList lines = readLines(path);
    const QString name = QFileInfo(path).fileName();
    QString pending, pendingSource;
    auto flush = [&] {
        if (pending.trimmed().isEmpty()) return;
        for (const QString &s : expand(pending, values)) out.push_back({s, pendingSource, data});
        pending.clear();
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (!line.isEmpty() && line[0].isSpace() && !line.trimmed().isEmpty() && !pending.isEmpty()) {
            pending += QLatin1Char(' ') + line.trimmed();
            continue;
        }
        flush();
        const QString t = line.trimmed();
        if (t.isEmpty()) continue;
        if (!t.startsWith(QLatin1String("--"))) {
            pending = t;
            pendingSource = QStringLiteral("%1:%2").arg(name).arg(i + 1);
            continue;
        }
        const QString d = t.mid(2).trimmed();
        if (d == QLatin1String("@data")) {
            data = true;
        } else if (d == QLatin1String("@compare")) {
            data = false;
            values.clear();
        } else if (d.startsWith(QLatin1String("@include "))) {
            for (Statement s : readStatements(QFileInfo(path).dir().filePath(d.mid(9).trimmed()))) {
                s.data = data;
                out.push_back(s);
            }
        } else if (d.startsWith(QLatin1String("@each "))) {
            const int eq = int(d.indexOf(QLatin1Char('=')));
            QStringList list;
            for (const QString &v : d.mid(eq + 1).split(QStringLiteral(" | "))) list << expandRange(v.trimmed());
            values[d.mid(6, eq - 6).trimmed()] = list;
        }
    }
    flush();
    return out;
}

// ---------------------------------------------------------------- one engine's answer

struct Outcome {
    QString refusal;  // the error's words; empty when the statement ran
    QStringList fields;
    QList<QStringList> rows;  // a write: the rows touched, then the data it left
    QString text() const
    {
        if (!refusal.isEmpty()) return QStringLiteral("refused: ") + refusal;
        QStringList out{fields.join(QStringLiteral(" | "))};
        for (const QStringList &r : rows) out << r.join(QStringLiteral(" | "));
        return out.join(QLatin1Char('\n'));
    }
};

bool isRead(const QString &sql) { return sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive); }

// What a window sees: the fields, and as many rows as the result counts,
// each read as a grid shows it.
Outcome run(TempDb &db, const QString &sql)
{
    Outcome o;
    try {
        if (isRead(sql)) {
            ado::Recordset rs;
            rs.Open(sql, db.conn(), ado::adOpenKeyset, ado::adLockReadOnly);
            o.fields = rs.FieldNames();
            if (const ado::ResultSetPtr r = rs.result())
                for (int row = 0; row < r->rowCount(); ++row) {
                    QStringList line;
                    for (int c = 0; c < r->columnCount(); ++c) line << r->text(row, c);
                    o.rows << line;
                }
            return o;
        }
        db.conn().BeginTrans();
        const auto rollback = qScopeGuard([&] {
            if (db.conn().InTransaction()) db.conn().RollbackTrans();
        });
        o.rows << QStringList{QString::number(db.conn().Execute(sql))};
        for (const QString &line : db.dump().split(QLatin1Char('\n'))) o.rows << QStringList{line};
    } catch (const ado::Error &e) {
        o.refusal = e.Description();
    }
    return o;
}

enum class Verdict { Same, OrderOnly, Other };

Verdict compare(const Outcome &a, const Outcome &b)
{
    if (a.refusal != b.refusal || a.fields != b.fields) return Verdict::Other;
    if (a.rows == b.rows) return Verdict::Same;
    QList<QStringList> x = a.rows, y = b.rows;
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    return x == y ? Verdict::OrderOnly : Verdict::Other;
}

// The first lines where two answers part, with a few around them.
QString difference(const Outcome &a, const Outcome &b)
{
    const QStringList x = a.text().split(QLatin1Char('\n')), y = b.text().split(QLatin1Char('\n'));
    int i = 0;
    while (i < x.size() && i < y.size() && x[i] == y[i]) ++i;
    const int from = std::max(0, i - 1);
    return QStringLiteral("    embedded (from line %1): %2\n    server   (from line %1): %3")
        .arg(from)
        .arg(x.mid(from, 4).join(QStringLiteral(" / ")), y.mid(from, 4).join(QStringLiteral(" / ")));
}

// The embedded database's TempDb is made and dropped while the server's
// settings are hidden from it.
class ServerHidden {
public:
    ServerHidden() : m_saved(qgetenv("LIBRARY_TEST_SERVER")) { qunsetenv("LIBRARY_TEST_SERVER"); }
    ~ServerHidden() { qputenv("LIBRARY_TEST_SERVER", m_saved); }

private:
    QByteArray m_saved;
};

}  // namespace

class TestDifferential : public QObject {
    Q_OBJECT

private slots:
    void listExpandsItsValues();
    void bothEnginesAnswerAlike();
};

// The list's own syntax: values put in one by one, ranges, continuation lines.
void TestDifferential::listExpandsItsValues()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("l.sql")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("-- @data\n-- @each N = 08..10\nINSERT t VALUES ('{N}')\n-- @compare\n"
            "-- @each A = x | y\n-- @each B = 1 | 2\nSELECT {A}\n  FROM {B}\nSELECT '{C}'\n");
    f.close();
    std::vector<Statement> s = readStatements(f.fileName());
    QStringList texts;
    for (const Statement &st : s) texts << (st.data ? QStringLiteral("D ") : QStringLiteral("C ")) + st.sql;
    QCOMPARE(texts, QStringList({"D INSERT t VALUES ('08')", "D INSERT t VALUES ('09')", "D INSERT t VALUES ('10')",
                                 "C SELECT x FROM 1", "C SELECT x FROM 2", "C SELECT y FROM 1", "C SELECT y FROM 2",
                                 "C SELECT '{C}'"}));
}

void TestDifferential::bothEnginesAnswerAlike()
{
    if (!TempDb::onServer()) QSKIP("compares the embedded engine with the server: runs in the server pass");
    std::unique_ptr<TempDb> file;
    {
        ServerHidden hidden;
        file = std::make_unique<TempDb>();
    }
    const auto dropFile = qScopeGuard([&] {
        ServerHidden hidden;
        file.reset();
    });
    TempDb server;
    const std::vector<Statement> list = readStatements(QStringLiteral(DIFFERENTIAL_STATEMENTS));
    seedSmallLibrary(*file);
    seedSmallLibrary(server);
    int compared = 0, same = 0, orderOnly = 0, other = 0;
    QStringList report;
    for (const Statement &s : list) {
        if (s.data) {
            try {
                file->conn().Execute(s.sql);
                server.conn().Execute(s.sql);
            } catch (const ado::Error &e) {
                QFAIL(qPrintable(QStringLiteral("%1: %2\n%3").arg(s.source, s.sql, e.Description())));
            }
            continue;
        }
        ++compared;
        const Outcome a = run(*file, s.sql), b = run(server, s.sql);
        switch (compare(a, b)) {
        case Verdict::Same: ++same; continue;
        case Verdict::OrderOnly: ++orderOnly; break;
        case Verdict::Other: ++other; break;
        }
        report << QStringLiteral("%1 %2: %3\n%4")
                      .arg(compare(a, b) == Verdict::OrderOnly ? QStringLiteral("[order]") : QStringLiteral("[rows]"),
                           s.source, s.sql, difference(a, b));
    }
    for (const QString &r : report) qInfo().noquote() << r;
    qInfo().noquote() << QStringLiteral("statements compared: %1; identical: %2; differing in order only: %3; "
                                        "otherwise: %4")
                             .arg(compared)
                             .arg(same)
                             .arg(orderOnly)
                             .arg(other);
    QCOMPARE(orderOnly + other, 0);
}

QTEST_MAIN(TestDifferential)
#include "tst_differential.moc"
