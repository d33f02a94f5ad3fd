#include "db/PagedResult.h"

#include "db/Engine.h"
#include "db/ResultStore.h"
#include "db/ServerMessages.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace ado {

PagedResult::PagedResult(std::weak_ptr<Engine> engine, dialect::Translation tr,
                         std::shared_ptr<store::StoredResult> first, qint64 count)
    : m_engine(std::move(engine)), m_tr(std::move(tr))
{
    // The first part as read; a forward-only read (no count) reads the rest when asked for.
    m_rows = first->rows;
    m_counted = false;
    m_starts.push_back(0);
    m_parts.push_back(std::move(first));
    if (count >= 0) layOut(count);
}

void PagedResult::layOut(qint64 count) const
{
    std::shared_ptr<store::StoredResult> first = std::move(m_parts.front());
    m_parts.clear();
    m_starts.clear();
    m_rows = int(std::min<qint64>(std::max<qint64>(count, first->rows), std::numeric_limits<int>::max()));
    // The first part as read; then parts twice as big as the one before, up to the cap.
    qint64 start = 0, size = std::max(1, first->rows);
    while (start < m_rows) {
        m_starts.push_back(start);
        start += size;
        size = std::min(size * 2, kLargestPart);
    }
    if (m_starts.empty()) m_starts.push_back(0);
    m_parts.resize(m_starts.size());
    m_parts[0] = std::move(first);
    m_counted = true;
}

void PagedResult::countNow(qint64 given) const
{
    if (m_counted) return;
    if (given < 0) {
        const std::shared_ptr<Engine> engine = m_engine.lock();
        if (!engine) throw Error(msg::connectionUnusable());
        given = engine->count(m_tr);
    }
    layOut(given);
}

int PagedResult::rowCount() const
{
    if (!m_counted) readTheRest();
    return m_unreadFrom >= 0 ? int(std::min<qint64>(m_unreadFrom, m_rows)) : m_rows;
}

bool PagedResult::hasRow(int row) const
{
    if (row < 0) return false;
    if (m_unreadFrom >= 0 && row >= m_unreadFrom) return false;
    return row < m_rows || rowCount() > row;
}

void PagedResult::unreadFrom(qint64 row, const QString &why) const
{
    // The rows shown end at the first not read: no row is blank, and nothing
    // more is tried (each try may wait out the time-out) until readAgain.
    for (size_t p = 0; p < m_parts.size() && m_starts[p] < row; ++p)
        if (!m_parts[p]) {
            row = m_starts[p];
            break;
        }
    if (m_unreadFrom < 0 || row < m_unreadFrom) m_unreadFrom = row;
    if (m_failure.isEmpty()) m_failure = why;
}

std::shared_ptr<store::StoredResult> PagedResult::read(qint64 limit, qint64 offset) const
{
    const std::shared_ptr<Engine> engine = m_engine.lock();
    try {
        if (!engine) throw Error(msg::connectionUnusable());
        return engine->select(m_tr, limit, offset);
    } catch (const Error &e) {
        unreadFrom(offset, e.Description());
    } catch (const std::exception &e) {
        unreadFrom(offset, QString::fromUtf8(e.what()));
    }
    return nullptr;
}

QString PagedResult::takeReadFailure() const { return std::exchange(m_failure, QString()); }

void PagedResult::readAgain() const
{
    m_unreadFrom = -1;
    if (m_restUnread) {
        m_restUnread = false;
        m_counted = false;
    }
}

void PagedResult::readTheRest() const
{
    m_counted = true;
    const std::shared_ptr<store::StoredResult> rest = read(-1, m_rows);
    if (!rest) {
        m_restUnread = true;
        return;
    }
    if (rest->rows == 0) return;
    m_starts.push_back(m_rows);
    m_parts.push_back(rest);
    m_rows += rest->rows;
}

int PagedResult::columnCount() const { return int(m_tr.columnNames.size()); }

QString PagedResult::columnName(int col) const { return m_tr.columnNames.value(col); }

const store::StoredResult *PagedResult::part(int row, int &inPart) const
{
    if (!m_counted && row >= m_rows) readTheRest();
    if (row < 0 || row >= m_rows || (m_unreadFrom >= 0 && row >= m_unreadFrom)) return nullptr;
    const size_t p = size_t(std::upper_bound(m_starts.begin(), m_starts.end(), qint64(row)) - m_starts.begin()) - 1;
    if (!m_parts[p]) {
        const bool last = p + 1 == m_starts.size();
        const qint64 end = last ? m_rows : m_starts[p + 1];
        // The last part reads to the end, whatever the count said.
        std::shared_ptr<store::StoredResult> got = read(last ? -1 : end - m_starts[p], m_starts[p]);
        if (!got) return nullptr;  // left unread: tried again after readAgain
        if (got->rows != end - m_starts[p] && (last || got->rows < end - m_starts[p])) {
            // The rows read win over the count: fewer than the part should
            // hold are all the rows there are now (the order is total), more
            // in the last part are rows the count missed.
            m_rows = int(std::min<qint64>(m_starts[p] + got->rows, std::numeric_limits<int>::max()));
            m_starts.resize(p + 1);
            m_parts.resize(p + 1);
        }
        m_parts[p] = std::move(got);
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
