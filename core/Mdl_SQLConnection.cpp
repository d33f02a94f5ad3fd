#include "core/Mdl_SQLConnection.h"

#include "core/Mdl_ComVarList.h"
#include "core/Refusal.h"
#include "db/Dialect.h"
#include "db/Engine.h"
#include "db/SchemaVersion.h"
#include "ui/Runtime.h"

namespace {

// Every blank around a value, as the windows trim: a key typed with a
// full-width space or a tab after it is the same key.
QString trimSpaces(const QString &s) { return vb::Trim(s); }

// A stored date-time as "yyyy-mm-dd hh:nn:ss"; empty when the value is empty.
QString dateTimeText(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) return QString();
    if (v.metaType().id() == QMetaType::QDateTime)
        return vb::Format(v.toDateTime(), QStringLiteral("yyyy-mm-dd hh:nn:ss"));
    if (v.metaType().id() == QMetaType::QDate)
        return vb::Format(QDateTime(v.toDate(), QTime(0, 0)), QStringLiteral("yyyy-mm-dd hh:nn:ss"));
    const QString s = v.toString().trimmed();
    if (s.isEmpty()) return QString();
    const QDateTime dt = vb::CDate(s);
    return dt.isValid() ? vb::Format(dt, QStringLiteral("yyyy-mm-dd hh:nn:ss")) : s;
}

QString nowStamp()
{
    const QDateTime now = vb::Now();
    return vb::Format(now, QStringLiteral("yyyy-mm-dd")) + QLatin1Char(' ')
           + vb::Format(now, QStringLiteral("hh:nn:ss"));
}

}  // namespace

namespace {
QString g_loginWriteError;
QString g_readError;
QString g_loginRefusal;

bool isDisabled(const QVariant &status)
{
    return !status.isNull() && vb::Trim(status.toString()) == QStringLiteral("停用");
}

long accountAdministrators()
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT COUNT(*) AS 数量 FROM 账户, 账户类型 WHERE 账户.账户类型 = 账户类型.账户类型 AND "
                           "账户类型.修改账户权限 = 1 AND (账户.状态 IS NULL OR 账户.状态 <> '停用')"),
            SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    return rs.EOF_() ? 0 : rs.Fields(QStringLiteral("数量")).toInt();
}
}  // namespace

QString CheckLoginRefusal() { return g_readError.isEmpty() ? g_loginRefusal : g_readError; }

long LockAccountAdministrators()
{
    ado::Recordset types;
    types.Open(QStringLiteral("SELECT 账户类型 FROM 账户类型 WITH (UPDLOCK) ORDER BY 账户类型"), SQLConn(),
               ado::adOpenKeyset, ado::adLockReadOnly);
    types.Close();
    return accountAdministrators();
}

void RequireAccountAdministrator(long before)
{
    if (before > 0 && accountAdministrators() == 0)
        throw Refusal{QStringLiteral("保存后将没有任何正常状态的账户拥有“修改账户权限”，本次修改未保存！\r\n"
                                     "请至少保留一个正常状态的账户，其账户类型拥有修改账户权限。")};
}

QString CheckLoginWriteError() { return g_loginWriteError; }

QString CheckReadError() { return g_readError; }

QString PowerRefusedText() { return g_readError.isEmpty() ? QStringLiteral("您没有权限完成当前操作！") : g_readError; }

ado::Connection &SQLConn()
{
    static ado::Connection *conn = new ado::Connection();
    return *conn;
}

void OpenSQLConnection(ado::Connection &Conn, const QString &ServerName, const QString &LoginName,
                       const QString &LoginPassword, const QString &DBName)
{
    // A value holding ";" would end early and the rest read as another key
    // ("PWD=a;b" loses the database): such a value goes in braced.
    QString cs = QStringLiteral("Driver={SQL Server};Server=") + ado::ConnectionValue(ServerName)
                 + QStringLiteral(";UID=") + ado::ConnectionValue(LoginName) + QStringLiteral(";PWD=")
                 + ado::ConnectionValue(LoginPassword);
    if (!DBName.isEmpty()) cs += QStringLiteral(";Database=") + ado::ConnectionValue(DBName);
    Conn.ConnectionTimeout = 1;
    Conn.Open(cs, QString(), QString());
    ado::RequireCurrentSchema(Conn);  // a database of another version is refused, naming its upgrade
}

bool CheckLogin(const QString &UserName, const QString &UserPassword)
{
    const QString typedName = trimSpaces(UserName);
    bool matched = false;
    bool disabled = false;
    g_readError.clear();
    g_loginRefusal.clear();
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("Select * From 账户"), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        while (!rs.EOF_()) {
            const QVariant name = rs.Fields(QStringLiteral("用户名"));
            const QVariant pwd = rs.Fields(QStringLiteral("密码"));
            if (!name.isNull() && !pwd.isNull() && typedName.compare(name.toString(), Qt::CaseInsensitive) == 0
                && UserPassword == pwd.toString()) {
                matched = true;
                disabled = isDisabled(rs.Fields(QStringLiteral("状态")));
                break;
            }
            rs.MoveNext();
        }
    } catch (const ado::Error &e) {
        g_readError = e.Description();
        return false;
    }
    if (!matched) return false;
    // A disabled account stops working at once: no login, unlock or change of
    // user, and nothing recorded.
    if (disabled) {
        g_loginRefusal = QStringLiteral("该账户已停用，请联系管理员！");
        return false;
    }

    CurUID = typedName;

    // From here on a failing step is skipped; the login stands. The first
    // refused write is kept for the login window to report: a database that
    // can't be written would otherwise only show at the first save.
    g_loginWriteError.clear();
    auto keep = [](const ado::Error &e) {
        if (g_loginWriteError.isEmpty()) g_loginWriteError = e.Description();
    };
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT 最后登录时间 FROM 账户 WHERE 用户名 = ") + SQLQuote(UserName), SQLConn(),
                ado::adOpenDynamic, ado::adLockOptimistic);
        try {
            const QString last = dateTimeText(rs.Fields(QStringLiteral("最后登录时间")));
            if (!last.isEmpty()) LastLogTime = last;
        } catch (const ado::Error &) {
            // No time recorded yet: the login shows none.
        }
        try {
            rs.SetField(QStringLiteral("最后登录时间"), nowStamp());
            rs.Update();
        } catch (const ado::Error &e) {
            keep(e);
        }
    } catch (const ado::Error &) {
        // The last login time is a courtesy: the login goes on without it.
    }
    try {
        SQLConn().Execute(QStringLiteral("INSERT 账户登录 VALUES (") + SQLQuote(UserName) + QStringLiteral(",")
                          + SQLQuote(nowStamp()) + QStringLiteral(")"));
    } catch (const ado::Error &e) {
        keep(e);
    }
    ShowSBarTip(typedName + QStringLiteral("，欢迎使用Veltrane！"));
    return true;
}

bool CheckUserPower(const QString &PowerName)
{
    g_readError.clear();
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM 账户,账户类型 WHERE 用户名 = ") + SQLQuote(CurUID)
                    + QStringLiteral(" AND 账户.账户类型 = 账户类型.账户类型"),
                SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        // No account, or a permission column that does not exist: a refusal like any other.
        if (rs.EOF_() || !rs.HasField(PowerName)) return false;
        const QVariant v = rs.Fields(PowerName);
        if (!v.isValid() || v.isNull()) return false;
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok) return d != 0;
        const QString s = v.toString().trimmed();
        return s.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
    } catch (const ado::Error &e) {
        g_readError = e.Description();
        return false;
    } catch (const std::exception &) {
        return false;
    }
}

QString SQLQuote(const QString &Text, const QString &CaseMode)
{
    QString t = Text;
    if (CaseMode == QLatin1String("L"))
        t = t.toLower();
    else if (CaseMode == QLatin1String("U"))
        t = t.toUpper();
    t = trimSpaces(t);
    // Every embedded apostrophe is doubled, so no value can end the literal early.
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

bool IsSQLDate(const QString &Text)
{
    const QDateTime typed = vb::ToDate(Text);
    if (!typed.isValid()) return false;
    const std::optional<QString> stored = dialect::normalizeDate(Text);
    if (!stored) return false;
    const QDate day = QDate::fromString(stored->left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(stored->mid(11), QStringLiteral("HH:mm:ss"));
    if (time != typed.time()) return false;
    // A time alone lies on each side's own day zero.
    if (typed.date() == QDate(1899, 12, 30)) return day == QDate(1900, 1, 1);
    return day == typed.date();
}
