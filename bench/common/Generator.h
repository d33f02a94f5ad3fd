#pragma once
// A library as a real one looks after years of use, for the benchmarks and
// the speed tests: publishers, reader categories, titles and their copies,
// readers, staff accounts, loans made in lendings of one to five copies,
// deposits, damage records and the login log.
//
// What holds of it, as of a library the program has run for years:
//  - every open loan's copy is 借出, with the loan's reader and day as its
//    最近读者编号 / 最近借阅日期; no copy has two open loans; a copy is never
//    lent while an earlier loan of it is still out;
//  - each reader's counters equal the reader's loans: 当前借书数量 and
//    未还书总数 the open ones, 总借书数量 all of them, 总借书次数 the
//    lendings, 有损还书次数 the damage records; no reader holds more open
//    loans than the category allows, and only readers in good standing do;
//  - loan numbers are made as the lending window makes them: the lending's
//    clock "yymmddhhnnss" and the copy's place in the lending "001".., moved
//    to the next free number when another lending took it in the same second;
//    damage and deposit numbers are the clock "yymmddhhnnss" likewise;
//  - damage records belong to returned loans; deposits add up to part of the
//    readers' balances; each staff member's last login is the last in the log.
// The same options and seed give the same library, row for row.
#include "db/Ado.h"
#include "db/Engine.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <vector>

namespace bench {

struct Options {
    int readers = 50000;
    int titles = 100000;
    int copies = 300000;  // at least one copy of every title when there are enough
    int loans = 1000000;
    int openLoans = 40000;
    int logins = 100000;
    int deposits = 20000;
    int damages = 5000;
    int publishers = 1000;
    int staff = 20;  // accounts besides admin
    quint32 seed = 1;
    // A library shaped otherwise: copy, reader and ISBN numbers with long
    // common beginnings (a few publishers' blocks), loans crowded on few
    // titles, and one reader who borrows a twentieth of everything.
    bool crowded = false;

    // The defaults times `scale`, each count at least a handful so every list has rows.
    static Options scaled(double scale);
    // Names these contents: equal options give equal names (cache files).
    QString key() const;
};

// Rows written, by table.
struct Counts {
    long publishers = 0, categories = 0, titles = 0, copies = 0, readers = 0, loans = 0, openLoans = 0, lendings = 0,
         logins = 0, deposits = 0, damages = 0, accounts = 0;
};

// One table's rows as the generator hands them to a writer.
struct TableSpec {
    enum Kind { Text, Int, Money, Date };  // Money: whole cents; Date: "yyyy-MM-dd hh:mm:ss"
    QString name;
    QStringList columns;
    std::vector<Kind> kinds;
    bool replaceInitial = false;  // the initial contents of a new database hold rows of it
};

class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void begin(const TableSpec &table) = 0;
    virtual void row(const QVariantList &values) = 0;  // Null as an invalid QVariant
    virtual void end() = 0;
};

// The library in memory: everything decided, nothing written yet.
class Library {
public:
    explicit Library(const Options &options);
    ~Library();
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;

    const Options &options() const { return m_options; }
    // The library's "today": the last day a loan was made.
    QDate today() const;
    Counts counts() const;
    // Hands every table's rows to `sink`, table by table.
    void write(RowSink &sink) const;

    // Keys of the generated rows, for benchmarks that need real ones.
    static QString copyId(int index, bool crowded = false);    // "B0000001".. (index from 0)
    static QString readerId(int index, bool crowded = false);  // "R000001"..

    struct Model;

private:
    Options m_options;
    Model *m;
};

// Fills a database made by ado::CreateDatabase (schema and initial contents)
// with `library`: on the embedded engine through the database layer (one
// transaction, prepared statements per row); on the server by COPY through
// libpq in one transaction, then VACUUM ANALYZE as the server's autovacuum
// would leave freshly loaded tables.
Counts fill(const ado::ConnectionInfo &info, const Library &library);

// Makes the database `info` names (refused when it has tables) and fills it.
Counts createAndFill(const ado::ConnectionInfo &info, const Library &library);

// Raises ado::Error listing what the library `info` names breaks of what must hold of the data.
void checkInvariants(const ado::ConnectionInfo &info);
// The embedded library of `options`, made (and checked) once and kept in
// `dataDir` as "library-<options>-<schema>.db"; its path. `made` says how it
// was come by (made now, or taken from the folder).
QString keptEmbeddedLibrary(const QString &dataDir, const Options &options, QString &made);
// Copies a file over another; raises ado::Error when it can't.
void copyFile(const QString &from, const QString &to);

// The schema files placed by the build beside the program (build/bin/Schema).
QString schemaDir();
// Names the schema files' contents, so that a kept library made on another schema is not reused.
QString schemaFingerprint();

}  // namespace bench
