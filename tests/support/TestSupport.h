#pragma once
// Shared helpers of the tests.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace testsupport {
// The folder the build places the program's resources in (pictures, schema, settings), ending in "/".
inline QString resourcesDir() { return QStringLiteral(TEST_RESOURCES_DIR); }

// The description of the ado::Error that `f` raises; "" when it raises none.
QString errorOf(const std::function<void()> &f);

// Fails statements through the connections' statement hook while it lives:
// the `nth` statement (1-based) that begins with one of `prefixes`, or every
// such statement when nth is 0. Letter case, runs of blanks and the optional
// words (DELETE [FROM], INSERT [INTO]) don't count; an empty prefix matches
// every statement. The failure's description is `message`.
class StatementFailer {
public:
    explicit StatementFailer(const QStringList &prefixes, int nth = 1,
                             const QString &message = QStringLiteral("injected failure"));
    explicit StatementFailer(const QString &prefix, int nth = 1,
                             const QString &message = QStringLiteral("injected failure"))
        : StatementFailer(QStringList{prefix}, nth, message)
    {
    }
    ~StatementFailer();
    StatementFailer(const StatementFailer &) = delete;
    StatementFailer &operator=(const StatementFailer &) = delete;
    int matched() const;  // statements seen that matched the prefix
    bool fired() const;   // whether a statement was failed
    // The statements that matched, in the order they came (the failed one last
    // once fired); nth = INT_MAX only records them.
    QStringList seen() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

}  // namespace testsupport
