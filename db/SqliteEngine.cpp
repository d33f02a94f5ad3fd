#include "db/SqliteEngine.h"

#include <QCollator>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <sqlite3.h>
#include <type_traits>

namespace ado {

using dialect::Kind;

namespace {

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

    // Row `row` (the next one) read from column `i` of the statement.
    void add(sqlite3_stmt *st, int i, size_t row)
    {
        switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER: addInt(sqlite3_column_int64(st, i), row); break;
        case SQLITE_FLOAT: addReal(sqlite3_column_double(st, i), row); break;
        case SQLITE_TEXT: {
            const unsigned char *p = sqlite3_column_text(st, i);
            addBytes(CText, p, size_t(sqlite3_column_bytes(st, i)), row);
            break;
        }
        case SQLITE_BLOB: {
            const void *p = sqlite3_column_blob(st, i);
            addBytes(CBlob, p, size_t(sqlite3_column_bytes(st, i)), row);
            break;
        }
        default: addNull(row); break;
        }
    }

    void fit()
    {
        m_nulls.fit();
        m_i32.fit();
        m_i64.fit();
        m_real.fit();
        m_ends.fit();
        m_bytes.fit();
        m_tags.fit();
    }

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
    void span(size_t row, Cell &c) const
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

    // The first value of a column whose rows so far were all Null.
    void start(Store s, size_t row)
    {
        m_store = s;
        switch (s) {
        case Int32: m_i32.appendZeros(row); break;
        case Int64: m_i64.appendZeros(row); break;
        case Real: m_real.appendZeros(row); break;
        default: m_ends.appendZeros(row); break;
        }
    }

    // A column of equal lengths gets its offsets once a cell differs.
    void keepEnds(size_t rows)
    {
        if (m_width < 0) return;
        for (size_t r = 1; r <= rows; ++r) m_ends.push(uint32_t(r * size_t(m_width)));
        m_width = -1;
    }

    void addNull(size_t row)
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

    void addInt(qint64 v, size_t row)
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

    void addReal(double d, size_t row)
    {
        if (m_store == Nulls) start(Real, row);
        if (m_store == Real) return m_real.push(d);
        toMixed(row);
        addMixed(CReal, &d, 8);
    }

    void addBytes(CellType type, const void *p, size_t n, size_t row)
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

    void addMixed(CellType type, const void *p, size_t n)
    {
        m_tags.push(type);
        m_bytes.append(p, n);
        m_ends.push(endOffset());
    }

    uint32_t endOffset() const
    {
        if (m_bytes.size() > std::numeric_limits<uint32_t>::max())
            throw Error(QStringLiteral("The result is too large: one of its columns holds more than 4 GB."));
        return uint32_t(m_bytes.size());
    }

    // Rewrites the `rows` cells read so far as a column of mixed types.
    void toMixed(size_t rows)
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

// A text cell as a QString; an empty text stays distinct from Null.
QString utf8Text(const Cell &c)
{
    if (c.n == 0) return QString(QLatin1String(""));
    return QString::fromUtf8(c.p, qsizetype(c.n));
}

class SqliteResult final : public ResultSet {
public:
    QStringList names;
    std::vector<Kind> kinds;
    std::vector<StoredColumn> cols;
    PodArray<qint64> rowids;
    int rows = 0;
    bool updatable = false;
    QString table;
    std::vector<int> sourceColumns;

    int rowCount() const override { return rows; }
    int columnCount() const override { return int(names.size()); }
    QString columnName(int col) const override { return names.value(col); }
    qint64 memoryBytes() const override
    {
        qint64 b = rowids.bytes() + qint64(cols.capacity() * sizeof(StoredColumn));
        for (const StoredColumn &c : cols) b += c.memoryBytes();
        return b;
    }
    bool isNull(int row, int col) const override { return cols[size_t(col)].isNull(size_t(row)); }

    QVariant raw(int row, int col) const
    {
        const Cell c = cols[size_t(col)].at(size_t(row));
        switch (c.type) {
        case CInt: return qlonglong(c.i);
        case CReal: return c.d;
        case CText: return utf8Text(c);
        case CBlob: return c.n ? QByteArray(c.p, qsizetype(c.n)) : QByteArray();
        default: return QVariant();
        }
    }

    QVariant value(int row, int col) const override { return readForm(kinds[size_t(col)], raw(row, col)); }

    QString text(int row, int col) const override
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

    void read(sqlite3_stmt *st, int visible, bool withRowid)
    {
        cols.resize(size_t(visible));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            for (int i = 0; i < visible; ++i) cols[size_t(i)].add(st, i, size_t(rows));
            if (withRowid) rowids.push(sqlite3_column_int64(st, visible));
            ++rows;
        }
        lastRc = rc;
        for (StoredColumn &c : cols) c.fit();
        rowids.fit();
    }

    int lastRc = SQLITE_DONE;
};

// ----------------------------------------------------------------------------
// Functions the translated statements call
// ----------------------------------------------------------------------------

void resultQString(sqlite3_context *ctx, const QString &s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

// lib_date_text(stored, style, length): CONVERT(varchar(length), date, style)
void fnDateText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int style = sqlite3_value_int(argv[1]);
    const int len = sqlite3_value_int(argv[2]);
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    if ((style == 23 || style == 20 || style == 120) && n >= 19) {
        const int take = std::min(style == 23 ? 10 : 19, len);
        sqlite3_result_text(ctx, s, take, SQLITE_TRANSIENT);
        return;
    }
    resultQString(ctx, dialect::dateText(QString::fromUtf8(s, n), style < 0 ? 0 : style).left(len));
}

// lib_money_text(tenThousandths, style, length): CONVERT(varchar(length), money, style)
void fnMoneyText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 v = type == SQLITE_FLOAT ? std::llround(sqlite3_value_double(argv[0])) : sqlite3_value_int64(argv[0]);
    const int style = sqlite3_value_int(argv[1]);
    const int len = sqlite3_value_int(argv[2]);
    char buf[48];
    int k;
    if (style <= 0) {
        const bool neg = v < 0;
        const unsigned long long a =
            neg ? static_cast<unsigned long long>(-(v + 1)) + 1 : static_cast<unsigned long long>(v);
        const unsigned long long cents = (a + 50) / 100;
        k = std::snprintf(buf, sizeof buf, "%s%llu.%02llu", neg && cents ? "-" : "", cents / 100, cents % 100);
    } else {
        const QByteArray u = dialect::moneyText(v, style).toUtf8();
        k = int(u.size());
        std::memcpy(buf, u.constData(), size_t(std::min<int>(k, sizeof buf - 1)));
    }
    if (k > len) {
        sqlite3_result_error(ctx, "Arithmetic overflow error converting money to data type varchar.", -1);
        return;
    }
    sqlite3_result_text(ctx, buf, k, SQLITE_TRANSIENT);
}

// lib_to_date(text): a text read as a date, normalised; '' gives Null.
void fnToDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    if (s.trimmed().isEmpty()) {
        sqlite3_result_null(ctx);
        return;
    }
    if (auto d = dialect::normalizeDate(s)) {
        resultQString(ctx, *d);
        return;
    }
    sqlite3_result_error(ctx, "Conversion failed when converting date and/or time from character string.", -1);
}

// The server's LIKE: % any run, _ any one character, [abc] [a-z] [^abc] one
// character of (or not of) a set, an optional escape character; letters
// compared without regard to case.
bool likeMatch(const char16_t *p, int pn, const char16_t *s, int sn, int esc)
{
    auto fold = [](char16_t c) { return QChar(c).toCaseFolded().unicode(); };
    int pi = 0, si = 0, starP = -1, starS = -1;
    while (si < sn) {
        if (pi < pn) {
            const char16_t pc = p[pi];
            int len = 1;
            bool matched = false;
            if (esc >= 0 && pc == esc && pi + 1 < pn) {
                matched = fold(p[pi + 1]) == fold(s[si]);
                len = 2;
            } else if (pc == u'%') {
                starP = ++pi;
                starS = si;
                continue;
            } else if (pc == u'_') {
                matched = true;
            } else if (pc == u'[') {
                int close = -1;
                for (int k = pi + 2; k < pn; ++k)
                    if (p[k] == u']') {
                        close = k;
                        break;
                    }
                if (close < 0) {
                    matched = fold(pc) == fold(s[si]);
                } else {
                    int k = pi + 1;
                    const bool negate = p[k] == u'^' && close > k + 1;
                    if (negate) ++k;
                    bool in = false;
                    const char16_t c = fold(s[si]);
                    for (; k < close; ++k) {
                        if (k + 2 < close && p[k + 1] == u'-') {
                            if (c >= fold(p[k]) && c <= fold(p[k + 2])) in = true;
                            k += 2;
                        } else if (fold(p[k]) == c) {
                            in = true;
                        }
                    }
                    matched = in != negate;
                    len = close - pi + 1;
                }
            } else {
                matched = fold(pc) == fold(s[si]);
            }
            if (matched) {
                pi += len;
                ++si;
                continue;
            }
        }
        if (starP < 0) return false;
        pi = starP;
        si = ++starS;
    }
    while (pi < pn && p[pi] == u'%') ++pi;
    return pi == pn;
}

// like(pattern, text[, escape]): "text LIKE pattern [ESCAPE escape]"
void fnLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    int esc = -1;
    if (argc == 3) {
        const auto *e = static_cast<const char16_t *>(sqlite3_value_text16(argv[2]));
        if (sqlite3_value_bytes16(argv[2]) != 2) {
            sqlite3_result_error(ctx, "The escape of LIKE must be a single character.", -1);
            return;
        }
        esc = e[0];
    }
    const auto *p = static_cast<const char16_t *>(sqlite3_value_text16(argv[0]));
    const int pn = sqlite3_value_bytes16(argv[0]) / 2;
    const auto *t = static_cast<const char16_t *>(sqlite3_value_text16(argv[1]));
    const int tn = sqlite3_value_bytes16(argv[1]) / 2;
    sqlite3_result_int(ctx, likeMatch(p, pn, t, tn, esc) ? 1 : 0);
}

// ----------------------------------------------------------------------------
// The text order of ORDER BY (dialect::kTextOrderCollation): the Chinese
// collation of the locale zh_CN without regard to case, taken character by
// character. Every character of the Basic Multilingual Plane gets its rank in
// that collation once per process (about 60,000 characters); two texts then
// compare by the ranks of their characters, first difference deciding, a
// shorter text first. Han characters are ranked after all others (Latin
// letters, digits and signs first, as the server sorts), letters that differ
// only in case share a rank, and characters the collation ignores (controls)
// are skipped. Characters beyond the plane follow all of it, by code point.
// ----------------------------------------------------------------------------

class TextOrder {
public:
    static const TextOrder &instance()
    {
        static const TextOrder order;
        return order;
    }

    int compare(const unsigned char *a, int na, const unsigned char *b, int nb) const
    {
        // Equal bytes are equal characters: start at the character holding the first difference.
        int k = 0;
        const int m = std::min(na, nb);
        while (k < m && a[k] == b[k]) ++k;
        if (k == na && k == nb) return 0;
        while (k > 0 && ((k < na && (a[k] & 0xC0) == 0x80) || (k < nb && (b[k] & 0xC0) == 0x80))) --k;
        int i = k, j = k;
        for (;;) {
            uint32_t ra = 0, rb = 0;
            while (i < na && (ra = next(a, na, i)) == 0) { }
            while (j < nb && (rb = next(b, nb, j)) == 0) { }
            if (ra != rb) return ra < rb ? -1 : 1;
            if (ra == 0) return 0;  // both ended
        }
    }

private:
    TextOrder() : m_rank(0x10000, 0)
    {
        QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<char16_t> chars;
        chars.reserve(0x10000);
        for (uint32_t c = 1; c < 0x10000; ++c)
            if (c < 0xD800 || c > 0xDFFF) chars.push_back(char16_t(c));
        // Each character's sort key once; sorting then compares the keys' bytes.
        std::vector<QCollatorSortKey> keys;
        keys.reserve(0x10000);
        for (uint32_t c = 0; c < 0x10000; ++c) keys.push_back(collator.sortKey(QString(QChar(char16_t(c)))));
        const QCollatorSortKey none = collator.sortKey(QString());
        auto han = [](char16_t c) { return QChar::script(c) == QChar::Script_Han; };
        std::sort(chars.begin(), chars.end(), [&](char16_t x, char16_t y) {
            if (han(x) != han(y)) return han(y);
            const int r = keys[x].compare(keys[y]);
            return r != 0 ? r < 0 : x < y;
        });
        uint32_t rank = 0;
        char16_t prev = 0;
        for (char16_t c : chars) {
            if (keys[c].compare(none) == 0) continue;  // ignored: rank 0
            if (rank == 0 || han(prev) != han(c) || keys[prev].compare(keys[c]) != 0) ++rank;
            m_rank[c] = rank;
            prev = c;
        }
    }

    // The rank of the character at i (UTF-8), moving i past it.
    uint32_t next(const unsigned char *s, int n, int &i) const
    {
        const unsigned char c0 = s[i];
        if (c0 < 0x80) {
            ++i;
            return m_rank[c0];
        }
        int len = c0 >= 0xF0 ? 4 : c0 >= 0xE0 ? 3 : c0 >= 0xC0 ? 2 : 1;
        if (len == 1 || i + len > n) {  // not UTF-8: the byte ranks after every character
            ++i;
            return 0x220000u + c0;
        }
        uint32_t cp = c0 & (0x3F >> (len - 1));
        for (int k = 1; k < len; ++k) {
            const unsigned char ck = s[i + k];
            if ((ck & 0xC0) != 0x80) {
                ++i;
                return 0x220000u + c0;
            }
            cp = (cp << 6) | (ck & 0x3F);
        }
        i += len;
        if (cp < 0x10000) return m_rank[cp] ? m_rank[cp] : (cp >= 0xD800 && cp <= 0xDFFF ? 0x110000u + cp : 0);
        return 0x110000u + cp;
    }

    std::vector<uint32_t> m_rank;
};

int collateText(void *, int na, const void *a, int nb, const void *b)
{
    return TextOrder::instance().compare(static_cast<const unsigned char *>(a), na,
                                         static_cast<const unsigned char *>(b), nb);
}

void fnNow(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultQString(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

// Binds a stored-form value.
void bindValue(sqlite3_stmt *st, int idx, const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(st, idx);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool: sqlite3_bind_int64(st, idx, v.toLongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: sqlite3_bind_double(st, idx, v.toDouble()); break;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray u = v.toString().toUtf8();
        sqlite3_bind_text(st, idx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

QString describeError(sqlite3 *db, int rc)
{
    const int ext = db ? sqlite3_extended_errcode(db) : rc;
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    auto tableAndColumn = [&](const QString &prefix) {
        QString rest = msg.mid(prefix.size()).trimmed();
        const QString first = rest.section(QLatin1Char(','), 0, 0).trimmed();
        return std::make_pair(first.section(QLatin1Char('.'), 0, 0), first.section(QLatin1Char('.'), 1));
    };
    switch (ext) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE: {
        const auto tc = tableAndColumn(QStringLiteral("UNIQUE constraint failed:"));
        return QStringLiteral(
                   "Violation of PRIMARY KEY constraint of table '%1'. Cannot insert duplicate key in column '%2'.")
            .arg(tc.first, tc.second);
    }
    case SQLITE_CONSTRAINT_NOTNULL: {
        const auto tc = tableAndColumn(QStringLiteral("NOT NULL constraint failed:"));
        return QStringLiteral("Cannot insert the value NULL into column '%1', table '%2'; column does not allow nulls.")
            .arg(tc.second, tc.first);
    }
    case SQLITE_CONSTRAINT_CHECK: return QStringLiteral("The value does not fit the column (%1).").arg(msg);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("The database is busy (another program is writing to it); the time-out expired.");
    default: return msg;
    }
}

}  // namespace

// ============================================================================

SqliteEngine::SqliteEngine(sqlite3 *db) : m_db(db) { }

SqliteEngine::~SqliteEngine()
{
    if (m_db) sqlite3_close_v2(m_db);
}

void SqliteEngine::registerFunctions(sqlite3 *db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "lib_date_text", 3, det, nullptr, fnDateText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_money_text", 3, det, nullptr, fnMoneyText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_to_date", 1, det, nullptr, fnToDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_now", 0, SQLITE_UTF8, nullptr, fnNow, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, fnLike, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "like", 3, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, fnLike, nullptr, nullptr,
                               nullptr);
    sqlite3_create_collation_v2(db, dialect::kTextOrderCollation, SQLITE_UTF8, nullptr, collateText, nullptr);
}

[[noreturn]] void SqliteEngine::fail(int rc, const QString &) { throw Error(describeError(m_db, rc)); }

void SqliteEngine::exec(const char *sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        sqlite3_free(err);
        fail(rc);
    }
}

sqlite3_stmt *SqliteEngine::prepare(const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, u.constData(), int(u.size()), &st, nullptr);
    if (rc != SQLITE_OK) fail(rc, sql);
    return st;
}

void SqliteEngine::loadCatalog()
{
    m_catalog.tables.clear();
    sqlite3_stmt *st = prepare(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE "
                                              "'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    QStringList names;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc);
    for (const QString &name : names) {
        dialect::TableInfo t;
        t.name = name;
        QString pragma = name;
        pragma.replace(QLatin1Char('"'), QLatin1String("\"\""));
        sqlite3_stmt *info = prepare(QStringLiteral("PRAGMA table_xinfo(\"%1\")").arg(pragma));
        while (sqlite3_step(info) == SQLITE_ROW) {
            dialect::ColumnInfo c;
            c.name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info, 1)));
            const char *type = reinterpret_cast<const char *>(sqlite3_column_text(info, 2));
            c.kind = dialect::kindFromDeclaredType(QString::fromUtf8(type ? type : ""));
            const int hidden = sqlite3_column_int(info, 6);
            if (hidden == 1) continue;
            c.generated = hidden == 2 || hidden == 3;
            t.columns.push_back(c);
        }
        sqlite3_finalize(info);
        m_catalog.tables.push_back(std::move(t));
    }
}

std::unique_ptr<SqliteEngine> SqliteEngine::open(const QString &path, int timeoutSeconds)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        throw Error(QStringLiteral(
                        "The database file '%1' does not exist. Make it with: librarydb create \"sqlite|UID|PWD|%2\"")
                        .arg(path, fi.completeBaseName()));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = describeError(db, rc);
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("Cannot open the database file '%1': %2").arg(path, msg));
    }
    std::unique_ptr<SqliteEngine> e(new SqliteEngine(db));
    sqlite3_busy_timeout(db, std::max(0, timeoutSeconds) * 1000);
    sqlite3_extended_result_codes(db, 1);
    registerFunctions(db);
    try {
        e->loadCatalog();
    } catch (const Error &err) {
        throw Error(QStringLiteral("Cannot open the database file '%1': %2").arg(path, err.Description()));
    }
    if (e->m_catalog.tables.empty())
        throw Error(
            QStringLiteral(
                "The database file '%1' holds no tables. Make them with: librarydb create \"sqlite|UID|PWD|%2\"")
                .arg(path, fi.completeBaseName()));
    return e;
}

DatabaseState SqliteEngine::probe(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.exists()) return DatabaseState::Missing;
    if (fi.size() == 0) return DatabaseState::Empty;
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = describeError(db, rc);
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("Cannot open the database file '%1': %2").arg(path, msg));
    }
    sqlite3_stmt *st = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_schema WHERE type = 'table'", -1, &st, nullptr);
    int tables = -1;
    if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) tables = sqlite3_column_int(st, 0);
    const QString msg = describeError(db, rc);
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    if (tables < 0) throw Error(QStringLiteral("The file '%1' is not a database: %2").arg(path, msg));
    return tables == 0 ? DatabaseState::Empty : DatabaseState::HasTables;
}

void SqliteEngine::create(const QString &path, const QString &ddl, const QStringList &initialStatements)
{
    const DatabaseState state = probe(path);
    if (state == DatabaseState::HasTables)
        throw Error(QStringLiteral("The database '%1' already has tables; nothing was created.").arg(path));
    sqlite3 *db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = describeError(db, rc);
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("Cannot create the database file '%1': %2").arg(path, msg));
    }
    {
        std::unique_ptr<SqliteEngine> e(new SqliteEngine(db));
        sqlite3_extended_result_codes(db, 1);
        registerFunctions(db);
        try {
            e->exec("BEGIN");
            e->exec(ddl.toUtf8().constData());
            e->loadCatalog();
            for (const QString &s : initialStatements) {
                try {
                    e->execute(s);
                } catch (const Error &err) {
                    throw Error(QStringLiteral("%1\nStatement: %2").arg(err.Description(), s));
                }
            }
            e->exec("COMMIT");
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            e.reset();
            if (state == DatabaseState::Missing) QFile::remove(path);
            throw;
        }
    }
}

dialect::Translation SqliteEngine::translation(const QString &sql, bool updatable)
{
    return dialect::translate(sql, m_catalog, updatable);
}

QString SqliteEngine::translate(const QString &sql) { return translation(sql).sql; }

ResultSetPtr SqliteEngine::query(const QString &sql, bool updatable)
{
    dialect::Translation tr = translation(sql, updatable);
    if (tr.type != dialect::Translation::Select) {
        execute(sql);
        return nullptr;
    }
    sqlite3_stmt *st = prepare(tr.sql);
    auto rs = std::make_shared<SqliteResult>();
    rs->names = tr.columnNames;
    rs->kinds = tr.columnKinds;
    rs->updatable = tr.updatable;
    rs->table = tr.table;
    rs->sourceColumns = tr.sourceColumns;
    try {
        rs->read(st, int(tr.columnNames.size()), tr.updatable);
    } catch (...) {
        sqlite3_finalize(st);
        throw;
    }
    sqlite3_finalize(st);
    if (rs->lastRc != SQLITE_DONE) fail(rs->lastRc, tr.sql);
    return rs;
}

long SqliteEngine::execute(const QString &sql)
{
    dialect::Translation tr = translation(sql);
    sqlite3_stmt *st = prepare(tr.sql);
    if (tr.type == dialect::Translation::Select) {
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) { }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) fail(rc, tr.sql);
        return -1;
    }
    if (!tr.paramKinds.empty()) {
        sqlite3_finalize(st);
        throw Error(QStringLiteral("The statement holds '?' placeholders; run it with ExecuteBatch."));
    }
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc, tr.sql);
    return long(sqlite3_changes64(m_db));
}

long SqliteEngine::executeBatch(const QString &sql, const std::vector<QVariantList> &rows)
{
    dialect::Translation tr = translation(sql);
    if (tr.type == dialect::Translation::Select)
        throw Error(QStringLiteral("ExecuteBatch runs INSERT, UPDATE or DELETE only."));
    sqlite3_stmt *st = prepare(tr.sql);
    long total = 0;
    try {
        for (const QVariantList &row : rows) {
            if (size_t(row.size()) != tr.paramKinds.size())
                throw Error(QStringLiteral("The statement has %1 placeholders; a row gives %2 values.")
                                .arg(tr.paramKinds.size())
                                .arg(row.size()));
            for (int i = 0; i < row.size(); ++i)
                bindValue(st, i + 1, dialect::toStorage(tr.paramKinds[size_t(i)], row[i]));
            const int rc = sqlite3_step(st);
            if (rc != SQLITE_DONE) fail(rc, tr.sql);
            total += long(sqlite3_changes64(m_db));
            sqlite3_reset(st);
        }
    } catch (...) {
        sqlite3_finalize(st);
        throw;
    }
    sqlite3_finalize(st);
    return total;
}

std::vector<QVariant> SqliteEngine::updateRow(const ResultSet &result, int row, const std::vector<FieldChange> &changes)
{
    const auto *rs = dynamic_cast<const SqliteResult *>(&result);
    if (!rs || !rs->updatable)
        throw Error(
            QStringLiteral("Current Recordset does not support updating. This may be a limitation of the provider, "
                           "or of the selected locktype."));
    const dialect::TableInfo *t = m_catalog.find(rs->table);
    if (!t || row < 0 || row >= rs->rows) throw Error(QStringLiteral("Row cannot be located for updating."));
    QStringList sets;
    std::vector<QVariant> stored;
    std::vector<QVariant> readBack;
    for (const FieldChange &ch : changes) {
        const int src = rs->sourceColumns[size_t(ch.first)];
        if (src < 0)
            throw Error(QStringLiteral("The field '%1' cannot be updated: it is not a column of table '%2'.")
                            .arg(rs->names.value(ch.first), t->name));
        const dialect::ColumnInfo &c = t->columns[size_t(src)];
        if (c.generated)
            throw Error(
                QStringLiteral("The column \"%1\" cannot be modified because it is a computed column.").arg(c.name));
        QString q = c.name;
        q.replace(QLatin1Char('"'), QLatin1String("\"\""));
        sets << QStringLiteral("\"%1\" = ?%2").arg(q).arg(sets.size() + 1);
        stored.push_back(dialect::toStorage(c.kind, ch.second, c.name));
        readBack.push_back(readForm(c.kind, stored.back()));
    }
    if (sets.isEmpty()) return readBack;
    QString tq = t->name;
    tq.replace(QLatin1Char('"'), QLatin1String("\"\""));
    sqlite3_stmt *st = prepare(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?%3")
                                   .arg(tq, sets.join(QStringLiteral(", ")))
                                   .arg(sets.size() + 1));
    for (size_t i = 0; i < stored.size(); ++i) bindValue(st, int(i) + 1, stored[i]);
    sqlite3_bind_int64(st, int(stored.size()) + 1, rs->rowids[size_t(row)]);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(rc);
    if (sqlite3_changes64(m_db) == 0)
        throw Error(QStringLiteral(
            "Row cannot be located for updating. Some values may have been changed since it was last read."));
    return readBack;
}

void SqliteEngine::begin() { exec("BEGIN"); }
void SqliteEngine::commit() { exec("COMMIT"); }
void SqliteEngine::rollback() { exec("ROLLBACK"); }

}  // namespace ado
