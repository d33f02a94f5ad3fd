#include "db/ResultStore.h"

#include "db/ServerMessages.h"

#include <QDateTime>
#include <algorithm>
#include <limits>

namespace ado::store {

using dialect::Kind;

void StoredColumn::addNull(size_t row)
{
    m_nulls.setZeroedSize((row >> 6) + 1);
    m_nulls.at(row >> 6) |= uint64_t(1) << (row & 63);
    switch (m_store) {
    case Nulls: break;
    case Int32: m_i32.push(0); break;
    case Int64: m_i64.push(0); break;
    case Real: m_real.push(0); break;
    case Text:
    case Blob:
        keepEnds(row);
        m_ends.push(uint32_t(m_bytes.size()));
        break;
    case Mixed:
        m_tags.push(CNull);
        m_ends.push(uint32_t(m_bytes.size()));
        break;
    }
}

void StoredColumn::fit()
{
    m_nulls.fit();
    m_i32.fit();
    m_i64.fit();
    m_real.fit();
    m_ends.fit();
    m_bytes.fit();
    m_tags.fit();
}

void StoredColumn::addInt(qint64 v, size_t row)
{
    if (m_store == Nulls) start(v == qint32(v) ? Int32 : Int64, row);
    if (m_store == Int32) {
        if (v == qint32(v)) return m_i32.push(qint32(v));
        // A value too wide for the column: widen what it holds.
        for (size_t r = 0; r < m_i32.size(); ++r) m_i64.push(m_i32[r]);
        m_i32.release();
        m_store = Int64;
    }
    if (m_store == Int64) return m_i64.push(v);
    toMixed(row);
    addMixed(CInt, &v, 8);
}

void StoredColumn::addReal(double d, size_t row)
{
    if (m_store == Nulls) start(Real, row);
    if (m_store == Real) return m_real.push(d);
    toMixed(row);
    addMixed(CReal, &d, 8);
}

void StoredColumn::addBytes(CellType type, const void *p, size_t n, size_t row)
{
    const Store s = type == CText ? Text : Blob;
    if (m_store == Nulls) {
        start(s, row);
        if (row == 0 && n <= size_t(std::numeric_limits<qint32>::max())) m_width = qint32(n);
    }
    if (m_store != s) {
        toMixed(row);
        return addMixed(type, p, n);
    }
    if (m_width >= 0 && n != size_t(m_width)) keepEnds(row);
    m_bytes.append(p, n);
    const uint32_t end = endOffset();
    if (m_width < 0) m_ends.push(end);
}

void StoredColumn::start(Store s, size_t row)
{
    m_store = s;
    switch (s) {
    case Int32: m_i32.appendZeros(row); break;
    case Int64: m_i64.appendZeros(row); break;
    case Real: m_real.appendZeros(row); break;
    default: m_ends.appendZeros(row); break;
    }
}

void StoredColumn::keepEnds(size_t rows)
{
    if (m_width < 0) return;
    for (size_t r = 1; r <= rows; ++r) m_ends.push(uint32_t(r * size_t(m_width)));
    m_width = -1;
}

void StoredColumn::addMixed(CellType type, const void *p, size_t n)
{
    m_tags.push(type);
    m_bytes.append(p, n);
    m_ends.push(endOffset());
}

uint32_t StoredColumn::endOffset() const
{
    if (m_bytes.size() > std::numeric_limits<uint32_t>::max()) throw Error(ado::msg::resultTooLarge());
    return uint32_t(m_bytes.size());
}

void StoredColumn::toMixed(size_t rows)
{
    if (m_store == Mixed) return;
    const Store was = m_store;
    m_store = Mixed;
    if (was == Text || was == Blob || was == Nulls) {
        keepEnds(rows);
        if (was == Nulls) m_ends.appendZeros(rows);
        for (size_t r = 0; r < rows; ++r) m_tags.push(isNull(r) ? CNull : was == Text ? CText : CBlob);
        return;
    }
    for (size_t r = 0; r < rows; ++r) {
        if (isNull(r)) {
            m_tags.push(CNull);
            m_ends.push(uint32_t(m_bytes.size()));
            continue;
        }
        if (was == Real) {
            const double d = m_real[r];
            addMixed(CReal, &d, 8);
        } else {
            const qint64 v = was == Int32 ? qint64(m_i32[r]) : m_i64[r];
            addMixed(CInt, &v, 8);
        }
    }
    m_i32.release();
    m_i64.release();
    m_real.release();
}

void StoredColumn::span(size_t row, Cell &c) const
{
    if (m_width >= 0) {
        c.p = m_bytes.data() + row * size_t(m_width);
        c.n = size_t(m_width);
        return;
    }
    const uint32_t begin = row ? m_ends[row - 1] : 0;
    c.p = m_bytes.data() + begin;
    c.n = m_ends[row] - begin;
}

QVariant readForm(Kind kind, const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull()) return QVariant();
    switch (kind) {
    case Kind::Money:
        if (stored.typeId() == QMetaType::LongLong || stored.typeId() == QMetaType::Int)
            return double(stored.toLongLong()) / 10000.0;
        return stored;
    case Kind::Date: {
        const QDateTime d = QDateTime::fromString(stored.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return d.isValid() ? QVariant(d) : stored;
    }
    default: return stored;
    }
}

qint64 StoredResult::memoryBytes() const
{
    qint64 b = locators.memoryBytes() + qint64(cols.capacity() * sizeof(StoredColumn));
    for (const StoredColumn &c : cols) b += c.memoryBytes();
    return b;
}

namespace {

// A text cell as a QString; an empty text stays distinct from Null.
QString utf8Text(const Cell &c)
{
    if (c.n == 0) return QString(QLatin1String(""));
    return QString::fromUtf8(c.p, qsizetype(c.n));
}

QVariant cellValue(const Cell &c)
{
    switch (c.type) {
    case CInt: return qlonglong(c.i);
    case CReal: return c.d;
    case CText: return utf8Text(c);
    case CBlob: return c.n ? QByteArray(c.p, qsizetype(c.n)) : QByteArray();
    default: return QVariant();
    }
}

}  // namespace

QVariant StoredResult::raw(int row, int col) const { return cellValue(cols[size_t(col)].at(size_t(row))); }

QVariant StoredResult::locator(int row) const
{
    const auto moved = m_moved.find(row);
    return moved != m_moved.end() ? moved->second : cellValue(locators.at(size_t(row)));
}

QString StoredResult::text(int row, int col) const
{
    const Cell c = cols[size_t(col)].at(size_t(row));
    const Kind k = kinds[size_t(col)];
    switch (c.type) {
    case CInt:
        if (k == Kind::Money) return dialect::moneyPlain(c.i);
        return QString::number(c.i);
    case CReal: return QString::number(k == Kind::Money ? c.d / 10000.0 : c.d, 'g', 15);
    case CText:
        if (k == Kind::Date) return dialect::dateDisplay(utf8Text(c));
        return utf8Text(c);
    default: return QString();
    }
}

void StoredResult::fit()
{
    for (StoredColumn &c : cols) c.fit();
    locators.fit();
}

}  // namespace ado::store
