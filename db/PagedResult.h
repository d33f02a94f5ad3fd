#pragma once
// A SELECT's rows read as they are asked for. The first rows come with the
// result; the rest are read in parts that double in size (up to a cap) when
// a reader reaches them, each part by the statement with LIMIT and OFFSET, so
// a grid showing the first screen of a million rows reads a screenful, and a
// reader walking every row reads each about twice at most.
//
// The count is taken when the result is made, or, for a forward-only read,
// when it is first asked for: then every row is read at once, unless the
// reader counts it first (countNow), which a grid does once its first screen
// is painted. Parts read
// later see the data as it is then: rows another desk changed meanwhile show
// their new values, and where the rows read and the count disagree, the rows
// win and the count follows them: a part that comes back short ends the
// result there (the parts are read in one total order), and the last part is
// read to the end, past the count when more rows are there.
//
// No row reads as Null for not being read. A part that can't be read now
// (the server does not answer, the file is locked, the engine is gone) ends
// the rows before it for the time being: the failure is told once
// (takeReadFailure), the part is left unread, and readAgain tries it anew
// at the next access.
#include "db/Ado.h"
#include "db/Dialect.h"

#include <memory>
#include <vector>

namespace ado {

class Engine;
namespace store {
class StoredResult;
}

class PagedResult final : public ResultSet {
public:
    PagedResult(std::weak_ptr<Engine> engine, dialect::Translation tr, std::shared_ptr<store::StoredResult> first,
                qint64 count);

    int rowCount() const override;
    bool hasRow(int row) const override;
    int columnCount() const override;
    QString columnName(int col) const override;
    bool isNull(int row, int col) const override;
    QVariant value(int row, int col) const override;
    QString text(int row, int col) const override;
    qint64 memoryBytes() const override;
    QString takeReadFailure() const override;
    bool rowsUnread() const override { return m_unreadFrom >= 0; }
    void readAgain() const override;

    // A forward-only read's rows read so far, without reading any more; the
    // count once it is taken.
    int knownRows() const { return m_rows; }
    bool counted() const { return m_counted; }
    // Counts a forward-only read now, by `given` where the caller knows it
    // (not negative), else by the engine; the rows after the first part are
    // then read in parts as they are asked for, as when the count came with
    // the result. Nothing for a result counted already. A count that fails
    // raises ado::Error and leaves the result as it was.
    void countNow(qint64 given = -1) const;

    // The biggest part read at once.
    static constexpr qint64 kLargestPart = 65536;

private:
    // The part holding `row`, read when first needed; the row within it.
    const store::StoredResult *part(int row, int &inPart) const;
    // A forward-only read's rows after the first part, all of them.
    void readTheRest() const;
    // The parts of `count` rows, the first read already.
    void layOut(qint64 count) const;
    // Rows from `row` on could not be read, for `why`.
    void unreadFrom(qint64 row, const QString &why) const;
    // The rows read from `offset` on, at most `limit` (all when negative);
    // null, the failure kept, when they can't be read.
    std::shared_ptr<store::StoredResult> read(qint64 limit, qint64 offset) const;

    std::weak_ptr<Engine> m_engine;
    dialect::Translation m_tr;
    mutable int m_rows = 0;
    mutable bool m_counted = true;
    // Part p holds the rows from m_starts[p] on; null until read.
    mutable std::vector<std::shared_ptr<store::StoredResult>> m_parts;
    mutable std::vector<qint64> m_starts;
    // The first row that could not be read (-1: none), and why, until told.
    mutable qint64 m_unreadFrom = -1;
    mutable QString m_failure;
    // A forward-only read's rest that could not be read.
    mutable bool m_restUnread = false;
};

}  // namespace ado
