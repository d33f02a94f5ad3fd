#include "TestSupport.h"

#include "db/Ado.h"

#include <algorithm>

namespace testsupport {

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const ado::Error &e) {
        return e.Description();
    }
    return QString();
}

struct StatementFailer::State {
    QStringList prefixes;
    int nth = 1;
    QString message;
    int matched = 0;
    bool fired = false;
    QStringList seen;
};

namespace {
QString folded(const QString &s)
{
    QString f = s.simplified().toUpper();
    if (f.startsWith(QLatin1String("DELETE FROM "))) f.remove(7, 5);
    if (f.startsWith(QLatin1String("INSERT INTO "))) f.remove(7, 5);
    return f;
}
}  // namespace

StatementFailer::StatementFailer(const QStringList &prefixes, int nth, const QString &message)
    : m_state(std::make_shared<State>())
{
    for (const QString &p : prefixes) m_state->prefixes << folded(p);
    m_state->nth = nth;
    m_state->message = message;
    std::shared_ptr<State> st = m_state;
    ado::Connection::SetStatementHook([st](const QString &statement) {
        const QString f = folded(statement);
        if (std::none_of(st->prefixes.cbegin(), st->prefixes.cend(), [&](const QString &p) { return f.startsWith(p); }))
            return;
        ++st->matched;
        st->seen << statement;
        if (st->nth == 0 || st->matched == st->nth) {
            st->fired = true;
            throw ado::Error(st->message);
        }
    });
}

StatementFailer::~StatementFailer() { ado::Connection::SetStatementHook({}); }

int StatementFailer::matched() const { return m_state->matched; }
bool StatementFailer::fired() const { return m_state->fired; }
QStringList StatementFailer::seen() const { return m_state->seen; }

}  // namespace testsupport
