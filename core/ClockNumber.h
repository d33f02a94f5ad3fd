#pragma once
// Numbers made from the clock that are a table's key or unique: loan numbers
// "yymmddhhnnss" + the copy's place "001".., damage-record and deposit
// numbers "yymmddhhnnss". Two desks working in the same second make the same
// number; the later one takes a free one instead of failing on the key.
#include "db/Ado.h"

#include <QString>

// `candidate` when no row of `table` has it in `column`, else a free number
// after it at the same width: past the highest number of the candidate's
// second (a loan number's second is its first twelve digits; a twelve-digit
// number is a second of its own, so the next free one follows it). Call it
// inside the transaction that writes the row: the number stays this
// transaction's until it ends, so another desk taking a number at the same
// moment takes another one, and neither waits for the other.
QString FreeClockNumber(ado::Connection &conn, const QString &table, const QString &column, const QString &candidate);
