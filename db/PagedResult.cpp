#include "db/PagedResult.h"

#include "db/Engine.h"
#include "db/ResultStore.h"

#include <algorithm>
#include <limits>

namespace ado {

PagedResult::PagedResult(std::weak_ptr<Engine> engine, dialect::Translation tr,
                         std::shared_ptr<store::StoredResult> first, qint64 count)
    : m_engine(std::move(engine)), m_tr(std::move(tr))
{
    if (count < 0) {  // forward only: the first part, the rest when asked for
        m_counted = false;
        m_rows = first->rows;
        m_starts.push_back(0);
        m_parts.push_back(std::move(first));
        return;
    }
    m_rows = int(std::min<qint64>(std::max<qint64>(count, first->rows), std::numeric_limits<int>::max()));
    // The first part as read; then parts twice as big as the one before, up to the cap.
    qint64 start = 0, size = std::max(1, first->rows);
    while (start < m_rows) {
        m_starts.push_back(start);
        start += size;
        size = std::min(size * 2, kLargestPart);
    }
    m_parts.resize(m_starts.size());
    if (!m_parts.empty()) m_parts[0] = std::move(first);
}

int PagedResult::rowCount() const
{
    if (!m_counted) readTheRest();
    return m_rows;
}

bool PagedResult::hasRow(int row) const
{
    if (row < 0) return false;
    return row < m_rows || rowCount() > row;
}

void PagedResult::readTheRest() const
{
    m_counted = true;
    std::shared_ptr<store::StoredResult> rest;
    if (const std::shared_ptr<Engine> engine = m_engine.lock()) {
        try {
            rest = engine->select(m_tr, -1, m_rows);
        } catch (...) {
            // Rows that can't be read any more are not there.
        }
    }
    if (!rest || rest->rows == 0) return;
    m_starts.push_back(m_rows);
    m_parts.push_back(rest);
    m_rows += rest->rows;
}

int PagedResult::columnCount() const { return int(m_tr.columnNames.size()); }

QString PagedResult::columnName(int col) const { return m_tr.columnNames.value(col); }

const store::StoredResult *PagedResult::part(int row, int &inPart) const
{
    if (!m_counted && row >= m_rows) readTheRest();
    if (row < 0 || row >= m_rows) return nullptr;
    const size_t p = size_t(std::upper_bound(m_starts.begin(), m_starts.end(), qint64(row)) - m_starts.begin()) - 1;
    if (!m_parts[p]) {
        const bool last = p + 1 == m_starts.size();
        const qint64 end = last ? m_rows : m_starts[p + 1];
        std::shared_ptr<store::StoredResult> read;
        if (const std::shared_ptr<Engine> engine = m_engine.lock()) {
            try {
                // The last part reads to the end, whatever the count said.
                read = engine->select(m_tr, last ? -1 : end - m_starts[p], m_starts[p]);
            } catch (...) {
                // A part that can't be read (the table is gone, the server
                // with it) reads as Null.
            }
        }
        if (read && read->rows != end - m_starts[p] && (last || read->rows < end - m_starts[p])) {
            // The rows read win over the count: fewer than the part should
            // hold are all the rows there are now (the order is total), more
            // in the last part are rows the count missed.
            m_rows = int(std::min<qint64>(m_starts[p] + read->rows, std::numeric_limits<int>::max()));
            m_starts.resize(p + 1);
            m_parts.resize(p + 1);
        }
        if (!read) {
            read = std::make_shared<store::StoredResult>();
            read->names = m_tr.columnNames;
            read->kinds = m_tr.columnKinds;
            read->cols.resize(m_tr.columnNames.size());
        }
        m_parts[p] = read;
        if (row >= m_rows) return nullptr;
    }
    inPart = int(row - m_starts[p]);
    const store::StoredResult *r = m_parts[p].get();
    return inPart < r->rows ? r : nullptr;
}

bool PagedResult::isNull(int row, int col) const
{
    int r = 0;
    const store::StoredResult *p = part(row, r);
    return !p || p->isNull(r, col);
}

QVariant PagedResult::value(int row, int col) const
{
    int r = 0;
    const store::StoredResult *p = part(row, r);
    return p ? p->value(r, col) : QVariant();
}

QString PagedResult::text(int row, int col) const
{
    int r = 0;
    const store::StoredResult *p = part(row, r);
    return p ? p->text(r, col) : QString();
}

qint64 PagedResult::memoryBytes() const
{
    qint64 b = qint64(sizeof(*this) + m_parts.capacity() * sizeof(m_parts[0]) + m_starts.capacity() * sizeof(qint64));
    for (const auto &p : m_parts)
        if (p) b += p->memoryBytes();
    return b;
}

}  // namespace ado
