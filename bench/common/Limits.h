#pragma once
// The limits the benchmarks hold the windows against: for each step, the
// engine's best plan for the same rows, written by hand in the engine's own
// SQL and run on a plain handle (NativeDb) with the engine's built-in
// collation and the indexes that plan needs (made in a copy of the database,
// limitIndexes). A first screen is the count and the first screen's rows in
// order; a find is the prefix as a range of an index.
//
// Text keys are ordered and ranged as the built-in collation orders them:
// NOCASE on the embedded engine (the columns' own), "C" on the server (the
// text of the column; the program's columns order by their pinyin collation).
// Every key a window orders by is digits and capital letters, on which the
// two orders agree, so the rows are the window's rows. Joins compare the keys
// the same way. The server's limits run with random_page_cost = 1.1: the
// library's data is in memory, and the planner reads it so (the server's
// default assumes a disk that seeks).
#include <QString>
#include <QStringList>

namespace bench {

class Sql {
public:
    explicit Sql(bool server) : m_server(server) { }
    bool server() const { return m_server; }

    // `column` as the key its limit index holds.
    QString k(const QString &column) const;
    // A join of two keys, compared as their limit indexes hold them.
    QString eq(const QString &a, const QString &b) const;
    // The rows whose `column` begins with `prefix`: a range of k(column).
    QString startsWith(const QString &column, const QString &prefix) const;
    static QString quote(const QString &text);
    // A write transaction's beginning, as the engine begins one.
    QString begin() const;
    // After a SELECT: its rows locked until the transaction ends (the server).
    QString forUpdate() const;

    // The indexes the limits need beyond the schema's, made in the limit's copy.
    QStringList limitIndexes() const;

private:
    bool m_server;
};

// A list: its count, and its rows in order (without LIMIT) with the window's
// key column first.
struct Limit {
    QString count;
    QString rows;
};

// The list windows.
Limit titlesList(const Sql &s, const QString &isbnPrefix = QString());
Limit copiesList(const Sql &s, const QString &copyPrefix = QString());
Limit damageList(const Sql &s, const QString &numberPrefix = QString());
Limit publishersList(const Sql &s, const QString &namePrefix = QString());
Limit readersList(const Sql &s, const QString &readerPrefix = QString());
Limit readerNameSearch(const Sql &s, const QString &namePrefix);
Limit categoriesList(const Sql &s);
Limit depositsList(const Sql &s);
Limit returningList(const Sql &s, const QString &readerPrefix = QString());
Limit accountsList(const Sql &s);
Limit loginLog(const Sql &s);
// The search window's kinds that are no list of their own.
Limit isbnSearch(const Sql &s, const QString &prefix);
Limit titleNameSearch(const Sql &s, const QString &prefix);
Limit loanSearch(const Sql &s, const QString &prefix);
// The search for readers shows what each reader's open loans are worth.
Limit readerSearch(const Sql &s, const QString &prefix);

// The statistics views: their statements, in the order the view runs them.
QStringList booksView(const Sql &s);
QStringList readersView(const Sql &s);
QStringList readerRanking(const Sql &s);
QStringList titleRanking(const Sql &s, const QString &from, const QString &to);

// A return's writes (the transaction, without the refreshed list): the loan
// locked as it is read, then the loan, the copy and the reader.
QStringList returnLoan(const Sql &s, const QString &loan, const QString &copy, const QString &reader,
                       const QString &day);
// A lending of `copies` to `reader`: the copies, then the reader, locked as
// they are read; each loan's number claimed and the highest of its second
// read; each loan and copy, then the reader; in one transaction. (The server
// locks what it reads; the embedded file's writer holds the whole file.)
QStringList lendCopies(const Sql &s, const QString &reader, const QStringList &copies, const QStringList &numbers,
                       const QString &day, const QString &due);

}  // namespace bench
