// Filling a grid from a query.
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "db/PagedResult.h"
#include "ui/Grid.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <exception>
#include <functional>

namespace {

// A list longer than its first part, shown before it is counted: the rows read
// so far until the count is in, then the count's.
class CountedLater final : public ado::ResultSet {
public:
    explicit CountedLater(std::shared_ptr<const ado::PagedResult> rows) : m_rows(std::move(rows)) { }
    int rowCount() const override { return m_rows->counted() ? m_rows->rowCount() : m_rows->knownRows(); }
    bool hasRow(int row) const override { return row >= 0 && row < rowCount() && m_rows->hasRow(row); }
    int columnCount() const override { return m_rows->columnCount(); }
    QString columnName(int col) const override { return m_rows->columnName(col); }
    bool isNull(int row, int col) const override { return m_rows->isNull(row, col); }
    QVariant value(int row, int col) const override { return m_rows->value(row, col); }
    QString text(int row, int col) const override { return m_rows->text(row, col); }
    qint64 memoryBytes() const override { return m_rows->memoryBytes(); }
    const ado::PagedResult &rows() const { return *m_rows; }

private:
    std::shared_ptr<const ado::PagedResult> m_rows;
};

// Runs a step once what waits to be painted is painted: posted behind the
// window's paint request (both at low priority, in the order posted), and
// that request sent first should it come later. The step goes with its grid.
class AfterPaint final : public QObject {
public:
    AfterPaint(vb::Grid *grid, std::function<void()> step) : QObject(grid), m_step(std::move(step))
    {
        QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority);
    }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User) return QObject::event(e);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const std::function<void()> step = std::move(m_step);
        deleteLater();
        step();
        return true;
    }

private:
    std::function<void()> m_step;
};

QString CountTip(long count) { return QStringLiteral("共有 ") + QString::number(count) + QStringLiteral(" 条记录"); }

}  // namespace

// The first screen is shown before the rows are counted: counting every
// matching row of a large table costs more than reading a screenful from its
// index, and a find runs at every keystroke. The count comes in on the same
// thread once the screen is painted, unless a newer list has taken the grid's
// place by then; the grid's rows and the status bar then follow it.
bool LoadGridData(vb::Grid &Grid, const QString &SQL, QString &ErrText, bool ShowCount, const QString &CountSQL)
{
    try {
        ado::Recordset rs;
        rs.Open(SQL, SQLConn(), ado::adOpenForwardOnly, ado::adLockReadOnly);
        ado::ResultSetPtr rows = rs.result();
        std::shared_ptr<const CountedLater> later;
        if (auto paged = std::dynamic_pointer_cast<const ado::PagedResult>(rows); paged && !paged->counted())
            rows = later = std::make_shared<CountedLater>(paged);
        const long count = rows ? rows->rowCount() : 0;
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
        if (!later) {
            if (ShowCount) ShowSBarTip(CountTip(count));
            return true;
        }
        QPointer<vb::Grid> grid(&Grid);
        new AfterPaint(&Grid, [grid, later, ShowCount, CountSQL] {
            if (!grid || grid->boundResult() != later) return;  // a newer list took its place
            try {
                qint64 given = -1;
                if (!CountSQL.isEmpty()) {
                    // How many rows there are, the caller's statement says.
                    ado::Recordset counted;
                    counted.Open(CountSQL, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
                    given = counted.Fields(0).toLongLong();
                }
                later->rows().countNow(given);
            } catch (const std::exception &) {
                // The rows shown stay; a list that can't be counted now gets no count.
                return;
            }
            if (!grid || grid->boundResult() != later) return;
            grid->followRowCount();
            if (ShowCount) ShowSBarTip(CountTip(later->rowCount()));
        });
        return true;
    } catch (const std::exception &e) {
        Grid.setRows(2);
        ErrText = ErrorText(e);
    }
    return false;
}
