#include "db/DialectTokens.h"

#include "db/Ado.h"

namespace dialect::detail {

using ado::Error;

namespace {

bool identStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#') || c.isSurrogate();
}
bool identPart(QChar c) { return identStart(c) || c.isDigit() || c == QLatin1Char('$') || c.isMark(); }

}  // namespace

[[noreturn]] void syntaxError(const QString &near)
{
    throw Error(QStringLiteral("Incorrect syntax near '%1'.").arg(near));
}

std::vector<Tok> tokenize(const QString &sql)
{
    std::vector<Tok> out;
    const int n = int(sql.size());
    int i = 0;
    bool sawSemicolon = false;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n')) ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0) throw Error(QStringLiteral("Missing end comment mark '*/'."));
            i = end + 2;
            continue;
        }
        if (sawSemicolon)
            throw Error(QStringLiteral("Only one statement can be run at a time; the text holds more after ';'."));
        Tok tok;
        tok.pos = i;
        // N'...' is a text literal like '...'.
        if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n && sql[i + 1] == QLatin1Char('\'')) {
            ++i;
        }
        if (sql[i] == QLatin1Char('\'')) {
            QString v;
            int j = i + 1;
            for (;;) {
                if (j >= n)
                    throw Error(QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(v));
                if (sql[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && sql[j + 1] == QLatin1Char('\'')) {
                        v += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                v += sql[j++];
            }
            tok.t = T::String;
            tok.s = v;
            i = j + 1;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            QString v;
            int j = i + 1;
            for (;;) {
                if (j >= n) throw Error(QStringLiteral("Unclosed quotation mark after the identifier '%1'.").arg(v));
                if (sql[j] == close) {
                    if (j + 1 < n && sql[j + 1] == close) {
                        v += close;
                        j += 2;
                        continue;
                    }
                    break;
                }
                v += sql[j++];
            }
            if (v.isEmpty()) syntaxError(QString(c) + close);
            tok.t = T::QIdent;
            tok.s = v;
            i = j + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            int j = i;
            while (j < n && sql[j].isDigit()) ++j;
            if (j < n && sql[j] == QLatin1Char('.')) {
                ++j;
                while (j < n && sql[j].isDigit()) ++j;
            }
            if (j < n && (sql[j] == QLatin1Char('e') || sql[j] == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (sql[k] == QLatin1Char('+') || sql[k] == QLatin1Char('-'))) ++k;
                if (k < n && sql[k].isDigit()) {
                    while (k < n && sql[k].isDigit()) ++k;
                    j = k;
                }
            }
            if (j < n && identPart(sql[j])) syntaxError(sql.mid(i, j - i + 1));
            tok.t = T::Number;
            tok.s = sql.mid(i, j - i);
            i = j;
        } else if (identStart(c)) {
            int j = i;
            while (j < n && identPart(sql[j])) ++j;
            tok.t = T::Ident;
            tok.s = sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('?')) {
            tok.t = T::Param;
            tok.s = QStringLiteral("?");
            ++i;
        } else {
            static const char *twoChar[] = {"<>", "!=", "<=", ">=", "*=", "=*", "!<", "!>"};
            tok.t = T::Op;
            QString two = sql.mid(i, 2);
            bool matched = false;
            for (const char *op : twoChar) {
                if (two == QLatin1String(op)) {
                    tok.s = two;
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                if (QStringLiteral("(),.;*=<>+-/%").contains(c)) {
                    tok.s = QString(c);
                    ++i;
                } else {
                    syntaxError(QString(c));
                }
            }
            if (tok.s == QLatin1String(";")) {
                sawSemicolon = true;
                continue;
            }
        }
        out.push_back(tok);
    }
    Tok end;
    end.pos = n;
    out.push_back(end);
    return out;
}

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
