// Filling a grid from a query.
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Grid.h"

#include <exception>

bool LoadGridData(vb::Grid &Grid, const QString &SQL, QString &ErrText, bool ShowCount)
{
    try {
        ado::Recordset rs;
        rs.Open(SQL, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        Grid.Clear();
        const long count = rs.RecordCount();
        if (count > 0) {
            // The grid shows the recordset's rows in place, field names as its header.
            Grid.bind(rs.result());
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
