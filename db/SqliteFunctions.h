#pragma once
// What the embedded engine needs beyond its own SQL to run translated
// statements: the functions lib_date_text, lib_money_text, lib_to_date,
// lib_len and lib_now; lib_nonzero, lib_int, lib_money and lib_money_scale,
// which refuse a division by zero and numbers past their type's range and
// compute money exactly, as the server does; LIKE, upper() and lower() as
// the server matches and maps case (dialect::text); and the text order of
// ORDER BY (dialect::kTextOrderCollation) with its case-blind twin for <, >
// and BETWEEN (dialect::kTextCompareCollation).
struct sqlite3;

namespace ado {

// Registers them on a handle; every connection to a database needs them.
void RegisterSqliteFunctions(sqlite3 *db);

}  // namespace ado
