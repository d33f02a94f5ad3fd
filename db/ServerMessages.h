#pragma once
// The descriptions of database failures as the program's server gives them:
// in the Chinese of its collation, naming the table, column and value
// concerned. Both engines word their failures through these, so a clerk reads
// the same text whichever engine answers.
#include <QString>

namespace ado::msg {

// A key that is already there.
QString duplicateKey(const QString &table, const QString &column, const QString &value);
// A second row for a unique index that is not a key (e.g. a copy's second open loan).
QString duplicateIndexRow(const QString &table, const QString &index, const QString &value);
QString nullNotAllowed(const QString &table, const QString &column);
QString valueDoesNotFit(const QString &detail);
// Another desk or program holds the rows or the database longer than the time-out.
QString busy();
QString dateConversionFailed();
QString readOnly(const QString &database, const QString &why);
// The `why` of readOnly: what stops the writing.
QString readOnlyDisk();                         // the file system is mounted read-only
QString readOnlyFile();                         // the database file may not be written
QString readOnlyFolder(const QString &folder);  // its folder can't take the journal beside it
QString readOnlyOpened();                       // opened for reading only, for another reason
QString readOnlyServer();                       // the server keeps the database read-only
// Connecting.
QString serverNotFound(const QString &server);
QString loginFailed(const QString &user);
QString databaseNotFound(const QString &database);
QString connectionLost(const QString &detail);

}  // namespace ado::msg
