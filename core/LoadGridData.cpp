// Filling a grid from a query.
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "db/PagedResult.h"
#include "ui/Grid.h"

#include <exception>

namespace {

// Rows read forward (the layer counts nothing), with the count the caller read.
class CountedRows final : public ado::ResultSet {
public:
    CountedRows(ado::ResultSetPtr rows, int count) : m_rows(std::move(rows)), m_count(count) { }
    int rowCount() const override { return m_count; }
    bool hasRow(int row) const override { return row >= 0 && row < m_count; }
    int columnCount() const override { return m_rows->columnCount(); }
    QString columnName(int col) const override { return m_rows->columnName(col); }
    bool isNull(int row, int col) const override { return m_rows->isNull(row, col); }
    QVariant value(int row, int col) const override { return m_rows->value(row, col); }
    QString text(int row, int col) const override { return m_rows->text(row, col); }
    qint64 memoryBytes() const override { return m_rows->memoryBytes(); }

private:
    ado::ResultSetPtr m_rows;
    int m_count;
};

}  // namespace

bool LoadGridData(vb::Grid &Grid, const QString &SQL, QString &ErrText, bool ShowCount, const QString &CountSQL)
{
    try {
        ado::Recordset rs;
        long count = 0;
        ado::ResultSetPtr rows;
        if (CountSQL.isEmpty()) {
            rs.Open(SQL, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
            count = rs.RecordCount();
            rows = rs.result();
        } else {
            rs.Open(SQL, SQLConn(), ado::adOpenForwardOnly, ado::adLockReadOnly);
            rows = rs.result();
            // Rows beyond the first part are there: how many, the caller's statement says.
            if (dynamic_cast<const ado::PagedResult *>(rows.get())) {
                ado::Recordset counted;
                counted.Open(CountSQL, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
                rows = std::make_shared<CountedRows>(rows, counted.Fields(0).toInt());
            }
            count = rows ? rows->rowCount() : 0;
        }
        Grid.Clear();
        if (count > 0) {
            // The grid shows the recordset's rows in place, field names as its header.
            Grid.bind(rows);
        } else {
            // Header row and one empty row.
            Grid.setRows(2);
            Grid.setCols(rs.FieldCount());
            for (int i = 0; i < rs.FieldCount(); ++i) Grid.setTextMatrix(0, i, rs.FieldName(i));
        }
        Grid.setRow(1);
        Grid.setCol(0);
        Grid.setColSel(Grid.Cols() - 1);
        if (ShowCount) ShowSBarTip(QStringLiteral("共有 ") + QString::number(count) + QStringLiteral(" 条记录"));
        return true;
    } catch (const std::exception &e) {
        Grid.setRows(2);
        ErrText = ErrorText(e);
    }
    return false;
}
