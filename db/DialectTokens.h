#pragma once
// The server dialect cut into tokens: names (bare, [bracketed] or "quoted"),
// text literals ('...', N'...'), numbers, operators and "?" placeholders.
// Comments are dropped; a second statement after ";" is refused.
#include <QSet>
#include <QString>
#include <vector>

namespace dialect::detail {

enum class TokenType { End, Ident, QIdent, String, Number, Op, Param };

struct Tok {
    TokenType type = TokenType::End;
    QString text;  // a name without its brackets or quotes, a literal's value, the operator
    int pos = 0;   // where it starts in the statement
};

std::vector<Tok> tokenize(const QString &sql);
// The words that can't stand as a bare name (upper case).
const QSet<QString> &reservedWords();
[[noreturn]] void syntaxError(const QString &near);

}  // namespace dialect::detail
