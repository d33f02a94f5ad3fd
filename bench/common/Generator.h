#pragma once
// Synthetic library contents for benchmarks: publishers, reader categories,
// titles, copies, readers and loans, written through the database layer in
// one transaction (prepared statements run per row with ExecuteBatch).

#include "db/Ado.h"

#include <QString>

namespace bench {

struct Sizes {
    int publishers = 50;
    int titles = 1000;
    int copiesPerTitle = 3;  // copies = titles * copiesPerTitle
    int readers = 500;
    int loans = 1000;  // about two in three returned
};

struct Counts {
    long publishers = 0, categories = 0, titles = 0, copies = 0, readers = 0, loans = 0;
};

// Fills an open connection to a database made by ado::CreateDatabase. The
// same seed gives the same contents. Keys: titles "978-7-000001"..., copies
// "B0000001"..., readers "R000001"..., publishers "出版社001"...
Counts generate(ado::Connection &conn, const Sizes &sizes, quint32 seed = 1);

// Makes a new database file at the absolute `path` (schema and initial
// contents) and fills it; returns the connection string that opens it.
QString createDatabase(const QString &path, const Sizes &sizes, quint32 seed = 1);

// The schema files placed by the build beside the program (build/bin/Schema).
QString schemaDir();

}  // namespace bench
