#pragma once
// Which version of the tables a database holds, and the steps that bring an
// older database to the version this program is built for.
//
// A database records its version in the table lib_schema_version (one row),
// which the schema files make and fill. A database made before versions were
// recorded has no such table: it holds the tables of version 1. Each later
// version is one step: its statements, in each engine's own SQL, are
// resources/Schema/upgrade/<version>-sqlite.sql and <version>-postgres.sql
// (built into the program), and it runs in one transaction together with the
// record of its version, so a step that fails leaves the database as it was
// before that step. ARCHITECTURE.md ("Schema versions") says how a change of
// the schema files becomes a step.

#include <QString>
#include <functional>

namespace ado {

class Connection;
struct ConnectionInfo;

// The version of the schema files built into the program: the last step's.
int CurrentSchemaVersion();

// The version the open database records; 1 when it records none.
int SchemaVersion(Connection &conn);

// Refuses a database of any other version than CurrentSchemaVersion(): closes
// the connection and raises Error, naming for an older database the command
// that upgrades it (`librarydb ensure`), for a newer one that it needs a
// newer program.
void RequireCurrentSchema(Connection &conn);

// Brings the database (which has tables) to CurrentSchemaVersion(), step by
// step; `report` is told, for each step done, a line of what it changed and,
// when the step had to be left out, a second line of why. Does nothing to a database of
// the current version. Raises Error for a newer database, and for a step that
// fails (the steps before it stay done).
void UpgradeDatabase(const ConnectionInfo &info, const std::function<void(const QString &line)> &report);

}  // namespace ado
