#pragma once
// A SELECT's rows read as they are asked for. The first rows come with the
// result; the rest are read in parts that double in size (up to a cap) when
// a reader reaches them, each part by the statement with LIMIT and OFFSET, so
// a grid showing the first screen of a million rows reads a screenful, and a
// reader walking every row reads each about twice at most.
//
// The count is taken when the result is made, or, for a forward-only read,
// when it is first asked for: then every row is read at once. Parts read
// later see the data as it is then: rows another desk changed meanwhile show
// their new values, and where the rows read and the count disagree, the rows
// win and the count follows them: a part that comes back short ends the
// result there (the parts are read in one total order), and the last part is
// read to the end, past the count when more rows are there. So no counted row
// reads as Null but one that can't be read at all: once the result's engine
// is gone (its connection closed), the rows not read yet read as Null.
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

    // The biggest part read at once.
    static constexpr qint64 kLargestPart = 65536;

private:
    // The part holding `row`, read when first needed; the row within it.
    const store::StoredResult *part(int row, int &inPart) const;
    // A forward-only read's rows after the first part, all of them.
    void readTheRest() const;

    std::weak_ptr<Engine> m_engine;
    dialect::Translation m_tr;
    mutable int m_rows = 0;
    mutable bool m_counted = true;
    // Part p holds the rows from m_starts[p] on; null until read.
    mutable std::vector<std::shared_ptr<store::StoredResult>> m_parts;
    mutable std::vector<qint64> m_starts;
};

}  // namespace ado
