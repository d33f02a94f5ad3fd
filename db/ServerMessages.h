#pragma once
// The descriptions of database failures as the program's server gives them:
// in the Chinese of its collation, naming the table, column and value
// concerned. Every text the database layer raises is here: the engines'
// failures, the statement translator's refusals, the recordsets' and
// connections' own, so a clerk reads the same text whichever engine answers.
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
// Connecting. Each failure names what happened, told by the server's code
// or the network's, never by the wording of a message.
QString serverNotFound(const QString &server, const QString &why);
// The `why` of serverNotFound.
QString hostUnknown(const QString &host);
QString connectionRefused(const QString &port);
QString networkUnreachable();
QString networkError(int errorNumber);
QString noAnswerWithin(int seconds);          // nothing answered the connection
QString loginNotAnsweredWithin(int seconds);  // the connection was taken, the login never answered
QString closedByServer();                     // taken, then closed with no word
QString serverStartingOrStopping();
QString tooManyConnections();
QString refusedWithCode(const QString &sqlstate);
QString loginFailed(const QString &user, const QString &why);
// The `why` of loginFailed.
QString wrongPassword();
QString loginNotAllowedFromHere();
QString noRightToConnect(const QString &database);
QString databaseNotFound(const QString &database);
// An open connection the server or the network dropped; the next action connects again.
QString connectionLost(const QString &why);
// The `why` of connectionLost.
QString endedByAdministrator();
QString endedUnexpectedly();
QString droppedAfterTimeout(int seconds);
// A statement the server did not finish within the command time-out: the
// desk stopped waiting and dropped the connection, so the next action
// connects again.
QString commandTimedOut(int seconds);
// A statement the server's administrator (or another session) cancelled.
QString statementCancelled();
// A COMMIT that was sent but whose answer never came (`why`: the time-out's
// or the lost connection's description): the server may have committed.
QString commitInDoubt(const QString &why);

// The engine's own text, for a failure none of the above names.
QString engineFailure(const QString &detail);
QString cannotOpenFile();
QString fileDamaged();
QString diskFull();
QString diskIoError();
QString outOfMemory();
QString moneyOverflow();  // a money value too long for its text (CONVERT(varchar(n), m, 0))
// A whole number or an amount of money past what its type holds.
QString arithmeticOverflow();
QString likeEscapeNotSingle();
QString transactionRolledBack();

// ---- statements: syntax, names and values (the translator)

QString syntaxErrorNear(const QString &near);
QString syntaxErrorAtEnd();
QString selectListName();  // where a condition stands in for a select item
QString onlyOneStatement();
QString emptyStatement();
QString statementNotRun(const QString &keyword);
QString missingCommentEnd();
QString unclosedQuote(bool identifier, const QString &text);
QString invalidObjectName(const QString &name);
QString invalidColumnName(const QString &name);
QString ambiguousColumnName(const QString &name);
QString unboundIdentifier(const QString &qualifier, const QString &name);
QString objectNameNotValidHere(const QString &name);
QString selectStarWithoutTables();
QString functionArgumentCount(const QString &function, int count);
QString unknownFunction(const QString &function);
QString operandTypeInvalid(const QString &type, const QString &op);
QString operandTypeClash(const QString &type, const QString &target);
QString convertStyleInvalid(int style, const QString &fromType);
QString conversionFailed(const QString &value, const QString &type, const QString &column);
QString unionWidthsDiffer();
QString unionOrderByNotSelected();
QString columnNamedTwiceInInsert(const QString &column);
QString valueCountMismatch();
QString computedColumnNotModifiable(const QString &column);
QString fieldNotAColumn(const QString &field, const QString &table);
QString nulInText(const QString &text);
// The old outer joins "*=" and "=*".
QString outerJoinOnlyInAndWhere(const QString &ops);
QString outerJoinNeedsTwoTables();
QString outerJoinSidesSameTable(const QString &op);
QString outerJoinInnerAlsoJoined(const QString &table);
QString outerJoinCycle();
// What the layer does not take (`form` is the statement's own wording, as "UPDATE ... FROM").
QString unsupported(const QString &form);
QString unsupportedConvert(const QString &fromType, const QString &toType);
QString unsupportedLike(const QString &type);
QString unsupportedTableHints();
QString lockHintNeedsPlainRows();
QString unsupportedJoinOn();
QString unsupportedInsertForm(const QString &keyword);
QString numbersAreNoDates(const QString &number);
QString dateArithmetic();
QString moneyTimesMoney();
QString divisionByMoney();
QString moduloOfMoney();
QString computedColumnFromItself(const QString &column);
QString computedColumnInvalid(const QString &table, const QString &column, const QString &why);
QString computedColumnDefinition(const QString &line);
QString computedColumnStored(const QString &column);
QString distinctOrderByNotSelected();
// A division by zero.
QString divisionByZero();

// ---- recordsets, connections and transactions

QString objectClosed();
QString objectOpen();
QString noCurrentRecord();
QString connectionUnusable();
QString itemNotFound();
QString recordsetNotUpdatable();
QString rowNotLocated();
QString rowChangedSinceRead();
QString transactionsDoNotNest();
QString noActiveTransaction();
QString placeholdersNeedBatch();
QString batchStatementKind();
QString placeholderCount(int placeholders, int values);
QString resultTooLarge();

// ---- connection strings, settings and database files

QString connectionStringInvalidNear(const QString &rest);
QString connectionStringUnclosedBrace();
QString connectionStringNoServer();
QString settingsNeedFourFields(const QString &line);
QString embeddedNeedsDatabaseName();
QString programFolderUnknown(const QString &database);
QString schemaFileUnreadable(const QString &file);
QString databaseFileMissing(const QString &file, const QString &name);
QString databaseFileCannotOpen(const QString &file, const QString &why);
QString databaseFileCannotCreate(const QString &file, const QString &why);
QString fileIsNoDatabase(const QString &file, const QString &why);
QString databaseFileWithoutTables(const QString &file, const QString &name);
// The embedded file changed under the running program.
QString databaseFileGone(const QString &file);      // deleted or moved away
QString databaseFileEmptied(const QString &file);   // emptied where it stands
QString databaseFileReplaced(const QString &file);  // another file put there during a transaction
QString serverDatabaseWithoutTables(const QString &database, const QString &server);
QString databaseHasTables(const QString &database);
// A failing statement of a schema script, and the statement.
QString scriptStatementFailed(const QString &why, const QString &statement);
// A database of another schema version than the program's (db/SchemaVersion.h):
// an older one names the command that upgrades it (`settings` as librarydb takes them).
QString schemaVersionOlder(const QString &database, int version, int current, const QString &settings);
QString schemaVersionNewer(const QString &database, int version, int current);
// A step of the upgrade failed; the database stays at `version`.
QString schemaStepFailed(int step, int version, const QString &why);

}  // namespace ado::msg
