#pragma once
// What the embedded engine needs beyond its own SQL to run translated
// statements: the functions lib_date_text, lib_money_text, lib_to_date,
// lib_len and lib_now, the server's LIKE (% _ [set], letters without regard
// to case), and the text order of ORDER BY (dialect::kTextOrderCollation).
struct sqlite3;

namespace ado {

// Registers them on a handle; every connection to a database needs them.
void RegisterSqliteFunctions(sqlite3 *db);

}  // namespace ado
