// The one place where the database layer knows a statement of the library:
// a statement a window writes, as it writes it, that the server can't run
// in the time a clerk waits however its schema is indexed, and the statement
// the server runs for it instead, from what the schema keeps for it. Every
// other statement is translated as it stands. A key is the window's own
// text, its values as holes ("?", a quoted literal), so that a change of the
// window's statement is a change here too: tst_statistics fails when the
// window's statement no longer takes its entry.
#include "db/DialectTranslator.h"

#include <array>

namespace dialect {

namespace {

struct Known {
    const char16_t *name;
    const char16_t *key;  // the statement as the window writes it, "?" for each quoted value
};

// The statistics' ranking of titles by their loans between two dates
// (circulation/Frm_Statistics.cpp).
constexpr char16_t kTitleRanking[] = u"titles ranked by their loans between two dates";

constexpr std::array kKnown{
    Known{kTitleRanking,
          u"SELECT TOP 10 图书档案.ISBN, COUNT(图书档案.ISBN) AS 借阅次数 FROM 图书借阅, 图书档案, 图书库存 WHERE "
          u"图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 借书日期 BETWEEN ? AND ? "
          u"GROUP BY 图书档案.ISBN ORDER BY 借阅次数 DESC"},
};

// The quoted values of `statement` in the holes of `key`, or nullopt when it
// is not the key's statement. A value holds no quote (a window's SQLQuote of
// a date, which has none, writes it so).
std::optional<QStringList> holes(const QString &statement, const QString &key)
{
    const QStringList pieces = key.split(QLatin1Char('?'));
    QStringList values;
    qsizetype at = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (statement.mid(at, pieces[i].size()) != pieces[i]) return std::nullopt;
        at += pieces[i].size();
        if (i + 1 == pieces.size()) break;
        if (at >= statement.size() || statement[at] != QLatin1Char('\'')) return std::nullopt;
        const qsizetype end = statement.indexOf(QLatin1Char('\''), at + 1);
        if (end < 0) return std::nullopt;
        values << statement.mid(at + 1, end - at - 1);
        at = end + 1;
    }
    if (at != statement.size()) return std::nullopt;
    return values;
}

// The ranking as the server would run it joins every loan to its copy and
// title: at a large library's size longer than a clerk waits. The server
// counts each copy's loans as they are made (lib_copy_loans,
// resources/Schema/postgres.sql), so the same rows come from those counts,
// less the loans outside the dates, when those are fewer than half of them
// (the dates a clerk leaves as they are take in every loan); else from the
// loans inside the dates, read by day.
void rankTitlesFromCopyCounts(const QStringList &values, const Catalog &catalog, Translation &out)
{
    if (!catalog.flavour.postgres() || !catalog.find(QStringLiteral("lib_copy_loans"))) return;
    const std::optional<QString> first = normalizeDate(values.value(0)), last = normalizeDate(values.value(1));
    if (!first || !last) return;  // the plain translation refuses them as the server does
    const QString from = detail::quoteText(*first), to = detail::quoteText(*last);
    const QString outside = QStringLiteral(R"("借书日期" < %1 OR "借书日期" > %2 OR "借书日期" IS NULL)").arg(from, to);
    out.body =
        QStringLiteral(
            R"(WITH lib_half AS MATERIALIZED (SELECT COALESCE(SUM("借阅次数"), 0) / 2 AS n FROM lib_copy_loans), )"
            R"(lib_few_outside AS MATERIALIZED (SELECT COUNT(*) < (SELECT n FROM lib_half) AS few FROM )"
            R"((SELECT 1 FROM "图书借阅" WHERE %1 LIMIT (SELECT n FROM lib_half)) AS lib_outside) )"
            R"(SELECT "图书档案"."ISBN", CAST(SUM(lib_loans.n) AS bigint) AS "借阅次数" FROM ()"
            R"(SELECT c."图书编号", c."借阅次数" - COALESCE(o.n, 0) AS n FROM lib_copy_loans c LEFT JOIN )"
            R"((SELECT "图书编号", COUNT(*) AS n FROM "图书借阅" WHERE %1 GROUP BY "图书编号") AS o )"
            R"(ON o."图书编号" = c."图书编号" WHERE (SELECT few FROM lib_few_outside) )"
            R"(UNION ALL SELECT "图书编号", 1 FROM "图书借阅" WHERE "借书日期" BETWEEN %2 AND %3 )"
            R"(AND NOT (SELECT few FROM lib_few_outside)) AS lib_loans, "图书库存", "图书档案" )"
            R"(WHERE lib_loans."图书编号" = "图书库存"."图书编号" AND "图书库存"."ISBN" = "图书档案"."ISBN" )"
            R"(GROUP BY "图书档案"."ISBN" HAVING SUM(lib_loans.n) > 0)")
            .arg(outside, from, to);
    out.countBody.clear();
    out.sql = out.rows(-1, 0);
}

}  // namespace

QString libraryStatement(const QString &statement)
{
    for (const Known &k : kKnown)
        if (holes(statement, QString::fromUtf16(k.key))) return QString::fromUtf16(k.name);
    return QString();
}

namespace detail {

void takeLibraryStatement(const QString &statement, const Catalog &catalog, Translation &out)
{
    for (const Known &k : kKnown) {
        const std::optional<QStringList> values = holes(statement, QString::fromUtf16(k.key));
        if (!values) continue;
        if (k.name == kTitleRanking) rankTitlesFromCopyCounts(*values, catalog, out);
        return;
    }
}

}  // namespace detail

}  // namespace dialect
