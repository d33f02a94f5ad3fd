// The statements the windows write (window_statements.sql), mutated: tokens
// dropped, doubled, swapped or put in, text literals replaced by hostile texts
// (quotes, "*=", "TOP 5", "--", ";", NUL, 10,000 characters), numbers out of
// range and days that do not exist. Each mutation either runs with its plain
// meaning or is refused with a description (ado::Error), never runs altered:
//   - what the engine is given holds no comment and no second statement;
//   - a hostile text reaches the engine as one literal holding exactly that text,
//     and one stored into a text column reads back verbatim;
//   - a number stored into a number column reads back as that number, a day
//     stored into a date column reads back as that day, and a day that does not
//     exist is refused;
//   - nothing outlives the transaction a write ran in, and a read writes nothing.
//
// 10,000 mutations a run from a fixed seed. LIBRARY_MUTATIONS=n runs n, and
// LIBRARY_MUTATION_SEED=s starts from another seed; a failure names the seed
// and the mutation's number, so it can be run again.
#include "StatementsSeed.h"
#include "db/Dialect.h"
#include "support/TempDb.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <map>
#include <optional>

using testsupport::TempDb;

namespace {

// ---------------------------------------------------------------- tokens

// A token of a statement as written, with the blanks before it, so that a
// statement put together again reads as the original where it was not mutated.
struct Tok {
    enum Kind { Word, Text, Number, Punct };
    Kind kind = Word;
    QString text;
    QString lead;
};

bool wordChar(QChar c)
{
    return c.isLetterOrNumber() || c == '_' || c == '@' || c == '#' || c == '$' || c.isSurrogate() || c.isMark();
}

std::vector<Tok> cut(const QString &sql)
{
    std::vector<Tok> out;
    const int n = int(sql.size());
    int i = 0;
    for (;;) {
        Tok t;
        const int blanks = i;
        while (i < n && sql[i].isSpace()) ++i;
        if (i >= n) break;
        t.lead = sql.mid(blanks, i - blanks);
        const int start = i;
        const QChar c = sql[i];
        if (c == '\'' || ((c == 'N' || c == 'n') && i + 1 < n && sql[i + 1] == '\'')) {
            t.kind = Tok::Text;
            i += c == '\'' ? 1 : 2;
            while (i < n) {
                if (sql[i] == '\'' && i + 1 < n && sql[i + 1] == '\'') {
                    i += 2;
                } else if (sql[i] == '\'') {
                    ++i;
                    break;
                } else {
                    ++i;
                }
            }
        } else if (c.isDigit() || (c == '.' && i + 1 < n && sql[i + 1].isDigit())) {
            t.kind = Tok::Number;
            while (i < n && (sql[i].isDigit() || sql[i] == '.')) ++i;
        } else if (c == '[') {
            while (i < n && sql[i] != ']') ++i;
            i = std::min(i + 1, n);
        } else if (wordChar(c)) {
            while (i < n && wordChar(sql[i])) ++i;
        } else {
            t.kind = Tok::Punct;
            static const QStringList pairs = {"*=", "=*", "<=", ">=", "<>", "!="};
            i += pairs.contains(sql.mid(i, 2)) ? 2 : 1;
        }
        t.text = sql.mid(start, i - start);
        out.push_back(t);
    }
    return out;
}

QString join(const std::vector<Tok> &toks)
{
    QString s;
    for (const Tok &t : toks) s += t.lead + t.text;
    return s;
}

QString textValue(const QString &literal)
{
    QString v = literal.mid(literal.indexOf('\'') + 1);
    v.chop(1);
    return v.replace("''", "'");
}

QString quoted(const QString &value) { return "'" + QString(value).replace("'", "''") + "'"; }

QString bareName(QString name)
{
    if (name.startsWith('[')) name = name.mid(1, name.size() - 2);
    return name;
}

// ---------------------------------------------------------------- what the engine is given

// The engine's statement with the insides of its literals and quoted names
// blanked out, and the texts of its literals.
struct EngineText {
    QString outside;
    QStringList literals;
};

EngineText readEngineText(const QString &sql)
{
    EngineText r;
    const int n = int(sql.size());
    for (int i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"' || c == '`') {
            QString v;
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c && j + 1 < n && sql[j + 1] == c) {
                    v += c;
                    j += 2;
                } else if (sql[j] == c) {
                    break;
                } else {
                    v += sql[j++];
                }
            }
            if (c == '\'') r.literals << v;
            r.outside += c + QString(std::min(j, n) - i - 1, ' ') + c;
            i = j + 1;
        } else {
            r.outside += c;
            ++i;
        }
    }
    return r;
}

// ---------------------------------------------------------------- the schema

// Each table's stored columns in their physical order, with the kind of
// value they hold, as the embedded engine's schema declares them.
using Schema = std::map<QString, std::vector<std::pair<QString, dialect::Kind>>>;

Schema readSchema()
{
    Schema s;
    QFile f(TempDb::schemaDir() + "sqlite.sql");
    if (!f.open(QIODevice::ReadOnly)) return s;
    static const QRegularExpression table(R"(^CREATE TABLE (\S+) \()");
    static const QRegularExpression column(R"(^\s+(\S+)\s+([A-Z]+)\b(.*)$)");
    QString current;
    for (const QString &line : QString::fromUtf8(f.readAll()).split('\n')) {
        if (const auto m = table.match(line); m.hasMatch()) {
            current = m.captured(1);
        } else if (line.startsWith(')')) {
            current.clear();
        } else if (const auto m = column.match(line); m.hasMatch() && !current.isEmpty()) {
            if (!m.captured(3).contains("GENERATED"))
                s[current].emplace_back(m.captured(1), dialect::kindFromDeclaredType(m.captured(2)));
        }
    }
    return s;
}

// The column a literal is stored into: a value of INSERT ... VALUES (...) or
// "SET column = literal" of an UPDATE, the literal standing alone.
struct Target {
    QString table;
    QString column;
    dialect::Kind kind = dialect::Kind::Unknown;
};

std::optional<Target> storedInto(const std::vector<Tok> &t, int at, const Schema &schema)
{
    const int n = int(t.size());
    auto up = [&](int i) { return i >= 0 && i < n ? t[size_t(i)].text.toUpper() : QString(); };
    auto text = [&](int i) { return i >= 0 && i < n ? t[size_t(i)].text : QString(); };
    Target target;
    if (up(0) == "INSERT") {
        int i = up(1) == "INTO" ? 2 : 1;
        target.table = bareName(text(i++));
        QStringList names;
        if (text(i) == "(") {
            for (++i; i < n && text(i) != ")"; ++i)
                if (text(i) != ",") names << bareName(text(i));
            ++i;
        }
        if (up(i) != "VALUES" || text(i + 1) != "(") return std::nullopt;
        int item = 0, depth = 0, itemStart = i + 2;
        for (i += 2; i < n; ++i) {
            const QString x = text(i);
            if (x == "(") {
                ++depth;
            } else if (x == ")" && depth > 0) {
                --depth;
            } else if ((x == "," || x == ")") && depth == 0) {
                if (itemStart == at && i == at + 1) break;
                if (x == ")") return std::nullopt;
                ++item;
                itemStart = i + 1;
            }
        }
        if (i >= n) return std::nullopt;
        const auto table = schema.find(target.table);
        if (table == schema.end()) return std::nullopt;
        if (!names.isEmpty()) {
            target.column = names.value(item);
        } else if (item < int(table->second.size())) {
            target.column = table->second[size_t(item)].first;
        }
        for (const auto &[name, kind] : table->second)
            if (name.compare(target.column, Qt::CaseInsensitive) == 0) target.kind = kind;
    } else if (up(0) == "UPDATE") {
        target.table = bareName(text(1));
        const bool standsAlone = text(at - 1) == "=" && (up(at - 3) == "SET" || text(at - 3) == ",")
                                 && (at + 1 >= n || text(at + 1) == "," || up(at + 1) == "WHERE");
        if (!standsAlone) return std::nullopt;
        target.column = bareName(text(at - 2));
        const auto table = schema.find(target.table);
        if (table == schema.end()) return std::nullopt;
        for (const auto &[name, kind] : table->second)
            if (name.compare(target.column, Qt::CaseInsensitive) == 0) target.kind = kind;
    }
    if (target.kind == dialect::Kind::Unknown) return std::nullopt;
    return target;
}

// ---------------------------------------------------------------- hostile values

const QStringList &hostileTexts()
{
    static const QStringList texts = [] {
        QString tenThousand;  // 2,500 apostrophes among 10,000 characters
        while (tenThousand.size() < 10000) tenThousand += QString::fromUtf8("图书'馆");
        return QStringList{"it's",
                           "O''Brien",
                           "'; DELETE FROM 读者档案 --",
                           "x' OR '1'='1",
                           "a *= b",
                           "TOP 5",
                           "-- not a comment",
                           "ends with --",
                           "x; SELECT 1",
                           ";",
                           "/* not a comment */",
                           "?",
                           "$1",
                           ":name",
                           "\"double\" quotes",
                           "[bracketed]",
                           "back\\slash\\",
                           "100%_off",
                           QString::fromUtf8("😀 表情"),
                           "  blanks around  ",
                           "line\nbreak",
                           QString("nul") + QChar(0) + "inside",
                           tenThousand,
                           "N'x'",
                           "CONVERT(varchar(10), 1, 0)",
                           ""};
    }();
    return texts;
}

const QStringList &outOfRangeNumbers()
{
    static const QStringList numbers = {"2147483647",
                                        "2147483648",
                                        "-2147483649",
                                        "9223372036854775807",
                                        "9223372036854775808",
                                        "-9223372036854775809",
                                        "99999999999999999999999999999999999999",
                                        "922337203685477.5807",
                                        "922337203685477.5808",
                                        "1e308",
                                        "1e309",
                                        "-1e309",
                                        "1e-400",
                                        "0.00005",
                                        "0.00004999",
                                        "-0",
                                        ".5",
                                        "1.",
                                        "00000000000000000000001"};
    return numbers;
}

struct DayCase {
    const char *text;
    bool exists;
};

const std::vector<DayCase> &days()
{
    static const std::vector<DayCase> d = {
        {"2024-02-30", false},          {"2023-02-29", false},          {"2024-02-29", true},
        {"2024-04-31", false},          {"2024-13-01", false},          {"2024-00-10", false},
        {"2024-01-00", false},          {"1752-12-31", false},          {"1753-01-01", true},
        {"9999-12-31 23:59:59", true},  {"2024-03-05 24:00:00", false}, {"2024-03-05 23:60:00", false},
        {"2024-03-05 23:59:60", false}, {"0000-00-00", false},          {"2/30/2024", false},
        {"2024-2-30", false},           {"2024-12-31 23:59:59", true},  {"10000-01-01", false}};
    return d;
}

// The day and time a date text that exists stands for, as "yyyy-MM-dd HH:mm:ss".
QString dayStored(const QString &text)
{
    const auto d = dialect::normalizeDate(text);
    return d ? *d : QString();
}

// ---------------------------------------------------------------- mutations

struct Mutation {
    enum Op { Drop, Double, Swap, PutIn, HostileText, BadNumber, BadDay };
    Op op = Drop;
    std::vector<Tok> toks;
    int at = -1;          // the literal replaced
    QString value;        // what it holds now (text, number or day as written)
    bool exists = false;  // BadDay: whether that day exists
    QString sql() const { return join(toks); }
};

const char *opName(Mutation::Op op)
{
    switch (op) {
    case Mutation::Drop: return "token dropped";
    case Mutation::Double: return "token doubled";
    case Mutation::Swap: return "tokens swapped";
    case Mutation::PutIn: return "token put in";
    case Mutation::HostileText: return "hostile text";
    case Mutation::BadNumber: return "number out of range";
    case Mutation::BadDay: return "day";
    }
    return "";
}

class Mutator {
public:
    explicit Mutator(quint32 seed) : m_rng(seed) { }

    Mutation mutate(const std::vector<Tok> &base)
    {
        Mutation m;
        m.toks = base;
        const int n = int(base.size());
        const int roll = pick(100);
        if (roll < 30) {
            m.op = Mutation::HostileText;
            if (replaceLiteral(m, texts(base), quoted(pickOf(hostileTexts())))) return m;
        } else if (roll < 45) {
            m.op = Mutation::BadNumber;
            const QString number = pickOf(outOfRangeNumbers());
            std::vector<int> numbers, numericTexts;
            for (int i = 0; i < n; ++i) {
                if (base[size_t(i)].kind == Tok::Number) numbers.push_back(i);
                if (base[size_t(i)].kind == Tok::Text && isNumber(textValue(base[size_t(i)].text)))
                    numericTexts.push_back(i);
            }
            if (!numbers.empty() && (numericTexts.empty() || pick(2) == 0)) {
                if (replaceLiteral(m, numbers, number)) return m;
            } else if (replaceLiteral(m, numericTexts, quoted(number))) {
                return m;
            }
        } else if (roll < 60) {
            m.op = Mutation::BadDay;
            const DayCase &day = days()[size_t(pick(int(days().size())))];
            std::vector<int> dates;
            static const QRegularExpression dateLike(R"(^\d{4}[-/.]\d|^\d{1,2}/\d{1,2}/\d{4}|^\d{6}$)");
            for (int i : texts(base))
                if (dateLike.match(textValue(base[size_t(i)].text)).hasMatch()) dates.push_back(i);
            m.exists = day.exists;
            if (replaceLiteral(m, dates.empty() ? texts(base) : dates, quoted(QString::fromLatin1(day.text)))) return m;
        }
        // The token mutations, and a literal mutation of a statement without such a literal.
        const int kind = pick(4);
        const int i = pick(n);
        m.value.clear();
        m.at = -1;
        if (kind == 0 && n > 1) {
            m.op = Mutation::Drop;
            m.toks.erase(m.toks.begin() + i);
        } else if (kind == 1) {
            m.op = Mutation::Double;
            Tok again = base[size_t(i)];
            again.lead = " ";
            m.toks.insert(m.toks.begin() + i + 1, again);
        } else if (kind == 2 && n > 1) {
            m.op = Mutation::Swap;
            const int j = i + 1 < n ? i + 1 : i - 1;
            std::swap(m.toks[size_t(i)].text, m.toks[size_t(j)].text);
            std::swap(m.toks[size_t(i)].kind, m.toks[size_t(j)].kind);
        } else {
            static const QStringList pieces = {"--",     ";",     "*=",    "=*", "TOP 5", "'",    "N'", "/*", "*/",
                                               "[",      "]",     "(",     ")",  ",",     "Null", "?",  "''", "\"",
                                               "SELECT", "WHERE", "1e999", "-",  "=",     "%",    "\\", "$1", "::text"};
            m.op = Mutation::PutIn;
            Tok piece;
            piece.kind = Tok::Punct;
            piece.text = pickOf(pieces);
            piece.lead = " ";
            m.toks.insert(m.toks.begin() + pick(n + 1), piece);
        }
        return m;
    }

private:
    int pick(int n) { return n > 0 ? int(m_rng.bounded(quint32(n))) : 0; }
    QString pickOf(const QStringList &l) { return l.at(pick(int(l.size()))); }

    static bool isNumber(const QString &s)
    {
        static const QRegularExpression number(R"(^-?\d+(\.\d+)?$)");
        return number.match(s).hasMatch();
    }
    static std::vector<int> texts(const std::vector<Tok> &toks)
    {
        std::vector<int> out;
        for (int i = 0; i < int(toks.size()); ++i)
            if (toks[size_t(i)].kind == Tok::Text) out.push_back(i);
        return out;
    }

    bool replaceLiteral(Mutation &m, const std::vector<int> &candidates, const QString &replacement)
    {
        if (candidates.empty()) return false;
        m.at = candidates[size_t(pick(int(candidates.size())))];
        Tok &t = m.toks[size_t(m.at)];
        // "x - 1" with 1 made "-5" must not become the comment "x --5".
        if (replacement.startsWith('-') && m.at > 0 && m.toks[size_t(m.at - 1)].text.endsWith('-')) t.lead = " ";
        t.text = replacement;
        t.kind = replacement.startsWith('\'') ? Tok::Text : Tok::Number;
        m.value = t.kind == Tok::Text ? textValue(replacement) : replacement;
        return true;
    }

    QRandomGenerator m_rng;
};

// ---------------------------------------------------------------- reading back

bool sameNumber(double stored, double meant)
{
    return std::abs(stored - meant) <= std::max(0.00005, 1e-9 * std::abs(meant));
}

}  // namespace

class TestMutations : public QObject {
    Q_OBJECT

    struct Figures {
        int tried = 0;
        int refusedByParser = 0;      // lexical and grammar refusals
        int refusedByTranslator = 0;  // names, kinds and values the translator refuses
        int reachedEngine = 0;        // translated and executed
        int ran = 0;
        int refusedByEngine = 0;
        int readBack = 0;                         // literals read back from the column they were stored into
        std::map<int, std::pair<int, int>> byOp;  // per Mutation::Op: tried, reached the engine
    };

    TempDb *m_db = nullptr;
    Schema m_schema;
    QStringList m_failures;
    Figures m_fig;
    QString m_where;  // seed, number and statement of the mutation under way

    void fail(const QString &what)
    {
        if (m_failures.size() < 25) m_failures << what + "\n    " + m_where;
    }

    static QStringList corpus()
    {
        QFile f(QStringLiteral(MUTATION_STATEMENTS));
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList out;
        for (const QString &line : QString::fromUtf8(f.readAll()).split('\n'))
            if (!line.trimmed().isEmpty() && !line.startsWith("--")) out << line;
        return out;
    }

    static bool isParserRefusal(const QString &description)
    {
        static const QRegularExpression parser(
            "^(Incorrect syntax|Unclosed quotation|Missing end comment|Only one statement|Unexpected end|"
            "The statement is not|Incomplete)");
        return parser.match(description).hasMatch();
    }

    // The values of one column, as the database layer reads them.
    QVariantList columnValues(const Target &t)
    {
        QVariantList out;
        ado::Recordset rs;
        rs.Open("SELECT " + t.column + " FROM " + t.table, m_db->conn());
        for (; !rs.EOF_(); rs.MoveNext()) out << rs.Fields(0);
        return out;
    }

    // What a literal stored into a column must read back as.
    void checkStored(const Mutation &m, const Target &t)
    {
        using dialect::Kind;
        const QVariantList values = columnValues(t);
        bool found = false;
        if (m.op == Mutation::HostileText
            || (t.kind == Kind::Text && m.at >= 0 && m.toks[size_t(m.at)].kind == Tok::Text)) {
            if (t.kind != Kind::Text) {
                // Text that is no number and no day does not go into such a column,
                // except '' (no value).
                if (m.op == Mutation::HostileText && !m.value.isEmpty())
                    fail(QString("'%1' was stored into the %2 column %3").arg(m.value.left(40), "non-text", t.column));
                return;
            }
            for (const QVariant &v : values) found = found || v.toString() == m.value;
            if (!found) fail(QString("the text stored into %1.%2 does not read back verbatim").arg(t.table, t.column));
        } else if (m.op == Mutation::BadNumber) {
            const double meant = m.value.toDouble();
            double expected = meant;
            if (t.kind == Kind::Flag) expected = meant != 0 ? 1 : 0;
            if (t.kind == Kind::Int) expected = std::trunc(meant);
            if (t.kind != Kind::Int && t.kind != Kind::Flag && t.kind != Kind::Money && t.kind != Kind::Decimal) return;
            for (const QVariant &v : values) found = found || (!v.isNull() && sameNumber(v.toDouble(), expected));
            if (!found)
                fail(QString("the number %1 stored into %2.%3 reads back otherwise").arg(m.value, t.table, t.column));
        } else if (m.op == Mutation::BadDay && t.kind == Kind::Date) {
            if (!m.exists) {
                fail(QString("the day %1 that does not exist was stored into %2.%3").arg(m.value, t.table, t.column));
                return;
            }
            const QString meant = dayStored(m.value);
            for (const QVariant &v : values) found = found || v.toDateTime().toString("yyyy-MM-dd HH:mm:ss") == meant;
            if (!found)
                fail(QString("the day %1 stored into %2.%3 reads back otherwise").arg(m.value, t.table, t.column));
        } else {
            return;
        }
        ++m_fig.readBack;
    }

    void tryOne(const Mutation &m)
    {
        ado::Connection &conn = m_db->conn();
        const QString sql = m.sql();
        ++m_fig.tried;
        ++m_fig.byOp[m.op].first;
        QString engineSql;
        try {
            engineSql = conn.Translate(sql);
        } catch (const ado::Error &e) {
            if (e.Description().isEmpty()) fail("refused without a description");
            ++(isParserRefusal(e.Description()) ? m_fig.refusedByParser : m_fig.refusedByTranslator);
            // Running it is refused the same way, before the engine sees it.
            try {
                if (sql.trimmed().startsWith("SELECT", Qt::CaseInsensitive)) {
                    ado::Recordset rs;
                    rs.Open(sql, conn);
                } else {
                    conn.Execute(sql);
                }
                fail("translation refused, but the statement ran");
            } catch (const ado::Error &) {
                // Refused by the engine as the translator refused it: as it should be.
            }
            return;
        }

        const EngineText engine = readEngineText(engineSql);
        if (engine.outside.contains("--") || engine.outside.contains("/*") || engine.outside.contains(';'))
            fail("the engine is given a comment or a second statement: " + engineSql.left(300));
        if (m.op == Mutation::HostileText && !m.value.isEmpty() && !m.value.contains(QChar(0))) {
            const bool pattern = m.at > 0 && m.toks[size_t(m.at - 1)].text.compare("LIKE", Qt::CaseInsensitive) == 0;
            if (!pattern && !engine.literals.contains(m.value))
                fail("the hostile text does not reach the engine as one literal: " + engineSql.left(300));
        }

        ++m_fig.reachedEngine;
        ++m_fig.byOp[m.op].second;
        const std::vector<Tok> &t = m.toks;
        const bool read = !t.empty() && t.front().text.compare("SELECT", Qt::CaseInsensitive) == 0;
        const std::optional<Target> target = m.at >= 0 ? storedInto(t, m.at, m_schema) : std::nullopt;
        try {
            if (read) {
                ado::Recordset rs;
                rs.Open(sql, conn);
                ++m_fig.ran;
                return;
            }
            conn.BeginTrans();
            try {
                const long rows = conn.Execute(sql);
                ++m_fig.ran;
                if (target && rows > 0) checkStored(m, *target);
            } catch (const ado::Error &e) {
                ++m_fig.refusedByEngine;
                if (e.Description().isEmpty()) fail("refused by the engine without a description");
            }
            conn.RollbackTrans();
        } catch (const ado::Error &e) {
            if (read) {
                ++m_fig.refusedByEngine;
                if (e.Description().isEmpty()) fail("refused by the engine without a description");
            } else {
                fail("the connection is not usable after the statement: " + e.Description());
            }
        }
    }

private slots:
    void mutatedStatementsRunAsMeantOrAreRefused()
    {
        const QStringList statements = corpus();
        QVERIFY2(statements.size() > 300, MUTATION_STATEMENTS);
        m_schema = readSchema();
        QVERIFY(m_schema.size() >= 10);

        TempDb db;
        m_db = &db;
        seedSmallLibrary(db);
        QString before = db.dump();

        bool ok = false;
        int count = qEnvironmentVariableIntValue("LIBRARY_MUTATIONS", &ok);
        if (!ok || count <= 0) count = 10000;
        quint32 seed = quint32(qEnvironmentVariableIntValue("LIBRARY_MUTATION_SEED", &ok));
        if (!ok) seed = 20241207;

        std::vector<std::vector<Tok>> bases;
        for (const QString &s : statements) bases.push_back(cut(s));
        Mutator mutator(seed);
        QRandomGenerator pickBase(seed ^ 0x5eedu);
        int checkedUpTo = 0;
        for (int i = 1; i <= count; ++i) {
            const Mutation m = mutator.mutate(bases[pickBase.bounded(quint32(bases.size()))]);
            m_where = QString("seed %1, mutation %2 (%3): %4").arg(seed).arg(i).arg(opName(m.op), m.sql().left(400));
            tryOne(m);
            // Rolled back writes and reads leave the database as it was.
            if (i % 1000 == 0 || i == count) {
                const QString now = db.dump();
                if (now != before) {
                    m_where = QString("seed %1, mutations %2 to %3").arg(seed).arg(checkedUpTo + 1).arg(i);
                    fail("the database changed behind the mutations");
                    before = now;
                }
                checkedUpTo = i;
            }
        }
        m_db = nullptr;
        qInfo("%d mutations (seed %u): %d refused by the parser, %d by the translator; %d reached the engine "
              "(%d ran, %d refused by the engine); %d stored literals read back",
              m_fig.tried, seed, m_fig.refusedByParser, m_fig.refusedByTranslator, m_fig.reachedEngine, m_fig.ran,
              m_fig.refusedByEngine, m_fig.readBack);
        for (const auto &[op, n] : m_fig.byOp)
            qInfo("  %s: %d tried, %d reached the engine", opName(Mutation::Op(op)), n.first, n.second);
        QVERIFY2(m_failures.isEmpty(), qPrintable(m_failures.join("\n")));
        // The mutations must reach the engine, not stop at the parser.
        QVERIFY(m_fig.reachedEngine > count / 4);
        QVERIFY(m_fig.readBack > count / 50);
    }
};

QTEST_GUILESS_MAIN(TestMutations)
#include "tst_mutations.moc"
