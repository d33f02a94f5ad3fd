#pragma once
// Rows read by one statement, held compactly column by column, as every
// engine's result is kept (see ado::ResultSet).
#include "db/Ado.h"
#include "db/Dialect.h"

#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <type_traits>
#include <vector>

namespace ado::store {

// ----------------------------------------------------------------------------
// A read result, stored column by column in the form the engine hands values
// over. A column keeps one store as long as its values agree:
//
//   Int32, Int64  one integer per row (Int32 while every value fits)
//   Real          one double per row
//   Text, Blob    the bytes of all its cells one after the other (text as the
//                 engine's UTF-8) and per row the offset where the cell ends;
//                 no offsets while every cell has the same length and none is
//                 Null (codes, dates)
//   Mixed         values of several types: per row a type byte and an end
//                 offset, integers and doubles as 8 raw bytes among the others
//
// and a bitmap of its Null cells (none while there is no Null). Text becomes a
// QString only when a cell is asked for, as a grid does for the cells it shows.
// ----------------------------------------------------------------------------

enum CellType : uint8_t { CNull = 0, CInt = 1, CReal = 2, CText = 3, CBlob = 4 };

// A growable array of plain values kept with realloc, so that growing a large
// column need not copy it.
template <typename T> class PodArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    PodArray() = default;
    PodArray(const PodArray &) = delete;
    PodArray &operator=(const PodArray &) = delete;
    PodArray(PodArray &&o) noexcept { swap(o); }
    PodArray &operator=(PodArray &&o) noexcept
    {
        swap(o);
        return *this;
    }
    ~PodArray() { std::free(m_p); }

    size_t size() const { return m_n; }
    qint64 bytes() const { return qint64(m_cap * sizeof(T)); }
    const T *data() const { return m_p; }
    T operator[](size_t i) const { return m_p[i]; }

    void push(T v)
    {
        if (m_n == m_cap) grow(m_n + 1);
        m_p[m_n++] = v;
    }
    void append(const void *src, size_t k)
    {
        if (!k) return;
        if (m_n + k > m_cap) grow(m_n + k);
        std::memcpy(static_cast<void *>(m_p + m_n), src, k * sizeof(T));
        m_n += k;
    }
    void appendZeros(size_t k)
    {
        if (!k) return;
        if (m_n + k > m_cap) grow(m_n + k);
        std::memset(static_cast<void *>(m_p + m_n), 0, k * sizeof(T));
        m_n += k;
    }
    void setZeroedSize(size_t n)
    {
        if (n > m_n) appendZeros(n - m_n);
    }
    T &at(size_t i) { return m_p[i]; }
    // Gives back what the doubling left unused.
    void fit()
    {
        if (m_cap == m_n) return;
        if (m_n == 0) {
            PodArray().swap(*this);
            return;
        }
        if (T *p = static_cast<T *>(std::realloc(m_p, m_n * sizeof(T)))) {
            m_p = p;
            m_cap = m_n;
        }
    }
    void release() { PodArray().swap(*this); }

private:
    void swap(PodArray &o) noexcept
    {
        std::swap(m_p, o.m_p);
        std::swap(m_n, o.m_n);
        std::swap(m_cap, o.m_cap);
    }
    void grow(size_t need)
    {
        const size_t cap = std::max({m_cap * 2, need, 4096 / sizeof(T)});
        T *p = static_cast<T *>(std::realloc(m_p, cap * sizeof(T)));
        if (!p) throw std::bad_alloc();
        m_p = p;
        m_cap = cap;
    }

    T *m_p = nullptr;
    size_t m_n = 0, m_cap = 0;
};

// One stored value, as raw() and text() take it apart.
struct Cell {
    CellType type = CNull;
    qint64 i = 0;
    double d = 0;
    const char *p = nullptr;
    size_t n = 0;
};

class StoredColumn {
public:
    enum Store : uint8_t { Nulls, Int32, Int64, Real, Text, Blob, Mixed };

    // The value of row `row`, the next one.
    void addNull(size_t row);
    void addInt(qint64 v, size_t row);
    void addReal(double d, size_t row);
    void addBytes(CellType type, const void *p, size_t n, size_t row);
    // Gives back what the growing left unused.
    void fit();

    qint64 memoryBytes() const
    {
        return m_nulls.bytes() + m_i32.bytes() + m_i64.bytes() + m_real.bytes() + m_ends.bytes() + m_bytes.bytes()
               + m_tags.bytes();
    }

    bool isNull(size_t row) const
    {
        const size_t w = row >> 6;
        return w < m_nulls.size() && (m_nulls[w] >> (row & 63) & 1);
    }

    Cell at(size_t row) const
    {
        Cell c;
        if (isNull(row)) return c;
        switch (m_store) {
        case Int32: c.type = CInt, c.i = m_i32[row]; break;
        case Int64: c.type = CInt, c.i = m_i64[row]; break;
        case Real: c.type = CReal, c.d = m_real[row]; break;
        case Text:
        case Blob:
            c.type = m_store == Text ? CText : CBlob;
            span(row, c);
            break;
        case Mixed:
            c.type = CellType(m_tags[row]);
            span(row, c);
            if (c.type == CInt) std::memcpy(&c.i, c.p, 8);
            if (c.type == CReal) std::memcpy(&c.d, c.p, 8);
            break;
        case Nulls: break;
        }
        return c;
    }

private:
    void span(size_t row, Cell &c) const;

    // The first value of a column whose rows so far were all Null.
    void start(Store s, size_t row);

    // A column of equal lengths gets its offsets once a cell differs.
    void keepEnds(size_t rows);

    void addMixed(CellType type, const void *p, size_t n);

    uint32_t endOffset() const;

    // Rewrites the `rows` cells read so far as a column of mixed types.
    void toMixed(size_t rows);

    Store m_store = Nulls;
    qint32 m_width = -1;         // Text, Blob: the length of every cell, while they agree
    PodArray<uint64_t> m_nulls;  // bit r%64 of word r/64 set: row r is Null
    PodArray<qint32> m_i32;
    PodArray<qint64> m_i64;
    PodArray<double> m_real;
    PodArray<uint32_t> m_ends;  // Text, Blob, Mixed: where each cell's bytes end
    PodArray<char> m_bytes;
    PodArray<uint8_t> m_tags;  // Mixed: the CellType of each row
};

// Stored value -> the value a field reads as.

// Stored value -> the value a field reads as.
QVariant readForm(dialect::Kind kind, const QVariant &stored);

// One result: its fields, their kinds, the stored cells and, for a result
// whose rows can be written back, each row's locator in its table.
class StoredResult final : public ResultSet {
public:
    QStringList names;
    std::vector<dialect::Kind> kinds;
    std::vector<StoredColumn> cols;
    StoredColumn locators;
    int rows = 0;
    bool updatable = false;
    QString table;
    std::vector<int> sourceColumns;

    int rowCount() const override { return rows; }
    int columnCount() const override { return int(names.size()); }
    QString columnName(int col) const override { return names.value(col); }
    qint64 memoryBytes() const override;
    bool isNull(int row, int col) const override { return cols[size_t(col)].isNull(size_t(row)); }
    QVariant raw(int row, int col) const;
    QVariant value(int row, int col) const override { return readForm(kinds[size_t(col)], raw(row, col)); }
    QString text(int row, int col) const override;
    // The locator of row `row` (an integer or a text).
    QVariant locator(int row) const;
    // A row written back can move in its table (PostgreSQL gives it a new
    // ctid): the locator it has now.
    void relocate(int row, const QVariant &locator) const { m_moved[row] = locator; }
    // Gives back what reading left unused; call once all rows are in.
    void fit();

private:
    mutable std::map<int, QVariant> m_moved;
};

}  // namespace ado::store
