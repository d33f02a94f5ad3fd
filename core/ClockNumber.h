#pragma once
// Numbers made from the clock that are a table's key (loan numbers
// "yymmddhhnnss" + position, damage-record numbers "yymmddhhnnss"). Two desks
// working in the same second make the same number; the second desk takes the
// next free one instead of failing on the key.
#include "db/Ado.h"

#include <QString>

// `candidate` when no row of `table` has it in `column`, else the next free
// number: the candidate read as a whole number plus 1, 2, ... at the same
// width. Call it inside the transaction that writes the row (a write
// transaction is the only writer meanwhile, so the number stays free).
QString FreeClockNumber(ado::Connection &conn, const QString &table, const QString &column, const QString &candidate);
