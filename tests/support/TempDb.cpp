#include "TempDb.h"

#include "TestSupport.h"
#include "db/Engine.h"

namespace testsupport {

TempDb::TempDb()
{
    if (!m_dir.isValid()) throw ado::Error(QStringLiteral("Cannot make a temporary folder for the test database."));
    m_path = m_dir.filePath(QStringLiteral("library.db"));
    ado::ConnectionInfo info = ado::ConnectionInfo::fromSettings(settings());
    ado::CreateDatabase(info, schemaDir());
}

TempDb::~TempDb()
{
    if (m_conn) m_conn->Close();
}

QString TempDb::schemaDir() { return resourcesDir() + QStringLiteral("Schema/"); }

QString TempDb::settings() const { return QStringLiteral("sqlite|u|p|") + m_path; }

QString TempDb::connectionString() const
{
    return QStringLiteral("Driver={SQL Server};Server=sqlite;UID=u;PWD=p;Database=") + m_path;
}

ado::Connection &TempDb::conn()
{
    if (!m_conn) {
        m_conn = std::make_unique<ado::Connection>();
        m_conn->ConnectionTimeout = 1;
        m_conn->Open(connectionString());
    }
    return *m_conn;
}

void TempDb::exec(const QStringList &statements)
{
    for (const QString &s : statements) conn().Execute(s);
}

}  // namespace testsupport

namespace testsupport {

QList<QStringList> TempDb::rows(const QString &select)
{
    ado::Recordset rs;
    rs.Open(select, conn(), ado::adOpenKeyset, ado::adLockReadOnly);
    QList<QStringList> out;
    const ado::ResultSetPtr r = rs.result();
    for (int row = 0; row < r->rowCount(); ++row) {
        QStringList line;
        for (int c = 0; c < r->columnCount(); ++c) line << r->text(row, c);
        out << line;
    }
    return out;
}

QStringList TempDb::header(const QString &select)
{
    ado::Recordset rs;
    rs.Open(select, conn(), ado::adOpenKeyset, ado::adLockReadOnly);
    return rs.FieldNames();
}

QString TempDb::scalar(const QString &select)
{
    const QList<QStringList> r = rows(select);
    return r.isEmpty() || r.first().isEmpty() ? QString() : r.first().first();
}

}  // namespace testsupport
