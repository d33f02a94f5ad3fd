#include "db/DialectTokens.h"

#include "db/Ado.h"
#include "db/ServerMessages.h"

namespace dialect::detail {

using ado::Error;

namespace {

bool identStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#') || c.isSurrogate();
}
bool identPart(QChar c) { return identStart(c) || c.isDigit() || c == QLatin1Char('$') || c.isMark(); }

}  // namespace

[[noreturn]] void syntaxError(const QString &near) { throw Error(ado::msg::syntaxErrorNear(near)); }

namespace {

// Cuts one statement into tokens, left to right.
class Lexer {
public:
    explicit Lexer(const QString &sql) : m_sql(sql), m_n(int(sql.size())) { }

    std::vector<Tok> run()
    {
        std::vector<Tok> out;
        bool sawSemicolon = false;
        while (skipBlanksAndComments()) {
            if (sawSemicolon) throw Error(ado::msg::onlyOneStatement());
            Tok tok = next();
            if (tok.type == TokenType::Op && tok.text == QLatin1String(";")) {
                sawSemicolon = true;
                continue;
            }
            out.push_back(tok);
        }
        Tok end;
        end.pos = m_n;
        out.push_back(end);
        return out;
    }

private:
    QChar at(int i) const { return i < m_n ? m_sql[i] : QChar(); }

    // Moves past blanks and comments; false at the end of the text.
    bool skipBlanksAndComments()
    {
        while (m_i < m_n) {
            const QChar c = m_sql[m_i];
            if (c.isSpace()) {
                ++m_i;
            } else if (c == QLatin1Char('-') && at(m_i + 1) == QLatin1Char('-')) {
                while (m_i < m_n && m_sql[m_i] != QLatin1Char('\n')) ++m_i;
            } else if (c == QLatin1Char('/') && at(m_i + 1) == QLatin1Char('*')) {
                const int end = m_sql.indexOf(QLatin1String("*/"), m_i + 2);
                if (end < 0) throw Error(ado::msg::missingCommentEnd());
                m_i = end + 2;
            } else {
                return true;
            }
        }
        return false;
    }

    Tok next()
    {
        Tok tok;
        tok.pos = m_i;
        const QChar c = m_sql[m_i];
        // N'...' is a text literal like '...'.
        if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && at(m_i + 1) == QLatin1Char('\'')) ++m_i;
        const QChar d = m_sql[m_i];
        if (d == QLatin1Char('\'')) {
            tok.type = TokenType::String;
            tok.text = quoted(QLatin1Char('\''), false);
        } else if (d == QLatin1Char('[') || d == QLatin1Char('"')) {
            const QChar close = d == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            tok.type = TokenType::QIdent;
            tok.text = quoted(close, true);
            if (tok.text.isEmpty()) syntaxError(QString(d) + close);
        } else if (d.isDigit() || (d == QLatin1Char('.') && at(m_i + 1).isDigit())) {
            tok.type = TokenType::Number;
            tok.text = number();
        } else if (identStart(d)) {
            const int start = m_i;
            while (m_i < m_n && identPart(m_sql[m_i])) ++m_i;
            tok.type = TokenType::Ident;
            tok.text = m_sql.mid(start, m_i - start);
        } else if (d == QLatin1Char('?')) {
            tok.type = TokenType::Param;
            tok.text = QStringLiteral("?");
            ++m_i;
        } else {
            tok.type = TokenType::Op;
            tok.text = op();
        }
        return tok;
    }

    // A quoted text or name from the opening mark at m_i; the closing mark
    // written twice stands for itself.
    QString quoted(QChar close, bool identifier)
    {
        QString v;
        int j = m_i + 1;
        for (;;) {
            if (j >= m_n) throw Error(ado::msg::unclosedQuote(identifier, v));
            if (m_sql[j] == close) {
                if (at(j + 1) == close) {
                    v += close;
                    j += 2;
                    continue;
                }
                break;
            }
            v += m_sql[j++];
        }
        m_i = j + 1;
        return v;
    }

    // Digits, an optional fraction and an optional exponent.
    QString number()
    {
        const int start = m_i;
        int j = m_i;
        while (j < m_n && m_sql[j].isDigit()) ++j;
        if (at(j) == QLatin1Char('.')) {
            ++j;
            while (j < m_n && m_sql[j].isDigit()) ++j;
        }
        if (at(j) == QLatin1Char('e') || at(j) == QLatin1Char('E')) {
            int k = j + 1;
            if (at(k) == QLatin1Char('+') || at(k) == QLatin1Char('-')) ++k;
            if (at(k).isDigit()) {
                while (k < m_n && m_sql[k].isDigit()) ++k;
                j = k;
            }
        }
        if (j < m_n && identPart(m_sql[j])) syntaxError(m_sql.mid(start, j - start + 1));
        m_i = j;
        return m_sql.mid(start, j - start);
    }

    QString op()
    {
        static const char *twoChar[] = {"<>", "!=", "<=", ">=", "*=", "=*", "!<", "!>"};
        const QString two = m_sql.mid(m_i, 2);
        for (const char *o : twoChar)
            if (two == QLatin1String(o)) {
                m_i += 2;
                return two;
            }
        const QChar c = m_sql[m_i];
        if (!QStringLiteral("(),.;*=<>+-/%").contains(c)) syntaxError(QString(c));
        ++m_i;
        return QString(c);
    }

    const QString &m_sql;
    const int m_n;
    int m_i = 0;
};

}  // namespace

std::vector<Tok> tokenize(const QString &sql) { return Lexer(sql).run(); }

const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),  QStringLiteral("FROM"),      QStringLiteral("WHERE"),    QStringLiteral("GROUP"),
        QStringLiteral("BY"),      QStringLiteral("HAVING"),    QStringLiteral("ORDER"),    QStringLiteral("ASC"),
        QStringLiteral("DESC"),    QStringLiteral("TOP"),       QStringLiteral("DISTINCT"), QStringLiteral("ALL"),
        QStringLiteral("AS"),      QStringLiteral("AND"),       QStringLiteral("OR"),       QStringLiteral("NOT"),
        QStringLiteral("IN"),      QStringLiteral("IS"),        QStringLiteral("NULL"),     QStringLiteral("LIKE"),
        QStringLiteral("BETWEEN"), QStringLiteral("EXISTS"),    QStringLiteral("CASE"),     QStringLiteral("WHEN"),
        QStringLiteral("THEN"),    QStringLiteral("ELSE"),      QStringLiteral("END"),      QStringLiteral("UNION"),
        QStringLiteral("INSERT"),  QStringLiteral("INTO"),      QStringLiteral("VALUES"),   QStringLiteral("UPDATE"),
        QStringLiteral("SET"),     QStringLiteral("DELETE"),    QStringLiteral("JOIN"),     QStringLiteral("ON"),
        QStringLiteral("INNER"),   QStringLiteral("LEFT"),      QStringLiteral("RIGHT"),    QStringLiteral("OUTER"),
        QStringLiteral("FULL"),    QStringLiteral("CROSS"),     QStringLiteral("ESCAPE"),   QStringLiteral("PERCENT"),
        QStringLiteral("WITH"),    QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"),   QStringLiteral("COMPUTE"),
        QStringLiteral("FOR"),     QStringLiteral("OPTION")};
    return words;
}

}  // namespace dialect::detail

namespace dialect {

QStringList splitStatements(const QString &script)
{
    QStringList out;
    QString cur;
    const int n = int(script.size());
    int i = 0;
    auto flush = [&]() {
        if (!cur.trimmed().isEmpty()) out << cur.trimmed();
        cur.clear();
    };
    while (i < n) {
        const QChar c = script[i];
        if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            while (i < n && script[i] != QLatin1Char('\n')) ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            const int end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            cur += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            cur += c;
            ++i;
            while (i < n) {
                cur += script[i];
                if (script[i] == close) {
                    if (i + 1 < n && script[i + 1] == close) {
                        cur += script[i + 1];
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char(';')) {
            flush();
            ++i;
            continue;
        }
        cur += c;
        ++i;
    }
    flush();
    return out;
}

}  // namespace dialect
