// The tables a translation is checked against, as the engine reads them.
#include "db/Dialect.h"

namespace dialect {

Kind kindFromDeclaredType(const QString &declaredType)
{
    const QString t = declaredType.trimmed().toUpper();
    if (t.startsWith(QLatin1String("MONEY"))) return Kind::Money;
    if (t.startsWith(QLatin1String("DATETIME")) || t == QLatin1String("DATE")) return Kind::Date;
    if (t.startsWith(QLatin1String("BIT"))) return Kind::Flag;
    if (t.startsWith(QLatin1String("INT")) || t.startsWith(QLatin1String("BIGINT"))
        || t.startsWith(QLatin1String("SMALLINT")))
        return Kind::Int;
    if (t.startsWith(QLatin1String("BLOB")) || t.startsWith(QLatin1String("IMAGE"))) return Kind::Blob;
    if (t.startsWith(QLatin1String("REAL")) || t.startsWith(QLatin1String("FLOAT"))
        || t.startsWith(QLatin1String("DECIMAL")) || t.startsWith(QLatin1String("NUMERIC")))
        return Kind::Decimal;
    return Kind::Text;
}

int TableInfo::findColumn(const QString &n) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(n, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

const TableInfo *Catalog::find(const QString &n) const
{
    for (const TableInfo &t : tables)
        if (t.name.compare(n, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

}  // namespace dialect
