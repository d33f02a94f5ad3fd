// The tables a translation is checked against, as the engine reads them.
#include "db/Dialect.h"
#include "db/ServerMessages.h"

#include <utility>

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

TableInfo *Catalog::find(const QString &n) { return const_cast<TableInfo *>(std::as_const(*this).find(n)); }

void defineComputedColumns(Catalog &catalog, const QString &definitions)
{
    QStringList joined;
    for (QString line : definitions.split(QLatin1Char('\n'))) {
        const int comment = line.indexOf(QLatin1String("--"));
        if (comment >= 0) line.truncate(comment);
        if (line.trimmed().isEmpty()) continue;
        if (line.at(0).isSpace() && !joined.isEmpty())
            joined.last() += QLatin1Char(' ') + line.trimmed();
        else
            joined << line.trimmed();
    }
    for (const QString &def : joined) {
        const int eq = def.indexOf(QLatin1Char('='));
        const QString target = def.left(eq).trimmed();
        const int dot = target.indexOf(QLatin1Char('.'));
        if (eq < 0 || dot < 0) throw ado::Error(ado::msg::computedColumnDefinition(def));
        TableInfo *table = catalog.find(target.left(dot));
        if (!table) continue;
        const int c = table->findColumn(target.mid(dot + 1));
        if (c < 0) continue;
        ColumnInfo &col = table->columns[size_t(c)];
        if (!col.generated) throw ado::Error(ado::msg::computedColumnStored(target));
        col.computedAs = def.mid(eq + 1).trimmed();
    }
}

}  // namespace dialect
